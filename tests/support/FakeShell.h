// The program's location and the documents the desktop was asked to open.
#pragma once

#include "platform/Shell.h"

#include <vector>

namespace kesto::test {

class FakeShell : public Shell {
public:
    std::string ExecutablePath() override { return executable; }
    bool OpenDocument(std::string_view path) override
    {
        opened.emplace_back(path);
        return true;
    }

    std::string executable = "/opt/kesto/bin/kesto-utility";
    std::vector<std::string> opened;
};

} // namespace kesto::test
