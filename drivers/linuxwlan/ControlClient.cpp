// The datagram exchange with a daemon's control socket.
#include "drivers/linuxwlan/ControlClient.h"

#include "drivers/linuxwlan/UnixSocket.h"

#include <poll.h>
#include <sys/socket.h>

#include <cctype>
#include <cerrno>
#include <vector>

namespace kesto::linuxwlan {

WaitResult WaitReady(int fd, short events, std::chrono::steady_clock::time_point deadline,
                     int cancelFd)
{
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return WaitResult::Timeout;
        pollfd wait[2] = {{fd, events, 0}, {cancelFd, POLLIN, 0}};
        const int ready = ::poll(wait, cancelFd >= 0 ? 2 : 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return WaitResult::Failed;
        if (cancelFd >= 0 && (wait[1].revents & POLLIN))
            return WaitResult::Cancelled;
        if (wait[0].revents != 0)
            return WaitResult::Ready;
    }
}

bool IsEventMessage(std::string_view text)
{
    return text.size() >= 2 && text[0] == '<' && std::isdigit(static_cast<unsigned char>(text[1]));
}

namespace {

ControlError ErrorOf(WaitResult wait)
{
    switch (wait) {
    case WaitResult::Ready:
        return ControlError::None;
    case WaitResult::Timeout:
        return ControlError::Timeout;
    case WaitResult::Cancelled:
        return ControlError::Cancelled;
    case WaitResult::Failed:
        return ControlError::System;
    }
    return ControlError::System;
}

ControlReply Failure(ControlError error)
{
    ControlReply reply;
    reply.error = error;
    return reply;
}

} // namespace

ControlReply ControlClient::Request(const std::string& socketPath, std::string_view command,
                                    Clock::time_point deadline) const
{
    UnixSocket socket;
    switch (socket.Connect(socketPath)) {
    case UnixSocket::Connected::Yes:
        break;
    case UnixSocket::Connected::NoPeer:
        return Failure(ControlError::NoSocket);
    case UnixSocket::Connected::Untrusted:
        return Failure(ControlError::Untrusted);
    case UnixSocket::Connected::Failed:
        return Failure(ControlError::System);
    }
    // The socket does not block: a daemon that stopped reading lets its queue fill, and
    // a send into a full queue waits here for room, not in the kernel for good.
    for (;;) {
        const ssize_t sent = ::send(socket.fd(), command.data(), command.size(), MSG_NOSIGNAL);
        if (sent == static_cast<ssize_t>(command.size()))
            break;
        if (sent >= 0)
            return Failure(ControlError::System);
        if (errno == EINTR)
            continue;
        if (errno == ECONNREFUSED || errno == ENOENT || errno == ENOTCONN)
            return Failure(ControlError::NoSocket);
        if (errno != EAGAIN)
            return Failure(ControlError::System);
        if (const WaitResult wait = WaitReady(socket.fd(), POLLOUT, deadline, m_cancelFd);
            wait != WaitResult::Ready)
            return Failure(ErrorOf(wait));
    }

    std::vector<char> buffer(kMaxReply + 1);
    for (;;) {
        if (const WaitResult wait = WaitReady(socket.fd(), POLLIN, deadline, m_cancelFd);
            wait != WaitResult::Ready)
            return Failure(ErrorOf(wait));
        // MSG_TRUNC makes recv report the datagram's real length even when it is longer
        // than the buffer, so a cut reply is never parsed as if whole.
        const ssize_t got = ::recv(socket.fd(), buffer.data(), buffer.size(), MSG_TRUNC);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got < 0)
            return Failure(errno == ECONNREFUSED ? ControlError::NoSocket : ControlError::System);
        if (static_cast<std::size_t>(got) > kMaxReply)
            return Failure(ControlError::Truncated);
        const std::string_view text(buffer.data(), static_cast<std::size_t>(got));
        if (IsEventMessage(text))
            continue;
        ControlReply reply;
        reply.text.assign(text);
        if (text.starts_with("FAIL") || text.starts_with("UNKNOWN COMMAND"))
            reply.error = ControlError::Refused;
        return reply;
    }
}

} // namespace kesto::linuxwlan
