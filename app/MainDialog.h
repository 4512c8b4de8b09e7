// MainDialog: the program's only top-level window and its main loop. It shows one HTML
// page at a time, exchanges its bound members with the page, routes element, window,
// tray, timer and list events, switches tabs, and shows and hides itself. What each page
// does lives in its controller (PageControllers), reached through one table; the
// switch between operating modes in ModeSwitch; the start on the adapter and the watch
// for an exit request and for the adapter leaving and returning in AdapterWatch; the
// window's and the tray's picture in WindowIcon; the lists over the page in
// OverlayLists. It owns them all, the adapter context (through WlanApi) and the window's
// copies of the access-point settings and filter list.
//
// Nothing waits on the window's thread. While the adapter settles into a mode the
// page's events are not taken (they act on a page about to be replaced) and only the
// exit watch of the timers runs.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "app/AdapterStart.h"
#include "app/AdapterWatch.h"
#include "app/AppPorts.h"
#include "app/ModeSwitch.h"
#include "app/OverlayLists.h"
#include "app/PageControllers.h"
#include "app/TrayIconLogic.h"
#include "app/WindowIcon.h"
#include "apply/ProfileApply.h"
#include "pages/ElementBinding.h"
#include "pages/MainWindowIds.h"
#include "pages/MonitorTimers.h"
#include "pages/PageMap.h"
#include "pages/PageMirror.h"
#include "pages/PageRouter.h"
#include "pages/WindowShell.h"
#include "platform/Refusal.h"
#include "profiles/ProfileList.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kesto {

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
    // (the adapter lost, the program ending) or another one is under way; the refusal
    // of the service check instead, done never called, while the system's wireless
    // service controls the adapter.
    Refused SwitchMode(bool toAp, std::function<void(bool)> done);
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
    ListControl& surveyList() override { return m_lists.survey(); }
    ListControl& stationList() override { return m_lists.station(); }
    void PlaceSurveyList() override { m_lists.PlaceSurvey(); }
    void PlaceStationList() override { m_lists.PlaceStation(); }
    bool surveyListHoldsSurvey() const override { return m_lists.surveyHoldsSurvey(); }
    void setSurveyListHoldsSurvey(bool holds) override { m_lists.setSurveyHoldsSurvey(holds); }
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
    TrayIconLogic& trayIcon() { return m_icon.tray(); }
    PageControllers& controllers() { return m_controllers; }
    OneShotTimers& oneShots() { return m_ports.oneShots; }
    Clock& clock() { return m_ports.clock; }

    // --- state ---
    bool windowShown() const { return m_windowShown; }
    bool firstShowPending() const { return m_firstShowPending; }
    bool apModeActive() const { return m_modes.apModeActive(); }
    // The adapter is settling into a mode (start, switch or re-detection).
    bool modeStepPending() const { return m_modes.pending(); }
    bool ended() const { return m_ended; }
    int windowIcon() const { return m_icon.current(); }

private:
    void BuildPageMap();
    void FirstShow(bool restorePath);
    void OnClose();
    void OnMinimise();
    void SetWindowVisible(bool visible);
    void ShowWindowIfShown();
    void OnListEvent(int controlId, ListEvent event, int index);

    AppPorts m_ports;
    ProfileStore& m_store;
    WorkingRecords& m_work;
    std::string m_appName;
    WlanApi m_api;
    AdapterDiscovery m_discovery;
    ProfileList m_profileList;
    ProfileApplier m_applier;
    AdapterStart m_adapterStart;
    WindowIcon m_icon;
    PageMirror m_page;
    PageMap m_pageMap;
    ElementBinding m_binding;
    MonitorTimers m_monitorTimers;
    OverlayLists m_lists;

    ApSettings m_apSettings;
    FilterList m_filterList;

    ModeSwitch m_modes;
    AdapterWatch m_watch;
    // Made last: the controllers hold references to everything above.
    PageControllers m_controllers;
    PageRouter m_router;

    bool m_windowShown = false;
    bool m_firstShowPending = true;
    bool m_ended = false;
    bool m_windowVisible = false;
};

} // namespace kesto
