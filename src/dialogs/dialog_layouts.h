#pragma once
// The prize settings, results and password windows as data, with the handler names
// their events bind to.
#include "forms/window_description.h"

namespace zv {

const forms::WindowDescription& prizeSettingsLayout();
const forms::WindowDescription& resultsLayout();
const forms::WindowDescription& passwordLayout();

namespace handlers {
inline constexpr const char* kPrizeSettingsCreated = "prizeSettings.created";
inline constexpr const char* kQuantityMode = "prizeSettings.quantityMode";
inline constexpr const char* kProbabilityMode = "prizeSettings.probabilityMode";
inline constexpr const char* kStorePrizeSettings = "prizeSettings.store";
inline constexpr const char* kResultsCreated = "results.created";
inline constexpr const char* kClearTallies = "results.clear";
inline constexpr const char* kPasswordCreated = "password.created";
inline constexpr const char* kEnterSettings = "password.enter";
inline constexpr const char* kChangePassword = "password.change";
}  // namespace handlers

}  // namespace zv
