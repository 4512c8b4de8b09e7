// How long a call of the Linux adapter library holds its caller, the window's thread.
// The calls the window makes - the link monitor's three timer ticks, the tray icon's
// link status, a survey (started, asked whether done, read) and now and then a profile
// applied - run every 10 ms against a fake wpa_supplicant in a process of its own, once
// while it answers and once stopped (SIGSTOP) mid-session. Reported: the longest call
// (max_call_ms, the label names it), the calls made, and after the stop how long the
// library took to tell of the link again once the daemon went on (back_ms). The library
// runs with the settings the utility uses. A call still blocked kBlockedCap after the
// stop is released by letting the daemon go on: max_call_ms then reads "at least".
#include "drivers/linuxwlan/LinuxWlanLibrary.h"
#include "registry/SqliteRegistry.h"
#include "tests/support/FakeDaemon.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>

namespace {

using namespace kesto;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kHealthyFor = 3s;  // calls against the answering daemon
constexpr auto kStoppedFor = 25s; // calls against the stopped daemon
constexpr auto kBlockedCap = 40s; // after the stop: a call blocked until then is released
constexpr int kNetworks = 40;     // in range of the fake daemon

std::string Mac(int n)
{
    char text[18];
    std::snprintf(text, sizeof text, "02:00:00:00:%02x:00", n & 0xFF);
    return text;
}

std::string Network(int n, char separator)
{
    const std::string mhz = std::to_string(2412 + 5 * (n % 13));
    const std::string dbm = std::to_string(-40 - n);
    const std::string ssid = "Kesto Nachbar " + std::to_string(n);
    if (separator == '\t')
        return Mac(n) + "\t" + mhz + "\t" + dbm + "\t[WPA2-PSK-CCMP][ESS]\t" + ssid + "\n";
    return "id=" + std::to_string(n) + "\nbssid=" + Mac(n) + "\nfreq=" + mhz + "\nlevel=" + dbm +
           "\nflags=[WPA2-PSK-CCMP][ESS]\nssid=" + ssid + "\n";
}

// What the fake station daemon answers: associated, forty networks in range.
std::string Reply(const std::string& command)
{
    static const std::map<std::string, std::string> kFixed{
        {"PING", "PONG\n"},
        {"STATUS", "bssid=02:00:00:00:01:00\nfreq=2437\nssid=Kesto\nid=0\nmode=station\n"
                   "wpa_state=COMPLETED\n"},
        {"SIGNAL_POLL", "RSSI=-52\nLINKSPEED=54\nNOISE=9999\nFREQUENCY=2437\n"},
        {"ADD_NETWORK", "0\n"},
        {"LIST_NETWORKS", "network id / ssid / bssid / flags\n0\tKesto\tany\t[CURRENT]\n"},
        {"GET_CAPABILITY channels", "Mode[G] Channels: 1 2 3 4 5 6 7 8 9 10 11 12 13\n"},
    };
    if (const auto it = kFixed.find(command); it != kFixed.end())
        return it->second;
    if (command == "SCAN_RESULTS") {
        std::string text = "bssid / frequency / signal level / flags / ssid\n";
        for (int n = 0; n < kNetworks; ++n)
            text += Network(n, '\t');
        return text;
    }
    int id = -1;
    if (command.starts_with("BSS FIRST"))
        id = 0;
    else if (std::sscanf(command.c_str(), "BSS NEXT-%d", &id) == 1)
        ++id;
    if (command.starts_with("BSS "))
        return id >= 0 && id < kNetworks ? Network(id, '=') : std::string();
    return "OK\n";
}

// The child's whole life: it answers until killed, and a scan ends within 100 ms with
// the daemon's event.
[[noreturn]] void ServeUntilKilled(const std::filesystem::path& socket)
{
    std::atomic<int> scans{0};
    linuxwlan::test::FakeDaemon daemon(socket, [&](const std::string& command) {
        if (command == "SCAN")
            ++scans;
        return std::optional<std::string>(Reply(command));
    });
    for (int ended = 0;;) {
        std::this_thread::sleep_for(100ms);
        for (; ended < scans; ++ended)
            daemon.Broadcast("CTRL-EVENT-SCAN-RESULTS ");
    }
}

// The fake daemon in a process of its own, so that SIGSTOP stops it as it stops a real
// one: nothing of it reads its socket any more.
class DaemonProcess {
public:
    explicit DaemonProcess(const std::filesystem::path& socket) : m_pid(::fork())
    {
        if (m_pid == 0)
            ServeUntilKilled(socket);
        while (!std::filesystem::exists(socket))
            std::this_thread::sleep_for(1ms);
    }
    ~DaemonProcess()
    {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    DaemonProcess(const DaemonProcess&) = delete;
    DaemonProcess& operator=(const DaemonProcess&) = delete;

    void Stop() { ::kill(m_pid, SIGSTOP); }
    void Go() { ::kill(m_pid, SIGCONT); }

private:
    pid_t m_pid;
};

// wlan0 in a scratch sysfs, the daemon on its socket, the library opened on it.
struct Rig {
    test::TempDir dir;
    DaemonProcess daemon;
    SqliteRegistry registry{":memory:"};
    std::unique_ptr<WlanLibrary> lib;
    AdapterContext ctx;

