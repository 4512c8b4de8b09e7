// RegistryError: what the registry implementations and the .reg file code throw when a
// store or a file cannot be used at all. The message always names the file concerned.
#pragma once

#include <stdexcept>

namespace kesto {

class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace kesto
