#pragma once
// The system's font configuration loaded on a thread of its own while the program starts.
//
// The first text the stage measures makes the toolkit load the font configuration:
// every configuration file parsed and the font caches read, 7-8 ms here, all on the way
// to the first frame. Loaded ahead, while the toolkit connects to the display, the
// toolkit finds it ready: the library keeps one configuration per process and hands the
// loaded one to every later caller.
//
// Nothing happens where the toolkit uses no font configuration library (it is looked up
// among the libraries already loaded, never loaded for this).
//
// Make it after the program's own changes to the environment: the library reads the
// environment while it loads, and a variable added meanwhile moves the environment's
// table in memory under it (a crash, seen once in twenty starts).
#include <thread>

namespace zv {

class FontLibraryWarmUp {
 public:
  FontLibraryWarmUp();
  ~FontLibraryWarmUp();  // waits
  FontLibraryWarmUp(const FontLibraryWarmUp&) = delete;
  FontLibraryWarmUp& operator=(const FontLibraryWarmUp&) = delete;

  // Returns once the configuration is loaded (or there was none to load). Call before
  // the first text is measured: a toolkit that gets there first loads its own copy.
  void wait();

 private:
  std::thread loader_;
};

}  // namespace zv
