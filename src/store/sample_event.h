#pragma once
// The sample event: what the demo folder and a new per-user event folder start with,
// so that the operator's first look is a working stage.
#include <string>

namespace zv {

// Writes the default prize values into a settings file (created when missing).
bool writeSampleSettings(const std::string& settingsPath);

// Lays out an event folder as the sample event: sampleEvent's prize pictures (奖品图片/)
// and settings (config.a) copied in, and a settings file with the default prize values
// when neither the folder nor the sample has one. Nothing else under sampleEvent is
// copied, and files already there are kept.
bool layOutSampleEvent(const std::string& folder, const std::string& sampleEvent);

}  // namespace zv
