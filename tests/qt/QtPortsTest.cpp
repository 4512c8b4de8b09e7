// The small Qt ports: timers by id, one-shot steps, the wait cursor's nesting, the help
// document's name, where the programs find their data.
#include "qt/QtClock.h"
#include "qt/QtDialogs.h"
#include "qt/QtOneShotTimers.h"
#include "qt/QtShell.h"
#include "qt/QtTimers.h"
#include "qt/ResourceFiles.h"
#include "tests/support/TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

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

TEST(QtShell, HelpNotBesideTheExecutableOpensFromTheShippedHelpFolder)
{
    test::TempDir dir;
    const QString chm = QString::fromStdString(dir.file("bin/KestoR-450.chm").string());
    const QString helpDir = QString::fromStdString(dir.file("share/kesto/help").string());
    EXPECT_EQ(QtShell::DocumentFor(chm, helpDir), chm) << "no HTML document anywhere";
    dir.write("share/kesto/help/KestoR-450.html", "<html></html>");
    EXPECT_EQ(QtShell::DocumentFor(chm, helpDir), helpDir + "/KestoR-450.html");
    dir.write("bin/KestoR-450.html", "<html></html>");
    EXPECT_EQ(QtShell::DocumentFor(chm, helpDir),
              QString::fromStdString(dir.file("bin/KestoR-450.html").string()))
        << "a document beside the executable comes first";
}

// A program folder and the data folders that exist around it (each holds images/),
// relative to one scratch folder; the data folder expected, or "" for none.
struct ResourceLayout {
    const char* name;
    const char* programDir;
    std::vector<const char*> dataDirs;
    const char* environment; // KESTO_RESOURCES_DIR, relative; nullptr: unset
    const char* expected;
};

class ResourceDirLookup : public ::testing::TestWithParam<ResourceLayout> {};

TEST_P(ResourceDirLookup, FindsTheDataFromTheProgramsFolder)
{
    const ResourceLayout& layout = GetParam();
    test::TempDir dir;
    const QString root = QString::fromStdString(dir.path().string());
    std::filesystem::create_directories(dir.file(layout.programDir));
    for (const char* data : layout.dataDirs)
        std::filesystem::create_directories(dir.path() / data / "images");
    if (layout.environment)
        qputenv("KESTO_RESOURCES_DIR", (root + "/" + layout.environment).toUtf8());
    else
        qunsetenv("KESTO_RESOURCES_DIR");
    const QString found = FindResourceDir(root + "/" + layout.programDir);
    qunsetenv("KESTO_RESOURCES_DIR");
    EXPECT_EQ(found, *layout.expected ? root + "/" + layout.expected : QString());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ResourceDirLookup,
    ::testing::Values(
        ResourceLayout{"ProgramInBin", "usr/bin", {"usr/share/kesto"}, nullptr, "usr/share/kesto"},
        ResourceLayout{"WindowProgramInLibexec",
                       "usr/libexec/kesto",
                       {"usr/share/kesto"},
                       nullptr,
                       "usr/share/kesto"},
        ResourceLayout{"DataFolderWithoutImages", "usr/bin", {}, nullptr, ""},
        ResourceLayout{"OtherPrefixIsNotLookedAt", "opt/bin", {"usr/share/kesto"}, nullptr, ""},
        ResourceLayout{
            "EnvironmentComesFirst", "usr/bin", {"usr/share/kesto", "mine"}, "mine", "mine"},
        ResourceLayout{"EnvironmentWithoutImagesIsPassedOver",
                       "usr/bin",
                       {"usr/share/kesto"},
                       "missing",
                       "usr/share/kesto"}),
    [](const ::testing::TestParamInfo<ResourceLayout>& row) { return row.param.name; });

TEST(ResourceFiles, WindowProgramIsInLibexecBesideTheProgramsFolder)
{
    EXPECT_EQ(WindowProgramFile("/usr/bin"), "/usr/libexec/kesto/kesto-window");
    EXPECT_EQ(WindowProgramFile("/tmp/root/usr/bin/"), "/tmp/root/usr/libexec/kesto/kesto-window");
}

// One-shot steps run from the event loop, inside the gate, once and no earlier than
// asked (by the clock's ticks), in the order they fall due; a step may start another, a
// cancelled one never runs, and a pending step replaced or dropped never runs either.
TEST(QtOneShotTimers, StepsRunOnceNoEarlierThanAskedAndCancelledOnesNever)
{
    EventGate gate;
    QtOneShotTimers shots(gate);
    QtClock clock;
    std::vector<std::string> ran;
    const std::uint32_t start = clock.TickCount();
    std::uint32_t waited = 0;
    int depth = -1;
    shots.Start(20, [&] {
        ran.push_back("20");
        waited = clock.TickCount() - start;
        depth = gate.depth();
    });
    shots.Start(5, [&] {
        ran.push_back("5");
        shots.Start(0, [&] { ran.push_back("5 then 0"); });
    });
    const OneShotTimers::Id cancelled = shots.Start(10, [&] { ran.push_back("cancelled"); });
    shots.Cancel(cancelled);
    shots.Cancel(cancelled); // harmless again, as for no step at all
    shots.Cancel(0);
    {
        PendingStep dropped(shots);
        dropped.Start(1, [&] { ran.push_back("dropped"); });
    }
    PendingStep replaced(shots);
    replaced.Start(1, [&] { ran.push_back("replaced"); });
    replaced.Start(15, [&] { ran.push_back("15"); });
    EXPECT_TRUE(replaced.pending());

    ASSERT_TRUE(SpinUntil([&] { return ran.size() == 4; }));
    for (int i = 0; i < 10; ++i) { // nothing more comes
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    EXPECT_EQ(ran, (std::vector<std::string>{"5", "5 then 0", "15", "20"}));
    EXPECT_FALSE(replaced.pending());
    EXPECT_GE(waited, 20u);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(shots.waiting(), 0u);
    const LocalTime now = clock.Now();
    EXPECT_GE(now.year, 2024);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);
}

} // namespace
} // namespace kesto
