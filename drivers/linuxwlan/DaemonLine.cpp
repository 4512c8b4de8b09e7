// Requests to one daemon and what its silence does to them.
#include "drivers/linuxwlan/DaemonLine.h"

#include <algorithm>

namespace kesto::linuxwlan {

DaemonLine::DaemonLine(std::string name, std::string socketPath, std::chrono::milliseconds timeout,
                       int cancelFd, Log log)
    : m_name(std::move(name)), m_path(std::move(socketPath)), m_timeout(timeout),
      m_client(timeout, cancelFd), m_finishing(timeout), m_log(std::move(log))
{
}

ControlReply DaemonLine::Request(std::string_view command)
{
    return Request(command, m_timeout);
}

ControlReply DaemonLine::Request(std::string_view command, std::chrono::milliseconds timeout)
{
    if (!m_answering) {
        ControlReply silent;
        silent.error = ControlError::Timeout;
        return silent;
    }
    ControlReply reply = Send(command, timeout);
    if (reply.error == ControlError::Untrusted)
        m_log(m_name + ": " + m_path +
              " is owned by neither root nor its folder's owner: not used");
    if (reply.error == ControlError::Timeout || reply.error == ControlError::NoSocket ||
        reply.error == ControlError::Untrusted)
        Mark(false);
    return reply;
}

bool DaemonLine::Ok(std::string_view command)
{
    const ControlReply reply = Request(command);
    return reply.ok() && reply.text.starts_with("OK");
}

bool DaemonLine::Ok(std::string_view command, std::chrono::milliseconds timeout)
{
    const ControlReply reply = Request(command, timeout);
    return reply.ok() && reply.text.starts_with("OK");
}

ControlReply DaemonLine::Send(std::string_view command, std::chrono::milliseconds timeout) const
{
    auto deadline = ControlClient::Clock::now() + timeout;
    if (m_finishBy)
        deadline = std::min(deadline, *m_finishBy);
    return (m_finishBy ? m_finishing : m_client).Request(m_path, command, deadline);
}

void DaemonLine::Finish(ControlClient::Clock::time_point deadline)
{
    m_finishBy = deadline;
}

bool DaemonLine::Probe()
{
    if (m_answering)
        return true;
    const ControlReply reply = Send("PING", m_timeout);
    if (reply.ok() || reply.error == ControlError::Refused)
        Mark(true);
    return m_answering;
}

void DaemonLine::Mark(bool answering)
{
    if (answering == m_answering)
        return;
    m_answering = answering;
    m_log(m_name + (answering ? " answers again" : " answers no more"));
}

} // namespace kesto::linuxwlan
