// Dialogs port: modal message boxes, the speaker beep and the wait cursor.
#pragma once

#include <string_view>

namespace kesto {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows a modal message box with one OK button and returns when it is dismissed.
    // text is UTF-8 and may hold "\n" line breaks; caption is the window title.
    virtual void MessageBox(std::string_view text, std::string_view caption) = 0;
    // Starts a tone of frequencyHz for durationMs and returns at once: the tone plays on
    // by itself, so the caller's next step (a message box, say) comes while it sounds.
    virtual void Beep(int frequencyHz, int durationMs) = 0;
    // The wait cursor is shown from BeginWaitCursor until the matching EndWaitCursor;
    // calls nest.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

// Shows the wait cursor for the life of the object.
class WaitCursor {
public:
    explicit WaitCursor(Dialogs& dialogs) : m_dialogs(dialogs) { m_dialogs.BeginWaitCursor(); }
    ~WaitCursor() { m_dialogs.EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    Dialogs& m_dialogs;
};

} // namespace kesto
