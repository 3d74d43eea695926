#include "app/screen_fit_start.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/logic/command_line.h"
#include "platform/event_folder.h"
#include "platform/logic/screen_fit.h"
#include "platform/qt/display_facts.h"
#include "store/program_files.h"
#include "store/settings_file.h"

namespace zv {

namespace {
bool setByUs = false;
bool roundingSetByUs = false;
}  // namespace

void fitToScreenBeforeApplication(const std::vector<std::string>& arguments) {
  std::vector<std::string_view> present;
  for (const char* name : qtScalingVariables()) {
    if (std::getenv(name)) present.emplace_back(name);
  }
  if (userScalesQt(present)) return;
  if (!drawsOnNativeDesktop()) return;

  const CommandLine command = parseCommandLine(
      arguments.empty() ? arguments : std::vector<std::string>(arguments.begin() + 1, arguments.end()));
  if (command.action != CommandLine::Action::Run) return;
  const ProgramFiles files{chooseEventFolder(gatherEventFolderFacts(command.eventFolder)).directory};
  const SettingsFile settings(files.settings());
  if (!settings.get(setting::kFitToScreen)) return;

  const DisplayFacts facts = readDisplayFacts();
  const ScaleSettings scale = chooseScaleSettings(facts.monitors, facts.desktopRatio,
                                                  settings.get(setting::kMonitor));
  if (scale.globalFactor.empty() && scale.screenFactors.empty()) return;
  if (!scale.globalFactor.empty())
    qputenv("QT_SCALE_FACTOR", QByteArray(scale.globalFactor.c_str()));
  if (!scale.screenFactors.empty())
    qputenv("QT_SCREEN_SCALE_FACTORS", QByteArray(scale.screenFactors.c_str()));
  if (!std::getenv("QT_SCALE_FACTOR_ROUNDING_POLICY")) {
    qputenv("QT_SCALE_FACTOR_ROUNDING_POLICY", QByteArray("PassThrough"));
    roundingSetByUs = true;
  }
  setByUs = true;
}

void keepScreenFitToThisProcess() {
  if (!setByUs) return;
  qunsetenv("QT_SCALE_FACTOR");
  qunsetenv("QT_SCREEN_SCALE_FACTORS");
  if (roundingSetByUs) qunsetenv("QT_SCALE_FACTOR_ROUNDING_POLICY");
  setByUs = roundingSetByUs = false;
}

}  // namespace zv
