// The daemon's end of a control socket, checked and connected without blocking.
#include "drivers/linuxwlan/UnixSocket.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace kesto::linuxwlan {
namespace {

// A descriptor closed with the scope.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool ConnectTo(int fd, const std::string& path)
{
    sockaddr_un peer{};
    peer.sun_family = AF_UNIX;
    if (path.size() >= sizeof(peer.sun_path))
        return false;
    std::memcpy(peer.sun_path, path.data(), path.size());
    return ::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof(peer)) == 0;
}

} // namespace

UnixSocket::Connected UnixSocket::Connect(const std::string& peerPath)
{
    Close();
    if (peerPath.empty() || peerPath.size() >= sizeof(sockaddr_un::sun_path))
        return Connected::NoPeer;
    // The socket file itself (a link is not followed), held while it is checked and
    // connected to through the descriptor.
    const Descriptor file{::open(peerPath.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC)};
    struct stat socketStat {};
    if (file.fd < 0 || ::fstat(file.fd, &socketStat) != 0 || !S_ISSOCK(socketStat.st_mode))
        return Connected::NoPeer;
    std::filesystem::path folder = std::filesystem::path(peerPath).parent_path();
    struct stat folderStat {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &folderStat) != 0)
        return Connected::NoPeer;
    if (socketStat.st_uid != 0 && socketStat.st_uid != folderStat.st_uid)
        return Connected::Untrusted;

    m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0)
        return Connected::Failed;
    // Binding only the family makes the kernel pick a unique abstract address.
    sockaddr_un self{};
    self.sun_family = AF_UNIX;
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&self), sizeof(sa_family_t)) != 0)
        return Connected::Failed;
    if (ConnectTo(m_fd, "/proc/self/fd/" + std::to_string(file.fd)))
        return Connected::Yes;
    // Without /proc the name is all there is to connect to.
    if (errno == ENOENT && ::access("/proc/self/fd", F_OK) != 0 && ConnectTo(m_fd, peerPath))
        return Connected::Yes;
    return Connected::NoPeer;
}

void UnixSocket::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace kesto::linuxwlan
