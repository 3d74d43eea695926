#pragma once
// The stage's features, each a module built from the one context (stage/stage_context.h).
// Adding a feature is one line in the list below; the order of the list is the order in
// which the modules add their handlers, and nothing else depends on it: each module's
// start-up steps run in the order of StartUpStep, and a module reaches another only
// through the context's services once every module exists.
#include <tuple>

#include "stage/display_modes.h"
#include "stage/dragging.h"
#include "stage/draw_module.h"
#include "stage/menu_commands.h"
#include "stage/music.h"
#include "stage/pictures.h"
#include "stage/record.h"
#include "stage/screens.h"
#include "stage/settings_panel.h"
#include "stage/show_effects.h"
#include "stage/titles.h"
#include "stage/verifiable_draws.h"
#include "stage/wheel.h"

namespace zv {

template <class... Modules>
class ModuleList {
 public:
  explicit ModuleList(StageContext& stage) : modules_(((void)sizeof(Modules), stage)...) {}

  void addHandlers(forms::HandlerTable& table) {
    std::apply([&table](auto&... module) { (module.addHandlers(table), ...); }, modules_);
  }
  template <class Module>
  Module& get() {
    return std::get<Module>(modules_);
  }

 private:
  std::tuple<Modules...> modules_;
};

// clang-format off
struct StageModules : ModuleList<
    DrawModule,
    RecordModule,
    DisplayModes,
    Screens,
    Wheel,
    MenuCommands,
    SettingsPanel,
    Titles,
    Dragging,
    Pictures,
    Music,
    ShowEffects,
    VerifiableDraws> {
  using ModuleList::ModuleList;
};
// clang-format on

}  // namespace zv
