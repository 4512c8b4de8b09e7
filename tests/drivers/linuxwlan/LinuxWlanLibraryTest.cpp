// The Linux adapter library against fake daemons and a scratch sysfs tree: what it sends,
// how it reads the replies, and what each failure returns.
#include "station/SurveyRecords.h"
#include "tests/drivers/linuxwlan/LinuxRig.h"
#include "tests/support/ParamName.h"

#include <gtest/gtest.h>

#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <future>
#include <iterator>
#include <set>
#include <thread>

namespace kesto::linuxwlan::test {
namespace {

using Commands = std::vector<std::string>;

std::span<const char> Name(std::string_view text)
{
    return {text.data(), text.size()};
}

// A command line as /proc shows it: each word ended by a zero byte.
std::string CommandLine(std::initializer_list<std::string_view> words)
{
    std::string line;
    for (const std::string_view word : words)
        line.append(word).push_back('\0');
    return line;
}

unsigned GroupOf(const std::string& folder)
{
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 ? st.st_gid : 0;
}

TEST(LinuxDevices, ListsWirelessInterfacesAndPublishesTheirIdentifier)
{
    LinuxRig rig;
    std::array<NicAdapterEntry, 10> list{};
    ASSERT_EQ(rig.lib->CreateNICAdapterList(list), 1);
    EXPECT_STREQ(list[0].name, "wlan0");
    EXPECT_STREQ(list[0].driverInstance, "0003");
    EXPECT_STREQ(list[0].description, "rt2800usb (USB\\VID_2C4E&PID_0450)");
    EXPECT_EQ(list[1].name[0], '\0');
    EXPECT_EQ(rig.registry.QueryValue(kDriverKey, "MatchingDeviceId"),
              RegValue::Text("USB\\VID_2C4E&PID_0450"));

    // Unplugged: gone from the list, and its identifier with it.
    std::filesystem::remove_all(rig.dir.path() / "class/net/wlan0");
    EXPECT_EQ(rig.lib->CreateNICAdapterList(list), 0);
    EXPECT_FALSE(rig.registry.QueryValue(kDriverKey, "MatchingDeviceId"));
}

struct UeventCase {
    std::string_view name;
    std::string_view uevent;
    std::string_view id;
};
class Uevents : public testing::TestWithParam<UeventCase> {};
TEST_P(Uevents, IdentifierInTheIniForm)
{
    EXPECT_EQ(SysfsDevices::DeviceIdOfUevent(GetParam().uevent), GetParam().id);
}
INSTANTIATE_TEST_SUITE_P(
    Buses, Uevents,
    testing::Values(UeventCase{"Usb", "PRODUCT=148f/5370/101\n", "USB\\VID_148F&PID_5370"},
                    UeventCase{"UsbFullDigits", "PRODUCT=2c4e/0450/0\n", "USB\\VID_2C4E&PID_0450"},
                    UeventCase{"Pci", "DRIVER=iwlwifi\nPCI_ID=8086:24fd\n",
                               "PCI\\VEN_8086&DEV_24FD"},
                    UeventCase{"Sdio", "SDIO_ID=02D0:4329\n", "SDIO\\VID_02D0&PID_4329"},
                    UeventCase{"DriverOnly", "DRIVER=mac80211_hwsim\n", "LINUX\\MAC80211_HWSIM"},
                    UeventCase{"Nothing", "DEVTYPE=wlan\n", ""},
                    UeventCase{"ProductTooLong", "PRODUCT=12345/1/0\n", ""},
                    UeventCase{"ProductNotHex", "PRODUCT=zz/1/0\n", ""},
                    UeventCase{"ProductCut", "PRODUCT=148f", ""}),
    kesto::test::ParamName{});

TEST(LinuxDevices, OpensOnlyTheListedInterfaceAndFailsOnceItIsGone)
{
    LinuxRig rig;
    AdapterContext wrong;
    std::strcpy(wrong.driverInstance, "0002"); // eth0's index: not wireless
    EXPECT_EQ(rig.lib->QvOpenAdapter(wrong), 0);
    EXPECT_EQ(rig.lib->QueryWL_NetworkType(wrong), -1);

    rig.Open();
    EXPECT_EQ(rig.lib->QueryWL_NetworkType(rig.ctx), 1);
    std::array<std::uint8_t, 6> mac{};
    EXPECT_EQ(rig.lib->GetNICAdapterMAC(rig.ctx, mac), 0);
    EXPECT_EQ(mac, (std::array<std::uint8_t, 6>{0x02, 0x4B, 0x45, 0x53, 0x54, 0x4F}));

    std::filesystem::remove_all(rig.dir.path() / "class/net/wlan0");
    EXPECT_EQ(rig.lib->QueryWL_Channel(rig.ctx), -1);
    EXPECT_EQ(rig.lib->QueryWL_LinkStatus(rig.ctx), -1);
    EXPECT_NE(rig.lib->QvCloseAdapter(rig.ctx), 0);
    EXPECT_EQ(rig.ctx.handle, -1);
}

TEST(LinuxDevices, CountersComeFromSysfsAsThirtyTwoBitCounters)
{
    LinuxRig rig;
    rig.Open();
    rig.SetCounters(7, 8, (1ull << 32) + 5, 9000);
    std::array<std::uint8_t, kStatisticsBufferSize> buffer{};
    buffer[0] = 236;
    buffer[4] = 9;
    ASSERT_EQ(rig.lib->ReadOid(rig.ctx, kOidStatistics, buffer), 0);
    const auto counter = [&](std::size_t i) {
        return std::uint32_t{buffer[8 + 4 * i]} | std::uint32_t{buffer[9 + 4 * i]} << 8 |
               std::uint32_t{buffer[10 + 4 * i]} << 16 | std::uint32_t{buffer[11 + 4 * i]} << 24;
    };
    EXPECT_EQ(counter(0), 7u);
    EXPECT_EQ(counter(2) + counter(3), 5u);
    EXPECT_EQ(counter(15) + counter(16), 9000u);
    std::array<std::uint32_t, 2> frames{};
    EXPECT_EQ(rig.lib->GetTxRxFrameCount(rig.ctx, frames), 0);
    EXPECT_EQ(frames, (std::array<std::uint32_t, 2>{7, 8}));

    buffer[4] = 8; // not the statistics request
    EXPECT_EQ(rig.lib->ReadOid(rig.ctx, kOidStatistics, buffer), -1);
    rig.dir.write("class/net/wlan0/statistics/rx_bytes", "garbage\n");
    buffer[4] = 9;
    EXPECT_EQ(rig.lib->ReadOid(rig.ctx, kOidStatistics, buffer), -1);
}

TEST(LinuxStation, SettersArePushedAsOneNetworkAtTheNextReading)
{
    LinuxRig rig;
    rig.Open();
    const std::array<std::uint8_t, 13> key{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Caf\xe9 1")), 0);
    ASSERT_EQ(rig.lib->SetWL_AuthenticationMode(rig.ctx, 1), 0);
    ASSERT_EQ(rig.lib->SetWL_WEPStatus(rig.ctx, 0), 0);
    ASSERT_EQ(rig.lib->SetWL_WriteKey(rig.ctx, 1, 1, 1, key), 0);
    rig.Rounds(*rig.wpa, 3);
    EXPECT_TRUE(Sent(*rig.wpa).empty()); // setters alone send nothing

    rig.lib->QueryWL_LinkStatus(rig.ctx);
    const Commands pushed{"ADD_NETWORK",
                          "SET_NETWORK 0 id_str \"kesto-utility\"",
                          "SET_NETWORK 0 ssid 436166e92031",
                          "SET_NETWORK 0 scan_ssid 1",
                          "SET_NETWORK 0 key_mgmt NONE",
                          "SET_NETWORK 0 auth_alg SHARED",
                          "SET_NETWORK 0 wep_key1 0102030405060708090a0b0c0d",
                          "SET_NETWORK 0 wep_tx_keyidx 1",
                          "SELECT_NETWORK 0"};
    ASSERT_TRUE(Eventually([&] { return Sent(*rig.wpa).size() >= pushed.size(); }));
    rig.Rounds(*rig.wpa, 2);
    EXPECT_EQ(Sent(*rig.wpa), pushed); // once, however often it is read
    EXPECT_EQ(rig.lib->QueryWL_LinkStatus(rig.ctx), 1);
    EXPECT_EQ(rig.lib->QueryWL_WEPbit(rig.ctx), 1);

    // The next change replaces our network, and an ad-hoc cell carries its channel.
    rig.wpa->clear();
    rig.wpaReplies.set("ADD_NETWORK", "1\n");
    ASSERT_EQ(rig.lib->SetWL_NetworkType(rig.ctx, 0), 0);
    ASSERT_EQ(rig.lib->SetWL_WEPStatus(rig.ctx, 1), 0);
    ASSERT_EQ(rig.lib->SetWL_Channel(rig.ctx, 11), 0);
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Zelle")), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    ASSERT_TRUE(Eventually([&] { return Sent(*rig.wpa).size() >= 9; }));
    const Commands sent = Sent(*rig.wpa);
    EXPECT_EQ(Commands(sent.begin(), sent.begin() + 9),
              (Commands{"REMOVE_NETWORK 0", "ADD_NETWORK", "SET_NETWORK 1 id_str \"kesto-utility\"",
                        "SET_NETWORK 1 ssid 5a656c6c65", "SET_NETWORK 1 scan_ssid 1",
                        "SET_NETWORK 1 key_mgmt NONE", "SET_NETWORK 1 mode 1",
                        "SET_NETWORK 1 frequency 2462", "SET_NETWORK 1 auth_alg SHARED"}));
}

// A zero byte would cut the name on the way to the daemon: such a name is refused, the
// one set before stays, and nothing is added until a name is set.
struct RefusedName {
    std::string_view name;
    std::string_view ssid;
};
class RefusedNames : public testing::TestWithParam<RefusedName> {};
TEST_P(RefusedNames, NeverReachTheDaemon)
{
    LinuxRig rig;
    rig.Open();
    EXPECT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name(GetParam().ssid)), -1);
    ASSERT_EQ(rig.lib->SetWL_NetworkType(rig.ctx, 1), 1);
    ASSERT_EQ(rig.lib->SetWL_AuthenticationMode(rig.ctx, 0), 0);
    ASSERT_EQ(rig.lib->SetWL_WEPStatus(rig.ctx, 1), 0);
    EXPECT_EQ(rig.lib->QueryWL_LinkStatus(rig.ctx), 1);
    rig.Rounds(*rig.wpa, 3);
    EXPECT_EQ(CountOf(*rig.wpa, "ADD_NETWORK"), 0u);
    EXPECT_EQ(rig.Logged(), Commands{"wlan0: network name refused: it holds a zero byte"});

