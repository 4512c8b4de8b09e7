// The Linux adapter library on the air: run inside the test machine (tests/vm/guest.sh)
// against hostapd and wpa_supplicant on mac80211_hwsim radios. The library drives wlan1;
// access points in range are wlan0 (open, channel 1), wlan2 (WEP 128, shared key,
// channel 11) and wlan3 (WPA2, channel 6); wlan4 is a peer station for our own access
// point. Times are real: each wait polls until its state shows or a deadline passes.
#include "drivers/linuxwlan/ControlClient.h"
#include "drivers/linuxwlan/LinuxWlanLibrary.h"
#include "registry/SqliteRegistry.h"
#include "station/SurveyRecords.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

namespace kesto::linuxwlan {
namespace {

using namespace std::chrono_literals;

std::string ConfigDir()
{
    const char* dir = std::getenv("KESTO_VM_CONFIG_DIR");
    return dir ? dir : ".";
}

bool WaitFor(const std::function<bool()>& done, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (done())
            return true;
        std::this_thread::sleep_for(200ms);
    }
    return done();
}

std::span<const char> Name(std::string_view text)
{
    return {text.data(), text.size()};
}

class OnTheAir : public testing::Test {
protected:
    void SetUp() override
    {
        LinuxWlanConfig config;
        config.interfaceName = "wlan1";
        config.apConfigFile = ConfigDir() + "/ap-ours.conf";
        lib = std::make_unique<LinuxWlanLibrary>(config, registry);
        std::array<NicAdapterEntry, 10> list{};
        ASSERT_EQ(lib->CreateNICAdapterList(list), 1);
        EXPECT_STREQ(list[0].name, "wlan1");
        std::memcpy(ctx.name, list[0].name, sizeof ctx.name);
        std::memcpy(ctx.driverInstance, list[0].driverInstance, sizeof ctx.driverInstance);
        ASSERT_NE(lib->QvOpenAdapter(ctx), 0);
    }

    void TearDown() override
    {
        lib->SetWL_OperationMode_STA_AP(ctx, 0); // the next test starts in station mode
    }

    // Open system, WEP off, the given name: what applying an open profile sends.
    void JoinOpen(std::string_view ssid)
    {
        ASSERT_EQ(lib->SetWL_OperationMode_STA_AP(ctx, 0), 0);
        ASSERT_EQ(lib->SetWL_NetworkType(ctx, 1), 1);
        ASSERT_EQ(lib->SetWL_AuthenticationMode(ctx, 0), 0);
        ASSERT_EQ(lib->SetWL_WEPStatus(ctx, 1), 0);
        ASSERT_EQ(lib->SetWL_SSID(ctx, Name(ssid)), 0);
    }

    bool Associated() { return lib->QueryWL_LinkStatus(ctx) == 3; }

