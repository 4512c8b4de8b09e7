// What the running utility offers besides its window (see UtilityCommands.h).
#include "app/UtilityCommands.h"

#include "ap/ApApply.h"
#include "ap/FilterEntry.h"
#include "pages/MainWindowIds.h"
#include "security/SecurityForm.h"
#include "station/SurveyJoin.h"
#include "station/SurveyRecords.h"

#include <algorithm>
#include <utility>

namespace kesto {

namespace {

// The monitor's readings count as current for one link status period.
constexpr std::uint32_t kStatusFreshMs = LinkMonitor::kLinkStatusPeriod;
constexpr std::uint32_t kApSettleMs = 100;
// How often a join's outcome is read.
constexpr std::uint32_t kJoinPollMs = 250;
// QueryWL_LinkStatus: the link is up (3 with an access point, 4 in an ad-hoc cell), or
// the network refused the key or the security settings (5).
constexpr int kLinkAssociated = 3;
constexpr int kLinkInCell = 4;
constexpr int kLinkRefused = 5;

Refusal Refuse(std::string_view name, std::string_view message)
{
    return Refusal{name, std::string(message)};
}

std::string Quoted(std::string_view text)
{
    return "\u201e" + std::string(text) + "\u201c";
}

JoinSecurity SecurityOf(SurveyEncryption encryption)
{
    switch (encryption) {
    case SurveyEncryption::Open:
        return JoinSecurity::None;
    case SurveyEncryption::Wep:
        return JoinSecurity::Wep;
    case SurveyEncryption::WpaPsk:
        return JoinSecurity::WpaPsk;
    case SurveyEncryption::WpaSae:
        return JoinSecurity::WpaSae;
    case SurveyEncryption::WpaRadius:
        return JoinSecurity::WpaRadius;
    }
    return JoinSecurity::Any;
}

} // namespace

UtilityCommands::UtilityCommands(MainDialog& dialog)
    : m_dialog(dialog),
      m_profiles(dialog.store(), dialog.profileList(), dialog.controllers().passphraseKeys()),
      m_apSettle(dialog.oneShots()), m_joinPoll(dialog.oneShots())
{
}

// --- status ---

UtilityStatus UtilityCommands::Status()
{
    UtilityStatus status;
    status.adapter = m_dialog.api().IsOpen();
    status.settling = m_dialog.modeStepPending();
    status.apMode = !m_dialog.StationModeStored();
    status.profile = m_dialog.work().ActiveProfileName;
    // The monitor reads the link in station mode only; what it last read belongs to the
    // station the adapter was before.
    if (status.adapter && !status.apMode)
        status.link = m_dialog.controllers().status().monitor().values();
    return status;
}

bool UtilityCommands::StatusFresh()
{
    if (!m_dialog.api().IsOpen() || !m_dialog.StationModeStored() || m_dialog.modeStepPending())
        return true; // nothing to read
    if (m_dialog.monitorTimers().running())
        return true; // the page's ticks keep the readings current
    const auto readAt = m_dialog.controllers().status().monitor().readAt();
    return readAt && m_dialog.clock().TickCount() - *readAt < kStatusFreshMs;
}

void UtilityCommands::ReadStatus(std::function<void()> done)
{
    if (StatusFresh()) {
        done();
        return;
    }
    m_dialog.controllers().status().monitor().ReadNow(std::move(done));
}

void UtilityCommands::SetStatusObserver(std::function<void()> observer)
{
    m_dialog.controllers().status().monitor().SetValuesObserver(std::move(observer));
}

// --- what would have to wait ---

Refused UtilityCommands::Busy(Change change)
{
    if (m_dialog.modeStepPending())
        return Refuse("Busy", kModeSwitchBusyMessage);
    if (change == Change::Adapter && m_dialog.controllers().survey().scan().pending())
        return Refuse("Busy", kScanBusyMessage);
    if (change == Change::Profiles) {
        const int shown = m_dialog.page().pageId();
        for (const PageRoute& route : m_dialog.controllers().Routes())
            if (route.controller == &m_dialog.controllers().wizard() &&
                std::find(route.pageIds.begin(), route.pageIds.end(), shown) != route.pageIds.end())
                return Refuse("Busy", kWizardBusyMessage);
    }
    return std::nullopt;
}

Refused UtilityCommands::NeedsAdapter(bool apMode)
{
    if (!m_dialog.api().IsOpen())
        return Refuse("NoAdapter", kNoAdapterMessage);
    if (m_dialog.StationModeStored() == apMode)
        return Refuse("WrongMode", apMode ? kApOnlyMessage : kStationOnlyMessage);
    return std::nullopt;
}

// --- survey and join ---

Refused UtilityCommands::Scan(std::function<void()> done, std::function<void()> dropped)
{
    if (Refused refused = NeedsAdapter(false))
        return refused;
    m_dialog.controllers().survey().scan().Request(SurveyScan::kServiceOwner, std::move(done),
                                                   std::move(dropped));
    return std::nullopt;
}

bool UtilityCommands::ScanPending()
{
    return m_dialog.controllers().survey().scan().pending();
}

std::vector<ListedNetwork> UtilityCommands::Networks()
{
    std::vector<ListedNetwork> networks;
    const AdapterCalibration& calibration = m_dialog.discovery().Calibration();
    for (const SurveyEntry& entry : m_dialog.controllers().survey().scan().results())
        networks.push_back({ShowableName(entry.ssid), MacAddressText(entry.bssid),
                            ChannelFromFrequency(entry.frequencyKhz),
                            SignalPercent(entry.rssi, calibration), entry.rssi,
                            std::string(EncryptionLabel(entry.encryption)),
                            entry.infrastructureMode == 0});
    return networks;
}

bool UtilityCommands::Knows(std::string_view name)
{
    const auto& results = m_dialog.controllers().survey().scan().results();
    return std::any_of(results.begin(), results.end(),
                       [&](const SurveyEntry& e) { return ShowableName(e.ssid) == name; });
}

Refused UtilityCommands::CheckJoin(const JoinRequest& request)
{
    if (request.name.size() > kMaxSsidBytes)
        return Refuse("SsidTooLong", kSsidTooLongMessage);
    const bool secretGiven = !request.key.empty() || !request.passPhrase.empty();
    ProfileRecord scratch;
    switch (request.security) {
    case JoinSecurity::None:
        if (secretGiven)
            return Refuse("InvalidArgument",
                          "Ein Netzwerk ohne Sicherheit braucht keinen Schl\u00fcssel.");
        break;
    case JoinSecurity::WpaPsk:
    case JoinSecurity::WpaSae:
        if (!request.key.empty())
            return Refuse("InvalidArgument",
                          "WPA-PSK nimmt eine Passphrase, keinen WEP-Schl\u00fcssel.");
        return StorePskSelection(scratch, request.cipher, request.passPhrase);
    case JoinSecurity::WpaRadius:
        return Refuse("NotSupported", kRadiusJoinMessage);
    case JoinSecurity::Wep:
    case JoinSecurity::Any:
        break;
    }
    // A WEP key, or a pass phrase the user chose to make WEP keys of, is checked as the
    // pop-up's save checks it, whatever the network turns out to be.
    if (!request.key.empty() || request.security == JoinSecurity::Wep) {
        const TypedWep typed{request.key,
                             request.security == JoinSecurity::Wep ? request.passPhrase : "",
                             request.keyIndex, request.keySize, request.authentication};
        return StoreTypedWep(scratch, typed, m_dialog.controllers().passphraseKeys(),
                             kPopupPageSet);
    }
    return std::nullopt;
}

Refused UtilityCommands::Join(const JoinRequest& request, JoinDone done)
{
    if (Refused refused = CheckJoin(request))
        return refused;
    if (Refused refused = NeedsAdapter(false))
        return refused;
    // The cells of that name the request may mean.
    std::vector<const SurveyEntry*> cells;
    bool named = false;
    for (const SurveyEntry& e : m_dialog.controllers().survey().scan().results()) {
        if (ShowableName(e.ssid) != request.name)
            continue;
        named = true;
        if ((request.bssid.empty() || MacAddressText(e.bssid) == request.bssid) &&
            (request.security == JoinSecurity::Any || SecurityOf(e.encryption) == request.security))
            cells.push_back(&e);
    }
    if (!named)
        return Refuse("UnknownNetwork", "Das Netzwerk " + Quoted(request.name) +
                                            " wurde bei der Suche nicht gefunden.");
    if (cells.empty())
        return Refuse("UnknownNetwork",
                      "Das Netzwerk " + Quoted(request.name) + " wurde bei der Suche nicht mit " +
                          (request.bssid.empty() ? "dieser Sicherheit" : "dieser Adresse") +
                          " gefunden.");
    for (const SurveyEntry* e : cells)
        if (Refused refused = CheckJoinable(*e))
            return refused;
    // Of one name, cells that differ in security are different networks as far as the
    // secret goes (a WEP or open twin of a WPA network): the user says which.
    std::vector<std::string_view> securities;
    for (const SurveyEntry* e : cells)
        if (std::find(securities.begin(), securities.end(), EncryptionLabel(e->encryption)) ==
            securities.end())
            securities.push_back(EncryptionLabel(e->encryption));
    if (securities.size() > 1) {
        std::sort(securities.begin(), securities.end());
        std::string listed;
        for (std::string_view label : securities)
            listed += (listed.empty() ? "" : ", ") + std::string(label);
        return Refuse("AmbiguousNetwork",
                      "Unter dem Namen " + Quoted(request.name) +
                          " senden Netzwerke mit verschiedener Sicherheit (" + listed +
                          "). Bitte w\u00e4hlen Sie eines mit der Option \u201esecurity\u201c oder "
                          "\u201ebssid\u201c.");
    }
    // Of the cells left, the one heard best.
    const SurveyEntry* entry = *std::max_element(
        cells.begin(), cells.end(),
        [](const SurveyEntry* a, const SurveyEntry* b) { return a->rssi < b->rssi; });

    // What the security pop-up would have collected, checked as its save buttons check.
    ProfileRecord record = JoinRecord(*entry);
    const bool secretGiven = !request.key.empty() || !request.passPhrase.empty();
    switch (entry->encryption) {
    case SurveyEncryption::Open:
        if (secretGiven)
            return Refuse("InvalidArgument", "Das Netzwerk " + Quoted(request.name) +
                                                 " ist offen und braucht keinen "
                                                 "Schl\u00fcssel.");
        break;
    case SurveyEncryption::Wep: {
        // A pass phrase becomes WEP key material only when the user chose WEP: meant for
        // a WPA network, it would go to a WEP twin as keys that an offline attack on the
        // frames recovers the pass phrase from.
        if (!request.passPhrase.empty() && request.security != JoinSecurity::Wep)
            return Refuse("InvalidArgument",
                          "Das Netzwerk " + Quoted(request.name) +
                              " verwendet WEP. Eine Passphrase wird nur mit der Option "
                              "\u201esecurity wep\u201c zu WEP-Schl\u00fcsseln.");
        const TypedWep typed{request.key, request.passPhrase, request.keyIndex, request.keySize,
                             request.authentication};
        if (Refused refused = StoreTypedWep(record, typed, m_dialog.controllers().passphraseKeys(),
                                            kPopupPageSet))
            return refused;
        break;
    }
    case SurveyEncryption::WpaPsk:
    case SurveyEncryption::WpaSae: // joined with the pass phrase, as the window does
        if (!request.key.empty())
            return Refuse("InvalidArgument", "Das Netzwerk " + Quoted(request.name) +
                                                 " nimmt eine Passphrase, keinen "
                                                 "WEP-Schl\u00fcssel.");
        if (Refused refused = StorePskSelection(record, request.cipher, request.passPhrase))
            return refused;
        break;
    case SurveyEncryption::WpaRadius:
        return Refuse("NotSupported", kRadiusJoinMessage);
    }
    // Every argument was checked; the first question to the adapter comes now.
    if (Refused refused = m_dialog.discovery().ServiceConflict())
        return refused;
    const SurveyEntry joined = *entry;
    const ApplyFault fault = m_dialog.controllers().survey().join().Join(joined, std::move(record));
    if (Applied(fault))
        m_dialog.binding().SetText("TextProfileName", "");
    // A key the adapter refused is told though the network was joined, as the window
    // tells it.
    if (Refused refused = ApplyRefusal(fault))
        return refused;
    if (done) {
        // The adapter joins by name and picks a cell itself: any cell the request allows
        // is the one meant, another one (of another security, or not the address given)
        // is not.
        std::vector<std::string> bssids;
        for (const SurveyEntry* e : cells)
            if (e->encryption == joined.encryption)
                bssids.push_back(MacAddressText(e->bssid));
        WatchJoin(std::move(bssids), std::move(done));
    }
    return std::nullopt;
}

// The adapter joins by name: whether it is on the cell chosen shows only in its readings.
void UtilityCommands::WatchJoin(std::vector<std::string> bssids, JoinDone done)
{
    FinishJoin(Refusal{"Cancelled", std::string(kCancelledMessage)}); // an earlier one
    ++m_joinWatch;
    m_joinBssids = std::move(bssids);
    m_joinDone = std::move(done);
    m_joinStart = m_dialog.clock().TickCount();
    m_joinPoll.Start(kJoinPollMs, [this] { PollJoin(); });
}

void UtilityCommands::PollJoin()
{
    if (!m_dialog.api().IsOpen() || !m_dialog.StationModeStored() || m_dialog.modeStepPending())
        return FinishJoin(Refusal{"Cancelled", std::string(kCancelledMessage)});
    const int status = m_dialog.api().QueryWL_LinkStatus();
    if (status == kLinkAssociated || status == kLinkInCell) {
        std::array<std::uint8_t, kMacAddressBytes> bssid{};
        if (m_dialog.api().QueryWL_BSSID(bssid) == 0 &&
            std::find(m_joinBssids.begin(), m_joinBssids.end(), MacAddressText(bssid)) !=
                m_joinBssids.end()) {
            // Read once more first, so the status the caller reads next says what the
            // answer says. The reading's end may come after this object or this join is
            // gone.
            m_dialog.controllers().status().monitor().ReadNow(
                [this, alive = std::weak_ptr<int>(m_alive), watch = m_joinWatch] {
                    if (alive.lock() && watch == m_joinWatch)
                        FinishJoin(std::nullopt);
                });
            return;
        }
    }
    if (status == kLinkRefused)
        return FinishJoin(Refusal{"WrongKey", std::string(kWrongKeyMessage)});
    if (m_dialog.clock().TickCount() - m_joinStart >= kJoinDeadlineMs)
        return FinishJoin(Refusal{"NotJoined", std::string(kNotJoinedMessage)});
    m_joinPoll.Start(kJoinPollMs, [this] { PollJoin(); });
}

void UtilityCommands::FinishJoin(const Refused& outcome)
{
    m_joinPoll.Cancel();
    ++m_joinWatch;
    if (JoinDone done = std::exchange(m_joinDone, {}))
        done(outcome);
}

// --- profiles ---

Refused UtilityCommands::AddProfile(const ProfileRequest& request)
{
    if (Refused refused = m_profiles.Add(request))
        return refused;
    RefillPage(kProfilePageId, {});
    return std::nullopt;
}

Refused UtilityCommands::DeleteProfile(const std::string& name)
{
    if (Refused refused = m_profiles.Delete(name))
        return refused;
    RefillPage(kProfilePageId, {});
    return std::nullopt;
}

Refused UtilityCommands::ApplyProfile(const std::string& name)
{
    if (Refused refused = NeedsAdapter(false))
        return refused;
    const std::optional<ProfileEntry> profile = m_profiles.Find(name);
    if (!profile)
        return Refuse("UnknownProfile", kProfileMissingMessage);
    if (Refused refused = m_dialog.discovery().ServiceConflict())
        return refused;
    return ApplyRefusal(m_dialog.controllers().profiles().Connect(profile->record));
}

// --- the end ---

void UtilityCommands::EndProgram()
{
    m_dialog.EndProgram();
}

// --- mode ---

Refused UtilityCommands::SwitchMode(bool toAp, std::function<void(bool)> done)
{
    if (!m_dialog.api().IsOpen())
        return Refuse("NoAdapter", kNoAdapterMessage);
    return m_dialog.SwitchMode(toAp, std::move(done));
}

// --- access point ---

Refused UtilityCommands::ReadApStatus(std::function<void(const ApStatus&)> done)
{
    if (Refused refused = NeedsAdapter(true))
        return refused;
    m_apReads.push_back(std::move(done));
    if (m_apSettle.pending())
        return std::nullopt;
    m_apStatus = {};
    ReadApStatusFirst(m_dialog.api(), m_dialog.store(), m_apStatus);
    m_apSettle.Start(kApSettleMs, [this] {
        // The adapter went meanwhile: what was read is what there is.
        if (m_dialog.api().IsOpen())
            ReadApStatusRest(m_dialog.api(), m_dialog.store(), m_apStatus);
        for (const auto& read : std::exchange(m_apReads, {}))
            read(m_apStatus);
    });
    return std::nullopt;
}

ApSettings UtilityCommands::StoredApSettings()
{
    return ReadApSettingsInRange(m_dialog.store());
}

FilterList UtilityCommands::StoredFilterList()
{
    return ReadFilterListInRange(m_dialog.store());
}

Refused UtilityCommands::ChangeApSettings(const ApChange& change)
{
    if (Refused refused = NeedsAdapter(true))
        return refused;
    // From the stored settings, not from what the settings page shows unsaved.
    ApSettings settings = StoredApSettings();
    ApChoice choice{change.ssid.value_or(settings.SSID),
                    change.hideSsid.value_or(settings.HideSSID),
                    change.channel.value_or(settings.Channel),
                    change.outputPower.value_or(settings.OutputPower),
                    change.wep.value_or(settings.WEP),
                    change.authentication.value_or(settings.AuthenType),
                    change.keyIndex.value_or(settings.KeyInUse - 1)};
    // The page's key field and pass-phrase field, typed before the save.
    if (change.key)
        ApKey(settings, choice.keyIndex) = *change.key;
    if (change.passPhrase)
        m_dialog.controllers().passphraseKeys().ApplyToApSettings(settings, choice.wep,
                                                                  *change.passPhrase);
    FilterList filter = m_dialog.filterList();
    if (Refused refused =
            SaveApSettings(m_dialog.api(), m_dialog.store(), settings, choice, filter))
        return refused;
    m_dialog.apSettings() = settings;
    m_dialog.filterList() = filter;
    RefillPage(kApSettingsPageId, "ButtonCancelAPSet");
    return std::nullopt;
}

Refused
UtilityCommands::ChangeFilterList(std::int32_t type,
                                  const std::array<std::string, kFilterAddressCount>& addresses)
{
    if (Refused refused = NeedsAdapter(true))
        return refused;
    ApSettings settings;
    FilterList filter = StoredFilterList();
    if (Refused refused =
            SaveFilterList(m_dialog.api(), m_dialog.store(), settings, filter, type, addresses))
        return refused;
    m_dialog.apSettings() = settings;
    m_dialog.filterList() = filter;
    RefillPage(kApFilterPageId, "ButtonCancelAPFilter");
    return std::nullopt;
}

void UtilityCommands::RefillPage(int pageId, std::string_view cancelButton)
{
    if (m_dialog.page().pageId() != pageId)
        return;
    if (pageId == kProfilePageId) {
        m_dialog.profileList().ReloadProfileList();
        return;
    }
    if (const ElementHandler* cancel =
            m_dialog.pageMap().Find(pageId, cancelButton, ElementEvent::Click))
        (*cancel)();
}

} // namespace kesto
