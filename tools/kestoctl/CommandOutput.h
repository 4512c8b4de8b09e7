// CommandOutput: what the commands on the running utility share: their arguments (words,
// the options of the service's table as "--name VALUE", secrets read from standard input,
// "--json") and their output (labelled values and tables with aligned columns, or JSON),
// and the one-line report of a refusal. Every text that comes from outside (a network's
// name, a profile's, a stored value, a refusal's message quoting one) reaches the terminal
// through TerminalSafe.
#pragma once

#include "app/CommandOptions.h"
#include "tools/kestoctl/BusClient.h"
#include "tools/kestoctl/CommandContext.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kesto {

struct CommandArgs {
    std::vector<std::string> words; // the arguments that are not options, in order
    CommandOptions options;
    bool json = false;
    bool noWait = false;
    bool cached = false;
};

// Reads args: "--json", "--no-wait", "--cached", the table's options ("--channel 6", "--channel=6";
// a flag as "--hidden" or "--no-hidden"), "--wep-key-stdin" and "--passphrase-stdin" (the
// secret as the first line of standard input, so it never stands in a process list).
// false with why when an argument is not one of these.
bool ParseCommandArgs(const std::vector<std::string>& args, std::istream& in, CommandArgs& out,
                      std::string& why);

// text as a terminal may show it: C0 controls, DEL and undecodable bytes as "\x1b", C1
// and bidirectional controls as "\u202e"; everything else as it is (a backslash too: the
// store's paths are full of them, and an escape's text can do a terminal no harm).
// A name chosen by whoever runs an access point in range can then neither move the
// cursor, nor set the terminal's title, nor reorder what follows it on the line.
std::string TerminalSafe(std::string_view text);

// "label:  value" lines, the values aligned (labels are counted in characters).
void PrintFields(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& rows);
// A table with a heading row, each column as wide as its widest cell. Labels, values and
// cells are printed through TerminalSafe.
void PrintTable(std::ostream& out, const std::vector<std::string>& heading,
                const std::vector<std::vector<std::string>>& rows);
// JSON with C1 and bidirectional controls in strings written in \u form, as the library
// writes C0 controls: the same values, nothing a terminal acts on.
void PrintJson(std::ostream& out, const nlohmann::json& value);

// The refusal's message on one line; the exit status of a refused command.
int ReportRefusal(CommandContext& context, const Refusal& refusal);
// A failed call: the utility's message, or that no utility runs.
int ReportBusError(CommandContext& context, const BusError& error);
int ReportUsage(CommandContext& context, std::string_view why, std::string_view usage);

} // namespace kesto
