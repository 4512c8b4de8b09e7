// NetworkManager over D-Bus with sd-bus: one connection per question, since the
// questions are rare (a configuring action, a profile applied) and a connection kept
// open would have to notice the daemon's restarts. Each question has one deadline for
// all of it, the connection's authentication included: the caller's thread waits for it.
#include "drivers/linuxwlan/NetworkManagerService.h"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <memory>

namespace kesto::linuxwlan {
namespace {

constexpr const char* kService = "org.freedesktop.NetworkManager";
constexpr const char* kPath = "/org/freedesktop/NetworkManager";
constexpr const char* kDeviceInterface = "org.freedesktop.NetworkManager.Device";
// NetworkManager's answer to GetDeviceByIpIface for an interface it does not know.
constexpr const char* kUnknownDevice = "org.freedesktop.NetworkManager.UnknownDevice";
using Clock = std::chrono::steady_clock;

// Closed without a flush: every call waits for its reply, so nothing is left to send, and
// flushing a bus that never got ready would wait for its authentication after all.
struct BusUnref {
    void operator()(sd_bus* bus) const { sd_bus_close_unref(bus); }
};
using Bus = std::unique_ptr<sd_bus, BusUnref>;

// Owns an sd_bus_error and frees it on every path.
struct Error {
    sd_bus_error e{}; // all null, as SD_BUS_ERROR_NULL (a C compound literal)
    ~Error() { sd_bus_error_free(&e); }
};

// What is left of the deadline for the next call (at least 1 us: 0 would mean the
// library's default of 25 s).
std::uint64_t LeftUs(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<std::uint64_t>(left) : 1;
}

// Gives the next call on bus what is left of the deadline.
sd_bus* Within(sd_bus* bus, Clock::time_point deadline)
{
    sd_bus_set_method_call_timeout(bus, LeftUs(deadline));
    return bus;
}

// Drives the connection until sd-bus has authenticated and said Hello, within the
// deadline. sd-bus does both on its own time otherwise: on a bus that accepts and never
// speaks the first call would wait for the authentication's own 90 s, whatever the
// call's timeout.
bool Ready(sd_bus* bus, Clock::time_point deadline)
{
    for (;;) {
        const int ready = sd_bus_is_ready(bus);
        if (ready != 0)
            return ready > 0;
        const int processed = sd_bus_process(bus, nullptr);
        if (processed < 0)
            return false;
        if (processed > 0)
            continue;
        if (Clock::now() >= deadline || sd_bus_wait(bus, LeftUs(deadline)) < 0)
            return false;
    }
}

// Opens the bus and waits until it is ready. error: 0, or why it could not be opened (a
// negative errno; -ETIMEDOUT when the bus did not get ready in time).
Bus Connect(const std::string& address, Clock::time_point deadline, int& error)
{
    sd_bus* raw = nullptr;
    Bus bus;
    if (address.empty()) {
        if ((error = sd_bus_open_system(&raw)) < 0)
            return nullptr;
        bus.reset(raw);
    } else {
        if ((error = sd_bus_new(&raw)) < 0)
            return nullptr;
        bus.reset(raw);
        if ((error = sd_bus_set_address(raw, address.c_str())) < 0 ||
            (error = sd_bus_set_bus_client(raw, 1)) < 0 || (error = sd_bus_start(raw)) < 0)
            return nullptr;
    }
    if (!Ready(raw, deadline)) {
        error = -ETIMEDOUT;
        return nullptr;
    }
    error = 0;
    Within(raw, deadline);
    return bus;
}

enum class Lookup { NoBus, NoService, UnknownDevice, Failed, Found };

// The device object of an interface, when NetworkManager runs and knows it. Only a bus
// that is not there, no NetworkManager on it, or its own answer that it knows no such
// device mean that nobody is in charge of the interface; a question that fails in any
// other way (no answer in time, access refused, a reply that does not read) tells
// nothing, and an interface it may manage must not be taken from it on a guess.
Lookup FindDevice(const std::string& address, const std::string& interfaceName, Bus& bus,
                  std::string& path, Clock::time_point deadline)
{
    int opened = 0;
    bus = Connect(address, deadline, opened);
    if (!bus) // no socket, or nobody listening on it: no bus, hence no NetworkManager
        return opened == -ENOENT || opened == -ECONNREFUSED ? Lookup::NoBus : Lookup::Failed;

    Error error;
    sd_bus_message* reply = nullptr;
    int hasOwner = 0;
    if (sd_bus_call_method(Within(bus.get(), deadline), "org.freedesktop.DBus",
                           "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                           &error.e, &reply, "s", kService) < 0)
        return Lookup::Failed;
    const int read = sd_bus_message_read(reply, "b", &hasOwner);
    sd_bus_message_unref(reply);
    if (read < 0)
        return Lookup::Failed;
    if (!hasOwner)
        return Lookup::NoService;

    Error lookup;
    reply = nullptr;
    if (sd_bus_call_method(Within(bus.get(), deadline), kService, kPath, kService,
                           "GetDeviceByIpIface", &lookup.e, &reply, "s", interfaceName.c_str()) < 0)
        return sd_bus_error_has_name(&lookup.e, kUnknownDevice) ? Lookup::UnknownDevice
                                                                : Lookup::Failed;
    const char* object = nullptr;
    const int got = sd_bus_message_read(reply, "o", &object);
    if (got >= 0 && object)
        path = object;
    sd_bus_message_unref(reply);
    return got >= 0 && object ? Lookup::Found : Lookup::Failed;
}

} // namespace

std::optional<ServiceState> NetworkManagerService::Query(const std::string& interfaceName) const
{
    const auto deadline = Clock::now() + m_deadline;
    Bus bus;
    std::string path;
    switch (FindDevice(m_busAddress, interfaceName, bus, path, deadline)) {
    case Lookup::NoBus:
    case Lookup::NoService:
    case Lookup::UnknownDevice:
        return ServiceState::NotInCharge;
    case Lookup::Failed:
        return std::nullopt;
    case Lookup::Found:
        break;
    }
    Error error;
    int managed = 0;
    if (sd_bus_get_property_trivial(Within(bus.get(), deadline), kService, path.c_str(),
                                    kDeviceInterface, "Managed", &error.e, 'b', &managed) < 0)
        return std::nullopt;
    return managed ? ServiceState::InCharge : ServiceState::Released;
}

bool NetworkManagerService::SetManaged(const std::string& interfaceName, bool managed) const
{
    const auto deadline = Clock::now() + m_deadline;
    Bus bus;
    std::string path;
    switch (FindDevice(m_busAddress, interfaceName, bus, path, deadline)) {
    case Lookup::NoBus:
    case Lookup::NoService:
    case Lookup::UnknownDevice:
        return true;
    case Lookup::Failed:
        return false;
    case Lookup::Found:
        break;
    }
    Error error;
    return sd_bus_set_property(Within(bus.get(), deadline), kService, path.c_str(),
                               kDeviceInterface, "Managed", &error.e, "b",
                               static_cast<int>(managed)) >= 0;
}

} // namespace kesto::linuxwlan
