#pragma once
// The sample event: what the demo folder and a new per-user event folder start with,
// so that the operator's first look is a working stage.
#include <string>

namespace zv {

// Writes the default prize values into a settings file (created when missing).
bool writeSampleSettings(const std::string& settingsPath);

// Lays out an event folder as the sample event: everything under sampleEvent (the
// sample prize pictures in 奖品图片/) copied in, and a settings file with the default
// prize values when the folder has none. Files already there are kept.
bool layOutSampleEvent(const std::string& folder, const std::string& sampleEvent);

}  // namespace zv
