// Site survey: the buffer parsed back the way the utility reads it (record lengths,
// fields at their offsets, channel from frequency, WPA detection by element position).
#include "tests/drivers/qvwlan/QvwlanRig.h"

#include "base/LittleEndian.h"

#include <array>
#include <fstream>
#include <map>
#include <optional>

namespace kesto::test {
namespace {

std::uint32_t Word(std::span<const std::uint8_t> b, std::size_t at)
{
    return ReadLe32(b.subspan(at));
}

// One record as the utility keeps it.
struct Record {
    std::uint32_t length = 0;
    qvwlan::MacAddress bssid{};
    std::string ssid;
    std::uint32_t privacy = 0;
    std::int32_t rssi = 0;
    std::uint32_t frequency = 0;
    std::uint32_t infrastructure = 0;
    std::vector<std::uint8_t> ies; // as many as the IE length says
};

// Steps through the records by their length fields, never past the buffer.
std::vector<Record> ReadSurvey(std::span<const std::uint8_t> buffer)
{
    std::vector<Record> records;
    const std::uint32_t count = Word(buffer, 0);
    std::size_t at = 4;
    for (std::uint32_t i = 0; i < count; ++i) {
        EXPECT_LE(at + 116, buffer.size());
        if (at + 116 > buffer.size())
            break;
        const auto b = buffer.subspan(at);
        Record r;
        r.length = Word(b, 0);
        std::copy_n(b.begin() + 4, 6, r.bssid.begin());
        const std::uint32_t ssidLength = Word(b, 12);
        EXPECT_LE(ssidLength, 32u);
        r.ssid.assign(reinterpret_cast<const char*>(b.data() + 16), std::min(ssidLength, 32u));
        r.privacy = Word(b, 48);
        r.rssi = static_cast<std::int32_t>(Word(b, 52));
        r.frequency = Word(b, 72);
        r.infrastructure = Word(b, 92);
        const std::uint32_t ieLength = Word(b, 112);
        EXPECT_EQ(r.length, 116 + ieLength) << "the length field is the real length";
        EXPECT_LE(at + r.length, buffer.size());
        if (at + r.length > buffer.size() || r.length < 116)
            break;
        r.ies.assign(b.begin() + 116, b.begin() + 116 + ieLength);
        records.push_back(r);
        at += r.length;
    }
    return records;
}

int Channel(std::uint32_t frequencyKhz)
{
    const int k = (static_cast<int>(frequencyKhz / 1000) - 2412) / 5;
    return k == 14 ? 14 : k + 1;
}

// 0 open, 1 WEP, 2 WPA-PSK, 3 WPA-RADIUS, reading at most `kept` IE bytes, as the
// utility does with the 60 bytes it keeps of each record.
int Encryption(const Record& r, std::size_t kept = 60)
{
    int type = r.privacy == 1 ? 1 : 0;
    const std::size_t have = std::min(kept, r.ies.size());
    if (have <= 13)
        return type;
    const std::size_t vendorAt = (r.ies[13] + 23u) % 256u;
    const std::size_t last = r.ies.size() - 1;
    if (vendorAt < have && r.ies[vendorAt] == 221 && last < have) {
        if (r.ies[last] == 1)
            type = 3;
        else if (r.ies[last] == 2)
            type = 2;
        else if (r.ies[last] == 8)
            type = 4;
    }
    return type;
}

std::vector<std::uint8_t> Scan(QvwlanRig& rig, std::size_t size = kSiteSurveyBufferSize)
{
    std::vector<std::uint8_t> buffer(size, 0xEE);
    EXPECT_EQ(rig.lib.WL_SiteSurveyStart(rig.ctx), 0);
    rig.clock.Advance(2000);
    EXPECT_EQ(rig.lib.WL_RetrieveSiteSurveyData(rig.ctx, buffer), 0);
    return buffer;
}

json DefaultScenario()
{
    std::ifstream in(SourceDir() / "resources" / "scenarios" / "default.json");
    return json::parse(in);
}

TEST(Survey, DefaultScenarioReadsAsTheUtilityReadsIt)
{
    QvwlanRig rig(DefaultScenario());
    rig.Open();
    const auto buffer = Scan(rig);
    const auto records = ReadSurvey(buffer);
    ASSERT_EQ(records.size(), 11u);

    struct Expect {
        int channel;
        int encryption;
        std::uint32_t infrastructure;
    };
    const std::map<std::string, Expect> expected{
        {"Villa-Sonne", {9, 2, 1}},
        {"WG-Kastanienallee", {6, 1, 1}},
        {"Cafe-Lindenhof", {1, 0, 1}},
        {"Spielwiese", {10, 0, 0}},
        {"Praxis-Dr-Weber", {3, 1, 1}},
        {"Hausnetz-Berger", {11, 0, 1}},
        {"", {6, 0, 1}}, // the hidden network
        {"Buergeramt", {13, 3, 1}},
        {"Gaestenetz-Gasthof-Zum-Hirschen", {4, 0, 1}},
        {"Bahnhof-Kiosk", {14, 0, 1}},
        {"Hotel-Seeblick-Gast1", {5, 2, 1}}, // its WPA element lies past 60 IE bytes
    };
    for (const Record& r : records) {
        SCOPED_TRACE(r.ssid);
        const auto it = expected.find(r.ssid);
        ASSERT_NE(it, expected.end());
        EXPECT_EQ(Channel(r.frequency), it->second.channel);
        // The utility decides from the whole record while it is in the buffer.
        EXPECT_EQ(Encryption(r, r.ies.size()), it->second.encryption);
        EXPECT_EQ(r.infrastructure, it->second.infrastructure);
        EXPECT_GE(r.rssi, -110);
        EXPECT_LE(r.rssi, -1);
    }
}

TEST(Survey, FrequencyFollowsTheChannel)
{
    json s = BaseScenario();
    s["regulatoryChannels"] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    for (int ch = 1; ch <= 14; ++ch) {
        char bssid[18];
        std::snprintf(bssid, sizeof bssid, "0A:00:00:00:01:%02X", ch);
        s["networks"].push_back(Network("Kanal-" + std::to_string(ch), bssid, ch, -60));
    }
    QvwlanRig rig(s);
    rig.Open();
    const auto records = ReadSurvey(Scan(rig));
    ASSERT_EQ(records.size(), 14u);
    for (const Record& r : records) {
        const int ch = std::stoi(r.ssid.substr(6));
        EXPECT_EQ(r.frequency,
                  ch == 14 ? 2484000u : 2412000u + 5000u * static_cast<std::uint32_t>(ch - 1));
        EXPECT_EQ(Channel(r.frequency), ch);
    }
}

TEST(Survey, WpaDetectionByElementPosition)
{
    // Names from empty to 32 bytes: the vendor element sits at L + 23 and its last byte
    // names the key management, for every length and every kind of network (by the
    // name's length modulo 4): the security field and the type the reader gives it.
    struct Kind {
        const char* security;
        int encryption;
    };
    static constexpr std::array<Kind, 4> kKinds{
        {{"wpa-psk", 2}, {"wpa-radius", 3}, {"wep", 1}, {"wpa3-sae", 4}}};
    json s = BaseScenario();
    for (std::size_t length = 0; length <= 32; ++length) {
        char bssid[18];
        std::snprintf(bssid, sizeof bssid, "0A:00:00:00:02:%02X", static_cast<unsigned>(length));
        const Kind& kind = kKinds[length % kKinds.size()];
        json extra = {{"security", kind.security}};
        if (kind.encryption == 1)
            extra["wepKeys"] = {{{"index", 0}, {"hex", "1A2B3C4D5E"}}};
        s["networks"].push_back(Network(std::string(length, 'W'), bssid, 6, -60, extra));
    }
    QvwlanRig rig(s);
    rig.Open();
    for (const Record& r : ReadSurvey(Scan(rig))) {
        const std::size_t length = r.ssid.size();
        SCOPED_TRACE(length);
        const int expected = kKinds[length % kKinds.size()].encryption;
        EXPECT_EQ(Encryption(r, r.ies.size()), expected);
        // The utility keeps 60 IE bytes: long WPA names are beyond its reach.
        EXPECT_EQ(Encryption(r), length <= 13 ? expected : 1);
    }
}

TEST(Survey, NameGivenByItsBytesIsSurveyedAsThoseBytes)
{
    json s = BaseScenario();
    json cafe = Network("x", "0A:00:00:00:00:01", 4, -50);
    cafe.erase("ssid");
    cafe["ssidHex"] = "436166E9"; // "Caf" and the Latin-1 byte of e-acute
    s["networks"] = {cafe};
    QvwlanRig rig(s);
    rig.Open();
    const auto records = ReadSurvey(Scan(rig));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].ssid, "Caf\xE9");
}

