// The link to a child process, with sed playing the window process (every raise command
// comes back as a dialog-closed event acknowledging it; anything else comes back as it
// is, which is no event): events arrive from the event loop only and in their order,
// lines the codec rejects are skipped, a lost child is reported once, a stopped one not
// at all.
#include "windowlink/WindowProcess.h"

#include <QCoreApplication>
#include <QStringList>
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
        process.SetHandlers({[this](const wire::Event& event) {
                                 EXPECT_FALSE(sending) << "an event inside Send";
                                 EXPECT_TRUE(
                                     std::holds_alternative<wire::DialogClosedMessage>(event.body));
                                 received.push_back(event.ack);
                             },
                             [this] { ++lost; }});
    }
    void Send(WindowProcess& process, qint64 seq, wire::CommandBody body = wire::RaiseCommand{})
    {
        sending = true;
        process.Send({seq, std::move(body)});
        sending = false;
    }
    static WindowProcess Echo()
    {
        return WindowProcess(
            QStringLiteral("sed"),
            {QStringLiteral("-u"), QStringLiteral("s/\"c\":\"raise\"/\"e\":\"dialogClosed\"/;"
                                                  "s/\"seq\"/\"ack\"/")});
    }

    bool sending = false;
    std::vector<qint64> received; // the acks of the events, in their order
    int lost = 0;
};

TEST_F(WindowProcessLinkTest, EventsArriveFromTheLoopInTheirOrder)
{
    WindowProcess process = Echo();
    Connect(process);
    process.Start();
    ASSERT_TRUE(process.IsRunning());
    for (int i = 0; i < 50; ++i)
        Send(process, i);
    ASSERT_TRUE(Spin([&] { return received.size() == 50; }));
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(received[static_cast<std::size_t>(i)], i);

    process.Stop();
    EXPECT_FALSE(process.IsRunning());
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(lost, 0) << "a process asked to end is not lost";
}

TEST_F(WindowProcessLinkTest, LostChildIsReportedOnceAndCanBeStartedAgain)
{
    WindowProcess process = Echo();
    Connect(process);
    process.Start();
    ASSERT_TRUE(Spin([&] { return process.processId() > 0; }));
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    ASSERT_TRUE(Spin([&] { return lost == 1; }));
    EXPECT_FALSE(process.IsRunning());
    Send(process, 1); // nobody runs: dropped

    process.Start();
    Send(process, 2);
    ASSERT_TRUE(Spin([&] { return received.size() == 1; }));
    EXPECT_EQ(received[0], 2);
    EXPECT_EQ(lost, 1);
}

TEST_F(WindowProcessLinkTest, LinesThatAreNoEventAreSkipped)
{
    WindowProcess process = Echo();
    Connect(process);
    process.Start();
    Send(process, 1, wire::EndDialogCommand{}); // comes back as a command: no event
    Send(process, 2);
    ASSERT_TRUE(Spin([&] { return !received.empty(); }));
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(received, std::vector<qint64>{2});
    EXPECT_EQ(lost, 0);
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
