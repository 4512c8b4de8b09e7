// TestHooks: the window's outside controls for tests and for pictures without a screen,
// started from the environment: KESTO_TEST_DRIVER=<socket> opens the test driver,
// KESTO_SCREENSHOTS=<folder> runs the screenshot tour. Built into kesto-window only when
// KESTO_WINDOW_TEST_HOOKS is on; a shipped program has neither.
#pragma once

#include "window/testing/ScreenshotTour.h"
#include "window/testing/TestDriver.h"

#include <memory>

namespace kesto {

class WindowController;

struct TestHooks {
    std::unique_ptr<TestDriver> driver;
    std::unique_ptr<ScreenshotTour> tour;
};

// The hooks the environment asks for; none when it names neither.
TestHooks StartTestHooks(WindowController& controller);

} // namespace kesto
