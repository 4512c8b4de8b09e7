// MainDialog: the program's only top-level window and its main loop. It shows one HTML
// page at a time, exchanges its bound members with the page, dispatches element,
// window, tray and list events, runs the window timers, switches tabs and operating
// modes, and watches for an exit request and for the adapter leaving and returning.
// It owns the adapter context (through WlanApi), the tray icon and the window's copies
// of the access-point settings and filter list. What each page does lives in its
// controller (PageControllers); the window routes to them through one table.
//
// Nothing waits on the window's thread. Where the adapter must settle (200 ms before the
// start in the stored mode and into station mode, 1000 ms into access-point mode), the
// steps after the pause run from a one-shot. Meanwhile the page's events are not taken
// (they act on a page about to be replaced), only the exit watch of the timers runs, a
// restore or the tray's site survey waits for the mode to be in, and an adapter lost or
// the program ending drops the switch undone.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "app/AdapterStart.h"
#include "app/AppPorts.h"
#include "app/PageControllers.h"
#include "app/TrayIconLogic.h"
#include "apply/ProfileApply.h"
#include "pages/ElementBinding.h"
#include "pages/MainWindowIds.h"
#include "pages/MonitorTimers.h"
#include "pages/PageMap.h"
#include "pages/PageMirror.h"
#include "pages/PageRouter.h"
#include "pages/WindowShell.h"
#include "profiles/ProfileList.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

inline constexpr int kWindowIconId = 128;
inline constexpr int kWindowWidth = 753;
inline constexpr int kWindowHeight = 484;
inline constexpr int kWindowHeightNewerSystem = 492; // QV_GetOSVersion 7 or more

inline constexpr std::string_view kHelpFileName = "KestoR-450.chm";