    SqliteRegistry registry{":memory:"};
    std::unique_ptr<LinuxWlanLibrary> lib;
    AdapterContext ctx;
};

TEST_F(OnTheAir, SurveyListsTheAccessPointsInRange)
{
    ASSERT_EQ(lib->WL_SiteSurveyStart(ctx), 0);
    std::vector<SurveyEntry> entries;
    ASSERT_TRUE(WaitFor(
        [&] {
            std::vector<std::uint8_t> buffer(kSurveyBufferSize);
            if (lib->WL_RetrieveSiteSurveyData(ctx, buffer) != 0)
                return false;
            entries = ReadSurveyRecords(buffer);
            return entries.size() >= 3;
        },
        15s));
    const auto find = [&](std::string_view name) -> const SurveyEntry* {
        for (const auto& e : entries)
            if (e.ssid == name)
                return &e;
        return nullptr;
    };
    const SurveyEntry* open = find("Kesto Offen");
    const SurveyEntry* wep = find("Kesto WEP");
    const SurveyEntry* wpa = find("Kesto WPA2");
    ASSERT_TRUE(open && wep && wpa);
    EXPECT_EQ(ChannelFromFrequency(open->frequencyKhz), 1);
    EXPECT_EQ(ChannelFromFrequency(wep->frequencyKhz), 11);
    EXPECT_EQ(ChannelFromFrequency(wpa->frequencyKhz), 6);
    EXPECT_EQ(EncryptionLabel(open->encryption), "Deaktiviert");
    EXPECT_EQ(EncryptionLabel(wep->encryption), "WEP");
    EXPECT_EQ(EncryptionLabel(wpa->encryption), "WPA-PSK");
    EXPECT_LT(open->rssi, 0);
    EXPECT_EQ(open->infrastructureMode, 1);
}

TEST_F(OnTheAir, JoinsAnOpenNetworkAndReadsTheLink)
{
    JoinOpen("Kesto Offen");
    ASSERT_TRUE(WaitFor([&] { return Associated(); }, 20s));
    std::array<char, 32> ssid{};
    EXPECT_EQ(lib->QueryWL_SSID(ctx, ssid), 11);
    EXPECT_EQ(std::string(ssid.data(), 11), "Kesto Offen");
    EXPECT_EQ(lib->QueryWL_Channel(ctx), 1);
    std::array<std::uint8_t, 6> bssid{};
    EXPECT_EQ(lib->QueryWL_BSSID(ctx, bssid), 0);
    const int rssi = lib->QueryWL_RSSI(ctx);
    EXPECT_LT(rssi, 0);
    EXPECT_GT(rssi, -105);
    EXPECT_GT(lib->QueryWL_CurrentLinkSpeed(ctx), 0);
    std::array<std::uint32_t, 2> frames{};
    EXPECT_EQ(lib->GetTxRxFrameCount(ctx, frames), 0);
}

TEST_F(OnTheAir, JoinsWep128WithSharedKeyAndRefusesAWrongKey)
{
    const std::array<std::uint8_t, 13> right{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    std::array<std::uint8_t, 13> wrong = right;
    wrong[12] = 0x77;
    JoinOpen("Kesto WEP");
    ASSERT_EQ(lib->SetWL_AuthenticationMode(ctx, 1), 0);
    ASSERT_EQ(lib->SetWL_WEPStatus(ctx, 0), 0);
    ASSERT_EQ(lib->SetWL_WriteKey(ctx, 1, 1, 1, wrong), 0);
    EXPECT_FALSE(WaitFor([&] { return Associated(); }, 8s));
    ASSERT_EQ(lib->SetWL_WriteKey(ctx, 1, 1, 1, right), 0);
    EXPECT_TRUE(WaitFor([&] { return Associated(); }, 20s));
    EXPECT_EQ(lib->QueryWL_Channel(ctx), 11);
    EXPECT_EQ(lib->QueryWL_WEPbit(ctx), 1);
}

TEST_F(OnTheAir, JoinsWpa2WithThePassPhraseAndReportsAWrongOne)
{
    WpaCredentials psk;
    psk.authenticationMode = 2;
    psk.cipher = 1;
    psk.passphrase = "kesto-falsch";
    JoinOpen("Kesto WPA2");
    ASSERT_EQ(lib->SetWL_WPA(ctx, psk), 0);
    EXPECT_TRUE(WaitFor([&] { return lib->QueryWL_LinkStatus(ctx) == 5; }, 30s));
    psk.passphrase = "kesto-geheim";
    ASSERT_EQ(lib->SetWL_WPA(ctx, psk), 0);
    EXPECT_TRUE(WaitFor([&] { return Associated(); }, 20s));
    EXPECT_EQ(lib->QueryWL_Channel(ctx), 6);
}

TEST_F(OnTheAir, AccessPointAdmitsThePeerByTheFilter)
{
    ASSERT_EQ(lib->SetWL_SSID(ctx, Name("Kesto Eigen")), 0);
    ASSERT_EQ(lib->SetWL_Channel(ctx, 3), 0);
    ASSERT_EQ(lib->SetWL_WEPStatus(ctx, 1), 0);
    ASSERT_EQ(lib->SetWL_OperationMode_STA_AP(ctx, 1), 0);
    ASSERT_EQ(lib->QueryWL_LinkStatus(ctx), 8);
    EXPECT_EQ(lib->QueryWL_Channel(ctx), 3);

    // The peer joins our access point.
    const ControlClient peer(2000ms);
    const std::string sock = "/run/peer/wlan4";
    const ControlReply added = peer.Request(sock, "ADD_NETWORK");
    ASSERT_TRUE(added.ok());
    const std::string id = std::to_string(ParseNetworkId(added.text).value_or(0));
    ASSERT_TRUE(peer.Request(sock, "SET_NETWORK " + id + " ssid \"Kesto Eigen\"").ok());
    ASSERT_TRUE(peer.Request(sock, "SET_NETWORK " + id + " key_mgmt NONE").ok());
    ASSERT_TRUE(peer.Request(sock, "SELECT_NETWORK " + id).ok());
    const auto stations = [&] {
        std::array<std::uint8_t, kStationListSize> list{};
        EXPECT_EQ(lib->WL_RetrieveStationList(ctx, list), 0);
        int count = 0;
        for (std::size_t at = 0; at < list.size(); at += 7)
            count += list[at];
        return count;
    };
    EXPECT_TRUE(WaitFor([&] { return stations() == 1; }, 20s))
        << "access point:\n"
        << peer.Request("/run/hostapd/wlan1", "STATUS").text << "\nits settings:\n"
        << peer.Request("/run/hostapd/wlan1", "GET_CONFIG").text << "\npeer:\n"
        << peer.Request(sock, "STATUS").text << "\nthe peer sees:\n"
        << peer.Request(sock, "SCAN_RESULTS").text;

    // Deny it: it leaves and stays out.
    const ControlReply status = peer.Request(sock, "STATUS");
    const auto peerMac = ParseMac(ParseKeyValues(status.text)["address"]);
    ASSERT_TRUE(peerMac);
    std::array<std::uint8_t, kStationListSize> filter{};
    filter[0] = 1;
    std::copy(peerMac->begin(), peerMac->end(), filter.begin() + 1);
    ASSERT_EQ(lib->SetWLAP_FilterList(ctx, filter), 0);
    ASSERT_EQ(lib->SetWLAP_FilterMode(ctx, 2), 0);
    EXPECT_TRUE(WaitFor([&] { return stations() == 0; }, 20s));
}

} // namespace
} // namespace kesto::linuxwlan
