// MatchingDeviceId values under the adapters' driver keys.
#include "drivers/qvwlan/DeviceIdPublisher.h"

namespace kesto::qvwlan {
namespace {

constexpr std::string_view kValueName = "MatchingDeviceId";

} // namespace

std::string DeviceIdPublisher::DriverKeyPath(bool olderLayout, std::string_view instance)
{
    const std::string_view base = olderLayout ? "System\\CurrentControlSet\\Services\\Class\\Net\\"
                                              : "SYSTEM\\CurrentControlSet\\Control\\Class\\"
                                                "{4D36E972-E325-11CE-BFC1-08002bE10318}\\";
    return std::string(base) + std::string(instance);
}

void DeviceIdPublisher::remove(const std::string& keyPath)
{
    if (m_registry.QueryValue(keyPath, kValueName))
        m_registry.DeleteValue(keyPath, kValueName);
}

void DeviceIdPublisher::publish(const Scenario& scenario)
{
    std::set<std::string> named;
    for (const ScenarioAdapter& a : scenario.adapters) {
        named.insert(a.driverInstance);
        const std::string current = DriverKeyPath(scenario.olderRegistryLayout, a.driverInstance);
        remove(DriverKeyPath(!scenario.olderRegistryLayout, a.driverInstance));
        if (!a.present) {
            remove(current);
            continue;
        }
        const RegValue value = RegValue::Text(a.deviceId);
        if (m_registry.QueryValue(current, kValueName) != value)
            m_registry.SetValue(current, kValueName, value);
    }
    for (const std::string& instance : m_instances) {
        if (named.contains(instance))
            continue;
        remove(DriverKeyPath(true, instance));
        remove(DriverKeyPath(false, instance));
    }
    m_instances.insert(named.begin(), named.end());
}

} // namespace kesto::qvwlan
