// ScreenshotTour: once the main window is up, clicks through the status, survey and
// profile tabs as a user would (the tray process switches the pages as for any click)
// and saves a picture of the window after each: status.png, survey.png, profiles.png in
// the folder KESTO_SCREENSHOTS names. For a machine without a screen, where nobody can
// look at the window itself.
#pragma once

#include "window/WindowController.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

namespace kesto {

class ScreenshotTour : public QObject {
public:
    ScreenshotTour(WindowController& controller, QString directory);

private:
    struct Step {
        const char* tab;
        int pageId;
        const char* file;
    };
    enum class Phase { WaitWindow, Click, WaitPage, Settle };

    void Tick();
    void Finish(const QString& message);

    WindowController& m_controller;
    QString m_directory;
    std::vector<Step> m_steps;
    std::size_t m_step = 0;
    Phase m_phase = Phase::WaitWindow;
    int m_ticksInPhase = 0;
    int m_ticks = 0;
    QTimer m_timer;
};

} // namespace kesto
