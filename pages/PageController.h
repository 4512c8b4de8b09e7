// PageController: one page (or dialog) of the main window with its behaviour. The main
// window routes to the controllers registered in its table (PageRoute): a tab click to
// the controller of that tab, a timer to the controller that owns it, element events
// through the handlers each controller binds on its pages, list events to the
// controller whose page is shown, and the window's own steps (ShellStep) to every
// controller in table order. A controller reaches the window only through WindowShell.
#pragma once

#include "pages/PageMap.h"
#include "platform/ListControl.h"

#include <vector>

namespace kesto {

// Steps of the main window that pages take part in. Each is sent to every controller
// in table order; a controller acts on those that concern it.
enum class ShellStep {
    FirstShowFromRestore,  // first show of the window, from the tray double click
    FirstShowFromMenu,     // first show of the window, from the tray menu
    RestoredInStationMode, // the window was restored while in station mode
    RestoredInApMode,      // the window was restored while in access-point mode
    SiteSurveyCommand,     // the tray menu's site survey: scan and show the survey page
    StationModeEntered,    // switched from access point to station; the profile applied
    ApStartingOnAdapter,   // the adapter was put in access-point mode: apply its settings
    ApModeEntered,         // switched from station to access point
    AdapterReturned,       // the adapter came back and was started again
    PageShown,             // the window shows a page (again): a step still waiting on a
                           // one-shot for a page no longer shown is dropped
    WindowHidden,          // the window was hidden: what waits for the window is dropped
    DropPendingSteps,      // the mode is about to change, the adapter was lost or the
                           // program ends: every step still waiting on a one-shot is
                           // dropped, its work left undone
};

class PageController {
public:
    virtual ~PageController() = default;

    // Adds the controller's element handlers to the main window's pages.
    virtual void BindHandlers(PageMap& /*pages*/) {}
    // Its tab was chosen: the whole step of showing its page.
    virtual void ShowTab() {}
    // One of its timers fired.
    virtual void OnTimer(int /*id*/) {}
    // An event of a list control while one of its pages is shown.
    virtual void OnListEvent(int /*controlId*/, ListEvent /*event*/, int /*index*/) {}
    virtual void OnShellStep(ShellStep /*step*/) {}
};

// One row of the main window's controller table. tab is 0 for a controller without a
// tab of its own (a dialog opened from another page).
struct PageRoute {
    int tab = 0;
    std::vector<int> pageIds;
    std::vector<int> timerIds;
    PageController* controller = nullptr;
};

} // namespace kesto
