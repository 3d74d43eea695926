#include "platform/qt/remembered_decodes.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/file_buffer.h"
#include "platform/jpeg.h"
#include "platform/private_folder.h"
#include "platform/qt/decode_entry_image.h"
#include "platform/qt/picture.h"
#include "platform/qt/picture_digest.h"
#include "platform/thread_priority.h"

namespace zv {
namespace {

// Below this the decode is quicker than finding the entry.
constexpr std::size_t kSmallestKept = 64 * 1024;
// The folder is trimmed to this, oldest use first: a few events' worth of photographs.
constexpr std::uint64_t kFolderBytes = 256ull << 20;

const PrivateFolder* openFolder();

std::string hexOf(const std::array<std::uint8_t, 32>& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const std::uint8_t byte : digest) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

std::string entryName(const RememberedKey& key, QSize target, Remembered kind) {
  return hexOf(key.source.digest) + "-" + std::to_string(target.width()) + "x" +
         std::to_string(target.height()) + (kind == Remembered::Fitted ? "-fitted" : "-decoded");
}

// The sizes an entry may have: a fitted image is the target's own size; a decode is what
// the decoder makes for the target, no larger than its cap on output.
EntryAllowance allowanceFor(QSize target, Remembered kind) {
  if (kind == Remembered::Fitted)
    return EntryAllowance::exactly(static_cast<std::uint32_t>(target.width()),
                                   static_cast<std::uint32_t>(target.height()));
  return EntryAllowance::upTo(static_cast<std::uint64_t>(JpegLimits{}.maxOutputPixels));
}

// Removes the least recently used entries while the folder holds more than its bound.
void trim(const PrivateFolder& folder) {
  std::vector<PrivateFolder::Entry> entries = folder.entries();
  std::erase_if(entries, [](const PrivateFolder::Entry& e) { return e.name[0] == '.' || !e.regular; });
  std::uint64_t total = 0;
  for (const PrivateFolder::Entry& e : entries) total += e.size;
  if (total > kFolderBytes) {
    std::sort(entries.begin(), entries.end(),
              [](const PrivateFolder::Entry& a, const PrivateFolder::Entry& b) {
                return a.modified < b.modified;
              });
    for (const PrivateFolder::Entry& e : entries) {
      if (total <= kFolderBytes) break;
      if (folder.remove(e.name)) total -= e.size;
    }
  }
}

// Entries are written by a thread of their own at low priority, after the decodes that
// made them: writing (and trimming the folder) costs the start-up nothing.
class Writer {
 public:
  ~Writer() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;  // what is still queued is made again next time
      queue_.clear();
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  void add(std::string name, RememberedKey key, QImage image) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) return;
      ++pending_;
      queue_.push_back({std::move(name), key, std::move(image)});
      if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    wake_.notify_one();
  }
  void waitUntilWritten() {
    std::unique_lock<std::mutex> lock(mutex_);
    written_.wait(lock, [this] { return pending_ == 0; });
  }

 private:
  struct Job {
    std::string name;
    RememberedKey key;
    QImage image;
  };
  void run();

  std::mutex mutex_;
  std::condition_variable wake_, written_;
  std::deque<Job> queue_;
  int pending_ = 0;  // queued or being written
  bool stopping_ = false;
  std::thread thread_;
};

struct Store {
  std::mutex mutex;  // guards the folder's opening
  std::string path;
  std::optional<PrivateFolder> folder;
  bool tried = false;
  Writer writer;  // last: it goes first, while the folder is still open
};

Store& store() {
  static Store s;
  return s;
}

const PrivateFolder* openFolder() {
  Store& s = store();
  const std::lock_guard<std::mutex> lock(s.mutex);
  if (!s.tried && !s.path.empty()) {
    s.tried = true;
    const std::size_t parent = s.path.find_last_of(pathSeparator() == '/' ? "/" : "/\\");
    if (parent != std::string::npos && parent > 0) makeDirectories(s.path.substr(0, parent));
    s.folder = PrivateFolder::open(s.path);
  }
  return s.folder ? &*s.folder : nullptr;
}

void Writer::run() {
  lowerThisThreadPriority();
  bool trimmed = false;
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      job = std::move(queue_.front());
      queue_.pop_front();
    }
    const PrivateFolder* folder = openFolder();
    if (folder &&
        folder->write(job.name, entryOfImage(job.image, job.key.source), Durability::kThrowAway) &&
        !trimmed) {
      trim(*folder);  // once a run: a run adds a few megabytes at most
      trimmed = true;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    --pending_;
    written_.notify_all();
  }
}

}  // namespace

void rememberDecodesIn(const std::string& folder) {
  Store& s = store();
  const std::lock_guard<std::mutex> lock(s.mutex);
  s.path = folder;
  s.folder.reset();
  s.tried = false;
}

RememberedKey rememberedKey(std::string_view bytes) {
  if (bytes.size() < kSmallestKept || !openFolder()) return {};
  RememberedKey key;
  key.source.digest = pictureDigest(bytes);
  key.source.size = bytes.size();
  return key;
}

QImage recallPicture(const RememberedKey& key, QSize target, Remembered kind) {
  const PrivateFolder* folder =
      key.empty() || !target.isValid() || target.isEmpty() ? nullptr : openFolder();
  if (!folder) return {};
  const std::string name = entryName(key, target, kind);
  const std::string path = folder->file(name);
  const EntryAllowance allowance = allowanceFor(target, kind);
  // Regular files only, refused unread when larger than the slot allows.
  bool missing = false;
  const std::shared_ptr<const FileBuffer> file =
      FileBuffer::readRegular(path, allowance.largestEntryBytes(), &missing);
  QImage image =
      file ? entryImage(file, file->bytes(), key.source, allowance) : QImage();
  if (!image.isNull()) {
    folder->touch(name);  // used: kept longer
  } else if (!missing) {
    folder->remove(name);  // damaged or foreign: the decode made instead takes its place
  }
  return image;
}

void rememberPicture(const RememberedKey& key, QSize target, Remembered kind, const QImage& image) {
  const PrivateFolder* folder =
      key.empty() || !target.isValid() || target.isEmpty() ? nullptr : openFolder();
  if (!folder || image.isNull() || !entryPixels(image.format())) return;
  store().writer.add(entryName(key, target, kind), key, image);
}

QImage decodePictureRemembered(const RememberedKey& key, std::string_view bytes, QSize target) {
  if (QImage recalled = recallPicture(key, target, Remembered::Decoded); !recalled.isNull())
    return recalled;
  QImage decoded = decodePicture(bytes, target);
  rememberPicture(key, target, Remembered::Decoded, decoded);
  return decoded;
}

bool rememberedAtAnySize(const RememberedKey& key) {
  const PrivateFolder* folder = key.empty() ? nullptr : openFolder();
  if (!folder) return false;
  const std::string prefix = hexOf(key.source.digest) + "-";
  for (const PrivateFolder::Entry& e : folder->entries())
    if (e.name.starts_with(prefix)) return true;
  return false;
}

void waitForRememberedWrites() { store().writer.waitUntilWritten(); }

QImage decodePictureRemembered(std::string_view bytes, QSize target) {
  return decodePictureRemembered(rememberedKey(bytes), bytes, target);
}

}  // namespace zv