    // A name joins; refusing the next one keeps it.
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Kesto")), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    ASSERT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SELECT_NETWORK 0") == 1; }));
    EXPECT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name(GetParam().ssid)), -1);
    std::array<char, 32> ssid{};
    EXPECT_EQ(rig.lib->QueryWL_SSID(rig.ctx, ssid), 5);
    EXPECT_EQ(std::string(ssid.data(), 5), "Kesto");
}
INSTANTIATE_TEST_SUITE_P(Names, RefusedNames,
                         testing::Values(RefusedName{"ZeroByte", std::string_view("Kes\0to", 6)},
                                         RefusedName{"AllZero", std::string_view("\0\0\0", 3)}),
                         kesto::test::ParamName{});

// An empty name is any network: a network without a name, with the open or WEP settings
// (the profile that names no network). WPA would hand the secret to any network that
// asks for one: refused; and an ad-hoc cell is found by its name.
TEST(LinuxStation, EmptyNameJoinsAnyNetworkWithOpenOrWepSettingsOnly)
{
    LinuxRig rig;
    rig.Open();
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("")), 0);
    ASSERT_EQ(rig.lib->SetWL_NetworkType(rig.ctx, 1), 1);
    ASSERT_EQ(rig.lib->SetWL_AuthenticationMode(rig.ctx, 0), 0);
    ASSERT_EQ(rig.lib->SetWL_WEPStatus(rig.ctx, 1), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    const Commands any{"ADD_NETWORK", "SET_NETWORK 0 id_str \"kesto-utility\"",
                       "SET_NETWORK 0 key_mgmt NONE", "SET_NETWORK 0 auth_alg OPEN",
                       "SELECT_NETWORK 0"};
    EXPECT_TRUE(Eventually([&] { return Sent(*rig.wpa) == any; })) << Sent(*rig.wpa).size();
    std::array<char, 32> ssid{};
    EXPECT_EQ(rig.lib->QueryWL_SSID(rig.ctx, ssid), 32); // "any network"

    WpaCredentials psk;
    psk.authenticationMode = 2;
    psk.passphrase = "kesto-geheim";
    EXPECT_EQ(rig.lib->SetWL_WPA(rig.ctx, psk), -1);
    EXPECT_EQ(rig.Logged(), Commands{"wlan0: WPA refused: it needs the network's name"});

    // WEP: the key goes with the network that has no name.
    rig.wpa->clear();
    rig.wpaReplies.set("ADD_NETWORK", "1\n");
    const std::array<std::uint8_t, 5> key{1, 2, 3, 4, 5};
    ASSERT_EQ(rig.lib->SetWL_WEPStatus(rig.ctx, 0), 0);
    ASSERT_EQ(rig.lib->SetWL_WriteKey(rig.ctx, 0, 0, 1, key), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    const Commands wep{"REMOVE_NETWORK 0",
                       "ADD_NETWORK",
                       "SET_NETWORK 1 id_str \"kesto-utility\"",
                       "SET_NETWORK 1 key_mgmt NONE",
                       "SET_NETWORK 1 auth_alg OPEN",
                       "SET_NETWORK 1 wep_key0 0102030405",
                       "SET_NETWORK 1 wep_tx_keyidx 0",
                       "SELECT_NETWORK 1"};
    EXPECT_TRUE(Eventually([&] { return Sent(*rig.wpa) == wep; })) << Sent(*rig.wpa).size();

    // A name set before the pass phrase, emptied after it: no WPA network without a name.
    rig.wpa->clear();
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Firma")), 0);
    ASSERT_EQ(rig.lib->SetWL_WPA(rig.ctx, psk), 0);
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("")), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    EXPECT_TRUE(Eventually([&] { return Sent(*rig.wpa) == Commands{"REMOVE_NETWORK 1"}; }));
    // Nor an ad-hoc cell.
    ASSERT_EQ(rig.lib->SetWL_AuthenticationMode(rig.ctx, 0), 0);
    ASSERT_EQ(rig.lib->SetWL_NetworkType(rig.ctx, 0), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    rig.Rounds(*rig.wpa, 3);
    EXPECT_EQ(CountOf(*rig.wpa, "ADD_NETWORK"), 0u);
}

TEST(LinuxStation, WpaJoinsReplaceTheElevenSecurityUntilAnElevenSetter)
{
    LinuxRig rig;
    rig.Open();
    WpaCredentials psk;
    psk.authenticationMode = 2;
    psk.cipher = 1;
    psk.passphrase = "geheim \"123\"";
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Firma")), 0);
    ASSERT_EQ(rig.lib->SetWL_WPA(rig.ctx, psk), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    const Commands pushed{"ADD_NETWORK", "SET_NETWORK 0 id_str \"kesto-utility\"",
                          "SET_NETWORK 0 ssid 4669726d61", "SET_NETWORK 0 scan_ssid 1",
                          "SET_NETWORK 0 key_mgmt WPA-PSK",
                          // No scan saw the network: the daemon takes what it offers.
                          "SET_NETWORK 0 proto WPA RSN", "SET_NETWORK 0 pairwise CCMP TKIP",
                          "SET_NETWORK 0 group CCMP TKIP", "SET_NETWORK 0 mem_only_psk 1",
                          "SET_NETWORK 0 psk \"geheim \"123\"\"", "SELECT_NETWORK 0"};
    EXPECT_TRUE(Eventually([&] { return Sent(*rig.wpa) == pushed; })) << Sent(*rig.wpa).size();

    WpaCredentials peap;
    peap.authenticationMode = 3;
    peap.eapMethod = 4;
    peap.innerMethod = 2;
    peap.identity = "anna";
    peap.password = "pw";
    peap.validateServer = false;
    rig.wpa->clear();
    ASSERT_EQ(rig.lib->SetWL_WPA(rig.ctx, peap), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    ASSERT_TRUE(Eventually([&] { return Sent(*rig.wpa).size() >= 13; }));
    const Commands sent = Sent(*rig.wpa);
    EXPECT_EQ(Commands(sent.begin() + 5, sent.begin() + 13),
              (Commands{"SET_NETWORK 0 key_mgmt WPA-EAP", "SET_NETWORK 0 proto WPA RSN",
                        "SET_NETWORK 0 pairwise CCMP TKIP", "SET_NETWORK 0 group CCMP TKIP",
                        "SET_NETWORK 0 eap PEAP", "SET_NETWORK 0 identity 616e6e61",
                        "SET_NETWORK 0 phase2 \"auth=MSCHAPV2\"", "SET_NETWORK 0 password 7077"}));

    // A validated server is checked against the system's authorities and its name.
    peap.validateServer = true;
    peap.serverName = "radius.firma.example";
    rig.wpa->clear();
    ASSERT_EQ(rig.lib->SetWL_WPA(rig.ctx, peap), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    ASSERT_TRUE(Eventually([&] { return Sent(*rig.wpa).size() >= 14; }));
    const Commands validated = Sent(*rig.wpa);
    EXPECT_EQ(Commands(validated.begin() + 12, validated.begin() + 14),
              (Commands{"SET_NETWORK 0 ca_cert \"/etc/ssl/certs/ca-certificates.crt\"",
                        "SET_NETWORK 0 domain_suffix_match \"radius.firma.example\""}));

    // An 802.11 setter ends the WPA join; refused credentials leave it as it was.
    EXPECT_EQ(rig.lib->SetWL_WPA(rig.ctx, WpaCredentials{}), -1); // no pass phrase
    ASSERT_EQ(rig.lib->SetWL_AuthenticationMode(rig.ctx, 0), 0);
    rig.wpa->clear();
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    EXPECT_TRUE(Eventually([&] {
        const Commands open = Sent(*rig.wpa);
        return std::find(open.begin(), open.end(), "SET_NETWORK 0 key_mgmt NONE") != open.end();
    }));
}

TEST(LinuxStation, RefusedSettingRemovesTheHalfMadeNetworkAndIsTriedAgain)
{
    LinuxRig rig;
    rig.Open();
    rig.wpaReplies.set("SET_NETWORK 0 auth_alg", "FAIL\n");
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Kesto")), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    EXPECT_TRUE(Eventually([&] { return rig.lib->QueryWL_LinkStatus(rig.ctx) == -1; }));
    const Commands sent = Sent(*rig.wpa);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), "REMOVE_NETWORK 0");
    // The channel is not -1: that would tell the window the adapter is gone.
    EXPECT_EQ(rig.lib->QueryWL_Channel(rig.ctx), 6);

    rig.wpaReplies.set("SET_NETWORK 0 auth_alg", "OK\n");
    EXPECT_TRUE(Eventually([&] { return rig.lib->QueryWL_LinkStatus(rig.ctx) == 1; }));
    EXPECT_EQ(Sent(*rig.wpa).back(), "SELECT_NETWORK 0");
}

struct LinkCase {
    std::string_view name;
    std::string status;
    std::string networks;
    int code;
};
class LinkStatus : public testing::TestWithParam<LinkCase> {};
TEST_P(LinkStatus, StatesMapToTheLinkCodes)
{
    LinuxRig rig;
    rig.Open();
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Kesto")), 0);
    ASSERT_EQ(rig.lib->QueryWL_LinkStatus(rig.ctx), 1); // scanning, as the rig starts
    ASSERT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SELECT_NETWORK 0") == 1; }));
    rig.wpaReplies.set("STATUS", GetParam().status);
    rig.wpaReplies.set("LIST_NETWORKS", GetParam().networks);
    rig.Rounds(*rig.wpa, 2);
    EXPECT_EQ(rig.lib->QueryWL_LinkStatus(rig.ctx), GetParam().code);
}
constexpr std::string_view kNoFlags = "network id / ssid / bssid / flags\n0\tKesto\tany\t\n";
INSTANTIATE_TEST_SUITE_P(
    States, LinkStatus,
    testing::Values(
        LinkCase{"Completed", "wpa_state=COMPLETED\nmode=station\n", std::string(kNoFlags), 3},
        LinkCase{"OwnCell", "wpa_state=COMPLETED\nmode=IBSS\n", std::string(kNoFlags), 4},
        LinkCase{"Handshake", "wpa_state=4WAY_HANDSHAKE\n", std::string(kNoFlags), 2},
        LinkCase{"Associating", "wpa_state=ASSOCIATING\n", std::string(kNoFlags), 2},
        LinkCase{"Scanning", "wpa_state=SCANNING\n", std::string(kNoFlags), 1},
        LinkCase{"WrongKey", "wpa_state=DISCONNECTED\n",
                 "network id / ssid / bssid / flags\n0\tKesto\tany\t[TEMP-DISABLED]\n", 5},
        LinkCase{"ListUnreadable", "wpa_state=DISCONNECTED\n", "FAIL\n", 1},
        LinkCase{"StatusWithoutState", "bssid=02:00:00:00:01:00\n", std::string(kNoFlags), -1},
        LinkCase{"StatusRefused", "FAIL\n", std::string(kNoFlags), -1}),
    kesto::test::ParamName{});

TEST(LinuxStation, AssociatedReadingsComeFromStatusAndSignalPoll)
{
    LinuxRig rig;
    rig.Open();
    rig.wpaReplies.set("STATUS", "bssid=02:00:00:00:01:00\nfreq=2437\nssid=Kesto \\\"AP\\\"\n"
                                 "id=0\nmode=station\nwpa_state=COMPLETED\n");
    rig.wpaReplies.set("SIGNAL_POLL", "RSSI=-52\nLINKSPEED=54\nNOISE=9999\nFREQUENCY=2437\n");
    ASSERT_TRUE(Eventually([&] { return rig.lib->QueryWL_RSSI(rig.ctx) == -52; }));
    rig.Rounds(*rig.wpa, 1);
    EXPECT_EQ(rig.lib->QueryWL_Channel(rig.ctx), 6);
    EXPECT_EQ(rig.lib->QueryWL_CurrentLinkSpeed(rig.ctx), 54000);
    EXPECT_EQ(rig.lib->QueryWL_CommQuality(rig.ctx), 10 + 17 * 70 / 55);
    std::array<char, 32> ssid{};
    EXPECT_EQ(rig.lib->QueryWL_SSID(rig.ctx, ssid), 10);
    EXPECT_EQ(std::string(ssid.data(), 10), "Kesto \"AP\"");
    std::array<std::uint8_t, 6> bssid{};
    EXPECT_EQ(rig.lib->QueryWL_BSSID(rig.ctx, bssid), 0);
    EXPECT_EQ(bssid, (std::array<std::uint8_t, 6>{2, 0, 0, 0, 1, 0}));

    // New settings: until the daemon has them, the link it tells of is the one they
    // replace, not theirs.
    rig.wpaReplies.slow("ADD_NETWORK", std::chrono::milliseconds(150));
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Anderes")), 0);
    EXPECT_EQ(rig.lib->QueryWL_LinkStatus(rig.ctx), 1);
    EXPECT_EQ(rig.lib->QueryWL_RSSI(rig.ctx), -105);
    EXPECT_EQ(rig.lib->QueryWL_BSSID(rig.ctx, bssid), -1);
    EXPECT_TRUE(Eventually([&] { return rig.lib->QueryWL_LinkStatus(rig.ctx) == 3; }));

    // In the 5 GHz band the channel is the band's own.
    rig.wpaReplies.set("STATUS", "bssid=02:00:00:00:01:00\nfreq=5180\nssid=Kesto\n"
                                 "mode=station\nwpa_state=COMPLETED\n");
    EXPECT_TRUE(Eventually([&] { return rig.lib->QueryWL_Channel(rig.ctx) == 36; }));

    // Link lost: signal poll refused.
    rig.wpaReplies.set("SIGNAL_POLL", "FAIL\n");
    rig.wpaReplies.set("STATUS", "wpa_state=SCANNING\n");
    ASSERT_TRUE(Eventually([&] { return rig.lib->QueryWL_RSSI(rig.ctx) == -105; }));
    rig.Rounds(*rig.wpa, 1);
    EXPECT_EQ(rig.lib->QueryWL_CurrentLinkSpeed(rig.ctx), 0);
    EXPECT_EQ(rig.lib->QueryWL_CommQuality(rig.ctx), 80);
    EXPECT_EQ(rig.lib->QueryWL_BSSID(rig.ctx, bssid), -1);
    EXPECT_EQ(rig.lib->QueryWL_SSID(rig.ctx, ssid), 7); // not associated: the name set
    EXPECT_EQ(std::string(ssid.data(), 7), "Anderes");
    EXPECT_EQ(rig.lib->QueryWL_Channel(rig.ctx), 6); // the one set
}

// The daemon's BSS table as "BSS FIRST" and "BSS NEXT-<id>" give it, one entry a reply.
void SetBssTable(ReplyTable& replies, const std::vector<std::string>& entries)
{
    const std::string mask = std::string(" MASK=") + std::string(kBssMask);
    for (std::size_t n = 0; n <= entries.size(); ++n) {
        const std::string ask = n == 0 ? "BSS FIRST" : "BSS NEXT-" + std::to_string(n - 1);
        replies.set(ask + mask, n < entries.size() ? "id=" + std::to_string(n) + "\n" + entries[n]
                                                   : std::string());
    }
}

std::string Bss(int last, int mhz, int dbm, std::string_view flags, std::string_view ssid)
{
    char bssid[18];
    std::snprintf(bssid, sizeof bssid, "02:00:00:00:%02x:00", last & 0xFF);
    return "bssid=" + std::string(bssid) + "\nfreq=" + std::to_string(mhz) +
           "\nlevel=" + std::to_string(dbm) + "\nflags=" + std::string(flags) +
           "\nssid=" + std::string(ssid) + "\n";
}

std::vector<SurveyEntry> Retrieve(LinuxRig& rig)
{
    std::vector<std::uint8_t> buffer(kSiteSurveyBufferSize, 0);
    EXPECT_EQ(rig.lib->WL_RetrieveSiteSurveyData(rig.ctx, buffer), 0);
    return ReadSurveyRecords(buffer);
}

// How a survey ends: the scan's reply, then the daemon's event (none: still scanning).
struct SurveyCase {
    std::string_view name;
    std::string scanReply;
    std::string event;
    int state;
};
class SurveyEnds : public testing::TestWithParam<SurveyCase> {};
TEST_P(SurveyEnds, WhenTheDaemonSaysSo)
{
    LinuxRig rig;
    rig.Open();
    SetBssTable(rig.wpaReplies, {Bss(1, 2412, -30, "[WPA2-PSK-CCMP][ESS]", "Kesto WPA2"),
                                 Bss(2, 2437, -61, "[WEP][ESS]", "Kesto WEP"),
                                 Bss(3, 2462, -70, "[WPA2-EAP-CCMP][ESS]", "Kesto 802.1X"),
                                 Bss(4, 2472, -75, "[WPA2-SAE-CCMP][ESS]", "Kesto WPA3")});
    rig.wpaReplies.set("SCAN", GetParam().scanReply);
    EXPECT_EQ(rig.lib->WL_SiteSurveyState(rig.ctx), -1); // none started
    ASSERT_EQ(rig.lib->WL_SiteSurveyStart(rig.ctx), 0);
    const int expected = GetParam().state;
    const bool refused = GetParam().event.empty() && expected == -1;
    // A refused scan may have ended already: the library's thread asks at once.
    if (!refused) {
        EXPECT_EQ(rig.lib->WL_SiteSurveyState(rig.ctx), 0);
    }
    ASSERT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SCAN") == 1; }));
    if (refused) {
        EXPECT_TRUE(Eventually([&] { return rig.lib->WL_SiteSurveyState(rig.ctx) == -1; }));
    } else {
        rig.Rounds(*rig.wpa, 2);
        EXPECT_EQ(rig.lib->WL_SiteSurveyState(rig.ctx), 0) << "before the daemon's event";
        if (!GetParam().event.empty())
            rig.wpa->Broadcast(GetParam().event);
        EXPECT_TRUE(Eventually([&] { return rig.lib->WL_SiteSurveyState(rig.ctx) == expected; }));
    }
    const auto entries = Retrieve(rig);
    if (GetParam().state != 1) {
        EXPECT_TRUE(entries.empty()); // no scan was read yet
        return;
    }
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(EncryptionLabel(entries[0].encryption), "WPA-PSK");
    EXPECT_EQ(EncryptionLabel(entries[1].encryption), "WEP");
    EXPECT_EQ(EncryptionLabel(entries[2].encryption), "WPA-RADIUS");
    EXPECT_EQ(EncryptionLabel(entries[3].encryption), "WPA3-SAE");
    EXPECT_EQ(ChannelFromFrequency(entries[2].frequencyKhz), 11);
}
INSTANTIATE_TEST_SUITE_P(
    Scans, SurveyEnds,
    testing::Values(SurveyCase{"Results", "OK\n", "CTRL-EVENT-SCAN-RESULTS ", 1},
                    SurveyCase{"BusyJoinsTheRunningScan", "FAIL-BUSY\n", "CTRL-EVENT-SCAN-RESULTS ",
                               1},
                    SurveyCase{"Failed", "OK\n", "CTRL-EVENT-SCAN-FAILED ret=-16", -1},
                    SurveyCase{"Refused", "FAIL\n", "", -1},
                    SurveyCase{"StillScanning", "OK\n", "", 0}),
    kesto::test::ParamName{});

TEST(LinuxStation, SurveyReadsTheWholeTableStrongestFirstAsTheBufferHoldsIt)
{
    LinuxRig rig;
    rig.Open();
    // Far more than one 4 KB reply holds: 70 names of 32 bytes, with a 5 GHz network
    // and one on 6 GHz among them, and an entry that does not read.
    std::vector<std::string> table;
    for (int n = 0; n < 70; ++n) {
        char name[33];
        std::snprintf(name, sizeof name, "Kesto Nachbarschaft Nummer %05d", n);
        table.push_back(Bss(n, 2412 + 5 * (n % 13), -40 - n, "[WPA2-PSK-CCMP][ESS]", name));
    }
    table[7] = Bss(7, 5180, -20, "[ESS]", "Kesto Fuenf");
    table[8] = Bss(8, 5955, -21, "[ESS]", "Kesto Sechs");
    table[9] = "bssid=garbage\nfreq=2412\nlevel=-30\nflags=[ESS]\nssid=Kaputt\n";
    SetBssTable(rig.wpaReplies, table);
    ASSERT_EQ(rig.lib->WL_SiteSurveyStart(rig.ctx), 0);
    ASSERT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SCAN") == 1; }));
    rig.wpa->Broadcast("CTRL-EVENT-SCAN-RESULTS ");
    ASSERT_TRUE(Eventually([&] { return rig.lib->WL_SiteSurveyState(rig.ctx) == 1; }));

    const auto entries = Retrieve(rig);
    // The 5 GHz record takes 160 bytes, each other one 195: the 60 strongest of the
    // 67 that read fit beside it in 12000 bytes; the 6 GHz network has no channel.
    ASSERT_EQ(entries.size(), 61u);
    EXPECT_EQ(entries[0].ssid, "Kesto Fuenf");
    EXPECT_EQ(ChannelFromFrequency(entries[0].frequencyKhz), 36);
    EXPECT_EQ(entries[1].ssid, "Kesto Nachbarschaft Nummer 00000");
    for (std::size_t n = 1; n < entries.size(); ++n)
        EXPECT_GE(entries[n - 1].rssi, entries[n].rssi);
    EXPECT_EQ(entries.back().ssid, "Kesto Nachbarschaft Nummer 00062");
}

// A pre-shared key profile joins what the network offers with the same pass phrase: WPA
// or WPA2 with the ciphers it announces (the profile's cipher decides only where it
// announces both), and WPA3. What the network offers is read from the daemon's BSS table
// when the network is pushed, or at the daemon's next scan when none had seen it yet.
struct OfferCase {
    std::string_view name;
    std::vector<std::string> table;
    bool seenLater;
    Commands fields;      // between scan_ssid and the pass phrase
    int cipher = 0;       // the profile's: TKIP, as the page starts
    bool saeOnly = false; // the profile saw the name offering SAE alone before
};
class KeyOffers : public testing::TestWithParam<OfferCase> {};
TEST_P(KeyOffers, FollowWhatTheNetworkOffers)
{
    LinuxRig rig;
    rig.Open();
    if (!GetParam().seenLater)
        SetBssTable(rig.wpaReplies, GetParam().table);
    WpaCredentials psk;
    psk.authenticationMode = 2;
    psk.cipher = GetParam().cipher;
    psk.passphrase = "kesto-geheim";
    psk.saeOnly = GetParam().saeOnly;
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Kesto")), 0);
    ASSERT_EQ(rig.lib->SetWL_WPA(rig.ctx, psk), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    ASSERT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SELECT_NETWORK 0") == 1; }));
    if (GetParam().seenLater) {
        SetBssTable(rig.wpaReplies, GetParam().table);
        rig.wpa->clear();
        rig.wpa->Broadcast("CTRL-EVENT-SCAN-RESULTS ");
        ASSERT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SELECT_NETWORK 0") == 1; }));
    }
    const Commands sent = Sent(*rig.wpa);
    const auto from = std::find(sent.begin(), sent.end(), "SET_NETWORK 0 scan_ssid 1");
    const auto to = std::find(sent.begin(), sent.end(), "SET_NETWORK 0 psk \"kesto-geheim\"");
    ASSERT_TRUE(from != sent.end() && to != sent.end());
    EXPECT_EQ(Commands(from + 1, to), GetParam().fields);
}
Commands PskFields(std::string_view proto, std::string_view pairwise)
{
    return {"SET_NETWORK 0 key_mgmt WPA-PSK", "SET_NETWORK 0 proto " + std::string(proto),
            "SET_NETWORK 0 pairwise " + std::string(pairwise), "SET_NETWORK 0 group CCMP TKIP",
            "SET_NETWORK 0 mem_only_psk 1"};
}
const Commands kSaeOnlyFields{"SET_NETWORK 0 key_mgmt SAE", "SET_NETWORK 0 ieee80211w 2",
                              "SET_NETWORK 0 proto RSN",    "SET_NETWORK 0 pairwise CCMP",
                              "SET_NETWORK 0 group CCMP",   "SET_NETWORK 0 mem_only_psk 1"};
INSTANTIATE_TEST_SUITE_P(
    Networks, KeyOffers,
    testing::Values(
        // WPA2 with CCMP alone joins from the page's TKIP.
        OfferCase{"Wpa2CcmpOnly",
                  {Bss(1, 2437, -40, "[WPA2-PSK-CCMP][ESS]", "Kesto")},
                  false,
                  PskFields("RSN", "CCMP")},
        OfferCase{"WpaTkipOnlyFromTheAesPage",
                  {Bss(1, 2437, -40, "[WPA-PSK-TKIP][ESS]", "Kesto")},
                  false,
                  PskFields("WPA", "TKIP"),
                  1},
        // Both announced, by one access point or by twins: the page's cipher is preferred.
        OfferCase{"BothPreferTkip",
                  {Bss(1, 2437, -40, "[WPA-PSK-TKIP][WPA2-PSK-CCMP+TKIP][ESS]", "Kesto")},
                  false,
                  PskFields("WPA RSN", "TKIP")},
        OfferCase{"TwinsPreferAes",
                  {Bss(1, 2437, -40, "[WPA-PSK-TKIP][ESS]", "Kesto"),
                   Bss(2, 2412, -60, "[WPA2-PSK-CCMP][ESS]", "Kesto")},
                  false,
                  PskFields("WPA RSN", "CCMP"),
                  1},
        OfferCase{"NotSeen",
                  {Bss(1, 2437, -40, "[WPA2-SAE-CCMP][ESS]", "Nachbar")},
                  false,
                  PskFields("WPA RSN", "CCMP TKIP")},
        OfferCase{"Transition",
                  {Bss(1, 2437, -40, "[WPA2-PSK+SAE-CCMP][ESS]", "Kesto")},
                  false,
                  {"SET_NETWORK 0 key_mgmt WPA-PSK SAE", "SET_NETWORK 0 ieee80211w 1",
                   "SET_NETWORK 0 proto RSN", "SET_NETWORK 0 pairwise CCMP",
                   "SET_NETWORK 0 group CCMP TKIP", "SET_NETWORK 0 mem_only_psk 1"}},
        OfferCase{
            "SaeOnly", {Bss(1, 2437, -40, "[WPA2-SAE-CCMP][ESS]", "Kesto")}, false, kSaeOnlyFields},
        // A WPA2 twin of an SAE network is no reason to offer it less.
        OfferCase{"SaeOnlyBesideAWpa2Twin",
                  {Bss(1, 2437, -70, "[WPA2-SAE-CCMP][ESS]", "Kesto"),
                   Bss(2, 2437, -30, "[WPA2-PSK-CCMP][ESS]", "Kesto")},
                  false,
                  kSaeOnlyFields},
        OfferCase{"SaeOnlySeenLater",
                  {Bss(1, 2437, -40, "[WPA2-SAE-CCMP][ESS]", "Kesto")},
                  true,
                  kSaeOnlyFields},
        // Once seen offering SAE alone, never offered less: not even to a WPA2 twin that
        // is all the table holds now.
        OfferCase{"SaeOnlySeenBefore",
                  {Bss(2, 2437, -30, "[WPA2-PSK-CCMP][ESS]", "Kesto")},
                  false,
                  kSaeOnlyFields,
                  0,
                  true}),
    kesto::test::ParamName{});

// What wpa_supplicant was sent, without the requests that only read.
Commands Requests(const FakeDaemon& daemon)
{
    static const std::set<std::string> kReadings{
        "PING", "ATTACH", "DETACH", "STATUS", "SIGNAL_POLL", "GET_CAPABILITY channels"};
    Commands sent = daemon.commands();
    std::erase_if(sent, [](const std::string& c) { return kReadings.contains(c); });
    return sent;
}

// What the library gave wpa_supplicant does not outlive it: our networks are marked, and
// taken back when the adapter closes, at the start after a run that ended without
// closing, and after an ADD_NETWORK that got no answer.
TEST(LinuxSecrets, CloseRemovesOurNetworkAndEnablesWhatSelectingItDisabled)
{
    LinuxRig rig;
    rig.wpaReplies.set("LIST_NETWORKS", std::string(kNoNetworks) +
                                            "0\tZuhause\tany\t[CURRENT]\n"
                                            "1\tBuero\tany\t[DISABLED]\n"
                                            "2\tCafe\tany\t[TEMP-DISABLED]\n");
    rig.wpaReplies.set("ADD_NETWORK", "3\n");
    rig.Open();
    WpaCredentials psk;
    psk.authenticationMode = 2;
    psk.passphrase = "kesto-geheim";
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Firma")), 0);
    ASSERT_EQ(rig.lib->SetWL_WPA(rig.ctx, psk), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    ASSERT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SELECT_NETWORK 3") == 1; }));
    rig.wpa->clear();
    EXPECT_NE(rig.lib->QvCloseAdapter(rig.ctx), 0);
    EXPECT_EQ(Sent(*rig.wpa),
              (Commands{"REMOVE_NETWORK 3", "ENABLE_NETWORK 0", "ENABLE_NETWORK 2"}));
    // Nothing of ours is left to save: the configuration is never saved by us.
    EXPECT_EQ(CountOf(*rig.wpa, "SAVE_CONFIG"), 0u);
    // The event socket says goodbye last, without waiting for an answer.
    EXPECT_TRUE(Eventually([&] { return rig.wpa->commands().back() == "DETACH"; }));
}

TEST(LinuxSecrets, NetworksMarkedAsOursAreRemovedAtTheStart)
{
    LinuxRig rig;
    rig.wpaReplies.set("LIST_NETWORKS", std::string(kNoNetworks) + "0\tZuhause\tany\t[DISABLED]\n"
                                                                   "4\tKesto\tany\t[DISABLED]\n"
                                                                   "7\tFirma\tany\t[CURRENT]\n");
    rig.wpaReplies.set("GET_NETWORK 0 id_str", "FAIL\n"); // none set
    rig.wpaReplies.set("GET_NETWORK 4 id_str", "\"kesto-utility\"");
    rig.wpaReplies.set("GET_NETWORK 7 id_str", "\"kesto-utility\"\n");
    rig.Open(true);
    EXPECT_EQ(Requests(*rig.wpa),
              (Commands{"LIST_NETWORKS", "GET_NETWORK 0 id_str", "GET_NETWORK 4 id_str",
                        "GET_NETWORK 7 id_str", "REMOVE_NETWORK 4", "REMOVE_NETWORK 7"}));
}

// An ADD_NETWORK that got no answer in time may have made a network all the same (here
// network 1, which the daemon lists once it is done): it is removed before the retry adds
// ours (as 2), or, when the adapter closes while the request is under way, at the close.
struct OrphanCase {
    std::string_view name;
    std::chrono::milliseconds busy; // how long the daemon takes over ADD_NETWORK
    bool close;                     // the adapter closes while it does
    Commands requests;              // everything sent after the settings, but the readings
    Commands logged;
};
class Orphans : public testing::TestWithParam<OrphanCase> {};
TEST_P(Orphans, AreRemovedBeforeAnythingElse)
{
    LinuxRig rig;
    rig.wpaReplies.set("LIST_NETWORKS", std::string(kNoNetworks) + "0\tZuhause\tany\t[CURRENT]\n");
    rig.wpaReplies.set("GET_NETWORK", "FAIL\n");
    rig.wpaReplies.slow("ADD_NETWORK", GetParam().busy); // the deadline is 300 ms
    rig.Open();
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Kesto")), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    ASSERT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "ADD_NETWORK") == 1; }));
    rig.wpaReplies.set("LIST_NETWORKS", std::string(kNoNetworks) + "0\tZuhause\tany\t[CURRENT]\n"
                                                                   "1\t\tany\t[DISABLED]\n");
    rig.wpaReplies.slow("ADD_NETWORK", std::chrono::milliseconds(0));
    rig.wpaReplies.set("ADD_NETWORK", "2\n");
    if (GetParam().close) {
        EXPECT_NE(rig.lib->QvCloseAdapter(rig.ctx), 0);
        // The event socket says goodbye last, without waiting for an answer.
        EXPECT_TRUE(Eventually([&] { return rig.wpa->commands().back() == "DETACH"; }));
    } else {
        ASSERT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SELECT_NETWORK 2") == 1; }));
    }
    Commands sent = Requests(*rig.wpa);
    if (!GetParam().close) // the readings that follow list our network
        sent.erase(std::find(sent.begin(), sent.end(), "SELECT_NETWORK 2") + 1, sent.end());
    EXPECT_EQ(sent, GetParam().requests);
    EXPECT_EQ(rig.Logged(), GetParam().logged);
}
INSTANTIATE_TEST_SUITE_P(
    AddWithoutAnswer, Orphans,
    testing::Values(
        OrphanCase{
            "Retry",
            std::chrono::milliseconds(600),
            false,
            {"LIST_NETWORKS", "ADD_NETWORK",
             // answering again: a daemon that started again may hold saved ones of ours
             "LIST_NETWORKS", "GET_NETWORK 0 id_str", "GET_NETWORK 1 id_str",
             // the network the unanswered request made, then ours again
             "LIST_NETWORKS", "REMOVE_NETWORK 1", "LIST_NETWORKS", "ADD_NETWORK",
             "SET_NETWORK 2 id_str \"kesto-utility\"", "SET_NETWORK 2 ssid 4b6573746f",
             "SET_NETWORK 2 scan_ssid 1", "SET_NETWORK 2 key_mgmt NONE",
             "SET_NETWORK 2 auth_alg OPEN", "SELECT_NETWORK 2"},
            {"wpa_supplicant on wlan0 answers no more", "wpa_supplicant on wlan0 answers again"}},
        OrphanCase{"Close",
                   std::chrono::milliseconds(150),
                   true,
                   {"LIST_NETWORKS", "ADD_NETWORK", "LIST_NETWORKS", "REMOVE_NETWORK 1"},
                   {}}),
    kesto::test::ParamName{});

TEST(LinuxStation, SupportedChannelsFromTheCapabilityReply)
{
    LinuxRig rig;
    rig.wpaReplies.set("GET_CAPABILITY channels",
                       "Mode[G] Channels: 1 2 3 4 5 6 7 8 9 10 11\nMode[A] Channels: 36\n");
    rig.Open();
    std::array<std::uint8_t, 14> channels{};
    int count = 0;
    EXPECT_EQ(rig.lib->QueryWL_SupportChannel(rig.ctx, channels, count), 11);
    EXPECT_EQ(count, 11);
    EXPECT_EQ(channels[10], 11);
    std::array<std::uint8_t, 5> small{};
    EXPECT_EQ(rig.lib->QueryWL_SupportChannel(rig.ctx, small, count), -1);
}

TEST(LinuxFailures, SettersRefuseValuesOutOfRange)
{
    LinuxRig rig;
    rig.Open();
    const std::array<std::uint8_t, 5> key{};
    EXPECT_EQ(rig.lib->SetWL_Channel(rig.ctx, 15), -1);
    EXPECT_EQ(rig.lib->SetWL_Channel(rig.ctx, 36), -1); // the adapter's band only
    EXPECT_EQ(rig.lib->SetWL_NetworkType(rig.ctx, 2), -1);
    EXPECT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("0123456789abcdef0123456789abcdefX")), -1);
    EXPECT_EQ(rig.lib->SetWL_WriteKey(rig.ctx, 0, 1, 1, key), -1); // 13 bytes needed
    EXPECT_EQ(rig.lib->SetWL_WriteKey(rig.ctx, 4, 0, 1, key), -1);
    std::array<std::uint8_t, kRateSetSize> rates{};
    EXPECT_EQ(rig.lib->SetWL_DesiredRate(rig.ctx, rates), -1);
    rates[0] = 0x80 | 22;
    EXPECT_EQ(rig.lib->SetWL_DesiredRate(rig.ctx, rates), 0);
    rates[1] = 13;
    EXPECT_EQ(rig.lib->SetWL_DesiredRate(rig.ctx, rates), -1);
    EXPECT_TRUE(Sent(*rig.wpa).empty());
}

TEST(LinuxFailures, AKeyTheDaemonsCannotCarryIsRefusedAndTheLinkStaysReadable)
{
    LinuxRig rig;
    rig.Open();
    // What wpa_supplicant answers to a key of 29 bytes.
    rig.wpaReplies.set("SET_NETWORK 0 wep_key", "FAIL\n");
    const std::array<std::uint8_t, 29> key{1, 2, 3};
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Kesto")), 0);
    ASSERT_EQ(rig.lib->SetWL_WEPStatus(rig.ctx, 0), 0);
    EXPECT_EQ(rig.lib->SetWL_WriteKey(rig.ctx, 0, 2, 1, key), -1);
    EXPECT_EQ(
        rig.Logged(),
        Commands{"wlan0: WEP key refused: wpa_supplicant and hostapd cannot carry a 152-bit key"});
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    ASSERT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SELECT_NETWORK 0") == 1; }));
    rig.Rounds(*rig.wpa, 2);
    EXPECT_EQ(rig.lib->QueryWL_LinkStatus(rig.ctx), 1);
    EXPECT_EQ(rig.lib->QueryWL_WEPbit(rig.ctx), 0);
}

// A daemon that stops answering in the middle of a session: the link reads as lost,
// the log says so once, and everything comes back by itself when it answers again.
struct SilenceCase {
    std::string_view name;
    bool restart; // else stopped (SIGSTOP): it keeps what it was given
};
class DaemonSilence : public testing::TestWithParam<SilenceCase> {};
TEST_P(DaemonSilence, LinkReadsAsLostUntilTheDaemonAnswersAgain)
{
    LinuxRig rig;
    rig.Open();
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Kesto")), 0);
    rig.wpaReplies.set("STATUS", "bssid=02:00:00:00:01:00\nfreq=2462\nssid=Kesto\n"
                                 "mode=station\nwpa_state=COMPLETED\n");
    rig.wpaReplies.set("SIGNAL_POLL", "RSSI=-52\nLINKSPEED=54\n");
    rig.wpaReplies.set("LIST_NETWORKS", std::string(kNoFlags));
    ASSERT_TRUE(Eventually([&] { return rig.lib->QueryWL_LinkStatus(rig.ctx) == 3; }));
    ASSERT_EQ(CountOf(*rig.wpa, "ADD_NETWORK"), 1u);

    if (GetParam().restart)
        rig.wpa.reset();
    else
        rig.wpa->pause(true);
    ASSERT_TRUE(Eventually([&] { return rig.lib->QueryWL_LinkStatus(rig.ctx) == 1; }));
    EXPECT_EQ(rig.lib->QueryWL_RSSI(rig.ctx), -105);
    EXPECT_EQ(rig.lib->QueryWL_CurrentLinkSpeed(rig.ctx), 0);
    EXPECT_EQ(rig.lib->QueryWL_Channel(rig.ctx), 6); // not -1: the adapter is still there
    std::array<std::uint8_t, 6> bssid{};
    EXPECT_EQ(rig.lib->QueryWL_BSSID(rig.ctx, bssid), -1);
    EXPECT_EQ(rig.lib->WL_SiteSurveyStart(rig.ctx), -1);
    EXPECT_EQ(rig.lib->WL_SiteSurveyState(rig.ctx), -1);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000)); // rounds of asking again
    EXPECT_EQ(rig.Logged(), (Commands{"wpa_supplicant on wlan0 answers no more"}));

    if (GetParam().restart) {
        rig.wpaReplies.set("LIST_NETWORKS", "network id / ssid / bssid / flags\n");
        rig.StartStation();
    } else
        rig.wpa->pause(false);
    EXPECT_TRUE(Eventually([&] { return rig.lib->QueryWL_LinkStatus(rig.ctx) == 3; }));
    EXPECT_EQ(rig.lib->QueryWL_RSSI(rig.ctx), -52);
    EXPECT_EQ(rig.Logged(), (Commands{"wpa_supplicant on wlan0 answers no more",
                                      "wpa_supplicant on wlan0 answers again"}));
    // A restarted daemon is given our network again; a stopped one still has it.
    if (GetParam().restart) {
        EXPECT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SELECT_NETWORK 0") == 1; }));
    } else {
        rig.Rounds(*rig.wpa, 2);
        EXPECT_EQ(CountOf(*rig.wpa, "ADD_NETWORK"), 1u);
    }
    EXPECT_EQ(rig.lib->WL_SiteSurveyStart(rig.ctx), 0);
}
INSTANTIATE_TEST_SUITE_P(Daemons, DaemonSilence,
                         testing::Values(SilenceCase{"Stopped", false},
                                         SilenceCase{"Restarted", true}),
                         kesto::test::ParamName{});

