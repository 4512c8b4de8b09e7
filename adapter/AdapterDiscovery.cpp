#include "adapter/AdapterDiscovery.h"

#include "base/AsciiText.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <istream>
#include <limits>
#include <system_error>

namespace kesto {

namespace {

bool IsCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One line of the file: its first kAdapterIniLineLimit characters, without the line
// feed and without the carriage return of a CRLF file. The rest of a longer line is
// consumed and dropped, so a fragment of it can never pass for a key or a section
// header. False at the end of the input with nothing read.
bool ReadIniLine(std::streambuf& in, std::string& line)
{
    using Traits = std::streambuf::traits_type;
    line.clear();
    std::size_t length = 0;
    bool endsWithCr = false;
    for (;;) {
        const Traits::int_type ch = in.sbumpc();
        if (Traits::eq_int_type(ch, Traits::eof())) {
            if (length == 0)
                return false;
            break;
        }
        const char c = Traits::to_char_type(ch);
        if (c == '\n')
            break;
        ++length;
        endsWithCr = c == '\r';
        // One character beyond the limit is kept so a trailing CR can be told apart.
        if (line.size() <= kAdapterIniLineLimit)
            line.push_back(c);
    }
    const std::size_t content = endsWithCr ? length - 1 : length;
    line.resize(std::min(content, kAdapterIniLineLimit));
    return true;
}

std::string_view InstanceName(const NicAdapterEntry& entry)
{
    const void* nul = std::memchr(entry.driverInstance, '\0', sizeof entry.driverInstance);
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - entry.driverInstance)
            : sizeof entry.driverInstance;
    return {entry.driverInstance, length};
}

bool StartsWith(std::string_view line, std::string_view key)
{
    return line.substr(0, key.size()) == key;
}

std::string_view From(std::string_view line, std::size_t pos)
{
    return pos < line.size() ? line.substr(pos) : std::string_view{};
}

std::string DeviceIdFrom(std::string_view line)
{
    // The identifier starts one character after "MatchingDeviceId=": the file puts one
    // blank between the key and the equals sign.
    std::string_view id = From(line, 18);
    id = id.substr(0, id.find('\0'));
    // A blank left at the end by an editor would keep the adapter from ever matching.
    while (!id.empty() && (id.back() == ' ' || id.back() == '\t'))
        id.remove_suffix(1);
    return std::string(id);
}

} // namespace

std::int32_t ParseHexNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        HexDigitValue(text[i + 2]) >= 0)
        i += 2;

    // Accumulated as a magnitude; the limit is one more for a negative number.
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0)
            break;
        magnitude = magnitude * 16 + static_cast<std::uint64_t>(digit);
        if (magnitude > limit)
            magnitude = limit + 1; // saturated; stays bounded whatever follows
    }
    if (magnitude > limit)
        magnitude = limit;
    if (negative)
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
    return static_cast<std::int32_t>(magnitude);
}

void ParseAdapterIni(std::istream& in, AdapterCalibration& calibration,
                     std::vector<std::string>& deviceIds)
{
    std::streambuf* buf = in.rdbuf();
    if (!buf)
        return;

    std::string line;
    bool inSection = false;
    while (!inSection) {
        if (!ReadIniLine(*buf, line))
            return;
        inSection = line == kAdapterIniSection;
    }

    int counter = 1;
    while (counter <= kAdapterIniKeyLimit && ReadIniLine(*buf, line)) {
        if (StartsWith(line, "["))
            return;
        if (StartsWith(line, "Signal_Strength_Max")) {
            calibration.SignalMax = ParseHexNumber(From(line, 20));
        } else if (StartsWith(line, "Signal_Strength_Min")) {
            calibration.SignalMin = ParseHexNumber(From(line, 20));
        } else if (StartsWith(line, "Communication_Quality_Max")) {
            calibration.QualityMax = ParseHexNumber(From(line, 26));
        } else if (StartsWith(line, "Communication_Quality_Min")) {
            calibration.QualityMin = ParseHexNumber(From(line, 26));
        } else if (StartsWith(line, "MatchingDeviceId")) {
            // Identifiers beyond the list's slots still count as keys read.
            if (deviceIds.size() < kMaxDeviceIds)
                deviceIds.push_back(DeviceIdFrom(line));
        } else {
            continue;
        }
        ++counter;
    }
}

