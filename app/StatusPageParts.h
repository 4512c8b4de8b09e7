// StatusPageParts: the station status page's operations, plugged into the main window's
// hosted parts: the link monitor behind timers 1, 2 and 7 and behind the steps that
// show page 236 (tab 1, first show, restore, switch to station, re-detection), and the
// chart window behind ButtonChart. Made right after the main window and destroyed
// before it.
#pragma once

#include "app/AppPorts.h"
#include "app/MainDialog.h"
#include "station/LinkMonitor.h"

namespace kesto {

class StatusPageParts {
public:
    StatusPageParts(MainDialog& dialog, const AppPorts& ports);
    ~StatusPageParts();
    StatusPageParts(const StatusPageParts&) = delete;
    StatusPageParts& operator=(const StatusPageParts&) = delete;

    LinkMonitor& monitor() { return m_monitor; }
    // Runs the chart window modally above the main window, whose timers keep running.
    void RunChart();

private:
    MainDialog& m_dialog;
    PageHost& m_pages;
    Clock& m_clock;
    ManifestLookup m_manifest;
    ChartHost* m_charts;
    Timers* m_dialogTimers;
    LinkMonitor m_monitor;
};

} // namespace kesto
