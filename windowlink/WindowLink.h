// WindowLink: the page host's connection to the window process, one message per call.
// The real one starts the process and talks over its standard input and output; tests
// use one that records the commands and plays the window's part.
#pragma once

#include "wire/Messages.h"

#include <functional>

namespace kesto {

class WindowLink {
public:
    struct Handlers {
        std::function<void(const wire::Event& event)> message; // an event from the window
        std::function<void()> lost; // the window process ended without being asked to
    };

    virtual ~WindowLink() = default;

    virtual void SetHandlers(Handlers handlers) = 0;
    // Starting or started and not ended.
    virtual bool IsRunning() const = 0;
    // Starts a window process; the commands sent from now on go to it. A process that
    // cannot be started is reported through lost, once.
    virtual void Start() = 0;
    // Queues one command for the running process and hands it over without waiting for
    // the event loop, so a handler that blocks afterwards (a scan's wait) does not hold
    // it back. Dropped when no process runs.
    virtual void Send(const wire::Command& command) = 0;
    // Asks the process to end, ending it by force if it does not; lost is not called.
    virtual void Stop() = 0;
};

} // namespace kesto
