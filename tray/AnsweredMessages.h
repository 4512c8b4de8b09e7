// AnsweredMessages: the Dialogs port for unattended runs (--answer-messages FILE): every
// message box is written to FILE, one line each, and answered at once with its OK
// button, so a run with nobody at the screen goes on where a box would wait. The beep
// and the wait cursor go to the desktop's dialogs as usual.
#pragma once

#include "platform/Dialogs.h"

#include <fstream>
#include <string>

namespace kesto {

class AnsweredMessages final : public Dialogs {
public:
    explicit AnsweredMessages(Dialogs& desktop) : m_desktop(desktop) {}

    // False when the file cannot be opened for appending.
    bool Open(const std::string& file);

    // Writes "caption<TAB>text" (line breaks in the text as "\n") and returns.
    void MessageBox(std::string_view text, std::string_view caption) override;
    void Beep(int frequencyHz, int durationMs) override { m_desktop.Beep(frequencyHz, durationMs); }
    void BeginWaitCursor() override { m_desktop.BeginWaitCursor(); }
    void EndWaitCursor() override { m_desktop.EndWaitCursor(); }

private:
    Dialogs& m_desktop;
    std::ofstream m_out;
};

} // namespace kesto
