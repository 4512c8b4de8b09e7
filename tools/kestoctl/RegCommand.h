// RegCommand: "kestoctl reg", the store seen as a registry from the command line:
// query, set and delete by full path, export to and import from .reg files.
#pragma once

#include "tools/kestoctl/CommandContext.h"

#include <string>
#include <vector>

namespace kesto {

inline constexpr const char* kRegUsage =
    "reg query PATH                      print a value, or list a key's values and subkeys\n"
    "  reg set PATH --sz TEXT | --sz-stdin | --dword N\n"
    "                                      set a value (N decimal, negative, or 0x hex;\n"
    "                                      --sz-stdin: the text is the first line of\n"
    "                                      standard input, as arguments are visible to\n"
    "                                      other local users)\n"
    "  reg delete PATH                     delete a value, or a key with everything below\n"
    "  reg export [KEYPATH] FILE [--regedit4]\n"
    "                                      write a .reg file (default: the whole store;\n"
    "                                      UTF-16, or 8-bit REGEDIT4 text; FILE - is\n"
    "                                      standard output)\n"
    "  reg import FILE                     apply a .reg file, all or nothing\n"
    "  PATH is HKEY_LOCAL_MACHINE\\key\\...\\value (or HKLM\\...); with a trailing\n"
    "  backslash it names a key (for set: that key's default value).";

int RunRegCommand(CommandContext& context, const std::vector<std::string>& args);

} // namespace kesto
