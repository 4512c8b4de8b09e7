// End-to-end: without a notification area the window is the user's only way into the
// program, so a window process that is killed again and again, more often than the
// relaunch budget of a crashing window allows, must come back each time with its page.
#include "tests/support/UtilityRig.h"

#include <QJsonObject>
#include <QThread>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/types.h>

namespace kesto::test {
namespace {

// How long a window process must have stayed up for its death to count as a new one
// (the tray's KESTO_WINDOW_STEADY_MS); short here so the test need not wait long.
constexpr int kSteadyMs = 1500;
constexpr int kKills = 6; // twice the budget of quick deaths

TEST(Offscreen, WindowKilledAgainAndAgainAlwaysComesBack)
{
    qputenv("KESTO_WINDOW_STEADY_MS", QByteArray::number(kSteadyMs));
    UtilityRig rig(true);
    const bool started = rig.Start();
    qunsetenv("KESTO_WINDOW_STEADY_MS");
    ASSERT_TRUE(started) << rig.Output().toStdString();
    QJsonObject state;
    ASSERT_TRUE(rig.WaitForMainPage(236, &state)) << rig.Output().toStdString();

    for (int kill = 1; kill <= kKills; ++kill) {
        SCOPED_TRACE(kill);
        QThread::msleep(kSteadyMs + 200);
        const auto pid = static_cast<pid_t>(state["pid"].toInteger());
        ASSERT_GT(pid, 0);
        ASSERT_EQ(::kill(pid, SIGKILL), 0);
        ASSERT_TRUE(rig.driver().WaitForConnections(kill + 1, kStartTimeoutMs))
            << rig.Output().toStdString();
        ASSERT_TRUE(rig.WaitForState(
            [pid](const QJsonObject& s) {
                return s["pid"].toInteger() != pid && At(s, "main", "page").toInt() == 236 &&
                       At(s, "main", "ready").toBool();
            },
            &state))
            << rig.Output().toStdString();
        EXPECT_TRUE(rig.TrayRunning());
    }
    // And it still works: a tab switch goes through.
    ASSERT_TRUE(rig.Click("ButtonTab3"));
    EXPECT_TRUE(rig.WaitForMainPage(238));
}

} // namespace
} // namespace kesto::test
