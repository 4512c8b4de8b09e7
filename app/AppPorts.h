// AppPorts: everything the application shell reaches the world through, handed from
// the program's entry (or a test) to UtilityApp and MainDialog.
#pragma once

#include "pages/PageMirror.h"
#include "platform/ChartHost.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ListControl.h"
#include "platform/OneShotTimers.h"
#include "platform/PageHost.h"
#include "platform/PassphraseLibrary.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/SingleInstance.h"
#include "platform/Timers.h"
#include "platform/TrayIcon.h"
#include "platform/WlanLibrary.h"

#include <filesystem>
#include <functional>

namespace kesto {

class UtilityCommands;

struct AppPorts {
    Registry& registry;
    WlanLibrary& wlan;
    Clock& clock;
    OneShotTimers& oneShots; // the steps that follow a pause (no handler waits)
    Dialogs& dialogs;
    PageHost& pages;
    ListControl& surveyList;  // control 1009
    ListControl& stationList; // control 1010
    Timers& timers;           // the main window's timers
    TrayIcon& tray;
    Shell& shell;
    SingleInstance& singleInstance;
    PassphraseLibrary& passphrases; // WEP keys from a pass phrase
    // The pages' elements; the generated manifest in the program.
    ManifestLookup manifest = PageElements;
    // Where QVWlan.INI is looked up; empty = the working directory.
    std::filesystem::path iniDirectory;
    // The chart window: the strip charts the window process draws over it, and the
    // timers of the modal dialog running above the main window (an id space of their
    // own). Without both, ButtonChart opens nothing.
    ChartHost* charts = nullptr;
    Timers* dialogTimers = nullptr;
    // The session service: offered the running utility's commands once the main window
    // exists, and nullptr before they go. Without it the utility offers nothing but its
    // window.
    std::function<void(UtilityCommands*)> offerCommands = {};
};

} // namespace kesto
