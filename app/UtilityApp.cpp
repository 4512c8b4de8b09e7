#include "app/UtilityApp.h"

#include "app/MainDialog.h"
#include "app/UtilityCommandLine.h"
#include "app/UtilityCommands.h"
#include "base/Text.h"

namespace kesto {

namespace {

const std::string kExitUtilityPath = std::string(kProductKey) + "Exit Utility";

} // namespace

UtilityApp::UtilityApp(const AppPorts& ports)
    : m_ports(ports), m_store(ports.registry),
      m_appName(ApplicationNameOf(ports.shell.ExecutablePath()))
{
}

std::string UtilityApp::ApplicationNameOf(std::string_view executablePath)
{
    const auto slash = executablePath.find_last_of('/');
    std::string_view name =
        slash == std::string_view::npos ? executablePath : executablePath.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return name.empty() ? std::string("kesto-utility") : std::string(name);
}

bool UtilityApp::InitInstance(std::span<const std::string> args)
{
    UtilityCommandLine commandLine;
    commandLine.Parse(args);
    if (commandLine.ExitRequest) {
        // Works whether or not an instance runs: the running one polls the value. A
        // request the store refused must not look as if it was made.
        const auto [key, name] = SplitHivePath(kExitUtilityPath);
        m_exitRequestFailed = !m_ports.registry.SetValue(key, name, RegValue::Text("1"));
        return false;
    }

    switch (m_ports.singleInstance.TryAcquire(m_appName)) {
    case GuardResult::AlreadyHeld:
        m_ports.dialogs.MessageBox(kAlreadyRunningMessage, m_appName);
        return false;
    case GuardResult::Acquired:
        // An exit request is meant for the instance that ran when it was written. Left
        // standing, it would end this one (and every later one) at its first exit watch.
        if (m_store.ReadText(kExitUtilityPath) == "1")
            m_store.WriteText(kExitUtilityPath, "0");
        break;
    case GuardResult::Failed:
        // Not a second instance: the guard only could not be set up.
        break;
    }

    if (m_ports.registry.IsReadOnly()) {
        // Said once, then the utility runs as ever: what it shows is still true, only
        // what the user changes is lost when it ends.
        m_ports.dialogs.MessageBox(kReadOnlyStoreMessage, m_appName);
    }

    MainDialog dialog(m_ports, m_store, m_work, m_appName);
    UtilityCommands commands(dialog);
    // Taken back however the run ends: nothing may call into a window that is gone.
    struct Offer {
        const std::function<void(UtilityCommands*)>& offer;
        ~Offer()
        {
            if (offer)
                offer(nullptr);
        }
    } offer{m_ports.offerCommands};
    if (m_ports.offerCommands)
        m_ports.offerCommands(&commands);
    dialog.DoModal();
    return false;
}

} // namespace kesto