    static std::filesystem::path Sysfs(const test::TempDir& dir)
    {
        const std::string net = "class/net/wlan0/";
        dir.write(net + "ifindex", "3\n");
        dir.write(net + "address", "02:4b:45:53:54:4f\n");
        dir.write(net + "phy80211/name", "phy3\n");
        for (const char* counter : {"tx_packets", "rx_packets", "tx_bytes", "rx_bytes", "tx_errors",
                                    "rx_errors", "rx_dropped"})
            dir.write(net + "statistics/" + counter, "1000\n");
        return dir.path() / "wpa/wlan0";
    }

    Rig() : daemon(Sysfs(dir))
    {
        linuxwlan::LinuxWlanConfig config;
        config.sysfsNet = dir.path() / "class/net";
        config.wpaSupplicantDir = (dir.path() / "wpa").string();
        config.hostapdDir = (dir.path() / "hostapd").string();
        config.wpaSupplicantGlobal = (dir.path() / "wpa-global").string();
        config.hostapdGlobal = (dir.path() / "hostapd-global").string();
        config.systemBus = "unix:path=" + (dir.path() / "no-bus").string();
        lib = std::make_unique<linuxwlan::LinuxWlanLibrary>(config, registry);
        std::array<NicAdapterEntry, 10> list{};
        lib->CreateNICAdapterList(list);
        std::memcpy(ctx.name, list[0].name, sizeof ctx.name);
        std::memcpy(ctx.driverInstance, list[0].driverInstance, sizeof ctx.driverInstance);
        lib->QvOpenAdapter(ctx);
    }
};

// A library without the survey's state call is read after a wait of its caller's.
template <class Library> int SurveyState(Library& lib, AdapterContext& ctx)
{
    if constexpr (requires { lib.WL_SiteSurveyState(ctx); })
        return lib.WL_SiteSurveyState(ctx);
    else
        return 1;
}

// The longest call so far, and which it was.
class Longest {
public:
    template <class F> void operator()(const char* name, F&& call)
    {
        const auto start = Clock::now();
        call();
        const auto took = Clock::now() - start;
        ++m_calls;
        if (took > m_longest) {
            m_longest = took;
            m_name = name;
        }
    }
    double ms() const { return std::chrono::duration<double, std::milli>(m_longest).count(); }
    const std::string& name() const { return m_name; }
    long calls() const { return m_calls; }

private:
    Clock::duration m_longest{};
    std::string m_name;
    long m_calls = 0;
};

// One round of the window's calls; until is checked between calls.
void WindowRound(Rig& rig, Longest& longest, int round, Clock::time_point until)
{
    WlanLibrary& lib = *rig.lib;
    AdapterContext& ctx = rig.ctx;
    std::array<char, 32> ssid{};
    std::array<std::uint8_t, 6> bssid{};
    std::array<std::uint32_t, 2> frames{};
    std::array<std::uint8_t, kStatisticsBufferSize> statistics{236, 0, 0, 0, 9};
    static std::array<std::uint8_t, kSiteSurveyBufferSize> survey{};
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"QueryWL_AuthenticationMode", [&] { lib.QueryWL_AuthenticationMode(ctx); }},
        {"QueryWL_LinkSecurity", [&] { lib.QueryWL_LinkSecurity(ctx); }},
        {"QueryWL_NetworkType", [&] { lib.QueryWL_NetworkType(ctx); }},
        {"QueryWL_Channel", [&] { lib.QueryWL_Channel(ctx); }},
        {"QueryWL_CurrentLinkSpeed", [&] { lib.QueryWL_CurrentLinkSpeed(ctx); }},
        {"QueryWL_LinkStatus", [&] { lib.QueryWL_LinkStatus(ctx); }},
        {"QueryWL_SSID", [&] { lib.QueryWL_SSID(ctx, ssid); }},
        {"QueryWL_BSSID", [&] { lib.QueryWL_BSSID(ctx, bssid); }},
        {"QueryWL_CommQuality", [&] { lib.QueryWL_CommQuality(ctx); }},
        {"QueryWL_RSSI", [&] { lib.QueryWL_RSSI(ctx); }},
        {"GetTxRxFrameCount", [&] { lib.GetTxRxFrameCount(ctx, frames); }},
        {"ReadOid", [&] { lib.ReadOid(ctx, kOidStatistics, statistics); }},
        {"WL_SiteSurveyState",
         [&] {
             if (SurveyState(lib, ctx) != 0) {
                 lib.WL_RetrieveSiteSurveyData(ctx, survey);
                 lib.WL_SiteSurveyStart(ctx);
             }
         }},
        {"profile applied",
         [&] {
             if (round % 5 != 0)
                 return;
             const std::string name = round % 10 == 0 ? "Kesto" : "Kesto 2";
             lib.SetWL_SSID(ctx, std::span<const char>(name.data(), name.size()));
             lib.SetWL_AuthenticationMode(ctx, 0);
             lib.SetWL_WEPStatus(ctx, 1);
             lib.QueryWL_LinkStatus(ctx); // the reading that hands the settings over
         }},
    };
    for (const auto& [name, call] : calls) {
        if (Clock::now() >= until)
            return;
        longest(name, call);
    }
}

