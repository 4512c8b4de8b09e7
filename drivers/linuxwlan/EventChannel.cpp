// The attached socket of a daemon's events.
#include "drivers/linuxwlan/EventChannel.h"

#include "drivers/linuxwlan/ControlClient.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <string_view>

namespace kesto::linuxwlan {
namespace {

constexpr std::size_t kMaxDatagram = 4096; // the daemons' events are shorter

bool Send(int fd, std::string_view text)
{
    return ::send(fd, text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT) ==
           static_cast<ssize_t>(text.size());
}

} // namespace

bool EventChannel::Open(const std::string& socketPath,
                        std::chrono::steady_clock::time_point deadline, int cancelFd)
{
    if (m_socket.Connect(socketPath) != UnixSocket::Connected::Yes || !Send(fd(), "ATTACH")) {
        m_socket.Close();
        return false;
    }
    char buffer[kMaxDatagram];
    while (WaitReady(fd(), POLLIN, deadline, cancelFd) == WaitResult::Ready) {
        const ssize_t got = ::recv(fd(), buffer, sizeof buffer, 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got < 0)
            break;
        const std::string_view reply(buffer, static_cast<std::size_t>(got));
        if (reply.starts_with("OK"))
            return true;
        if (!IsEventMessage(reply))
            break;
    }
    m_socket.Close();
    return false;
}

void EventChannel::Close()
{
    if (open())
        Send(fd(), "DETACH");
    m_socket.Close();
}

std::vector<std::string> EventChannel::Take()
{
    std::vector<std::string> events;
    if (!open())
        return events;
    char buffer[kMaxDatagram];
    for (;;) {
        const ssize_t got = ::recv(fd(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return events;
        std::string_view text(buffer, static_cast<std::size_t>(got));
        if (!IsEventMessage(text))
            continue;
        const std::size_t end = text.find('>');
        if (end != std::string_view::npos)
            events.emplace_back(text.substr(end + 1));
    }
}

bool EventChannel::StillConnected()
{
    if (!open())
        return false;
    if (Send(fd(), "PING"))
        return true;
    return errno == EAGAIN || errno == EINTR;
}

} // namespace kesto::linuxwlan
