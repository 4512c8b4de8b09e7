#include "window/testing/ScreenshotTour.h"

#include "window/testing/PageRobot.h"

#include <QDebug>
#include <QDir>

#include <utility>

namespace kesto {

namespace {

constexpr int kTickMs = 200;
constexpr int kSettleTicks = 8; // let the lists and values arrive before the picture
constexpr int kPageTimeoutTicks = 100;
constexpr int kTourTimeoutTicks = 1500;

} // namespace

ScreenshotTour::ScreenshotTour(WindowController& controller, QString directory)
    : m_controller(controller),
      m_directory(std::move(directory)), m_steps{{"ButtonTab1", 236, "status.png"},
                                                 {"ButtonTab2", 237, "survey.png"},
                                                 {"ButtonTab3", 238, "profiles.png"}}
{
    QDir().mkpath(m_directory);
    connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
    m_timer.start(kTickMs);
}

void ScreenshotTour::Finish(const QString& message)
{
    m_timer.stop();
    qWarning().noquote() << "kesto-window: screenshots:" << message;
}

void ScreenshotTour::Tick()
{
    if (++m_ticks > kTourTimeoutTicks) {
        Finish(QStringLiteral("gave up waiting for the window"));
        return;
    }
    ++m_ticksInPhase;
    MainWindow& main = m_controller.mainWindow();
    PageView& view = main.view();
    switch (m_phase) {
    case Phase::WaitWindow:
        if (main.isVisible() && view.ready()) {
            m_phase = Phase::Click;
            m_ticksInPhase = 0;
        }
        return;
    case Phase::Click: {
        const Step& step = m_steps[m_step];
        m_phase = Phase::WaitPage;
        m_ticksInPhase = 0;
        if (view.pageId() == step.pageId)
            return; // already there: the tab need not be clicked
        PageRobot::ElementCentre(view, QLatin1String(step.tab), [this, &view](auto centre) {
            if (!centre) {
                Finish(
                    QStringLiteral("the page has no %1").arg(QLatin1String(m_steps[m_step].tab)));
                return;
            }
            PageRobot::Click(view, *centre, false);
        });
        return;
    }
    case Phase::WaitPage:
        if (view.pageId() == m_steps[m_step].pageId && view.ready()) {
            m_phase = Phase::Settle;
            m_ticksInPhase = 0;
        } else if (m_ticksInPhase > kPageTimeoutTicks) {
            Finish(QStringLiteral("page %1 did not come").arg(m_steps[m_step].pageId));
        }
        return;
    case Phase::Settle: {
        if (m_ticksInPhase < kSettleTicks)
            return;
        const QString file = QDir(m_directory).filePath(QLatin1String(m_steps[m_step].file));
        if (PageRobot::Grab(main, file))
            qWarning().noquote() << "kesto-window: wrote" << file;
        else
            qWarning().noquote() << "kesto-window: cannot write" << file;
        if (++m_step == m_steps.size()) {
            Finish(QStringLiteral("done"));
            return;
        }
        m_phase = Phase::Click;
        m_ticksInPhase = 0;
        return;
    }
    }
}

} // namespace kesto
