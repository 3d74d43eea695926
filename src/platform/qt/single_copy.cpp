// The hand-over rule, the same on every system; the channel is the platform's.
#include "platform/qt/single_copy.h"

#include "platform/qt/single_copy_channel.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <cstdio>
#include <thread>

namespace zv {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kRetryPause{100};

}  // namespace

namespace single_copy {

QString canonicalFolder(const std::string& programDirectory) {
  const QString given = QString::fromStdString(programDirectory);
  const QString canonical = QFileInfo(given).canonicalFilePath();
  return canonical.isEmpty() ? QDir::cleanPath(QDir(given).absolutePath()) : canonical;
}

QString digestName(const QByteArray& key) {
  return QString::fromLatin1(
      QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24));
}

}  // namespace single_copy

SingleCopy::SingleCopy(const std::string& programDirectory, milliseconds answerBound)
    : directory_(programDirectory),
      answerBound_(answerBound),
      lock_(programDirectory, kLockFileName),
      channel_(openChannel(programDirectory)) {}

SingleCopy::~SingleCopy() {
  // The channel goes before the lock: a copy that takes the lock over may set up its own.
  channel_.reset();
  lock_.release();
}

SingleCopy::Claim SingleCopy::claim() {
  const auto deadline = Clock::now() + answerBound_;
  // A copy here that answers runs, whatever its lock file has become (replaced by a copy
  // of the folder, say). Only a live copy listens, so with none this costs nothing; and
  // the whole bound, since a request sent is answered however late it is read.
  if (askRunningCopy(deadline)) return Claim::HandedOver;
  for (;;) {
    switch (lock_.tryTake()) {
      case FolderLock::Outcome::Taken:
        serve();
        return Claim::First;
      case FolderLock::Outcome::Uncreatable:
        // A folder that cannot hold the lock file (read-only, say): without a copy that
        // answers, this copy runs unguarded.
        std::fprintf(stderr, "Cannot create %s (%s); not guarding against a second copy.\n",
                     lock_.path().c_str(), lock_.why().c_str());
        serve();
        return Claim::First;
      case FolderLock::Outcome::Unremovable:
        std::fprintf(stderr, "A stale %s cannot be removed (%s); delete it.\n",
                     lock_.path().c_str(), lock_.why().c_str());
        return Claim::Blocked;
      case FolderLock::Outcome::Held:
        break;
    }
    // The running copy may still be setting up its channel, or may just have ended.
    if (askRunningCopy(deadline)) return Claim::HandedOver;
    if (Clock::now() >= deadline) return Claim::Unreachable;
    std::this_thread::sleep_for(kRetryPause);
  }
}

void SingleCopy::requestRaise() {
  QMetaObject::invokeMethod(this, [this] { if (raise_) raise_(); }, Qt::QueuedConnection);
}

void SingleCopy::bringToFront(QWidget* window) {
  if (!window) return;
  // Un-minimised into the state it had: a full-screen stage stays full screen.
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();
  takeForeground(window);
  // A dialog the operator left open stays above the stage.
  if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window) {
    modal->raise();
    modal->activateWindow();
    takeForeground(modal);
  }
}

}  // namespace zv
