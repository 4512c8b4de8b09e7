#include "tray/MessageLogDialogs.h"

namespace kesto {

MessageLogDialogs::~MessageLogDialogs()
{
    if (m_file)
        std::fclose(m_file);
}

bool MessageLogDialogs::Open(const std::string& path)
{
    m_file = std::fopen(path.c_str(), "w");
    return m_file != nullptr;
}

void MessageLogDialogs::MessageBox(std::string_view text, std::string_view /*caption*/)
{
    if (!m_file)
        return;
    std::string line(text);
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), m_file);
    std::fflush(m_file);
}

void MessageLogDialogs::Beep(int frequencyHz, int durationMs)
{
    m_desktop.Beep(frequencyHz, durationMs);
}

void MessageLogDialogs::BeginWaitCursor()
{
    m_desktop.BeginWaitCursor();
}

void MessageLogDialogs::EndWaitCursor()
{
    m_desktop.EndWaitCursor();
}

} // namespace kesto
