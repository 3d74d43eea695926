// The hand-over channel on Linux: a local socket in the user's own runtime folder.
#include "platform/qt/single_copy.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>

#include "platform/private_folder.h"
#include "platform/qt/single_copy_channel.h"

namespace zv {
namespace {

using namespace single_copy;

QByteArray userId() { return QByteArray::number(static_cast<qulonglong>(::getuid())); }

constexpr const char* kSocketFolderName = "zorvane";

enum class AddressProblem { None, NoFolder, TooLong };

// The socket's address, reached through the open folder when its full path is longer than
// a socket address holds (a deep home folder); nothing without a folder or for a path too
// long even so.
std::optional<sockaddr_un> socketAddress(const QString& channel,
                                         const std::optional<PrivateFolder>& folder,
                                         AddressProblem* problem = nullptr) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const auto fits = [&address](const QByteArray& path) {
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return true;
  };
  if (problem) *problem = AddressProblem::NoFolder;
  if (channel.isEmpty() || !folder) return std::nullopt;
  if (fits(QFile::encodeName(channel))) return address;
  const QByteArray name = QFile::encodeName(QFileInfo(channel).fileName());
  if (fits("/proc/self/fd/" + QByteArray::number(folder->descriptor()) + "/" + name))
    return address;
  if (problem) *problem = AddressProblem::TooLong;
  return std::nullopt;
}

// Waits for fd to become ready for events; false at the deadline or on an error.
bool waitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, static_cast<int>(remainingMs(deadline)));
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

// Answers one connected copy: its request, then the answer.
void answer(int connection, const std::function<void()>& request) {
  const auto deadline = Clock::now() + kRequestWait;
  if (!isMessage(receiveLine(connection, deadline), kRequest)) return;
  request();
  sendAll(connection, kAnswer, deadline);
}

void answerCopies(int listening, int stop, const std::function<void()>& request) {
  for (;;) {
    pollfd waiting[2] = {{listening, POLLIN, 0}, {stop, POLLIN, 0}};
    if (::poll(waiting, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (waiting[1].revents) return;  // the pipe's writing end closed: the program ends
    const int connection = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    answer(connection, request);
    ::close(connection);
  }
}

}  // namespace

struct SingleCopy::Channel {
  QString name;
  std::optional<PrivateFolder> folder;
  std::thread server;
  int stopServer[2] = {-1, -1};  // a pipe; closing its writing end ends the thread
};

SingleCopy::Channel* SingleCopy::openChannel(const std::string& programDirectory) {
  return new Channel{channelName(programDirectory),
                     PrivateFolder::openUserRuntimeFolder(kSocketFolderName), {}, {-1, -1}};
}

void SingleCopy::ChannelDeleter::operator()(Channel* channel) const {
  if (channel->server.joinable()) {
    ::close(channel->stopServer[1]);
    channel->server.join();
    ::close(channel->stopServer[0]);
  }
  delete channel;
}

QString SingleCopy::channelName(const std::string& programDirectory) {
  const QString name =
      "copy-" + digestName(canonicalFolder(programDirectory).toUtf8() + '\n' + userId());
  // The user's own folder keeps other users from taking the name first (never /tmp).
  const auto folder = PrivateFolder::openUserRuntimeFolder(kSocketFolderName);
  return folder ? QDir(QString::fromStdString(folder->path())).filePath(name) : QString();
}

bool SingleCopy::askRunningCopy(Clock::time_point deadline) {
  // Blocking waits, not an event loop: nothing of this copy is up yet.
  const std::optional<sockaddr_un> address = socketAddress(channel_->name, channel_->folder);
  if (!address) return false;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool answered =
      ::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0 &&
      sendAll(fd, kRequest, deadline) &&
      isMessage(receiveLine(fd, deadline), kAnswer);
  ::close(fd);
  return answered;
}

void SingleCopy::serve() {
  Channel& channel = *channel_;
  AddressProblem problem = AddressProblem::None;
  const std::optional<sockaddr_un> address = socketAddress(channel.name, channel.folder, &problem);
  if (!address) {
    if (problem == AddressProblem::TooLong) {
      std::fprintf(stderr, "No hand-over to this copy: the socket path %s is too long\n",
                   qPrintable(channel.name));
    } else {
      const std::string folder = userRuntimeFolder(kSocketFolderName);
      std::fprintf(
          stderr,
          "No hand-over to this copy: the folder %s is not the user's own or cannot be made\n",
          folder.empty() ? "(no $XDG_RUNTIME_DIR, $XDG_CACHE_HOME or $HOME)" : folder.c_str());
    }
    return;
  }
  const int listening = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  bool listens = listening >= 0;
  if (listens) {
    // A socket left by a copy that was killed; this copy holds the folder now.
    ::unlink(address->sun_path);
    // Only this user may connect: the socket is made closed to everyone else.
    const mode_t before = ::umask(0077);
    listens = ::bind(listening, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
    ::umask(before);
    listens = listens && ::listen(listening, 8) == 0;
  }
  if (!listens || ::pipe2(channel.stopServer, O_CLOEXEC) != 0) {
    std::fprintf(stderr, "Cannot listen on %s: %s\n", qPrintable(channel.name),
                 std::strerror(errno));
    if (listening >= 0) ::close(listening);
    return;
  }
  channel.server = std::thread(
      [this, listening, stop = channel.stopServer[0], path = std::string(address->sun_path)] {
        answerCopies(listening, stop, [this] { requestRaise(); });
        ::close(listening);
        ::unlink(path.c_str());
      });
}

void SingleCopy::takeForeground(QWidget*) {}

}  // namespace zv