void Report(benchmark::State& state, const Longest& longest)
{
    state.counters["max_call_ms"] = longest.ms();
    state.counters["calls"] = static_cast<double>(longest.calls());
    state.SetLabel("longest: " + longest.name());
}

void BM_LinuxCallsHealthyDaemon(benchmark::State& state)
{
    for (auto _ : state) {
        Rig rig;
        Longest longest;
        const auto until = Clock::now() + kHealthyFor;
        for (int round = 0; Clock::now() < until; ++round) {
            WindowRound(rig, longest, round, until);
            std::this_thread::sleep_for(10ms);
        }
        Report(state, longest);
    }
}
BENCHMARK(BM_LinuxCallsHealthyDaemon)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LinuxCallsStoppedDaemon(benchmark::State& state)
{
    for (auto _ : state) {
        Rig rig;
        Longest ignored;
        for (int round = 0; round < 20; ++round) // a session under way
            WindowRound(rig, ignored, round, Clock::time_point::max());
        std::this_thread::sleep_for(1100ms);

        rig.daemon.Stop();
        const auto stopped = Clock::now();
        // Calls blocked in a full queue come back only when the daemon goes on.
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        std::thread release([&] {
            std::unique_lock lock(mutex);
            if (!done.wait_until(lock, stopped + kBlockedCap, [&] { return finished; }))
                rig.daemon.Go();
        });
        Longest longest;
        for (int round = 0; Clock::now() < stopped + kStoppedFor; ++round) {
            WindowRound(rig, longest, round, stopped + kStoppedFor);
            std::this_thread::sleep_for(10ms);
        }
        {
            std::lock_guard lock(mutex);
            finished = true;
        }
        done.notify_one();
        release.join();

        rig.daemon.Go();
        const auto resumed = Clock::now();
        while (rig.lib->QueryWL_LinkStatus(rig.ctx) != 3 && Clock::now() < resumed + 20s)
            std::this_thread::sleep_for(10ms);
        Report(state, longest);
        state.counters["back_ms"] =
            std::chrono::duration<double, std::milli>(Clock::now() - resumed).count();
    }
}
BENCHMARK(BM_LinuxCallsStoppedDaemon)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
