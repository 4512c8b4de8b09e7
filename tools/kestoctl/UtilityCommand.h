// UtilityCommand: the commands on the running utility through its session service:
// "kestoctl status", "scan", "connect", "mode" and "ap". Each prints what the service
// answers, labelled as the utility's pages label it, or as JSON with --json.
#pragma once

#include "tools/kestoctl/CommandContext.h"

#include <string>
#include <vector>

namespace kesto {

inline constexpr const char* kStatusUsage =
    "status [--json]                     the link as the status page shows it";
inline constexpr const char* kScanUsage =
    "scan [--cached] [--json]            survey the networks in range (--cached: those of\n"
    "                                      the last survey, without scanning)";
inline constexpr const char* kConnectUsage =
    "connect NAME [--wep-key K | --wep-key-stdin | --passphrase P | --passphrase-stdin]\n"
    "        [--security none|wep|wpa-psk|wpa3-sae] [--bssid MAC]\n"
    "        [--key-index 1-4] [--key-size 64|128|256] [--authentication open|shared|auto]\n"
    "        [--cipher tkip|aes] [--no-wait]\n"
    "                                      join a network of the survey and wait until the\n"
    "                                      adapter is on it (or the key was refused);\n"
    "                                      cells of one name that differ in security need\n"
    "                                      --security or --bssid; a pass phrase makes WEP\n"
    "                                      keys only with --security wep. Secrets given as\n"
    "                                      arguments are visible to other local users: use\n"
    "                                      the -stdin forms";
inline constexpr const char* kModeUsage =
    "mode [station|ap]                   print or switch the operating mode";
inline constexpr const char* kApUsage =
    "ap status|stations|settings|filter [--json]\n"
    "                                      the access point: status, associated stations,\n"
    "                                      settings, MAC filter\n"
    "  ap settings set [--ssid S] [--hidden|--no-hidden] [--channel 1-13]\n"
    "        [--output-power high|medium-high|medium-low|low] [--wep off|64|128|256]\n"
    "        [--authentication open|shared|auto] [--key-index 1-4]\n"
    "        [--wep-key K | --wep-key-stdin | --passphrase P | --passphrase-stdin]\n"
    "  ap filter set off|allow|deny [MAC...]  the rule and the addresses (at most 16)";

int RunStatusCommand(CommandContext& context, const std::vector<std::string>& args);
int RunScanCommand(CommandContext& context, const std::vector<std::string>& args);
int RunConnectCommand(CommandContext& context, const std::vector<std::string>& args);
int RunModeCommand(CommandContext& context, const std::vector<std::string>& args);
int RunApCommand(CommandContext& context, const std::vector<std::string>& args);

class BusClient;
// After a profile was applied: waits until the adapter is on its network (exit 0), or
// says that it did not get there in time (kExitError).
int WaitForProfile(CommandContext& context, BusClient& bus, const std::string& profile);

} // namespace kesto
