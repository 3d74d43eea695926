#pragma once
// The lock file that holds a folder for one running copy of the program (backends:
// posix/folder_lock_posix.cpp, windows/folder_lock_windows.cpp; the rounds of taking it,
// in folder_lock.cpp, and the staleness rule itself are portable).
//
// The file is made whole under a name of its own and linked (POSIX) or renamed (Windows)
// into place, so the lock file a second copy finds always holds the complete record of
// its writer; the writer keeps an exclusive lock on it while it runs (flock; LockFileEx
// on a byte past the record). A lock file is taken over when its lock is free and it is
// stale by isStaleFolderLock (another PC's, another boot's, a dead process's, empty,
// garbage), or when it is no lock file at all (a folder, a link, a pipe).
#include <cstdint>
#include <string>

#include "platform/logic/folder_lock_record.h"

namespace zv {

class FolderLock {
 public:
  enum class Outcome {
    Taken,        // this copy holds the folder
    Held,         // a copy on this machine holds it (or is just making its lock file)
    Unremovable,  // a stale lock is in the way and cannot be removed: path() must go
    Uncreatable,  // the folder takes no lock file (read-only, say); why() says what failed
  };

  // The lock file fileName in directory; nothing is touched yet.
  FolderLock(const std::string& directory, const std::string& fileName);
  ~FolderLock();  // lets go, removing the file if it is still this copy's
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // One attempt; a Held lock may be tried again later.
  Outcome tryTake();
  bool held() const { return fd_ >= 0; }
  void release();

  const std::string& path() const { return path_; }
  const std::string& why() const { return why_; }

 private:
  enum class Made { Yes, Exists, Failed };
  Made make();
  Made makeInPlace();
  Outcome clearAway();

  std::string directory_;
  std::string path_;
  std::string why_;
  int fd_ = -1;  // the lock file, open while held (a C runtime descriptor on Windows)
};

// This machine's facts for judging a lock: host name, boot id, and processes as the
// system shows them (/proc and kill(2); OpenProcess and GetProcessTimes).
MachineFacts thisMachine();

// This process's record, as its lock file states it.
FolderLockRecord thisProcessRecord();

}  // namespace zv
