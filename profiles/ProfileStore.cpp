// ProfileStore: full-path registry primitives and the persisted layout. The value names
// and their letter case ("Pramble", "Authentication Mode", "NetWorkKey1") are an
// external format shared with stores written by earlier installations.
#include "profiles/ProfileStore.h"

#include "base/Text.h"

#include <array>
#include <functional>

namespace kesto {

namespace {

// One stored value of a profile: either a number or a text field of the record.
struct ProfileValue {
    std::string_view name;
    std::int32_t ProfileRecord::*number;
    std::string ProfileRecord::*text;
};

constexpr ProfileValue Number(std::string_view name, std::int32_t ProfileRecord::*field)
{
    return {name, field, nullptr};
}

constexpr ProfileValue Text(std::string_view name, std::string ProfileRecord::*field)
{
    return {name, nullptr, field};
}

// The order in which a whole profile is written.
constexpr std::array kProfileValues = {
    Number("Authentication Mode", &ProfileRecord::AuthenticationMode),
    Number("Channel", &ProfileRecord::Channel),
    Number("DataEncryption", &ProfileRecord::DataEncryption),
    Number("WirelessMode", &ProfileRecord::WirelessMode),
    Number("KeyInUse", &ProfileRecord::KeyInUse),
    Number("KeyLength", &ProfileRecord::KeyLength),
    Number("KeyType", &ProfileRecord::KeyType),
    Text("NetWorkKey1", &ProfileRecord::NetWorkKey1),
    Text("NetWorkKey2", &ProfileRecord::NetWorkKey2),
    Text("NetWorkKey3", &ProfileRecord::NetWorkKey3),
    Text("NetWorkKey4", &ProfileRecord::NetWorkKey4),
    Number("NetworkType", &ProfileRecord::NetworkType),
    Number("Pramble", &ProfileRecord::Preamble),
    Number("PSMode", &ProfileRecord::PSMode),
    Number("RTSCTSThreshold", &ProfileRecord::RTSCTSThreshold),
    Text("SecurityProfileName", &ProfileRecord::SecurityProfileName),
    Text("SSID", &ProfileRecord::SSID),
    Text("Password", &ProfileRecord::Password),
    Text("LoginName", &ProfileRecord::LoginName),
    Number("TxRate", &ProfileRecord::TxRate),
    Number("RadiusType", &ProfileRecord::RadiusType),
    Text("Passphrase", &ProfileRecord::Passphrase),
    Text("Certificate", &ProfileRecord::Certificate),
    Number("ValServerCertificate", &ProfileRecord::ValServerCertificate),
    Number("TTLSOrPeapSelection", &ProfileRecord::TTLSOrPeapSelection),
    Number("EncryptionType", &ProfileRecord::EncryptionType),
    Number("KeyMode", &ProfileRecord::KeyMode),
};
static_assert(kProfileValues.size() == 27);

constexpr std::string_view kFilterTypeValue = "FilterType";
// Sixteen values directly under the AP key; "FilterList" is part of each name.
constexpr std::string_view kFilterAddressValue = "FilterListFilterAddress";

std::string ProfileKey(std::string_view name)
{
    return std::string(kProfileRoot) + std::string(name);
}

std::string FilterAddressPath(int index)
{
    return std::string(kApKey) + std::string(kFilterAddressValue) + std::to_string(index);
}

// Runs reads as one transaction, so a record is never read half before and half after
// another process's write, and the store is locked once rather than once per value.
// The reads still run when the store cannot start a transaction.
void ReadConsistently(Registry& registry, const std::function<void()>& reads)
{
    bool ran = false;
    registry.RunInTransaction([&] {
        ran = true;
        reads();
    });
    if (!ran)
        reads();
}

} // namespace

ProfileStore::ProfileStore(Registry& registry) : RegistryPaths(registry) {}

std::string ProfileStore::ReadWholeText(std::string_view path)
{
    const auto [keyPath, name] = SplitHivePath(path);
    const auto value = m_registry.QueryValue(keyPath, name);
    if (!value || value->type != RegType::Sz)
        return {};
    return {value->data.begin(), value->data.end()};
}

std::int32_t ProfileStore::ReadFlag(std::string_view path)
{
    const auto [keyPath, name] = SplitHivePath(path);
    const auto value = m_registry.QueryValue(keyPath, name);
    if (!value || value->type != RegType::Dword)
        return 0;
    for (const std::uint8_t byte : value->data)
        if (byte != 0)
            return 1;
    return 0;
}

bool ProfileStore::ProfileExists(std::string_view name)
{
    if (name.find_first_not_of('\\') == std::string_view::npos)
        return false;
    std::string probe(kProfileRoot);
    probe += name;
    probe += "\\Authentication Mode";
    return ReadNumber(probe) != 255;
}

ProfileRecord ProfileStore::ReadProfile(std::string_view name)
{
    ProfileRecord record;
    const std::string key = ProfileKey(name);
    auto read = [&](const ProfileValue& value) {
        const std::string path = key + "\\" + std::string(value.name);
        if (value.number)
            record.*value.number = ReadNumber(path);
        else if (value.text == &ProfileRecord::SSID)
            record.SSID = ReadWholeText(path);
        else
            record.*value.text = ReadText(path);
    };
    // Same values as a write, but the transmit rate is read right after the SSID.
    const ProfileValue* txRate = nullptr;
    for (const auto& value : kProfileValues)
        if (value.number == &ProfileRecord::TxRate)
            txRate = &value;
    ReadConsistently(m_registry, [&] {
        for (const auto& value : kProfileValues) {
            if (&value == txRate)
                continue;
            read(value);
            if (value.text == &ProfileRecord::SSID)
                read(*txRate);
        }
        record.ServerName = ReadText(key + "\\" + std::string(kServerNameValue));
        record.SaeSeen = ReadFlag(key + "\\" + std::string(kSaeSeenValue));
    });
    record.ProfileName = std::string(name);
    return record;
}

void ProfileStore::WriteProfile(const ProfileRecord& record)
{
    const std::string key = ProfileKey(record.ProfileName);
    // One transaction: a writer that dies halfway leaves the old profile whole.
    m_registry.RunInTransaction([&] {
        for (const auto& value : kProfileValues) {
            const std::string path = key + "\\" + std::string(value.name);
            if (value.number)
                WriteNumber(path, record.*value.number);
            else
                WriteText(path, record.*value.text);
        }
        const std::string serverName = key + "\\" + std::string(kServerNameValue);
        if (record.ServerName.empty())
            DeleteValue(serverName);
        else
            WriteText(serverName, record.ServerName);
        const std::string saeSeen = key + "\\" + std::string(kSaeSeenValue);
        if (record.SaeSeen == 0)
            DeleteValue(saeSeen);
        else
            WriteNumber(saeSeen, 1);
    });
}

ApSettings ProfileStore::ReadApSettings()
{
    const std::string key(kApKey);
    ApSettings settings;
    ReadConsistently(m_registry, [&] {
        settings.SSID = ReadText(key + "SSID");
        settings.HideSSID = ReadNumber(key + "HideSSID");
        settings.Channel = ReadNumber(key + "Channel");
        settings.OutputPower = ReadNumber(key + "OutputPower");
        settings.WEP = ReadNumber(key + "WEP");
        settings.AuthenType = ReadNumber(key + "AuthenType");
        settings.KeyInUse = ReadNumber(key + "KeyInUse");
        settings.KeyLength = ReadNumber(key + "KeyLength");
        settings.NetworkKey1 = ReadText(key + "NetworkKey1");
        settings.NetworkKey2 = ReadText(key + "NetworkKey2");
        settings.NetworkKey3 = ReadText(key + "NetworkKey3");
        settings.NetworkKey4 = ReadText(key + "NetworkKey4");
    });
    return settings;
}

void ProfileStore::WriteApSettings(const ApSettings& settings)
{
    const std::string key(kApKey);
    m_registry.RunInTransaction([&] {
        WriteText(key + "SSID", settings.SSID);
        WriteNumber(key + "HideSSID", settings.HideSSID);
        WriteNumber(key + "Channel", settings.Channel);
        WriteNumber(key + "OutputPower", settings.OutputPower);
        WriteNumber(key + "WEP", settings.WEP);
        WriteNumber(key + "AuthenType", settings.AuthenType);
        WriteNumber(key + "KeyInUse", settings.KeyInUse);
        WriteNumber(key + "KeyLength", settings.KeyLength);
        WriteText(key + "NetworkKey1", settings.NetworkKey1);
        WriteText(key + "NetworkKey2", settings.NetworkKey2);
        WriteText(key + "NetworkKey3", settings.NetworkKey3);
        WriteText(key + "NetworkKey4", settings.NetworkKey4);
    });
}

FilterList ProfileStore::ReadFilterList()
{
    FilterList list;
    ReadConsistently(m_registry, [&] {
        list.FilterType = ReadNumber(std::string(kApKey) + std::string(kFilterTypeValue));
        for (int i = 0; i < kFilterAddressCount; ++i)
            list.FilterAddress[static_cast<std::size_t>(i)] = ReadText(FilterAddressPath(i + 1));
    });
    return list;
}

void ProfileStore::WriteFilterList(const FilterList& list)
{
    m_registry.RunInTransaction([&] {
        WriteNumber(std::string(kApKey) + std::string(kFilterTypeValue), list.FilterType);
        for (int i = 0; i < kFilterAddressCount; ++i)
            WriteText(FilterAddressPath(i + 1), list.FilterAddress[static_cast<std::size_t>(i)]);
    });
}

} // namespace kesto
