#include "support/x_session.h"

#include <X11/Xutil.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <thread>

namespace zv::e2e {

bool Rgb::near(Rgb other, int tolerance) const {
  return std::abs(r - other.r) <= tolerance && std::abs(g - other.g) <= tolerance &&
         std::abs(b - other.b) <= tolerance;
}

Desktop desktopFromEnvironment() {
  const char* value = std::getenv("ZV_E2E_DESKTOP");
  const std::string name = value ? value : "";
  if (name == "openbox") return Desktop::Openbox;
  if (name == "compositor") return Desktop::Compositor;
  return Desktop::Bare;
}

const char* desktopName(Desktop desktop) {
  switch (desktop) {
    case Desktop::Openbox:
      return "openbox";
    case Desktop::Compositor:
      return "compositor";
    case Desktop::Bare:
      break;
  }
  return "none";
}

namespace {

pid_t spawn(const std::string& display, const std::vector<std::string>& argv) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    // Quiet: the desktop's own chatter is not the test's output.
    if (FILE* null = std::freopen("/dev/null", "w", stdout)) (void)null;
    if (FILE* null = std::freopen("/dev/null", "w", stderr)) (void)null;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

// Whether the root window names a window manager (the EWMH check window) or a compositor
// owns the screen's compositing selection.
bool windowManagerRuns(Display* display) {
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == 0) return false;
  Atom type;
  int format;
  unsigned long items, after;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                        AnyPropertyType, &type, &format, &items, &after, &data);
  if (data) XFree(data);
  return status == Success && items == 1;
}

bool compositorRuns(Display* display) {
  const Atom selection = XInternAtom(display, "_NET_WM_CM_S0", False);
  return XGetSelectionOwner(display, selection) != 0;
}

}  // namespace

bool XvfbServer::startDesktop() {
  if (desktop_ == Desktop::Bare) return true;
  desktopPids_.push_back(spawn(name_, {"openbox", "--sm-disable"}));
  if (!waitUntil([&] { return windowManagerRuns(display_); }, std::chrono::seconds(10)))
    return false;
  if (desktop_ == Desktop::Compositor) {
    // No fading or shadows: pixels on screen are the windows' own.
    desktopPids_.push_back(spawn(name_, {"picom", "--config", "/dev/null", "--backend", "xrender",
                                         "--no-fading-openclose"}));
    if (!waitUntil([&] { return compositorRuns(display_); }, std::chrono::seconds(10)))
      return false;
  }
  // Let the window manager settle before the program maps its window.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  return true;
}

namespace {
// Windows come and go while the tests walk the tree; a vanished window is no failure.
int ignoreXErrors(Display*, XErrorEvent*) { return 0; }
}  // namespace

XvfbServer::XvfbServer(int width, int height, Desktop desktop)
    : XvfbServer(width, height, desktop, {}) {}

XvfbServer::XvfbServer(int width, int height, Desktop desktop,
                       const std::function<void(const std::string& display)>& beforeDesktop)
    : desktop_(desktop) {
  XSetErrorHandler(ignoreXErrors);
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
  if (!display_) return;
  if (beforeDesktop) beforeDesktop(name_);
  desktopReady_ = startDesktop();
}

XvfbServer::~XvfbServer() {
  for (auto it = desktopPids_.rbegin(); it != desktopPids_.rend(); ++it) {
    if (*it <= 0) continue;
    kill(*it, SIGTERM);
    waitpid(*it, nullptr, 0);
  }
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

namespace {

std::string utf8Name(Display* display, Window w) {
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type;
  int format;
  unsigned long items, after;
  unsigned char* data = nullptr;
  std::string name;
  if (XGetWindowProperty(display, w, netName, 0, 1024, False, utf8, &type, &format, &items, &after,
                         &data) == Success &&
      data) {
    name.assign(reinterpret_cast<char*>(data), items);
  }
  if (data) XFree(data);
  return name;
}

Window findNamed(Display* display, Window w, const std::string& title) {
  XWindowAttributes a;
  if (XGetWindowAttributes(display, w, &a) && a.map_state == IsViewable &&
      utf8Name(display, w) == title)
    return w;
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (XQueryTree(display, w, &root, &parent, &children, &count)) {
    for (unsigned i = count; i-- > 0 && !found;) found = findNamed(display, children[i], title);
  }
  if (children) XFree(children);
  return found;
}

int countNamed(Display* display, Window w, const std::string& title) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(display, w, &a) || a.map_state != IsViewable) return 0;
  int count = utf8Name(display, w) == title ? 1 : 0;
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  if (XQueryTree(display, w, &root, &parent, &children, &n)) {
    for (unsigned i = 0; i < n; ++i) count += countNamed(display, children[i], title);
  }
  if (children) XFree(children);
  return count;
}

}  // namespace

int XvfbServer::countWindows(const std::string& utf8Title) const {
  return display_ ? countNamed(display_, DefaultRootWindow(display_), utf8Title) : 0;
}

std::optional<XvfbServer::Area> XvfbServer::findWindow(const std::string& utf8Title) const {
  if (!display_) return std::nullopt;
  const Window root = DefaultRootWindow(display_);
  const Window w = findNamed(display_, root, utf8Title);
  if (!w) return std::nullopt;
  XWindowAttributes a;
  Window child;
  Area area;
  if (!XGetWindowAttributes(display_, w, &a) ||
      !XTranslateCoordinates(display_, w, root, 0, 0, &area.x, &area.y, &child))
    return std::nullopt;
  area.width = a.width;
  area.height = a.height;
  return area;
}

bool XvfbServer::closeWindow(const std::string& utf8Title) const {
  if (!display_) return false;
  const Window w = findNamed(display_, DefaultRootWindow(display_), utf8Title);
  if (!w) return false;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, w, False, NoEventMask, &e);
  XFlush(display_);
  return true;
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
  // Spawned, not forked: a fork copies the whole caller first (a benchmark holding its
  // decoded photographs took 15-20 ms more to start the program than a small test).
  std::vector<std::string> environment;
  for (char** entry = environ; *entry; ++entry) {
    const std::string_view text(*entry);
    if (!text.starts_with("DISPLAY=") && !text.starts_with("QT_QPA_PLATFORM=") &&
        !text.starts_with("SDL_AUDIODRIVER="))
      environment.emplace_back(text);
  }
  environment.push_back("DISPLAY=" + display);
  environment.push_back("QT_QPA_PLATFORM=xcb");
  environment.push_back("SDL_AUDIODRIVER=dummy");
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::string path = program;
  char* argv[] = {path.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, "/");  // the program finds its files itself
  started_ = std::chrono::steady_clock::now();
  if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
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
