// Scenario: the simulated world the adapter library runs in, as read from the scenario
// file (README.md gives the file format): the system, the network adapters plugged in,
// the networks in range, the stations that want to join our access point, and the
// traffic that flows while a link is up. Plain values, validated by ScenarioLoader.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kesto::qvwlan {

using MacAddress = std::array<std::uint8_t, 6>;

enum class NetworkKind { AdHoc, Infrastructure };
// WpaSae: WPA3-Personal, SAE alone; joined with a pass phrase as WpaPsk is.
enum class Privacy { Open, Wep, WpaPsk, WpaRadius, WpaSae };
enum class Standard { B, G }; // 802.11b rates only, or 802.11b and g rates

// The system's wireless configuration service, with the status codes of
// QueryWL_CheckWZCStatus.
enum class ServiceStatus { NotControlling = 0, Controlling = 1, Released = 2 };

struct WepKey {
    int index = 0;                   // key slot 0..3
    std::vector<std::uint8_t> bytes; // 5, 13 or 29 bytes
    bool operator==(const WepKey&) const = default;
};

struct ScenarioAdapter {
    std::string name;           // at most 259 bytes
    std::string description;    // at most 259 bytes
    std::string driverInstance; // four characters: the sub-key under the adapter class key
    std::string deviceId;       // the identifier the system matches drivers by
    MacAddress mac{};
    bool present = true;             // plugged in
    bool wireless = true;            // false: an adapter the library lists but cannot open
    std::uint32_t driverVersion = 0; // packed: major, minor, build, revision (high to low)
    int maxWepKeyBits = 256;         // 64, 128 or 256: SetWL_WriteKey refuses longer keys
};

struct ScenarioNetwork {
    std::string ssid; // 0..32 bytes
    MacAddress bssid{};
    int channel = 1; // 1..14
    int rssi = -60;  // dBm at our antenna, before jitter
    NetworkKind kind = NetworkKind::Infrastructure;
    Standard standard = Standard::G;
    Privacy privacy = Privacy::Open;
    std::vector<WepKey> wepKeys; // for Privacy::Wep: the keys the network accepts, by slot
    bool hidden = false;         // beacons carry an empty name: joined by exact name only
    bool shortPreamble = true;   // the network accepts short preambles
    int atimWindow = 0;          // ad hoc: ATIM window in time units; 0 = no power saving
    int beaconInterval = 100;    // time units
    std::string passphrase;      // "wpa-psk": the pass phrase that joins; empty: none does
    std::string eapIdentity;     // "wpa-radius": the login its server accepts
    std::string eapPassword;
    // "wpa-radius": the name in its server's certificate; empty: the certificate is not
    // checked against the name the station asks for.
    std::string radiusServerName;
};

struct ScenarioStation {
    MacAddress mac{};
    std::optional<WepKey> wepKey; // the key the station transmits with; none = no WEP
};

struct TrafficProfile {
    std::uint32_t txBytesPerSecond = 0;
    std::uint32_t rxBytesPerSecond = 0;
    std::uint32_t bytesPerFrame = 1000;
    // Counter values when the adapter powers up (plugged in or the library started).
    std::uint32_t startTxBytes = 0;
    std::uint32_t startRxBytes = 0;
    std::uint32_t startTxFrames = 0;
    std::uint32_t startRxFrames = 0;
};

struct Scenario {
    int osVersion = 7;
    bool olderRegistryLayout = false;
    ServiceStatus wirelessService = ServiceStatus::NotControlling;
    std::vector<ScenarioAdapter> adapters;
    std::vector<int> regulatoryChannels; // ascending, unique, 1..14
    int rssiJitter = 2;                  // readings vary within +-rssiJitter dBm
    std::uint32_t scanMs = 2000;         // a scan's results are in this long after its start
    TrafficProfile traffic;
    std::vector<ScenarioNetwork> networks;
    std::vector<ScenarioStation> stations;
};

} // namespace kesto::qvwlan
