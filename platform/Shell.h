// Shell port: where the running program lives, and the desktop's document opener.
#pragma once

#include <string>
#include <string_view>

namespace kesto {

class Shell {
public:
    virtual ~Shell() = default;

    // Absolute path of the running executable file ("/usr/lib/kesto/kesto-utility"),
    // independent of the current directory; "" when the system cannot tell.
    virtual std::string ExecutablePath() = 0;
    // Asks the desktop to open the document at path (absolute) with its usual viewer.
    // Returns at once; false when the request could not even be handed over. A missing
    // file or viewer may still return true: the desktop reports that, not the caller.
    virtual bool OpenDocument(std::string_view path) = 0;
};

} // namespace kesto
