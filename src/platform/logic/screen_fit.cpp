#include "platform/logic/screen_fit.h"

#include <algorithm>
#include <charconv>

namespace zv {

double fitScaleFactor(int deviceHeight, double desktopRatio) {
  if (deviceHeight <= 0) return 1.0;
  if (desktopRatio <= 0) desktopRatio = 1.0;
  const double logicalHeight = deviceHeight / desktopRatio;
  return std::max(1.0, logicalHeight / kLayoutScreenHeight);
}

const std::vector<const char*>& qtScalingVariables() {
  static const std::vector<const char*> names = {
      "QT_SCALE_FACTOR",        "QT_SCREEN_SCALE_FACTORS", "QT_ENABLE_HIGHDPI_SCALING",
      "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_USE_PHYSICAL_DPI", "QT_FONT_DPI"};
  return names;
}

bool userScalesQt(const std::vector<std::string_view>& presentVariables) {
  for (std::string_view present : presentVariables) {
    for (const char* name : qtScalingVariables()) {
      if (present == name) return true;
    }
  }
  return false;
}

std::optional<std::size_t> chooseMonitor(const std::vector<MonitorInfo>& monitors,
                                         std::string_view storedName) {
  if (monitors.empty()) return std::nullopt;
  if (!storedName.empty()) {
    for (std::size_t i = 0; i < monitors.size(); ++i) {
      if (monitors[i].name == storedName) return i;
    }
  }
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    if (monitors[i].primary) return i;
  }
  return 0;
}

namespace {

std::string factorText(double factor) {
  // The shortest text that reads back as the same number, whatever the locale.
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, factor).ptr;
  return std::string(text, end);
}

bool usableName(const std::string& name) {
  return !name.empty() && name.find_first_of(";=,") == std::string::npos;
}

}  // namespace

ScaleSettings chooseScaleSettings(const std::vector<MonitorInfo>& monitors, double desktopRatio,
                                  std::string_view storedMonitor) {
  ScaleSettings settings;
  if (desktopRatio <= 0) desktopRatio = 1.0;
  bool anyScaled = false, allNamed = monitors.size() > 1;
  for (const MonitorInfo& monitor : monitors) {
    anyScaled = anyScaled || fitScaleFactor(monitor.height, desktopRatio) > 1.0;
    allNamed = allNamed && usableName(monitor.name);
  }
  if (!anyScaled) return settings;
  if (allNamed) {
    for (const MonitorInfo& monitor : monitors) {
      if (!settings.screenFactors.empty()) settings.screenFactors += ';';
      settings.screenFactors +=
          monitor.name + "=" + factorText(fitScaleFactor(monitor.height, desktopRatio) * desktopRatio);
    }
    return settings;
  }
  const auto chosen = chooseMonitor(monitors, storedMonitor);
  const double factor = fitScaleFactor(monitors[*chosen].height, desktopRatio);
  if (factor > 1.0) settings.globalFactor = factorText(factor);
  return settings;
}

std::string monitorCaption(int number, const MonitorInfo& monitor) {
  std::string caption = std::to_string(number) + ": " + std::to_string(monitor.width) + "×" +
                        std::to_string(monitor.height);
  if (monitor.primary) caption += " (主)";
  return caption;
}

}  // namespace zv
