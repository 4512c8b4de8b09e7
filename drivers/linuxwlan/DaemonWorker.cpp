// The library's thread: the daemons' traffic and the snapshot it keeps.
#include "drivers/linuxwlan/DaemonWorker.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <set>
#include <utility>

namespace kesto::linuxwlan {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxStations = kStationListSize / 7;
// A daemon that keeps naming the same station or network cannot hold the thread.
constexpr int kMaxStationRequests = 64;
constexpr int kMaxBssRequests = 1024;
// Closing waits for the farewell requests at most this long in all (less when the
// reply deadline is shorter).
constexpr std::chrono::milliseconds kFarewellLimit{1000};

void Signal(int fd)
{
    const std::uint64_t one = 1;
    while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void Drain(int fd)
{
    std::uint64_t count = 0;
    while (::read(fd, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

} // namespace

DaemonWorker::DaemonWorker(const LinuxWlanConfig& config, const std::string& interfaceName,
                           const std::string& radio)
    : m_config(config), m_interface(interfaceName), m_log(LogOf(config)),
      m_stopFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      m_wakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      m_wpa("wpa_supplicant on " + interfaceName, config.wpaSupplicantDir + "/" + interfaceName,
            config.replyTimeout, m_stopFd, m_log),
      m_hostapd("hostapd on " + interfaceName, config.hostapdDir + "/" + interfaceName,
                config.replyTimeout, m_stopFd, m_log),
      m_wpaGlobal("wpa_supplicant", config.wpaSupplicantGlobal, config.replyTimeout, m_stopFd,
                  m_log),
      m_hostapdGlobal("hostapd", config.hostapdGlobal, config.replyTimeout, m_stopFd, m_log),
      m_push({m_wpa, m_hostapd, m_wpaGlobal, m_hostapdGlobal}, interfaceName, radio,
             config.wpaSupplicantDir, config.apConfigFile, config.procDir, config.moveTimeout,
             m_log)
{
    m_thread = std::thread([this] { Run(); });
}

DaemonWorker::~DaemonWorker()
{
    m_stop = true;
    Signal(m_stopFd);
    m_thread.join();
    m_events.Close();
    ::close(m_stopFd);
    ::close(m_wakeFd);
}

// --- the port's side ---

std::uint64_t DaemonWorker::Commit(const AdapterSettings& settings)
{
    std::uint64_t version = 0;
    {
        std::lock_guard lock(m_mutex);
        m_wanted.settings = settings;
        if (m_staged) {
            m_wanted.secrets = std::move(*m_staged);
            m_staged.reset();
        }
        // A secret the settings no longer use is not kept.
        const auto& wpa = settings.wpa;
        if (!wpa || wpa->authenticationMode != 2)
            m_wanted.secrets.passphrase.Wipe();
        if (!wpa || wpa->authenticationMode == 2)
            m_wanted.secrets.password.Wipe();
        version = ++m_wanted.version;
    }
    Wake();
    return version;
}

void DaemonWorker::CommitFilter(const AdapterSettings& settings)
{
    {
        std::lock_guard lock(m_mutex);
        m_wanted.settings.filterMode = settings.filterMode;
        m_wanted.settings.filter = settings.filter;
        ++m_wanted.filterVersion;
    }
    Wake();
}

void DaemonWorker::RequestMode(DaemonMode mode)
{
    {
        std::lock_guard lock(m_mutex);
        m_wanted.mode = mode;
        m_snapshot.movingTo = mode;
    }
    Wake();
}

bool DaemonWorker::StartSurvey()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_snapshot.answering) {
            m_snapshot.surveyState = -1;
            return false;
        }
        m_wanted.survey = true;
        m_snapshot.surveyState = 0;
    }
    Wake();
    return true;
}

void DaemonWorker::Wake()
{
    Signal(m_wakeFd);
}

// --- the thread ---

DaemonWorker::Wanted DaemonWorker::TakeWanted()
{
    std::lock_guard lock(m_mutex);
    Wanted wanted;
    wanted.settings = m_wanted.settings;
    // The secrets only when they may be pushed: a copy is wiped when this round ends.
    if (m_wanted.version != m_pushedVersion || m_pushAgain)
        wanted.secrets = m_wanted.secrets;
    wanted.version = m_wanted.version;
    wanted.filterVersion = m_wanted.filterVersion;
    wanted.mode = std::exchange(m_wanted.mode, std::nullopt);
    wanted.survey = std::exchange(m_wanted.survey, false);
    return wanted;
}

void DaemonWorker::Run()
{
    DetectMode();
    m_sweepDue = m_mode == DaemonMode::Station;
    auto nextRound = Clock::now();
    while (!m_stop) {
        bool results = false;
        bool failed = false;
        bool changed = false;
        for (const std::string& event : m_events.Take()) {
            changed = true;
            if (event.starts_with("CTRL-EVENT-SCAN-RESULTS"))
                results = true;
            else if (event.starts_with("CTRL-EVENT-SCAN-FAILED"))
                failed = true;
            else if (event.starts_with("CTRL-EVENT-TERMINATING"))
                m_events.Close();
        }
        // A scan's end before a new scan starts: an event read now belongs to the scan
        // that was waiting, never to one asked for after it.
        if (m_scanWaiting && results) {
            ReadSurvey();
        } else if (m_scanWaiting && failed) {
            EndSurvey(-1);
        } else if (results && m_mode == DaemonMode::Station && !m_pskSsid.empty() &&
                   m_offer.keys != KeyOffer::SaeOnly) {
            // The daemon's own scan: it may show what the pushed network offers.
            if (const auto table = ReadBssTable())
                Reconsider(*table);
        }

        const bool roundDue = Clock::now() >= nextRound;
        const Wanted wanted = TakeWanted();
        if (wanted.mode) {
            Move(*wanted.mode);
            changed = true;
        }
        if (m_sweepDue && m_mode == DaemonMode::Station && m_wpa.answering())
            m_sweepDue = !m_push.RemoveLeftovers();
        // What the daemon was given shows in the readings: read it again at once.
        changed = Push(wanted, roundDue) || changed;
        PushFilter(wanted);
        if (wanted.survey)
            StartScan();
        if (m_stop)
            break;
        if (changed || roundDue) {
            Poll();
            nextRound = Clock::now() + m_config.pollInterval;
        }
        WaitForWork(nextRound);
    }
    Farewell();
}

void DaemonWorker::Farewell()
{
    if (m_mode != DaemonMode::Station)
        return; // the interface left wpa_supplicant, and our network with it
    // The stop descriptor ends every wait now: the last requests go without it, under
    // one deadline, so that closing the adapter stays prompt.
    m_wpa.Finish(Clock::now() +
                 std::min<std::chrono::milliseconds>(m_config.replyTimeout, kFarewellLimit));
    if (m_wpa.Probe())
        m_push.Withdraw();
}

void DaemonWorker::WaitForWork(Clock::time_point until)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
    if (left.count() <= 0)
        return;
    pollfd wait[3] = {{m_stopFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}, {m_events.fd(), POLLIN, 0}};
    if (::poll(wait, m_events.open() ? 3 : 2, static_cast<int>(left.count())) > 0 &&
        (wait[1].revents & POLLIN))
        Drain(m_wakeFd);
}

