// LinuxWlanLibrary: the WlanLibrary port over a real Linux wireless interface. Station
// mode goes through wpa_supplicant's control socket, access-point mode through
// hostapd's; devices, identifiers and counters come from sysfs. Like the operating
// system of the original platform, it writes each listed interface's MatchingDeviceId
// under its driver key. README.md maps every call and names what is kept between calls.
//
// No call waits on wpa_supplicant or hostapd: the library's own thread (DaemonWorker,
// started by QvOpenAdapter, joined by QvCloseAdapter and the destructor) does all their
// traffic; closing waits only for it to take back what it gave wpa_supplicant (our
// network, with its secrets), at most one reply deadline. Readings answer from what that
// thread last read (at most one poll interval old), setters keep their values and the
// next reading hands them over, mode switches and scans are handed over and carried out
// off the caller's thread. Each request of that thread has one deadline (replyTimeout,
// 400 ms); a daemon that lets it pass counts as not answering - logged once, and the link
// reads as lost - until it answers again.
// The coexistence check over D-Bus is the one call that still waits, at most 400 ms.
#pragma once

#include "drivers/linuxwlan/AdapterSettings.h"
#include "drivers/linuxwlan/DaemonWorker.h"
#include "drivers/linuxwlan/LinuxWlanConfig.h"
#include "drivers/linuxwlan/NetworkManagerService.h"
#include "drivers/linuxwlan/SysfsDevices.h"
#include "platform/Registry.h"
#include "platform/WlanLibrary.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

namespace kesto::linuxwlan {

class LinuxWlanLibrary final : public WlanLibrary {
public:
    LinuxWlanLibrary(LinuxWlanConfig config, Registry& registry);
    ~LinuxWlanLibrary() override;

    int CreateNICAdapterList(std::span<NicAdapterEntry> list) override;
    int QueryWL_IsWindows95() override { return 0; }
    int QV_GetOSVersion() override { return kOsVersion; }

    int QvOpenAdapter(AdapterContext& ctx) override;
    int QvCloseAdapter(AdapterContext& ctx) override;

    int QueryWL_CheckWZCStatus(AdapterContext& ctx) override;
    int SetWL_WZCStatus(AdapterContext& ctx, int status) override;
    int SetWL_QVUseQVXOidState(AdapterContext& ctx, int state) override;
    std::int32_t QueryWL_DriverVersion(AdapterContext& ctx) override;
    int ReadOid(AdapterContext& ctx, std::uint32_t oid, std::span<std::uint8_t> buffer) override;

    int QueryWL_LinkStatus(AdapterContext& ctx) override;
    int QueryWL_Channel(AdapterContext& ctx) override;
    int QueryWL_NetworkType(AdapterContext& ctx) override;
    int QueryWL_AuthenticationMode(AdapterContext& ctx) override;
    int QueryWL_WEPStatus(AdapterContext& ctx) override;
    int QueryWL_LinkSecurity(AdapterContext& ctx) override;
    int QueryWL_PSMode(AdapterContext& ctx) override;
    int QueryWL_WEPbit(AdapterContext& ctx) override;
    int QueryWL_CurrentLinkSpeed(AdapterContext& ctx) override;
    int QueryWL_CommQuality(AdapterContext& ctx) override;
    int QueryWL_RSSI(AdapterContext& ctx) override;
    int QueryWL_SSID(AdapterContext& ctx, std::span<char> ssid) override;
    int QueryWL_BSSID(AdapterContext& ctx, std::span<std::uint8_t> bssid) override;
    int GetNICAdapterMAC(AdapterContext& ctx, std::span<std::uint8_t> mac) override;
    int GetTxRxFrameCount(AdapterContext& ctx, std::span<std::uint32_t, 2> counts) override;
    int QueryWL_SupportChannel(AdapterContext& ctx, std::span<std::uint8_t> channels,
                               int& count) override;

