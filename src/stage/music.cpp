#include "stage/music.h"

#include <optional>

#include "layout/handler_names.h"
#include "layout/window_layouts.h"
#include "dialogs/file_picker.h"
#include "dialogs/message_boxes.h"
#include "platform/files.h"

namespace zv {

namespace h = handlers;

Music::Music(StageContext& stage) : stage_(stage) {
  stage.services.musicOn = [this] { return on(); };
  stage.startUp.add(StartUpStep::kMusicSwitch, [this] { applyAtStartUp(); });
}

const std::vector<std::string>& Music::dialogFilters() {
  // The hidden patterns let the name read as it always has while also listing .MP3.
  static const std::vector<std::string> filters = {"音乐文件(*.mp3) (*.mp3 *.MP3)"};
  return filters;
}

void Music::addHandlers(forms::HandlerTable& table) {
  addHandler(table, h::kMenuChangeMusic, [this] { changeTrack(); });
  addHandler(table, h::kMenuMusicOn, [this] { switchOn(true); });
  addHandler(table, h::kMenuMusicOff, [this] { switchOn(false); });
}

void Music::applyAtStartUp() {
  on_ = stage_.settings.get(setting::kMusic);
  showSwitch();
}

void Music::showSwitch() {
  tickExclusively(stage_.form, {menu::kMusicOn, menu::kMusicOff},
                  on_ ? menu::kMusicOn : menu::kMusicOff);
}

void Music::switchOn(bool on) {
  // The choice holds for this session even when it cannot be stored; the operator is
  // told it will not survive a restart.
  on_ = on;
  showSwitch();
  if (!stage_.settings.set(setting::kMusic, on)) {
    MessageBoxes::reportWriteFailure(stage_.settings.path());
  }
}

void Music::changeTrack() {
  makeDirectories(stage_.files.musicDirectory());
  const std::optional<std::string> chosen = FilePicker::openFile("打开", dialogFilters());
  if (!chosen) return;
  const std::string target = stage_.files.music();
  if (!copyFileOverwriting(*chosen, target)) {
    MessageBoxes::show("无法把文件 " + *chosen + " 复制为 " + target + "，原来的背景音乐没有改变！",
                       MessageBoxes::kDefaultTitle, MessageButtons::Ok, MessageIcon::Warning);
  }
}

}  // namespace zv
