#include "station/ProfileTexts.h"

#include <array>
#include <string_view>

namespace kesto {

namespace {

constexpr std::array<std::string_view, 5> kSecurityTexts = {"Deaktiviert", "WEP", "WPA-PSK",
                                                            "WPA-RADIUS", "RADIUS"};
constexpr std::array<std::string_view, 13> kRateTexts = {
    "Vollautom.", "54 Mbps", "48 Mbps", "36 Mbps",  "24 Mbps", "18 Mbps", "12 Mbps",
    "11 Mbps",    "9 Mbps",  "6 Mbps",  "5.5 Mbps", "2 Mbps",  "1 Mbps"};

} // namespace

std::string NetworkTypeText(std::int32_t networkType)
{
    switch (networkType) {
    case 0:
        return "Ad-Hoc";
    case 1:
        return "Infrastruktur";
    default:
        return {};
    }
}

std::string SecurityText(std::int32_t authenticationMode)
{
    if (authenticationMode < 0 || authenticationMode >= std::int32_t{kSecurityTexts.size()})
        return {};
    return std::string(kSecurityTexts[static_cast<std::size_t>(authenticationMode)]);
}

std::string RateText(std::int32_t txRate)
{
    if (txRate < 0 || txRate >= std::int32_t{kRateTexts.size()})
        return std::to_string(txRate) + " Mbps";
    return std::string(kRateTexts[static_cast<std::size_t>(txRate)]);
}

} // namespace kesto
