#include "app/ModeSwitch.h"

#include "pages/MainWindowIds.h"

#include <utility>

namespace kesto {

ModeSwitch::ModeSwitch(OneShotTimers& oneShots, WindowShell& shell, const PageRouter& router,
                       WindowIcon& icon, OverlayLists& lists, WlanApi& api,
                       AdapterDiscovery& discovery, ProfileStore& store, ProfileApplier& applier,
                       ApSettings& apSettings, FilterList& filterList, Window window)
    : m_step(oneShots), m_shell(shell), m_router(router), m_icon(icon), m_lists(lists), m_api(api),
      m_discovery(discovery), m_store(store), m_applier(applier), m_apSettings(apSettings),
      m_filterList(filterList), m_window(std::move(window))
{
}

void ModeSwitch::Start(std::function<void()> then)
{
    m_apModeBefore = m_apModeActive;
    m_step.Start(200, [this, then = std::move(then)] {
        m_icon.CreateTray();
        StartInStoredMode(then);
    });
}

void ModeSwitch::Restart(std::function<void()> then)
{
    m_icon.CreateTray();
    m_apModeBefore = m_apModeActive;
    StartInStoredMode(std::move(then));
}

void ModeSwitch::StartInStoredMode(std::function<void()> then)
{
    if (m_shell.StationModeStored()) {
        ApplyDefaultProfile();
        m_shell.timers().SetTimer(kTimerTrayIcon, 1000);
        then();
        RunRequests();
        return;
    }
    EnterApModeOnAdapter([this, then = std::move(then)] {
        m_icon.ShowApMode();
        then();
        RunRequests();
    });
}

void ModeSwitch::ApplyDefaultProfile()
{
    // The first-run profile's empty name is "any network" and applies without a word.
    const ApplyFault fault = m_applier.ApplyDefaultProfile();
    if (fault != ApplyFault::None)
        m_window.tellApplyFault(fault);
}

void ModeSwitch::EnterApModeOnAdapter(std::function<void()> then)
{
    m_apSettings = m_store.ReadApSettings();
    m_filterList = m_store.ReadFilterList();
    m_api.SetWL_OperationMode_STA_AP(1);
    m_step.Start(1000, [this, then = std::move(then)] {
        m_router.Broadcast(ShellStep::ApStartingOnAdapter);
        then();
    });
}

void ModeSwitch::ToStation()
{
    if (!m_apModeActive || m_discovery.CheckServiceConflict())
        return;
    EnterStation();
}

void ModeSwitch::ToAp()
{
    if (m_apModeActive || m_discovery.CheckServiceConflict())
        return;
    EnterAp();
}

void ModeSwitch::EnterStation()
{
    m_router.Broadcast(ShellStep::DropPendingSteps);
    m_lists.Hide();
    m_apModeBefore = m_apModeActive;
    m_apModeActive = false;
    m_api.SetWL_OperationMode_STA_AP(0);
    m_step.Start(200, [this] {
        ApplyDefaultProfile();
        m_router.Broadcast(ShellStep::StationModeEntered);
        m_shell.timers().KillTimer(kTimerApStatus);
        // A window hidden while the adapter settled keeps its monitor stopped, as hiding
        // stops it.
        if (m_window.visible())
            m_shell.monitorTimers().Start();
        m_shell.timers().SetTimer(kTimerTrayIcon, 1000);
        m_shell.ShowPage(kStatusPageId);
        RunRequests();
    });
}

void ModeSwitch::EnterAp()
{
    m_router.Broadcast(ShellStep::DropPendingSteps);
    m_lists.PlaceStation();
    m_lists.Hide();
    m_icon.ShowApMode();
    m_apModeBefore = m_apModeActive;
    m_apModeActive = true;
    m_shell.monitorTimers().Stop();
    m_shell.timers().KillTimer(kTimerTrayIcon);
    EnterApModeOnAdapter([this] {
        m_router.Broadcast(ShellStep::ApModeEntered);
        m_shell.timers().SetTimer(kTimerApStatus, kApStatusPeriod);
        m_shell.ShowPage(kApStatusPageId);
        RunRequests();
    });
}

Refused ModeSwitch::SwitchTo(bool toAp, std::function<void(bool)> done)
{
    if (m_step.pending()) {
        done(false);
        return std::nullopt;
    }
    if (m_shell.StationModeStored() != toAp) {
        done(true);
        return std::nullopt;
    }
    if (Refused refused = m_discovery.ServiceConflict())
        return refused;
    m_done.push_back(std::move(done));
    m_apModeActive = !toAp;
    if (toAp)
        EnterAp();
    else
        EnterStation();
    return std::nullopt;
}

void ModeSwitch::Cancel()
{
    if (!m_step.pending())
        return;
    m_step.Cancel();
    m_apModeActive = m_apModeBefore;
    DropRequests();
    for (const auto& done : std::exchange(m_done, {}))
        done(false);
}

bool ModeSwitch::Defer(Request request)
{
    if (!m_step.pending())
        return false;
    (request == Request::Restore ? m_restoreAfter : m_surveyAfter) = true;
    return true;
}

void ModeSwitch::DropRequests()
{
    m_restoreAfter = false;
    m_surveyAfter = false;
}

// The requests run in the mode that is now in: the site survey only in station mode,
// where the tray menu offers it.
void ModeSwitch::RunRequests()
{
    for (const auto& done : std::exchange(m_done, {}))
        done(true);
    if (std::exchange(m_restoreAfter, false))
        m_window.restore();
    if (std::exchange(m_surveyAfter, false) && m_shell.StationModeStored())
        m_window.showSiteSurvey();
}

} // namespace kesto
