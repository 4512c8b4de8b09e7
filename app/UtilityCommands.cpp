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

Refusal Refuse(std::string_view name, std::string_view message)
{
    return Refusal{name, std::string(message)};
}

} // namespace

UtilityCommands::UtilityCommands(MainDialog& dialog)
    : m_dialog(dialog),
      m_profiles(dialog.store(), dialog.profileList(), dialog.controllers().passphraseKeys()),
      m_apSettle(dialog.oneShots())
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

Refused UtilityCommands::Join(const JoinRequest& request)
{
    if (Refused refused = NeedsAdapter(false))
        return refused;
    if (Refused refused = m_dialog.discovery().ServiceConflict())
        return refused;
    // Of several cells of one name, the one heard best.
    const SurveyEntry* entry = nullptr;
    for (const SurveyEntry& e : m_dialog.controllers().survey().scan().results())
        if (ShowableName(e.ssid) == request.name && (!entry || e.rssi > entry->rssi))
            entry = &e;
    if (!entry && request.name.size() > kMaxSsidBytes)
        return Refuse("SsidTooLong", kSsidTooLongMessage);
    if (!entry)
        return Refuse("UnknownNetwork", "Das Netzwerk \u201e" + request.name +
                                            "\u201c wurde bei der Suche nicht gefunden.");
    if (Refused refused = CheckJoinable(*entry))
        return refused;

    // What the security pop-up would have collected, checked as its save buttons check.
    ProfileRecord record = JoinRecord(*entry);
    const bool secretGiven = !request.key.empty() || !request.passPhrase.empty();
    switch (entry->encryption) {
    case SurveyEncryption::Open:
        if (secretGiven)
            return Refuse("InvalidArgument", "Das Netzwerk \u201e" + request.name +
                                                 "\u201c ist offen und braucht keinen "
                                                 "Schl\u00fcssel.");
        break;
    case SurveyEncryption::Wep: {
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
            return Refuse("InvalidArgument", "Das Netzwerk \u201e" + request.name +
                                                 "\u201c nimmt eine Passphrase, keinen "
                                                 "WEP-Schl\u00fcssel.");
        if (Refused refused = StorePskSelection(record, request.cipher, request.passPhrase))
            return refused;
        break;
    case SurveyEncryption::WpaRadius:
        return Refuse("NotSupported", kRadiusJoinMessage);
    }
    const SurveyEntry joined = *entry;
    const ApplyFault fault = m_dialog.controllers().survey().join().Join(joined, std::move(record));
    if (Applied(fault))
        m_dialog.binding().SetText("TextProfileName", "");
    // A key the adapter refused is told though the network was joined, as the window
    // tells it.
    return ApplyRefusal(fault);
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
    if (Refused refused = m_dialog.discovery().ServiceConflict())
        return refused;
    const std::optional<ProfileEntry> profile = m_profiles.Find(name);
    if (!profile)
        return Refuse("UnknownProfile", kProfileMissingMessage);
    return ApplyRefusal(m_dialog.controllers().profiles().Connect(profile->record));
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
