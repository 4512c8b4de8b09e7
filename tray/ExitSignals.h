// ExitSignals: SIGTERM, SIGINT and SIGHUP (a logout, "systemctl --user stop", kill, the
// terminal closing) end the program the ordered way, as the tray menu's "Beenden" does,
// so the adapter is given back (on Linux: our networks leave wpa_supplicant and the user's
// are enabled again). The handler itself only writes the signal's number into a pipe;
// the event loop reads it and runs the exit there, never inside the handler.
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace kesto {

class ExitSignals : public QObject {
public:
    // onSignal runs from the event loop, once per signal received, with its number.
    explicit ExitSignals(std::function<void(int)> onSignal);
    // The signals get their default action back.
    ~ExitSignals() override;
    ExitSignals(const ExitSignals&) = delete;
    ExitSignals& operator=(const ExitSignals&) = delete;

    // Ends the process as the signal's default action would, for a signal that arrives
    // while there is nothing to give back (before the window runs, or after it ended).
    static void EndByDefault(int signal);

private:
    void Read();

    std::function<void(int)> m_onSignal;
    int m_pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace kesto
