#include "stage/music.h"

#include "app/handler_names.h"
#include "app/window_layouts.h"
#include "store/settings_keys.h"

namespace zv {

namespace h = handlers;

void Music::addHandlers(forms::HandlerTable& table) {
  // not built yet
  bindNotBuiltYet(table, {h::kMenuChangeMusic, h::kMenuMusicOn, h::kMenuMusicOff});
}

void Music::applyAtStartUp() {
  const bool off = stage_.settings.general(keys::kMusic) == keys::kFalse;
  stage_.form.menuItem(qs(menu::kMusicOff))->setTicked(off);
  stage_.form.menuItem(qs(menu::kMusicOn))->setTicked(!off);
}

}  // namespace zv
