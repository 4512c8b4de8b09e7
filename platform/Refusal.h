// Refusal: why a step did not run, as the window tells the user (the text of the message
// box it shows) and under a stable name for callers that show no message box (the
// session service answers with the name as its error and the text as the error's
// message). A step that both the window and the service take returns one; the window
// shows it, the service hands it on, so both say the same.
#pragma once

#include "platform/Dialogs.h"

#include <optional>
#include <string>
#include <string_view>

namespace kesto {

struct Refusal {
    std::string_view name; // letters only ("InvalidKey"); never changes once published
    std::string message;   // UTF-8, what the message box says

    bool operator==(const Refusal&) const = default;
};

// Nothing: the step may go on (or went through).
using Refused = std::optional<Refusal>;

// Shows the refusal's message (none for an empty text) with caption as the box's title;
// true when there was a refusal.
inline bool ShowRefusal(Dialogs& dialogs, const Refused& refused, std::string_view caption)
{
    if (!refused)
        return false;
    if (!refused->message.empty())
        dialogs.MessageBox(refused->message, caption);
    return true;
}

} // namespace kesto
