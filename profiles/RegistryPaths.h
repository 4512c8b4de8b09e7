// RegistryPaths: the registry primitives addressed by one full path string
// ("HKEY_LOCAL_MACHINE\<key>\<value name>"), the form every stored setting of the
// utility and of the adapter's driver key is named by. The narrow view of the store
// that the adapter layer reads driver values through.
#pragma once

#include "platform/Registry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kesto {

class RegistryPaths {
public:
    explicit RegistryPaths(Registry& registry) : m_registry(registry) {}

    // The root is always the local-machine hive whatever the first component says;
    // the value name is the text after the last backslash, the key what lies between.
    // Write failures are silent.
    void WriteText(std::string_view path, std::string_view text);
    void WriteNumber(std::string_view path, std::int32_t n);
    // 255 when the key does not exist; 0 when the key exists but the value is missing,
    // is not a number or is shorter than 4 bytes.
    std::int32_t ReadNumber(std::string_view path);
    // The whole stored text (up to its first NUL), or "" when the key or the value is
    // missing. Unlike an 80-byte read buffer, a long text is never lost.
    std::string ReadText(std::string_view path);
    void DeleteValue(std::string_view path);
    // path is a key path (its last component is a key, not a value name): deletes the
    // key with everything below it. A path naming the hive itself deletes nothing.
    void DeleteProfileKey(std::string_view path);

    Registry& registry() { return m_registry; }

protected:
    Registry& m_registry;
};

} // namespace kesto