TEST(LinuxFailures, NoCallWaitsForADaemonThatNeverAnswers)
{
    // The daemon reads nothing and its queue is full; the library would give it an hour
    // to answer. Every port call, the close and the destruction still return.
    LinuxRig rig;
    rig.wpa->pause(true);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = rig.Config().wpaSupplicantDir + "/wlan0";
    std::memcpy(address.sun_path, path.data(), path.size());
    int queued = 0;
    while (::sendto(fd, "PING", 4, 0, reinterpret_cast<const sockaddr*>(&address),
                    sizeof address) == 4)
        ++queued;
    ::close(fd);
    ASSERT_GT(queued, 0);
    LinuxWlanConfig config = rig.Config();
    config.replyTimeout = std::chrono::hours(1);
    config.moveTimeout = std::chrono::hours(1);
    rig.lib = std::make_unique<LinuxWlanLibrary>(config, rig.registry);

    std::array<NicAdapterEntry, 10> list{};
    ASSERT_EQ(rig.lib->CreateNICAdapterList(list), 1);
    std::memcpy(rig.ctx.name, list[0].name, sizeof rig.ctx.name);
    std::memcpy(rig.ctx.driverInstance, list[0].driverInstance, sizeof rig.ctx.driverInstance);
    ASSERT_NE(rig.lib->QvOpenAdapter(rig.ctx), 0);
    for (int tick = 0; tick < 3; ++tick) {
        // The way back from the access point forgets the network: it is set again.
        ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Kesto")), 0);
        EXPECT_EQ(rig.lib->QueryWL_LinkStatus(rig.ctx), 1); // the settings not in effect
        EXPECT_EQ(rig.lib->QueryWL_Channel(rig.ctx), 6);
        EXPECT_EQ(rig.lib->QueryWL_RSSI(rig.ctx), -105);
        std::array<char, 32> ssid{};
        EXPECT_EQ(rig.lib->QueryWL_SSID(rig.ctx, ssid), 5);
        EXPECT_EQ(rig.lib->WL_SiteSurveyStart(rig.ctx), 0);
        EXPECT_EQ(rig.lib->WL_SiteSurveyState(rig.ctx), 0);
        EXPECT_EQ(rig.lib->SetWL_OperationMode_STA_AP(rig.ctx, 1), 0);
        EXPECT_EQ(rig.lib->SetWL_OperationMode_STA_AP(rig.ctx, 0), 0);
    }
    EXPECT_NE(rig.lib->QvCloseAdapter(rig.ctx), 0);
    ASSERT_NE(rig.lib->QvOpenAdapter(rig.ctx), 0);
    rig.lib.reset();
    EXPECT_TRUE(rig.wpa->commands().empty());
}

