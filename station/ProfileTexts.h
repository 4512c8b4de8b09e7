// ProfileTexts: how the profile page and the wizard's confirmation step name a
// profile's settings (German, as the pages read).
#pragma once

#include <cstdint>
#include <string>

namespace kesto {

// "Infrastruktur" for 1, "Ad-Hoc" for 0; "" for any other network type.
std::string NetworkTypeText(std::int32_t networkType);
// By AuthenticationMode: "Deaktiviert", "WEP", "WPA-PSK", "WPA-RADIUS", "RADIUS"; ""
// for any other value.
std::string SecurityText(std::int32_t authenticationMode);
// By TxRate: "Vollautom." for 0, then "54 Mbps" ... "1 Mbps" for 1..12; any other
// index gives its number followed by " Mbps".
std::string RateText(std::int32_t txRate);

} // namespace kesto
