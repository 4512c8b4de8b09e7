#include "tray/AnsweredMessages.h"

namespace kesto {

bool AnsweredMessages::Open(const std::string& file)
{
    m_out.open(file, std::ios::app);
    return m_out.is_open();
}

void AnsweredMessages::MessageBox(std::string_view text, std::string_view caption)
{
    std::string line(caption);
    line += '\t';
    for (const char c : text)
        line += c == '\n' ? std::string("\\n") : std::string(1, c);
    m_out << line << '\n' << std::flush;
}

} // namespace kesto