    int WL_SiteSurveyStart(AdapterContext& ctx) override;
    int WL_SiteSurveyState(AdapterContext& ctx) override;
    int WL_RetrieveSiteSurveyData(AdapterContext& ctx, std::span<std::uint8_t> buffer) override;
    int WL_RetrieveStationList(AdapterContext& ctx, std::span<std::uint8_t> buffer) override;

    int SetWL_OperationMode_STA_AP(AdapterContext& ctx, int mode) override;
    int SetWL_SSID(AdapterContext& ctx, std::span<const char> ssid) override;
    int SetWL_NetworkType(AdapterContext& ctx, int type) override;
    int SetWL_PSMode(AdapterContext& ctx, int mode) override;
    int SetWL_PreambleMode(AdapterContext& ctx, int mode) override;
    int SetWL_AuthenticationMode(AdapterContext& ctx, int mode) override;
    int SetWL_WEPStatus(AdapterContext& ctx, int status) override;
    int SetWL_Channel(AdapterContext& ctx, int channel) override;
    int SetWL_WriteKey(AdapterContext& ctx, int keyIndex, int sizeCode, int setTransmit,
                       std::span<const std::uint8_t> key) override;
    int SetWL_DesiredRate(AdapterContext& ctx,
                          std::span<const std::uint8_t, kRateSetSize> rates) override;
    int SetWL_BasicRate(AdapterContext& ctx, int value) override;
    int SetWL_FragmentationThreshold(AdapterContext& ctx, int bytes) override;
    int SetWL_RTS_CTS_Threshold(AdapterContext& ctx, int bytes) override;
    int SetWL_MultiDomainCapability(AdapterContext& ctx, int value) override;
    int SetWL_WPA(AdapterContext& ctx, const WpaCredentials& credentials) override;

    int SetWLAP_TxPowerLevel(AdapterContext& ctx, int level) override;
    int SetWLAP_HideSSIDState(AdapterContext& ctx, int hide) override;
    int SetWLAP_FilterMode(AdapterContext& ctx, int mode) override;
    int SetWLAP_FilterList(AdapterContext& ctx, std::span<const std::uint8_t> block) override;

    // The system family with a wireless service (NetworkManager may run).
    static constexpr int kOsVersion = 7;
    // Instance name of an interface index: four decimal digits.
    static std::string InstanceOf(int interfaceIndex);
    // The kernel release ("6.1.0-13-amd64") packed as the driver version: up to four
    // numbers into bytes 3..0, the fourth read as hexadecimal digits.
    static std::int32_t PackRelease(std::string_view release);

private:
    // The open adapter's interface when ctx is the open context and the interface is
    // still there.
    bool Usable(const AdapterContext& ctx) const;
    // The daemon that holds the interface, or the one it is being moved to.
    DaemonMode Mode() const;
    // Hands changed settings to the library's thread.
    void Commit();
    // The snapshot was read after the daemon took the settings handed over last.
    bool Settled(const LinkSnapshot& s) const;
    // A setter's bookkeeping: checks ctx and the range, then marks the settings changed.
    int Set(const AdapterContext& ctx, bool valid, int& field, int value);

    LinuxWlanConfig m_config;
    Registry& m_registry;
    SysfsDevices m_sysfs;
    NetworkManagerService m_service;
    std::function<void(const std::string&)> m_log;
    std::set<std::string> m_published; // instances whose MatchingDeviceId we wrote
    std::filesystem::path m_ownApFile; // the access point's file we write; empty: the system's

    std::int32_t m_nextHandle = 1;
    std::int32_t m_openHandle = -1;
    std::string m_interface;
    AdapterSettings m_settings;
    bool m_changed = false;
    std::uint64_t m_committed = 0;          // the worker's version of the settings handed over last
    std::unique_ptr<DaemonWorker> m_worker; // while an adapter is open
};

} // namespace kesto::linuxwlan
