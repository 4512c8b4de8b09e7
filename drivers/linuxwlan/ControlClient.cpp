// The datagram exchange with a daemon's control socket.
#include "drivers/linuxwlan/ControlClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

namespace kesto::linuxwlan {
namespace {

class Socket {
public:
    Socket() : m_fd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}
    ~Socket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

bool IsEventMessage(std::string_view text)
{
    return text.size() >= 2 && text[0] == '<' && std::isdigit(static_cast<unsigned char>(text[1]));
}

} // namespace

ControlReply ControlClient::Request(const std::string& socketPath, std::string_view command) const
{
    ControlReply reply;
    sockaddr_un peer{};
    if (socketPath.empty() || socketPath.size() >= sizeof(peer.sun_path)) {
        reply.error = ControlError::NoSocket;
        return reply;
    }
    Socket socket;
    if (socket.fd() < 0) {
        reply.error = ControlError::System;
        return reply;
    }
    // Binding only the family makes the kernel pick a unique abstract address: the
    // daemon needs an address to reply to, and nothing is left in the file system.
    sockaddr_un self{};
    self.sun_family = AF_UNIX;
    if (::bind(socket.fd(), reinterpret_cast<const sockaddr*>(&self), sizeof(sa_family_t)) != 0) {
        reply.error = ControlError::System;
        return reply;
    }
    peer.sun_family = AF_UNIX;
    std::memcpy(peer.sun_path, socketPath.data(), socketPath.size());
    if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&peer), sizeof(peer)) != 0) {
        reply.error = ControlError::NoSocket;
        return reply;
    }
    if (::send(socket.fd(), command.data(), command.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(command.size())) {
        reply.error = errno == ECONNREFUSED ? ControlError::NoSocket : ControlError::System;
        return reply;
    }

    const auto deadline = std::chrono::steady_clock::now() + m_timeout;
    std::vector<char> buffer(kMaxReply + 1);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            reply.error = ControlError::Timeout;
            return reply;
        }
        pollfd wait{socket.fd(), POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            reply.error = ControlError::System;
            return reply;
        }
        if (ready == 0) {
            reply.error = ControlError::Timeout;
            return reply;
        }
        // MSG_TRUNC makes recv report the datagram's real length even when it is longer
        // than the buffer, so a cut reply is never parsed as if whole.
        const ssize_t got = ::recv(socket.fd(), buffer.data(), buffer.size(), MSG_TRUNC);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            reply.error = errno == ECONNREFUSED ? ControlError::NoSocket : ControlError::System;
            return reply;
        }
        if (static_cast<std::size_t>(got) > kMaxReply) {
            reply.error = ControlError::Truncated;
            return reply;
        }
        std::string_view text(buffer.data(), static_cast<std::size_t>(got));
        if (IsEventMessage(text))
            continue;
        reply.text.assign(text);
        if (text.starts_with("FAIL") || text.starts_with("UNKNOWN COMMAND"))
            reply.error = ControlError::Refused;
        return reply;
    }
}

} // namespace kesto::linuxwlan
