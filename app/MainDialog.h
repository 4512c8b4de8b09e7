// MainDialog: the program's only top-level window and its main loop. It shows one HTML
// page at a time, exchanges its bound members with the page, dispatches element,
// window, tray and list events, runs the window timers, switches tabs and operating
// modes, and watches for an exit request and for the adapter leaving and returning.
// It owns the adapter context (through WlanApi), the tray icon and the window's copies
// of the access-point settings and filter list.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "app/AppPorts.h"
#include "app/CTrayIcon.h"
#include "app/ElementBinding.h"
#include "app/HostedParts.h"
#include "app/PageMap.h"
#include "app/PageMirror.h"
#include "profiles/ProfileApply.h"
#include "profiles/ProfileList.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kesto {

// Pages of the main window.
inline constexpr int kStatusPageId = 236;
inline constexpr int kSurveyPageId = 237;
inline constexpr int kProfilePageId = 238;
inline constexpr int kAdapterPageId = 239;
inline constexpr int kApStatusPageId = 261;
inline constexpr int kApSettingsPageId = 262;
inline constexpr int kApFilterPageId = 263;

// Window timers by id.
inline constexpr int kTimerLinkStatus = 1;
inline constexpr int kTimerSignal = 2;
inline constexpr int kTimerTrayIcon = 4;
inline constexpr int kTimerAdapterRetry = 5;
inline constexpr int kTimerExitWatch = 6;
inline constexpr int kTimerThroughput = 7;
inline constexpr int kTimerApStatus = 8;

// List controls and where they lie over the page.
inline constexpr int kSurveyListId = 1009;
inline constexpr int kStationListId = 1010;

inline constexpr int kWindowIconId = 128;
inline constexpr int kWindowWidth = 753;
inline constexpr int kWindowHeight = 484;
inline constexpr int kWindowHeightNewerSystem = 492; // QV_GetOSVersion 7 or more

inline constexpr std::string_view kStationMode = "Station Mode";
inline constexpr std::string_view kApMode = "AP Mode";
inline constexpr std::string_view kHelpFileName = "KestoR-450.chm";

class MainDialog : public PageHostListener, public TimerSink, public TrayEventSink {
public:
    // appName: the caption of message boxes.
    MainDialog(const AppPorts& ports, ProfileStore& store, std::string appName);
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
    void SwitchTab(int tab);
    void SwitchToStation();
    void SwitchToAp();
    void RunAbout();
    void OpenHelp();
    // The three steps of every orderly end: tray icon removed, adapter context let go
    // (the adapter is not closed), modal run ended with 0. Later events are ignored.
    void EndProgram();

    // --- for the hosted pages ---
    // Shows a page of the main window with the bound members pushed into it.
    void ShowPage(int pageId);
    // Members from the page (fromPage) or into it.
    void UpdateData(bool fromPage);
    HostedParts& parts() { return m_parts; }
    PageMap& pageMap() { return m_pageMap; }
    ElementBinding& binding() { return m_binding; }
    PageMirror& page() { return m_page; }
    WlanApi& api() { return m_api; }
    ProfileStore& store() { return m_store; }
    AdapterDiscovery& discovery() { return m_discovery; }
    ProfileList& profileList() { return m_profileList; }
    ProfileApplier& applier() { return m_applier; }
    ListControl& surveyList() { return m_ports.surveyList; }
    ListControl& stationList() { return m_ports.stationList; }
    Timers& timers() { return m_ports.timers; }
    ApSettings& apSettings() { return m_apSettings; }
    FilterList& filterList() { return m_filterList; }
    CTrayIcon& trayIcon() { return m_tray; }

    // --- state ---
    bool windowShown() const { return m_windowShown; }
    bool firstShowPending() const { return m_firstShowPending; }
    bool surveyListHoldsSurvey() const { return m_surveyListHoldsSurvey; }
    void setSurveyListHoldsSurvey(bool holds) { m_surveyListHoldsSurvey = holds; }
    int apModeActive() const { return m_apModeActive; }
    bool ended() const { return m_ended; }
    int windowIcon() const { return m_windowIcon; }
    // The stored "Mode" is "Station Mode".
    bool StationModeStored();

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
    void WriteDriverDefaults();
    void LoadOrSeedStore();
    void CreateTray();
    void StartInStoredMode();
    void EnterApModeOnAdapter();
    void SetApIcon();
    void UpdateTrayIcon();
    void FirstShow(bool restorePath);
    void OnClose();
    void OnMinimise();
    void ExitWatch();
    void Redetect();
    bool ExitRequested();
    void HideLists();
    void PlaceSurveyList();
    void PlaceStationList();
    void StartMonitorTimers();
    void StopMonitorTimers();
    void ShowWindowIfShown();
    void KeepReachable();
    void OnListEvent(int controlId, ListEvent event, int index);
    static void Call(const std::function<void()>& step);

    AppPorts m_ports;
    ProfileStore& m_store;
    std::string m_appName;
    WlanApi m_api;
    AdapterDiscovery m_discovery;
    ProfileList m_profileList;
    ProfileApplier m_applier;
    CTrayIcon m_tray;
    PageMirror m_page;
    PageMap m_pageMap;
    ElementBinding m_binding;
    HostedParts m_parts;
    ListSink m_surveySink;
    ListSink m_stationSink;

    ApSettings m_apSettings;
    FilterList m_filterList;

    bool m_windowShown = false;
    bool m_firstShowPending = true;
    bool m_surveyListHoldsSurvey = false;
    int m_apModeActive = 0;
    bool m_surveyListPlaced = false;
    bool m_stationListPlaced = false;
    bool m_ended = false;
    int m_windowIcon = kWindowIconId;
};

} // namespace kesto
