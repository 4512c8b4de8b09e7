// Applying profiles to the real simulated adapter: the exact call sequences, the
// driver-key records, the service steps, the default link, and real association.
#include "apply/ProfileApply.h"
#include "profiles/ProfileList.h"
#include "profiles/SecretScrambler.h"
#include "tests/support/SimulatedWorld.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kesto {
namespace {

using Json = nlohmann::json;
using test::Signatures;

const std::string kAllRates = "02040B0C121618243048606C00000000";

class ProfileApplyTest : public testing::Test {
protected:
    explicit ProfileApplyTest(const test::ScenarioEdit& edit = {}) : world(edit) {}

    void SetUp() override
    {
        ASSERT_TRUE(world.StartWithShippedIni());
        list.CreateFirstRunStore();
        world.library.clearCalls();
    }

    std::optional<RegValue> Driver(const std::string& name)
    {
        return world.Value(world.discovery.SelectedAdapterKey() + "\\" + name);
    }
    std::optional<RegValue> Product(const std::string& name)
    {
        return world.Value(ProductValuePath(name));
    }

    ProfileRecord Named(const std::string& name)
    {
        ProfileRecord r;
        r.ProfileName = name;
        r.SSID = "Cafe-Lindenhof";
        return r;
    }

    test::SimulatedWorld world;
    ProfileList list{world.store, world.work, world.dialogs, test::kCaption};
    ProfileApplier applier{world.api, world.store, world.work, world.discovery};
};

// The calls of ApplyToAdapter for an open infrastructure profile with default settings.
std::vector<std::string> OpenProfileCalls(const std::string& ssid)
{
    return {"QueryWL_IsWindows95()",
            "SetWL_SSID(" + ssid + ")",
            "QueryWL_NetworkType()",
            "SetWL_NetworkType(1)",
            "SetWL_DesiredRate(" + kAllRates + ")",
            "SetWL_PSMode(0)",
            "SetWL_AuthenticationMode(0)",
            "SetWL_WEPStatus(1)",
            "SetWL_PreambleMode(2)"};
}

struct AdapterCase {
    const char* name;
    std::function<void(ProfileRecord&)> edit;
    std::vector<std::string> calls;
    // Driver-key values that must hold afterwards; nullopt = must be absent.
    std::vector<std::pair<std::string, std::optional<RegValue>>> driver;
    ApplyFault fault = ApplyFault::None;
};

void PrintTo(const AdapterCase& c, std::ostream* os)
{
    *os << c.name;
}

class ApplyToAdapter : public ProfileApplyTest, public testing::WithParamInterface<AdapterCase> {};

TEST_P(ApplyToAdapter, CallsAndDriverRecords)
{
    const AdapterCase& c = GetParam();
    ProfileRecord record = Named("Office");
    c.edit(record);
    EXPECT_EQ(applier.ApplyToAdapter(record), c.fault);

    EXPECT_EQ(Signatures(world.library.calls()), c.calls);
    for (const auto& [name, value] : c.driver)
        EXPECT_EQ(Driver(name), value) << name;
}

RegValue N(std::uint32_t n)
{
    return RegValue::Number(n);
}
RegValue T(const char* t)
{
    return RegValue::Text(t);
}

std::vector<std::string> Replace(std::vector<std::string> calls, std::size_t at,
                                 std::vector<std::string> with, std::size_t count = 1)
{
    calls.erase(calls.begin() + static_cast<std::ptrdiff_t>(at),
                calls.begin() + static_cast<std::ptrdiff_t>(at + count));
    calls.insert(calls.begin() + static_cast<std::ptrdiff_t>(at), with.begin(), with.end());
    return calls;
}

const std::vector<std::string> kOpen = OpenProfileCalls("Cafe-Lindenhof");

// WEP security with key kind `key` in slot keyInUse.
std::function<void(ProfileRecord&)> Wep(int keyInUse, const std::string& key, int keyLength = 2)
{
    return [=](ProfileRecord& r) {
        r.AuthenticationMode = 1;
        r.DataEncryption = 1;
        r.KeyLength = keyLength;
        r.KeyInUse = keyInUse;
        r.NetWorkKey1 = "k1k1k";
        r.NetWorkKey2 = "k2k2k";
        r.NetWorkKey3 = "k3k3k";
        r.NetWorkKey4 = "k4k4k";
        std::string* const keys[] = {&r.NetWorkKey1, &r.NetWorkKey2, &r.NetWorkKey3,
                                     &r.NetWorkKey4};
        *keys[keyInUse - 1] = key;
    };
}

std::vector<std::string> WepCalls(std::vector<std::string> keyCall)
{
    std::vector<std::string> security{"SetWL_AuthenticationMode(1)", "SetWL_WEPStatus(0)"};
    security.insert(security.end(), keyCall.begin(), keyCall.end());
    return Replace(kOpen, 6, security, 2);
}

const std::string k26 = "0123456789abcdefABCDEF0123";

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplyToAdapter,
    testing::Values(
        AdapterCase{"OpenInfrastructure",
                    [](ProfileRecord&) {},
                    kOpen,
                    {{"NetworkType", N(1)},
                     {"TxRate", N(0)},
                     {"PSMode", N(0)},
                     {"Preamble", T("2")},
                     {"IBSS_G_Mode", std::nullopt},
                     {"IBSS_PureG_Mode", std::nullopt}}},
        AdapterCase{
            "SsidTrimmed", [](ProfileRecord& r) { r.SSID = " \tCafe-Lindenhof  "; }, kOpen, {}},
        // The store's "any network": an open or WEP profile without a name asks for it.
        AdapterCase{"EmptyNameIsAnyNetwork",
                    [](ProfileRecord& r) { r.SSID.clear(); },
                    OpenProfileCalls(""),
                    {{"NetworkType", N(1)}}},
        AdapterCase{"BlankNameIsAnyNetwork",
                    [](ProfileRecord& r) { r.SSID = " \t "; },
                    OpenProfileCalls(""),
                    {}},
        // The adapter refuses a name over 32 bytes: the rest would go to the network it
        // is on.
        AdapterCase{"NameRefusedStopsTheApply",
                    [](ProfileRecord& r) { r.SSID = std::string(33, 'N'); },
                    {"QueryWL_IsWindows95()", "SetWL_SSID(" + std::string(33, 'N') + ")"},
                    {{"NetworkType", std::nullopt}, {"TxRate", std::nullopt}},
                    ApplyFault::NameRefused},
        AdapterCase{
            "RateAndSavingRecorded",
            [](ProfileRecord& r) {
                r.TxRate = 10;
                r.PSMode = 1;
                r.Preamble = 1;
            },
            Replace(Replace(Replace(kOpen, 4,
                                    {"SetWL_DesiredRate(0B000000000000000000000000000000)"}),
                            5, {"SetWL_PSMode(1)"}),
                    8, {"SetWL_PreambleMode(1)"}),
            {{"TxRate", N(10)}, {"PSMode", N(1)}, {"Preamble", T("1")}}},
        AdapterCase{
            "RefusedSettingsNotRecorded",
            [](ProfileRecord& r) {
                r.NetworkType = 7;
                r.PSMode = 5;
                r.Preamble = 9;
            },
            Replace(Replace(Replace(kOpen, 3, {"SetWL_NetworkType(7)"}), 5, {"SetWL_PSMode(5)"}), 8,
                    {"SetWL_PreambleMode(9)"}),
            {{"NetworkType", std::nullopt},
             {"PSMode", std::nullopt},
             {"Preamble", std::nullopt},
             {"IBSS_G_Mode", std::nullopt},
             {"TxRate", N(0)}}},
        AdapterCase{"AdHocMixed",
                    [](ProfileRecord& r) {
                        r.NetworkType = 0;
                        r.WirelessMode = 0;
                    },
                    Replace(kOpen, 3, {"SetWL_NetworkType(0)"}),
                    {{"NetworkType", N(0)}, {"IBSS_G_Mode", T("1")}, {"IBSS_PureG_Mode", T("1")}}},
        AdapterCase{"AdHocGOnly",
                    [](ProfileRecord& r) {
                        r.NetworkType = 0;
                        r.WirelessMode = 1;
                    },
                    Replace(kOpen, 3, {"SetWL_NetworkType(0)"}),
                    {{"IBSS_G_Mode", T("0")}, {"IBSS_PureG_Mode", T("1")}}},
        AdapterCase{"AdHocBOnly",
                    [](ProfileRecord& r) {
                        r.NetworkType = 0;
                        r.WirelessMode = 2;
                    },
                    Replace(kOpen, 3, {"SetWL_NetworkType(0)"}),
                    {{"IBSS_G_Mode", T("0")}, {"IBSS_PureG_Mode", T("0")}}},
        AdapterCase{"AdHocUnknownModeWritesNothing",
                    [](ProfileRecord& r) {
                        r.NetworkType = 0;
                        r.WirelessMode = 3;
                    },
                    Replace(kOpen, 3, {"SetWL_NetworkType(0)"}),
                    {{"NetworkType", N(0)},
                     {"IBSS_G_Mode", std::nullopt},
                     {"IBSS_PureG_Mode", std::nullopt}}},
        AdapterCase{"KeyLengthZeroSwitchesEncryptionOff",
                    [](ProfileRecord& r) {
                        Wep(1, "Hallo")(r);
                        r.KeyLength = 0;
                    },
                    kOpen,
                    {}},
        AdapterCase{"KeyInUse3Hex26",
                    Wep(3, k26),
                    WepCalls({"SetWL_WriteKey(2, 1, 1, 0123456789ABCDEFABCDEF0123" +
                              std::string(26, '0') + ")"}),
                    {}},
        AdapterCase{"FiveCharacters",
                    Wep(1, "Hallo", 1),
                    WepCalls({"SetWL_WriteKey(0, 0, 1, 48616C6C6F)"}),
                    {}},
        AdapterCase{"TenHexDigitsTrimmed",
                    Wep(2, " 1A2B3C4D5E\t", 1),
                    WepCalls({"SetWL_WriteKey(1, 0, 1, 1A2B3C4D5E0000000000)"}),
                    {}},
        AdapterCase{"ThirteenCharacters",
                    Wep(4, "abcdefghijklm"),
                    WepCalls({"SetWL_WriteKey(3, 1, 1, 6162636465666768696A6B6C6D)"}),
                    {}},
        AdapterCase{"TwelveCharactersNoKey", Wep(1, "abcdefghijkl"), WepCalls({}), {}},
        AdapterCase{"TenNonHexNoKey", Wep(1, "abcdefghij", 1), WepCalls({}), {}},
        AdapterCase{"KeyInUseOutOfRangeNoKey",
                    [](ProfileRecord& r) {
                        Wep(1, "Hallo")(r);
                        r.KeyInUse = 5;
                    },
                    WepCalls({}),
                    {}},
        AdapterCase{"WepSwitchOffLeavesWepStatus",
                    [](ProfileRecord& r) {
                        Wep(1, "Hallo")(r);
                        r.WepSwitch = 0;
                    },
                    Replace(kOpen, 6,
                            {"SetWL_AuthenticationMode(1)", "SetWL_WriteKey(0, 0, 1, 48616C6C6F)"},
                            2),
                    {}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(ProfileApplyTest, DefaultLinkFollowsTheAppliedProfile)
{
    list.AddProfile(Named("A"));
    list.AddProfile(Named("B"));
    // Link 4 is counted but missing: a nameless record must not take it as its link.
    world.store.WriteText(ProductValuePath("ProfileLinkNumber"), " 4");

    struct Case {
        const char* profile;
        const char* defaultAfter;
    };
    const Case cases[] = {{"B", "3"}, {"Survey", "3"}, {"", "3"}, {"Default", "1"}, {"A", "2"}};
    for (const Case& c : cases) {
        applier.ApplyProfileRecord(Named(c.profile));
        EXPECT_EQ(Product("DefaultProfileLink"), T(c.defaultAfter)) << c.profile;
        EXPECT_EQ(world.work.ActiveProfileName, c.profile);
    }
}

TEST_F(ProfileApplyTest, DefaultLinkWithoutProfileAppliesNothing)
{
    // Link 3 is beyond the list, link 2 names a profile whose key is gone.
    world.store.WriteText(ProfileLinkPath(2), "Gone");
    world.store.WriteText(ProductValuePath("ProfileLinkNumber"), " 2");
    for (const char* link : {"3", "2"}) {
        world.store.WriteText(ProductValuePath("DefaultProfileLink"), link);
        world.work.CurrentProfile = Named("Default");
        world.work.ActiveProfileName = "Default";
        world.library.clearCalls();

        applier.ApplyDefaultProfile();

        EXPECT_EQ(Signatures(world.library.calls()),
                  std::vector<std::string>{"SetWL_OperationMode_STA_AP(0)"})
            << link;
        EXPECT_EQ(world.work.CurrentProfile, Named("Default")) << link;
        EXPECT_EQ(world.work.ActiveProfileName, "") << link;
        EXPECT_FALSE(world.registry.KeyExists(
            "Software\\Corvane Corporation\\Kesto USB Utility\\R-450\\1.00\\Profile\\Gone"));
        EXPECT_EQ(Product("DefaultProfileLink"), T(link));
    }
}

TEST_F(ProfileApplyTest, ProfileBAtLinkTwoBecomesDefault)
{
    world.store.WriteText(ProfileLinkPath(1), "A");
    world.store.WriteText(ProductValuePath("ProfileLinkNumber"), " 1");
    list.AddProfile(Named("B"));
    applier.ApplyProfileRecord(Named("B"));
    EXPECT_EQ(Product("DefaultProfileLink"), T("2"));
    EXPECT_EQ(world.work.DefaultLinkNumber, 2);
}

TEST_F(ProfileApplyTest, WpaProfilesReachTheAdapterThroughItsWpaCall)
{
    for (const int mode : {2, 3, 4}) {
        ProfileRecord wpa = Named("Wpa" + std::to_string(mode));
        wpa.AuthenticationMode = mode;
        wpa.EncryptionType = 1;
        wpa.Passphrase = ScrambleSecret("geheim-123");
        wpa.RadiusType = 4;
        wpa.TTLSOrPeapSelection = 2;
        wpa.LoginName = "anna";
        wpa.Password = ScrambleSecret("pw-anna");
        wpa.ServerName = "radius.example.org";
        list.AddProfile(wpa);
        world.store.WriteText(ProductValuePath("Mode"), "AP Mode");

        for (const bool byName : {false, true}) {
            SCOPED_TRACE(std::to_string(mode) + (byName ? " by name" : " by record"));
            world.library.clearCalls();
            world.work.ActiveProfileName.clear();
            if (byName)
                applier.ApplyProfileByName(wpa.ProfileName);
            else
                applier.ApplyProfileRecord(wpa);
            const auto calls = Signatures(world.library.calls());
            const std::string wpaCall = "SetWL_WPA(" + std::to_string(mode) + ", 1, 4)";
            EXPECT_NE(std::find(calls.begin(), calls.end(), wpaCall), calls.end());
            // The 802.11 security setters would end the WPA join.
            for (const auto& call : calls) {
                EXPECT_FALSE(call.starts_with("SetWL_AuthenticationMode")) << call;
                EXPECT_FALSE(call.starts_with("SetWL_WEPStatus")) << call;
            }
            const auto* held = world.library.adapterSettings("0007");
            ASSERT_TRUE(held && held->wpa);
            EXPECT_EQ(held->wpa->passphrase, "geheim-123");
            EXPECT_EQ(held->wpa->password, "pw-anna");
            EXPECT_EQ(held->wpa->identity, "anna");
            EXPECT_EQ(held->wpa->serverName, "radius.example.org");
            EXPECT_EQ(Product("Mode"), T("Station Mode"));
            EXPECT_EQ(world.work.ActiveProfileName, wpa.ProfileName);
        }
    }
}

// The WPA call carries what the record shows: every nonzero ValServerCertificate is the
// check on, a network once seen offering SAE alone is offered SAE alone, and an EAP-TLS
// certificate of the user's own goes as its path.
TEST_F(ProfileApplyTest, WpaCallCarriesTheServerCheckSaeAndTheCertificate)
{
    struct Case {
        std::int32_t validate;
        std::int32_t saeSeen;
        int radiusType;
        bool validateServer;
        bool saeOnly;
    };
    const Case cases[] = {{1, 0, 4, true, false},
                          {2, 0, 4, true, false},
                          {-1, 1, 2, true, true},
                          {0, 1, 4, false, true},
                          {1, 0, 1, true, false}};
    applier.SetFileProbe([](const std::string&) { return FileFacts{true, true, true}; });
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.validate) + " " + std::to_string(c.radiusType));
        ProfileRecord r = Named("Wpa");
        r.AuthenticationMode = c.saeSeen != 0 ? 2 : 3;
        r.Passphrase = ScrambleSecret("geheim-123");
        r.RadiusType = c.radiusType;
        r.LoginName = "anna";
        r.ServerName = "radius.example.org";
        r.Certificate = "/home/anna/client.pem";
        r.ValServerCertificate = c.validate;
        r.SaeSeen = c.saeSeen;
        ASSERT_EQ(applier.ApplyProfileRecord(r), ApplyFault::None);
        const auto* held = world.library.adapterSettings("0007");
        ASSERT_TRUE(held && held->wpa);
        EXPECT_EQ(held->wpa->validateServer, c.validateServer);
        EXPECT_EQ(held->wpa->saeOnly, c.saeOnly);
        EXPECT_EQ(held->wpa->certificate, "/home/anna/client.pem");
    }
}

