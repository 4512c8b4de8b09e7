// WindowShell: what the main window offers the page controllers it routes to: showing
// one of its pages with the bound members, exchanging those members with the page, its
// two list controls, its timers, and the steps a page may ask for (another tab). The
// main window implements it; controllers never include the main window itself.
#pragma once

#include "pages/MonitorTimers.h"
#include "pages/PageSurface.h"
#include "platform/ListControl.h"
#include "platform/Timers.h"

namespace kesto {

class WindowShell : public PageSurface {
public:
    // Control 1009 (survey or profile list) and control 1010 (station list). Each is
    // placed over the page once, the first time a page needs it.
    virtual ListControl& surveyList() = 0;
    virtual ListControl& stationList() = 0;
    virtual void PlaceSurveyList() = 0;
    virtual void PlaceStationList() = 0;
    // True while control 1009 holds the survey (a double click joins its network);
    // false while it holds the profile list.
    virtual bool surveyListHoldsSurvey() const = 0;
    virtual void setSurveyListHoldsSurvey(bool holds) = 0;

    virtual Timers& timers() = 0;
    virtual MonitorTimers& monitorTimers() = 0;

    // Runs the window's own tab step (1-7), as a click on ButtonTabN does.
    virtual void SwitchTab(int tab) = 0;
    // The stored "Mode" is "Station Mode".
    virtual bool StationModeStored() = 0;
};

} // namespace kesto
