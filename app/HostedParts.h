// HostedParts: the operations of the pages the main window hosts, which the window
// calls from its own steps (tabs, restore, mode switches, timers). Each is plugged in
// by the class that owns it; one left empty is simply not called, and the window's
// steps around it still run.
#pragma once

#include <functional>

namespace kesto {

struct HostedParts {
    // Link status monitor (station status page 236).
    std::function<void()> ClearStatus;       // empty status texts, dark bars
    std::function<void()> StartMonitor;      // throughput baseline
    std::function<void()> RefreshLinkInfo;   // timer 1; re-arms timer 1 itself
    std::function<void()> RefreshSignal;     // timer 2; ends by pushing the page
    std::function<void()> RefreshThroughput; // timer 7; re-arms timer 7 itself

    // Site survey (page 237) and the survey/profile list control.
    std::function<void()> Scan;
    std::function<void()> RecordSurveyTimes;
    std::function<void()> FillList;        // fills and shows SurveyList
    std::function<void()> ConnectSelected; // double click while the list holds the survey
    std::function<void()> SurveyListClick; // details of the selected row
    std::function<void(int column)> SurveyListHeaderClick; // sort and refill

    // Profile page (page 238).
    std::function<void()> FillProfileList;

    // Access point (pages 261-263). The settings and filter list are the window's
    // copies (MainDialog::apSettings(), filterList()).
    std::function<void()> RefreshApStatus; // also timer 8
    std::function<void()> ApplyApSettings; // stores "Mode" = "AP Mode"
    std::function<void()> FillApSettings;
    std::function<void()> FillFilterList;

    // Chart window (ButtonChart on page 236), run modally.
    std::function<void()> RunChart;
};

} // namespace kesto
