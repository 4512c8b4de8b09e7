// SingleInstance port: a named guard that at most one process of the user holds. The
// guard is released when the object that took it is destroyed, and by the system when
// the holding process ends, however it ends, so a crashed instance never blocks the
// next start.
#pragma once

#include <string_view>

namespace kesto {

enum class GuardResult {
    Acquired,    // this process holds the guard while the SingleInstance object lives
    AlreadyHeld, // another process holds it
    Failed,      // the guard could not be set up (no runtime directory, no permission)
};

class SingleInstance {
public:
    virtual ~SingleInstance() = default;

    // Tries once, without waiting, to take the guard called name (any text; the
    // implementation maps it to a safe resource name). Calling again for a name this
    // object already holds returns Acquired.
    virtual GuardResult TryAcquire(std::string_view name) = 0;
};

} // namespace kesto
