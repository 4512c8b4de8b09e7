#include "app/OverlayLists.h"

#include "platform/ListControlIds.h"

#include <utility>

namespace kesto {

namespace {

constexpr int kSurveyImagesBitmap = 282;
constexpr unsigned kSurveyImagesTransparent = 0xFF00FF;

void PlaceSurveyControl(ListControl& list)
{
    list.Place(201, 146, 299, 170);
}

void PlaceStationControl(ListControl& list)
{
    list.Place(530, 154, 182, 149);
}

} // namespace

OverlayLists::OverlayLists(ListControl& survey, ListControl& station, Route route)
    : m_survey(survey), m_station(station), m_route(std::move(route)),
      m_surveySink(m_route, kSurveyListControl), m_stationSink(m_route, kStationListControl)
{
    m_survey.SetSink(&m_surveySink);
    m_station.SetSink(&m_stationSink);
}

OverlayLists::~OverlayLists()
{
    m_survey.SetSink(nullptr);
    m_station.SetSink(nullptr);
}

void OverlayLists::PlaceSurvey()
{
    if (std::exchange(m_surveyPlaced, true))
        return;
    PlaceSurveyControl(m_survey);
}

void OverlayLists::PlaceStation()
{
    if (std::exchange(m_stationPlaced, true))
        return;
    PlaceStationControl(m_station);
}

void OverlayLists::PrepareFirstShow()
{
    m_survey.SetSmallImages(kSurveyImagesBitmap, 44, 20, kSurveyImagesTransparent);
    PlaceSurveyControl(m_survey);
    PlaceStationControl(m_station);
    m_surveyPlaced = true;
    m_stationPlaced = true;
    Hide();
}

void OverlayLists::Hide()
{
    m_survey.Show(false);
    m_station.Show(false);
}

} // namespace kesto
