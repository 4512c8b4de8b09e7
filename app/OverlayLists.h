// OverlayLists: the main window's two list controls laid over its pages, control 1009
// (the survey or the profile list) and control 1010 (the access point's stations). Each
// is placed once, at the window's first show or for the first page that needs it, both
// are hidden whenever another page comes, and their events go to one route.
#pragma once

#include "platform/ListControl.h"

#include <functional>

namespace kesto {

class OverlayLists {
public:
    using Route = std::function<void(int controlId, ListEvent event, int index)>;

    OverlayLists(ListControl& survey, ListControl& station, Route route);
    // The controls send nothing more once the window is gone.
    ~OverlayLists();
    OverlayLists(const OverlayLists&) = delete;
    OverlayLists& operator=(const OverlayLists&) = delete;

    ListControl& survey() { return m_survey; }
    ListControl& station() { return m_station; }
    void PlaceSurvey();
    void PlaceStation();
    // The first show: the survey's row images, both controls placed and hidden.
    void PrepareFirstShow();
    void Hide();

    // True while control 1009 holds the survey, false while it holds the profiles.
    bool surveyHoldsSurvey() const { return m_surveyHoldsSurvey; }
    void setSurveyHoldsSurvey(bool holds) { m_surveyHoldsSurvey = holds; }

private:
    class Sink : public ListEventSink {
    public:
        Sink(const Route& route, int controlId) : m_route(route), m_controlId(controlId) {}
        void OnListEvent(ListEvent event, int index) override
        {
            m_route(m_controlId, event, index);
        }

    private:
        const Route& m_route;
        int m_controlId;
    };

    ListControl& m_survey;
    ListControl& m_station;
    Route m_route;
    Sink m_surveySink;
    Sink m_stationSink;
    bool m_surveyPlaced = false;
    bool m_stationPlaced = false;
    bool m_surveyHoldsSurvey = false;
};

} // namespace kesto
