#pragma once
// The Windows build of the program run under Wine on an Xvfb server of the test's own.
// The Wine prefix (ZV_WINEPREFIX) is made once by tools/windows; the program comes from
// the portable zip (ZV_WINDOWS_ZIP), unpacked afresh for every test.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace zv::e2e {

struct WineSetup {
  std::string wine;    // the wine64 loader
  std::string prefix;  // WINEPREFIX
  std::string zip;     // the portable zip
  // Empty when everything is there; else what is missing.
  std::string missing() const;
};
WineSetup wineSetupFromEnvironment();

class WineProgram {
 public:
  // Starts `wine64 program arguments...` on the display.
  WineProgram(const WineSetup& setup, const std::string& program, const std::string& display,
              const std::vector<std::string>& arguments = {});
  ~WineProgram();
  WineProgram(const WineProgram&) = delete;
  WineProgram& operator=(const WineProgram&) = delete;

  bool running() const;
  // Waits for the process to end by itself; its exit status, or -1 when it still runs.
  int waitForExit(std::chrono::milliseconds timeout);

 private:
  mutable pid_t pid_ = -1;
  mutable int status_ = -1;
};

// Unpacks the zip into folder; the path of zorvane.exe inside it, or empty.
std::string unpackPortableZip(const WineSetup& setup, const std::string& folder);

}  // namespace zv::e2e
