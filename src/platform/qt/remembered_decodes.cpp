#include "platform/qt/remembered_decodes.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/file_buffer.h"
#include "platform/logic/content_hash.h"
#include "platform/private_folder.h"
#include "platform/qt/picture.h"

namespace zv {
namespace {

// Below this the decode is quicker than finding the entry.
constexpr std::size_t kSmallestKept = 64 * 1024;
// The folder is trimmed to this, oldest use first: a few events' worth of photographs.
constexpr std::uint64_t kFolderBytes = 256ull << 20;
constexpr char kMagic[8] = {'Z', 'V', 'D', 'E', 'C', '0', '1', '\n'};

struct Header {
  char magic[8];
  std::uint32_t width, height, bytesPerLine, format;
  std::uint64_t sourceSize, hashHigh, hashLow;
};

const PrivateFolder* openFolder();

std::string entryName(const RememberedKey& key, QSize target, Remembered kind) {
  return key.hash.hex() + "-" + std::to_string(target.width()) + "x" +
         std::to_string(target.height()) + (kind == Remembered::Fitted ? "-fitted" : "-decoded");
}

// The formats the decoder gives, with their bytes per pixel; 0 for any other.
std::uint32_t bytesPerPixel(QImage::Format format) {
  switch (format) {
    case QImage::Format_RGB888:
      return 3;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
      return 4;
    default:
      return 0;
  }
}

bool storable(const QImage& image) { return !image.isNull() && bytesPerPixel(image.format()) > 0; }

QImage readEntry(const std::string& path, const RememberedKey& key) {
  const std::shared_ptr<const FileBuffer> file = FileBuffer::read(path);
  if (!file || file->bytes().size() < sizeof(Header)) return {};
  Header h;
  std::memcpy(&h, file->bytes().data(), sizeof h);
  const QImage::Format format = static_cast<QImage::Format>(h.format);
  const bool matches =
      std::memcmp(h.magic, kMagic, sizeof kMagic) == 0 && h.sourceSize == key.size &&
      h.hashHigh == key.hash.high && h.hashLow == key.hash.low && h.width > 0 && h.height > 0 &&
      h.width <= 1u << 15 && h.height <= 1u << 15 && bytesPerPixel(format) > 0 &&
      h.bytesPerLine >= h.width * bytesPerPixel(format) &&
      file->bytes().size() == sizeof(Header) + std::uint64_t{h.bytesPerLine} * h.height;
  if (!matches) return {};
  // The image reads the file's memory in place, which stays while the image lives.
  auto* keep = new std::shared_ptr<const FileBuffer>(file);
  return QImage(
      reinterpret_cast<const uchar*>(file->bytes().data() + sizeof(Header)),
      static_cast<int>(h.width), static_cast<int>(h.height), static_cast<qsizetype>(h.bytesPerLine),
      format, [](void* held) { delete static_cast<std::shared_ptr<const FileBuffer>*>(held); },
      keep);
}

std::string entryBytes(const QImage& image, const RememberedKey& key) {
  Header h{};
  std::memcpy(h.magic, kMagic, sizeof kMagic);
  h.width = static_cast<std::uint32_t>(image.width());
  h.height = static_cast<std::uint32_t>(image.height());
  h.bytesPerLine = static_cast<std::uint32_t>(image.bytesPerLine());
  h.format = static_cast<std::uint32_t>(image.format());
  h.sourceSize = key.size;
  h.hashHigh = key.hash.high;
  h.hashLow = key.hash.low;
  std::string out(reinterpret_cast<const char*>(&h), sizeof h);
  out.append(reinterpret_cast<const char*>(image.constBits()),
             static_cast<std::size_t>(image.sizeInBytes()));
  return out;
}

// Removes the least recently used entries while the folder holds more than its bound.
void trim(const PrivateFolder& folder) {
  DIR* dir = ::opendir(folder.path().c_str());
  if (!dir) return;
  struct Entry {
    std::string name;
    std::int64_t used;
    std::uint64_t size;
  };
  std::vector<Entry> entries;
  std::uint64_t total = 0;
  while (const dirent* e = ::readdir(dir)) {
    struct stat st {};
    if (e->d_name[0] == '.' || ::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(st.st_mode))
      continue;
    entries.push_back({e->d_name, static_cast<std::int64_t>(st.st_mtime),
                       static_cast<std::uint64_t>(st.st_size)});
    total += static_cast<std::uint64_t>(st.st_size);
  }
  if (total > kFolderBytes) {
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.used < b.used; });
    for (const Entry& e : entries) {
      if (total <= kFolderBytes) break;
      if (::unlinkat(::dirfd(dir), e.name.c_str(), 0) == 0) total -= e.size;
    }
  }
  ::closedir(dir);
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
    const std::size_t parent = s.path.find_last_of('/');
    if (parent != std::string::npos && parent > 0) makeDirectories(s.path.substr(0, parent));
    s.folder = PrivateFolder::open(s.path);
  }
  return s.folder ? &*s.folder : nullptr;
}

void Writer::run() {
  ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
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
    if (folder && folder->write(job.name, entryBytes(job.image, job.key), Durability::kThrowAway) &&
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
  return {contentHash(bytes), bytes.size()};
}

QImage recallPicture(const RememberedKey& key, QSize target, Remembered kind) {
  const PrivateFolder* folder =
      key.empty() || !target.isValid() || target.isEmpty() ? nullptr : openFolder();
  if (!folder) return {};
  const std::string path = folder->file(entryName(key, target, kind));
  QImage image = readEntry(path, key);
  if (!image.isNull()) ::utimensat(AT_FDCWD, path.c_str(), nullptr, 0);  // used: kept longer
  return image;
}

void rememberPicture(const RememberedKey& key, QSize target, Remembered kind, const QImage& image) {
  const PrivateFolder* folder =
      key.empty() || !target.isValid() || target.isEmpty() ? nullptr : openFolder();
  if (!folder || !storable(image)) return;
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
  DIR* dir = ::opendir(folder->path().c_str());
  if (!dir) return false;
  const std::string prefix = key.hash.hex() + "-";
  bool found = false;
  while (const dirent* e = ::readdir(dir)) {
    if (std::string_view(e->d_name).starts_with(prefix)) {
      found = true;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

void waitForRememberedWrites() { store().writer.waitUntilWritten(); }

QImage decodePictureRemembered(std::string_view bytes, QSize target) {
  return decodePictureRemembered(rememberedKey(bytes), bytes, target);
}

}  // namespace zv
