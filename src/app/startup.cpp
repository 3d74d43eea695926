// What the stage does when its window is created: every stored setting applied, in a
// fixed order, each only when its key holds a value. A step that belongs to a feature
// is that feature's module's own.
#include "layout/logic/wheel_geometry.h"
#include "app/main_window.h"
#include "app/stage_modules.h"
#include "layout/window_layouts.h"
#include "platform/files.h"
#include "store/prize_settings.h"

namespace zv {

void MainWindow::startUp() {
  forms::Form& f = *form_;
  StageModules& m = *modules_;

  // 1. The designated-pick hot key; a combination taken by another program is ignored.
  hotKey_.registerShiftQ(
      [this] { form_->dispatch(units::kHotKeyLabel, forms::EventKind::HotKey); });

  // 2. The prize picture directory (an existing one is fine).
  makeDirectories(files_.prizePictureDirectory());

  // 4-7. The window over the screen, the wheel centred, full-width titles, the credit
  // line moved to the lower right and hidden.
  const QRect monitor = screenGeometry();
  const QSize screen = monitor.size();
  f.setGeometry(monitor);
  auto* wheel = f.unit<QWidget>(units::kWheel);
  wheel->move(centredLeft(screen.width(), wheel->width()), wheel->y());
  for (const char* title : {units::kMainTitle, units::kSubtitle}) {
    auto* label = f.unit<QWidget>(title);
    label->resize(f.width(), label->height());
  }
  auto* credit = f.unit<QWidget>(units::kCredit);
  credit->move(screen.width() - 300, screen.height() - 100);
  credit->hide();

  m.dragging.applyStoredPositionsAtStartUp();  // 8
  m.panel.applyEffectsSwitchAtStartUp();       // 9
  m.panel.applyResultSizeAtStartUp();          // 10
  m.screens.applyAtStartUp();  // the monitor menu; dialogs on the operator's monitor
  m.displayModes.applyAtStartUp();             // 11
  // The window's size is final now, and no step below changes the window itself: its
  // backing store is made ready while they run and the window is shown. Only a
  // full-screen window: a framed one made before it is shown may be placed differently
  // by the window manager.
  if (f.windowState() & Qt::WindowFullScreen) storeWarmUp_.emplace(f);
  m.music.applyAtStartUp();                    // 12
  m.panel.applyDrawTimesAtStartUp();           // 13, 14
  m.wheel.applyStyleAtStartUp();               // 15

  // 16. The slot list, in rolling order.
  state_.slotList.clear();
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    state_.slotList.push_back(f.unit<forms::PictureBox>(units::prizeBox(slot)));
  }
  m.pictures.applyPrizePicturesAtStartUp();  // 17
  m.titles.applyCaptionsAtStartUp();         // 18

  // 19. Prize values: the stored set when the first is present, else the defaults.
  state_.prizeValues = storedPrizeValues(settings_).value_or(kDefaultPrizeValues);

  m.wheel.applySizeAtStartUp();           // 20
  m.titles.applyFontsAtStartUp();         // 21, 22
  m.pictures.applyBackgroundAtStartUp();  // 23
  m.wheel.clip();                         // 24

  // Every size is known now: a unit stored off this screen is shown at its edge.
  m.dragging.keepUnitsOnScreenAtStartUp();
  m.pictures.preparePicturesForFirstFrame();
  // Before any draw: the journal explains the tallies the draws start from.
  m.record.reconcileAtStartUp();
}

}  // namespace zv
