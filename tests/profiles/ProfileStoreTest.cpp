// The persisted layout of profiles, AP settings and filter values, and the full-path
// primitives, against the real SQLite store.
#include "profiles/ProfileStore.h"
#include "registry/SqliteRegistry.h"
#include "tests/support/RecordingRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kesto {
namespace {

constexpr std::string_view kProduct =
    "Software\\Corvane Corporation\\Kesto USB Utility\\R-450\\1.00";
const std::string kOffice = std::string(kProduct) + "\\Profile\\Office";
const std::string kAp = std::string(kProduct) + "\\AP";

std::vector<std::string> Prefixed(const std::string& key, const std::vector<std::string>& names)
{
    std::vector<std::string> out;
    for (const auto& name : names)
        out.push_back(key + "|" + name);
    return out;
}

ProfileRecord DistinctRecord()
{
    ProfileRecord r;
    r.ProfileName = "Office";
    std::int32_t n = 100;
    for (auto* field :
         {&r.Channel, &r.TxRate, &r.NetworkType, &r.PSMode, &r.RTSCTSThreshold, &r.Preamble,
          &r.DataEncryption, &r.AuthenticationMode, &r.KeyLength, &r.KeyType, &r.KeyInUse,
          &r.RadiusType, &r.WirelessMode, &r.ValServerCertificate, &r.EncryptionType,
          &r.TTLSOrPeapSelection, &r.KeyMode})
        *field = n++;
    r.KeyMode = -7; // stored as its two's complement
    int t = 0;
    for (auto* field :
         {&r.Certificate, &r.Passphrase, &r.SSID, &r.NetWorkKey1, &r.NetWorkKey2, &r.NetWorkKey3,
          &r.NetWorkKey4, &r.LoginName, &r.Password, &r.SecurityProfileName})
        *field = "text" + std::to_string(t++) + " Grüße";
    return r;
}

class ProfileStoreTest : public testing::Test {
protected:
    SqliteRegistry registry{":memory:"};
    test::RecordingRegistry recorder{registry};
    ProfileStore store{recorder};
};

TEST_F(ProfileStoreTest, WholeProfileIsWrittenInTheStoredOrderAndSpelling)
{
    store.WriteProfile(DistinctRecord());
    EXPECT_EQ(recorder.sets, Prefixed(kOffice, {"Authentication Mode",
                                                "Channel",
                                                "DataEncryption",
                                                "WirelessMode",
                                                "KeyInUse",
                                                "KeyLength",
                                                "KeyType",
                                                "NetWorkKey1",
                                                "NetWorkKey2",
                                                "NetWorkKey3",
                                                "NetWorkKey4",
                                                "NetworkType",
                                                "Pramble",
                                                "PSMode",
                                                "RTSCTSThreshold",
                                                "SecurityProfileName",
                                                "SSID",
                                                "Password",
                                                "LoginName",
                                                "TxRate",
                                                "RadiusType",
                                                "Passphrase",
                                                "Certificate",
                                                "ValServerCertificate",
                                                "TTLSOrPeapSelection",
                                                "EncryptionType",
                                                "KeyMode"}));
    // The stored spelling is what a later reader of the store sees.
    const auto values = registry.Values(kOffice);
    ASSERT_EQ(values.size(), 27u);
    EXPECT_TRUE(registry.QueryValue(kOffice, "Pramble"));
    EXPECT_FALSE(registry.QueryValue(kOffice, "Preamble"));
    EXPECT_EQ(registry.QueryValue(kOffice, "Authentication Mode"),
              RegValue::Number(DistinctRecord().AuthenticationMode));
}

TEST_F(ProfileStoreTest, ProfileReadsBackWithTxRateReadAfterSsid)
{
    const ProfileRecord written = DistinctRecord();
    store.WriteProfile(written);
    const ProfileRecord read = store.ReadProfile("Office");

    ProfileRecord expected = written;
    expected.Spare1 = read.Spare1; // memory-only fields are not stored
    expected.WepSwitch = read.WepSwitch;
    expected.Spare2 = read.Spare2;
    EXPECT_EQ(read, expected);

    std::vector<std::string> names;
    for (const auto& q : recorder.queries)
        names.push_back(q.substr(q.find('|') + 1));
    const std::vector<std::string> order = {"Authentication Mode",
                                            "Channel",
                                            "DataEncryption",
                                            "WirelessMode",
                                            "KeyInUse",
                                            "KeyLength",
                                            "KeyType",
                                            "NetWorkKey1",
                                            "NetWorkKey2",
                                            "NetWorkKey3",
                                            "NetWorkKey4",
                                            "NetworkType",
                                            "Pramble",
                                            "PSMode",
                                            "RTSCTSThreshold",
                                            "SecurityProfileName",
                                            "SSID",
                                            "TxRate",
                                            "Password",
                                            "LoginName",
                                            "RadiusType",
                                            "Passphrase",
                                            "Certificate",
                                            "ValServerCertificate",
                                            "TTLSOrPeapSelection",
                                            "EncryptionType",
                                            "KeyMode",
                                            "ServerName",
                                            "SaeSeen"};
    EXPECT_EQ(names, order);
}

// The 802.1X server name and "SAE seen" are values of our own beside the layout's 27:
// written only while the record has them, so a profile without them stays as any
// installation writes it, and a profile from such a store reads back without them.
TEST_F(ProfileStoreTest, ValuesOfOurOwnAreStoredOnlyWhileSet)
{
    ProfileRecord record = DistinctRecord();
    record.ServerName = "radius.firma.example";
    record.SaeSeen = 1;
    store.WriteProfile(record);
    EXPECT_EQ(registry.Values(kOffice).size(), 29u);
    EXPECT_EQ(registry.QueryValue(kOffice, "ServerName"), RegValue::Text("radius.firma.example"));
    EXPECT_EQ(registry.QueryValue(kOffice, "SaeSeen"), RegValue::Number(1));
    EXPECT_EQ(store.ReadProfile("Office").ServerName, "radius.firma.example");
    EXPECT_EQ(store.ReadProfile("Office").SaeSeen, 1);

    // Any number but 0 that a .reg import left means seen.
    registry.SetValue(kOffice, "SaeSeen", RegValue::Number(0x100));
    EXPECT_EQ(store.ReadProfile("Office").SaeSeen, 1);
    registry.SetValue(kOffice, "SaeSeen", RegValue::Text("1"));
    EXPECT_EQ(store.ReadProfile("Office").SaeSeen, 0);

    record.ServerName.clear();
    record.SaeSeen = 0;
    store.WriteProfile(record);
    EXPECT_EQ(registry.Values(kOffice).size(), 27u);
    EXPECT_EQ(store.ReadProfile("Office").ServerName, "");
    EXPECT_EQ(store.ReadProfile("Office").SaeSeen, 0);
}

TEST_F(ProfileStoreTest, MissingProfileReadsAsMissingEverywhere)
{
    const ProfileRecord& r = store.ReadProfile("Nowhere");
    EXPECT_EQ(r.ProfileName, "Nowhere");
    for (auto n : {r.Channel, r.TxRate, r.AuthenticationMode, r.KeyMode, r.Preamble})
        EXPECT_EQ(n, 255);
    for (const auto* s : {&r.SSID, &r.NetWorkKey1, &r.Password, &r.SecurityProfileName})
        EXPECT_EQ(*s, "");
    EXPECT_FALSE(registry.KeyExists(std::string(kProduct) + "\\Profile\\Nowhere"));
}

TEST_F(ProfileStoreTest, WriteProfileUsesTheRecordsName)
{
    ProfileRecord record = DistinctRecord();
    record.ProfileName = "Home";
    store.WriteProfile(record);
    EXPECT_TRUE(registry.KeyExists(std::string(kProduct) + "\\Profile\\Home"));
    EXPECT_FALSE(registry.KeyExists(std::string(kProduct) + "\\Profile\\Office"));
}

struct NumberCase {
    const char* what;
    std::optional<RegValue> stored; // under an existing key; nullopt: value missing
    bool keyExists;
    std::int32_t expected;
};

TEST_F(ProfileStoreTest, ReadNumberCases)
{
    const NumberCase cases[] = {
        {"key missing", std::nullopt, false, 255},
        {"value missing", std::nullopt, true, 0},
        {"a number", RegValue::Number(42), true, 42},
        {"a negative number", RegValue::Number(0xFFFFFFFEu), true, -2},
        {"a text", RegValue::Text("1234"), true, 0},
        {"two bytes only", RegValue{RegType::Dword, {1, 2}}, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        registry.DeleteKey("K");
        if (c.keyExists)
            registry.CreateKey("K");
        if (c.stored)
            registry.SetValue("K", "V", *c.stored);
        EXPECT_EQ(store.ReadNumber("HKEY_LOCAL_MACHINE\\K\\V"), c.expected);
    }
}

TEST_F(ProfileStoreTest, NumbersAreFourLittleEndianBytesAndTextsHaveNoNul)
{
    store.WriteNumber("HKEY_LOCAL_MACHINE\\K\\N", 0x01020304);
    store.WriteNumber("HKEY_LOCAL_MACHINE\\K\\M", -1);
    store.WriteText("HKEY_LOCAL_MACHINE\\K\\T", "ab");
    EXPECT_EQ(registry.QueryValue("K", "N"), (RegValue{RegType::Dword, {4, 3, 2, 1}}));
    EXPECT_EQ(registry.QueryValue("K", "M"), (RegValue{RegType::Dword, {255, 255, 255, 255}}));
    EXPECT_EQ(registry.QueryValue("K", "T"), (RegValue{RegType::Sz, {'a', 'b'}}));
}

TEST_F(ProfileStoreTest, TextsReadBackWholeWhateverTheirLength)
{
    for (const std::size_t length : {0u, 1u, 79u, 80u, 81u, 4000u}) {
        const std::string text(length, 'c');
        store.WriteText("HKEY_LOCAL_MACHINE\\K\\T", text);
        EXPECT_EQ(store.ReadText("HKEY_LOCAL_MACHINE\\K\\T"), text) << length;
    }
    registry.SetValue("K", "Nul", RegValue{RegType::Sz, {'a', 0, 'b'}});
    EXPECT_EQ(store.ReadText("HKEY_LOCAL_MACHINE\\K\\Nul"), "a");
    EXPECT_EQ(store.ReadText("HKEY_LOCAL_MACHINE\\K\\Missing"), "");
    EXPECT_EQ(store.ReadText("HKEY_LOCAL_MACHINE\\Nokey\\T"), "");
}

struct SplitCase {
    const char* path;
    const char* key;
    const char* name;
};

TEST_F(ProfileStoreTest, FullPathsSplitIntoKeyAndValueName)
{
    const SplitCase cases[] = {
        {"HKEY_LOCAL_MACHINE\\Software\\X\\Val", "Software\\X", "Val"},
        {"HKEY_CURRENT_USER\\Software\\X\\Other", "Software\\X", "Other"}, // hive ignored
        {"HKEY_LOCAL_MACHINE\\Software\\X\\\\Double", "Software\\X", "Double"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\x\\Upper", "Software\\X", "Upper"},
        {"HKEY_LOCAL_MACHINE\\Software\\X\\", "Software\\X", ""}, // the default value
        {"HKEY_LOCAL_MACHINE\\Top", "", "Top"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        store.WriteText(c.path, c.path);
        EXPECT_EQ(registry.QueryValue(c.key, c.name), RegValue::Text(c.path));
        EXPECT_EQ(store.ReadText(c.path), c.path);
    }
    EXPECT_EQ(registry.SubKeys(""), std::vector<std::string>{"Software"});
    EXPECT_EQ(registry.SubKeys("software"), std::vector<std::string>{"X"});
}

TEST_F(ProfileStoreTest, DeletesAValueOrAProfileKeyWithEverythingBelow)
{
    ProfileRecord office = DistinctRecord();
    ProfileRecord home = office;
    home.ProfileName = "Home";
    store.WriteProfile(office);
    store.WriteProfile(home);
    registry.SetValue(kOffice + "\\Sub", "X", RegValue::Number(1));

    store.DeleteValue("HKEY_LOCAL_MACHINE\\" + kOffice + "\\SSID");
    EXPECT_FALSE(registry.QueryValue(kOffice, "SSID"));
    EXPECT_TRUE(registry.QueryValue(kOffice, "Channel"));

    store.DeleteProfileKey(std::string(kProfileRoot) + "office");
    EXPECT_FALSE(registry.KeyExists(kOffice));
    EXPECT_EQ(store.ReadNumber(std::string(kProfileRoot) + "Office\\Authentication Mode"), 255);
    EXPECT_EQ(store.ReadProfile("Home").SSID, home.SSID);
}

TEST_F(ProfileStoreTest, ApSettingsKeepTheirNamesOrderAndValues)
{
    ApSettings settings;
    settings.SSID = "Büro-AP";
    settings.HideSSID = 1;
    settings.Channel = 11;
    settings.OutputPower = 2;
    settings.WEP = 1;
    settings.AuthenType = 2;
    settings.KeyInUse = 3;
    settings.KeyLength = 2;
    settings.NetworkKey1 = "k1";
    settings.NetworkKey4 = "k4";
    store.WriteApSettings(settings);
    EXPECT_EQ(recorder.sets, Prefixed(kAp, {"SSID", "HideSSID", "Channel", "OutputPower", "WEP",
                                            "AuthenType", "KeyInUse", "KeyLength", "NetworkKey1",
                                            "NetworkKey2", "NetworkKey3", "NetworkKey4"}));
    EXPECT_EQ(store.ReadApSettings(), settings);
}

TEST_F(ProfileStoreTest, FilterAddressesAreValuesNextToFilterTypeNotASubkey)
{
    FilterList list;
    list.FilterType = 2;
    list.FilterAddress[0] = "00:11:22:33:44:55";
    list.FilterAddress[15] = "66:77:88:99:AA:BB";
    store.WriteFilterList(list);

    std::vector<std::string> expected = {"FilterType"};
    for (int i = 1; i <= 16; ++i)
        expected.push_back("FilterListFilterAddress" + std::to_string(i));
    EXPECT_EQ(recorder.sets, Prefixed(kAp, expected));
    EXPECT_TRUE(registry.SubKeys(kAp).empty());
    EXPECT_EQ(registry.Values(kAp).size(), 17u);
    EXPECT_EQ(store.ReadFilterList(), list);
}

} // namespace
} // namespace kesto