void DaemonWorker::DetectMode()
{
    // The daemon that holds the interface now decides the mode; nothing is changed on
    // the air until the port asks for it.
    const ControlClient client(m_config.replyTimeout, m_stopFd);
    const bool station = client.Request(m_wpa.path(), "PING").ok();
    m_mode = !station && client.Request(m_hostapd.path(), "PING").ok() ? DaemonMode::AccessPoint
                                                                       : DaemonMode::Station;
    std::lock_guard lock(m_mutex);
    m_snapshot.mode = m_mode;
}

void DaemonWorker::Move(DaemonMode to)
{
    bool moved = false;
    if (to != m_mode) {
        moved = to == DaemonMode::AccessPoint ? m_push.MoveToAccessPoint() : m_push.MoveToStation();
        if (moved) {
            m_mode = to;
            m_events.Close();
            m_eventsWereOpen = false;
            if (m_scanWaiting)
                EndSurvey(-1);
            // The daemon that took the interface knows nothing of ours yet: the port
            // hands the settings over again at its next reading, and the filter
            // follows them (the restart of the access point clears it).
            m_awaitingSettings = true;
            m_filterAgain = to == DaemonMode::AccessPoint;
            // The station daemon reads its file again: a saved network of ours may be in it.
            m_sweepDue = to == DaemonMode::Station;
        } else if (!m_stop) {
            const std::string daemon = to == DaemonMode::AccessPoint ? "hostapd" : "wpa_supplicant";
            m_log("could not move " + m_interface + " to " + daemon);
        }
    }
    std::lock_guard lock(m_mutex);
    m_snapshot.mode = m_mode;
    // A move asked for since is still to come.
    if (!m_wanted.mode)
        m_snapshot.movingTo.reset();
    if (moved) {
        m_snapshot.status.reset();
        m_snapshot.signal.clear();
        m_snapshot.ourNetworkFlags.clear();
        m_snapshot.apStatus.clear();
        m_snapshot.stations.clear();
    }
}

