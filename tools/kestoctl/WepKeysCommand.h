// WepKeysCommand: "kestoctl wep-keys", the WEP keys a pass phrase gives, as the pages
// generate them.
#pragma once

#include "tools/kestoctl/CommandContext.h"

#include <string>
#include <vector>

namespace kesto {

inline constexpr const char* kWepKeysUsage =
    "wep-keys --64|--128 PHRASE          print the keys made from a pass phrase (64: four\n"
    "                                      keys of 10 digits; 128: one key of 26 digits)";

// Needs no store. A phrase that is empty after trimming white space is a usage error.
int RunWepKeysCommand(CommandContext& context, const std::vector<std::string>& args);

} // namespace kesto
