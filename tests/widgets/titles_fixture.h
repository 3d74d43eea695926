#pragma once
// The real stage, its titles and the scripted boxes, for the titles' tests on both systems.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/font_picker.h"
#include "dialogs/input_boxes.h"
#include "dialogs/message_boxes.h"
#include "stage_fixture.h"
#include "store/ini_file.h"

namespace zv::testing {

class Titles : public ::testing::Test {
 protected:
  void SetUp() override {
    InputBoxes::clearAsked();
    FontPicker::clearOffered();
    MessageBoxes::clearShown();
  }
  void start() {
    s.stage.reset();  // a restart: the old stage is gone before the new one reads the file
    s.start();
    s.form().show();
  }
  void choose(const char* caption) { s.form().menuItem(caption)->action()->trigger(); }
  forms::TransparentLabel* title() { return s.unit<forms::TransparentLabel>(units::kMainTitle); }
  forms::TransparentLabel* subtitle() { return s.unit<forms::TransparentLabel>(units::kSubtitle); }
  std::string stored(const char* section, const char* key, const char* absent = "<absent>") {
    return ini::read(s.dir.file("config.a"), section, key, absent);
  }

  StageFixture s;
};

}  // namespace zv::testing
