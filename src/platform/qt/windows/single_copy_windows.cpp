// The hand-over channel on Windows: a named pipe, named from the folder, the user and the
// session (pipe names are the whole machine's), served by overlapped I/O on a thread of
// its own. The later copy lets the first one take the foreground before it asks: Windows
// lets a program bring its window to the front only with the leave of the one in front.
#include <windows.h>
#include <sddl.h>

#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <thread>

#include "platform/qt/single_copy.h"
#include "platform/qt/single_copy_channel.h"

namespace zv {
namespace {

using namespace single_copy;

constexpr DWORD kBufferSize = 512;

DWORD msLeft(Clock::time_point deadline) { return static_cast<DWORD>(remainingMs(deadline)); }

// The user's SID as text; the user's name where the token cannot be read.
QByteArray userKey() {
  QByteArray key;
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    QByteArray buffer(static_cast<qsizetype>(size), '\0');
    wchar_t* text = nullptr;
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
      key = QString::fromWCharArray(text).toUtf8();
      LocalFree(text);
    }
    CloseHandle(token);
  }
  if (key.isEmpty()) key = qgetenv("USERNAME");
  return key;
}

// An overlapped read or write of a pipe that ends at the deadline, or when stop (if any)
// is signalled; the number of bytes moved, or -1.
long long transfer(HANDLE pipe, bool write, char* bytes, DWORD size, Clock::time_point deadline,
                   HANDLE stop = nullptr) {
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!overlapped.hEvent) return -1;
  DWORD moved = 0;
  const BOOL done = write ? WriteFile(pipe, bytes, size, &moved, &overlapped)
                          : ReadFile(pipe, bytes, size, &moved, &overlapped);
  long long result = -1;
  if (done) {
    result = moved;
  } else if (GetLastError() == ERROR_IO_PENDING) {
    const HANDLE events[2] = {overlapped.hEvent, stop};
    const DWORD woken = WaitForMultipleObjects(stop ? 2 : 1, events, FALSE, msLeft(deadline));
    if (woken != WAIT_OBJECT_0) CancelIoEx(pipe, &overlapped);
    // Waits for the cancelled operation too: the buffer is the caller's.
    if (GetOverlappedResult(pipe, &overlapped, &moved, TRUE)) result = moved;
    if (woken != WAIT_OBJECT_0) result = -1;
  }
  CloseHandle(overlapped.hEvent);
  return result;
}

bool sendAll(HANDLE pipe, QByteArrayView bytes, Clock::time_point deadline, HANDLE stop = nullptr) {
  QByteArray left(bytes.data(), bytes.size());
  while (!left.isEmpty()) {
    const long long n =
        transfer(pipe, true, left.data(), static_cast<DWORD>(left.size()), deadline, stop);
    if (n <= 0) return false;
    left.remove(0, static_cast<qsizetype>(n));
  }
  return true;
}

// One line (with its newline) of at most kLongestRequest bytes before the deadline.
std::optional<QByteArray> receiveLine(HANDLE pipe, Clock::time_point deadline,
                                      HANDLE stop = nullptr) {
  QByteArray line;
  while (!line.endsWith('\n')) {
    if (static_cast<std::size_t>(line.size()) > kLongestRequest) return std::nullopt;
    char buffer[kLongestRequest + 1];
    const long long n = transfer(pipe, false, buffer, sizeof buffer, deadline, stop);
    if (n <= 0) return std::nullopt;  // closed, failed or too late
    line.append(buffer, static_cast<qsizetype>(n));
  }
  return line;
}

HANDLE makePipe(const std::wstring& name, bool first) {
  // The first instance must be this copy's own: a pipe of that name made by someone else
  // beforehand is not taken for ours.
  return CreateNamedPipeW(name.c_str(),
                          PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED |
                              (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0),
                          PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT |
                              PIPE_REJECT_REMOTE_CLIENTS,
                          PIPE_UNLIMITED_INSTANCES, kBufferSize, kBufferSize, 0, nullptr);
}

