// ApStatusPage: the access point's status page (261) behind tab 5 and timer 8: what the
// adapter does as an access point (name, channel, rate, security, address, output
// power) and the stations associated with it in the station list (control 1010).
#pragma once

#include "adapter/WlanApi.h"
#include "pages/PageController.h"
#include "pages/WindowShell.h"
#include "platform/Clock.h"
#include "profiles/ProfileStore.h"

#include <array>
#include <cstdint>

namespace kesto {

class ApStatusPage : public PageController {
public:
    ApStatusPage(WindowShell& shell, WlanApi& api, ProfileStore& store, Clock& clock);

    void BindHandlers(PageMap& pages) override;
    void ShowTab() override;
    void OnTimer(int id) override;
    void OnShellStep(ShellStep step) override;

    // Reads the adapter and the stored settings into the page's bound values (not
    // written to the page) and rebuilds and shows the station list. Does nothing while
    // the adapter context is closed (the adapter was lost).
    void RefreshApStatus();

private:
    void RebuildStationList(const std::array<std::uint8_t, 112>& stations);

    WindowShell& m_shell;
    WlanApi& m_api;
    ProfileStore& m_store;
    Clock& m_clock;
};

} // namespace kesto