TEST(LinuxClient, SkipsEventMessagesRefusesOversizedRepliesAndNeverBlocks)
{
    kesto::test::TempDir dir;
    ReplyTable replies;
    replies.set("BIG", std::string(ControlClient::kMaxReply + 1, 'x'));
    FakeDaemon daemon(dir.file("ctrl"), [&](const std::string& c) { return replies(c); });
    daemon.setPrefix({"<3>CTRL-EVENT-SCAN-STARTED "});
    const ControlClient client(std::chrono::milliseconds(500));
    const ControlReply pong = client.Request(dir.file("ctrl").string(), "PING");
    EXPECT_TRUE(pong.ok());
    EXPECT_EQ(pong.text, "OK\n");
    EXPECT_EQ(client.Request(dir.file("ctrl").string(), "BIG").error, ControlError::Truncated);
    EXPECT_EQ(client.Request(dir.file("absent").string(), "PING").error, ControlError::NoSocket);

    // A daemon that stopped reading: its queue fills, and a request into the full queue
    // times out instead of hanging in the kernel.
    daemon.pause(true);
    const ControlClient impatient(std::chrono::milliseconds(50));
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(impatient.Request(dir.file("ctrl").string(), "PING").error,
                  ControlError::Timeout);
    // The cancel descriptor ends a wait at once, whatever the timeout.
    const int cancel = ::eventfd(1, EFD_CLOEXEC);
    const ControlClient cancelled(std::chrono::hours(1), cancel);
    EXPECT_EQ(cancelled.Request(dir.file("ctrl").string(), "PING").error, ControlError::Cancelled);
    ::close(cancel);
}

