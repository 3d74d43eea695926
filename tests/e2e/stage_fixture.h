#pragma once
// The real program started in a program directory of its own on an Xvfb screen of
// 1366 x 768, driven with xdotool.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "store/ini_file.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"
#include "support/x_session.h"

namespace zv::e2e {

inline const Rgb kStage{0x7A, 0x0C, 0x12};

// Message boxes are light grey; with prize pictures in place the wheel has hardly any.
inline int lightGreyPixels(const XvfbServer& x) {
  const auto shot = x.shot();
  int grey = 0;
  for (int py = 240; py < 440; py += 2) {
    for (int px = 500; px < 860; px += 2) grey += shot.at(px, py).near(Rgb{0xF0, 0xF0, 0xF0}, 8);
  }
  return grey;
}

class StageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(x.ok()) << "Xvfb did not start"; }
  void TearDown() override {
    if (HasFailure()) {
      x.savePng("/tmp/zorvane-e2e-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                ".png");
    }
  }

  // Starts the program and waits for the stage to be painted.
  void start(int wheelX = 683, int wheelY = 300) {
    program = std::make_unique<ProgramProcess>(dir.path(), x.name());
    const bool painted = waitUntil([&, wheelX, wheelY] {
      const auto shot = x.shot();
      return shot.at(5, 700).near(kStage, 4) && !shot.at(wheelX, wheelY).near(kStage, 40);
    });
    ASSERT_TRUE(painted) << "the stage was not painted";
    // Keys go to the window under the pointer: there is no window manager. The focus
    // timer hands the keyboard to the draw every 200 ms.
    xdotool(x.name(), "mousemove 1300 700");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
  }

  void writeSettings(const std::string& utf8) { writeProgramSettings(dir.path(), utf8); }
  // The eight sample prize pictures of the build.
  void addPrizePictures() { addSamplePrizePictures(dir.path()); }
  std::string tally(int slot) {
    return ini::read(dir.file("jieguo.a"), "zjjg", "j" + std::to_string(slot));
  }
  int totalWins() {
    int total = 0;
    for (int slot = 1; slot <= 8; ++slot) total += std::atoi(tally(slot).c_str());
    return total;
  }
  void key(const std::string& keys) { xdotool(x.name(), "key " + keys); }
  void click(int px, int py) {
    xdotool(x.name(), "mousemove " + std::to_string(px) + " " + std::to_string(py) + " click 1");
  }

  XvfbServer x{1366, 768};
  zv::testing::TempDir dir;
  std::unique_ptr<ProgramProcess> program;
};

}  // namespace zv::e2e
