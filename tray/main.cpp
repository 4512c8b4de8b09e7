// kesto-utility: the tray process. It puts the core together with the Qt ports, the
// SQLite store and the adapter library (the simulated adapter, or the Linux library on
// a real interface), and runs the application object. It links Qt
// Widgets and not Qt WebEngine: the window with its pages is a separate process
// (kesto-window) that the page host starts when the window is first shown.
#include "app/UtilityApp.h"
#include "app/UtilityCommandLine.h"
#include "app/UtilityCommands.h"
#include "bus/UtilityService.h"
#include "drivers/linuxwlan/AdapterLibrarySetting.h"
#include "drivers/linuxwlan/LinuxWlanLibrary.h"
#include "drivers/passapp/PassphraseKeyLibrary.h"
#include "drivers/qvwlan/SimulatedWlanLibrary.h"
#include "platform/ListControlIds.h"
#include "posix/FlockSingleInstance.h"
#include "qt/EventGate.h"
#include "qt/QtClock.h"
#include "qt/QtDialogs.h"
#include "qt/QtOneShotTimers.h"
#include "qt/QtShell.h"
#include "qt/QtTimers.h"
#include "qt/QtTrayIcon.h"
#include "qt/ResourceFiles.h"
#include "registry/SqliteRegistry.h"
#include "tray/CallLogFile.h"
#include "tray/EventLoopProbe.h"
#include "tray/ExitSignals.h"
#include "tray/MessageLogDialogs.h"
#include "tray/TrayOptions.h"
#include "windowlink/WindowChartHost.h"
#include "windowlink/WindowListControl.h"
#include "windowlink/WindowPageHost.h"
#include "windowlink/WindowProcess.h"
#include "wire/WindowMessages.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace kesto;

bool HasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    return false;
}

int Fail(const std::string& message)
{
    std::cerr << "kesto-utility: " << message << "\n";
    return 1;
}

