#include "store/sample_event.h"

#include "platform/event_folder.h"
#include "platform/files.h"
#include "store/program_files.h"
#include "store/settings_file.h"
#include "store/settings_keys.h"

namespace zv {

bool writeSampleSettings(const std::string& settingsPath) {
  const SettingsFile settings(settingsPath);
  for (std::size_t i = 0; i < keys::kPrizeValues.size(); ++i) {
    if (!settings.writeGeneral(keys::kPrizeValues[i], std::to_string(keys::kDefaultPrizeValues[i])))
      return false;
  }
  return true;
}

bool layOutSampleEvent(const std::string& folder, const std::string& sampleEvent) {
  // The sample event's two entries only: on Windows it lies beside the executable, among
  // the program's own files.
  const ProgramFiles sample{sampleEvent};
  const ProgramFiles files{folder};
  const bool copied =
      copyFolderContents(sample.prizePictureDirectory(), files.prizePictureDirectory());
  if (!fileExists(files.settings()) && fileExists(sample.settings()))
    copyFileOverwriting(sample.settings(), files.settings());
  const bool settings = fileExists(files.settings()) || writeSampleSettings(files.settings());
  return copied && settings;
}

}  // namespace zv
