// The readable name of a parameterised case: its own `name` member, for
// INSTANTIATE_TEST_SUITE_P's name generator (ctest then lists "Suite.Test/Name").
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace kesto::test {

struct ParamName {
    template <typename Case> std::string operator()(const testing::TestParamInfo<Case>& info) const
    {
        return std::string(info.param.name);
    }
};

} // namespace kesto::test
