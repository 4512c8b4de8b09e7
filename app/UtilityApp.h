// UtilityApp: the process's start and end. It reads the command line, writes an exit
// request for a running instance, refuses a second instance, and otherwise runs the
// main window until the program ends.
#pragma once

#include "app/AppPorts.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"

#include <span>
#include <string>
#include <string_view>

namespace kesto {

inline constexpr std::string_view kAlreadyRunningMessage =
    "Kesto WLAN Utility is already running!!";

// Shown once at start when the store cannot be written.
inline constexpr std::string_view kReadOnlyStoreMessage =
    "The settings store cannot be written. Kesto WLAN Utility runs, but changes made now "
    "will not be kept.";

class UtilityApp {
public:
    explicit UtilityApp(const AppPorts& ports);

    // The base name of the executable file without its extension: the name of the
    // single-instance guard and the caption of message boxes.
    const std::string& ApplicationName() const { return m_appName; }
    // args: the arguments after the program name. Returns when the process should end;
    // always false, as there is nothing left to run.
    bool InitInstance(std::span<const std::string> args);

    // The application name of an executable path ("/opt/kesto/kesto-utility.bin" gives
    // "kesto-utility"); "kesto-utility" when the path names no file.
    static std::string ApplicationNameOf(std::string_view executablePath);

    // After an exit request: the store refused to take it (the running instance, if
    // any, was not asked to end).
    bool exitRequestFailed() const { return m_exitRequestFailed; }

    ProfileStore& store() { return m_store; }
    WorkingRecords& work() { return m_work; }

private:
    AppPorts m_ports;
    ProfileStore m_store;
    WorkingRecords m_work;
    std::string m_appName;
    bool m_exitRequestFailed = false;
};

} // namespace kesto