TEST(LinuxAccessPoint, ModeSwitchMovesTheInterfaceAndPushesTheSettings)
{
    LinuxRig rig;
    rig.Open();
    rig.StartAccessPoint();
    const std::array<std::uint8_t, 5> key{0xA1, 0xB2, 0xC3, 0xD4, 0xE5};
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Kesto AP")), 0);
    ASSERT_EQ(rig.lib->SetWL_Channel(rig.ctx, 3), 0);
    ASSERT_EQ(rig.lib->SetWL_WEPStatus(rig.ctx, 0), 0);
    ASSERT_EQ(rig.lib->SetWL_WriteKey(rig.ctx, 0, 0, 1, key), 0);
    ASSERT_EQ(rig.lib->SetWLAP_HideSSIDState(rig.ctx, 1), 0);
    std::array<std::uint8_t, kStationListSize> filter{};
    filter[0] = 1;
    filter[1] = 0x02;
    filter[6] = 0x09;
    ASSERT_EQ(rig.lib->SetWLAP_FilterList(rig.ctx, filter), 0);
    ASSERT_EQ(rig.lib->SetWLAP_FilterMode(rig.ctx, 2), 0);

    ASSERT_EQ(rig.lib->SetWL_OperationMode_STA_AP(rig.ctx, 1), 0);
    EXPECT_EQ(rig.lib->QueryWL_LinkStatus(rig.ctx), 8);
    const Commands pushed{"SET ssid2 4b6573746f204150",
                          "SET channel 3",
                          "SET ignore_broadcast_ssid 1",
                          "SET wep_key0 a1b2c3d4e5",
                          "SET wep_default_key 0",
                          "SET auth_algs 1",
                          "DISABLE",
                          "ENABLE",
                          "ACCEPT_ACL CLEAR",
                          "DENY_ACL CLEAR",
                          "SET macaddr_acl 0",
                          "DENY_ACL ADD_MAC 02:00:00:00:00:09"};
    EXPECT_TRUE(Eventually([&] { return Sent(*rig.hostapd) == pushed; }))
        << Sent(*rig.hostapd).size();
    EXPECT_EQ(rig.wpaGlobal->commands(), (Commands{"INTERFACE_REMOVE wlan0"}));
    EXPECT_EQ(rig.hostapdGlobal->commands(), (Commands{"ADD bss_config=phy3:/etc/kesto/ap.conf"}));
    EXPECT_TRUE(Sent(*rig.wpa).empty()); // nothing went to the daemon that let it go

    // While up, a filter change goes out at once.
    rig.hostapd->clear();
    ASSERT_EQ(rig.lib->SetWLAP_FilterMode(rig.ctx, 1), 0);
    EXPECT_TRUE(Eventually([&] {
        return Sent(*rig.hostapd) == Commands{"ACCEPT_ACL CLEAR", "DENY_ACL CLEAR",
                                              "SET macaddr_acl 1",
                                              "ACCEPT_ACL ADD_MAC 02:00:00:00:00:09"};
    }));
}

