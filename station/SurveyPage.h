// SurveyPage: the site survey page (237) and list control 1009 while it holds the
// survey: scans for networks, lists them with their channel and signal, shows the
// selected network's details, sorts by column, and joins the selected network (an open
// one directly, a WEP or WPA one through the security pop-up). Shown from tab 2 and from the
// tray menu's site survey command; a restore scans again.
//
// A scan runs while the thread serves other events: the page shows at once, the library
// is asked every 100 ms whether the radio is done (at most 10 s), and the list fills when
// the results are in. A request while a scan runs joins it rather than starting another;
// leaving the page the scan was asked for, hiding the window, switching the mode, losing
// the adapter or ending drops it, and then neither the tables nor the list change.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "apply/ProfileApply.h"
#include "pages/PageController.h"
#include "pages/WindowShell.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/OneShotTimers.h"
#include "platform/PageHost.h"
#include "profiles/WorkingRecords.h"
#include "security/PassphraseKeys.h"
#include "station/SurveyRecords.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kesto {

class SurveyPage : public PageController {
public:
    // What the page needs besides the window: the adapter for the scan, the working
    // records it edits, the applier every join goes through (it records the driver
    // values), and for the security pop-up the page host, the key generator and the
    // caption of message boxes (the application name).
    struct Needs {
        WlanApi& api;
        AdapterDiscovery& discovery;
        WorkingRecords& work;
        ProfileApplier& applier;
        Dialogs& dialogs;
        Clock& clock;
        OneShotTimers& oneShots;
        PageHost& pages;
        PassphraseKeys& keys;
        std::string caption;
        ManifestLookup manifest = PageElements;
    };

    SurveyPage(WindowShell& shell, Needs needs);

    void BindHandlers(PageMap& pages) override;
    void ShowTab() override;
    void OnListEvent(int controlId, ListEvent event, int index) override;
    void OnShellStep(ShellStep step) override;

    // --- the page's steps ---
    // Starts a scan for the page shown now (or joins the one under way). When the radio
    // is done the records are read, their survey times noted, the list filled in scan
    // order when it shows the survey, and then runs; nothing of it happens when the
    // scan is dropped.
    void Scan(std::function<void()> then = {});
    // Notes the current local time for the name of every network of the last scan.
    void RecordSurveyTimes();
    void FillList();
    // The details of shown row `row`; a row outside the list clears them.
    void ShowDetails(int row);
    // Sorts by column 1 (name), 2 (channel) or 3 (signal): ascending, or descending when
    // the column's last sort was ascending.
    void SortBy(int column);
    void ConnectSelected();

    const std::vector<SurveyEntry>& shown() const { return m_shown; }

private:
    struct SurveyTime {
        std::string ssid;
        LocalTime time;
    };

    // A scan asked for while page pageId was shown; then runs when its results are in.
    struct ScanRequest {
        int pageId = 0;
        std::function<void()> then;
    };

    void ScanFor(int pageId, std::function<void()> then = {});
    void PollScan();
    void FinishScan();
    void DropScan();
    // The last selected row of the list, or -1.
    int SelectedRow();

    WindowShell& m_shell;
    Needs m_needs;
    std::vector<SurveyEntry> m_raw;
    std::vector<SurveyEntry> m_shown;
    std::array<SurveyTime, kMaxSurveyEntries> m_times{};
    std::array<int, 3> m_sortFlags{};

    PendingStep m_scanStep;
    std::uint32_t m_scanStarted = 0; // tick count of the WL_SiteSurveyStart under way
    std::optional<WaitCursor> m_scanCursor;
    std::vector<ScanRequest> m_scanRequests;
};

} // namespace kesto
