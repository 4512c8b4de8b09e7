// UtilityRig: the real program for an end-to-end test. It prepares a scratch folder
// (QVWlan.INI as the working directory's, a copy of the default scenario the test may
// edit, an empty store file, a runtime directory of its own), starts kesto-utility there
// with the adapter's call log written to a file, and talks to the window process through
// the test driver. Reads of the store and the call log go to the same files the program
// uses.
#pragma once

#include "tests/support/DriverServer.h"
#include "tests/support/TempDir.h"

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kesto::test {

// Upper bounds of the waits; generous, as a page engine starting on a busy machine is
// slow. Nothing is asserted about how long anything takes.
inline constexpr int kStartTimeoutMs = 60000;
inline constexpr int kStepTimeoutMs = 30000;

class UtilityRig {
public:
    // offscreen: run on the offscreen platform (no notification area); otherwise on the
    // display of the environment, where a tray host runs.
    explicit UtilityRig(bool offscreen);
    ~UtilityRig();
    UtilityRig(const UtilityRig&) = delete;
    UtilityRig& operator=(const UtilityRig&) = delete;

    // A session bus of the rig's own (a dbus-daemon it starts and ends) for the program's
    // service and for kestoctl; call before Start. Without it the program finds no
    // session bus at all. False when the daemon does not come up.
    bool StartBus();
    const QString& busAddress() const { return m_busAddress; }
    struct Run {
        int exit = -1; // -1: it did not end in time
        std::string out;
        std::string err;
    };
    // kestoctl with args, on the rig's bus and store, input on its standard input. An
    // argument is handed over byte for byte, so a test can give one that is not UTF-8.
    Run Kestoctl(const std::vector<std::string>& args, const std::string& input = {});
    // Starts kestoctl and returns at once; Finish waits for it.
    QProcess* StartKestoctl(const std::vector<std::string>& args);
    static Run Finish(QProcess& process);

    // Changes the scenario copy before the start: edit receives its JSON object.
    void EditScenario(const std::function<void(QJsonObject&)>& edit);
    // Starts kesto-utility (with the arguments extra after its own); false when it ends at
    // once.
    bool Start(const QStringList& extra = {});
    bool TrayRunning() const;
    // Runs kesto-utility once more with the same store (or, with sameStore false, none
    // named) and arguments extra, without a display, and returns its exit code (-1 when
    // it does not end in time).
    int RunSecond(const QStringList& extra, bool sameStore = true);
    // Waits for the program to end by itself.
    bool WaitForEnd(int timeoutMs = kStepTimeoutMs);
    qint64 trayPid() const;
    // How the program ended: its exit code, or -1 when a signal ended it.
    int trayExit() const;

    DriverServer& driver() { return m_driver; }
    // The window's state (TestDriver::State); empty when no window answers.
    QJsonObject State();
    // Waits until the window's state satisfies test; last receives the last state seen.
    bool WaitForState(const std::function<bool(const QJsonObject&)>& test,
                      QJsonObject* last = nullptr, int timeoutMs = kStepTimeoutMs);
    // Waits for the main window to show page pageId, loaded and visible.
    bool WaitForMainPage(int pageId, QJsonObject* last = nullptr);

    // Real input through the driver. False when the element is not there.
    bool Click(const QString& id, const QString& surface = QStringLiteral("main"));
    bool Key(const QString& key, const QString& surface = QStringLiteral("main"));
    std::optional<QJsonValue> Value(const QString& id, const QString& surface);
    // Every element value of the page on surface, read at one moment; empty when no page
    // answers.
    QJsonObject Values(const QString& surface = QStringLiteral("main"));
    // Waits until the page's values satisfy test; last receives the last values seen.
    bool WaitForValues(const std::function<bool(const QJsonObject&)>& test,
                       QJsonObject* last = nullptr, const QString& surface = QStringLiteral("main"),
                       int timeoutMs = kStepTimeoutMs);

    // The message boxes so far, one text per line: the program runs unattended, each
    // box answered with OK as soon as it opens.
    std::vector<std::string> Messages() const;
    bool WaitForMessages(std::size_t count, int timeoutMs = kStepTimeoutMs);
    // The adapter calls so far, one per line ("SetWL_Channel(6) = 0").
    std::vector<std::string> Calls() const;
    // Waits until a call starting with prefix appears at or after index from; returns its
    // index.
    std::optional<std::size_t> WaitForCall(const std::string& prefix, std::size_t from = 0,
                                           int timeoutMs = kStepTimeoutMs);
    // A text value of the store ("" when absent), read from the store file itself.
    std::string StoredText(const std::string& key, const std::string& name) const;

    // The output the program wrote, for failure messages.
    QString Output();
    const TempDir& dir() const { return m_dir; }

private:
    bool m_offscreen;
    TempDir m_dir;
    QString m_registry;
    QString m_scenario;
    QString m_callLog;
    QString m_messageLog;
    DriverServer m_driver;
    QProcess m_tray;
    QString m_output;
    QProcess m_bus;
    QString m_busAddress;
    std::vector<std::unique_ptr<QProcess>> m_clients;
};

// A member of nested state objects: At(state, "main", "page").
QJsonValue At(const QJsonObject& object, const char* a, const char* b, const char* c = nullptr);

// The path of the product key in the store.
inline constexpr const char* kProductKeyPath =
    "Software\\Corvane Corporation\\Kesto USB Utility\\R-450\\1.00";

} // namespace kesto::test
