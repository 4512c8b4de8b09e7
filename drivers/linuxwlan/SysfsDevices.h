// SysfsDevices: the wireless network interfaces as sysfs shows them (/sys/class/net):
// which exist, their index, MAC address, driver, the device identifier that the adapter
// INI lists, and the traffic counters.
#pragma once

#include "drivers/linuxwlan/ControlReplies.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::linuxwlan {

struct WirelessInterface {
    std::string name;
    int index = 0;
    std::optional<MacAddress> mac;
    std::string phy;      // the radio ("phy0"), empty when sysfs does not name it
    std::string driver;   // the kernel driver's name, empty when none is bound
    std::string deviceId; // "USB\VID_148F&PID_5370"; empty when the device names none

    bool operator==(const WirelessInterface&) const = default;
};

struct InterfaceCounters {
    std::uint64_t txPackets = 0, rxPackets = 0, txBytes = 0, rxBytes = 0;
    std::uint64_t txErrors = 0, rxErrors = 0, rxDropped = 0;
};

class SysfsDevices {
public:
    explicit SysfsDevices(std::filesystem::path classNet) : m_classNet(std::move(classNet)) {}

    // Interfaces with a "wireless" folder or a "phy80211" link, by index.
    std::vector<WirelessInterface> List() const;
    std::optional<WirelessInterface> Find(std::string_view name) const;
    bool Exists(std::string_view name) const;
    // nullopt when the interface is gone or a counter does not read as a number.
    std::optional<InterfaceCounters> Counters(std::string_view name) const;

    // The identifier one uevent text names: PRODUCT (USB), PCI_ID, SDIO_ID, else DRIVER
    // ("LINUX\<DRIVER>"); empty when it names none of these.
    static std::string DeviceIdOfUevent(std::string_view uevent);

private:
    std::optional<WirelessInterface> Read(const std::filesystem::path& dir) const;

    std::filesystem::path m_classNet;
};

} // namespace kesto::linuxwlan
