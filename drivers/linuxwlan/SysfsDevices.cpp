// Reading /sys/class/net (see SysfsDevices.h).
#include "drivers/linuxwlan/SysfsDevices.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <sstream>

namespace kesto::linuxwlan {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> ReadSmallFile(const fs::path& file)
{
    std::ifstream in(file);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    std::string content = text.str();
    while (!content.empty() && (content.back() == '\n' || content.back() == '\r'))
        content.pop_back();
    return content;
}

std::optional<std::uint64_t> ReadNumber(const fs::path& file)
{
    const auto text = ReadSmallFile(file);
    if (!text)
        return std::nullopt;
    std::uint64_t value = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, ec] = std::from_chars(text->data(), end, value);
    if (text->empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::string Upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// A hexadecimal field of uevent as four upper-case digits ("450" -> "0450"); empty when
// it is not 1..4 hexadecimal digits.
std::string Hex4(std::string_view digits)
{
    if (digits.empty() || digits.size() > 4 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
        return {};
    return std::string(4 - digits.size(), '0') + Upper(digits);
}

std::string PairId(std::string_view bus, std::string_view first, std::string_view second,
                   std::string_view value, char separator)
{
    const std::size_t split = value.find(separator);
    if (split == std::string_view::npos)
        return {};
    const std::string a = Hex4(value.substr(0, split));
    std::string_view rest = value.substr(split + 1);
    rest = rest.substr(0, rest.find(separator)); // USB adds a third field, the release
    const std::string b = Hex4(rest);
    if (a.empty() || b.empty())
        return {};
    return std::string(bus) + "\\" + std::string(first) + "_" + a + "&" + std::string(second) +
           "_" + b;
}

} // namespace

std::string SysfsDevices::DeviceIdOfUevent(std::string_view uevent)
{
    const auto values = ParseKeyValues(uevent);
    const auto find = [&](const char* key) -> std::string_view {
        const auto it = values.find(key);
        return it == values.end() ? std::string_view() : std::string_view(it->second);
    };
    if (!find("PRODUCT").empty())
        return PairId("USB", "VID", "PID", find("PRODUCT"), '/');
    if (!find("PCI_ID").empty())
        return PairId("PCI", "VEN", "DEV", find("PCI_ID"), ':');
    if (!find("SDIO_ID").empty())
        return PairId("SDIO", "VID", "PID", find("SDIO_ID"), ':');
    if (!find("DRIVER").empty())
        return "LINUX\\" + Upper(find("DRIVER"));
    return {};
}

std::optional<WirelessInterface> SysfsDevices::Read(const fs::path& dir) const
{
    std::error_code ec;
    if (!fs::is_directory(dir / "wireless", ec) && !fs::exists(dir / "phy80211", ec))
        return std::nullopt;
    WirelessInterface wi;
    wi.name = dir.filename().string();
    const auto index = ReadNumber(dir / "ifindex");
    if (!index || *index > 0x7FFFFFFF)
        return std::nullopt;
    wi.index = static_cast<int>(*index);
    if (const auto address = ReadSmallFile(dir / "address"))
        wi.mac = ParseMac(*address);

    if (const auto phy = ReadSmallFile(dir / "phy80211" / "name"))
        wi.phy = *phy;
    const fs::path device = dir / "device";
    if (fs::exists(device / "driver", ec))
        wi.driver = fs::canonical(device / "driver", ec).filename().string();
    // The identifier sits on the device or on one of its parents (a USB radio's network
    // device hangs below the USB interface, whose uevent names the product).
    fs::path at = fs::canonical(device, ec);
    for (int level = 0; !ec && level < 4 && !at.empty(); ++level, at = at.parent_path()) {
        const auto uevent = ReadSmallFile(at / "uevent");
        if (!uevent)
            break;
        const std::string id = DeviceIdOfUevent(*uevent);
        if (!id.empty() && (wi.deviceId.empty() || !id.starts_with("LINUX\\"))) {
            wi.deviceId = id;
            if (!id.starts_with("LINUX\\"))
                break;
        }
    }
    if (wi.deviceId.empty() && !wi.driver.empty())
        wi.deviceId = "LINUX\\" + Upper(wi.driver);
    return wi;
}

std::vector<WirelessInterface> SysfsDevices::List() const
{
    std::vector<WirelessInterface> list;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_classNet, ec)) {
        if (auto wi = Read(entry.path()))
            list.push_back(std::move(*wi));
    }
    std::sort(list.begin(), list.end(),
              [](const auto& a, const auto& b) { return a.index < b.index; });
    return list;
}

std::optional<WirelessInterface> SysfsDevices::Find(std::string_view name) const
{
    if (name.empty() || name.find('/') != std::string_view::npos || name == "." || name == "..")
        return std::nullopt;
    return Read(m_classNet / std::string(name));
}

bool SysfsDevices::Exists(std::string_view name) const
{
    std::error_code ec;
    return !name.empty() && name.find('/') == std::string_view::npos &&
           fs::exists(m_classNet / std::string(name) / "ifindex", ec);
}

std::optional<InterfaceCounters> SysfsDevices::Counters(std::string_view name) const
{
    if (!Exists(name))
        return std::nullopt;
    const fs::path stats = m_classNet / std::string(name) / "statistics";
    InterfaceCounters c;
    const std::pair<const char*, std::uint64_t*> fields[] = {
        {"tx_packets", &c.txPackets}, {"rx_packets", &c.rxPackets}, {"tx_bytes", &c.txBytes},
        {"rx_bytes", &c.rxBytes},     {"tx_errors", &c.txErrors},   {"rx_errors", &c.rxErrors},
        {"rx_dropped", &c.rxDropped}};
    for (const auto& [file, value] : fields) {
        const auto number = ReadNumber(stats / file);
        if (!number)
            return std::nullopt;
        *value = *number;
    }
    return c;
}

} // namespace kesto::linuxwlan
