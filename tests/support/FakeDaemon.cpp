// The fake control socket's serving loop.
#include "tests/support/FakeDaemon.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace kesto::linuxwlan::test {

FakeDaemon::FakeDaemon(std::filesystem::path socketPath, Handler handler)
    : m_path(std::move(socketPath)), m_handler(std::move(handler))
{
    std::filesystem::create_directories(m_path.parent_path());
    m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = m_path.string();
    if (m_fd < 0 || path.size() >= sizeof(address.sun_path))
        throw std::runtime_error("fake daemon: no socket for " + path);
    std::memcpy(address.sun_path, path.data(), path.size());
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
        throw std::runtime_error("fake daemon: cannot bind " + path);
    m_thread = std::thread([this] { Serve(); });
}

FakeDaemon::~FakeDaemon()
{
    m_stop = true;
    m_thread.join();
    ::close(m_fd);
    std::error_code ec;
    std::filesystem::remove(m_path, ec);
}

std::vector<std::string> FakeDaemon::commands() const
{
    std::lock_guard lock(m_mutex);
    return m_commands;
}

void FakeDaemon::clear()
{
    std::lock_guard lock(m_mutex);
    m_commands.clear();
}

void FakeDaemon::setPrefix(std::vector<std::string> messages)
{
    std::lock_guard lock(m_mutex);
    m_prefix = std::move(messages);
}

void FakeDaemon::Broadcast(const std::string& text)
{
    const std::string message = "<2>" + text;
    std::lock_guard lock(m_mutex);
    for (const Client& client : m_attached)
        ::sendto(m_fd, message.data(), message.size(), MSG_DONTWAIT,
                 reinterpret_cast<const sockaddr*>(&client.address), client.length);
}

void FakeDaemon::Serve()
{
    std::vector<char> buffer(4096);
    while (!m_stop) {
        if (m_paused) {
            ::usleep(5000);
            continue;
        }
        pollfd wait{m_fd, POLLIN, 0};
        if (::poll(&wait, 1, 20) <= 0 || m_paused)
            continue;
        sockaddr_un from{};
        socklen_t fromLength = sizeof(from);
        const ssize_t got = ::recvfrom(m_fd, buffer.data(), buffer.size(), 0,
                                       reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got < 0)
            continue;
        const std::string command(buffer.data(), static_cast<std::size_t>(got));
        const auto same = [&](const Client& c) {
            return c.length == fromLength && std::memcmp(&c.address, &from, fromLength) == 0;
        };
        std::vector<std::string> prefix;
        {
            std::lock_guard lock(m_mutex);
            m_commands.push_back(command);
            prefix = m_prefix;
            if (command == "ATTACH" || command == "DETACH")
                std::erase_if(m_attached, same);
            if (command == "ATTACH")
                m_attached.push_back({from, fromLength});
        }
        if (command == "ATTACH" || command == "DETACH") {
            ::sendto(m_fd, "OK\n", 3, 0, reinterpret_cast<const sockaddr*>(&from), fromLength);
            continue;
        }
        for (const std::string& message : prefix)
            ::sendto(m_fd, message.data(), message.size(), 0,
                     reinterpret_cast<const sockaddr*>(&from), fromLength);
        if (const auto reply = m_handler(command))
            ::sendto(m_fd, reply->data(), reply->size(), 0,
                     reinterpret_cast<const sockaddr*>(&from), fromLength);
    }
}

} // namespace kesto::linuxwlan::test
