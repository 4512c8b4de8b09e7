// UnixSocket: a non-blocking UNIX datagram socket connected to a daemon's control
// socket, bound to an address the kernel picks in the abstract namespace (the daemon
// needs an address to reply to, and nothing is left in the file system). Closed with
// the object.
#pragma once

#include <string>

namespace kesto::linuxwlan {

class UnixSocket {
public:
    UnixSocket() = default;
    ~UnixSocket() { Close(); }
    UnixSocket(const UnixSocket&) = delete;
    UnixSocket& operator=(const UnixSocket&) = delete;

    enum class Connected { Yes, NoPeer, Failed };
    // Opens a fresh socket (closing one held) and connects it to peerPath. NoPeer: no
    // socket there, or it refuses us (no daemon, no access); Failed: no socket of our
    // own.
    Connected Connect(const std::string& peerPath);
    void Close();

    int fd() const { return m_fd; }
    bool open() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace kesto::linuxwlan
