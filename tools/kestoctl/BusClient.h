// BusClient: kestoctl's side of the running utility's session service, over sd-bus (the
// D-Bus library of libsystemd, which the Linux adapter library already uses): one call at
// a time on the utility's object, its answer read into JSON whatever its signature, so
// every command prints from one form, and the service's errors with their names.
#pragma once

#include "app/CommandOptions.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sd_bus;

namespace kesto {

// One argument of a call.
using BusArgument = std::variant<std::string, std::vector<std::string>, CommandOptions>;

struct BusError {
    std::string name;    // "org.kesto.WlanUtility1.Error.Busy"; empty when the bus failed
    std::string message; // one line
    // No utility answers on the bus (none runs, or there is no session bus).
    bool notRunning = false;
};

class BusClient {
public:
    BusClient();
    ~BusClient();
    BusClient(const BusClient&) = delete;
    BusClient& operator=(const BusClient&) = delete;

    // Calls method of the utility's interface (or, with interface, of another one of its
    // object) and returns its answer's values, in order, as a JSON array.
    std::optional<nlohmann::json> Call(std::string_view method,
                                       const std::vector<BusArgument>& args, BusError& error,
                                       std::string_view interface = {});
    // The utility's properties (Properties.GetAll).
    std::optional<nlohmann::json> Properties(BusError& error);

private:
    bool Connect(BusError& error);

    sd_bus* m_bus = nullptr;
};

// The short name of an error ("Busy" of "org.kesto.WlanUtility1.Error.Busy").
std::string_view ShortErrorName(std::string_view name);

} // namespace kesto
