#include "windowlink/WindowProcess.h"

#include "wire/MessageCodec.h"

#include <QDebug>

#include <utility>

namespace kesto {

WindowProcess::WindowProcess(QString program, QStringList arguments,
                             QProcessEnvironment environment)
    : m_program(std::move(program)), m_arguments(std::move(arguments)),
      m_environment(std::move(environment))
{
    m_delivery.setSingleShot(true);
    QObject::connect(&m_delivery, &QTimer::timeout, [this] { Deliver(); });
}

WindowProcess::~WindowProcess()
{
    Stop();
}

bool WindowProcess::IsRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

qint64 WindowProcess::processId() const
{
    return IsRunning() ? m_process->processId() : 0;
}

void WindowProcess::Start()
{
    if (IsRunning())
        return;
    // The last one has ended; this may run inside its own finished signal, so it goes
    // when the event loop next runs.
    if (m_process) {
        m_process->disconnect();
        m_process.release()->deleteLater();
    }
    m_reader = LineReader();
    m_lostReported = false;
    // What the last process said is about a window that is gone.
    m_inbox.clear();
    m_lostPending = false;

    auto process = std::make_unique<QProcess>();
    QProcess* raw = process.get();
    process->setProgram(m_program);
    process->setArguments(m_arguments);
    process->setProcessEnvironment(m_environment);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(raw, &QProcess::readyReadStandardOutput, [this] { OnReadable(); });
    QObject::connect(raw, &QProcess::finished,
                     [this, raw](int, QProcess::ExitStatus) { OnEnded(raw); });
    QObject::connect(raw, &QProcess::errorOccurred, [this, raw](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            qWarning().noquote() << "cannot start the window process" << m_program << ":"
                                 << raw->errorString();
            OnEnded(raw);
        }
    });
    m_process = std::move(process);
    m_process->start(QIODevice::ReadWrite);
}

void WindowProcess::Send(const wire::Command& command)
{
    if (!IsRunning())
        return;
    m_process->write(wire::EncodeCommand(command));
    // Hand the bytes to the pipe now: the caller may block before the loop runs again.
    // A child that does not read for a while only costs this short wait.
    if (m_process->state() == QProcess::Running)
        m_process->waitForBytesWritten(100);
}

void WindowProcess::Stop()
{
    if (!m_process)
        return;
    std::unique_ptr<QProcess> process = std::move(m_process);
    process->disconnect();
    m_inbox.clear();
    m_lostPending = false;
    if (process->state() != QProcess::NotRunning) {
        process->write(wire::EncodeCommand({0, wire::QuitCommand{}}));
        process->closeWriteChannel();
        if (!process->waitForFinished(kStopGraceMs)) {
            process->kill();
            process->waitForFinished(kStopGraceMs);
        }
    }
}

void WindowProcess::OnReadable()
{
    if (!m_process)
        return;
    const QByteArray bytes = m_process->readAllStandardOutput();
    for (const QByteArray& line : m_reader.Append(bytes)) {
        const auto event = wire::DecodeEvent(line);
        if (!event) {
            qWarning().noquote() << "window process: ignoring an event:" << event.reason();
            continue;
        }
        m_inbox.push_back(*event);
    }
    if (!m_inbox.empty())
        m_delivery.start(0);
}

void WindowProcess::Deliver()
{
    // One message at a time: a handler may run a nested loop, stop the process or start
    // a new one, and whatever is left waits for the next round.
    if (!m_inbox.empty()) {
        const wire::Event message = std::move(m_inbox.front());
        m_inbox.pop_front();
        if (!m_inbox.empty() || m_lostPending)
            m_delivery.start(0);
        if (m_handlers.message)
            m_handlers.message(message);
        return;
    }
    if (m_lostPending) {
        m_lostPending = false;
        if (m_handlers.lost)
            m_handlers.lost();
    }
}

void WindowProcess::OnEnded(QProcess* process)
{
    if (process != m_process.get() || m_lostReported)
        return;
    m_lostReported = true;
    // Events it sent before it ended are still worth reading, and come first.
    if (process->bytesAvailable() > 0)
        OnReadable();
    m_lostPending = true;
    m_delivery.start(0);
}

} // namespace kesto
