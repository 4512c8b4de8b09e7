// Scenario file parsing and validation. Every field is read through a small checker
// that knows its place in the file, so each refusal names the exact field; unknown
// fields are refused too, because a misspelt field silently taking its default would
// make a test scenario mean something other than it says.
#include "drivers/qvwlan/ScenarioLoader.h"

#include "base/AsciiText.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kesto::qvwlan {
namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& where, const std::string& what)
{
    throw ScenarioError(where.empty() ? what : where + ": " + what);
}

std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text.substr(0, 40)) {
        const auto u = static_cast<unsigned char>(c);
        out += (u >= 0x20 && u < 0x7F) ? c : '?';
    }
    if (text.size() > 40)
        out += "...";
    return out + "\"";
}

const char* TypeName(const json& v)
{
    return v.type_name();
}

std::int64_t Integer(const json& v, const std::string& where, std::int64_t min, std::int64_t max)
{
    if (!v.is_number_integer())
        Fail(where, std::string("expected a whole number, found ") + TypeName(v));
    std::int64_t n = 0;
    if (v.is_number_unsigned()) {
        const auto u = v.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(max))
            Fail(where, std::to_string(u) + " is outside " + std::to_string(min) + ".." +
                            std::to_string(max));
        n = static_cast<std::int64_t>(u);
    } else {
        n = v.get<std::int64_t>();
    }
    if (n < min || n > max)
        Fail(where,
             std::to_string(n) + " is outside " + std::to_string(min) + ".." + std::to_string(max));
    return n;
}

bool Boolean(const json& v, const std::string& where)
{
    if (!v.is_boolean())
        Fail(where, std::string("expected true or false, found ") + TypeName(v));
    return v.get<bool>();
}

std::string Text(const json& v, const std::string& where, std::size_t maxBytes)
{
    if (!v.is_string())
        Fail(where, std::string("expected a text, found ") + TypeName(v));
    auto s = v.get<std::string>();
    if (s.size() > maxBytes)
        Fail(where, "longer than " + std::to_string(maxBytes) + " bytes");
    if (s.find('\0') != std::string::npos)
        Fail(where, "contains a NUL character");
    return s;
}

const json& Array(const json& v, const std::string& where, std::size_t maxItems)
{
    if (!v.is_array())
        Fail(where, std::string("expected a list, found ") + TypeName(v));
    if (v.size() > maxItems)
        Fail(where, "more than " + std::to_string(maxItems) + " entries");
    return v;
}