TEST(Survey, SeventyNetworksFitTheBuffer)
{
    json s = BaseScenario();
    for (int i = 0; i < 70; ++i) {
        char bssid[18];
        std::snprintf(bssid, sizeof bssid, "0A:00:00:00:03:%02X", static_cast<unsigned>(i));
        s["networks"].push_back(Network("Netz-" + std::to_string(i), bssid, 1 + i % 13, -60));
    }
    QvwlanRig rig(s);
    rig.Open();
    const auto buffer = Scan(rig);
    EXPECT_EQ(Word(buffer, 0), 70u);
    EXPECT_EQ(ReadSurvey(buffer).size(), 70u);
}

TEST(Survey, LongNamesAreWholeAndRecordsVaryInLength)
{
    json s = BaseScenario();
    s["networks"] = {Network("Gaestenetz-Gasthof-Zum-Hirschen", "0A:00:00:00:00:01", 4, -70),
                     Network(std::string(32, 'L'), "0A:00:00:00:00:02", 5, -70),
                     Network("K", "0A:00:00:00:00:03", 6, -70, {{"standard", "802.11b"}})};
    QvwlanRig rig(s);
    rig.Open();
    const auto records = ReadSurvey(Scan(rig));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].ssid, "Gaestenetz-Gasthof-Zum-Hirschen");
    EXPECT_EQ(records[1].ssid, std::string(32, 'L'));
    EXPECT_EQ(records[2].ssid, "K");
    EXPECT_NE(records[0].length, records[1].length);
    EXPECT_NE(records[1].length, records[2].length);
}

