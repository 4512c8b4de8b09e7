// kestoctl adapters on a scratch sysfs tree, and the stored adapter library choice.
#include "tools/kestoctl/AdaptersCommand.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kesto {
namespace {

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

Result Command(CommandFunction command, const std::string& store,
               const std::vector<std::string>& args)
{
    std::ostringstream out;
    std::ostringstream err;
    CommandContext context(store, out, err);
    const int code = command(context, args);
    return {code, out.str(), err.str()};
}

TEST(AdaptersCommand, ListsWirelessInterfacesWithTheirIniLine)
{
    test::TempDir dir;
    namespace fs = std::filesystem;
    dir.write("devices/usb1/1-1/uevent", "PRODUCT=148f/5370/101\n");
    dir.write("devices/usb1/1-1/1-1:1.0/uevent", "DEVTYPE=usb_interface\n");
    dir.write("devices/virtual/mac80211_hwsim/hwsim0/uevent", "DRIVER=mac80211_hwsim\n");
    dir.write("devices/virtual/misc/uevent", "DEVTYPE=none\n");
    const auto add = [&](const std::string& name, int index, const fs::path& device) {
        dir.write("net/" + name + "/ifindex", std::to_string(index) + "\n");
        fs::create_directories(dir.path() / "net" / name / "wireless");
        fs::create_directory_symlink(dir.path() / device, dir.path() / "net" / name / "device");
    };
    add("wlan1", 5, "devices/virtual/mac80211_hwsim/hwsim0");
    add("wlan0", 4, "devices/usb1/1-1/1-1:1.0");
    add("wlan2", 6, "devices/virtual/misc");
    dir.write("net/eth0/ifindex", "2\n");

    const Result r =
        Command(RunAdaptersCommand, ":memory:", {"--sysfs", (dir.path() / "net").string()});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.out, "wlan0\t-\tMatchingDeviceId =USB\\VID_148F&PID_5370\n"
                     "wlan1\t-\tMatchingDeviceId =LINUX\\MAC80211_HWSIM\n"
                     "wlan2\t-\t(the device names no identifier)\n");
    EXPECT_EQ(r.err, "");

    const Result none =
        Command(RunAdaptersCommand, ":memory:", {"--sysfs", dir.file("absent").string()});
    EXPECT_EQ(none.code, kExitOk);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("no wireless interface"), std::string::npos);
    EXPECT_EQ(Command(RunAdaptersCommand, ":memory:", {"--bogus"}).code, kExitUsage);
}

TEST(AdapterLibraryCommand, StoresAndShowsTheChoice)
{
    test::TempDir dir;
    const std::string store = dir.file("store.db").string();
    EXPECT_EQ(Command(RunAdapterLibraryCommand, store, {}).out, "sim\n");
    EXPECT_EQ(Command(RunAdapterLibraryCommand, store, {"linux", "wlan0"}).code, kExitOk);
    EXPECT_EQ(Command(RunAdapterLibraryCommand, store, {}).out, "linux wlan0\n");
    EXPECT_EQ(Command(RunAdapterLibraryCommand, store, {"linux"}).code, kExitOk);
    EXPECT_EQ(Command(RunAdapterLibraryCommand, store, {}).out, "linux\n");
    EXPECT_EQ(Command(RunAdapterLibraryCommand, store, {"sim"}).code, kExitOk);
    EXPECT_EQ(Command(RunAdapterLibraryCommand, store, {}).out, "sim\n");

    EXPECT_EQ(Command(RunAdapterLibraryCommand, store, {"sim", "wlan0"}).code, kExitUsage);
    EXPECT_EQ(Command(RunAdapterLibraryCommand, store, {"real"}).code, kExitUsage);
    EXPECT_EQ(Command(RunAdapterLibraryCommand, store, {}).out, "sim\n");
}

} // namespace
} // namespace kesto
