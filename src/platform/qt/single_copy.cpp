#include "platform/qt/single_copy.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace zv {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr QByteArrayView kRequest = "raise\n";
constexpr QByteArrayView kAnswer = "shown\n";
constexpr std::size_t kLongestRequest = 64;  // anything longer is not ours
constexpr milliseconds kRetryPause{100};
// How long the running copy waits for a connected copy's request.
constexpr milliseconds kRequestWait{1000};

int remainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

QByteArray userId() { return QByteArray::number(static_cast<qulonglong>(::getuid())); }

// The socket's address; nothing for a path too long for one.
std::optional<sockaddr_un> socketAddress(const QString& channel) {
  // A bare name goes where Qt's local sockets put one, so both reach the same socket.
  const QByteArray path =
      QFile::encodeName(QDir::isAbsolutePath(channel) ? channel : QDir::temp().filePath(channel));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path) return std::nullopt;
  std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
  return address;
}

// Waits for fd to become ready for events; false at the deadline or on an error.
bool waitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, remainingMs(deadline));
    if (n > 0) return (p.revents & events) != 0;
    if (n == 0 || errno != EINTR) return false;
  }
}

// Sends all of bytes before the deadline.
bool sendAll(int fd, QByteArrayView bytes, Clock::time_point deadline) {
  qsizetype sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, static_cast<std::size_t>(bytes.size() - sent),
                             MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += n;
    } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
      return false;
    } else if (n < 0 && errno == EAGAIN && !waitFor(fd, POLLOUT, deadline)) {
      return false;
    }
  }
  return true;
}

// Reads one line (with its newline) of at most kLongestRequest bytes before the deadline.
std::optional<QByteArray> receiveLine(int fd, Clock::time_point deadline) {
  QByteArray line;
  while (!line.endsWith('\n')) {
    if (static_cast<std::size_t>(line.size()) > kLongestRequest || !waitFor(fd, POLLIN, deadline))
      return std::nullopt;
    char buffer[kLongestRequest + 1];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n == 0) return std::nullopt;  // closed before a whole line
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return std::nullopt;
    }
    line.append(buffer, n);
  }
  return line;
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
  if (server_.joinable()) {
    ::close(stopServer_[1]);
    server_.join();
    ::close(stopServer_[0]);
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
  const std::optional<sockaddr_un> address = socketAddress(channel_);
  if (!address) return false;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool answered =
      ::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0 &&
      sendAll(fd, kRequest, deadline) &&
      receiveLine(fd, deadline) == QByteArray(kAnswer.data(), kAnswer.size());
  ::close(fd);
  return answered;
}

void SingleCopy::serve() {
  const std::optional<sockaddr_un> address = socketAddress(channel_);
  const int listening = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  bool listens = address && listening >= 0;
  if (listens) {
    // A socket left by a copy that was killed; this copy holds the folder now.
    ::unlink(address->sun_path);
    // Only this user may connect: the socket is made closed to everyone else.
    const mode_t before = ::umask(0077);
    listens = ::bind(listening, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
    ::umask(before);
    listens = listens && ::listen(listening, 8) == 0;
  }
  if (!listens || ::pipe2(stopServer_, O_CLOEXEC) != 0) {
    std::fprintf(stderr, "Cannot listen on %s: %s\n", qPrintable(channel_), std::strerror(errno));
    if (listening >= 0) ::close(listening);
    return;
  }
  server_ = std::thread([this, listening, path = std::string(address->sun_path)] {
    answerCopies(listening);
    ::close(listening);
    ::unlink(path.c_str());
  });
}

void SingleCopy::answerCopies(int listening) {
  for (;;) {
    pollfd waiting[2] = {{listening, POLLIN, 0}, {stopServer_[0], POLLIN, 0}};
    if (::poll(waiting, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (waiting[1].revents) return;  // the pipe's writing end closed: the program ends
    const int connection = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    answer(connection);
    ::close(connection);
  }
}

void SingleCopy::answer(int connection) {
  const auto deadline = Clock::now() + kRequestWait;
  if (receiveLine(connection, deadline) != QByteArray(kRequest.data(), kRequest.size())) return;
  QMetaObject::invokeMethod(this, [this] { if (raise_) raise_(); }, Qt::QueuedConnection);
  sendAll(connection, kAnswer, deadline);
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
