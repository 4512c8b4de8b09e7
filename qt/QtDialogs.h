// The Dialogs port: QMessageBox for message boxes, the desktop's beep, and the wait
// cursor. The tray process has no window of its own to show the wait cursor over, so
// the cursor's state goes to a listener too (the page host forwards it to the window);
// so does a message box being open, during which the window takes no input, as a
// window under a modal box does not.
#pragma once

#include "platform/Dialogs.h"

#include <functional>

namespace kesto {

class QtDialogs final : public Dialogs {
public:
    // Told true when the wait cursor comes on and false when the last one ends.
    using WaitCursorListener = std::function<void(bool waiting)>;

    // Told true while a message box is open.
    using ModalListener = std::function<void(bool open)>;

    explicit QtDialogs(WaitCursorListener listener = {}, ModalListener modal = {})
        : m_listener(std::move(listener)), m_modal(std::move(modal))
    {
    }

    void MessageBox(std::string_view text, std::string_view caption) override;
    // The desktop's bell; the call then blocks for durationMs (at most 5 s) like a tone
    // of that length, since this desktop cannot play a tone of a given pitch.
    void Beep(int frequencyHz, int durationMs) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

    int waitCursorDepth() const { return m_waitDepth; }

private:
    WaitCursorListener m_listener;
    ModalListener m_modal;
    int m_waitDepth = 0;
    int m_boxes = 0; // message boxes open (a timer may open one above another)
};

} // namespace kesto
