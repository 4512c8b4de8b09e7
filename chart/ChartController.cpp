#include "chart/ChartController.h"

#include "chart/ChartDialog.h"
#include "pages/MainWindowIds.h"

#include <utility>

namespace kesto {

ChartController::ChartController(PageHost& pages, WlanApi& api, Clock& clock, ChartHost* charts,
                                 Timers* dialogTimers, ManifestLookup manifest)
    : m_pages(pages), m_api(api), m_clock(clock), m_charts(charts), m_dialogTimers(dialogTimers),
      m_manifest(std::move(manifest))
{
}

void ChartController::BindHandlers(PageMap& pages)
{
    if (m_charts && m_dialogTimers)
        pages.AddHandler(kStatusPageId, "ButtonChart", ElementEvent::Click, [this] { RunChart(); });
}

void ChartController::RunChart()
{
    if (!m_charts || !m_dialogTimers)
        return;
    ChartDialog chart(m_pages, m_api, m_clock, *m_dialogTimers, *m_charts, m_manifest);
    chart.DoModal();
}

} // namespace kesto