bool DaemonWorker::Push(const Wanted& wanted, bool retryRefused)
{
    const bool fresh = wanted.version != m_pushedVersion;
    if (!fresh && !m_pushAgain)
        return false;
    // Settings the daemon refused are tried again once a round, not on every wake.
    if (wanted.version == m_refusedVersion && !m_pushAgain && !retryRefused)
        return false;
    if (!Line().answering())
        return false; // when it answers again
    bool pushed = false;
    if (m_mode == DaemonMode::Station) {
        NetworkOffer offer = OfferFor(wanted);
        // Settings pushed again are never offered less than a scan showed them to need.
        if (wanted.version == m_pushedVersion)
            offer.keys = std::max(offer.keys, m_offer.keys);
        pushed = m_push.PushStation(wanted.settings, wanted.secrets, offer);
        if (pushed) {
            const auto& wpa = wanted.settings.wpa;
            m_pskSsid =
                wpa && wpa->authenticationMode == 2 ? wanted.settings.ssid.value_or("") : "";
            m_offer = offer;
        }
    } else {
        pushed = m_push.PushAccessPoint(wanted.settings, wanted.secrets);
    }
    const bool refused = !pushed && Line().answering() && !m_stop;
    if (pushed) {
        m_pushedVersion = wanted.version;
        m_pushAgain = false;
        m_awaitingSettings = false;
        // A restart starts from the file's lists.
        m_filterAgain = m_mode == DaemonMode::AccessPoint;
    } else if (refused) {
        m_refusedVersion = wanted.version;
    }
    std::lock_guard lock(m_mutex);
    m_snapshot.pushRefused = refused;
    return true;
}

void DaemonWorker::PushFilter(const Wanted& wanted)
{
    if (m_mode != DaemonMode::AccessPoint || m_pushAgain || m_awaitingSettings ||
        !m_hostapd.answering() || (wanted.filterVersion == m_pushedFilterVersion && !m_filterAgain))
        return;
    if (m_push.PushFilter(wanted.settings)) {
        m_pushedFilterVersion = wanted.filterVersion;
        m_filterAgain = false;
    }
}

NetworkOffer DaemonWorker::OfferFor(const Wanted& wanted)
{
    const auto& wpa = wanted.settings.wpa;
    const std::string* ssid = wanted.settings.ssid ? &*wanted.settings.ssid : nullptr;
    if (!wpa || wpa->authenticationMode == 4 || !ssid || ssid->empty())
        return {};
    const auto table = ReadBssTable();
    NetworkOffer offer = table ? SettingsPush::OfferOf(*table, *ssid) : NetworkOffer{};
    // Seen offering SAE alone before (the profile keeps it): never offered less.
    if (wpa->saeOnly && wpa->authenticationMode == 2)
        offer.keys = KeyOffer::SaeOnly;
    return offer;
}

void DaemonWorker::Reconsider(const std::vector<ScanResult>& table)
{
    if (!m_pskSsid.empty() && SettingsPush::OfferOf(table, m_pskSsid).keys > m_offer.keys)
        m_pushAgain = true;
}

// --- the survey ---

void DaemonWorker::StartScan()
{
    if (m_mode == DaemonMode::Station)
        AttachEvents();
    if (m_mode != DaemonMode::Station || !m_events.open()) {
        // Without the daemon's events nothing would tell when the scan is done.
        EndSurvey(-1);
        return;
    }
    const ControlReply reply = m_wpa.Request("SCAN");
    // FAIL-BUSY: a scan is running already; its results are as fresh.
    const bool running =
        (reply.ok() && reply.text.starts_with("OK")) ||
        (reply.error == ControlError::Refused && reply.text.starts_with("FAIL-BUSY"));
    if (running)
        m_scanWaiting = true;
    else
        EndSurvey(-1);
}

std::optional<std::vector<ScanResult>> DaemonWorker::ReadBssTable()
{
    // The table entry by entry: one reply holds at most 4 KB, a few dozen networks.
    const std::string mask = " MASK=" + std::string(kBssMask);
    std::vector<ScanResult> found;
    std::set<int> seen;
    ControlReply reply = m_wpa.Request("BSS FIRST" + mask);
    for (int requests = 1; requests <= kMaxBssRequests && reply.ok(); ++requests) {
        auto entry = ParseBss(reply.text);
        if (!entry || !seen.insert(entry->id).second)
            return found;
        if (entry->bss)
            found.push_back(std::move(*entry->bss));
        reply = m_wpa.Request("BSS NEXT-" + std::to_string(entry->id) + mask);
    }
    return std::nullopt;
}

void DaemonWorker::ReadSurvey()
{
    auto found = ReadBssTable();
    if (!found) {
        EndSurvey(-1); // the results read so far would look whole; the last ones stand
        return;
    }
    Reconsider(*found);
    // Strongest first: when the survey buffer cannot hold them all, the weakest go.
    std::stable_sort(found->begin(), found->end(), [](const ScanResult& a, const ScanResult& b) {
        return a.signalDbm > b.signalDbm;
    });
    m_scanWaiting = false;
    std::lock_guard lock(m_mutex);
    m_snapshot.survey = std::move(*found);
    // A survey asked for meanwhile waits for its own scan.
    if (!m_wanted.survey)
        m_snapshot.surveyState = 1;
}

