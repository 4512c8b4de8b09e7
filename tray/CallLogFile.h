// CallLogFile: writes each call the program makes into the adapter library to a file as
// it happens, one line per call ("SetWL_Channel(6) = 0"), so a person or a test can
// follow what the adapter was told while the program runs.
#pragma once

#include "drivers/qvwlan/CallLog.h"

#include <cstdio>
#include <string>

namespace kesto {

class CallLogFile {
public:
    CallLogFile() = default;
    ~CallLogFile();
    CallLogFile(const CallLogFile&) = delete;
    CallLogFile& operator=(const CallLogFile&) = delete;

    // Creates or empties path; false (with errno set) when it cannot.
    bool Open(const std::string& path);
    void Write(const qvwlan::Call& call);

private:
    std::FILE* m_file = nullptr;
};

} // namespace kesto