// Waits for a copy to connect to pipe; false when stop is signalled first.
bool waitForCopy(HANDLE pipe, HANDLE stop) {
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!overlapped.hEvent) return false;
  bool connected = false;
  if (ConnectNamedPipe(pipe, &overlapped)) {
    connected = true;
  } else if (GetLastError() == ERROR_PIPE_CONNECTED) {
    connected = true;
  } else if (GetLastError() == ERROR_IO_PENDING) {
    const HANDLE events[2] = {overlapped.hEvent, stop};
    const DWORD woken = WaitForMultipleObjects(2, events, FALSE, INFINITE);
    if (woken != WAIT_OBJECT_0) CancelIoEx(pipe, &overlapped);
    DWORD unused = 0;
    connected = GetOverlappedResult(pipe, &overlapped, &unused, TRUE) && woken == WAIT_OBJECT_0;
  }
  CloseHandle(overlapped.hEvent);
  return connected;
}

}  // namespace

struct SingleCopy::Channel {
  std::wstring name;
  std::thread server;
  HANDLE stop = nullptr;  // set: the thread ends
};

SingleCopy::Channel* SingleCopy::openChannel(const std::string& programDirectory) {
  return new Channel{channelName(programDirectory).toStdWString(), {}, nullptr};
}

void SingleCopy::ChannelDeleter::operator()(Channel* channel) const {
  if (channel->server.joinable()) {
    SetEvent(channel->stop);
    channel->server.join();
  }
  if (channel->stop) CloseHandle(channel->stop);
  delete channel;
}

QString SingleCopy::channelName(const std::string& programDirectory) {
  // Folder names are the same in any case on Windows.
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  const QByteArray key = canonicalFolder(programDirectory).toCaseFolded().toUtf8() + '\n' +
                         userKey() + '\n' + QByteArray::number(static_cast<qulonglong>(session));
  return "\\\\.\\pipe\\zorvane-copy-" + digestName(key);
}

bool SingleCopy::askRunningCopy(Clock::time_point deadline) {
  // Blocking waits, not an event loop: nothing of this copy is up yet.
  HANDLE pipe = INVALID_HANDLE_VALUE;
  for (;;) {
    pipe = CreateFileW(channel_->name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) break;
    // Every instance busy with another copy: wait for one. Anything else: no copy serves.
    if (GetLastError() != ERROR_PIPE_BUSY || msLeft(deadline) == 0) return false;
    WaitNamedPipeW(channel_->name.c_str(), std::min<DWORD>(msLeft(deadline), 100));
  }
  // The running copy may take the foreground: this copy was started by the operator and
  // has it to give.
  ULONG server = 0;
  if (GetNamedPipeServerProcessId(pipe, &server)) AllowSetForegroundWindow(server);
  const bool answered = sendAll(pipe, kRequest, deadline) &&
                        isMessage(receiveLine(pipe, deadline), kAnswer);
  CloseHandle(pipe);
  return answered;
}

void SingleCopy::serve() {
  Channel& channel = *channel_;
  HANDLE listening = makePipe(channel.name, true);
  if (listening == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "No hand-over to this copy: cannot make the pipe %ls (error %lu)\n",
                 channel.name.c_str(), GetLastError());
    return;
  }
  channel.stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!channel.stop) {
    CloseHandle(listening);
    return;
  }
  channel.server = std::thread([this, listening, name = channel.name, stop = channel.stop] {
    HANDLE pipe = listening;
    while (pipe != INVALID_HANDLE_VALUE && waitForCopy(pipe, stop)) {
      // The next instance first, so that a copy arriving meanwhile finds the pipe.
      const HANDLE next = makePipe(name, false);
      const auto deadline = Clock::now() + kRequestWait;
      if (isMessage(receiveLine(pipe, deadline, stop), kRequest)) {
        requestRaise();
        sendAll(pipe, kAnswer, deadline, stop);
        FlushFileBuffers(pipe);
      }
      DisconnectNamedPipe(pipe);
      CloseHandle(pipe);
      pipe = next;
    }
    if (pipe != INVALID_HANDLE_VALUE) CloseHandle(pipe);
  });
}

void SingleCopy::takeForeground(QWidget* window) {
  const QWindow* handle = window->windowHandle();
  if (!handle || !handle->handle()) return;
  // Allowed by the later copy's AllowSetForegroundWindow; Qt's activation alone only
  // flashes the taskbar button of a program in the background.
  SetForegroundWindow(reinterpret_cast<HWND>(handle->winId()));
}

}  // namespace zv
