// ModeSwitch: the adapter's way into an operating mode - the start in the stored mode
// (when the program starts and when the adapter returns) and the switches between
// station and access-point mode from the side menu's radio images - with the pause the
// adapter needs to settle (200 ms before the start and into station mode, 1000 ms into
// access-point mode). The steps after the pause run from a one-shot, so nothing waits.
// While it settles, a restore or the tray's site survey waits for the mode to be in; an
// adapter lost or the program ending drops the switch undone. A switch takes the
// interface from one daemon to the other, so it is refused, as joins are, while the
// system's wireless service controls the adapter.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "app/OverlayLists.h"
#include "app/WindowIcon.h"
#include "apply/ProfileApply.h"
#include "pages/PageRouter.h"
#include "pages/WindowShell.h"
#include "platform/OneShotTimers.h"
#include "platform/Refusal.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"

#include <functional>
#include <vector>

namespace kesto {

class ModeSwitch {
public:
    // The window's steps a switch takes part in.
    struct Window {
        std::function<bool()> visible;
        std::function<void()> restore;
        std::function<void()> showSiteSurvey;
        // Tells the user why the default profile did not reach the adapter as stored.
        std::function<void(ApplyFault)> tellApplyFault;
    };
    // A step of the tray that needs the mode in.
    enum class Request { Restore, SiteSurvey };

    // apSettings, filterList: the window's working copies, read from the store as the
    // access point starts.
    ModeSwitch(OneShotTimers& oneShots, WindowShell& shell, const PageRouter& router,
               WindowIcon& icon, OverlayLists& lists, WlanApi& api, AdapterDiscovery& discovery,
               ProfileStore& store, ProfileApplier& applier, ApSettings& apSettings,
               FilterList& filterList, Window window);

    // The program's start: the adapter settles, the tray icon is made and the adapter
    // runs in the stored mode; then runs, and after it the requests that waited.
    void Start(std::function<void()> then);
    // The adapter returned: the tray icon at once, the rest as Start.
    void Restart(std::function<void()> then);
    // From access-point to station mode and back (the window's radio images); nothing
    // when the mode is already in, and the service check's message when the system's
    // wireless service controls the adapter.
    void ToStation();
    void ToAp();
    // A switch asked for by a caller that waits for it (the session service): as the
    // radio image of the mode the adapter is not in would switch, whatever the window's
    // images last showed (a start in access-point mode leaves them on station until the
    // first restore). done(true) once the adapter runs in the mode (at once when it does
    // already), done(false) when the switch is dropped or another one is under way. The
    // service check's refusal ("ServiceConflict") instead, with done never called.
    Refused SwitchTo(bool toAp, std::function<void(bool)> done);
    // The switch under way is not done, and the window's mode stays the one before it.
    void Cancel();

    // While the adapter settles, keeps request for when the mode is in: true when kept.
    bool Defer(Request request);
    // Requests kept for after the switch are dropped (the window was hidden).
    void DropRequests();

    bool pending() const { return m_step.pending(); }
    bool apModeActive() const { return m_apModeActive; }
    // A restore in access-point mode: the window shows the access point's pages.
    void MarkApModeActive() { m_apModeActive = true; }

private:
    // then runs once the adapter runs in the stored mode (after its settle in AP mode).
    void StartInStoredMode(std::function<void()> then);
    void EnterApModeOnAdapter(std::function<void()> then);
    // The switches themselves, once the mode is known to change and the check passed.
    void EnterStation();
    void EnterAp();
    // The stored default profile onto the adapter; what the applier or the adapter
    // refused is told.
    void ApplyDefaultProfile();
    void RunRequests();

    PendingStep m_step;
    WindowShell& m_shell;
    const PageRouter& m_router;
    WindowIcon& m_icon;
    OverlayLists& m_lists;
    WlanApi& m_api;
    AdapterDiscovery& m_discovery;
    ProfileStore& m_store;
    ProfileApplier& m_applier;
    ApSettings& m_apSettings;
    FilterList& m_filterList;
    Window m_window;

    bool m_apModeActive = false;
    // While the adapter settles: ApModeActive before the switch, and the tray's requests
    // that run once the mode is in.
    bool m_apModeBefore = false;
    bool m_restoreAfter = false;
    bool m_surveyAfter = false;
    // Told whether the switch under way ended with the mode in.
    std::vector<std::function<void(bool)>> m_done;
};

} // namespace kesto