TEST(LinuxAccessPoint, StationListWalksTheDaemonsStations)
{
    LinuxRig rig;
    rig.Open();
    rig.StartAccessPoint();
    rig.hostapdReplies.set("STA-FIRST", "02:00:00:00:02:00\nflags=[AUTH][ASSOC]\naid=1\n");
    rig.hostapdReplies.set("STA-NEXT 02:00:00:00:02:00", "02:00:00:00:03:00\naid=2\n");
    rig.hostapdReplies.set("STA-NEXT 02:00:00:00:03:00", "");
    ASSERT_EQ(rig.lib->SetWL_OperationMode_STA_AP(rig.ctx, 1), 0);
    std::array<std::uint8_t, kStationListSize> list{};
    ASSERT_TRUE(Eventually([&] {
        list.fill(0xEE);
        return rig.lib->WL_RetrieveStationList(rig.ctx, list) == 0 && list[7] == 1;
    }));
    EXPECT_EQ(list[0], 1);
    EXPECT_EQ(list[5], 2);
    EXPECT_EQ(list[12], 3);
    EXPECT_EQ(list[14], 0);
    EXPECT_EQ(list[111], 0);

    // A daemon that keeps naming the same station cannot hold the thread.
    rig.hostapdReplies.set("STA-NEXT 02:00:00:00:03:00", "02:00:00:00:02:00\n");
    rig.Rounds(*rig.hostapd, 2);
    ASSERT_EQ(rig.lib->WL_RetrieveStationList(rig.ctx, list), 0);
    EXPECT_EQ(list[14], 0);

    // hostapd stops answering: no station is listed rather than old ones.
    rig.hostapd->pause(true);
    EXPECT_TRUE(Eventually([&] { return rig.lib->WL_RetrieveStationList(rig.ctx, list) == -1; }));
    EXPECT_EQ(rig.lib->QueryWL_LinkStatus(rig.ctx), 8);
    EXPECT_EQ(rig.Logged(),
              (Commands{"wpa_supplicant's command line for wlan0 not found: its own networks "
                        "will not come back after the access point",
                        "hostapd on wlan0 answers no more"}));
}

