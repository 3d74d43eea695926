#include "platform/qt/single_copy.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>
#include <cstdio>
#include <thread>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace zv {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr QByteArrayView kRequest = "raise\n";
constexpr QByteArrayView kAnswer = "shown\n";
constexpr qint64 kLongestRequest = 64;  // anything longer is not ours
constexpr milliseconds kRetryPause{100};

int remainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

QByteArray userId() {
#ifdef Q_OS_UNIX
  return QByteArray::number(static_cast<qulonglong>(::getuid()));
#else
  return qgetenv("USERNAME");
#endif
}

}  // namespace

SingleCopy::SingleCopy(const std::string& programDirectory, milliseconds answerBound)
    : directory_(programDirectory),
      channel_(channelName(programDirectory)),
      answerBound_(answerBound),
      lock_(QDir(QString::fromStdString(programDirectory)).filePath(kLockFileName)) {
  // Only a copy whose process is gone leaves a stale lock; a long run never makes one.
  lock_.setStaleLockTime(0);
}

SingleCopy::~SingleCopy() {
  // The socket goes before the lock: a copy that takes the lock over may set up its own.
  if (server_) {
    server_->quit();
    server_->wait();
  }
  if (lock_.isLocked()) lock_.unlock();
}

QString SingleCopy::channelName(const std::string& programDirectory) {
  const QString given = QString::fromStdString(programDirectory);
  QString canonical = QFileInfo(given).canonicalFilePath();
  if (canonical.isEmpty()) canonical = QDir::cleanPath(QDir(given).absolutePath());
  const QByteArray key = canonical.toUtf8() + '\n' + userId();
  const QString name = "zorvane-" + QString::fromLatin1(
      QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24));
  // The user's own runtime directory keeps other users from taking the name first.
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return runtime.isEmpty() ? name : QDir(runtime).filePath(name);
}

SingleCopy::Claim SingleCopy::claim() {
  const auto deadline = Clock::now() + answerBound_;
  for (;;) {
    if (lock_.tryLock(0)) {
      serve();
      return Claim::First;
    }
    if (lock_.error() != QLockFile::LockFailedError) {
      // A folder that cannot hold the lock file (read-only, say): a running copy can
      // still be asked; without one this copy runs unguarded.
      if (askRunningCopy(Clock::now() + kRetryPause)) return Claim::HandedOver;
      std::fprintf(stderr, "Cannot create %s in %s; not guarding against a second copy.\n",
                   kLockFileName, directory_.c_str());
      serve();
      return Claim::First;
    }
    // The running copy may still be setting up its socket, or may just have ended.
    if (askRunningCopy(deadline)) return Claim::HandedOver;
    if (Clock::now() >= deadline) return Claim::Unreachable;
    std::this_thread::sleep_for(kRetryPause);
  }
}

bool SingleCopy::askRunningCopy(Clock::time_point deadline) {
  // Blocking waits, not an event loop: nothing of this copy is up yet.
  QLocalSocket socket;
  socket.connectToServer(channel_);
  if (!socket.waitForConnected(remainingMs(deadline))) return false;
  socket.write(kRequest.data(), kRequest.size());
  if (!socket.waitForBytesWritten(remainingMs(deadline))) return false;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(remainingMs(deadline))) return false;
  }
  return socket.readLine() == kAnswer;
}

void SingleCopy::serve() {
  server_.reset(QThread::create([this] {
    QLocalServer server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a copy that was killed; this copy holds the folder now.
    QLocalServer::removeServer(channel_);
    if (!server.listen(channel_)) {
      std::fprintf(stderr, "Cannot listen on %s: %s\n", qPrintable(channel_),
                   qPrintable(server.errorString()));
      return;
    }
    QObject::connect(&server, &QLocalServer::newConnection, &server,
                     [this, &server] { answer(server); });
    QEventLoop loop;  // this thread's only loop; the destructor's quit() ends it
    loop.exec();
  }));
  server_->start();
}

void SingleCopy::answer(QLocalServer& server) {
  while (QLocalSocket* socket = server.nextPendingConnection()) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    const auto read = [this, socket] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kLongestRequest) socket->abort();
        return;
      }
      if (socket->readLine() == kRequest) {
        QMetaObject::invokeMethod(
            this, [this] { if (raise_) raise_(); }, Qt::QueuedConnection);
        socket->write(kAnswer.data(), kAnswer.size());
      }
      socket->disconnectFromServer();
    };
    QObject::connect(socket, &QLocalSocket::readyRead, socket, read);
    read();
  }
}

void SingleCopy::bringToFront(QWidget* window) {
  if (!window) return;
  // Un-minimised into the state it had: a full-screen stage stays full screen.
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();
  // A dialog the operator left open stays above the stage.
  if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window) {
    modal->raise();
    modal->activateWindow();
  }
}

}  // namespace zv
