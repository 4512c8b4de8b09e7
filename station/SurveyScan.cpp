// One site survey at a time (see SurveyScan.h).
#include "station/SurveyScan.h"

#include <algorithm>
#include <utility>

namespace kesto {

namespace {

// The radio is asked this often whether its scan is done, and the results are taken
// after the limit whatever it says.
constexpr std::uint32_t kScanPollMs = 100;
constexpr std::uint32_t kScanLimitMs = 10000;

} // namespace

SurveyScan::SurveyScan(WlanApi& api, Clock& clock, OneShotTimers& oneShots, Dialogs& dialogs)
    : m_api(api), m_clock(clock), m_dialogs(dialogs), m_step(oneShots)
{
}

void SurveyScan::Request(int owner, std::function<void()> done, std::function<void()> dropped)
{
    m_waiting.push_back({owner, std::move(done), std::move(dropped)});
    UpdateCursor();
    if (m_step.pending())
        return; // the scan under way serves this request too
    m_api.WL_SiteSurveyStart();
    m_started = m_clock.TickCount();
    m_step.Start(kScanPollMs, [this] { Poll(); });
}

void SurveyScan::Poll()
{
    const int state = m_api.WL_SiteSurveyState();
    if (state == 0 && m_clock.TickCount() - m_started < kScanLimitMs) {
        m_step.Start(kScanPollMs, [this] { Poll(); });
        return;
    }
    Finish();
}

void SurveyScan::Finish()
{
    std::vector<std::uint8_t> buffer(kSurveyBufferSize, 0);
    m_api.WL_RetrieveSiteSurveyData(buffer);
    m_results = ReadSurveyRecords(buffer);
    const std::vector<Waiting> waiting = std::exchange(m_waiting, {});
    UpdateCursor();
    if (m_observer)
        m_observer(m_results);
    for (const Waiting& request : waiting)
        if (request.done)
            request.done();
}

template <typename Pred> void SurveyScan::DropIf(Pred pred)
{
    std::vector<Waiting> dropped;
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (pred(*it)) {
            dropped.push_back(std::move(*it));
            it = m_waiting.erase(it);
        } else {
            ++it;
        }
    }
    if (m_waiting.empty())
        m_step.Cancel();
    UpdateCursor();
    for (const Waiting& request : dropped)
        if (request.dropped)
            request.dropped();
}

void SurveyScan::KeepPage(int pageId)
{
    DropIf([pageId](const Waiting& w) { return w.owner != kServiceOwner && w.owner != pageId; });
}

void SurveyScan::DropPageRequests()
{
    DropIf([](const Waiting& w) { return w.owner != kServiceOwner; });
}

void SurveyScan::DropAll()
{
    DropIf([](const Waiting&) { return true; });
}

void SurveyScan::UpdateCursor()
{
    const bool pageWaits = std::any_of(m_waiting.begin(), m_waiting.end(),
                                       [](const Waiting& w) { return w.owner != kServiceOwner; });
    if (pageWaits && !m_cursor)
        m_cursor.emplace(m_dialogs);
    else if (!pageWaits)
        m_cursor.reset();
}

} // namespace kesto
