// WepKeysCommand: "kestoctl wep-keys", the WEP keys a pass phrase gives, as the pages
// generate them.
#pragma once

#include "tools/kestoctl/CommandContext.h"

#include <string>
#include <vector>

namespace kesto {

inline constexpr const char* kWepKeysUsage =
    "wep-keys --64|--128 PHRASE | --passphrase-stdin\n"
    "                                      print the keys made from a pass phrase (64: four\n"
    "                                      keys of 10 digits; 128: one key of 26 digits);\n"
    "                                      --passphrase-stdin reads it from the first line\n"
    "                                      of standard input, as arguments are visible to\n"
    "                                      other local users";

// Needs no store. The phrase is the argument, or with "--passphrase-stdin" the first line
// of context.in. A phrase that is empty after trimming white space is a usage error.
int RunWepKeysCommand(CommandContext& context, const std::vector<std::string>& args);

} // namespace kesto