void KeepRangesPositive(AdapterCalibration& calibration)
{
    // The width must also fit in 32 bits: readers subtract in signed 32-bit arithmetic.
    const auto usable = [](std::int32_t max, std::int32_t min) {
        const std::int64_t width = std::int64_t{max} - min;
        return width > 0 && width <= std::numeric_limits<std::int32_t>::max();
    };
    const AdapterCalibration defaults;
    if (!usable(calibration.SignalMax, calibration.SignalMin)) {
        calibration.SignalMax = defaults.SignalMax;
        calibration.SignalMin = defaults.SignalMin;
    }
    if (!usable(calibration.QualityMax, calibration.QualityMin)) {
        calibration.QualityMax = defaults.QualityMax;
        calibration.QualityMin = defaults.QualityMin;
    }
}

std::string DriverKeyPath(bool win9xLayout, std::string_view driverInstance)
{
    std::string key(win9xLayout ? kDriverKeyBase9x : kDriverKeyBaseNt);
    key += driverInstance;
    return key;
}

AdapterDiscovery::AdapterDiscovery(WlanApi& api, RegistryPaths& store, Dialogs& dialogs,
                                   std::string caption)
    : m_api(api), m_store(store), m_dialogs(dialogs), m_caption(std::move(caption))
{
}

void AdapterDiscovery::LoadAdapterIni()
{
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    // Without a working directory there is no file to find.
    if (ec) {
        ReportMissingIni();
        return;
    }
    LoadAdapterIni(cwd);
}

void AdapterDiscovery::LoadAdapterIni(const std::filesystem::path& directory)
{
    const std::filesystem::path path = directory / kAdapterIniName;
    std::error_code ec;
    std::ifstream file;
    if (std::filesystem::is_regular_file(path, ec))
        file.open(path, std::ios::in | std::ios::binary);
    if (!file.is_open()) {
        ReportMissingIni();
        return;
    }
    ParseAdapterIni(file, m_calibration, m_deviceIds);
    KeepRangesPositive(m_calibration);
}

void AdapterDiscovery::ReportMissingIni()
{
    m_dialogs.Beep(1000, 1000);
    m_dialogs.MessageBox(kAdapterIniMissingMessage, m_caption);
}

int AdapterDiscovery::ScanAdapters()
{
    m_matched.clear();
    m_selectedIndex = -1;
    m_adapters = {};
    m_api.CreateNICAdapterList(m_adapters);
    const bool win9x = m_api.QueryWL_IsWindows95() == 1;

    for (std::size_t i = 0; i < m_adapters.size(); ++i) {
        const NicAdapterEntry& entry = m_adapters[i];
        const std::string_view instance = InstanceName(entry);
        // An unused entry has no driver key of its own.
        if (instance.empty())
            continue;
        const std::string stored =
            AsciiUpper(m_store.ReadText(DriverKeyPath(win9x, instance) + "\\MatchingDeviceId"));
        // A value that cannot be read matches nothing, not even an empty list entry.
        if (stored.empty())
            continue;
        for (const std::string& id : m_deviceIds) {
            if (AsciiUpper(id) == stored) {
                m_matched.push_back(static_cast<int>(i));
                break;
            }
        }
    }
    if (!m_matched.empty())
        m_selectedIndex = m_matched.front();
    return static_cast<int>(m_matched.size());
}

std::string AdapterDiscovery::AdapterRegistryKey(int entryIndex)
{
    const bool win9x = m_api.QueryWL_IsWindows95() == 1;
    if (entryIndex < 0 || entryIndex >= static_cast<int>(m_adapters.size()))
        return {};
    const NicAdapterEntry& entry = m_adapters[static_cast<std::size_t>(entryIndex)];
    const std::string_view instance = InstanceName(entry);
    if (instance.empty())
        return {};
    return DriverKeyPath(win9x, instance);
}

Refused AdapterDiscovery::ServiceConflict()
{
    if (m_api.QV_GetOSVersion() != kOsVersionWithService)
        return std::nullopt;
    if (m_api.QueryWL_CheckWZCStatus() != kServiceInCharge)
        return std::nullopt;
    return Refusal{"ServiceConflict", std::string(kServiceConflictMessage)};
}

bool AdapterDiscovery::CheckServiceConflict()
{
    return ShowRefusal(m_dialogs, ServiceConflict(), m_caption);
}

void AdapterDiscovery::SyncServiceState()
{
    const int status = m_api.QueryWL_CheckWZCStatus();
    if (status != kServiceNotInCharge && status != kServiceInCharge && status != kServiceReleased)
        return;
    if (status == m_serviceState)
        return;
    m_serviceState = status;
    // Private requests are safe only while the service leaves the adapter alone.
    m_api.SetWL_QVUseQVXOidState(status == kServiceNotInCharge ? 1 : 0);
}

} // namespace kesto
