#include "app/MainDialog.h"

#include "app/AboutDialog.h"

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

} // namespace

void MainDialog::ListSink::OnListEvent(ListEvent event, int index)
{
    m_owner.OnListEvent(m_controlId, event, index);
}

MainDialog::MainDialog(const AppPorts& ports, ProfileStore& store, WorkingRecords& work,
                       std::string appName)
    : m_ports(ports), m_modeStep(ports.oneShots), m_store(store), m_work(work),
      m_appName(std::move(appName)), m_api(ports.wlan),
      m_discovery(m_api, store, ports.dialogs, m_appName),
      m_profileList(store, work, ports.dialogs, m_appName),
      m_applier(m_api, store, work, m_discovery),
      m_adapterStart(m_api, m_discovery, store, m_profileList, work), m_tray(ports.tray),
      m_page(ports.pages, HtmlSurface::MainWindow, ports.manifest), m_monitorTimers(ports.timers),
      m_surveySink(*this, kSurveyListControl), m_stationSink(*this, kStationListControl),
      m_controllers(*this, ports, m_api, m_discovery, store, work, m_profileList, m_applier,
                    m_apSettings, m_filterList, m_appName),
      m_router(m_controllers.Routes())
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
    m_router.BindAll(m_pageMap);
}

int MainDialog::DoModal()
{
    OnInitDialog();
    return m_ports.pages.RunModal();
}

bool MainDialog::StationModeStored()
{
    return m_adapterStart.StationModeStored();
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
    if (!m_adapterStart.OpenMatched()) {
        m_ports.timers.SetTimer(kTimerAdapterRetry, 2000);
        return;
    }
    m_adapterStart.WriteDriverDefaults();
    m_adapterStart.LoadOrSeedStore();
    m_apModeBeforeStep = m_apModeActive;
    m_modeStep.Start(200, [this] {
        CreateTray();
        StartInStoredMode([this] {
            m_ports.timers.SetTimer(kTimerExitWatch, 2000);
            KeepReachable();
            RunDeferredRequests();
        });
    });
}

void MainDialog::CreateTray()
{
    m_windowIcon = kCreateIcon;
    m_ports.pages.SetWindowIcon(kCreateIcon);
    m_tray.Create(kTrayNotifyMessage, kTrayTooltip, kCreateIcon, kTrayIconId);
}

void MainDialog::StartInStoredMode(std::function<void()> then)
{
    if (StationModeStored()) {
        m_applier.ApplyDefaultProfile();
        m_ports.timers.SetTimer(kTimerTrayIcon, 1000);
        then();
        return;
    }
    EnterApModeOnAdapter([this, then = std::move(then)] {
        SetApIcon();
        then();
    });
}

void MainDialog::EnterApModeOnAdapter(std::function<void()> then)
{
    m_apSettings = m_store.ReadApSettings();
    m_filterList = m_store.ReadFilterList();
    m_api.SetWL_OperationMode_STA_AP(1);
    m_modeStep.Start(1000, [this, then = std::move(then)] {
        m_router.Broadcast(ShellStep::ApStartingOnAdapter);
        then();
    });
}

// The adapter was lost, or the program ends, while it settled into a mode: the rest of
// the switch is not done, and the window's mode stays the one stored.
void MainDialog::CancelModeStep()
{
    if (!m_modeStep.pending())
        return;
    m_modeStep.Cancel();
    m_apModeActive = m_apModeBeforeStep;
    m_restoreAfterStep = false;
    m_surveyAfterStep = false;
    for (const auto& done : std::exchange(m_modeStepDone, {}))
        done(false);
}

// A restore or the tray's site survey asked for while the adapter settled, in the mode
// that is now in (the site survey only in station mode, where the menu offers it).
void MainDialog::RunDeferredRequests()
{
    for (const auto& done : std::exchange(m_modeStepDone, {}))
        done(true);
    if (std::exchange(m_restoreAfterStep, false))
        Restore();
    if (std::exchange(m_surveyAfterStep, false) && StationModeStored())
        ShowSiteSurvey();
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
    const int icon = TrayIconLogic::IconFor(TrayState::ApMode, m_api.QV_GetOSVersion());
    m_windowIcon = icon;
    m_ports.pages.SetWindowIcon(icon);
    m_tray.SetIcon(icon);
}

