// DeviceIdPublisher: the operating system's part of plugging adapters in. For each
// adapter that is plugged in, the system records the device identifier its driver was
// matched by, as the REG_SZ value MatchingDeviceId under the adapter's driver key; the
// utility finds its adapter by that value. An adapter that is not plugged in has no
// value.
#pragma once

#include "drivers/qvwlan/Scenario.h"
#include "platform/Registry.h"

#include <set>
#include <string>
#include <string_view>

namespace kesto::qvwlan {

class DeviceIdPublisher {
public:
    explicit DeviceIdPublisher(Registry& registry) : m_registry(registry) {}

    // The driver key of an instance, as a key path of the Registry port (no hive name):
    // under the older layout "System\CurrentControlSet\Services\Class\Net\<instance>",
    // otherwise under the network class key of "SYSTEM\CurrentControlSet\Control\Class".
    static std::string DriverKeyPath(bool olderLayout, std::string_view instance);

    // Brings the values in line with the scenario: writes each present adapter's value
    // in the scenario's layout; removes it from the other layout, for adapters that are
    // not present, and for adapters an earlier scenario had and this one has not.
    void publish(const Scenario& scenario);

private:
    void remove(const std::string& keyPath);

    Registry& m_registry;
    std::set<std::string> m_instances; // every instance a published scenario named
};

} // namespace kesto::qvwlan
