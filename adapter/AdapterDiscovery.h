// AdapterDiscovery: finds the product's adapter among the system's network adapters,
// reads the adapter model's calibration ranges and supported device identifiers from
// QVWlan.INI, names the driver key of the chosen adapter, and guards configuring actions
// against the system's own wireless configuration service.
#pragma once

#include "adapter/AdapterCalibration.h"
#include "adapter/WlanApi.h"
#include "platform/Dialogs.h"
#include "platform/Refusal.h"
#include "profiles/RegistryPaths.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

inline constexpr std::string_view kAdapterIniName = "QVWlan.INI";
inline constexpr std::string_view kAdapterIniSection = "[ADAPTER_INFORMATION]";
inline constexpr std::string_view kAdapterIniMissingMessage = "QVWlan.INI Can't be find";
inline constexpr std::string_view kServiceConflictMessage =
    "You can not use the Kesto Utility to configure the Kesto.\n"
    "You are currently using the Wireless Zero Configuration service.";

// Characters of one INI line that are examined; the rest of a longer line is ignored.
inline constexpr std::size_t kAdapterIniLineLimit = 100;
// Keys taken from the section, counting every recognised key line.
inline constexpr int kAdapterIniKeyLimit = 14;
inline constexpr std::size_t kMaxDeviceIds = 11;
inline constexpr std::size_t kAdapterListSize = 10;

// Driver keys of network adapters, by registry layout; the instance name follows.
inline constexpr std::string_view kDriverKeyBase9x =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Net\\";
inline constexpr std::string_view kDriverKeyBaseNt =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
    "{4D36E972-E325-11CE-BFC1-08002bE10318}\\";

// Service status codes of QueryWL_CheckWZCStatus, and the remembered "unknown" state.
inline constexpr int kServiceNotInCharge = 0;
inline constexpr int kServiceInCharge = 1;
inline constexpr int kServiceReleased = 2;
inline constexpr int kServiceStateUnknown = -1;
// The system version on which the wireless configuration service exists.
inline constexpr int kOsVersionWithService = 7;

// A hexadecimal number as the C library's strtol(text, nullptr, 16) reads it with a
// 32-bit long: leading white space, an optional sign and "0x" prefix, then digits up to
// the first non-digit; no digits give 0, and a value out of range saturates.
std::int32_t ParseHexNumber(std::string_view text);

// Reads the [ADAPTER_INFORMATION] section from in. The four numbers overwrite the
// matching fields of calibration; identifiers are appended to deviceIds (at most
// kMaxDeviceIds in all). Fields whose keys are absent keep their values. Never fails:
// malformed lines are skipped, and reading ends at the end of the input.
void ParseAdapterIni(std::istream& in, AdapterCalibration& calibration,
                     std::vector<std::string>& deviceIds);

// A calibration pair whose maximum is not above its minimum would divide by zero (or
// invert the bars), and one wider than 32 bits would overflow: such a pair is replaced
// by the default pair.
void KeepRangesPositive(AdapterCalibration& calibration);

// The driver key path of an adapter instance ("0007") in the given layout, with the
// trailing backslash of neither: values are addressed by appending "\" and a name.
std::string DriverKeyPath(bool win9xLayout, std::string_view driverInstance);

class AdapterDiscovery {
public:
    // caption: the title of the message boxes (the application name).
    AdapterDiscovery(WlanApi& api, RegistryPaths& store, Dialogs& dialogs, std::string caption);

    // Reads QVWlan.INI from the process's working directory.
    void LoadAdapterIni();
    // Reads directory/QVWlan.INI. A missing or unreadable file beeps and shows
    // "QVWlan.INI Can't be find"; calibration and identifiers then stay as they are.
    void LoadAdapterIni(const std::filesystem::path& directory);

    // Lists the system's adapters and matches each entry's stored MatchingDeviceId
    // against the identifier list (ASCII case-insensitive). Returns the match count.
    int ScanAdapters();

    // The driver key of list entry entryIndex for the running system's registry layout
    // (asks QueryWL_IsWindows95 each time). Empty when the index is outside the list or
    // the entry names no driver instance.
    std::string AdapterRegistryKey(int entryIndex);
    // The driver key of the selected adapter; empty while none matched.
    std::string SelectedAdapterKey() { return AdapterRegistryKey(m_selectedIndex); }

    // The refusal of a configuring action while the system's wireless service controls
    // the adapter ("ServiceConflict"); nothing when the action may go on.
    Refused ServiceConflict();
    // ServiceConflict with its message shown: true when the action must be abandoned.
    bool CheckServiceConflict();
    // Tells the library whether it may use its private requests, calling it only when
    // the service status differs from the remembered state.
    void SyncServiceState();
    int ServiceState() const { return m_serviceState; }
    // Forces the next SyncServiceState to call the library whatever the status is.
    void SetServiceStateUnknown() { m_serviceState = kServiceStateUnknown; }

    const AdapterCalibration& Calibration() const { return m_calibration; }
    const std::vector<std::string>& DeviceIdList() const { return m_deviceIds; }
    const std::vector<int>& MatchedAdapters() const { return m_matched; }
    // Index into Adapters() of the adapter in use; -1 while none matched.
    int SelectedAdapterIndex() const { return m_selectedIndex; }
    const std::array<NicAdapterEntry, kAdapterListSize>& Adapters() const { return m_adapters; }

private:
    void ReportMissingIni();

    WlanApi& m_api;
    RegistryPaths& m_store;
    Dialogs& m_dialogs;
    std::string m_caption;

    AdapterCalibration m_calibration;
    std::vector<std::string> m_deviceIds;
    std::array<NicAdapterEntry, kAdapterListSize> m_adapters{};
    std::vector<int> m_matched;
    int m_selectedIndex = -1;
    int m_serviceState = kServiceNotInCharge;
};

} // namespace kesto