TEST(LinuxAccessPoint, FailedMoveGivesTheInterfaceBackAndKeepsStationMode)
{
    LinuxRig rig;
    rig.Open();
    rig.hostapdGlobalReplies.set("ADD", "FAIL\n");
    EXPECT_EQ(rig.lib->SetWL_OperationMode_STA_AP(rig.ctx, 1), 0); // under way
    // No command line of the daemon's tells its file: the socket keeps its folder's group.
    const std::string wpaDir = rig.Config().wpaSupplicantDir;
    const Commands back{"INTERFACE_REMOVE wlan0", "INTERFACE_ADD wlan0\t\tnl80211\tDIR=" + wpaDir +
                                                      " GROUP=" + std::to_string(GroupOf(wpaDir))};
    EXPECT_TRUE(Eventually([&] { return Sent(*rig.wpaGlobal) == back; }));
    EXPECT_TRUE(Eventually([&] { return rig.lib->QueryWL_LinkStatus(rig.ctx) == 1; }));
    std::array<std::uint8_t, kStationListSize> list{};
    EXPECT_EQ(rig.lib->WL_RetrieveStationList(rig.ctx, list), -1);
    EXPECT_EQ(rig.Logged(),
              (Commands{"wpa_supplicant's command line for wlan0 not found: its own networks "
                        "will not come back after the access point",
                        "could not move wlan0 to hostapd"}));
}

// The interface goes back to wpa_supplicant with the file it was started with, so the
// user's own networks come back; what was set for the access point (its name, its key)
// never becomes a network of the station's.
TEST(LinuxAccessPoint, RoundTripKeepsTheUsersNetworksAndNotTheAccessPointsName)
{
    LinuxRig rig;
    // Another wpa_supplicant (a peer's) first, then the one that holds wlan0.
    rig.dir.write("proc/41/comm", "wpa_supplicant\n");
    rig.dir.write("proc/41/cmdline", CommandLine({"wpa_supplicant", "-iwlan4", "-c/etc/p.conf"}));
    rig.dir.write("proc/42/comm", "wpa_supplicant\n");
    rig.dir.write("proc/42/cmdline", CommandLine({"/sbin/wpa_supplicant", "-B", "-Dnl80211,wext",
                                                  "-c", "/etc/wpa_supplicant/wpa_supplicant.conf",
                                                  "-iwlan0", "-g", "/run/g"}));
    rig.Open();
    rig.StartAccessPoint();
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Zuhause")), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    ASSERT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SELECT_NETWORK 0") == 1; }));

    ASSERT_EQ(rig.lib->SetWL_OperationMode_STA_AP(rig.ctx, 1), 0);
    const std::array<std::uint8_t, 5> key{0xA1, 0xB2, 0xC3, 0xD4, 0xE5};
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Kesto AP")), 0);
    ASSERT_EQ(rig.lib->SetWL_WEPStatus(rig.ctx, 0), 0);
    ASSERT_EQ(rig.lib->SetWL_WriteKey(rig.ctx, 0, 0, 1, key), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    ASSERT_TRUE(Eventually([&] { return CountOf(*rig.hostapd, "ENABLE") == 1; }));

    rig.wpa->clear();
    ASSERT_EQ(rig.lib->SetWL_OperationMode_STA_AP(rig.ctx, 0), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    const Commands moves{"INTERFACE_REMOVE wlan0",
                         "INTERFACE_ADD wlan0\t/etc/wpa_supplicant/wpa_supplicant.conf\t"
                         "nl80211,wext\t"};
    EXPECT_TRUE(Eventually([&] { return Sent(*rig.wpaGlobal) == moves; }))
        << Sent(*rig.wpaGlobal).size();
    rig.Rounds(*rig.wpa, 3);
    EXPECT_EQ(CountOf(*rig.wpa, "ADD_NETWORK"), 0u);
    std::array<char, 32> ssid{};
    EXPECT_EQ(rig.lib->QueryWL_SSID(rig.ctx, ssid), 32);
    EXPECT_EQ(rig.lib->QueryWL_LinkSecurity(rig.ctx), static_cast<int>(LinkSecurity::Open));
    EXPECT_TRUE(rig.Logged().empty());

    // A network set now is the station's own, without the access point's key.
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Zuhause")), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    ASSERT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SELECT_NETWORK 0") == 1; }));
    for (const std::string& sent : Sent(*rig.wpa))
        EXPECT_EQ(sent.find("wep_key"), std::string::npos) << sent;
}

// wpa_supplicant's options as getopt reads them: values joined or apart, flags in
// clusters, and -N beginning the next interface's block.
struct CommandLineCase {
    std::string_view name;
    std::vector<std::string> argv;
    std::optional<StationDaemonArgs> args; // for wlan0
};
class StationCommandLines : public testing::TestWithParam<CommandLineCase> {};
TEST_P(StationCommandLines, GiveTheInterfacesBlock)
{
    EXPECT_EQ(StationDaemonArgs::OfCommandLine(GetParam().argv, "wlan0"), GetParam().args);
}
INSTANTIATE_TEST_SUITE_P(
    Lines, StationCommandLines,
    testing::Values(
        CommandLineCase{"Apart",
                        {"wpa_supplicant", "-c", "/etc/w.conf", "-i", "wlan0", "-D", "nl80211"},
                        StationDaemonArgs{"/etc/w.conf", "", "nl80211"}},
        CommandLineCase{"JoinedInClusters",
                        {"wpa_supplicant", "-dBc/etc/w.conf", "-iwlan0", "-C/run/wpa"},
                        StationDaemonArgs{"/etc/w.conf", "/run/wpa", ""}},
        CommandLineCase{"SecondBlock",
                        {"wpa_supplicant", "-iwlan1", "-c/etc/a.conf", "-N", "-iwlan0",
                         "-c/etc/b.conf", "-N", "-iwlan2"},
                        StationDaemonArgs{"/etc/b.conf", "", ""}},
        CommandLineCase{"OtherInterfaceOnly", {"wpa_supplicant", "-iwlan10", "-c/etc/a.conf"}, {}},
        CommandLineCase{
            "ValueLooksLikeAnOption", {"wpa_supplicant", "-c", "-iwlan0", "-iwlan1"}, {}},
        CommandLineCase{"CutShort", {"wpa_supplicant", "-iwlan0", "-c"}, StationDaemonArgs{}}),
    kesto::test::ParamName{});

