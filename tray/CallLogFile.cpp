#include "tray/CallLogFile.h"

namespace kesto {

CallLogFile::~CallLogFile()
{
    if (m_file)
        std::fclose(m_file);
}

bool CallLogFile::Open(const std::string& path)
{
    if (m_file)
        std::fclose(m_file);
    m_file = std::fopen(path.c_str(), "w");
    return m_file != nullptr;
}

void CallLogFile::Write(const qvwlan::Call& call)
{
    if (!m_file)
        return;
    const std::string line = qvwlan::Describe(call) + "\n";
    std::fwrite(line.data(), 1, line.size(), m_file);
    // Readers follow the file while the program runs.
    std::fflush(m_file);
}

} // namespace kesto
