// ApplyFault: why a join or a profile apply did not go through as asked, with the words
// the user is told. The applier refuses before it touches anything (no name, no server
// name, unusable WPA settings) or stops where the adapter refused a setting; every
// caller, the window's pages and any other way in, reports the same fault the same way.
#pragma once

#include "platform/Dialogs.h"
#include "platform/Refusal.h"

#include <string_view>

namespace kesto {

enum class ApplyFault {
    None,
    // Refused before anything was changed or stored:
    NoNetworkName,       // a name we do not know (a survey network that hides it) or one
                         // holding a zero byte, which the adapter would read as another
    WpaNeedsName,        // WPA or 802.1X without a network name: only an open or WEP
                         // profile may ask for "any network"
    NoServerName,        // 802.1X validating the server certificate, without a usable name
                         // the certificate must carry
    CertificateUnusable, // EAP-TLS whose certificate is not a file of the user's own
    PassphraseUnusable,  // a WPA-PSK pass phrase that is not 8..63 printable characters
    SecurityUnusable,    // other WPA or 802.1X settings no adapter library takes
    // Refused by the adapter:
    NameRefused,     // SetWL_SSID: the apply stopped there; the adapter keeps its network
    SecurityRefused, // SetWL_WPA: the apply stopped there, before the join
    KeyRefused,      // SetWL_WriteKey: the profile went in without its key
};

// Whether the profile reached the adapter (perhaps without its key, which is reported):
// the caller goes on to the status page; otherwise it stays where the user is.
inline bool Applied(ApplyFault fault)
{
    return fault == ApplyFault::None || fault == ApplyFault::KeyRefused;
}

// The German text for a fault; "" for None.
std::string_view ApplyFaultMessage(ApplyFault fault);

// Shows the fault's message in one message box titled caption; nothing for None.
void ReportApplyFault(Dialogs& dialogs, std::string_view caption, ApplyFault fault);

// The fault as a refusal for callers that show no message box (the session service):
// its message under a stable name ("NoNetworkName", "InvalidPassphrase", "KeyRefused"
// ...); nothing for None.
Refused ApplyRefusal(ApplyFault fault);

} // namespace kesto
