// The control ids of the two lists laid over the main window's page. The tray process
// creates its list controls under these ids and the window process lays out a list for
// each; both read them from here so the two programs cannot disagree.
#pragma once

namespace kesto {

// The survey and profile list.
inline constexpr int kSurveyListControl = 1009;
// The station list of the access-point pages.
inline constexpr int kStationListControl = 1010;

} // namespace kesto
