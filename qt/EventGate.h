// EventGate: counts the core's event handlers that are running right now, across the
// ports (timers, tray icon, page host, list controls). A handler that waits for the user
// (message box, menu, modal dialog) runs a nested event loop; the page host uses the
// count to keep clicks on the main window out of such a loop, as a modal box disables
// its owner window.
#pragma once

namespace kesto {

class EventGate {
public:
    // Marks one handler as running for the life of the object.
    class Scope {
    public:
        explicit Scope(EventGate& gate) : m_gate(gate) { ++m_gate.m_depth; }
        ~Scope() { --m_gate.m_depth; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        EventGate& m_gate;
    };

    // Handlers running; 0 when the main window's own loop is the innermost one.
    int depth() const { return m_depth; }

private:
    int m_depth = 0;
};

} // namespace kesto
