// The coexistence check against NetworkManager as python-dbusmock plays it, on a private
// bus (with-mock-networkmanager.sh starts both and names the bus in
// DBUS_SYSTEM_BUS_ADDRESS).
#include "tests/drivers/linuxwlan/LinuxRig.h"

#include <gtest/gtest.h>

#include <systemd/sd-bus.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace kesto::linuxwlan::test {
namespace {

std::string MockBus()
{
    const char* address = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    return address ? address : "";
}

// Gives the mock a managed Wi-Fi device on iface; false on any error. The mock keeps its
// devices for its life (its reset loses the template here), so each case runs against
// a mock of its own (one ctest entry per case).
bool MockWith(const std::string& iface)
{
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0)
        return false;
    bool ok = sd_bus_set_address(bus, MockBus().c_str()) >= 0 &&
              sd_bus_set_bus_client(bus, 1) >= 0 && sd_bus_start(bus) >= 0;
    const auto call = [&](const char* method, const char* signature, auto... args) {
        sd_bus_error error{};
        sd_bus_message* reply = nullptr;
        const int r = sd_bus_call_method(
            bus, "org.freedesktop.NetworkManager", "/org/freedesktop/NetworkManager",
            "org.freedesktop.DBus.Mock", method, &error, &reply, signature, args...);
        sd_bus_error_free(&error);
        sd_bus_message_unref(reply);
        return r >= 0;
    };
    // The mock takes its name a moment after it starts.
    bool added = false;
    for (int tries = 0; ok && !added && tries < 100; ++tries) {
        added = call("AddWiFiDevice", "ssi", ("dev_" + iface).c_str(), iface.c_str(), 100);
        if (!added)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    sd_bus_flush_close_unref(bus);
    return added;
}

TEST(NetworkManagerCoexistence, ManagedInterfaceIsInChargeUntilReleased)
{
    ASSERT_FALSE(MockBus().empty()) << "run through with-mock-networkmanager.sh";
    ASSERT_TRUE(MockWith("wlan0"));
    LinuxRig rig(MockBus());
    rig.Open();
    EXPECT_EQ(rig.lib->QueryWL_CheckWZCStatus(rig.ctx), 1);
    EXPECT_EQ(rig.lib->SetWL_WZCStatus(rig.ctx, 0), 0);
    EXPECT_EQ(rig.lib->QueryWL_CheckWZCStatus(rig.ctx), 2);
    EXPECT_EQ(rig.lib->SetWL_WZCStatus(rig.ctx, 1), 0);
    EXPECT_EQ(rig.lib->QueryWL_CheckWZCStatus(rig.ctx), 1);
    EXPECT_EQ(rig.lib->SetWL_WZCStatus(rig.ctx, 2), -1);
}

TEST(NetworkManagerCoexistence, InterfaceTheServiceDoesNotKnowIsFree)
{
    ASSERT_FALSE(MockBus().empty()) << "run through with-mock-networkmanager.sh";
    ASSERT_TRUE(MockWith("wlan7"));
    LinuxRig rig(MockBus());
    rig.Open(); // wlan0, which this mock's devices do not include
    EXPECT_EQ(rig.lib->QueryWL_CheckWZCStatus(rig.ctx), 0);
    EXPECT_EQ(rig.lib->SetWL_WZCStatus(rig.ctx, 0), 0);
}

TEST(NetworkManagerCoexistence, NoBusMeansNoServiceInCharge)
{
    LinuxRig rig; // its bus address names no socket
    rig.Open();
    EXPECT_EQ(rig.lib->QueryWL_CheckWZCStatus(rig.ctx), 0);
    EXPECT_EQ(rig.lib->SetWL_WZCStatus(rig.ctx, 0), 0);
}

} // namespace
} // namespace kesto::linuxwlan::test
