#pragma once
// A folder that belongs to the current user alone, for files that other users must
// neither plant nor read: a real directory (not a link), owned by the user, mode 0700.
// On Windows the folders are in the user's own profile (%LOCALAPPDATA%\zorvane), which
// the system already keeps from other users: there the folder need only be a real one.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace zv {

// Where the user's own folder called name goes: $XDG_RUNTIME_DIR/name when that variable
// is an absolute path to a directory the user owns, else <cache>/run, where <cache> is
// userCacheFolder(name); empty without either. Never a shared folder such as /tmp, where
// another user could make the name first. Nothing is created.
std::string userRuntimeFolder(std::string_view name);

// Where the user's cache folder called name goes: $XDG_CACHE_HOME/name when that variable
// is an absolute path, else $HOME/.cache/name; empty without either. Nothing is created.
// On Windows the cache folder is %LOCALAPPDATA%\name, the runtime folder its "run".
std::string userCacheFolder(std::string_view name);

class PrivateFolder {
 public:
  // The folder at path, made with mode 0700 when missing (its parent is not made). An
  // existing folder must be a real directory owned by the user; one that group or others
  // may use has its mode set to 0700. Anything else is refused: nothing.
  static std::optional<PrivateFolder> open(const std::string& path);

  PrivateFolder(PrivateFolder&& other) noexcept;
  PrivateFolder& operator=(PrivateFolder&& other) noexcept;
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  ~PrivateFolder();

  // The folder at userRuntimeFolder(name), made (with its parents) when missing.
  static std::optional<PrivateFolder> openUserRuntimeFolder(std::string_view name);

  const std::string& path() const { return path_; }
  // The open folder itself, for calls relative to it.
  FolderHandle descriptor() const { return folder_; }
  // path/name.
  std::string file(std::string_view name) const;

  // Writes the file called name into this very folder (the one checked on opening, even
  // if the path has since been changed), replacing any file of that name by rename.
  bool write(const std::string& name, std::string_view bytes,
             Durability durability = Durability::kSynced) const;
  // Removes the file (or whatever else) called name from this very folder.
  bool remove(const std::string& name) const;

  struct Entry {
    std::string name;
    bool regular = false;       // links are not followed: a link is not regular
    std::int64_t modified = 0;  // seconds
    std::uint64_t size = 0;
  };
  // Everything in the folder but "." and "..".
  std::vector<Entry> entries() const;
  // Sets the modification time of the file called name to now (a link's own, not its
  // target's).
  void touch(const std::string& name) const;

 private:
  PrivateFolder(std::string path, FolderHandle folder) : path_(std::move(path)), folder_(folder) {}

  std::string path_;
  FolderHandle folder_ = kNoFolder;
};

// The contents of a file that only this user can have put there: a regular file (not a
// link) owned by the user, of at most maxBytes, in a directory that is owned by the user
// and closed to group and others. Nothing otherwise, and never a wait on a pipe.
std::optional<std::string> readPrivateFile(const std::string& path, std::size_t maxBytes);

}  // namespace zv
