// UtilityCommandLine: the program's command line. The only flag it knows is EXIT,
// written /EXIT or -EXIT in any letter case, which asks a running instance to end.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace kesto {

class UtilityCommandLine {
public:
    // One argument; param is the text after the flag prefix when isFlag. Other flags
    // and plain arguments are ignored.
    void ParseParam(std::string_view param, bool isFlag);
    // Every argument after the program name: one starting with '/' or '-' is a flag.
    void Parse(std::span<const std::string> args);

    // 1 when EXIT was given, else 0.
    int ExitRequest = 0;
};

} // namespace kesto
