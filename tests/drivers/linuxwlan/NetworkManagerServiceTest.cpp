// The coexistence check against NetworkManager as python-dbusmock plays it, on a private
// bus (with-mock-networkmanager.sh starts both and names the bus in
// DBUS_SYSTEM_BUS_ADDRESS).
#include "tests/drivers/linuxwlan/LinuxRig.h"
#include "tests/support/ParamName.h"

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

// Calls one of the mock's own methods (org.freedesktop.DBus.Mock) on NetworkManager's
// object; false on any error. The mock takes its name a moment after it starts, so the
// call is tried again for a while. The mock keeps what it is told for its life (its
// reset loses the template here), so each case runs against a mock of its own (one
// ctest entry per case).
template <class... Args> bool TellMock(const char* method, const char* signature, Args... args)
{
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0)
        return false;
    const bool connected = sd_bus_set_address(bus, MockBus().c_str()) >= 0 &&
                           sd_bus_set_bus_client(bus, 1) >= 0 && sd_bus_start(bus) >= 0;
    bool told = false;
    for (int tries = 0; connected && !told && tries < 100; ++tries) {
        sd_bus_error error{};
        sd_bus_message* reply = nullptr;
        told = sd_bus_call_method(bus, "org.freedesktop.NetworkManager",
                                  "/org/freedesktop/NetworkManager", "org.freedesktop.DBus.Mock",
                                  method, &error, &reply, signature, args...) >= 0;
        sd_bus_error_free(&error);
        sd_bus_message_unref(reply);
        if (!told)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    sd_bus_flush_close_unref(bus);
    return told;
}

// Gives the mock a managed Wi-Fi device on iface.
bool MockWith(const std::string& iface)
{
    return TellMock("AddWiFiDevice", "ssi", ("dev_" + iface).c_str(), iface.c_str(), 100);
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

// How NetworkManager answers the question for the interface's device: only its own
// answer that it knows no such device frees the interface. A question that fails in any
// other way counts as the service in charge: the utility refuses to configure (with its
// message), and nothing is released.
struct DeviceAnswer {
    std::string_view name;
    const char* replySignature;
    const char* code; // the mock's GetDeviceByIpIface, in Python
    int status;       // QueryWL_CheckWZCStatus
    int release;      // SetWL_WZCStatus(0)
};
class DeviceAnswers : public testing::TestWithParam<DeviceAnswer> {};
TEST_P(DeviceAnswers, DecideTheServiceCheck)
{
    ASSERT_FALSE(MockBus().empty()) << "run through with-mock-networkmanager.sh";
    ASSERT_TRUE(MockWith("wlan0"));
    ASSERT_TRUE(TellMock("AddMethod", "sssss", "org.freedesktop.NetworkManager",
                         "GetDeviceByIpIface", "s", GetParam().replySignature, GetParam().code));
    LinuxRig rig(MockBus());
    rig.Open();
    EXPECT_EQ(rig.lib->QueryWL_CheckWZCStatus(rig.ctx), GetParam().status);
    EXPECT_EQ(rig.lib->SetWL_WZCStatus(rig.ctx, 0), GetParam().release);
}
INSTANTIATE_TEST_SUITE_P(
    Mock, DeviceAnswers,
    testing::Values(
        DeviceAnswer{"UnknownDevice", "o",
                     "raise dbus.exceptions.DBusException('No device found for the requested "
                     "iface.', name='org.freedesktop.NetworkManager.UnknownDevice')",
                     0, 0},
        DeviceAnswer{"AccessDenied", "o",
                     "raise dbus.exceptions.DBusException('Rejected send message', "
                     "name='org.freedesktop.DBus.Error.AccessDenied')",
                     1, -1},
        // As at a login, while the service starts: the deadline (300 ms here) passes.
        DeviceAnswer{"NoAnswerInTime", "o",
                     "import time; time.sleep(1.5); ret = '/org/freedesktop/NetworkManager/"
                     "Devices/dev_wlan0'",
                     1, -1},
        DeviceAnswer{"ReplyThatDoesNotRead", "s", "ret = 'wlan0'", 1, -1}),
    kesto::test::ParamName{});

TEST(NetworkManagerCoexistence, NoBusMeansNoServiceInCharge)
{
    LinuxRig rig; // its bus address names no socket
    rig.Open();
    EXPECT_EQ(rig.lib->QueryWL_CheckWZCStatus(rig.ctx), 0);
    EXPECT_EQ(rig.lib->SetWL_WZCStatus(rig.ctx, 0), 0);
}

} // namespace
} // namespace kesto::linuxwlan::test
