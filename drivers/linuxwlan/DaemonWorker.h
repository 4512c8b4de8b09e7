// DaemonWorker: the library's own thread, the only one that talks to the daemons. It
// keeps a LinkSnapshot fresh (a reading round every poll interval, and at once after a
// daemon's event), sends the settings the port's thread hands over, moves the interface
// between the daemons and runs the surveys. The port's thread only hands work over and
// reads the snapshot, under one mutex held for copies, so it never waits on a daemon -
// except when the thread ends: it first takes back what it gave wpa_supplicant, within
// one short deadline.
#pragma once

#include "drivers/linuxwlan/AdapterSettings.h"
#include "drivers/linuxwlan/DaemonLine.h"
#include "drivers/linuxwlan/EventChannel.h"
#include "drivers/linuxwlan/LinkSnapshot.h"
#include "drivers/linuxwlan/LinuxWlanConfig.h"
#include "drivers/linuxwlan/SettingsPush.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace kesto::linuxwlan {

class DaemonWorker {
public:
    // interfaceName: the interface to drive; radio: its phy's name (hostapd wants it).
    // Starts the thread, which first finds out which daemon holds the interface.
    DaemonWorker(const LinuxWlanConfig& config, const std::string& interfaceName,
                 const std::string& radio);
    // Ends the thread: a wait on a daemon in progress is broken off, then our network is
    // removed from wpa_supplicant and the networks that selecting it disabled are enabled
    // again, all within the reply deadline (at most a second), so this returns promptly.
    ~DaemonWorker();
    DaemonWorker(const DaemonWorker&) = delete;
    DaemonWorker& operator=(const DaemonWorker&) = delete;

    // --- for the port's thread: each returns at once ---
    // The settings the daemon that holds the interface should have, with the secrets
    // staged since the last commit; returns their version, which the snapshot's
    // settingsRead reaches once they are in effect.
    std::uint64_t Commit(const AdapterSettings& settings);
    // change(AdapterSecrets&) on the secrets the next Commit hands over (a copy of the
    // ones in effect until then): the port's thread keeps no secret of its own.
    template <class F> void StageSecrets(F&& change)
    {
        std::lock_guard lock(m_mutex);
        if (!m_staged)
            m_staged = m_wanted.secrets;
        change(*m_staged);
    }
    // The MAC filter alone (hostapd takes it without a restart).
    void CommitFilter(const AdapterSettings& settings);
    // Move the interface to the daemon of mode (nothing when it is there already).
    void RequestMode(DaemonMode mode);
    // Starts a survey: the snapshot's survey state is 0 until it ends. False (state -1)
    // when the station daemon is known not to answer.
    bool StartSurvey();
    // f(const LinkSnapshot&) under the mutex: copy what is needed, nothing slow.
    template <class F> auto Read(F&& f) const
    {
        std::lock_guard lock(m_mutex);
        return f(m_snapshot);
    }

private:
    // What the port's thread asked for since the thread last looked.
    struct Wanted {
        AdapterSettings settings;
        // The one copy the library keeps while the adapter is open: the daemon is given
        // our network again after it started again, after the interface came back from
        // the access point, and whole when a setting changes. Wiped when replaced and
        // when the adapter closes.
        AdapterSecrets secrets;
        std::uint64_t version = 0;
        std::uint64_t filterVersion = 0;
        std::optional<DaemonMode> mode;
        bool survey = false;
    };

    void Run();
    void Wake();
    void WaitForWork(std::chrono::steady_clock::time_point until);
    Wanted TakeWanted();
    void DetectMode();
    void Move(DaemonMode to);
    // Hands the wanted settings to the daemon when they are new to it; true when it tried.
    bool Push(const Wanted& wanted, bool retryRefused);
    void PushFilter(const Wanted& wanted);
    // What the networks of the wanted WPA network's name announce, from the daemon's BSS
    // table.
    NetworkOffer OfferFor(const Wanted& wanted);
    // A scan showed the pushed network to offer stricter key management than it was
    // offered: it is pushed again.
    void Reconsider(const std::vector<ScanResult>& table);
    // Takes back what the station daemon was given, within one short deadline.
    void Farewell();
    void StartScan();
    // The daemon's whole BSS table; nullopt when the walk was cut short.
    std::optional<std::vector<ScanResult>> ReadBssTable();
    void ReadSurvey();
    void EndSurvey(int state);
    // One reading round of the daemon of the mode.
    void Poll();
    void PollStation();
    void PollAccessPoint();
    // Keeps the event channel attached to the daemon of the mode.
    void AttachEvents();
    // The daemon may have started again: what it was given is given again if it is gone.
    void LostWhatItWasGiven();
    DaemonLine& Line() { return m_mode == DaemonMode::Station ? m_wpa : m_hostapd; }
    void PublishAnswering();

    LinuxWlanConfig m_config;
    std::string m_interface;
    DaemonLine::Log m_log;
    // Written by the destructor: readable (never reset) ends every wait of the thread.
    int m_stopFd = -1;
    // Written by the port's thread when it hands work over.
    int m_wakeFd = -1;

    mutable std::mutex m_mutex;
    LinkSnapshot m_snapshot;                // guarded by m_mutex
    Wanted m_wanted;                        // guarded by m_mutex
    std::optional<AdapterSecrets> m_staged; // guarded by m_mutex

    // The thread's own.
    DaemonLine m_wpa;
    DaemonLine m_hostapd;
    DaemonLine m_wpaGlobal;
    DaemonLine m_hostapdGlobal;
    SettingsPush m_push;
    EventChannel m_events;
    DaemonMode m_mode = DaemonMode::Station;
    std::uint64_t m_pushedVersion = 0;
    std::uint64_t m_refusedVersion = 0;
    std::uint64_t m_pushedFilterVersion = 0;
    std::string m_pskSsid;           // the pushed network's name when it is a pre-shared key one
    NetworkOffer m_offer;            // what it was offered
    bool m_sweepDue = false;         // leftovers of ours may be in the station daemon
    bool m_pushAgain = false;        // the daemon lost what it was given (a restart)
    bool m_awaitingSettings = false; // moved: the port's next settings are due
    bool m_filterAgain = false;      // hostapd started from its file: the lists are its own
    bool m_scanWaiting = false;
    bool m_eventsWereOpen = false;

    std::atomic<bool> m_stop{false};
    std::thread m_thread; // last: started when everything above is ready
};

} // namespace kesto::linuxwlan
