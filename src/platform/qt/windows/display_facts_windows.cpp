// The desktop's monitors before Qt exists. The process is not yet aware of monitor
// scaling (Qt makes it so), so this thread is made aware for the reading: otherwise the
// system reports every monitor scaled down to 96 dots per inch.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/qt/display_facts.h"
#include "platform/windows/utf16.h"

namespace zv {
namespace {

// The monitor's name as Qt names the screen: the monitor's own (friendly) name where the
// display configuration gives one, else the display device's (\\.\DISPLAY1).
std::string monitorName(const MONITORINFOEXW& info) {
  UINT32 paths = 0, modes = 0;
  std::vector<DISPLAYCONFIG_PATH_INFO> pathInfos;
  std::vector<DISPLAYCONFIG_MODE_INFO> modeInfos;
  LONG result = ERROR_INSUFFICIENT_BUFFER;
  for (int attempt = 0; attempt < 3 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
    if (GetDisplayConfigBufferSizes(QDC_ONLY_ACTIVE_PATHS, &paths, &modes) != ERROR_SUCCESS)
      return utf16::toUtf8(info.szDevice);
    pathInfos.resize(paths);
    modeInfos.resize(modes);
    result = QueryDisplayConfig(QDC_ONLY_ACTIVE_PATHS, &paths, pathInfos.data(), &modes,
                                modeInfos.data(), nullptr);
  }
  if (result == ERROR_SUCCESS) {
    pathInfos.resize(paths);
    for (const DISPLAYCONFIG_PATH_INFO& path : pathInfos) {
      DISPLAYCONFIG_SOURCE_DEVICE_NAME source{};
      source.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME;
      source.header.size = sizeof source;
      source.header.adapterId = path.sourceInfo.adapterId;
      source.header.id = path.sourceInfo.id;
      if (DisplayConfigGetDeviceInfo(&source.header) != ERROR_SUCCESS ||
          wcscmp(source.viewGdiDeviceName, info.szDevice) != 0)
        continue;
      DISPLAYCONFIG_TARGET_DEVICE_NAME target{};
      target.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME;
      target.header.size = sizeof target;
      target.header.adapterId = path.targetInfo.adapterId;
      target.header.id = path.targetInfo.id;
      if (DisplayConfigGetDeviceInfo(&target.header) == ERROR_SUCCESS &&
          target.monitorFriendlyDeviceName[0] != 0)
        return utf16::toUtf8(target.monitorFriendlyDeviceName);
      break;
    }
  }
  return utf16::toUtf8(info.szDevice);
}

// The monitor's scaling, as the display settings give it (1.5 at 150 %); 1 where the
// system cannot say (before Windows 8.1).
double monitorRatio(HMONITOR monitor) {
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto getDpi = [] {
    const HMODULE shcore = LoadLibraryW(L"shcore.dll");
    return shcore ? reinterpret_cast<GetDpiForMonitorFunction>(
                        reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
  }();
  UINT x = 0, y = 0;
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  if (!getDpi || getDpi(monitor, kEffectiveDpi, &x, &y) != S_OK || y < 48 || y > 960) return 1.0;
  return y / 96.0;
}

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto& facts = *reinterpret_cast<DisplayFacts*>(data);
  MONITORINFOEXW info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  MonitorInfo found{monitorName(info), info.rcMonitor.right - info.rcMonitor.left,
                    info.rcMonitor.bottom - info.rcMonitor.top,
                    (info.dwFlags & MONITORINFOF_PRIMARY) != 0};
  // The mode's own pixels, whatever the thread's awareness came to.
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  if (EnumDisplaySettingsW(info.szDevice, ENUM_CURRENT_SETTINGS, &mode) && mode.dmPelsHeight > 0) {
    found.width = static_cast<int>(mode.dmPelsWidth);
    found.height = static_cast<int>(mode.dmPelsHeight);
  }
  if (found.primary) facts.desktopRatio = monitorRatio(monitor);
  // The primary first, as Qt lists the screens.
  if (found.primary) {
    facts.monitors.insert(facts.monitors.begin(), std::move(found));
  } else {
    facts.monitors.push_back(std::move(found));
  }
  return TRUE;
}

}  // namespace

DisplayFacts readDisplayFacts() {
  DisplayFacts facts;
  // Windows 10 1607 and later; older systems report what they report.
  using SetAwarenessFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
  const auto setAwareness = reinterpret_cast<SetAwarenessFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")));
  const DPI_AWARENESS_CONTEXT before =
      setAwareness ? setAwareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) : nullptr;
  EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&facts));
  if (setAwareness && before) setAwareness(before);
  return facts;
}

}  // namespace zv

namespace zv {

bool drawsOnNativeDesktop() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return !platform || std::string_view(platform).starts_with("windows");
}

}  // namespace zv
