// WindowProcess: the WindowLink to a child process (kesto-window) over its standard
// input (commands) and standard output (events), one message per line (wire/MessageCodec). The
// child's standard error passes through to ours.
//
// Events and the loss of the process reach the handlers only from the event loop, never
// from inside Send: handing a command over may read the child's output on the way, and
// the core must not receive an event in the middle of its own call.
#pragma once

#include "windowlink/WindowLink.h"
#include "wire/LineReader.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <memory>

namespace kesto {

class WindowProcess final : public WindowLink {
public:
    WindowProcess(QString program, QStringList arguments,
                  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment());
    ~WindowProcess() override;
    WindowProcess(const WindowProcess&) = delete;
    WindowProcess& operator=(const WindowProcess&) = delete;

    void SetHandlers(Handlers handlers) override { m_handlers = std::move(handlers); }
    bool IsRunning() const override;
    void Start() override;
    void Send(const wire::Command& command) override;
    void Stop() override;

    // The running child's process id; 0 when none runs.
    qint64 processId() const;
    // How long Stop waits for the child to end on its own before it is killed.
    static constexpr int kStopGraceMs = 2000;

private:
    void OnReadable();
    void OnEnded(QProcess* process);
    void Deliver();

    QString m_program;
    QStringList m_arguments;
    QProcessEnvironment m_environment;
    Handlers m_handlers;
    std::unique_ptr<QProcess> m_process;
    LineReader m_reader;
    bool m_lostReported = false;
    std::deque<wire::Event> m_inbox;
    bool m_lostPending = false;
    QTimer m_delivery;
};

} // namespace kesto
