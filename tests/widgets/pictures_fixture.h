#pragma once
// The real stage with the file dialog scripted, for the tests of the operator's own
// pictures and music on both systems.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QSize>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "dialogs/file_picker.h"
#include "dialogs/message_boxes.h"
#include "platform/files.h"
#include "platform/jpeg.h"
#include "platform/text_codec.h"
#include "stage/music.h"
#include "stage/pictures.h"
#include "stage_fixture.h"
#include "store/settings_keys.h"
#include "support/sound_bytes.h"

namespace zv::testing {

inline bool near(QColor a, QColor b) {
  return std::abs(a.red() - b.red()) < 12 && std::abs(a.green() - b.green()) < 12 &&
         std::abs(a.blue() - b.blue()) < 12;
}

class PicturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FilePicker::clearOfferedFilters();
    MessageBoxes::clearShown();
  }
  void TearDown() override {
    // An answer a failing test did not use must not leak into the next test.
    while (FilePicker::openFile("", {})) {
    }
  }
  void restart() {
    s.stage.reset();
    s.start();
  }
  forms::PictureBox* slot(int n) { return s.unit<forms::PictureBox>(units::prizeBox(n)); }
  void doubleClick(int n) { s.form().dispatch(units::prizeBox(n), forms::EventKind::DoubleClick); }
  void choose(const char* caption) { s.form().menuItem(caption)->action()->trigger(); }
  // A file of the test's own, outside the program directory's fixed names.
  std::string chosenFile(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories(s.dir.file("chosen"));
    writeWholeFileAtomically(s.dir.file("chosen/" + name), bytes);
    return s.dir.file("chosen/" + name);
  }
  std::string prizeFile(int n) { return readWholeFile(s.stage->files().prizePicture(n)); }
  // As the program names it, with the system's separator.
  std::string backgroundFile() { return s.dir.path() + pathSeparator() + "底图.jpg"; }
  QWidget* resultPicture() { return s.unit<QWidget>(units::kResultPicture); }

  // A stored picture that any JPEG reader opens: the signature, and our own decoder reads
  // it at the picture's size in its colour.
  static void expectStoredAsJpeg(const std::string& stored, QSize size, QColor colour,
                                 const std::string& what) {
    EXPECT_TRUE(stored.starts_with("\xFF\xD8\xFF")) << what << " is not stored as JPEG";
    const RgbImage decoded = decodeJpeg(stored);
    ASSERT_EQ(decoded.width, size.width()) << what;
    ASSERT_EQ(decoded.height, size.height()) << what;
    const std::size_t centre =
        (static_cast<std::size_t>(size.height() / 2) * size.width() + size.width() / 2) * 3;
    EXPECT_TRUE(
        near(QColor(decoded.pixels[centre], decoded.pixels[centre + 1], decoded.pixels[centre + 2]),
             colour))
        << what;
  }

  StageFixture s;
};

class MusicTest : public PicturesTest {
 protected:
  static std::string silentMp3(int frames) { return test::silentMp3(frames); }
  bool playing() { return s.stage->audio().musicPlaying(); }
  void startDraw() { s.stage->draw().startLabelPressed(); }
  void stopDraw() {
    s.stage->draw().stopLabelPressed();
    s.stage->draw().rollStep();  // lands
  }
  std::string stored() {
    return gbkToUtf8(readWholeFile(s.dir.file("config.a"))).find("背景音乐=假") != std::string::npos
               ? "假"
               : "真";
  }
};

}  // namespace zv::testing
