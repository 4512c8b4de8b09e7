// LinkStatus: the codes QueryWL_LinkStatus reports. 3 and 4 mean a link is up; every
// other code says why not, so a test (or a person reading the call log) sees the reason.
#pragma once

namespace kesto::qvwlan {

enum class LinkStatus : int {
    Searching = 1,       // no network with the wanted name and type is in range
    Associating = 2,     // a network was chosen; the association is under way
    Associated = 3,      // associated with an access point
    InCell = 4,          // member of an ad-hoc cell (joined, or started our own)
    AuthRefused = 5,     // the network refused us: WEP off/on or key bytes not its own
    NeedsWpa = 6,        // the network wants WPA, which these calls cannot set up
    AccessPointMode = 8, // the adapter runs as an access point; no station link
    Incompatible = 9,    // no common rate, short preamble only, or power saving in a
                         // cell without an ATIM window
};

} // namespace kesto::qvwlan
