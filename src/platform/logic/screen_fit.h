#pragma once
// How large the stage is drawn on a screen, and on which monitor it goes. The layouts are
// in pixels for a screen 768 pixels high; a taller screen scales the whole program
// uniformly so that the stage looks as laid out. Plain C++: the start-up code feeds it
// what the X server reports before Qt exists, the menu feeds it Qt's screens.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// The height the layouts were made for.
inline constexpr int kLayoutScreenHeight = 768;

// The factor to ask of Qt on top of the desktop's own: the monitor's height in the
// desktop's logical pixels over 768, never below 1. `desktopRatio` is the scaling the
// desktop already applies (2 on a 4K screen at 200 %); the product of the two is the
// stage's total scale, so the desktop's factor is never applied twice.
double fitScaleFactor(int deviceHeight, double desktopRatio);

// True when the user set one of Qt's own scaling variables; we then leave scaling alone.
bool userScalesQt(const std::vector<std::string_view>& presentVariables);
// The variables userScalesQt looks at.
const std::vector<const char*>& qtScalingVariables();

struct MonitorInfo {
  std::string name;  // as the window system names it; what the settings file stores
  int width = 0, height = 0;
  bool primary = false;
};

// The monitor the stage goes on: the one stored by name, else the primary, else the
// first; nothing when there is no monitor at all.
std::optional<std::size_t> chooseMonitor(const std::vector<MonitorInfo>& monitors,
                                         std::string_view storedName);

// What to ask of Qt: each monitor is scaled by its own factor, so that every monitor at
// least 768 pixels high is 768 layout pixels high and the stage fits whichever it is moved
// to, while the operator's laptop keeps its dialogs at their size. Qt takes the factors per
// monitor by name (QT_SCREEN_SCALE_FACTORS, which replaces the desktop's own factor, so
// each is the total); one monitor alone, or monitors without usable names, get the chosen
// monitor's factor for all (QT_SCALE_FACTOR, on top of the desktop's). Both empty: nothing
// to scale.
struct ScaleSettings {
  std::string globalFactor;   // QT_SCALE_FACTOR
  std::string screenFactors;  // QT_SCREEN_SCALE_FACTORS, "name=factor;name=factor"
};
ScaleSettings chooseScaleSettings(const std::vector<MonitorInfo>& monitors, double desktopRatio,
                                  std::string_view storedMonitor);

// The menu's caption of monitor `number` (from 1): "1: 1920×1080", "2: 1024×768 (主)".
std::string monitorCaption(int number, const MonitorInfo& monitor);

}  // namespace zv
