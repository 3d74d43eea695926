#include "platform/folder_lock.h"

namespace zv {

FolderLock::~FolderLock() { release(); }

FolderLock::Outcome FolderLock::tryTake() {
  if (fd_ >= 0) return Outcome::Taken;
  why_.clear();
  // A stale file cleared away may be followed by another copy's own; a few rounds only.
  for (int round = 0; round < 3; ++round) {
    switch (make()) {
      case Made::Yes:
        return Outcome::Taken;
      case Made::Failed:
        return Outcome::Uncreatable;
      case Made::Exists:
        break;
    }
    const Outcome found = clearAway();
    if (found != Outcome::Taken) return found;
  }
  return Outcome::Held;
}

}  // namespace zv
