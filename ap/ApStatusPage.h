// ApStatusPage: the access point's status page (261) behind tab 5 and timer 8: what the
// adapter does as an access point (name, channel, rate, security, address, output
// power) and the stations associated with it in the station list (control 1010). A
// refresh settles 100 ms between its first reading and the rest; the settle is a one-shot
// and the thread serves other events meanwhile.
#pragma once

#include "adapter/WlanApi.h"
#include "pages/PageController.h"
#include "pages/WindowShell.h"
#include "platform/OneShotTimers.h"
#include "profiles/ProfileStore.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kesto {

// What the access point's status page shows, as read from the adapter and the stored
// settings.
struct ApStatus {
    std::int32_t channel = -1; // -1: the adapter gave none (lost); power and security unread
    std::string outputPower;   // the stored power: "High", "Medium-High", "Medium-Low", "Low"
    std::string security;      // "Open System", "Shared Key" or "Auto"
    std::string ssid;          // the stored network name
    std::string mac;           // the adapter's address; "" when it could not be read
    std::int32_t rateKbps = 0; // 0: none read
    std::vector<std::string> stations; // the associated stations' addresses, in list order

    bool operator==(const ApStatus&) const = default;
};

// The two readings of a refresh, 100 ms apart: channel, output power and security first,
// then name, address, rate and the stations.
void ReadApStatusFirst(WlanApi& api, ProfileStore& store, ApStatus& status);
void ReadApStatusRest(WlanApi& api, ProfileStore& store, ApStatus& status);

class ApStatusPage : public PageController {
public:
    ApStatusPage(WindowShell& shell, WlanApi& api, ProfileStore& store, OneShotTimers& oneShots);

    void BindHandlers(PageMap& pages) override;
    void ShowTab() override;
    void OnTimer(int id) override;
    void OnShellStep(ShellStep step) override;

    // Reads the adapter and the stored settings into the page's bound values and
    // rebuilds and shows the station list: the channel, output power and security at
    // once, the rest 100 ms later. With writePage the values then go to the page too
    // (while it is shown). A refresh asked for while one settles joins it. Does nothing
    // while the adapter context is closed (the adapter was lost).
    void RefreshApStatus(bool writePage = false);

private:
    void FinishRefresh();
    void RebuildStationList(const std::vector<std::string>& stations);

    WindowShell& m_shell;
    WlanApi& m_api;
    ProfileStore& m_store;
    PendingStep m_settle;
    ApStatus m_status;
    bool m_writePage = false; // a refresh settling will write the page
};

} // namespace kesto