// What the applier refuses before anything changes: the adapter hears nothing, the store
// and the active profile stay, by record and by name alike (a profile by name still
// becomes the current one, the utility's profile, but reaches neither the service nor the
// adapter).
struct RefusalCase {
    const char* name;
    std::function<void(ProfileRecord&)> edit;
    ApplyFault fault;
    // What the file system says about the EAP-TLS certificate.
    FileFacts certificate = {true, true, true};
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.name;
}

class JoinRefused : public ProfileApplyTest, public testing::WithParamInterface<RefusalCase> {};

std::function<void(ProfileRecord&)> Radius(int method, const char* serverName)
{
    return [=](ProfileRecord& r) {
        r.AuthenticationMode = 3;
        r.RadiusType = method;
        r.LoginName = "anna";
        r.Password = ScrambleSecret("pw-anna");
        r.ValServerCertificate = 1;
        r.ServerName = serverName;
    };
}

TEST_P(JoinRefused, BeforeAnythingChanges)
{
    ProfileRecord record = Named("Refused");
    GetParam().edit(record);
    const FileProbe probe = [&](const std::string& path) {
        EXPECT_EQ(path, record.Certificate);
        return GetParam().certificate;
    };
    applier.SetFileProbe(probe);
    EXPECT_EQ(JoinRefusal(record, probe), GetParam().fault);
    list.AddProfile(record);
    world.store.WriteText(ProductValuePath("Mode"), "AP Mode");
    world.work.ActiveProfileName = "Default";
    world.library.clearCalls();

    EXPECT_EQ(applier.ApplyProfileRecord(record), GetParam().fault);
    EXPECT_EQ(applier.ApplyToAdapter(record), GetParam().fault);
    EXPECT_TRUE(world.library.calls().empty())
        << testing::PrintToString(Signatures(world.library.calls()));
    EXPECT_EQ(world.work.ActiveProfileName, "Default");
    EXPECT_EQ(Product("Mode"), T("AP Mode"));
    EXPECT_EQ(Product("DefaultProfileLink"), T("1"));
    EXPECT_FALSE(Driver("NetworkType"));

    world.library.clearCalls();
    EXPECT_EQ(applier.ApplyProfileByName("Refused"), GetParam().fault);
    EXPECT_TRUE(world.library.calls().empty()) << "not even the service is asked";
    EXPECT_EQ(world.work.ActiveProfileName, "Refused");
    EXPECT_EQ(world.work.CurrentProfile.SSID, record.SSID);
    EXPECT_EQ(Product("DefaultProfileLink"), T("1"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JoinRefused,
    testing::Values(
        RefusalCase{"NameWithAZeroByte",
                    [](ProfileRecord& r) { r.SSID = std::string("Cafe\0Lindenhof", 14); },
                    ApplyFault::NoNetworkName},
        // WPA needs the name: only open and WEP profiles ask for "any network".
        RefusalCase{"WpaPskWithoutAName",
                    [](ProfileRecord& r) {
                        r.SSID.clear();
                        r.AuthenticationMode = 2;
                        r.Passphrase = ScrambleSecret("geheim-123");
                    },
                    ApplyFault::WpaNeedsName},
        RefusalCase{"RadiusWithABlankName",
                    [](ProfileRecord& r) {
                        Radius(4, "radius.example.org")(r);
                        r.SSID = " \t ";
                    },
                    ApplyFault::WpaNeedsName},
        RefusalCase{"ServerValidatedWithoutItsName", Radius(4, ""), ApplyFault::NoServerName},
        RefusalCase{"ServerNameNotADnsName", Radius(2, "radius firma"), ApplyFault::NoServerName},
        // Every nonzero value shows the check on: it is applied on.
        RefusalCase{"ServerCheckStoredAs2WithoutItsName",
                    [](ProfileRecord& r) {
                        Radius(4, "")(r);
                        r.ValServerCertificate = 2;
                    },
                    ApplyFault::NoServerName},
        RefusalCase{"ServerCheckStoredAsMinus1WithoutItsName",
                    [](ProfileRecord& r) {
                        Radius(2, "")(r);
                        r.ValServerCertificate = -1;
                    },
                    ApplyFault::NoServerName},
        RefusalCase{"ServerNameOfOneLabel", Radius(4, "de"), ApplyFault::NoServerName},
        RefusalCase{"TlsWithoutACertificate", Radius(1, "radius.example.org"),
                    ApplyFault::CertificateUnusable},
        RefusalCase{"TlsCertificateOfAnotherUser",
                    [](ProfileRecord& r) {
                        Radius(1, "radius.example.org")(r);
                        r.Certificate = "/home/anna/client.pem";
                    },
                    ApplyFault::CertificateUnusable, FileFacts{true, false, true}},
        RefusalCase{"TlsCertificateUnreadable",
                    [](ProfileRecord& r) {
                        Radius(1, "radius.example.org")(r);
                        r.Certificate = "/home/anna/client.pem";
                    },
                    ApplyFault::CertificateUnusable, FileFacts{true, true, false}},
        RefusalCase{"TlsCertificateADevice",
                    [](ProfileRecord& r) {
                        Radius(1, "radius.example.org")(r);
                        r.Certificate = "/dev/zero";
                    },
                    ApplyFault::CertificateUnusable, FileFacts{false, true, true}},
        RefusalCase{"TlsCertificateRelative",
                    [](ProfileRecord& r) {
                        Radius(1, "radius.example.org")(r);
                        r.Certificate = "client.pem";
                    },
                    ApplyFault::CertificateUnusable},
        RefusalCase{"PassPhraseTooShort",
                    [](ProfileRecord& r) {
                        r.AuthenticationMode = 2;
                        r.Passphrase = ScrambleSecret("kurz");
                    },
                    ApplyFault::PassphraseUnusable},
        RefusalCase{"Md5MakesNoWpaKeys", Radius(3, ""), ApplyFault::SecurityUnusable}),
    [](const auto& p) { return std::string(p.param.name); });

// An open network of the survey joins by the bytes of its name; one the adapter cannot
// take stops the join before anything else is set or recorded.
TEST_F(ProfileApplyTest, SurveyNetworksJoinByTheirNameOrNotAtAll)
{
    struct Case {
        std::string ssid;
        ApplyFault fault;
        std::vector<std::string> setters;
    };
    const Case cases[] = {
        {"Bahnhof-Kiosk",
         ApplyFault::None,
         {"SetWL_SSID(Bahnhof-Kiosk)", "SetWL_DesiredRate(" + kAllRates + ")",
          "SetWL_NetworkType(1)", "SetWL_AuthenticationMode(0)", "SetWL_WEPStatus(1)",
          "SetWL_PreambleMode(3)"}},
        {std::string(8, '\0'), ApplyFault::NoNetworkName, {}},
        {std::string("ab\0cd", 5), ApplyFault::NoNetworkName, {}},
        {std::string(33, 'N'),
         ApplyFault::NameRefused,
         {"SetWL_SSID(" + std::string(33, 'N') + ")"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.ssid));
        world.library.clearCalls();
        world.store.DeleteValue(world.discovery.SelectedAdapterKey() + "\\SSID");
        EXPECT_EQ(applier.ApplySurveyNetwork({c.ssid, 14, 1, 0}), c.fault);
        std::vector<std::string> setters;
        for (const std::string& call : Signatures(world.library.calls()))
            if (call.starts_with("Set"))
                setters.push_back(call);
        EXPECT_EQ(setters, c.setters);
        EXPECT_EQ(Driver("SSID").has_value(), c.fault == ApplyFault::None);
    }
}

// An adapter that carries no 256-bit keys refuses the key: the profile goes in without it
// and the user is told, whatever library refused.
class NarrowKeyAdapter : public ProfileApplyTest {
protected:
    NarrowKeyAdapter() : ProfileApplyTest([](Json& s) { s["adapters"][0]["maxWepKeyBits"] = 128; })
    {
    }
};

TEST_F(NarrowKeyAdapter, RefusedKeyIsReportedAndTheRestApplied)
{
    ProfileRecord record = Named("Lang");
    Wep(1, std::string(29, 'k'), 3)(record);
    list.AddProfile(record);
    EXPECT_EQ(applier.ApplyProfileRecord(record), ApplyFault::KeyRefused);
    const auto calls = Signatures(world.library.calls());
    EXPECT_EQ(calls.back(), "SetWL_PreambleMode(2)");
    EXPECT_EQ(world.work.ActiveProfileName, "Lang");
    EXPECT_EQ(Product("DefaultProfileLink"), T("2"));

    Wep(1, k26)(record);
    EXPECT_EQ(applier.ApplyProfileRecord(record), ApplyFault::None);
}

struct ServiceCase {
    const char* name;
    const char* service;
    std::vector<std::string> serviceCalls;
};

void PrintTo(const ServiceCase& c, std::ostream* os)
{
    *os << c.name;
}

class ApplyDefault : public ProfileApplyTest, public testing::WithParamInterface<ServiceCase> {
protected:
    ApplyDefault()
        : ProfileApplyTest([](Json& s) { s["system"]["wirelessService"] = GetParam().service; })
    {
    }
};

TEST_P(ApplyDefault, ReleasesTheServiceThenApplies)
{
    ProfileRecord office = Named("Office");
    office.SSID = "WG-Kastanienallee";
    list.AddProfile(office);
    world.store.WriteText(ProductValuePath("DefaultProfileLink"), "2");
    world.library.clearCalls();

    applier.ApplyDefaultProfile();

    std::vector<std::string> expected{"SetWL_OperationMode_STA_AP(0)"};
    expected.insert(expected.end(), GetParam().serviceCalls.begin(), GetParam().serviceCalls.end());
    const auto apply = OpenProfileCalls("WG-Kastanienallee");
    expected.insert(expected.end(), apply.begin(), apply.end());
    EXPECT_EQ(Signatures(world.library.calls()), expected);
    EXPECT_EQ(world.work.ActiveProfileName, "Office");
    EXPECT_EQ(world.work.CurrentProfile.SSID, "WG-Kastanienallee");
    EXPECT_EQ(world.work.DefaultLinkNumber, 2);
    EXPECT_EQ(Product("Mode"), T("Station Mode"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplyDefault,
    testing::Values(ServiceCase{"NotControlling",
                                "not-controlling",
                                {"QueryWL_CheckWZCStatus()", "SetWL_WZCStatus(0)",
                                 "QueryWL_CheckWZCStatus()", "SetWL_QVUseQVXOidState(1)"}},
                    ServiceCase{"Controlling",
                                "controlling",
                                {"QueryWL_CheckWZCStatus()", "SetWL_WZCStatus(0)",
                                 "QueryWL_CheckWZCStatus()", "SetWL_QVUseQVXOidState(0)"}},
                    ServiceCase{"Released",
                                "released",
                                {"QueryWL_CheckWZCStatus()", "QueryWL_CheckWZCStatus()",
                                 "SetWL_QVUseQVXOidState(0)"}}),
    [](const auto& p) { return std::string(p.param.name); });

struct AssociationCase {
    const char* name;
    std::function<void(ProfileRecord&)> edit;
    std::optional<qvwlan::MacAddress> bssid;
    // A name a scan saw offering SAE alone before the apply, and whether the stored
    // profile keeps SaeSeen afterwards.
    const char* saeAloneSeen = nullptr;
    int storedSaeSeen = 0;
};

void PrintTo(const AssociationCase& c, std::ostream* os)
{
    *os << c.name;
}

class Association : public ProfileApplyTest, public testing::WithParamInterface<AssociationCase> {};

std::function<void(ProfileRecord&)> Psk(const char* ssid, bool saeSeen)
{
    return [=](ProfileRecord& r) {
        r.SSID = ssid;
        r.AuthenticationMode = 2;
        r.Passphrase = ScrambleSecret("sonnenblume-7");
        r.SaeSeen = saeSeen ? 1 : 0;
    };
}

TEST_P(Association, AppliedProfileJoinsTheNetwork)
{
    ProfileRecord record = Named("Net");
    GetParam().edit(record);
    list.AddProfile(record);
    const char* seen = GetParam().saeAloneSeen;
    if (seen)
        applier.NoteSaeAlone(seen);
    applier.ApplyProfileRecord(record);
    world.clock.Advance(5000);
    EXPECT_EQ(world.library.associatedBssid("0007"), GetParam().bssid);
    EXPECT_EQ(world.store.ReadProfile("Net").SaeSeen, GetParam().storedSaeSeen);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Association,
    testing::Values(
        AssociationCase{"Open", [](ProfileRecord&) {},
                        qvwlan::MacAddress{0x0A, 0x3C, 0x71, 0x00, 0x00, 0x01}},
        AssociationCase{"WepRightKey",
                        [](ProfileRecord& r) {
                            r.SSID = "WG-Kastanienallee";
                            Wep(1, "1A2B3C4D5E", 1)(r);
                            r.DataEncryption = 0;
                        },
                        qvwlan::MacAddress{0x0A, 0x3C, 0x71, 0x00, 0x00, 0x03}},
        AssociationCase{"WepWrongKey",
                        [](ProfileRecord& r) {
                            r.SSID = "WG-Kastanienallee";
                            Wep(1, "1A2B3C4D5F", 1)(r);
                            r.DataEncryption = 0;
                        },
                        std::nullopt},
        AssociationCase{"UnknownNetwork", [](ProfileRecord& r) { r.SSID = "Nirgendwo"; },
                        std::nullopt},
        // The store's "any network": the strongest open one.
        AssociationCase{"EmptyNameJoinsAnyOpenNetwork", [](ProfileRecord& r) { r.SSID.clear(); },
                        qvwlan::MacAddress{0x0A, 0x3C, 0x71, 0x00, 0x00, 0x01}},
        AssociationCase{"PskWithThePassPhrase", Psk("Villa-Sonne", false),
                        qvwlan::MacAddress{0x0A, 0x3C, 0x71, 0x00, 0x00, 0x05}},
        // Seen offering SAE alone, the name is offered nothing less: its WPA-PSK
        // twin gets no handshake.
        AssociationCase{"PskTwinNotJoinedOnceSaeWasSeen", Psk("Villa-Sonne", true), std::nullopt,
                        nullptr, 1},
        AssociationCase{"PskTwinNotJoinedOnceAScanSawSaeAlone", Psk("Villa-Sonne", false),
                        std::nullopt, " Villa-Sonne", 1},
        AssociationCase{"SaeAloneSeenUnderAnotherNameChangesNothing", Psk("Villa-Sonne", false),
                        qvwlan::MacAddress{0x0A, 0x3C, 0x71, 0x00, 0x00, 0x05}, "Villa-Sonne-2"}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace kesto
