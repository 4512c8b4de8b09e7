#include "app/AdapterWatch.h"

#include "pages/MainWindowIds.h"

#include <utility>

namespace kesto {

AdapterWatch::AdapterWatch(AdapterStart& start, ModeSwitch& modes, WindowIcon& icon,
                           const PageRouter& router, Timers& timers, MonitorTimers& monitorTimers,
                           Window window)
    : m_start(start), m_modes(modes), m_icon(icon), m_router(router), m_timers(timers),
      m_monitorTimers(monitorTimers), m_window(std::move(window))
{
}

void AdapterWatch::Start()
{
    if (!m_start.OpenMatched()) {
        m_timers.SetTimer(kTimerAdapterRetry, 2000);
        return;
    }
    m_start.WriteDriverDefaults();
    m_start.LoadOrSeedStore();
    m_modes.Start([this] {
        m_timers.SetTimer(kTimerExitWatch, 2000);
        KeepReachable();
    });
}

void AdapterWatch::OnExitWatch()
{
    if (EndOnExitRequest() || !m_start.AdapterLost())
        return;

    // The adapter is gone: out of the tray and out of sight until it returns, and what
    // waited on it is not done.
    m_modes.Cancel();
    m_router.Broadcast(ShellStep::DropPendingSteps);
    m_icon.RemoveTray();
    m_window.hide();
    m_monitorTimers.Stop();
    m_timers.KillTimer(kTimerTrayIcon);
    // The access point's status would poll a closed context; a restore starts it again.
    m_timers.KillTimer(kTimerApStatus);
    m_start.Release();
    m_timers.KillTimer(kTimerExitWatch);
    m_timers.SetTimer(kTimerAdapterRetry, 5000);
}

void AdapterWatch::OnRetry()
{
    if (EndOnExitRequest() || !m_start.Redetect())
        return;

    m_start.LoadOrSeedStore();
    m_modes.Restart([this] {
        m_timers.KillTimer(kTimerAdapterRetry);
        m_router.Broadcast(ShellStep::AdapterReturned);
        m_monitorTimers.Start(1500);
        m_timers.SetTimer(kTimerExitWatch, 2000);
        KeepReachable();
    });
}

// Another start of the program asked this one to end.
bool AdapterWatch::EndOnExitRequest()
{
    if (!m_start.ExitRequested())
        return false;
    m_window.endProgram();
    return true;
}

// Where the desktop offers no notification area, a hidden window could never be
// brought back: the window is shown instead.
void AdapterWatch::KeepReachable()
{
    if (!m_icon.trayEnabled())
        m_window.restore();
}

} // namespace kesto
