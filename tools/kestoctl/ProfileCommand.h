// ProfileCommand: "kestoctl profile": the stored profiles, listed, shown, added, deleted
// and applied. With a utility running it goes through its session service, so the
// window's list shows the change at once; without one, list, show, add and delete work
// on the store itself through the same profile code (apply needs the adapter, so the
// utility).
#pragma once

#include "tools/kestoctl/CommandContext.h"

#include <string>
#include <vector>

namespace kesto {

inline constexpr const char* kProfileUsage =
    "profile list|show NAME [--json]     the stored profiles, one profile's settings\n"
    "  profile add NAME [--ssid S] [--ad-hoc [--channel 1-13] [--wireless-mode mixed|g|b]]\n"
    "        [--security none|wep|wpa-psk] [--wep-key K | --wep-key-stdin | --passphrase P |\n"
    "        --passphrase-stdin] [--key-index 1-4] [--key-size 64|128|256]\n"
    "        [--authentication open|shared|auto] [--cipher tkip|aes]\n"
    "  profile delete NAME\n"
    "  profile apply NAME [--no-wait]    apply a profile and wait until the adapter is on\n"
    "                                      its network (exit 2 when it is not within 15 s)\n"
    "  Secrets given as arguments are visible to other local users: use the -stdin forms.";

int RunProfileCommand(CommandContext& context, const std::vector<std::string>& args);

} // namespace kesto