// Access-point mode needs nothing installed: the library writes the file hostapd starts
// the access point from into a private folder, with what the access point was given.
TEST(LinuxAccessPoint, StartsFromAFileOfItsOwn)
{
    LinuxRig rig;
    LinuxWlanConfig config = rig.Config();
    config.apConfigFile.clear();
    rig.lib = std::make_unique<LinuxWlanLibrary>(config, rig.registry);
    rig.Open();
    rig.StartAccessPoint();
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Kesto\nAP")), 0);
    ASSERT_EQ(rig.lib->SetWL_Channel(rig.ctx, 3), 0);
    ASSERT_EQ(rig.lib->SetWLAP_HideSSIDState(rig.ctx, 1), 0);
    ASSERT_EQ(rig.lib->SetWL_OperationMode_STA_AP(rig.ctx, 1), 0);
    const auto file = rig.dir.path() / "run/hostapd-wlan0.conf";
    EXPECT_TRUE(Eventually([&] {
        return rig.hostapdGlobal->commands() == Commands{"ADD bss_config=phy3:" + file.string()};
    }));
    const std::string hostapdDir = config.hostapdDir;
    std::ifstream in(file);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(text.substr(text.find('\n') + 1),
              "interface=wlan0\ndriver=nl80211\nctrl_interface=" + hostapdDir +
                  "\nctrl_interface_group=" + std::to_string(GroupOf(hostapdDir)) +
                  "\nssid2=4b6573746f0a4150\nhw_mode=g\nchannel=3\nignore_broadcast_ssid=1\n"
                  "auth_algs=1\nmacaddr_acl=0\n");
    EXPECT_EQ(std::filesystem::status(file).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    // A folder others may write to is no place for it: the move is refused.
    ASSERT_EQ(rig.lib->SetWL_OperationMode_STA_AP(rig.ctx, 0), 0);
    ASSERT_TRUE(Eventually([&] { return Sent(*rig.wpaGlobal).size() == 2; }));
    std::filesystem::permissions(rig.dir.path() / "run", std::filesystem::perms::group_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(rig.lib->SetWL_OperationMode_STA_AP(rig.ctx, 1), -1);
    EXPECT_EQ(rig.Logged().back(), "wlan0: the access point's file could not be written: " +
                                       (rig.dir.path() / "run").string() +
                                       ": not a private folder of this user");
}

// The security of the link as wpa_supplicant's STATUS tells it; without a link, what
// the settings ask for.
struct SecurityCase {
    std::string_view name;
    std::string status;
    bool wep; // the settings: WEP on
    LinkSecurity security;
};
class LinkSecurities : public testing::TestWithParam<SecurityCase> {};
TEST_P(LinkSecurities, ComeFromTheLink)
{
    LinuxRig rig;
    rig.Open();
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Kesto")), 0);
    ASSERT_EQ(rig.lib->SetWL_WEPStatus(rig.ctx, GetParam().wep ? 0 : 1), 0);
    rig.lib->QueryWL_LinkStatus(rig.ctx);
    ASSERT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SELECT_NETWORK 0") == 1; }));
    rig.wpaReplies.set("STATUS", GetParam().status);
    rig.Rounds(*rig.wpa, 2);
    EXPECT_EQ(rig.lib->QueryWL_LinkSecurity(rig.ctx), static_cast<int>(GetParam().security));
}
std::string Linked(std::string_view keyManagement, std::string_view pairwise)
{
    return "bssid=02:00:00:00:01:00\nfreq=2437\nssid=Kesto\npairwise_cipher=" +
           std::string(pairwise) + "\nkey_mgmt=" + std::string(keyManagement) +
           "\nwpa_state=COMPLETED\n";
}
INSTANTIATE_TEST_SUITE_P(
    Links, LinkSecurities,
    testing::Values(
        SecurityCase{"Wpa2Psk", Linked("WPA2-PSK", "CCMP"), false, LinkSecurity::Wpa2Psk},
        SecurityCase{"WpaPsk", Linked("WPA-PSK", "TKIP"), false, LinkSecurity::WpaPsk},
        SecurityCase{"Sae", Linked("SAE", "CCMP"), false, LinkSecurity::Wpa3Sae},
        SecurityCase{"FtSae", Linked("FT-SAE", "CCMP"), false, LinkSecurity::Wpa3Sae},
        SecurityCase{"Wpa2Eap", Linked("WPA2/IEEE 802.1X/EAP", "CCMP"), false,
                     LinkSecurity::WpaEap},
        SecurityCase{"DynamicWep", Linked("IEEE 802.1X (no WPA)", "WEP-104"), false,
                     LinkSecurity::Ieee8021x},
        SecurityCase{"Wep", Linked("NONE", "WEP-40"), true, LinkSecurity::Wep},
        SecurityCase{"Open", Linked("NONE", "NONE"), false, LinkSecurity::Open},
        SecurityCase{"NotLinkedWep", "wpa_state=SCANNING\n", true, LinkSecurity::Wep},
        SecurityCase{"UnknownKeyManagement", Linked("OWE", "CCMP"), false, LinkSecurity::Open}),
    kesto::test::ParamName{});

// A bus that takes the connection and never says a word: the check answers within its
// deadline, as one that failed (the service counts as in charge), long before sd-bus's
// own wait for the bus's greeting would end.
TEST(LinuxServiceCheck, SilentBusAnswersWithinTheDeadline)
{
    kesto::test::TempDir dir;
    const std::string path = (dir.path() / "silent-bus").string();
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 8), 0); // accepted by the kernel, read by no one
    LinuxRig rig("unix:path=" + path);
    rig.Open();
    std::promise<int> answered;
    std::thread check([&] { answered.set_value(rig.lib->QueryWL_CheckWZCStatus(rig.ctx)); });
    auto answer = answered.get_future();
    const bool inTime = answer.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    ::close(listener); // ends the wait of a check that is still waiting
    check.join();
    EXPECT_TRUE(inTime);
    EXPECT_EQ(answer.get(), 1);
}

// A socket in the daemon's place that is not the daemon's (owned by neither root nor the
// folder's owner) is never sent a thing: the daemon counts as not answering, logged once.
TEST(LinuxFailures, ASocketOfAnotherOwnerIsNotTheDaemon)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give the socket to another user";
    LinuxRig rig;
    const std::string path = rig.Config().wpaSupplicantDir + "/wlan0";
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0); // nobody's
    std::array<NicAdapterEntry, 10> list{};
    ASSERT_EQ(rig.lib->CreateNICAdapterList(list), 1);
    std::memcpy(rig.ctx.name, list[0].name, sizeof rig.ctx.name);
    std::memcpy(rig.ctx.driverInstance, list[0].driverInstance, sizeof rig.ctx.driverInstance);
    ASSERT_NE(rig.lib->QvOpenAdapter(rig.ctx), 0);
    WpaCredentials psk;
    psk.passphrase = "kesto-geheim";
    ASSERT_EQ(rig.lib->SetWL_SSID(rig.ctx, Name("Firma")), 0);
    ASSERT_EQ(rig.lib->SetWL_WPA(rig.ctx, psk), 0);
    EXPECT_TRUE(Eventually([&] { return rig.Logged().size() >= 2; }));
    EXPECT_EQ(rig.lib->QueryWL_LinkStatus(rig.ctx), 1);
    EXPECT_EQ(rig.lib->WL_SiteSurveyStart(rig.ctx), -1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // rounds of asking again
    EXPECT_TRUE(rig.wpa->commands().empty());
    EXPECT_EQ(rig.Logged(),
              (Commands{"wpa_supplicant on wlan0: " + path +
                            " is owned by neither root nor its folder's owner: not used",
                        "wpa_supplicant on wlan0 answers no more"}));

    // The daemon's own socket again: it is used as before.
    ASSERT_EQ(::chown(path.c_str(), ::geteuid(), ::getegid()), 0);
    EXPECT_TRUE(Eventually([&] { return CountOf(*rig.wpa, "SELECT_NETWORK 0") == 1; }));
}

TEST(LinuxVersions, KernelReleasePacksIntoTheDriverVersion)
{
    EXPECT_EQ(LinuxWlanLibrary::PackRelease("6.1.0-13-amd64"), 0x06010013);
    EXPECT_EQ(LinuxWlanLibrary::PackRelease("5.10.209"), 0x050AD100);
    EXPECT_EQ(LinuxWlanLibrary::PackRelease(""), 0);
    EXPECT_EQ(LinuxWlanLibrary::InstanceOf(3), "0003");
    EXPECT_EQ(LinuxWlanLibrary::InstanceOf(12345), "2345");
}

} // namespace
} // namespace kesto::linuxwlan::test
