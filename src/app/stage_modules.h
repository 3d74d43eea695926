#pragma once
// The stage's features, each a module that shares the one context; listed once here so
// that MainWindow constructs them together and startUp() can call their steps.
#include <functional>

#include "stage/display_modes.h"
#include "stage/menu_commands.h"
#include "stage/screens.h"
#include "stage/wheel.h"
#include "stage/dragging.h"
#include "stage/music.h"
#include "stage/pictures.h"
#include "stage/record.h"
#include "stage/settings_panel.h"
#include "stage/titles.h"

namespace zv {

struct StageModules {
  StageModules(StageContext& stage, PrizeValues& prizeValues, std::function<void()> quit)
      : record(stage.files),
        displayModes(stage),
        screens(stage, [this] { displayModes.applyAtStartUp(); }),
        wheel(stage),
        menu(stage, prizeValues, std::move(quit), record.clearRecorder()),
        panel(stage, {[this] { wheel.reset(); }, [this] { wheel.enlargementStep(); },
                      [this] { wheel.clip(); }}),
        titles(stage),
        dragging(stage),
        pictures(stage),
        music(stage) {
    panel.onSaved([this] { pictures.prepareShownSizes(); });
  }

  void addHandlers(forms::HandlerTable& table) {
    displayModes.addHandlers(table);
    screens.addHandlers(table);
    wheel.addHandlers(table);
    menu.addHandlers(table);
    panel.addHandlers(table);
    titles.addHandlers(table);
    dragging.addHandlers(table);
    pictures.addHandlers(table);
    music.addHandlers(table);
    table.merge(record.handlers());
  }

  RecordModule record;  // first: the menu's results window reports clears to it
  DisplayModes displayModes;
  Screens screens;
  Wheel wheel;
  MenuCommands menu;
  SettingsPanel panel;
  Titles titles;
  Dragging dragging;
  Pictures pictures;
  Music music;
};

}  // namespace zv
