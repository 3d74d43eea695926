#pragma once
// One copy of the program per program folder. Two copies in one folder would both count
// wins in the same results file and overwrite each other's tallies, so a later copy hands
// over to the running one (which brings its stage to the front) and ends.
//
// The folder is held by the lock file `.zorvane.lock` in it (see FolderLock). A copy is
// running only if it answers on the hand-over channel or its lock file names a live
// process of this machine and boot; a lock file left by a crash, a power cut or another
// PC (the folder was copied while it ran) is taken over. The hand-over channel is named
// from the canonical folder and the user: on Linux a local socket in the user's own
// runtime folder (x11/), on Windows a named pipe of the user's session (windows/).
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/folder_lock.h"

class QWidget;

namespace zv {

class SingleCopy : public QObject {
 public:
  static constexpr const char* kLockFileName = ".zorvane.lock";

  enum class Claim {
    First,        // this copy holds the folder and serves later copies
    HandedOver,   // a running copy took the request and shows its stage
    Unreachable,  // a running copy holds the folder but did not answer in time
    Blocked,      // a stale lock is in the way and cannot be removed: lockPath() must go
  };

  // answerBound: how long a later copy waits for the running one in all.
  explicit SingleCopy(const std::string& programDirectory,
                      std::chrono::milliseconds answerBound = std::chrono::seconds(4));
  ~SingleCopy() override;
  SingleCopy(const SingleCopy&) = delete;
  SingleCopy& operator=(const SingleCopy&) = delete;

  // Takes the folder, or asks the copy that holds it to show its stage.
  Claim claim();

  // The first copy: what a later copy's request does (bring the stage to the front).
  void onRaiseRequest(std::function<void()> raise) { raise_ = std::move(raise); }

  // The full path of the lock file; why it could not be removed, for Blocked.
  const std::string& lockPath() const { return lock_.path(); }
  const std::string& lockProblem() const { return lock_.why(); }

  // The hand-over channel's name for a folder; the same for every spelling of the folder.
  // Linux: the local socket's path, in the user's own runtime folder, which this makes
  // when missing; empty when the user has none. Windows: the named pipe's name.
  static QString channelName(const std::string& programDirectory);

  // Shows a window (un-minimised, keeping full screen), raises and activates it, and any
  // modal dialog over it.
  static void bringToFront(QWidget* window);

 private:
  // The platform's part (x11/, windows/). Later copies are answered from a thread of the
  // channel's own, so that a start-up still building the stage does not keep them
  // waiting; the raise itself runs on this object's thread (requestRaise). No network
  // module: its libraries cost every start a few milliseconds of loading.
  struct Channel;
  struct ChannelDeleter {
    void operator()(Channel* channel) const;  // stops serving and waits for the thread
  };
  static Channel* openChannel(const std::string& programDirectory);
  // Asks the copy serving the channel to show its stage; true once it said it did.
  bool askRunningCopy(std::chrono::steady_clock::time_point deadline);
  // Starts answering later copies.
  void serve();
  // From the channel's thread: a later copy asked for the stage.
  void requestRaise();
  // The platform's last word on bringing a window to the front (Windows: the foreground
  // window, which the later copy allowed this process to set).
  static void takeForeground(QWidget* window);

  std::string directory_;
  std::chrono::milliseconds answerBound_;
  FolderLock lock_;
  std::unique_ptr<Channel, ChannelDeleter> channel_;
  std::function<void()> raise_;
};

}  // namespace zv
