// The daemon's end of a control socket, connected without blocking.
#include "drivers/linuxwlan/UnixSocket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace kesto::linuxwlan {

UnixSocket::Connected UnixSocket::Connect(const std::string& peerPath)
{
    Close();
    sockaddr_un peer{};
    if (peerPath.empty() || peerPath.size() >= sizeof(peer.sun_path))
        return Connected::NoPeer;
    m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0)
        return Connected::Failed;
    // Binding only the family makes the kernel pick a unique abstract address.
    sockaddr_un self{};
    self.sun_family = AF_UNIX;
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&self), sizeof(sa_family_t)) != 0)
        return Connected::Failed;
    peer.sun_family = AF_UNIX;
    std::memcpy(peer.sun_path, peerPath.data(), peerPath.size());
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&peer), sizeof(peer)) != 0)
        return Connected::NoPeer;
    return Connected::Yes;
}

void UnixSocket::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace kesto::linuxwlan