MacAddress Mac(const json& v, const std::string& where)
{
    const std::string s = Text(v, where, 64);
    MacAddress mac{};
    bool ok = s.size() == 17;
    for (std::size_t i = 0; ok && i < 6; ++i) {
        const int hi = HexDigitValue(s[i * 3]);
        const int lo = HexDigitValue(s[i * 3 + 1]);
        ok = hi >= 0 && lo >= 0 && (i == 5 || s[i * 3 + 2] == ':');
        if (ok)
            mac[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    if (!ok)
        Fail(where, Quoted(s) + " is not a MAC address (six hex pairs joined by ':')");
    return mac;
}

// The fields of one JSON object: each read marks its key as known, and finish() refuses
// whatever was not read.
class Fields {
public:
    Fields(const json& object, std::string where) : m_object(object), m_where(std::move(where))
    {
        if (!m_object.is_object())
            Fail(m_where, std::string("expected an object, found ") + TypeName(m_object));
    }

    std::string at(std::string_view key) const
    {
        return m_where.empty() ? std::string(key) : m_where + "." + std::string(key);
    }

    const json* optional(std::string_view key)
    {
        m_known.insert(std::string(key));
        const auto it = m_object.find(key);
        return it == m_object.end() ? nullptr : &*it;
    }

    const json& required(std::string_view key)
    {
        const json* v = optional(key);
        if (!v)
            Fail(m_where, "missing field \"" + std::string(key) + "\"");
        return *v;
    }

    std::int64_t integer(std::string_view key, std::int64_t min, std::int64_t max)
    {
        return Integer(required(key), at(key), min, max);
    }
    std::int64_t integer(std::string_view key, std::int64_t min, std::int64_t max,
                         std::int64_t fallback)
    {
        const json* v = optional(key);
        return v ? Integer(*v, at(key), min, max) : fallback;
    }
    bool boolean(std::string_view key, bool fallback)
    {
        const json* v = optional(key);
        return v ? Boolean(*v, at(key)) : fallback;
    }
    std::string text(std::string_view key, std::size_t maxBytes)
    {
        return Text(required(key), at(key), maxBytes);
    }

    // A text field that must be one of the given words; returns its position.
    template <std::size_t N>
    std::size_t choice(std::string_view key, const std::array<const char*, N>& words,
                       std::size_t fallback)
    {
        const json* v = optional(key);
        if (!v)
            return fallback;
        const std::string s = Text(*v, at(key), 64);
        for (std::size_t i = 0; i < N; ++i)
            if (s == words[i])
                return i;
        std::string list;
        for (std::size_t i = 0; i < N; ++i)
            list += (i ? ", " : "") + std::string("\"") + words[i] + "\"";
        Fail(at(key), Quoted(s) + " is not one of " + list);
    }

    void finish() const
    {
        for (const auto& [key, value] : m_object.items())
            if (!m_known.contains(key))
                Fail(m_where, "unknown field " + Quoted(key));
    }

private:
    const json& m_object;
    std::string m_where;
    std::set<std::string, std::less<>> m_known;
};

std::string Item(const std::string& list, std::size_t i)
{
    return list + "[" + std::to_string(i) + "]";
}

// Refuses texts that nest deeper than the limit before the parser sees them, so no
// input can drive a deep recursion anywhere.
void CheckNesting(std::string_view text)
{
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > ScenarioLoader::kMaxNesting)
                Fail("", "objects and lists nest deeper than " +
                             std::to_string(ScenarioLoader::kMaxNesting) + " levels");
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
}

std::uint32_t DriverVersion(const json& v, const std::string& where)
{
    // "major.minor.build.revision": three decimal numbers and a hexadecimal revision,
    // each 0..255, the way the about box shows them.
    const std::string s = Text(v, where, 32);
    std::uint32_t packed = 0;
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t end = part < 3 ? s.find('.', pos) : s.size();
        const std::string digits =
            end == std::string::npos ? std::string() : s.substr(pos, end - pos);
        const int base = part < 3 ? 10 : 16;
        std::uint32_t n = 0;
        bool ok = !digits.empty() && digits.size() <= 3;
        for (const char c : digits) {
            const int d = HexDigitValue(c);
            ok = ok && d >= 0 && d < base;
            n = n * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(d < 0 ? 0 : d);
        }
        if (!ok || n > 255)
            Fail(where, Quoted(s) + " is not a driver version (major.minor.build.revision, the "
                                    "revision in hexadecimal, each 0..255)");
        packed = (packed << 8) | n;
        pos = end + 1;
    }
    return packed;
}

WepKey Key(const json& v, const std::string& where)
{
    Fields f(v, where);
    WepKey key;
    key.index = static_cast<int>(f.integer("index", 0, 3));
    const std::string hex = f.text("hex", 58);
    f.finish();
    if (hex.size() != 10 && hex.size() != 26 && hex.size() != 58)
        Fail(f.at("hex"),
             "a key has 10, 26 or 58 hexadecimal digits, not " + std::to_string(hex.size()));
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexDigitValue(hex[i]);
        const int lo = HexDigitValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            Fail(f.at("hex"), Quoted(hex) + " holds a character that is not a hexadecimal digit");
        key.bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return key;
}

void ReadSystem(Fields& f, Scenario& s)
{
    s.osVersion = static_cast<int>(f.integer("osVersion", 0, 255));
    s.olderRegistryLayout = f.boolean("olderRegistryLayout", false);
    static constexpr std::array<const char*, 3> kService{"not-controlling", "controlling",
                                                         "released"};
    s.wirelessService = static_cast<ServiceStatus>(f.choice("wirelessService", kService, 0));
}

