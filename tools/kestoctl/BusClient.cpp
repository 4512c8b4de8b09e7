// kestoctl's calls on the running utility's session service (see BusClient.h).
#include "tools/kestoctl/BusClient.h"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <cstring>

namespace kesto {

namespace {

constexpr const char* kName = "org.kesto.WlanUtility1";
constexpr const char* kPath = "/org/kesto/WlanUtility1";
constexpr const char* kInterface = "org.kesto.WlanUtility1";
// A scan takes the radio up to 10 s, and a join may scan first; no call waits longer.
constexpr std::uint64_t kCallTimeoutUs = 40'000'000;

struct Message {
    sd_bus_message* m = nullptr;
    ~Message() { sd_bus_message_unref(m); }
};

struct Error {
    sd_bus_error e = SD_BUS_ERROR_NULL;
    ~Error() { sd_bus_error_free(&e); }
};

int AppendOptions(sd_bus_message* m, const CommandOptions& options)
{
    int r = sd_bus_message_open_container(m, 'a', "{sv}");
    for (auto it = options.begin(); r >= 0 && it != options.end(); ++it) {
        r = sd_bus_message_open_container(m, 'e', "sv");
        if (r >= 0)
            r = sd_bus_message_append_basic(m, 's', it->first.c_str());
        if (r >= 0) {
            if (const auto* flag = std::get_if<bool>(&it->second))
                r = sd_bus_message_append(m, "v", "b", static_cast<int>(*flag));
            else if (const auto* number = std::get_if<std::int64_t>(&it->second))
                r = sd_bus_message_append(m, "v", "x", *number);
            else
                r = sd_bus_message_append(m, "v", "s", std::get<std::string>(it->second).c_str());
        }
        if (r >= 0)
            r = sd_bus_message_close_container(m);
    }
    return r < 0 ? r : sd_bus_message_close_container(m);
}

int Append(sd_bus_message* m, const BusArgument& argument)
{
    if (const auto* text = std::get_if<std::string>(&argument))
        return sd_bus_message_append_basic(m, 's', text->c_str());
    if (const auto* list = std::get_if<std::vector<std::string>>(&argument)) {
        int r = sd_bus_message_open_container(m, 'a', "s");
        for (auto it = list->begin(); r >= 0 && it != list->end(); ++it)
            r = sd_bus_message_append_basic(m, 's', it->c_str());
        return r < 0 ? r : sd_bus_message_close_container(m);
    }
    return AppendOptions(m, std::get<CommandOptions>(argument));
}

int ReadValue(sd_bus_message* m, nlohmann::json& out);

// The elements of the container entered last, up to its end.
int ReadElements(sd_bus_message* m, nlohmann::json& out)
{
    out = nlohmann::json::array();
    for (;;) {
        const int end = sd_bus_message_at_end(m, 0);
        if (end != 0)
            return end < 0 ? end : 0;
        nlohmann::json element;
        if (const int r = ReadValue(m, element); r < 0)
            return r;
        out.push_back(std::move(element));
    }
}

template <typename T> int ReadBasic(sd_bus_message* m, char type, nlohmann::json& out)
{
    T value{};
    const int r = sd_bus_message_read_basic(m, type, &value);
    if (r >= 0)
        out = value;
    return r;
}

int ReadValue(sd_bus_message* m, nlohmann::json& out)
{
    char type = 0;
    const char* contents = nullptr;
    int r = sd_bus_message_peek_type(m, &type, &contents);
    if (r <= 0)
        return r < 0 ? r : -EBADMSG;
    switch (type) {
    case 's':
    case 'o':
    case 'g': {
        const char* text = nullptr;
        r = sd_bus_message_read_basic(m, type, &text);
        if (r >= 0)
            out = text ? text : "";
        return r;
    }
    case 'b': {
        int flag = 0;
        r = sd_bus_message_read_basic(m, type, &flag);
        if (r >= 0)
            out = flag != 0;
        return r;
    }
    case 'y':
        return ReadBasic<std::uint8_t>(m, type, out);
    case 'n':
        return ReadBasic<std::int16_t>(m, type, out);
    case 'q':
        return ReadBasic<std::uint16_t>(m, type, out);
    case 'i':
        return ReadBasic<std::int32_t>(m, type, out);
    case 'u':
        return ReadBasic<std::uint32_t>(m, type, out);
    case 'x':
        return ReadBasic<std::int64_t>(m, type, out);
    case 't':
        return ReadBasic<std::uint64_t>(m, type, out);
    case 'd':
        return ReadBasic<double>(m, type, out);
    default:
        break;
    }
    if ((r = sd_bus_message_enter_container(m, type, contents)) < 0)
        return r;
    if (type == 'a' && contents[0] == '{') {
        // A dictionary: its keys are strings in every answer of the service.
        out = nlohmann::json::object();
        const std::string entry(contents + 1, std::strlen(contents) - 2);
        while ((r = sd_bus_message_enter_container(m, 'e', entry.c_str())) > 0) {
            nlohmann::json key;
            nlohmann::json value;
            if ((r = ReadValue(m, key)) < 0 || (r = ReadValue(m, value)) < 0 ||
                (r = sd_bus_message_exit_container(m)) < 0)
                return r;
            out[key.is_string() ? key.get<std::string>() : key.dump()] = std::move(value);
        }
        if (r < 0)
            return r;
    } else if (type == 'v') {
        if ((r = ReadValue(m, out)) < 0)
            return r;
    } else if ((r = ReadElements(m, out)) < 0) {
        return r;
    }
    return sd_bus_message_exit_container(m);
}

} // namespace

std::string_view ShortErrorName(std::string_view name)
{
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

BusClient::BusClient() = default;

BusClient::~BusClient()
{
    sd_bus_flush_close_unref(m_bus);
}

bool BusClient::Connect(BusError& error)
{
    if (m_bus)
        return true;
    const int r = sd_bus_open_user(&m_bus);
    if (r < 0) {
        m_bus = nullptr;
        error = {{}, std::string("no session bus: ") + std::strerror(-r), true};
        return false;
    }
    sd_bus_set_method_call_timeout(m_bus, kCallTimeoutUs);
    return true;
}

std::optional<nlohmann::json> BusClient::Call(std::string_view method,
                                              const std::vector<BusArgument>& args, BusError& error,
                                              std::string_view interface)
{
    if (!Connect(error))
        return std::nullopt;
    Message call;
    const std::string member(method);
    const std::string iface = interface.empty() ? kInterface : std::string(interface);
    int r =
        sd_bus_message_new_method_call(m_bus, &call.m, kName, kPath, iface.c_str(), member.c_str());
    for (auto it = args.begin(); r >= 0 && it != args.end(); ++it)
        r = Append(call.m, *it);
    if (r < 0) {
        error = {{}, std::string("cannot make the call: ") + std::strerror(-r)};
        return std::nullopt;
    }
    Message reply;
    Error failure;
    if ((r = sd_bus_call(m_bus, call.m, 0, &failure.e, &reply.m)) < 0) {
        const bool absent = sd_bus_error_has_names(&failure.e, SD_BUS_ERROR_SERVICE_UNKNOWN,
                                                   SD_BUS_ERROR_NAME_HAS_NO_OWNER);
        error = {failure.e.name ? failure.e.name : "",
                 failure.e.message ? failure.e.message : std::strerror(-r), absent};
        return std::nullopt;
    }
    nlohmann::json values;
    if ((r = ReadElements(reply.m, values)) < 0) {
        error = {{}, std::string("cannot read the answer: ") + std::strerror(-r)};
        return std::nullopt;
    }
    return values;
}

std::optional<nlohmann::json> BusClient::Properties(BusError& error)
{
    auto values =
        Call("GetAll", {std::string(kInterface)}, error, "org.freedesktop.DBus.Properties");
    if (!values)
        return std::nullopt;
    return values->at(0);
}

} // namespace kesto
