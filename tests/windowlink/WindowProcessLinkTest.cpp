// The link to a child process, with cat playing the window process (every command comes
// back as an event): messages arrive from the event loop only, a lost child is reported
// once, a stopped one not at all.
#include "windowlink/WindowProcess.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace kesto {
namespace {

bool Spin(const std::function<bool()>& done)
{
    for (int i = 0; i < 1000 && !done(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return done();
}

class WindowProcessLinkTest : public testing::Test {
protected:
    void Connect(WindowProcess& process)
    {
        process.SetHandlers({[this](const QJsonObject& message) {
                                 EXPECT_FALSE(sending) << "an event inside Send";
                                 received.push_back(message);
                             },
                             [this] { ++lost; }});
    }
    void Send(WindowProcess& process, const QJsonObject& command)
    {
        sending = true;
        process.Send(command);
        sending = false;
    }

    bool sending = false;
    std::vector<QJsonObject> received;
    int lost = 0;
};

TEST_F(WindowProcessLinkTest, EventsArriveFromTheLoopInTheirOrder)
{
    WindowProcess process(QStringLiteral("cat"), {});
    Connect(process);
    process.Start();
    ASSERT_TRUE(process.IsRunning());
    for (int i = 0; i < 50; ++i)
        Send(process, {{"e", "window"}, {"n", i}});
    ASSERT_TRUE(Spin([&] { return received.size() == 50; }));
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(received[static_cast<std::size_t>(i)].value("n").toInt(), i);

    process.Stop();
    EXPECT_FALSE(process.IsRunning());
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(lost, 0) << "a process asked to end is not lost";
}

TEST_F(WindowProcessLinkTest, LostChildIsReportedOnceAndCanBeStartedAgain)
{
    WindowProcess process(QStringLiteral("cat"), {});
    Connect(process);
    process.Start();
    ASSERT_TRUE(Spin([&] { return process.processId() > 0; }));
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    ASSERT_TRUE(Spin([&] { return lost == 1; }));
    EXPECT_FALSE(process.IsRunning());
    Send(process, {{"e", "dropped"}}); // nobody runs: dropped

    process.Start();
    Send(process, {{"e", "again"}});
    ASSERT_TRUE(Spin([&] { return received.size() == 1; }));
    EXPECT_EQ(received[0].value("e").toString(), "again");
    EXPECT_EQ(lost, 1);
}

TEST_F(WindowProcessLinkTest, ProgramThatCannotStartIsReportedLost)
{
    WindowProcess process(QStringLiteral("/nonexistent/kesto-window"), {});
    Connect(process);
    process.Start();
    EXPECT_TRUE(Spin([&] { return lost == 1; }));
    EXPECT_FALSE(process.IsRunning());
}

} // namespace
} // namespace kesto