// A scan is done the scenario's scan time after its start (2000 ms unless it says): the
// state and the results change together, on the tick, and a new start begins again.
TEST(Survey, ScansFinishAfterTheScenarioScanTimeOnRegulatoryChannelsOnly)
{
    struct Case {
        std::optional<int> scanMs; // absent: the default
        std::uint32_t expectedMs;
    };
    for (const Case c : {Case{std::nullopt, 2000}, Case{0, 0}, Case{3500, 3500}}) {
        SCOPED_TRACE(c.expectedMs);
        json s = DefaultScenario();
        s["regulatoryChannels"] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        if (c.scanMs)
            s["scanMs"] = *c.scanMs;
        QvwlanRig rig(s);
        rig.Open();

        std::vector<std::uint8_t> buffer(kSiteSurveyBufferSize, 0);
        EXPECT_EQ(rig.lib.WL_SiteSurveyState(rig.ctx), -1) << "no scan yet";
        EXPECT_EQ(rig.lib.WL_RetrieveSiteSurveyData(rig.ctx, buffer), 0);
        EXPECT_EQ(Word(buffer, 0), 0u) << "no scan yet";
        ASSERT_EQ(rig.lib.WL_SiteSurveyStart(rig.ctx), 0);
        if (c.expectedMs > 0) {
            rig.clock.Advance(c.expectedMs - 1);
            EXPECT_EQ(rig.lib.WL_SiteSurveyState(rig.ctx), 0);
            EXPECT_EQ(rig.lib.WL_RetrieveSiteSurveyData(rig.ctx, buffer), 0);
            EXPECT_EQ(Word(buffer, 0), 0u) << "the scan has not finished";
            rig.clock.Advance(1);
        }
        EXPECT_EQ(rig.lib.WL_SiteSurveyState(rig.ctx), 1);
        ASSERT_EQ(rig.lib.WL_RetrieveSiteSurveyData(rig.ctx, buffer), 0);
        for (const Record& r : ReadSurvey(buffer))
            EXPECT_LE(Channel(r.frequency), 11) << r.ssid;
        EXPECT_EQ(Word(buffer, 0), 9u) << "channels 13 and 14 are not listened to";
        rig.clock.Advance(60000);
        EXPECT_EQ(rig.lib.WL_SiteSurveyState(rig.ctx), 1) << "done until the next start";

        ASSERT_EQ(rig.lib.WL_SiteSurveyStart(rig.ctx), 0);
        EXPECT_EQ(rig.lib.WL_SiteSurveyState(rig.ctx), c.expectedMs > 0 ? 0 : 1);
        AdapterContext closed = rig.ctx;
        closed.handle = -1;
        EXPECT_EQ(rig.lib.WL_SiteSurveyState(closed), -1);
    }
}

TEST(Survey, SignalJittersPerScanWithinBounds)
{
    json s = BaseScenario();
    s["rssiJitter"] = 4;
    s["networks"] = {Network("Offen", "0A:00:00:00:00:01", 1, -60)};
    QvwlanRig rig(s);
    rig.Open();
    std::set<int> seen;
    for (int i = 0; i < 20; ++i) {
        const auto records = ReadSurvey(Scan(rig));
        ASSERT_EQ(records.size(), 1u);
        EXPECT_GE(records[0].rssi, -64);
        EXPECT_LE(records[0].rssi, -56);
        seen.insert(records[0].rssi);
    }
    EXPECT_GT(seen.size(), 1u);
}

TEST(Survey, ShortBufferFailsUntouched)
{
    QvwlanRig rig(DefaultScenario());
    rig.Open();
    ASSERT_EQ(rig.lib.WL_SiteSurveyStart(rig.ctx), 0);
    rig.clock.Advance(2000);
    std::vector<std::uint8_t> buffer(kSiteSurveyBufferSize - 1, 0xEE);
    EXPECT_EQ(rig.lib.WL_RetrieveSiteSurveyData(rig.ctx, buffer), -1);
    EXPECT_TRUE(
        std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == 0xEE; }));
}

} // namespace
} // namespace kesto::test
