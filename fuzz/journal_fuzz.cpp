// The draw journal's readers on arbitrary bytes: the whole-file parser, the same fed in
// pieces (which must agree with it), and the tail scan an append makes.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "store/journal.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

bool same(const zv::JournalContents& a, const zv::JournalContents& b) {
  return a.rows == b.rows && a.skipped == b.skipped && a.tornTail == b.tornTail;
}

// A file of the bytes for the tail scan: in memory, named through /proc.
int memoryFile() {
  static const int fd = ::memfd_create("journal", 0);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const zv::JournalContents whole = zv::parseJournal(bytes);
  for (const zv::JournalRow& row : whole.rows) {
    check(row.sequence >= 1 && row.sequence <= zv::kMaxJournalSequence);
    for (const std::string& tally : row.tallies) check(tally.size() <= zv::kMaxJournalFieldBytes);
    // What is read is written back as the same row.
    const zv::JournalContents again = zv::parseJournal(zv::formatJournalRow(row));
    check(again.rows.size() == 1 && again.rows[0] == row);
  }

  // Split in pieces whose lengths come from the bytes themselves.
  zv::JournalParser parser;
  std::size_t at = 0;
  std::size_t step = size ? data[0] % 7 + 1 : 1;
  while (at < size) {
    const std::size_t n = std::min(step, size - at);
    parser.feed(bytes.substr(at, n));
    at += n;
    step = data[at % size] % 13 + 1;
  }
  check(same(parser.finish(), whole));

  const int fd = memoryFile();
  if (fd >= 0 && ::ftruncate(fd, 0) == 0 &&
      ::pwrite(fd, data, size, 0) == static_cast<ssize_t>(size)) {
    zv::Journal journal("/proc/self/fd/" + std::to_string(fd));
    const auto last = journal.lastRow();
    const auto win = journal.voidableWin();
    if (last) check(last->sequence >= 1 && last->sequence <= zv::kMaxJournalSequence);
    if (win) check(win->event == zv::JournalEvent::Win);
    // With the whole file in the tail, its last row is the parser's.
    if (size < static_cast<std::size_t>(zv::Journal::kTailWindow) && !whole.rows.empty() && last)
      check(*last == whole.rows.back());
  }
  return 0;
}
