#pragma once
// A stage on the offscreen platform whose eight prize pictures are camera-sized
// photographs.
#include <QCoreApplication>
#include <QEvent>
#include <QSize>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "photos.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace zv::bench {

struct PhotoStage {
  zv::testing::TempDir dir;
  std::unique_ptr<zv::MainWindow> stage;

  // firstVariant picks the photographs: a benchmark that must not find them decoded by
  // an earlier one (the picture cache is the process's) uses variants of its own.
  explicit PhotoStage(int firstVariant = 1) {
    zv::makeDirectories(dir.file("奖品图片"));
    for (int slot = 1; slot <= 8; ++slot) {
      zv::writeWholeFileAtomically(dir.file("奖品图片/" + std::to_string(slot) + ".jpg"),
                                   photo12MP(firstVariant + slot - 1));
    }
    zv::writeWholeFileAtomically(dir.file("config.a"), "[zbt]\r\nlx=\xD5\xE6\r\n");  // lx=真
    stage = std::make_unique<zv::MainWindow>(
        zv::StageEnvironment{dir.path(), [] { return QSize(1366, 768); }});
    stage->start();
    QCoreApplication::processEvents();
  }
  void paint() { QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest); }
};

}  // namespace zv::bench