ScenarioAdapter ReadAdapter(const json& v, const std::string& where)
{
    Fields f(v, where);
    ScenarioAdapter a;
    a.name = f.text("name", 259);
    a.description = f.text("description", 259);
    a.driverInstance = f.text("driverInstance", 4);
    const bool instanceOk =
        a.driverInstance.size() == 4 &&
        std::all_of(a.driverInstance.begin(), a.driverInstance.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        });
    if (!instanceOk)
        Fail(f.at("driverInstance"),
             Quoted(a.driverInstance) + " is not four letters or digits (such as \"0007\")");
    a.deviceId = f.text("deviceId", 200);
    if (a.deviceId.empty())
        Fail(f.at("deviceId"), "is empty");
    a.mac = Mac(f.required("mac"), f.at("mac"));
    a.present = f.boolean("present", true);
    a.wireless = f.boolean("wireless", true);
    if (const json* dv = f.optional("driverVersion"))
        a.driverVersion = DriverVersion(*dv, f.at("driverVersion"));
    a.maxWepKeyBits = static_cast<int>(f.integer("maxWepKeyBits", 64, 256, 256));
    if (a.maxWepKeyBits != 64 && a.maxWepKeyBits != 128 && a.maxWepKeyBits != 256)
        Fail(f.at("maxWepKeyBits"), std::to_string(a.maxWepKeyBits) + " is not 64, 128 or 256");
    f.finish();
    return a;
}

std::string SsidBytes(const std::string& hex, const std::string& where)
{
    if (hex.size() % 2 != 0)
        Fail(where, "an odd number of hexadecimal digits");
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexDigitValue(hex[i]);
        const int lo = HexDigitValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            Fail(where, Quoted(hex) + " is not hexadecimal digits");
        if (hi == 0 && lo == 0)
            Fail(where, "contains a zero byte");
        bytes += static_cast<char>(hi * 16 + lo);
    }
    return bytes;
}

ScenarioNetwork ReadNetwork(const json& v, const std::string& where)
{
    Fields f(v, where);
    ScenarioNetwork n;
    // A name that is not UTF-8 (JSON texts must be) is given by its bytes instead.
    if (const json* hex = f.optional("ssidHex")) {
        if (f.optional("ssid"))
            Fail(where, "give \"ssid\" or \"ssidHex\", not both");
        n.ssid = SsidBytes(Text(*hex, f.at("ssidHex"), 64), f.at("ssidHex"));
    } else {
        n.ssid = f.text("ssid", 32);
    }
    n.bssid = Mac(f.required("bssid"), f.at("bssid"));
    if (n.bssid[0] & 0x01)
        Fail(f.at("bssid"), "a group address cannot name a network");
    n.channel = static_cast<int>(f.integer("channel", 1, 14));
    n.rssi = static_cast<int>(f.integer("rssi", -100, -10));
    static constexpr std::array<const char*, 2> kKind{"adhoc", "infrastructure"};
    n.kind = static_cast<NetworkKind>(f.choice("type", kKind, 1));
    static constexpr std::array<const char*, 2> kStandard{"802.11b", "802.11g"};
    n.standard = static_cast<Standard>(f.choice("standard", kStandard, 1));
    static constexpr std::array<const char*, 5> kPrivacy{"open", "wep", "wpa-psk", "wpa-radius",
                                                         "wpa3-sae"};
    n.privacy = static_cast<Privacy>(f.choice("security", kPrivacy, 0));
    n.hidden = f.boolean("hidden", false);
    n.shortPreamble = f.boolean("shortPreamble", true);
    n.atimWindow = static_cast<int>(f.integer("atimWindow", 0, 1000, 0));
    n.beaconInterval = static_cast<int>(f.integer("beaconInterval", 20, 1000, 100));
    if (const json* keys = f.optional("wepKeys")) {
        const json& list = Array(*keys, f.at("wepKeys"), 4);
        for (std::size_t i = 0; i < list.size(); ++i) {
            WepKey key = Key(list[i], Item(f.at("wepKeys"), i));
            for (const WepKey& other : n.wepKeys)
                if (other.index == key.index)
                    Fail(Item(f.at("wepKeys"), i),
                         "key slot " + std::to_string(key.index) + " given twice");
            n.wepKeys.push_back(std::move(key));
        }
    }
    if (f.optional("passphrase"))
        n.passphrase = f.text("passphrase", 63);
    if (f.optional("eapIdentity"))
        n.eapIdentity = f.text("eapIdentity", 255);
    if (f.optional("eapPassword"))
        n.eapPassword = f.text("eapPassword", 255);
    if (f.optional("radiusServerName"))
        n.radiusServerName = f.text("radiusServerName", 253);
    f.finish();
    if (!n.passphrase.empty() && n.privacy != Privacy::WpaPsk && n.privacy != Privacy::WpaSae)
        Fail(where, "\"passphrase\" belongs to \"wpa-psk\" and \"wpa3-sae\" networks only");
    if ((!n.eapIdentity.empty() || !n.eapPassword.empty() || !n.radiusServerName.empty()) &&
        n.privacy != Privacy::WpaRadius)
        Fail(where, "\"eapIdentity\", \"eapPassword\" and \"radiusServerName\" belong to "
                    "\"wpa-radius\" networks only");
    if (n.privacy == Privacy::Wep && n.wepKeys.empty())
        Fail(where, "a \"wep\" network needs \"wepKeys\"");
    if (n.privacy != Privacy::Wep && !n.wepKeys.empty())
        Fail(where, "\"wepKeys\" belong to \"wep\" networks only");
    // The survey record puts the WPA element at a fixed place behind the name, which only
    // access points' beacons have.
    if ((n.privacy == Privacy::WpaPsk || n.privacy == Privacy::WpaRadius ||
         n.privacy == Privacy::WpaSae) &&
        n.kind == NetworkKind::AdHoc)
        Fail(where, "WPA security needs \"type\": \"infrastructure\"");
    if (n.kind == NetworkKind::Infrastructure && n.atimWindow != 0)
        Fail(f.at("atimWindow"), "only ad-hoc cells have an ATIM window");
    return n;
}

