#include "app/MainDialog.h"

#include "app/CAboutDlg.h"

#include <array>
#include <utility>

namespace kesto {

namespace {

// Pages of the main window, each with its handler table. 259 and 266 (activate now or
// later) carry no common elements.
constexpr std::array kMainPages = {236, 237, 238, 239, 240, 289, 241, 242, 243, 244, 245, 246,
                                   256, 260, 257, 264, 258, 247, 265, 259, 266, 261, 262, 263};
constexpr int kActivateNowPage = 259;
constexpr int kActivateLaterPage = 266;

constexpr int kSurveyImagesBitmap = 282;
constexpr unsigned kSurveyImagesTransparent = 0xFF00FF;

constexpr int kCreateIcon = 272;

std::string ProductPath(std::string_view valueName)
{
    return std::string(kProductKey) + std::string(valueName);
}

// A full path "HKEY_LOCAL_MACHINE\<key>" as the registry port's key path.
std::string_view KeyOfFullPath(std::string_view fullPath)
{
    const auto slash = fullPath.find('\\');
    return slash == std::string_view::npos ? std::string_view() : fullPath.substr(slash + 1);
}

} // namespace

void MainDialog::ListSink::OnListEvent(ListEvent event, int index)
{
    m_owner.OnListEvent(m_controlId, event, index);
}

MainDialog::MainDialog(const AppPorts& ports, ProfileStore& store, std::string appName)
    : m_ports(ports), m_store(store), m_appName(std::move(appName)), m_api(ports.wlan),
      m_discovery(m_api, store, ports.dialogs, m_appName),
      m_profileList(store, ports.dialogs, m_appName), m_applier(m_api, store, m_discovery),
      m_tray(ports.tray), m_page(ports.pages, HtmlSurface::MainWindow, ports.manifest),
      m_surveySink(*this, kSurveyListId), m_stationSink(*this, kStationListId)
{
    BuildPageMap();
    m_ports.pages.SetListener(this);
    m_ports.timers.SetSink(this);
    m_ports.tray.SetSink(this);
    m_ports.surveyList.SetSink(&m_surveySink);
    m_ports.stationList.SetSink(&m_stationSink);
}

MainDialog::~MainDialog()
{
    // The window's timers end with the window.
    for (int id = kTimerLinkStatus; id <= kTimerApStatus; ++id)
        m_ports.timers.KillTimer(id);
    m_ports.pages.SetListener(nullptr);
    m_ports.timers.SetSink(nullptr);
    m_ports.tray.SetSink(nullptr);
    m_ports.surveyList.SetSink(nullptr);
    m_ports.stationList.SetSink(nullptr);
}

void MainDialog::BuildPageMap()
{
    for (int pageId : kMainPages) {
        m_pageMap.AddPage(pageId);
        if (pageId == kActivateNowPage || pageId == kActivateLaterPage)
            continue;
        for (int tab = 1; tab <= 7; ++tab)
            m_pageMap.AddHandler(pageId, "ButtonTab" + std::to_string(tab), ElementEvent::Click,
                                 [this, tab] { SwitchTab(tab); });
        m_pageMap.AddHandler(pageId, "ImageStationRadio", ElementEvent::Click,
                             [this] { SwitchToStation(); });
        m_pageMap.AddHandler(pageId, "ImageAPRadio", ElementEvent::Click, [this] { SwitchToAp(); });
        m_pageMap.AddHandler(pageId, "AboutImage", ElementEvent::Click, [this] { RunAbout(); });
        m_pageMap.AddHandler(pageId, "MailImage", ElementEvent::Click, [this] { OpenHelp(); });
    }
    m_pageMap.AddHandler(kStatusPageId, "ButtonChart", ElementEvent::Click,
                         [this] { Call(m_parts.RunChart); });
}

void MainDialog::Call(const std::function<void()>& step)
{
    if (step)
        step();
}

int MainDialog::DoModal()
{
    OnInitDialog();
    return m_ports.pages.RunModal();
}

bool MainDialog::StationModeStored()
{
    return m_store.ReadText(ProductPath("Mode")) == kStationMode;
}

bool MainDialog::ExitRequested()
{
    return m_store.ReadText(ProductPath("Exit Utility")) == "1";
}

// --- initialisation ---

void MainDialog::OnInitDialog()
{
    m_ports.pages.SetWindowIcon(kWindowIconId);
    const int height = m_api.QV_GetOSVersion() >= 7 ? kWindowHeightNewerSystem : kWindowHeight;
    m_ports.pages.SetWindowSize(kWindowWidth, height);
    m_surveyListHoldsSurvey = false;
    // The window starts minimised, which hides it into the tray.
    OnMinimise();

    if (m_ports.iniDirectory.empty())
        m_discovery.LoadAdapterIni();
    else
        m_discovery.LoadAdapterIni(m_ports.iniDirectory);
    m_discovery.ScanAdapters();

    MainInit();
}

void MainDialog::MainInit()
{
    if (m_discovery.MatchedAdapters().empty()) {
        m_ports.timers.SetTimer(kTimerAdapterRetry, 2000);
        return;
    }
    m_api.Open(
        m_discovery.Adapters()[static_cast<std::size_t>(m_discovery.SelectedAdapterIndex())]);
    WriteDriverDefaults();
    LoadOrSeedStore();
    m_ports.clock.Sleep(200);
    CreateTray();
    StartInStoredMode();
    m_ports.timers.SetTimer(kTimerExitWatch, 2000);
    KeepReachable();
}

void MainDialog::WriteDriverDefaults()
{
    const std::string driverKey = m_discovery.SelectedAdapterKey();
    if (driverKey.empty())
        return;
    Registry& registry = m_store.registry();
    const std::string key(KeyOfFullPath(driverKey));
    const std::string keysKey = key + "\\Keys";
    for (int i = 1; i <= 4; ++i) {
        const std::string name = "Key" + std::to_string(i);
        if (!registry.QueryValue(keysKey, name))
            registry.SetValue(keysKey, name, RegValue::Text(""));
    }
    if (!registry.QueryValue(key, "Preamble"))
        registry.SetValue(key, "Preamble", RegValue::Text("2"));
}

void MainDialog::LoadOrSeedStore()
{
    const std::int32_t link = m_profileList.DefaultProfileLink();
    if (link <= 0) {
        m_profileList.CreateFirstRunStore();
        return;
    }
    m_store.ReadProfile(m_store.ReadText(ProfileLinkPath(link)));
}

void MainDialog::CreateTray()
{
    m_windowIcon = kCreateIcon;
    m_ports.pages.SetWindowIcon(kCreateIcon);
    m_tray.Create(kTrayNotifyMessage, kTrayTooltip, kCreateIcon, kTrayIconId);
}

void MainDialog::StartInStoredMode()
{
    if (StationModeStored()) {
        m_applier.ApplyDefaultProfile();
        m_ports.timers.SetTimer(kTimerTrayIcon, 1000);
        return;
    }
    EnterApModeOnAdapter();
    SetApIcon();
}

void MainDialog::EnterApModeOnAdapter()
{
    m_apSettings = m_store.ReadApSettings();
    m_filterList = m_store.ReadFilterList();
    m_api.SetWL_OperationMode_STA_AP(1);
    m_ports.clock.Sleep(1000);
    Call(m_parts.ApplyApSettings);
}

// Where the desktop offers no notification area, a hidden window could never be
// brought back: the window is shown instead.
void MainDialog::KeepReachable()
{
    if (!m_tray.enabled())
        Restore();
}

// --- icons ---

void MainDialog::SetApIcon()
{
    const int icon = CTrayIcon::IconFor(TrayState::ApMode, m_api.QV_GetOSVersion());
    m_windowIcon = icon;
    m_ports.pages.SetWindowIcon(icon);
    m_tray.SetIcon(icon);
}

void MainDialog::UpdateTrayIcon()
{
    const auto state = CTrayIcon::StateForLinkStatus(m_api.QueryWL_LinkStatus());
    if (!state)
        return;
    const int icon = CTrayIcon::IconFor(*state, m_api.QV_GetOSVersion());
    if (icon == m_windowIcon)
        return;
    m_windowIcon = icon;
    m_tray.SetIcon(icon);
    m_ports.pages.SetWindowIcon(icon);
}

// --- pages and lists ---

void MainDialog::ShowPage(int pageId)
{
    m_page.ShowPage(pageId, [this](PageMirror& page) { m_binding.Push(page); });
}

void MainDialog::UpdateData(bool fromPage)
{
    if (fromPage)
        m_binding.Pull(m_page);
    else
        m_binding.Push(m_page);
}

void MainDialog::HideLists()
{
    m_ports.surveyList.Show(false);
    m_ports.stationList.Show(false);
}

void MainDialog::PlaceSurveyList()
{
    if (m_surveyListPlaced)
        return;
    m_ports.surveyList.Place(201, 146, 299, 170);
    m_surveyListPlaced = true;
}

void MainDialog::PlaceStationList()
{
    if (m_stationListPlaced)
        return;
    m_ports.stationList.Place(530, 154, 182, 149);
    m_stationListPlaced = true;
}

void MainDialog::StartMonitorTimers()
{
    m_ports.timers.SetTimer(kTimerLinkStatus, 300);
    m_ports.timers.SetTimer(kTimerSignal, 1000);
    m_ports.timers.SetTimer(kTimerThroughput, 300);
}

void MainDialog::StopMonitorTimers()
{
    m_ports.timers.KillTimer(kTimerSignal);
    m_ports.timers.KillTimer(kTimerLinkStatus);
    m_ports.timers.KillTimer(kTimerThroughput);
}

// While WindowShown is false every request to show the window is dropped, so only the
// restore and the site-survey command (which set it first) make the window visible.
void MainDialog::ShowWindowIfShown()
{
    if (m_windowShown)
        m_ports.pages.ShowWindow(true);
}

// --- showing and hiding ---

void MainDialog::FirstShow(bool restorePath)
{
    if (!m_firstShowPending)
        return;
    ShowPage(kStatusPageId);
    m_ports.surveyList.SetSmallImages(kSurveyImagesBitmap, 44, 20, kSurveyImagesTransparent);
    m_ports.surveyList.Place(201, 146, 299, 170);
    m_ports.stationList.Place(530, 154, 182, 149);
    m_surveyListPlaced = true;
    m_stationListPlaced = true;
    HideLists();
    if (StationModeStored()) {
        if (restorePath)
            Call(m_parts.ClearStatus);
        Call(m_parts.StartMonitor);
    } else {
        SetApIcon();
    }
    m_firstShowPending = false;
}

void MainDialog::Restore()
{
    FirstShow(true);
    m_ports.pages.BringToForeground();
    m_windowShown = true;
    if (StationModeStored()) {
        StartMonitorTimers();
        Call(m_parts.Scan);
        Call(m_parts.RecordSurveyTimes);
    } else {
        m_apModeActive = 1;
        Call(m_parts.RefreshApStatus);
        m_ports.timers.SetTimer(kTimerApStatus, 2000);
        ShowPage(kApStatusPageId);
    }
    ShowWindowIfShown();
}

void MainDialog::ShowTrayMenu()
{
    FirstShow(false);
    m_ports.pages.BringToForeground();
    const int command = m_tray.TrackMenu(StationModeStored());
    OnCommand(command);
}

void MainDialog::ShowSiteSurvey()
{
    Call(m_parts.Scan);
    Call(m_parts.RecordSurveyTimes);
    Call(m_parts.FillList);
    ShowPage(kSurveyPageId);
    m_ports.pages.BringToForeground();
    m_windowShown = true;
    StartMonitorTimers();
    ShowWindowIfShown();
}

void MainDialog::OnClose()
{
    StopMonitorTimers();
    m_ports.pages.ShowWindow(false);
}

void MainDialog::OnMinimise()
{
    StopMonitorTimers();
    m_windowShown = false;
    m_ports.pages.ShowWindow(false);
}

// --- tabs and modes ---

void MainDialog::SwitchTab(int tab)
{
    if (tab < 1 || tab > 7)
        return;
    HideLists();
    Timers& timers = m_ports.timers;
    switch (tab) {
    case 1:
        Call(m_parts.ClearStatus);
        ShowPage(kStatusPageId);
        Call(m_parts.StartMonitor);
        timers.SetTimer(kTimerThroughput, 300);
        timers.SetTimer(kTimerLinkStatus, 300);
        timers.SetTimer(kTimerSignal, 1000);
        break;
    case 2:
        m_surveyListHoldsSurvey = true;
        Call(m_parts.Scan);
        Call(m_parts.RecordSurveyTimes);
        PlaceSurveyList();
        ShowPage(kSurveyPageId);
        Call(m_parts.FillList);
        StopMonitorTimers();
        break;
    case 3:
        m_surveyListHoldsSurvey = false;
        PlaceSurveyList();
        StopMonitorTimers();
        Call(m_parts.FillProfileList);
        ShowPage(kProfilePageId);
        break;
    case 4: {
        StopMonitorTimers();
        ShowPage(kAdapterPageId);
        const ProfileRecord& current = m_store.CurrentProfile;
        m_binding.SetNumber("SelectRate", current.TxRate);
        m_binding.SetNumber("SelectPreamble", current.Preamble);
        m_binding.SetNumber("SelectSaving", current.PSMode);
        // The page shows the profile's values, not the ones it was loaded with.
        UpdateData(false);
        break;
    }
    case 5:
        timers.SetTimer(kTimerApStatus, 2000);
        Call(m_parts.RefreshApStatus);
        ShowPage(kApStatusPageId);
        break;
    case 6:
        timers.KillTimer(kTimerApStatus);
        Call(m_parts.FillApSettings);
        ShowPage(kApSettingsPageId);
        break;
    case 7:
        timers.KillTimer(kTimerApStatus);
        Call(m_parts.FillFilterList);
        ShowPage(kApFilterPageId);
        break;
    default:
        break;
    }
}

void MainDialog::SwitchToStation()
{
    if (m_apModeActive != 1)
        return;
    HideLists();
    m_apModeActive = 0;
    m_api.SetWL_OperationMode_STA_AP(0);
    m_ports.clock.Sleep(200);
    m_applier.ApplyDefaultProfile();
    Call(m_parts.ClearStatus);
    Call(m_parts.StartMonitor);
    Timers& timers = m_ports.timers;
    timers.KillTimer(kTimerApStatus);
    timers.SetTimer(kTimerThroughput, 300);
    timers.SetTimer(kTimerLinkStatus, 300);
    timers.SetTimer(kTimerSignal, 1000);
    timers.SetTimer(kTimerTrayIcon, 1000);
    ShowPage(kStatusPageId);
}

void MainDialog::SwitchToAp()
{
    if (m_apModeActive != 0)
        return;
    PlaceStationList();
    HideLists();
    SetApIcon();
    m_apModeActive = 1;
    Timers& timers = m_ports.timers;
    timers.KillTimer(kTimerSignal);
    timers.KillTimer(kTimerLinkStatus);
    timers.KillTimer(kTimerTrayIcon);
    timers.KillTimer(kTimerThroughput);
    EnterApModeOnAdapter();
    Call(m_parts.RefreshApStatus);
    timers.SetTimer(kTimerApStatus, 2000);
    ShowPage(kApStatusPageId);
}

// --- about box, help, end ---

void MainDialog::RunAbout()
{
    CAboutDlg about(m_ports.pages, m_api, m_ports.manifest);
    about.DoModal();
}

void MainDialog::OpenHelp()
{
    const std::string exe = m_ports.shell.ExecutablePath();
    const auto slash = exe.find_last_of('/');
    const std::string dir = slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
    m_ports.shell.OpenDocument(dir + std::string(kHelpFileName));
}

void MainDialog::EndProgram()
{
    if (m_ended)
        return;
    m_tray.Remove();
    m_ended = true;
    m_ports.pages.EndModal(0);
}

// --- timers ---

void MainDialog::OnTimer(int id)
{
    if (m_ended)
        return;
    switch (id) {
    case kTimerLinkStatus:
        Call(m_parts.RefreshLinkInfo);
        break;
    case kTimerSignal:
        Call(m_parts.RefreshSignal);
        break;
    case kTimerTrayIcon:
        UpdateTrayIcon();
        break;
    case kTimerAdapterRetry:
        Redetect();
        break;
    case kTimerExitWatch:
        ExitWatch();
        break;
    case kTimerThroughput:
        Call(m_parts.RefreshThroughput);
        break;
    case kTimerApStatus:
        Call(m_parts.RefreshApStatus);
        break;
    default:
        break;
    }
}

void MainDialog::ExitWatch()
{
    if (ExitRequested()) {
        EndProgram();
        return;
    }
    if (m_api.QueryWL_Channel() != -1)
        return;

    // The adapter is gone: out of the tray and out of sight until it returns.
    m_tray.Remove();
    m_windowShown = false;
    m_ports.pages.ShowWindow(false);
    Timers& timers = m_ports.timers;
    timers.KillTimer(kTimerLinkStatus);
    timers.KillTimer(kTimerSignal);
    timers.KillTimer(kTimerTrayIcon);
    timers.KillTimer(kTimerThroughput);
    m_api.Close();
    timers.KillTimer(kTimerExitWatch);
    timers.SetTimer(kTimerAdapterRetry, 5000);
}

void MainDialog::Redetect()
{
    if (ExitRequested()) {
        EndProgram();
        return;
    }
    if (m_discovery.ScanAdapters() <= 0 || m_discovery.SelectedAdapterIndex() < 0)
        return;
    m_api.Open(
        m_discovery.Adapters()[static_cast<std::size_t>(m_discovery.SelectedAdapterIndex())]);
    if (!m_api.IsOpen())
        return;

    LoadOrSeedStore();
    CreateTray();
    if (StationModeStored()) {
        m_applier.ApplyDefaultProfile();
        m_ports.timers.SetTimer(kTimerTrayIcon, 1000);
    } else {
        EnterApModeOnAdapter();
        SetApIcon();
    }

    Timers& timers = m_ports.timers;
    timers.KillTimer(kTimerAdapterRetry);
    timers.SetTimer(kTimerLinkStatus, 1500);
    timers.SetTimer(kTimerSignal, 1000);
    Call(m_parts.StartMonitor);
    timers.SetTimer(kTimerThroughput, 300);
    timers.SetTimer(kTimerExitWatch, 2000);
    KeepReachable();
}

// --- events ---

void MainDialog::OnElementEvent(int pageId, std::string_view elementId, ElementEvent event,
                                const PageValues& values)
{
    // An event of a page already replaced describes elements that are gone.
    if (m_ended || pageId != m_page.pageId())
        return;
    m_page.Update(values);
    if (const ElementHandler* handler = m_pageMap.Find(pageId, elementId, event))
        (*handler)();
}

void MainDialog::OnWindowEvent(WindowEvent event)
{
    if (m_ended)
        return;
    switch (event) {
    case WindowEvent::Close:
    case WindowEvent::Escape:
        OnClose();
        break;
    case WindowEvent::Minimise:
        OnMinimise();
        break;
    case WindowEvent::Enter:
        break;
    }
}

void MainDialog::OnTrayNotify(std::uint32_t callbackMessage, int iconId, TrayMouse mouse)
{
    if (m_ended || callbackMessage != kTrayNotifyMessage || iconId != kTrayIconId)
        return;
    switch (mouse) {
    case TrayMouse::LeftDoubleClick:
        Restore();
        break;
    case TrayMouse::RightButtonUp:
        ShowTrayMenu();
        break;
    case TrayMouse::Move:
    case TrayMouse::LeftButtonDown:
    case TrayMouse::LeftButtonUp:
    case TrayMouse::RightButtonDown:
    case TrayMouse::RightDoubleClick:
    case TrayMouse::MiddleButtonDown:
    case TrayMouse::MiddleButtonUp:
        break;
    }
}

void MainDialog::OnCommand(int command)
{
    if (m_ended)
        return;
    switch (command) {
    case kCommandExit:
        EndProgram();
        break;
    case kCommandSiteSurvey:
        ShowSiteSurvey();
        break;
    case kCommandAbout:
        RunAbout();
        break;
    default:
        break;
    }
}

void MainDialog::OnListEvent(int controlId, ListEvent event, int index)
{
    if (m_ended)
        return;
    // The station list keeps the order its page fills it in and has no handlers.
    if (controlId != kSurveyListId)
        return;
    switch (event) {
    case ListEvent::Click:
        Call(m_parts.SurveyListClick);
        break;
    case ListEvent::DoubleClick:
        if (m_surveyListHoldsSurvey)
            Call(m_parts.ConnectSelected);
        break;
    case ListEvent::HeaderClick:
        if (m_parts.SurveyListHeaderClick)
            m_parts.SurveyListHeaderClick(index);
        break;
    }
}

} // namespace kesto
