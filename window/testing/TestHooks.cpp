#include "window/testing/TestHooks.h"

namespace kesto {

TestHooks StartTestHooks(WindowController& controller)
{
    TestHooks hooks;
    if (const QString socket = qEnvironmentVariable("KESTO_TEST_DRIVER"); !socket.isEmpty())
        hooks.driver = std::make_unique<TestDriver>(controller, socket);
    if (const QString dir = qEnvironmentVariable("KESTO_SCREENSHOTS"); !dir.isEmpty())
        hooks.tour = std::make_unique<ScreenshotTour>(controller, dir);
    return hooks;
}

} // namespace kesto
