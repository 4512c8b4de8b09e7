// StatusPage: the station status page (236). Its link monitor runs behind timers 1, 2
// and 7 while the page is shown; the page is cleared and the throughput baseline
// taken whenever the window shows it (tab 1, first show, switch to station, adapter
// back).
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "pages/PageController.h"
#include "pages/WindowShell.h"
#include "platform/Clock.h"
#include "platform/OneShotTimers.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"
#include "station/LinkMonitor.h"

namespace kesto {

class StatusPage : public PageController {
public:
    StatusPage(WindowShell& shell, WlanApi& api, AdapterDiscovery& discovery, ProfileStore& store,
               WorkingRecords& work, Clock& clock, OneShotTimers& oneShots);

    void ShowTab() override;
    void OnTimer(int id) override;
    void OnShellStep(ShellStep step) override;

    LinkMonitor& monitor() { return m_monitor; }

private:
    WindowShell& m_shell;
    LinkMonitor m_monitor;
};

} // namespace kesto
