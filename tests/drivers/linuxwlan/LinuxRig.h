// LinuxRig: the Linux adapter library against a scratch sysfs tree and fake daemons.
// One wireless interface wlan0 (index 3) on a USB radio, one wired eth0; a station
// daemon that answers from a table of replies, and hostapd's and both global sockets.
// The library's thread reads every 20 ms and gives a daemon 300 ms to answer; what it
// logs is kept.
#pragma once

#include "drivers/linuxwlan/LinuxWlanLibrary.h"
#include "registry/SqliteRegistry.h"
#include "tests/support/FakeDaemon.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace kesto::linuxwlan::test {

// LIST_NETWORKS of a daemon that holds no network.
inline constexpr std::string_view kNoNetworks = "network id / ssid / bssid / flags\n";

inline constexpr std::string_view kDriverKey =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}\\0003";

// Replies by command: the longest key that the command starts with wins; commands
// without one get "OK\n". A reply of nullopt stays unanswered. A command made slow keeps
// the daemon busy that long before it answers.
class ReplyTable {
public:
    void set(std::string prefix, std::optional<std::string> reply)
    {
        std::lock_guard lock(m_mutex);
        m_replies[std::move(prefix)] = std::move(reply);
    }
    void slow(std::string command, std::chrono::milliseconds busy)
    {
        std::lock_guard lock(m_mutex);
        m_slow[std::move(command)] = busy;
    }
    std::optional<std::string> operator()(const std::string& command)
    {
        std::unique_lock lock(m_mutex);
        if (const auto busy = m_slow.find(command); busy != m_slow.end()) {
            const auto wait = busy->second;
            lock.unlock();
            std::this_thread::sleep_for(wait);
            lock.lock();
        }
        const std::pair<const std::string, std::optional<std::string>>* best = nullptr;
        for (const auto& entry : m_replies) {
            if (command.starts_with(entry.first) &&
                (!best || entry.first.size() > best->first.size()))
                best = &entry;
        }
        return best ? best->second : std::optional<std::string>("OK\n");
    }

private:
    std::mutex m_mutex;
    std::map<std::string, std::optional<std::string>> m_replies;
    std::map<std::string, std::chrono::milliseconds> m_slow;
};

