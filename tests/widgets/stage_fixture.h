#pragma once
// A stage on a program directory of its own and a screen of a chosen size.
#include <QSize>
#include <functional>
#include <memory>
#include <string>

#include "stage/display_modes.h"
#include "app/main_window.h"
#include "stage/wheel.h"
#include "layout/window_layouts.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "support/temp_dir.h"

namespace zv::testing {

class StageFixture {
 public:
  explicit StageFixture(QSize screen = QSize(1366, 768)) : screen_(screen) {}

  // Writes config.a in GBK from UTF-8 lines.
  void writeSettings(std::string_view utf8) const {
    writeWholeFileAtomically(dir.file("config.a"), utf8ToGbk(utf8));
  }
  std::string settingsOnDisk() const { return gbkToUtf8(readWholeFile(dir.file("config.a"))); }

  MainWindow& start() {
    stage = std::make_unique<MainWindow>(StageEnvironment{dir.path(),
                                                          [this] { return screen_; },
                                                          [this] {
                                                            ++quits;
                                                            if (onQuit) onQuit();
                                                          },
                                                          {},
                                                          std::move(picturesAhead)});
    stage->runCreated();
    return *stage;
  }
  forms::Form& form() { return stage->form(); }
  template <class T>
  T* unit(const std::string& name) {
    return stage->form().unit<T>(name);
  }
  bool ticked(const char* caption) {
    return stage->form().menuItem(QString::fromUtf8(caption))->isTicked();
  }

  TempDir dir;
  std::unique_ptr<MainWindow> stage;
  int quits = 0;  // how often the program asked to end
  std::function<void()> onQuit;  // what the application's quit would do besides
  PicturesLoadedAhead picturesAhead;  // handed to the next start

 private:
  QSize screen_;
};

}  // namespace zv::testing
