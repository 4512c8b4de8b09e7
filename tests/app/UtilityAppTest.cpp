// Whole process lives: a running instance and a second process started beside it (its
// own store connection and guard), which asks the first to end or is refused.
#include "app/UtilityApp.h"
#include "app/MainDialog.h"
#include "profiles/ProfileList.h"
#include "tests/support/ShellRig.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

using test::FakeSingleInstance;
using test::ShellRig;

// Runs a second process with args while the first one's window runs.
bool RunSecond(ShellRig& rig, std::vector<std::string> args)
{
    SqliteRegistry registry(rig.registryPath);
    FakeSingleInstance guard(rig.guards);
    UtilityApp second(rig.SecondProcess(registry, guard));
    return second.InitInstance(args);
}

TEST(UtilityApp, ExitRequestFromASecondProcessEndsTheFirstAtItsNextExitWatch)
{
    ShellRig rig;
    bool ranPastTheEnd = false;
    rig.pages.modalScript = {
        [&] {
            rig.clock.Settle(); // the start's settle
            EXPECT_FALSE(RunSecond(rig, {"-exit"}));
            EXPECT_TRUE(rig.dialogs.messages.empty());
            EXPECT_TRUE(rig.tray.icons.contains(128)); // not yet: the first polls
        },
        [&] { rig.timers.Fire(6); },
        [&] { ranPastTheEnd = true; },
    };
    UtilityApp first(rig.ports);
    EXPECT_FALSE(first.InitInstance(std::vector<std::string>{}));
    EXPECT_FALSE(ranPastTheEnd);
    EXPECT_EQ(rig.pages.modalResult, 0);
    EXPECT_TRUE(rig.tray.icons.empty());
    EXPECT_EQ(rig.Product("Exit Utility"), "1");
    // The window's timers ended with it.
    EXPECT_TRUE(rig.timers.running.empty());
}

TEST(UtilityApp, ExitRequestWithoutARunningInstanceOnlyWritesTheValue)
{
    ShellRig rig;
    UtilityApp app(rig.ports);
    EXPECT_FALSE(app.InitInstance(std::vector<std::string>{"/EXIT"}));
    EXPECT_EQ(rig.Product("Exit Utility"), "1");
    EXPECT_TRUE(rig.guards.holders.empty());
    EXPECT_TRUE(rig.pages.windowIcons.empty());
    EXPECT_TRUE(rig.wlan.calls().empty());
}

TEST(UtilityApp, ExitRequestTheStoreRefusesIsReportedAsFailed)
{
    ShellRig rig;
    UtilityApp writable(rig.ports);
    writable.InitInstance(std::vector<std::string>{"/EXIT"});
    EXPECT_FALSE(writable.exitRequestFailed());

    SqliteRegistry readOnly(rig.registryPath, StoreAccess::ReadOnly);
    FakeSingleInstance guard(rig.guards);
    UtilityApp app(rig.SecondProcess(readOnly, guard));
    EXPECT_FALSE(app.InitInstance(std::vector<std::string>{"/EXIT"}));
    EXPECT_TRUE(app.exitRequestFailed());
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(UtilityApp, StartOnAStoreThatCannotBeWrittenSaysSoOnceAndRuns)
{
    ShellRig rig;
    SqliteRegistry readOnly(rig.registryPath, StoreAccess::ReadOnly);
    FakeSingleInstance guard(rig.guards);
    bool ran = false;
    rig.pages.modalScript = {[&] {
        ran = true;
        EXPECT_EQ(rig.dialogs.messages,
                  (std::vector<test::FakeDialogs::Message>{
                      {std::string(kReadOnlyStoreMessage), "kesto-utility"}}));
    }};
    UtilityApp app(rig.SecondProcess(readOnly, guard));
    app.InitInstance(std::vector<std::string>{});
    EXPECT_TRUE(ran) << "the main window runs as ever";
    EXPECT_EQ(rig.dialogs.messages.size(), 1u);
}

TEST(UtilityApp, SecondNormalStartIsRefusedAndLeavesTheFirstRunning)
{
    ShellRig rig;
    rig.pages.modalScript = {
        [&] {
            rig.clock.Settle(); // the start's settle
            EXPECT_FALSE(RunSecond(rig, {}));
            EXPECT_EQ(rig.dialogs.messages,
                      (std::vector<test::FakeDialogs::Message>{
                          {"Kesto WLAN Utility is already running!!", "kesto-utility"}}));
            EXPECT_TRUE(rig.tray.icons.contains(128));
            rig.timers.Fire(6); // nothing asked the first to end
            EXPECT_EQ(rig.pages.endModalCalls, 0);
        },
        [&] {
            rig.tray.menuAnswer = 32771; // "Beenden"
            rig.tray.Notify(TrayMouse::RightButtonUp);
        },
    };
    UtilityApp first(rig.ports);
    first.InitInstance(std::vector<std::string>{});
    EXPECT_EQ(rig.pages.endModalCalls, 1);
    EXPECT_TRUE(rig.tray.icons.empty());
}

// An exit request left from an earlier /EXIT was meant for the instance that ran then:
// the instance that takes the guard clears it. Where the guard could not be set up,
// another instance may be running, and the request is left for it.
TEST(UtilityApp, StaleExitRequestDoesNotEndANewInstance)
{
    for (const bool guardWorks : {true, false}) {
        SCOPED_TRACE(guardWorks ? "guard taken" : "guard failed");
        ShellRig rig;
        ProfileList(rig.store, rig.work, rig.dialogs, "kesto-utility").CreateFirstRunStore();
        rig.store.WriteText(ProductValuePath("Exit Utility"), "1");
        rig.guard.fail = !guardWorks;
        rig.pages.modalScript = {[&] { rig.timers.Fire(6); }, [&] { rig.timers.Fire(6); }};
        UtilityApp app(rig.ports);
        app.InitInstance(std::vector<std::string>{});
        EXPECT_EQ(rig.pages.endModalCalls, guardWorks ? 0 : 1);
        EXPECT_EQ(rig.Product("Exit Utility"), guardWorks ? "0" : "1");
    }
}

} // namespace
} // namespace kesto
