#include "stage/screens.h"

#include <QAction>
#include <QMenu>
#include <QScreen>

#include "layout/handler_names.h"
#include "layout/logic/wheel_geometry.h"
#include "layout/window_layouts.h"
#include "dialogs/message_boxes.h"
#include "platform/qt/screen.h"

namespace zv {

namespace {
constexpr const char* kFitNextStart = "适应屏幕的设置将在下次启动本程序时生效。";
}

Screens::Screens(StageContext& stage) : stage_(stage) {
  stage.startUp.add(StartUpStep::kStageOverMonitor, [this] { placeWindowAtStartUp(); });
  stage.startUp.add(StartUpStep::kMonitorMenu, [this] { applyAtStartUp(); });
}

void Screens::addHandlers(forms::HandlerTable& table) {
  addHandler(table, handlers::kMenuFitToScreen, [this] { toggleFitToScreen(); });
}

void Screens::placeWindowAtStartUp() { stage_.form.setGeometry(stage_.screenGeometry()); }

void Screens::applyAtStartUp() {
  stage_.form.menuItem(menu::kFitToScreen)
      ->setTicked(stage_.settings.get(setting::kFitToScreen));
  QMenu* monitors = stage_.form.menuItem(menu::kMonitors)->submenu();
  fillMonitorMenu();
  // Monitors come and go during an event: the list is read again each time it opens.
  QObject::connect(monitors, &QMenu::aboutToShow, monitors, [this] { fillMonitorMenu(); });
  keepDialogsOnOperatorScreen(&stage_.form);
}

void Screens::toggleFitToScreen() {
  forms::MenuItem* item = stage_.form.menuItem(menu::kFitToScreen);
  const bool on = !item->isTicked();
  if (!stage_.settings.set(setting::kFitToScreen, on)) {
    MessageBoxes::reportWriteFailure(stage_.files.settings());
    return;
  }
  item->setTicked(on);
  MessageBoxes::show(kFitNextStart);
}

void Screens::chooseMonitor(const std::string& name) {
  const int oldWidth = stage_.screenSize().width();
  if (!stage_.settings.set(setting::kMonitor, name)) {
    MessageBoxes::reportWriteFailure(stage_.files.settings());
    return;
  }
  stage_.services.placeStage();
  // What start-up laid out for the old monitor's width follows the new one: a wheel in the
  // middle stays in the middle, full-width titles stay full width. Units placed by hand
  // keep their places.
  const int newWidth = stage_.screenSize().width();
  auto* wheel = stage_.form.unit<QWidget>(units::kWheel);
  if (wheel->x() == centredLeft(oldWidth, wheel->width())) {
    wheel->move(centredLeft(newWidth, wheel->width()), wheel->y());
  }
  for (const char* title : {units::kMainTitle, units::kSubtitle}) {
    auto* label = stage_.form.unit<QWidget>(title);
    if (label->width() == oldWidth) label->resize(newWidth, label->height());
  }
  fillMonitorMenu();
}

void Screens::fillMonitorMenu() {
  QMenu* menu = stage_.form.menuItem(menu::kMonitors)->submenu();
  menu->clear();
  const std::vector<MonitorInfo> monitors = connectedMonitors();
  const QScreen* current = stage_.form.screen();
  const std::string inUse = current ? current->name().toStdString() : std::string();
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const std::string name = monitors[i].name;
    QAction* action = menu->addAction(qs(monitorCaption(static_cast<int>(i) + 1, monitors[i])));
    action->setCheckable(true);
    action->setChecked(name == inUse);
    QObject::connect(action, &QAction::triggered, menu, [this, name] { chooseMonitor(name); });
  }
}

}  // namespace zv