ScenarioStation ReadStation(const json& v, const std::string& where)
{
    Fields f(v, where);
    ScenarioStation st;
    st.mac = Mac(f.required("mac"), f.at("mac"));
    if (st.mac[0] & 0x01)
        Fail(f.at("mac"), "a group address cannot be a station");
    if (const json* key = f.optional("wepKey"))
        st.wepKey = Key(*key, f.at("wepKey"));
    f.finish();
    return st;
}

void ReadTraffic(Fields& f, TrafficProfile& t)
{
    constexpr std::int64_t kMaxRate = 100'000'000; // far above what 802.11g carries
    constexpr std::int64_t kMax32 = 0xFFFFFFFF;
    t.txBytesPerSecond = static_cast<std::uint32_t>(f.integer("txBytesPerSecond", 0, kMaxRate, 0));
    t.rxBytesPerSecond = static_cast<std::uint32_t>(f.integer("rxBytesPerSecond", 0, kMaxRate, 0));
    t.bytesPerFrame = static_cast<std::uint32_t>(f.integer("bytesPerFrame", 64, 2346, 1000));
    t.startTxBytes = static_cast<std::uint32_t>(f.integer("startTxBytes", 0, kMax32, 0));
    t.startRxBytes = static_cast<std::uint32_t>(f.integer("startRxBytes", 0, kMax32, 0));
    t.startTxFrames = static_cast<std::uint32_t>(f.integer("startTxFrames", 0, kMax32, 0));
    t.startRxFrames = static_cast<std::uint32_t>(f.integer("startRxFrames", 0, kMax32, 0));
}

