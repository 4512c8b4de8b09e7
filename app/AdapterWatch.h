// AdapterWatch: the main window's start on the adapter and its watch over it. With an
// adapter matched at start it writes the driver defaults, loads or seeds the store and
// starts in the stored mode; without one, and once the adapter was lost, it looks for
// it again until it returns. Every 2 s it checks for an exit request from a later start
// of the program and for the adapter gone.
#pragma once

#include "app/AdapterStart.h"
#include "app/ModeSwitch.h"
#include "app/WindowIcon.h"
#include "pages/MonitorTimers.h"
#include "pages/PageRouter.h"
#include "platform/Timers.h"

#include <functional>

namespace kesto {

class AdapterWatch {
public:
    // The window's steps the watch takes part in.
    struct Window {
        std::function<void()> endProgram;
        // Out of sight until the next restore.
        std::function<void()> hide;
        std::function<void()> restore;
    };

    AdapterWatch(AdapterStart& start, ModeSwitch& modes, WindowIcon& icon, const PageRouter& router,
                 Timers& timers, MonitorTimers& monitorTimers, Window window);

    void Start();
    // The exit watch's timer (6).
    void OnExitWatch();
    // The re-detection timer (5).
    void OnRetry();

private:
    bool EndOnExitRequest();
    void KeepReachable();

    AdapterStart& m_start;
    ModeSwitch& m_modes;
    WindowIcon& m_icon;
    const PageRouter& m_router;
    Timers& m_timers;
    MonitorTimers& m_monitorTimers;
    Window m_window;
};

} // namespace kesto
