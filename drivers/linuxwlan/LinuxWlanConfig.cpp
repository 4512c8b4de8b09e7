// Where the Linux adapter library reports (see LinuxWlanConfig.h).
#include "drivers/linuxwlan/LinuxWlanConfig.h"

#include <iostream>

namespace kesto::linuxwlan {

std::function<void(const std::string&)> LogOf(const LinuxWlanConfig& config)
{
    if (config.log)
        return config.log;
    return [](const std::string& text) { std::cerr << "linuxwlan: " << text << "\n"; };
}

} // namespace kesto::linuxwlan
