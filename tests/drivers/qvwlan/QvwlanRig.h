// A simulated adapter over a scenario the test builds: the real library on a scenario
// file in a scratch directory, the real SQLite store in memory, a fake clock.
#pragma once

#include "drivers/qvwlan/SimulatedWlanLibrary.h"
#include "registry/SqliteRegistry.h"
#include "tests/support/FakeClock.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::test {

using nlohmann::json;

inline constexpr const char* kProductInstance = "0007";
inline constexpr const char* kNtDriverKey =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}\\";
inline constexpr const char* k9xDriverKey = "System\\CurrentControlSet\\Services\\Class\\Net\\";

inline std::vector<std::uint8_t> Bytes(std::string_view hex)
{
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(
            static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return out;
}

inline qvwlan::MacAddress Mac(std::string_view text)
{
    qvwlan::MacAddress mac{};
    for (std::size_t i = 0; i < 6; ++i)
        mac[i] =
            static_cast<std::uint8_t>(std::stoi(std::string(text.substr(i * 3, 2)), nullptr, 16));
    return mac;
}

inline json Network(std::string_view ssid, std::string_view bssid, int channel, int rssi,
                    const json& extra = json::object())
{
    json n = {{"ssid", ssid}, {"bssid", bssid}, {"channel", channel}, {"rssi", rssi}};
    n.update(extra);
    return n;
}

// The product adapter "0007" and a wired adapter "0001", channels 1..13, no jitter, no
// networks, no stations, no traffic.
inline json BaseScenario()
{
    return json::parse(R"({
      "system": { "osVersion": 7 },
      "adapters": [
        { "name": "{A1}", "description": "Kesto USB Wireless LAN Adapter",
          "driverInstance": "0007", "deviceId": "USB\\VID_2C4E&PID_0450",
          "mac": "02:4B:45:53:54:4F", "driverVersion": "2.1.7.3C" },
        { "name": "{B2}", "description": "Hausnetz PCI Ethernet-Controller",
          "driverInstance": "0001", "deviceId": "PCI\\VEN_1A5E&DEV_2201",
          "mac": "06:1A:5E:22:01:01", "wireless": false }
      ],
      "regulatoryChannels": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13],
      "rssiJitter": 0,
      "networks": [],
      "stations": []
    })");
}

class QvwlanRig {
public:
    explicit QvwlanRig(const json& scenario, std::uint64_t seed = 1)
        : file(dir.write("scenario.json", scenario.dump(2))), lib(file, registry, clock, seed)
    {
    }

    // Replaces the scenario file; the library notices on its next call.
    void Rewrite(const json& scenario) { dir.write("scenario.json", scenario.dump(2)); }

    void Open()
    {
        std::memcpy(ctx.driverInstance, kProductInstance, 5);
        ASSERT_NE(lib.QvOpenAdapter(ctx), 0);
    }

    void Join(std::string_view ssid, int networkType = 1)
    {
        ASSERT_EQ(lib.SetWL_SSID(ctx, std::span<const char>(ssid.data(), ssid.size())), 0);
        ASSERT_EQ(lib.SetWL_NetworkType(ctx, networkType), networkType);
    }

    // Writes a key given as hexadecimal digits (10, 26 or 58 of them).
    int WriteKey(int index, std::string_view hex, int transmit = 1)
    {
        const int sizeCode = hex.size() == 10 ? 0 : hex.size() == 26 ? 1 : 2;
        return lib.SetWL_WriteKey(ctx, index, sizeCode, transmit, Bytes(hex));
    }

    int Status() { return lib.QueryWL_LinkStatus(ctx); }
    // Lets any association attempt finish.
    void Settle() { clock.Advance(qvwlan::SimulatedAdapter::kMaxAssociationMs); }

    // The 32-bit counter i of a fresh statistics read (-1 on a failed read).
    std::array<std::uint32_t, 20> Counters(int* result = nullptr)
    {
        std::array<std::uint8_t, kStatisticsBufferSize> buffer{};
        buffer[0] = static_cast<std::uint8_t>(kStatisticsBufferSize);
        buffer[4] = 9;
        const int r = lib.ReadOid(ctx, kOidStatistics, buffer);
        if (result)
            *result = r;
        std::array<std::uint32_t, 20> counters{};
        for (std::size_t i = 0; i < 20; ++i)
            std::memcpy(&counters[i], buffer.data() + 8 + 4 * i, 4);
        return counters;
    }

    TempDir dir;
    std::filesystem::path file;
    SqliteRegistry registry{":memory:"};
    FakeClock clock;
    SimulatedWlanLibrary lib;
    AdapterContext ctx;
};

} // namespace kesto::test
