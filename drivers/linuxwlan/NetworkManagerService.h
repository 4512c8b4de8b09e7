// NetworkManagerService: the system's wireless service on Linux. NetworkManager, asked
// over D-Bus (the system bus), says whether it manages an interface; it is told to
// leave the interface alone (unmanaged) or to take it back. Without a bus, or without
// NetworkManager on it, or when it answers that it does not know the interface, no
// service is in charge; a question it does not answer so tells nothing.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace kesto::linuxwlan {

enum class ServiceState {
    NotInCharge, // no NetworkManager, or it does not know the interface
    InCharge,    // it manages the interface
    Released,    // it knows the interface and leaves it alone
};

class NetworkManagerService {
public:
    // busAddress: a D-Bus address ("unix:path=..."); empty for the system bus (which
    // honours DBUS_SYSTEM_BUS_ADDRESS). deadline: how long one question may take in all,
    // connecting included (the caller's thread waits for it).
    NetworkManagerService(std::string busAddress, std::chrono::milliseconds deadline)
        : m_busAddress(std::move(busAddress)), m_deadline(deadline)
    {
    }

    // nullopt when the question failed: the bus or NetworkManager did not answer in
    // time, refused access, or answered otherwise than the three states above.
    std::optional<ServiceState> Query(const std::string& interfaceName) const;
    // Sets the device's Managed property. True also when no service knows the interface
    // (there is nothing to release or take back); false when the service refused or the
    // question failed.
    bool SetManaged(const std::string& interfaceName, bool managed) const;

private:
    std::string m_busAddress;
    std::chrono::milliseconds m_deadline;
};

} // namespace kesto::linuxwlan