class MainDialog : public PageHostListener,
                   public TimerSink,
                   public TrayEventSink,
                   public WindowShell {
public:
    // appName: the caption of message boxes.
    MainDialog(const AppPorts& ports, ProfileStore& store, WorkingRecords& work,
               std::string appName);
    ~MainDialog() override;
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    // OnInitDialog, then the modal run; returns its result once the program ends.
    int DoModal();
    // The window's initialisation: icons, size, hidden start, adapter discovery, and
    // with an adapter the driver defaults, first-run seeding, tray icon, the start in
    // the stored mode and the exit watch; without one the re-detection timer.
    void OnInitDialog();

    // --- events from the ports ---
    void OnElementEvent(int pageId, std::string_view elementId, ElementEvent event,
                        const PageValues& values) override;
    void OnWindowEvent(WindowEvent event) override;
    void OnTimer(int id) override;
    void OnTrayNotify(std::uint32_t callbackMessage, int iconId, TrayMouse mouse) override;
    // Menu commands 32771-32773; others are ignored.
    void OnCommand(int command);

    // --- the window's own steps ---
    void Restore();
    void ShowTrayMenu();
    void ShowSiteSurvey();
    // Tab 1-7; other numbers are ignored.
    void SwitchTab(int tab) override;
    void SwitchToStation();
    void SwitchToAp();
    // The mode switch of the session service: as the mode radio images switch, whatever
    // the window's images last showed (a start in access-point mode leaves them on
    // station until the first restore). done(true) once the adapter runs in the mode
    // asked for (at once when it does already), done(false) when the switch was dropped
    // (the adapter lost, the program ending) or another one is under way.
    void SwitchMode(bool toAp, std::function<void(bool)> done);
    void RunAbout();
    void OpenHelp();
    // The three steps of every orderly end: tray icon removed, adapter context let go
    // (the adapter is not closed), modal run ended with 0. Later events are ignored.
    void EndProgram();

    // --- WindowShell: for the page controllers ---
    void ShowPage(int pageId) override;
    void UpdateData(bool fromPage) override;
    ElementBinding& binding() override { return m_binding; }
    PageMirror& page() override { return m_page; }
    ListControl& surveyList() override { return m_ports.surveyList; }
    ListControl& stationList() override { return m_ports.stationList; }
    void PlaceSurveyList() override;
    void PlaceStationList() override;
    bool surveyListHoldsSurvey() const override { return m_surveyListHoldsSurvey; }
    void setSurveyListHoldsSurvey(bool holds) override { m_surveyListHoldsSurvey = holds; }
    Timers& timers() override { return m_ports.timers; }
    MonitorTimers& monitorTimers() override { return m_monitorTimers; }
    // The stored "Mode" is "Station Mode".
    bool StationModeStored() override;

    PageMap& pageMap() { return m_pageMap; }
    WlanApi& api() { return m_api; }
    ProfileStore& store() { return m_store; }
    WorkingRecords& work() { return m_work; }
    AdapterDiscovery& discovery() { return m_discovery; }
    ProfileList& profileList() { return m_profileList; }
    ProfileApplier& applier() { return m_applier; }
    ApSettings& apSettings() { return m_apSettings; }
    FilterList& filterList() { return m_filterList; }
    TrayIconLogic& trayIcon() { return m_tray; }
    PageControllers& controllers() { return m_controllers; }
    OneShotTimers& oneShots() { return m_ports.oneShots; }
    Clock& clock() { return m_ports.clock; }

    // --- state ---
    bool windowShown() const { return m_windowShown; }
    bool firstShowPending() const { return m_firstShowPending; }
    bool apModeActive() const { return m_apModeActive; }
    // The adapter is settling into a mode (start, switch or re-detection).
    bool modeStepPending() const { return m_modeStep.pending(); }
    bool ended() const { return m_ended; }
    int windowIcon() const { return m_windowIcon; }

private:
    class ListSink : public ListEventSink {
    public:
        ListSink(MainDialog& owner, int controlId) : m_owner(owner), m_controlId(controlId) {}
        void OnListEvent(ListEvent event, int index) override;

    private:
        MainDialog& m_owner;
        int m_controlId;
    };

    void BuildPageMap();
    void MainInit();
    void CreateTray();
    // then runs once the adapter runs in the stored mode (after its settle in AP mode).
    void StartInStoredMode(std::function<void()> then);
    void EnterApModeOnAdapter(std::function<void()> then);
    void CancelModeStep();
    void RunDeferredRequests();
    void SetApIcon();
    void UpdateTrayIcon();
    void FirstShow(bool restorePath);
    void OnClose();
    void OnMinimise();
    void ExitWatch();
    void Redetect();
    void HideLists();
    void SetWindowVisible(bool visible);
    void ShowWindowIfShown();
    void KeepReachable();
    void OnListEvent(int controlId, ListEvent event, int index);

    AppPorts m_ports;
    // The steps after the adapter's settle into a mode.
    PendingStep m_modeStep;
    ProfileStore& m_store;
    WorkingRecords& m_work;
    std::string m_appName;
    WlanApi m_api;
    AdapterDiscovery m_discovery;
    ProfileList m_profileList;
    ProfileApplier m_applier;
    AdapterStart m_adapterStart;
    TrayIconLogic m_tray;
    PageMirror m_page;
    PageMap m_pageMap;
    ElementBinding m_binding;
    MonitorTimers m_monitorTimers;
    ListSink m_surveySink;
    ListSink m_stationSink;

    ApSettings m_apSettings;
    FilterList m_filterList;

    // Made last: the controllers hold references to everything above.
    PageControllers m_controllers;
    PageRouter m_router;

    bool m_windowShown = false;
    bool m_firstShowPending = true;
    bool m_surveyListHoldsSurvey = false;
    bool m_apModeActive = false;
    bool m_surveyListPlaced = false;
    bool m_stationListPlaced = false;
    bool m_ended = false;
    int m_windowIcon = kWindowIconId;
    bool m_windowVisible = false;
    // While the adapter settles: ApModeActive before the switch, and the tray's requests
    // that run once the mode is in.
    bool m_apModeBeforeStep = false;
    bool m_restoreAfterStep = false;
    bool m_surveyAfterStep = false;
    // Told whether the mode step under way ended with the mode in.
    std::vector<std::function<void(bool)>> m_modeStepDone;
};

} // namespace kesto
