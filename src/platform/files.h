#pragma once
// Files and directories, as the program needs them. Paths are UTF-8 (the platform's
// native file-name encoding on Linux).
#include <optional>
#include <string>
#include <string_view>

namespace zv {

// The directory of the running executable, without a trailing separator.
std::string programDirectory();

// Joins a directory and a relative path written with backslashes
// ("\奖品图片\1.jpg") or slashes, using the platform's separator.
std::string joinPath(std::string_view directory, std::string_view relative);

// The whole contents of a file; a missing or unreadable file gives empty contents.
std::string readWholeFile(const std::string& path);

// The whole contents of a file, or nothing when it cannot be opened or read (which
// tells a missing or unreadable file from an empty one).
std::optional<std::string> tryReadWholeFile(const std::string& path);

// Writes a whole file atomically: a temporary file in the same directory, flushed to
// disk, then renamed over the target. Returns false (and leaves the old file) on failure.
bool writeWholeFileAtomically(const std::string& path, std::string_view bytes);

// Copies a file, replacing the target. Returns whether it succeeded.
bool copyFileOverwriting(const std::string& from, const std::string& to);

bool deleteFile(const std::string& path);

// Creates a directory and any missing parents; an existing directory is success.
bool makeDirectories(const std::string& path);

// True for an existing file (anything but a directory).
bool fileExists(const std::string& path);

// True when anything exists under the name: file, directory or (even dangling) link.
bool pathExists(const std::string& path);

}  // namespace zv
