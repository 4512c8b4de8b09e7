// Registry port: a hierarchical store of keys and typed values, the stand-in for the
// local-machine hive. Every key path is relative to that hive.
#pragma once

#include "base/LittleEndian.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kesto {

// Value types with the registry's own type codes (they appear in exports).
enum class RegType : std::uint32_t {
    Sz = 1,    // text: the bytes of the text, no terminating NUL
    Dword = 4, // 32-bit number: 4 bytes, little-endian
};

struct RegValue {
    RegType type = RegType::Sz;
    std::vector<std::uint8_t> data;

    static RegValue Text(std::string_view text);
    static RegValue Number(std::uint32_t n);
    bool operator==(const RegValue&) const = default;
};

inline RegValue RegValue::Text(std::string_view text)
{
    return {RegType::Sz, std::vector<std::uint8_t>(text.begin(), text.end())};
}

inline RegValue RegValue::Number(std::uint32_t n)
{
    RegValue value{RegType::Dword, std::vector<std::uint8_t>(4)};
    WriteLe32(value.data, n);
    return value;
}

// Key paths are key names joined by backslashes ("Software\\Corvane Corporation\\...").
// Empty components (two backslashes in a row, a leading or trailing backslash) are
// ignored, so "A\\B\\" and "A\\B" name one key; "" names the root of the hive.
// Key and value names compare case-insensitively (ASCII), as the registry does, and
// keep the spelling they were created with. A value name may be empty (the key's
// default value).
class Registry {
public:
    virtual ~Registry() = default;

    // Creates the key and any missing parents. False when the store cannot write.
    virtual bool CreateKey(std::string_view keyPath) = 0;
    virtual bool KeyExists(std::string_view keyPath) = 0;

    // The value, or nullopt when the key or the value is missing.
    virtual std::optional<RegValue> QueryValue(std::string_view keyPath, std::string_view name) = 0;
    // Creates the key (and its parents) when missing, then sets the value. False on a
    // store failure; nothing is then changed.
    virtual bool SetValue(std::string_view keyPath, std::string_view name,
                          const RegValue& value) = 0;
    // False when the key or the value is missing, or on a store failure.
    virtual bool DeleteValue(std::string_view keyPath, std::string_view name) = 0;
    // Deletes the key with every key and value below it. False when the key is missing
    // or on a store failure. The root cannot be deleted.
    virtual bool DeleteKey(std::string_view keyPath) = 0;

    // Direct subkey names and the key's values, each sorted by name (case-insensitive).
    // Empty when the key is missing.
    virtual std::vector<std::string> SubKeys(std::string_view keyPath) = 0;
    virtual std::vector<std::pair<std::string, RegValue>> Values(std::string_view keyPath) = 0;

    // True when no write can land (a store opened for reading only): every write then
    // returns false, and a person should be told that changes will not be kept.
    virtual bool IsReadOnly() const { return false; }

    // Visits keyPath and every key below it once, depth first, a key before its subkeys,
    // subkeys in name order: visit gets the key's full path (keyPath as given, then the
    // stored spelling of each name below it) and its values sorted by name. False when
    // keyPath is missing. The default asks by path for every key; a store that finds a
    // key by walking its path should walk its own tree instead, so the cost stays in
    // proportion to what is visited however deep the tree goes.
    using KeyVisitor = std::function<void(
        const std::string& keyPath, const std::vector<std::pair<std::string, RegValue>>& values)>;
    virtual bool WalkTree(std::string_view keyPath, const KeyVisitor& visit);

    // Runs body as one transaction: either every write inside it lands or none does
    // (also when the process dies halfway), and reads inside it see one consistent
    // state of the store. Nested calls join the outer transaction.
    // An exception from body rolls back and propagates. False when the commit failed.
    virtual bool RunInTransaction(const std::function<void()>& body) = 0;
};

inline bool Registry::WalkTree(std::string_view keyPath, const KeyVisitor& visit)
{
    if (!KeyExists(keyPath))
        return false;
    // An explicit stack: no depth of the tree can exhaust the call stack.
    std::vector<std::string> pending{std::string(keyPath)};
    while (!pending.empty()) {
        const std::string key = std::move(pending.back());
        pending.pop_back();
        visit(key, Values(key));
        const auto subKeys = SubKeys(key);
        for (std::size_t i = subKeys.size(); i-- > 0;)
            pending.push_back(key.empty() ? subKeys[i] : key + "\\" + subKeys[i]);
    }
    return true;
}

} // namespace kesto
