// The main window's page ids, timer ids and list controls: the names every page
// controller and the main window agree on.
#pragma once

#include "platform/ListControlIds.h"

#include <cstdint>

namespace kesto {

// Pages of the main window.
inline constexpr int kStatusPageId = 236;
inline constexpr int kSurveyPageId = 237;
inline constexpr int kProfilePageId = 238;
inline constexpr int kAdapterPageId = 239;
inline constexpr int kApStatusPageId = 261;
inline constexpr int kApSettingsPageId = 262;
inline constexpr int kApFilterPageId = 263;

// List controls laid over the pages: the survey or profile list, the station list.
inline constexpr int kSurveyListId = 1009;
inline constexpr int kStationListId = 1010;

// Window timers by id.
inline constexpr int kTimerLinkStatus = 1;
inline constexpr int kTimerSignal = 2;
inline constexpr int kTimerTrayIcon = 4;
inline constexpr int kTimerAdapterRetry = 5;
inline constexpr int kTimerExitWatch = 6;
inline constexpr int kTimerThroughput = 7;
inline constexpr int kTimerApStatus = 8;

inline constexpr std::uint32_t kApStatusPeriod = 2000;

} // namespace kesto
