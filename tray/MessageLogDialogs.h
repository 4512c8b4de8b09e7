// MessageLogDialogs: the Dialogs port for an unattended run. Each message box's text is
// written to a file as one line (line breaks in the text become spaces) and answered at
// once, as a person pressing OK would; the beep and the wait cursor go to the desktop's
// own dialogs. A test reads the file to see what the user was told.
#pragma once

#include "platform/Dialogs.h"

#include <cstdio>
#include <string>

namespace kesto {

class MessageLogDialogs final : public Dialogs {
public:
    explicit MessageLogDialogs(Dialogs& desktop) : m_desktop(desktop) {}
    ~MessageLogDialogs() override;
    MessageLogDialogs(const MessageLogDialogs&) = delete;
    MessageLogDialogs& operator=(const MessageLogDialogs&) = delete;

    // Creates or empties path; false (with errno set) when it cannot.
    bool Open(const std::string& path);

    void MessageBox(std::string_view text, std::string_view caption) override;
    void Beep(int frequencyHz, int durationMs) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

private:
    Dialogs& m_desktop;
    std::FILE* m_file = nullptr;
};

} // namespace kesto