// Polls until done() holds: the library's thread works on its own time. False when it
// does not within limit.
inline bool Eventually(const std::function<bool()>& done,
                       std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// What a daemon was sent, without the reading rounds' requests: what the settings,
// moves and scans made the library send.
inline std::vector<std::string> Sent(const FakeDaemon& daemon)
{
    static const std::set<std::string> kReadings{"PING",
                                                 "ATTACH",
                                                 "DETACH",
                                                 "STATUS",
                                                 "SIGNAL_POLL",
                                                 "LIST_NETWORKS",
                                                 "GET_CAPABILITY channels",
                                                 "STA-FIRST"};
    std::vector<std::string> sent = daemon.commands();
    std::erase_if(sent, [](const std::string& c) {
        return kReadings.contains(c) || c.starts_with("STA-NEXT ") || c.starts_with("BSS ");
    });
    return sent;
}

inline std::size_t CountOf(const FakeDaemon& daemon, const std::string& command)
{
    const auto sent = daemon.commands();
    return static_cast<std::size_t>(std::count(sent.begin(), sent.end(), command));
}

struct LinuxRig {
    kesto::test::TempDir dir;
    mutable std::mutex logMutex;
    mutable std::vector<std::string> logged;
    SqliteRegistry registry{":memory:"};
    ReplyTable wpaReplies;
    ReplyTable hostapdReplies;
    ReplyTable wpaGlobalReplies;
    ReplyTable hostapdGlobalReplies;
    std::unique_ptr<FakeDaemon> wpa;
    std::unique_ptr<FakeDaemon> hostapd;
    std::unique_ptr<FakeDaemon> wpaGlobal;
    std::unique_ptr<FakeDaemon> hostapdGlobal;
    std::unique_ptr<LinuxWlanLibrary> lib;
    AdapterContext ctx;
    std::string m_systemBus;

    LinuxWlanConfig Config() const
    {
        LinuxWlanConfig config;
        config.sysfsNet = dir.path() / "class/net";
        config.wpaSupplicantDir = (dir.path() / "wpa").string();
        config.hostapdDir = (dir.path() / "hostapd").string();
        config.wpaSupplicantGlobal = (dir.path() / "wpa-global").string();
        config.hostapdGlobal = (dir.path() / "hostapd-global").string();
        config.apConfigFile = "/etc/kesto/ap.conf";
        config.runtimeDir = (dir.path() / "run").string();
        config.procDir = dir.path() / "proc"; // no wpa_supplicant unless a test adds one
        config.replyTimeout = std::chrono::milliseconds(300);
        config.moveTimeout = std::chrono::milliseconds(1000);
        config.pollInterval = std::chrono::milliseconds(20);
        config.log = [this](const std::string& text) {
            std::lock_guard lock(logMutex);
            logged.push_back(text);
        };
        config.systemBus =
            m_systemBus.empty() ? "unix:path=" + (dir.path() / "no-bus").string() : m_systemBus;
        return config;
    }

    // systemBus: where NetworkManager is asked; empty: a bus that is not there.
    explicit LinuxRig(std::string systemBus = {}) : m_systemBus(std::move(systemBus))
    {
        const auto usb = std::filesystem::path("devices/pci0000:00/usb1/1-1");
        dir.write((usb / "uevent").string(), "DEVTYPE=usb_device\nPRODUCT=2c4e/450/100\n");
        dir.write((usb / "1-1:1.0/uevent").string(),
                  "DEVTYPE=usb_interface\nDRIVER=rt2800usb\nPRODUCT=2c4e/450/100\n");
        std::filesystem::create_directories(dir.path() / "drivers/rt2800usb");
        std::filesystem::create_symlink(dir.path() / "drivers/rt2800usb",
                                        dir.path() / usb / "1-1:1.0/driver");
        AddInterface("wlan0", 3, true, dir.path() / usb / "1-1:1.0");
        AddInterface("eth0", 2, false, {});
        SetCounters(100, 200, 5000, 9000);
        wpaReplies.set("STATUS", "wpa_state=SCANNING\naddress=02:4b:45:53:54:4f\n");
        wpaReplies.set("ADD_NETWORK", "0\n");
        wpaReplies.set("LIST_NETWORKS", std::string(kNoNetworks));
        wpaReplies.set("PING", "PONG\n");
        StartStation();
        wpaGlobal = Daemon(Config().wpaSupplicantGlobal, wpaGlobalReplies);
        hostapdGlobal = Daemon(Config().hostapdGlobal, hostapdGlobalReplies);
        lib = std::make_unique<LinuxWlanLibrary>(Config(), registry);
    }

    std::unique_ptr<FakeDaemon> Daemon(const std::string& path, ReplyTable& table)
    {
        return std::make_unique<FakeDaemon>(path,
                                            [&table](const std::string& c) { return table(c); });
    }
    void StartStation() { wpa = Daemon(Config().wpaSupplicantDir + "/wlan0", wpaReplies); }
    void StartAccessPoint() { hostapd = Daemon(Config().hostapdDir + "/wlan0", hostapdReplies); }

    void AddInterface(const std::string& name, int index, bool wireless,
                      const std::filesystem::path& device)
    {
        const auto net = std::filesystem::path("class/net") / name;
        dir.write((net / "ifindex").string(), std::to_string(index) + "\n");
        dir.write((net / "address").string(), "02:4b:45:53:54:4f\n");
        if (wireless)
            dir.write((net / "phy80211/name").string(), "phy" + std::to_string(index) + "\n");
        if (!device.empty())
            std::filesystem::create_directory_symlink(device, dir.path() / net / "device");
    }

    void SetCounters(std::uint64_t txPackets, std::uint64_t rxPackets, std::uint64_t txBytes,
                     std::uint64_t rxBytes)
    {
        const auto stats = std::filesystem::path("class/net/wlan0/statistics");
        dir.write((stats / "tx_packets").string(), std::to_string(txPackets) + "\n");
        dir.write((stats / "rx_packets").string(), std::to_string(rxPackets) + "\n");
        dir.write((stats / "tx_bytes").string(), std::to_string(txBytes) + "\n");
        dir.write((stats / "rx_bytes").string(), std::to_string(rxBytes) + "\n");
        for (const char* zero : {"tx_errors", "rx_errors", "rx_dropped"})
            dir.write((stats / zero).string(), "0\n");
    }

    std::vector<std::string> Logged() const
    {
        std::lock_guard lock(logMutex);
        return logged;
    }

    // Waits until the library's thread has read the daemon n more times.
    void Rounds(const FakeDaemon& daemon, std::size_t n)
    {
        const std::size_t start = CountOf(daemon, "STATUS");
        ASSERT_TRUE(Eventually([&] { return CountOf(daemon, "STATUS") >= start + n; }));
    }

    // Lists the adapters and opens wlan0, as the main window does; returns once the
    // library's thread has attached to the station daemon and read it, with what the
    // daemon was sent so far forgotten unless keep.
    void Open(bool keep = false)
    {
        std::array<NicAdapterEntry, 10> list{};
        ASSERT_EQ(lib->CreateNICAdapterList(list), 1);
        std::memcpy(ctx.name, list[0].name, sizeof ctx.name);
        std::memcpy(ctx.driverInstance, list[0].driverInstance, sizeof ctx.driverInstance);
        ASSERT_NE(lib->QvOpenAdapter(ctx), 0);
        ASSERT_TRUE(Eventually([&] { return CountOf(*wpa, "STATUS") >= 2; }));
        if (!keep)
            wpa->clear();
    }
};

} // namespace kesto::linuxwlan::test
