#include "x_session.h"

#include <X11/Xutil.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

namespace zv::e2e {

bool Rgb::near(Rgb other, int tolerance) const {
  return std::abs(r - other.r) <= tolerance && std::abs(g - other.g) <= tolerance &&
         std::abs(b - other.b) <= tolerance;
}

XvfbServer::XvfbServer(int width, int height) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    close(pipeFds[0]);
    const std::string fd = std::to_string(pipeFds[1]);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
           "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  std::string number;
  char c;
  while (read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
  close(pipeFds[0]);
  if (number.empty()) return;
  name_ = ":" + number;
  display_ = XOpenDisplay(name_.c_str());
}

XvfbServer::~XvfbServer() {
  if (display_) XCloseDisplay(display_);
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

XvfbServer::Shot XvfbServer::shot() const {
  Shot s;
  if (!display_) return s;
  const Window root = DefaultRootWindow(display_);
  XWindowAttributes attributes;
  XGetWindowAttributes(display_, root, &attributes);
  XImage* image = XGetImage(display_, root, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (!image) return s;
  s.width_ = attributes.width;
  s.height_ = attributes.height;
  s.rgb_.resize(static_cast<std::size_t>(s.width_) * static_cast<std::size_t>(s.height_) * 3);
  std::size_t i = 0;
  for (int y = 0; y < s.height_; ++y) {
    for (int x = 0; x < s.width_; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      s.rgb_[i++] = static_cast<unsigned char>((pixel >> 16) & 0xFF);
      s.rgb_[i++] = static_cast<unsigned char>((pixel >> 8) & 0xFF);
      s.rgb_[i++] = static_cast<unsigned char>(pixel & 0xFF);
    }
  }
  XDestroyImage(image);
  return s;
}

Rgb XvfbServer::Shot::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                         static_cast<std::size_t>(x)) *
                        3;
  return Rgb{rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

void XvfbServer::savePng(const std::string& path) const {
  const std::string command =
      "DISPLAY=" + name_ + " import -window root '" + path + "' 2>/dev/null";
  [[maybe_unused]] const int status = std::system(command.c_str());
}

ProgramProcess::ProgramProcess(const std::string& programDirectory, const std::string& display) {
  const std::string program = programDirectory + "/zorvane";
  // Copied beside and renamed over: a copy already running from this folder keeps its
  // file busy, so it cannot be overwritten in place.
  const std::string copy = program + ".new";
  std::filesystem::copy_file(ZV_PROGRAM, copy, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::rename(copy, program);
  pid_ = fork();
  if (pid_ == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (chdir("/") != 0) _exit(126);  // the program must find its files by itself
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
}

ProgramProcess::~ProgramProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool ProgramProcess::running() const {
  if (pid_ <= 0) return false;
  if (waitpid(pid_, nullptr, WNOHANG) == 0) return true;
  pid_ = -1;  // reaped: the number may go to another process
  return false;
}

void ProgramProcess::sendSignal(int signal) {
  if (pid_ > 0) kill(pid_, signal);
}

bool ProgramProcess::terminate(std::chrono::milliseconds timeout) {
  if (pid_ <= 0) return true;
  kill(pid_, SIGTERM);
  const bool ended = waitUntil([this] { return waitpid(pid_, nullptr, WNOHANG) == pid_; }, timeout);
  if (ended) pid_ = -1;
  return ended;
}

int xdotool(const std::string& display, const std::string& arguments) {
  // A UTF-8 locale, so that window names in Chinese match whatever the machine sets.
  const std::string command =
      "LC_ALL=C.UTF-8 DISPLAY=" + display + " xdotool " + arguments + " >/dev/null 2>&1";
  return std::system(command.c_str());
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return condition();
}

}  // namespace zv::e2e
