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

} // namespace

MainDialog::MainDialog(const AppPorts& ports, ProfileStore& store, WorkingRecords& work,
                       std::string appName)
    : m_ports(ports), m_store(store), m_work(work), m_appName(std::move(appName)),
      m_api(ports.wlan), m_discovery(m_api, store, ports.dialogs, m_appName),
      m_profileList(store, work, ports.dialogs, m_appName),
      m_applier(m_api, store, work, m_discovery),
      m_adapterStart(m_api, m_discovery, store, m_profileList, work),
      m_icon(ports.pages, ports.tray, m_api),
      m_page(ports.pages, HtmlSurface::MainWindow, ports.manifest), m_monitorTimers(ports.timers),
      m_lists(ports.surveyList, ports.stationList,
              [this](int controlId, ListEvent event, int index) {
                  OnListEvent(controlId, event, index);
              }),
      m_modes(
          ports.oneShots, *this, m_router, m_icon, m_lists, m_api, m_discovery, store, m_applier,
          m_apSettings, m_filterList,
          {.visible = [this] { return m_windowVisible; },
           .restore = [this] { Restore(); },
           .showSiteSurvey = [this] { ShowSiteSurvey(); },
           .tellApplyFault =
               [this](ApplyFault fault) { ReportApplyFault(m_ports.dialogs, m_appName, fault); }}),
      m_watch(m_adapterStart, m_modes, m_icon, m_router, ports.timers, m_monitorTimers,
              {.endProgram = [this] { EndProgram(); },
               .hide =
                   [this] {
                       m_windowShown = false;
                       SetWindowVisible(false);
                   },
               .restore = [this] { Restore(); }}),
      m_controllers(*this, ports, m_api, m_discovery, store, work, m_profileList, m_applier,
                    m_apSettings, m_filterList, m_appName),
      m_router(m_controllers.Routes())
{
    BuildPageMap();
    m_ports.pages.SetListener(this);
    m_ports.timers.SetSink(this);
    m_ports.tray.SetSink(this);
}

MainDialog::~MainDialog()
{
    // The window's timers end with the window.
    for (int id = kTimerLinkStatus; id <= kTimerApStatus; ++id)
        m_ports.timers.KillTimer(id);
    m_ports.pages.SetListener(nullptr);
    m_ports.timers.SetSink(nullptr);
    m_ports.tray.SetSink(nullptr);
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
    m_icon.ShowProgramIcon();
    const int height = m_api.QV_GetOSVersion() >= 7 ? kWindowHeightNewerSystem : kWindowHeight;
    m_ports.pages.SetWindowSize(kWindowWidth, height);
    m_lists.setSurveyHoldsSurvey(false);
    // The window starts minimised, which hides it into the tray.
    OnMinimise();

    if (m_ports.iniDirectory.empty())
        m_discovery.LoadAdapterIni();
    else
        m_discovery.LoadAdapterIni(m_ports.iniDirectory);
    m_discovery.ScanAdapters();
    m_watch.Start();
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
    m_lists.PrepareFirstShow();
    if (StationModeStored())
        m_router.Broadcast(restorePath ? ShellStep::FirstShowFromRestore
                                       : ShellStep::FirstShowFromMenu);
    else
        m_icon.ShowApMode();
    m_firstShowPending = false;
}

void MainDialog::Restore()
{
    if (m_modes.Defer(ModeSwitch::Request::Restore))
        return;
    FirstShow(true);
    m_ports.pages.BringToForeground();
    m_windowShown = true;
    if (StationModeStored()) {
        m_monitorTimers.Start();
        m_router.Broadcast(ShellStep::RestoredInStationMode);
    } else {
        m_modes.MarkApModeActive();
        m_router.Broadcast(ShellStep::RestoredInApMode);
    }
    ShowWindowIfShown();
}

void MainDialog::ShowTrayMenu()
{
    FirstShow(false);
    m_ports.pages.BringToForeground();
    const int command = m_icon.tray().TrackMenu(StationModeStored());
    OnCommand(command);
}

void MainDialog::ShowSiteSurvey()
{
    if (m_modes.Defer(ModeSwitch::Request::SiteSurvey))
        return;
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
    m_modes.DropRequests();
    m_monitorTimers.Stop();
    SetWindowVisible(false);
}

void MainDialog::OnMinimise()
{
    m_router.Broadcast(ShellStep::WindowHidden);
    m_modes.DropRequests();
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
    m_lists.Hide();
    controller->ShowTab();
}

void MainDialog::SwitchToStation()
{
    m_modes.ToStation();
}

void MainDialog::SwitchToAp()
{
    m_modes.ToAp();
}

Refused MainDialog::SwitchMode(bool toAp, std::function<void(bool)> done)
{
    if (m_ended) {
        done(false);
        return std::nullopt;
    }
    return m_modes.SwitchTo(toAp, std::move(done));
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
    m_modes.Cancel();
    m_router.Broadcast(ShellStep::DropPendingSteps);
    m_icon.RemoveTray();
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
    if (m_modes.pending() && id != kTimerExitWatch)
        return;
    switch (id) {
    case kTimerTrayIcon:
        m_icon.ShowLinkStatus();
        return;
    case kTimerAdapterRetry:
        m_watch.OnRetry();
        return;
    case kTimerExitWatch:
        m_watch.OnExitWatch();
        return;
    default:
        break;
    }
    if (PageController* controller = m_router.ForTimer(id))
        controller->OnTimer(id);
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
    if (m_modes.pending())
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
    if (m_ended || m_modes.pending())
        return;
    if (PageController* controller = m_router.ForPage(m_page.pageId()))
        controller->OnListEvent(controlId, event, index);
}

} // namespace kesto
