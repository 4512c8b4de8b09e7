// RecordingRegistry: a decorator over a real registry that passes every call through
// and records the writes, so a test can observe the order of a layout's values. An
// optional hook runs after each recorded SetValue (a test uses it to die mid-write).
#pragma once

#include "platform/Registry.h"

#include <functional>
#include <string>
#include <vector>

namespace kesto::test {

class RecordingRegistry : public Registry {
public:
    explicit RecordingRegistry(Registry& inner) : m_inner(inner) {}

    // "key|name" of each SetValue and QueryValue, in call order.
    std::vector<std::string> sets;
    std::vector<std::string> queries;
    std::function<void(std::size_t setCount)> afterSet;

    bool CreateKey(std::string_view keyPath) override { return m_inner.CreateKey(keyPath); }
    bool KeyExists(std::string_view keyPath) override { return m_inner.KeyExists(keyPath); }
    bool IsReadOnly() const override { return m_inner.IsReadOnly(); }
    bool WalkTree(std::string_view keyPath, const KeyVisitor& visit) override
    {
        return m_inner.WalkTree(keyPath, visit);
    }
    std::optional<RegValue> QueryValue(std::string_view keyPath, std::string_view name) override
    {
        queries.push_back(std::string(keyPath) + "|" + std::string(name));
        return m_inner.QueryValue(keyPath, name);
    }
    bool SetValue(std::string_view keyPath, std::string_view name, const RegValue& value) override
    {
        const bool ok = m_inner.SetValue(keyPath, name, value);
        sets.push_back(std::string(keyPath) + "|" + std::string(name));
        if (afterSet)
            afterSet(sets.size());
        return ok;
    }
    bool DeleteValue(std::string_view keyPath, std::string_view name) override
    {
        return m_inner.DeleteValue(keyPath, name);
    }
    bool DeleteKey(std::string_view keyPath) override { return m_inner.DeleteKey(keyPath); }
    std::vector<std::string> SubKeys(std::string_view keyPath) override
    {
        return m_inner.SubKeys(keyPath);
    }
    std::vector<std::pair<std::string, RegValue>> Values(std::string_view keyPath) override
    {
        return m_inner.Values(keyPath);
    }
    bool RunInTransaction(const std::function<void()>& body) override
    {
        return m_inner.RunInTransaction(body);
    }

private:
    Registry& m_inner;
};

} // namespace kesto::test
