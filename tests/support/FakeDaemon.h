// FakeDaemon: a control socket that answers like wpa_supplicant or hostapd, for tests.
// It binds a UNIX datagram socket at a path, records every command it receives and
// answers each with what its handler returns (nothing when the handler returns
// nullopt), from its own thread, until it is destroyed. Like the daemons, it keeps the
// clients that sent ATTACH (until DETACH) and sends them its events; paused, it stops
// reading, as a stopped daemon does, so its queue fills.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kesto::linuxwlan::test {

class FakeDaemon {
public:
    using Handler = std::function<std::optional<std::string>(const std::string& command)>;

    FakeDaemon(std::filesystem::path socketPath, Handler handler);
    ~FakeDaemon();
    FakeDaemon(const FakeDaemon&) = delete;
    FakeDaemon& operator=(const FakeDaemon&) = delete;

    std::vector<std::string> commands() const;
    void clear();
    // Messages sent before the reply to every request (event messages, say).
    void setPrefix(std::vector<std::string> messages);
    // Sends "<2>" + text to every attached client (callable from the handler too).
    void Broadcast(const std::string& text);
    // Stops reading (true) or reads again (false).
    void pause(bool paused) { m_paused = paused; }

private:
    struct Client {
        sockaddr_un address;
        socklen_t length;
    };

    void Serve();

    std::filesystem::path m_path;
    Handler m_handler;
    int m_fd = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_paused{false};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_commands;
    std::vector<std::string> m_prefix;
    std::vector<Client> m_attached;
    std::thread m_thread;
};

} // namespace kesto::linuxwlan::test