Scenario ReadScenario(const json& root)
{
    Fields top(root, "");
    Scenario s;

    Fields system(top.required("system"), "system");
    ReadSystem(system, s);
    system.finish();

    const json& adapters =
        Array(top.required("adapters"), "adapters", ScenarioLoader::kMaxAdapters);
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        ScenarioAdapter a = ReadAdapter(adapters[i], Item("adapters", i));
        for (const ScenarioAdapter& other : s.adapters)
            if (other.driverInstance == a.driverInstance)
                Fail(Item("adapters", i),
                     "driver instance " + Quoted(a.driverInstance) + " is used by another adapter");
        s.adapters.push_back(std::move(a));
    }

    const json& channels = Array(top.required("regulatoryChannels"), "regulatoryChannels", 14);
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const int ch = static_cast<int>(Integer(channels[i], Item("regulatoryChannels", i), 1, 14));
        if (!s.regulatoryChannels.empty() && ch <= s.regulatoryChannels.back())
            Fail(Item("regulatoryChannels", i), "channels must be listed once each, ascending");
        s.regulatoryChannels.push_back(ch);
    }
    if (s.regulatoryChannels.empty())
        Fail("regulatoryChannels", "lists no channel");

    s.rssiJitter = static_cast<int>(top.integer("rssiJitter", 0, 10, 2));
    s.scanMs = static_cast<std::uint32_t>(top.integer("scanMs", 0, 60000, 2000));

    if (const json* traffic = top.optional("traffic")) {
        Fields f(*traffic, "traffic");
        ReadTraffic(f, s.traffic);
        f.finish();
    }

    if (const json* networks = top.optional("networks")) {
        const json& list = Array(*networks, "networks", ScenarioLoader::kMaxNetworks);
        for (std::size_t i = 0; i < list.size(); ++i) {
            ScenarioNetwork n = ReadNetwork(list[i], Item("networks", i));
            for (const ScenarioNetwork& other : s.networks)
                if (other.bssid == n.bssid)
                    Fail(Item("networks", i) + ".bssid", "another network has this BSSID");
            s.networks.push_back(std::move(n));
        }
    }

    if (const json* stations = top.optional("stations")) {
        const json& list = Array(*stations, "stations", ScenarioLoader::kMaxStations);
        for (std::size_t i = 0; i < list.size(); ++i) {
            ScenarioStation st = ReadStation(list[i], Item("stations", i));
            for (const ScenarioStation& other : s.stations)
                if (other.mac == st.mac)
                    Fail(Item("stations", i) + ".mac", "another station has this address");
            s.stations.push_back(std::move(st));
        }
    }

    top.finish();
    return s;
}

// The place in the document the parser has reached, kept from its callbacks, so an
// error the parser raises mid-value (a number too large for a double) can name the field
// it was reading.
class ParsePosition {
public:
    bool Step(json::parse_event_t event, const json& parsed)
    {
        using Event = json::parse_event_t;
        switch (event) {
        case Event::object_start:
            m_frames.push_back({false, 0, {}});
            break;
        case Event::array_start:
            m_frames.push_back({true, 0, {}});
            break;
        case Event::key:
            if (!m_frames.empty() && parsed.is_string())
                m_frames.back().key = parsed.get<std::string>();
            break;
        case Event::object_end:
        case Event::array_end:
            if (!m_frames.empty())
                m_frames.pop_back();
            Completed();
            break;
        case Event::value:
            Completed();
            break;
        }
        return true;
    }

    // "networks[2].rssi", or "" at the top.
    std::string Field() const
    {
        std::string out;
        for (const Frame& frame : m_frames) {
            if (frame.array) {
                out += "[" + std::to_string(frame.done) + "]";
            } else if (!frame.key.empty()) {
                out += (out.empty() ? "" : ".") + frame.key;
            }
        }
        return out;
    }

private:
    struct Frame {
        bool array;
        std::size_t done; // elements of an array read completely
        std::string key;  // the key of an object whose value is being read
    };

    void Completed()
    {
        if (!m_frames.empty() && m_frames.back().array)
            ++m_frames.back().done;
    }

    std::vector<Frame> m_frames;
};

// The library's message without its own exception tag ("[json.exception...] ").
std::string LibraryMessage(const std::exception& e)
{
    std::string what = e.what();
    if (const auto pos = what.find("] "); what.starts_with("[json") && pos != std::string::npos)
        what.erase(0, pos + 2);
    return what;
}

} // namespace

Scenario ScenarioLoader::Parse(std::string_view text)
{
    if (text.size() > kMaxTextBytes)
        Fail("", "larger than " + std::to_string(kMaxTextBytes) + " bytes");
    CheckNesting(text);
    json root;
    ParsePosition position;
    try {
        root = json::parse(text.begin(), text.end(),
                           [&position](int, json::parse_event_t event, json& parsed) {
                               return position.Step(event, parsed);
                           });
    } catch (const json::parse_error& e) {
        // The parser's own message says where (line and column).
        Fail("", "not valid JSON: " + LibraryMessage(e));
    } catch (const json::exception& e) {
        // Raised inside a value (a number out of range): the field it belongs to.
        Fail(position.Field(), "not valid JSON: " + LibraryMessage(e));
    }
    try {
        return ReadScenario(root);
    } catch (const json::exception& e) {
        // The readers check each value's type first; should one slip through, it is
        // still a refusal of this file, never an error of another kind.
        Fail("", "unexpected value: " + LibraryMessage(e));
    }
}

} // namespace kesto::qvwlan