void DaemonWorker::EndSurvey(int state)
{
    m_scanWaiting = false;
    std::lock_guard lock(m_mutex);
    if (!m_wanted.survey)
        m_snapshot.surveyState = state;
}

// --- reading rounds ---

void DaemonWorker::AttachEvents()
{
    if (m_events.open() && m_events.StillConnected())
        return;
    m_events.Close();
    if (!Line().answering() ||
        !m_events.Open(Line().path(), Clock::now() + m_config.replyTimeout, m_stopFd))
        return;
    // Attached before: the daemon started again and knows nothing of ours. (One that
    // was only stopped keeps its attached clients, and everything it was given.)
    if (std::exchange(m_eventsWereOpen, true))
        LostWhatItWasGiven();
}

void DaemonWorker::LostWhatItWasGiven()
{
    if (m_mode == DaemonMode::AccessPoint) {
        m_pushAgain = true;
        return;
    }
    // A daemon that started again may have read a saved network of ours from its file.
    m_sweepDue = true;
    if (m_push.networkId() < 0)
        return;
    const ControlReply list = m_wpa.Request("LIST_NETWORKS");
    if (list.ok() && !NetworkFlags(list.text, m_push.networkId())) {
        m_push.ForgetAll();
        m_pushAgain = true;
    }
}

void DaemonWorker::Poll()
{
    DaemonLine& line = Line();
    const bool wasAnswering = line.answering();
    if (!line.Probe()) {
        if (m_scanWaiting)
            EndSurvey(-1);
        PublishAnswering();
        return;
    }
    if (!wasAnswering)
        LostWhatItWasGiven(); // or was it only stopped?
    AttachEvents();
    if (m_mode == DaemonMode::Station)
        PollStation();
    else
        PollAccessPoint();
    PublishAnswering();
}

void DaemonWorker::PublishAnswering()
{
    const bool answering = Line().answering();
    std::lock_guard lock(m_mutex);
    m_snapshot.answering = answering;
}

void DaemonWorker::PollStation()
{
    std::optional<std::map<std::string, std::string>> status;
    if (const ControlReply reply = m_wpa.Request("STATUS"); reply.ok()) {
        status = ParseKeyValues(reply.text);
        if (!status->contains("wpa_state"))
            status.reset();
    }
    std::map<std::string, std::string> signal;
    if (const ControlReply reply = m_wpa.Request("SIGNAL_POLL"); reply.ok())
        signal = ParseKeyValues(reply.text); // refused: no link
    std::string flags;
    const bool completed = status && (*status)["wpa_state"] == "COMPLETED";
    if (m_push.networkId() >= 0 && !completed) {
        const ControlReply list = m_wpa.Request("LIST_NETWORKS");
        if (list.ok())
            flags = NetworkFlags(list.text, m_push.networkId()).value_or("");
    }
    std::vector<int> channels;
    {
        std::lock_guard lock(m_mutex);
        channels = m_snapshot.channels;
    }
    if (channels.empty()) {
        if (const ControlReply reply = m_wpa.Request("GET_CAPABILITY channels"); reply.ok())
            channels = ParseChannels(reply.text);
    }
    std::lock_guard lock(m_mutex);
    m_snapshot.settingsRead = m_pushedVersion;
    m_snapshot.status = std::move(status);
    m_snapshot.signal = std::move(signal);
    m_snapshot.ourNetworkFlags = std::move(flags);
    m_snapshot.channels = std::move(channels);
}

void DaemonWorker::PollAccessPoint()
{
    std::map<std::string, std::string> status;
    if (const ControlReply reply = m_hostapd.Request("STATUS"); reply.ok())
        status = ParseKeyValues(reply.text);
    std::vector<MacAddress> stations;
    ControlReply reply = m_hostapd.Request("STA-FIRST");
    for (int requests = 1; requests <= kMaxStationRequests && stations.size() < kMaxStations;
         ++requests) {
        const auto mac = reply.ok() ? ParseStationAddress(reply.text) : std::nullopt;
        if (!mac)
            break;
        if (std::find(stations.begin(), stations.end(), *mac) == stations.end())
            stations.push_back(*mac);
        reply = m_hostapd.Request("STA-NEXT " + MacText(*mac));
    }
    std::lock_guard lock(m_mutex);
    m_snapshot.settingsRead = m_pushedVersion;
    m_snapshot.apStatus = std::move(status);
    m_snapshot.stations = std::move(stations);
}

} // namespace kesto::linuxwlan
