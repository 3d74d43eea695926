#pragma once
// An Xvfb server of the test's own, the program started on it from a program directory,
// and pixel probes of the screen.
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zv::e2e {

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool near(Rgb other, int tolerance = 24) const;
  bool isYellow() const { return r > 190 && g > 190 && b < 90; }
};

// The desktop the tests run on: a bare X server, a window manager, or a window manager
// with a compositor. Chosen by ZV_E2E_DESKTOP ("none", "openbox", "compositor").
enum class Desktop { Bare, Openbox, Compositor };
Desktop desktopFromEnvironment();
const char* desktopName(Desktop desktop);

class XvfbServer {
 public:
  XvfbServer(int width, int height, Desktop desktop = desktopFromEnvironment());
  // `beforeDesktop` runs with the display's name once the server is up and before the
  // window manager starts (which reads the monitors once), e.g. to split it into monitors.
  XvfbServer(int width, int height, Desktop desktop,
             const std::function<void(const std::string& display)>& beforeDesktop);
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  bool ok() const { return display_ != nullptr && desktopReady_; }
  Desktop desktop() const { return desktop_; }
  const std::string& name() const { return name_; }  // ":N"
  pid_t pid() const { return pid_; }
  // The window manager's and the compositor's processes, in the order they started.
  const std::vector<pid_t>& desktopPids() const { return desktopPids_; }

  // A snapshot of the whole screen.
  class Shot {
   public:
    Rgb at(int x, int y) const;
    int width() const { return width_; }
    int height() const { return height_; }

   private:
    friend class XvfbServer;
    std::vector<unsigned char> rgb_;
    int width_ = 0, height_ = 0;
  };
  Shot shot() const;

  // The client area, in screen coordinates, of a mapped window titled utf8Title (its
  // _NET_WM_NAME), wherever a window manager placed it.
  struct Area {
    int x = 0, y = 0, width = 0, height = 0;
  };
  std::optional<Area> findWindow(const std::string& utf8Title) const;
  // How many mapped windows are titled utf8Title.
  int countWindows(const std::string& utf8Title) const;
  // Asks the window titled utf8Title to close, as its title bar's close button does.
  bool closeWindow(const std::string& utf8Title) const;
  // Saves a PNG of the screen (for looking at a failure); needs ImageMagick's import.
  void savePng(const std::string& path) const;

 private:
  bool startDesktop();

  pid_t pid_ = -1;
  std::vector<pid_t> desktopPids_;  // window manager, compositor
  std::string name_;
  Display* display_ = nullptr;
  Desktop desktop_;
  bool desktopReady_ = false;
};

class ProgramProcess {
 public:
  ProgramProcess(const std::string& programDirectory, const std::string& display);
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;
  bool running() const;
  pid_t pid() const { return pid_; }
  // Sends SIGTERM and waits for the program to end; false when it is still running.
  bool terminate(std::chrono::milliseconds timeout);
  void sendSignal(int signal);
  // The moment just before the program's process was forked.
  std::chrono::steady_clock::time_point started() const { return started_; }

 private:
  mutable pid_t pid_ = -1;
  std::chrono::steady_clock::time_point started_;
};

// Runs xdotool with the given arguments on the display; returns its exit status.
int xdotool(const std::string& display, const std::string& arguments);

// Polls until the condition holds or the time runs out.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(15));

}  // namespace zv::e2e
