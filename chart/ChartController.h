// ChartController: opens the chart window from the status page's ButtonChart and runs
// it modally above the main window, whose timers keep running. Without a chart host or
// dialog timers (a program that draws no charts) the button opens nothing.
#pragma once

#include "adapter/WlanApi.h"
#include "pages/PageController.h"
#include "pages/PageMirror.h"
#include "platform/ChartHost.h"
#include "platform/Clock.h"
#include "platform/PageHost.h"
#include "platform/Timers.h"

namespace kesto {

class ChartController : public PageController {
public:
    ChartController(PageHost& pages, WlanApi& api, Clock& clock, ChartHost* charts,
                    Timers* dialogTimers, ManifestLookup manifest);

    void BindHandlers(PageMap& pages) override;
    void RunChart();

private:
    PageHost& m_pages;
    WlanApi& m_api;
    Clock& m_clock;
    ChartHost* m_charts;
    Timers* m_dialogTimers;
    ManifestLookup m_manifest;
};

} // namespace kesto
