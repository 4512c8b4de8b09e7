// SurveyScan: one site survey at a time over the adapter, for whoever asks: the survey
// page, the wizard's network pick and the session service. A scan starts the radio, asks
// it every 100 ms whether it is done (at most 10 s), and then reads its records; a
// request while one runs joins it rather than starting another. A request belongs to a
// page of the window (dropped when the window leaves that page or hides) or to the
// service (dropped only when the mode changes, the adapter is lost or the program ends);
// a scan no request wants any more is dropped, and then nothing of it changes. The wait
// cursor shows while a page's request waits.
#pragma once

#include "adapter/WlanApi.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/OneShotTimers.h"
#include "station/SurveyRecords.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace kesto {

class SurveyScan {
public:
    // The owner of a request that belongs to no page.
    static constexpr int kServiceOwner = -1;

    SurveyScan(WlanApi& api, Clock& clock, OneShotTimers& oneShots, Dialogs& dialogs);

    // Runs first when a scan's records are in, before the requests' own steps.
    void SetResultsObserver(std::function<void(const std::vector<SurveyEntry>&)> observer)
    {
        m_observer = std::move(observer);
    }

    // A request of owner (a page id, or kServiceOwner): done runs when the records are in;
    // dropped runs instead when the request is dropped.
    void Request(int owner, std::function<void()> done, std::function<void()> dropped = {});
    // The window shows page pageId: requests of the other pages go.
    void KeepPage(int pageId);
    // The window was hidden: every page's request goes.
    void DropPageRequests();
    // The mode changes, the adapter was lost or the program ends: every request goes.
    void DropAll();

    bool pending() const { return m_step.pending(); }
    // The last scan's records in scan order; empty before the first.
    const std::vector<SurveyEntry>& results() const { return m_results; }

private:
    struct Waiting {
        int owner = kServiceOwner;
        std::function<void()> done;
        std::function<void()> dropped;
    };

    void Poll();
    void Finish();
    // Drops the requests that match, and the scan when none is left.
    template <typename Pred> void DropIf(Pred pred);
    void UpdateCursor();

    WlanApi& m_api;
    Clock& m_clock;
    Dialogs& m_dialogs;
    PendingStep m_step;
    std::uint32_t m_started = 0; // tick count of the WL_SiteSurveyStart under way
    std::optional<WaitCursor> m_cursor;
    std::vector<Waiting> m_waiting;
    std::vector<SurveyEntry> m_results;
    std::function<void(const std::vector<SurveyEntry>&)> m_observer;
};

} // namespace kesto
