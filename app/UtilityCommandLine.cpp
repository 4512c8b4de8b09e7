#include "app/UtilityCommandLine.h"

#include "base/AsciiText.h"

namespace kesto {

void UtilityCommandLine::ParseParam(std::string_view param, bool isFlag)
{
    if (!isFlag)
        return;
    if (AsciiUpper(param) == "EXIT")
        ExitRequest = 1;
}

void UtilityCommandLine::Parse(std::span<const std::string> args)
{
    for (const std::string& arg : args) {
        const bool isFlag = !arg.empty() && (arg.front() == '/' || arg.front() == '-');
        ParseParam(isFlag ? std::string_view(arg).substr(1) : std::string_view(arg), isFlag);
    }
}

} // namespace kesto
