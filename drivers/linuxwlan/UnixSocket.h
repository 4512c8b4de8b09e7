// UnixSocket: a non-blocking UNIX datagram socket connected to a daemon's control
// socket, bound to an address the kernel picks in the abstract namespace (the daemon
// needs an address to reply to, and nothing is left in the file system). Closed with
// the object.
//
// Only a daemon's socket is connected to: one owned by root or by the owner of the
// folder it is in. The daemons' folders are open to a group (netdev), so any member
// could bind a socket of its own there while the daemon does not hold the interface,
// and collect the pass phrases sent to it. The file checked is the file connected to
// (it is held open meanwhile), so it cannot be swapped in between.
#pragma once

#include <string>

namespace kesto::linuxwlan {

class UnixSocket {
public:
    UnixSocket() = default;
    ~UnixSocket() { Close(); }
    UnixSocket(const UnixSocket&) = delete;
    UnixSocket& operator=(const UnixSocket&) = delete;

    enum class Connected { Yes, NoPeer, Untrusted, Failed };
    // Opens a fresh socket (closing one held) and connects it to peerPath. NoPeer: no
    // socket there, or it refuses us (no daemon, no access); Untrusted: the socket there
    // is owned by someone other than root and the folder's owner (nothing is sent to
    // it); Failed: no socket of our own.
    Connected Connect(const std::string& peerPath);
    void Close();

    int fd() const { return m_fd; }
    bool open() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace kesto::linuxwlan
