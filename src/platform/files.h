#pragma once
// Files and directories, as the program needs them. Paths are UTF-8 (the platform's
// native file-name encoding on Linux; turned into UTF-16 at the Windows API).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zv {

// The directory of the running executable, without a trailing separator.
std::string programDirectory();

// Joins a directory and a relative path written with backslashes
// ("\奖品图片\1.jpg") or slashes, using the platform's separator.
std::string joinPath(std::string_view directory, std::string_view relative);

// The platform's separator: '/' on Linux, '\\' on Windows (where '/' is one as well).
char pathSeparator();

// Only regular files are read or written. A FIFO would block the program in open() until
// someone writes to it, a device such as /dev/zero never ends, and a link may lead out of
// the event folder. A name that exists but is not a regular file (or, for a write, a link
// to anything but a regular file of this user) is refused and handed to the listener,
// once per name per run, from whichever thread met it; a missing file is not reported.
void setUnusableFileListener(std::function<void(const std::string& path)> listener);

// Whether path was refused and reported in this run: its write failures need no report
// of their own.
bool reportedAsUnusable(const std::string& path);

// Opens a regular file (a link to one is fine) for reading without ever blocking. Returns
// the descriptor, or -1 when the file is missing, unreadable or refused (and reported).
int openRegularFileForReading(const std::string& path);

// Reads up to size bytes from fd at offset, or from where it stands for offset -1.
// Returns the count read, 0 at the end, -1 on an error.
std::int64_t readFile(int fd, char* into, std::size_t size, std::int64_t offset = -1);
// The size of the regular file open as fd, or -1 when it cannot be told.
std::int64_t openFileSize(int fd);
void closeFile(int fd);

// What the program needs to know of a file without opening it (links are followed).
struct FileStatus {
  bool regular = false;
  // Which file it is: the parse of a file is reused only while this stays the same.
  std::uint64_t device = 0;
  std::uint64_t identity = 0;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;  // since the epoch of the platform's file times
  bool operator==(const FileStatus&) const = default;
};
std::optional<FileStatus> fileStatus(const std::string& path);

// Appends to the file at path (made when missing; a link, a FIFO or a device in its place
// is never opened), then flushes it to disk, and a new file's name too. bytesFor is given
// the file's size when opened and returns the bytes to add.
struct AppendOutcome {
  bool opened = false;        // a regular file was open for appending
  bool ok = false;            // everything written and flushed
  std::int64_t sizeBefore = 0;
  std::size_t written = 0;    // bytes that reached the file, even when not ok
};
AppendOutcome appendToFileSynced(const std::string& path,
                                 const std::function<std::string(std::int64_t sizeBefore)>& bytesFor);

// Whether path is a regular file that can be opened for reading; refused names are
// reported. For files handed on by name (the music file, to the audio library).
bool isReadableRegularFile(const std::string& path);

// Where a write of path goes: path itself when it is missing or a regular file; the
// target of a link when that is a regular file of this user. Nothing (and reported)
// for anything else.
std::optional<std::string> writableTarget(const std::string& path);

// The whole contents of a file; a missing or unreadable file gives empty contents.
std::string readWholeFile(const std::string& path);

// The whole contents of a file, or nothing when it cannot be opened or read (which
// tells a missing or unreadable file from an empty one).
std::optional<std::string> tryReadWholeFile(const std::string& path);

// Whether a written file must survive a crash or power cut.
enum class Durability {
  kSynced,     // flushed to disk before and after the rename: settings and tallies
  kThrowAway,  // no flush: files remade at every use, such as the effect files
};

// Writes a whole file atomically: a temporary file in the same directory, flushed to
// disk (kSynced), then renamed over the target, so a reader sees the old or the new file
// and an existing file is replaced, never written in place. Returns false (and leaves the
// old file) on failure.
//
// The temporary file is ".<name>.tmp-" and 16 random hexadecimal digits, created
// exclusively; a name that is taken is retried with another a bounded number of times.
// Temporary files of that pattern for the same target that are older than a day (left by
// a killed run) are removed first.
bool writeWholeFileAtomically(const std::string& path, std::string_view bytes,
                              Durability durability = Durability::kSynced);

// The same for a file only the user may read (mode 0600 on POSIX, also while it is being
// written; on Windows the folder's own permissions, as for every file the program writes).
bool writePrivateFileAtomically(const std::string& path, std::string_view bytes);

// An open directory: a descriptor on POSIX, a handle (which keeps the folder from being
// moved or removed while open) on Windows; kNoFolder for none.
using FolderHandle = std::intptr_t;
inline constexpr FolderHandle kNoFolder = -1;
void closeFolder(FolderHandle folder);

// The same for the file called name in the directory open as folder, so a caller that
// has checked the directory writes into exactly that one.
bool writeFileAtomicallyAt(FolderHandle folder, const std::string& name, std::string_view bytes,
                           Durability durability);

// Replaces the random numbers that name temporary files (null restores the system's).
// For tests that need to know the names in advance.
void setTemporaryNameSource(std::function<std::uint64_t()> source);
// The temporary name for target (a file name, not a path) made from a random number.
std::string temporaryNameFor(std::string_view target, std::uint64_t random);

// Copies a file, replacing the target. Returns whether it succeeded (both must be regular
// files, or the target missing).
bool copyFileOverwriting(const std::string& from, const std::string& to);

bool deleteFile(const std::string& path);

// Creates a directory and any missing parents; an existing directory is success.
bool makeDirectories(const std::string& path);

// True for an existing file (anything but a directory).
bool fileExists(const std::string& path);

// True when anything exists under the name: file, directory or (even dangling) link.
bool pathExists(const std::string& path);

}  // namespace zv
