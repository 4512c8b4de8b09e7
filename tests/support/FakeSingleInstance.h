// Single-instance guards of several simulated processes: each FakeSingleInstance is one
// process, and a shared table tells which process holds which name.
#pragma once

#include "platform/SingleInstance.h"

#include <map>
#include <string>

namespace kesto::test {

struct GuardTable {
    std::map<std::string, const void*, std::less<>> holders;
};

class FakeSingleInstance : public SingleInstance {
public:
    explicit FakeSingleInstance(GuardTable& table) : m_table(table) {}
    ~FakeSingleInstance() override
    {
        std::erase_if(m_table.holders, [this](const auto& h) { return h.second == this; });
    }
    GuardResult TryAcquire(std::string_view name) override
    {
        if (fail)
            return GuardResult::Failed;
        auto [it, inserted] = m_table.holders.try_emplace(std::string(name), this);
        return inserted || it->second == this ? GuardResult::Acquired : GuardResult::AlreadyHeld;
    }

    bool fail = false;

private:
    GuardTable& m_table;
};

} // namespace kesto::test