// Everything the program runs on, built once the application object exists.
int RunUtility(const TrayOptions& options)
{
    // First, so the signals are handled until everything below has been taken down (the
    // adapter library last gives back what it took).
    UtilityCommands* running = nullptr;
    bool ran = false;
    std::optional<ExitSignals> exitSignals;

    const QString resourceDir = FindResourceDir();
    if (resourceDir.isEmpty())
        return Fail("cannot find the resources folder (set KESTO_RESOURCES_DIR)");

    std::unique_ptr<SqliteRegistry> registry;
    std::vector<std::string> notices;
    try {
        registry = std::make_unique<SqliteRegistry>(
            options.registryFile.empty() ? DefaultRegistryPath(&notices) : options.registryFile);
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
    // Said once: the modes are tight from now on.
    notices.insert(notices.end(), registry->notices().begin(), registry->notices().end());
    for (const std::string& notice : notices)
        std::cerr << "kesto-utility: " << notice << "\n";

    UtilityCommandLine commandLine;
    commandLine.Parse(options.appArguments);
    if (registry->readOnly() && !commandLine.ExitRequest)
        std::cerr << "kesto-utility: " << registry->path()
                  << " cannot be written: changes made now will not be kept\n";

    QtClock clock;
    // The simulator's own options ask for it; an interface asks for the Linux library.
    std::optional<linuxwlan::AdapterLibraryKind> library =
        linuxwlan::AdapterLibraryFromName(options.adapterLibrary);
    if (!library && (!options.scenarioFile.empty() || !options.callLogFile.empty()))
        library = linuxwlan::AdapterLibraryKind::Simulator;
    const linuxwlan::AdapterLibraryChoice choice =
        linuxwlan::ResolveAdapterLibraryChoice(library, options.interfaceName, *registry);

    std::unique_ptr<WlanLibrary> wlan;
    SimulatedWlanLibrary* simulator = nullptr;
    switch (choice.kind) {
    case linuxwlan::AdapterLibraryKind::Simulator: {
        const std::string scenario = options.scenarioFile.empty()
                                         ? wire::ToUtf8(DefaultScenarioFile(resourceDir))
                                         : options.scenarioFile;
        try {
            auto sim = std::make_unique<SimulatedWlanLibrary>(scenario, *registry, clock);
            simulator = sim.get();
            wlan = std::move(sim);
        } catch (const std::exception& error) {
            return Fail(error.what());
        }
        break;
    }
    case linuxwlan::AdapterLibraryKind::Linux: {
        linuxwlan::LinuxWlanConfig config;
        config.interfaceName = choice.interfaceName;
        wlan = std::make_unique<linuxwlan::LinuxWlanLibrary>(config, *registry);
        break;
    }
    }
    CallLogFile callLog;
    if (!options.callLogFile.empty() && simulator) {
        if (!callLog.Open(options.callLogFile))
            return Fail(options.callLogFile + ": " + std::strerror(errno));
        simulator->setCallObserver([&callLog](const qvwlan::Call& call) { callLog.Write(call); });
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KESTO_RESOURCES_DIR"), resourceDir);
    if (!options.screenshotDir.empty()) {
        environment.insert(QStringLiteral("KESTO_SCREENSHOTS"),
                           QDir(wire::FromUtf8(options.screenshotDir)).absolutePath());
    }
    const QString windowProgram = options.windowProgram.empty()
                                      ? WindowProgramFile(QCoreApplication::applicationDirPath())
                                      : wire::FromUtf8(options.windowProgram);
    WindowProcess window(windowProgram, {}, environment);

    EventGate gate;
    WindowPageHost pages(window, gate);
    bool lingerSet = false;
    const int lingerMs = qEnvironmentVariableIntValue("KESTO_WINDOW_LINGER_MS", &lingerSet);
    if (lingerSet)
        pages.SetLingerMs(lingerMs);
    bool steadySet = false;
    const int steadyMs = qEnvironmentVariableIntValue("KESTO_WINDOW_STEADY_MS", &steadySet);
    if (steadySet)
        pages.SetSteadyMs(steadyMs);
    WindowListControl surveyList(pages, kSurveyListControl);
    WindowListControl stationList(pages, kStationListControl);
    QtDialogs dialogs([&pages](bool waiting) { pages.SetWaitCursor(waiting); },
                      [&pages](bool open) { pages.SetBlocked(open); });
    MessageLogDialogs messageLog(dialogs);
    if (!options.messageLogFile.empty() && !messageLog.Open(options.messageLogFile))
        return Fail(options.messageLogFile + ": " + std::strerror(errno));
    Dialogs& userDialogs =
        options.messageLogFile.empty() ? static_cast<Dialogs&>(dialogs) : messageLog;
    QtTimers timers(gate);
    QtTimers dialogTimers(gate); // the modal dialog's own timer ids
    QtOneShotTimers oneShots(gate);
    WindowChartHost charts(pages);
    QtTrayIcon tray(resourceDir, gate);
    QtShell shell(HelpDir(resourceDir));
    FlockSingleInstance singleInstance;
    // An exit request started elsewhere finds this instance's store by this note.
    singleInstance.SetHolderNote(std::filesystem::absolute(registry->path()).string());
    PassphraseKeyLibrary passphrases;

    // A double click on the icon shows the window. Its first press already arrives as a
    // left click (which shows nothing): the window's process starts then, so the engine
    // comes up during the double click rather than after it. A click alone leaves the
    // process to its linger time, as a hidden window's.
    tray.SetActivationObserver([&pages](TrayMouse mouse) {
        if (mouse == TrayMouse::LeftButtonUp || mouse == TrayMouse::LeftDoubleClick)
            pages.Prestart();
    });
    if (!QtTrayIcon::Available()) {
        // No notification area: the window is shown at start and minimises instead of
        // hiding, and bringing it back from the taskbar counts as the icon's double click.
        pages.SetHideMeansMinimise(true);
        pages.SetRestoreHandler([&tray] { tray.Activate(TrayMouse::LeftDoubleClick); });
    }
    if (!options.screenshotDir.empty()) {
        // The pictures need the window: restore it as the icon's double click would.
        QTimer::singleShot(1500, [&tray] {
            if (tray.HasIcon())
                tray.Activate(TrayMouse::LeftDoubleClick);
        });
    }

    // The session service comes up with the main window: a start that only asks the
    // running program to end, or one refused as a second instance, never takes its name.
    std::unique_ptr<UtilityService> service;
    const auto offerCommands = [&service, &gate, &running, &ran](UtilityCommands* commands) {
        running = commands;
        ran = ran || commands;
        if (commands && !service)
            service = std::make_unique<UtilityService>(gate, QDBusConnection::sessionBus());
        if (service)
            service->Attach(commands);
    };
    // A signal to end takes the exit of the tray menu's "Beenden" while the window runs.
    // Before it ran, nothing was taken from the adapter: the signal ends the process as
    // it always did. After, the end is under way and runs to its close.
    if (!commandLine.ExitRequest)
        exitSignals.emplace([&running, &ran](int signal) {
            if (running) {
                running->EndProgram();
                // A message box (OK only) would hold the end until someone answers, which
                // at a logout nobody does: it is closed as OK would close it.
                for (int i = 0; i < 8 && QApplication::activeModalWidget(); ++i)
                    QApplication::activeModalWidget()->close();
            } else if (!ran) {
                ExitSignals::EndByDefault(signal);
            }
        });

    const AppPorts ports{.registry = *registry,
                         .wlan = *wlan,
                         .clock = clock,
                         .oneShots = oneShots,
                         .dialogs = userDialogs,
                         .pages = pages,
                         .surveyList = surveyList,
                         .stationList = stationList,
                         .timers = timers,
                         .tray = tray,
                         .shell = shell,
                         .singleInstance = singleInstance,
                         .passphrases = passphrases,
                         .manifest = PageElements,
                         .iniDirectory = {},
                         .charts = &charts,
                         .dialogTimers = &dialogTimers,
                         .offerCommands = offerCommands};
    // The stall benchmark's probe; nothing runs without the variable, nor in a start that
    // only asks the running program to end.
    EventLoopProbe probe(commandLine.ExitRequest ? QString()
                                                 : qEnvironmentVariable("KESTO_STALL_PROBE"));
    UtilityApp app(ports);
    app.InitInstance(options.appArguments);
    pages.Shutdown();
    if (app.exitRequestFailed()) {
        const std::string reason = registry->lastError();
        return Fail("the exit request could not be written to " + registry->path() +
                    (reason.empty() ? std::string() : " (" + reason + ")"));
    }
    return 0;
}

// An exit request goes to the instance that runs, through the store that instance named
// in its guard unless --registry names one. When none runs it says so and writes nothing,
// so it creates no store either.
int RequestExit(TrayOptions options)
{
    const auto holder = FlockSingleInstance::HolderOf(
        UtilityApp::ApplicationNameOf(wire::ToUtf8(QCoreApplication::applicationFilePath())));
    if (!holder)
        return Fail("no running instance to end");
    if (options.registryFile.empty())
        options.registryFile = holder->note;
    return RunUtility(options);
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const TrayOptionsResult parsed = ParseTrayOptions(args);
    if (!parsed.error.empty()) {
        std::cerr << "kesto-utility: " << parsed.error << "\n" << kTrayUsage;
        return 2;
    }
    const TrayOptions& options = parsed.options;
    if (options.help) {
        std::cout << kTrayUsage;
        return 0;
    }
    if (options.version) {
        std::cout << "kesto-utility " << KESTO_VERSION << "\n";
        return 0;
    }

    UtilityCommandLine commandLine;
    commandLine.Parse(options.appArguments);
    if (commandLine.ExitRequest) {
        // Only writes the request into the store: no display needed.
        QCoreApplication app(argc, argv);
        return RequestExit(options);
    }
    if (!HasDisplay())
        return Fail("no display: set DISPLAY (or run under xvfb-run)");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RunUtility(options);
}
