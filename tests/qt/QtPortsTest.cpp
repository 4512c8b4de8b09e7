// The small Qt ports: timers by id, the wait cursor's nesting, the help document's name.
#include "qt/QtClock.h"
#include "qt/QtDialogs.h"
#include "qt/QtShell.h"
#include "qt/QtTimers.h"
#include "tests/support/TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace kesto {
namespace {

class CountingSink : public TimerSink {
public:
    void OnTimer(int id) override
    {
        ++ticks[id];
        depthSeen = gate ? gate->depth() : -1;
        if (onTick)
            onTick(id);
    }
    std::map<int, int> ticks;
    EventGate* gate = nullptr;
    int depthSeen = -1;
    std::function<void(int)> onTick;
};

bool SpinUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 400 && !done(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return done();
}

TEST(QtTimers, EachIdTicksOnItsOwnUntilKilled)
{
    EventGate gate;
    QtTimers timers(gate);
    CountingSink sink;
    sink.gate = &gate;
    timers.SetSink(&sink);
    timers.SetTimer(1, 5);
    timers.SetTimer(8, 0); // 0 is taken as 1
    EXPECT_EQ(timers.Interval(8), 1);
    ASSERT_TRUE(SpinUntil([&] { return sink.ticks[1] >= 2 && sink.ticks[8] >= 2; }));
    EXPECT_EQ(sink.depthSeen, 1) << "a tick counts as a running handler";

    timers.KillTimer(1);
    timers.KillTimer(3); // never started: harmless
    const int before = sink.ticks[1];
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(sink.ticks[1], before);
    EXPECT_FALSE(timers.IsRunning(1));

    timers.SetTimer(8, 60000); // set again: re-armed with the new period
    EXPECT_TRUE(timers.IsRunning(8));
    EXPECT_EQ(timers.Interval(8), 60000);
}

TEST(QtTimers, HandlerMayKillItsOwnTimer)
{
    EventGate gate;
    QtTimers timers(gate);
    CountingSink sink;
    sink.onTick = [&timers](int id) { timers.KillTimer(id); };
    timers.SetSink(&sink);
    timers.SetTimer(5, 1);
    ASSERT_TRUE(SpinUntil([&] { return sink.ticks[5] == 1; }));
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(sink.ticks[5], 1);
}

TEST(QtDialogs, WaitCursorNestsAndTellsTheWindowOnlyAtTheEdges)
{
    std::vector<bool> told;
    QtDialogs dialogs([&told](bool waiting) { told.push_back(waiting); });
    {
        WaitCursor outer(dialogs);
        WaitCursor inner(dialogs);
        EXPECT_EQ(dialogs.waitCursorDepth(), 2);
    }
    dialogs.EndWaitCursor(); // unmatched: ignored
    EXPECT_EQ(told, (std::vector<bool>{true, false}));
    EXPECT_EQ(dialogs.waitCursorDepth(), 0);
}

TEST(QtDialogs, MessageBoxShowsTheTextsAndBlocksTheWindowWhileOpen)
{
    std::vector<bool> blocked;
    QtDialogs dialogs({}, [&blocked](bool open) { blocked.push_back(open); });
    QString text;
    QString caption;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        caption = box->windowTitle();
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    });
    dialogs.MessageBox("Kesto WLAN Utility is already running!!\nZweite Zeile \xC3\xBC",
                       "kesto-utility");
    EXPECT_EQ(text,
              QString::fromUtf8("Kesto WLAN Utility is already running!!\nZweite Zeile \xC3\xBC"));
    EXPECT_EQ(caption, "kesto-utility");
    EXPECT_EQ(blocked, (std::vector<bool>{true, false}));
}

TEST(QtShell, HelpAskedForByItsCompiledNameOpensTheHtmlDocument)
{
    test::TempDir dir;
    const QString chm = QString::fromStdString(dir.file("KestoR-450.chm").string());
    EXPECT_EQ(QtShell::DocumentFor(chm), chm) << "no HTML document beside it: asked as is";
    dir.write("KestoR-450.html", "<html></html>");
    EXPECT_EQ(QtShell::DocumentFor(chm),
              QString::fromStdString(dir.file("KestoR-450.html").string()));
    const QString other = QString::fromStdString(dir.file("notes.txt").string());
    EXPECT_EQ(QtShell::DocumentFor(other), other);
    QtShell shell;
    EXPECT_EQ(shell.ExecutablePath(), QCoreApplication::applicationFilePath().toStdString());
}

TEST(QtClock, TicksMoveForwardAcrossASleep)
{
    QtClock clock;
    const std::uint32_t before = clock.TickCount();
    clock.Sleep(20);
    EXPECT_GE(static_cast<std::uint32_t>(clock.TickCount() - before), 20u);
    const LocalTime now = clock.Now();
    EXPECT_GE(now.year, 2024);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);
}

} // namespace
} // namespace kesto
