#pragma once
// An Xvfb server of the test's own, the program started on it from a program directory,
// and pixel probes of the screen.
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace zv::e2e {

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool near(Rgb other, int tolerance = 24) const;
  bool isYellow() const { return r > 190 && g > 190 && b < 90; }
};

class XvfbServer {
 public:
  XvfbServer(int width, int height);
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  bool ok() const { return display_ != nullptr; }
  const std::string& name() const { return name_; }  // ":N"

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
  // Saves a PNG of the screen (for looking at a failure); needs ImageMagick's import.
  void savePng(const std::string& path) const;

 private:
  pid_t pid_ = -1;
  std::string name_;
  Display* display_ = nullptr;
};

class ProgramProcess {
 public:
  ProgramProcess(const std::string& programDirectory, const std::string& display);
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;
  bool running() const;
  // Sends SIGTERM and waits for the program to end; false when it is still running.
  bool terminate(std::chrono::milliseconds timeout);
  void sendSignal(int signal);

 private:
  mutable pid_t pid_ = -1;
};

// Runs xdotool with the given arguments on the display; returns its exit status.
int xdotool(const std::string& display, const std::string& arguments);

// Polls until the condition holds or the time runs out.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(15));

}  // namespace zv::e2e
