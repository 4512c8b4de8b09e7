// The Dialogs port: QMessageBox for message boxes, the desktop's beep, and the wait
// cursor. The tray process has no window of its own to show the wait cursor over, so
// the cursor's state goes to a listener too (the page host forwards it to the window).
#pragma once

#include "platform/Dialogs.h"

#include <functional>

namespace kesto {

class QtDialogs final : public Dialogs {
public:
    // Told true when the wait cursor comes on and false when the last one ends.
    using WaitCursorListener = std::function<void(bool waiting)>;

    explicit QtDialogs(WaitCursorListener listener = {}) : m_listener(std::move(listener)) {}

    void MessageBox(std::string_view text, std::string_view caption) override;
    // The desktop's bell; the call then blocks for durationMs (at most 5 s) like a tone
    // of that length, since this desktop cannot play a tone of a given pitch.
    void Beep(int frequencyHz, int durationMs) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

    int waitCursorDepth() const { return m_waitDepth; }

private:
    WaitCursorListener m_listener;
    int m_waitDepth = 0;
};

} // namespace kesto