void MainDialog::UpdateTrayIcon()
{
    const auto state = TrayIconLogic::StateForLinkStatus(m_api.QueryWL_LinkStatus());
    if (!state)
        return;
    const int icon = TrayIconLogic::IconFor(*state, m_api.QV_GetOSVersion());
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
    m_router.Broadcast(ShellStep::PageShown);
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

// While WindowShown is false every request to show the window is dropped, so only the
// restore and the site-survey command (which set it first) make the window visible.
void MainDialog::ShowWindowIfShown()
{
    if (m_windowShown)
        SetWindowVisible(true);
}

void MainDialog::SetWindowVisible(bool visible)
{
    m_windowVisible = visible;
    m_ports.pages.ShowWindow(visible);
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
    if (StationModeStored())
        m_router.Broadcast(restorePath ? ShellStep::FirstShowFromRestore
                                       : ShellStep::FirstShowFromMenu);
    else
        SetApIcon();
    m_firstShowPending = false;
}

void MainDialog::Restore()
{
    if (m_modeStep.pending()) {
        m_restoreAfterStep = true;
        return;
    }
    FirstShow(true);
    m_ports.pages.BringToForeground();
    m_windowShown = true;
    if (StationModeStored()) {
        m_monitorTimers.Start();
        m_router.Broadcast(ShellStep::RestoredInStationMode);
    } else {
        m_apModeActive = true;
        m_router.Broadcast(ShellStep::RestoredInApMode);
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
    if (m_modeStep.pending()) {
        m_surveyAfterStep = true;
        return;
    }
    m_router.Broadcast(ShellStep::SiteSurveyCommand);
    m_ports.pages.BringToForeground();
    m_windowShown = true;
    m_monitorTimers.Start();
    ShowWindowIfShown();
}

// Hiding drops what waits for the window (a scan, a refresh) and the tray's requests
// waiting for a mode switch; the switch itself, which concerns the adapter, goes on.
void MainDialog::OnClose()
{
    m_router.Broadcast(ShellStep::WindowHidden);
    m_restoreAfterStep = false;
    m_surveyAfterStep = false;
    m_monitorTimers.Stop();
    SetWindowVisible(false);
}

void MainDialog::OnMinimise()
{
    m_router.Broadcast(ShellStep::WindowHidden);
    m_restoreAfterStep = false;
    m_surveyAfterStep = false;
    m_monitorTimers.Stop();
    m_windowShown = false;
    SetWindowVisible(false);
}

// --- tabs and modes ---

void MainDialog::SwitchTab(int tab)
{
    PageController* controller = m_router.ForTab(tab);
    if (!controller)
        return;
    HideLists();
    controller->ShowTab();
}

void MainDialog::SwitchToStation()
{
    if (!m_apModeActive)
        return;
    m_router.Broadcast(ShellStep::DropPendingSteps);
    HideLists();
    m_apModeBeforeStep = m_apModeActive;
    m_apModeActive = false;
    m_api.SetWL_OperationMode_STA_AP(0);
    m_modeStep.Start(200, [this] {
        m_applier.ApplyDefaultProfile();
        m_router.Broadcast(ShellStep::StationModeEntered);
        m_ports.timers.KillTimer(kTimerApStatus);
        // A window hidden while the adapter settled keeps its monitor stopped, as hiding
        // stops it.
        if (m_windowVisible)
            m_monitorTimers.Start();
        m_ports.timers.SetTimer(kTimerTrayIcon, 1000);
        ShowPage(kStatusPageId);
        RunDeferredRequests();
    });
}

void MainDialog::SwitchToAp()
{
    if (m_apModeActive)
        return;
    m_router.Broadcast(ShellStep::DropPendingSteps);
    PlaceStationList();
    HideLists();
    SetApIcon();
    m_apModeBeforeStep = m_apModeActive;
    m_apModeActive = true;
    m_monitorTimers.Stop();
    m_ports.timers.KillTimer(kTimerTrayIcon);
    EnterApModeOnAdapter([this] {
        m_router.Broadcast(ShellStep::ApModeEntered);
        m_ports.timers.SetTimer(kTimerApStatus, kApStatusPeriod);
        ShowPage(kApStatusPageId);
        RunDeferredRequests();
    });
}

void MainDialog::SwitchMode(bool toAp, std::function<void(bool)> done)
{
    // One switch at a time: the caller waits for the one under way to end.
    if (m_modeStep.pending() || m_ended) {
        done(false);
        return;
    }
    if (StationModeStored() != toAp) {
        done(true);
        return;
    }
    m_modeStepDone.push_back(std::move(done));
    // The radio image the user would click is the one of the mode the adapter is not in.
    m_apModeActive = !toAp;
    if (toAp)
        SwitchToAp();
    else
        SwitchToStation();
}

// --- about box, help, end ---

void MainDialog::RunAbout()
{
    AboutDialog about(m_ports.pages, m_api, m_ports.manifest);
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
    CancelModeStep();
    m_router.Broadcast(ShellStep::DropPendingSteps);
    m_tray.Remove();
    m_ended = true;
    m_ports.pages.EndModal(0);
}

// --- timers ---

void MainDialog::OnTimer(int id)
{
    if (m_ended)
        return;
    // While the adapter settles into a mode only the exit watch runs: the others would
    // act on a mode half entered, and the switch sets them anew when it is done.
    if (m_modeStep.pending() && id != kTimerExitWatch)
        return;
    switch (id) {
    case kTimerTrayIcon:
        UpdateTrayIcon();
        return;
    case kTimerAdapterRetry:
        Redetect();
        return;
    case kTimerExitWatch:
        ExitWatch();
        return;
    default:
        break;
    }
    if (PageController* controller = m_router.ForTimer(id))
        controller->OnTimer(id);
}

void MainDialog::ExitWatch()
{
    if (m_adapterStart.ExitRequested()) {
        EndProgram();
        return;
    }
    if (!m_adapterStart.AdapterLost())
        return;

    // The adapter is gone: out of the tray and out of sight until it returns, and what
    // waited on it is not done.
    CancelModeStep();
    m_router.Broadcast(ShellStep::DropPendingSteps);
    m_tray.Remove();
    m_windowShown = false;
    SetWindowVisible(false);
    m_monitorTimers.Stop();
    m_ports.timers.KillTimer(kTimerTrayIcon);
    // The access point's status would poll a closed context; a restore starts it again.
    m_ports.timers.KillTimer(kTimerApStatus);
    m_adapterStart.Release();
    m_ports.timers.KillTimer(kTimerExitWatch);
    m_ports.timers.SetTimer(kTimerAdapterRetry, 5000);
}

void MainDialog::Redetect()
{
    if (m_adapterStart.ExitRequested()) {
        EndProgram();
        return;
    }
    if (!m_adapterStart.Redetect())
        return;

    m_adapterStart.LoadOrSeedStore();
    CreateTray();
    m_apModeBeforeStep = m_apModeActive;
    StartInStoredMode([this] {
        m_ports.timers.KillTimer(kTimerAdapterRetry);
        m_router.Broadcast(ShellStep::AdapterReturned);
        m_monitorTimers.Start(1500);
        m_ports.timers.SetTimer(kTimerExitWatch, 2000);
        KeepReachable();
        RunDeferredRequests();
    });
}

// --- events ---

void MainDialog::OnElementEvent(int pageId, std::string_view elementId, ElementEvent event,
                                const PageValues& values)
{
    // An event of a page already replaced describes elements that are gone.
    if (m_ended || pageId != m_page.pageId())
        return;
    m_page.Update(values);
    // The page is about to be replaced by the mode being switched to.
    if (m_modeStep.pending())
        return;
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

// A list event goes to the controller of the page on show: the survey list holds the
// survey on page 237 and the profiles on page 238.
void MainDialog::OnListEvent(int controlId, ListEvent event, int index)
{
    if (m_ended || m_modeStep.pending())
        return;
    if (PageController* controller = m_router.ForPage(m_page.pageId()))
        controller->OnListEvent(controlId, event, index);
}

} // namespace kesto
