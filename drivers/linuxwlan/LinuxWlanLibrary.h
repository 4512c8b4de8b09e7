// LinuxWlanLibrary: the WlanLibrary port over a real Linux wireless interface. Station
// mode goes through wpa_supplicant's control socket, access-point mode through
// hostapd's; devices, identifiers and counters come from sysfs. Like the operating
// system of the original platform, it writes each listed interface's MatchingDeviceId
// under its driver key. README.md maps every call and names what is kept between calls.
#pragma once

#include "drivers/linuxwlan/ControlClient.h"
#include "drivers/linuxwlan/LinuxWlanConfig.h"
#include "drivers/linuxwlan/NetworkManagerService.h"
#include "drivers/linuxwlan/SysfsDevices.h"
#include "platform/Registry.h"
#include "platform/WlanLibrary.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kesto::linuxwlan {

class LinuxWlanLibrary final : public WlanLibrary {
public:
    LinuxWlanLibrary(LinuxWlanConfig config, Registry& registry);

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
    enum class Mode { Station, AccessPoint };

    // What the adapter was told; pushed to the daemon of the current mode when changed.
    struct Settings {
        std::string ssid;
        int networkType = 1;
        int authentication = 0;
        int wepStatus = 1; // 1 = off
        std::array<std::vector<std::uint8_t>, 4> keys;
        int transmitKey = -1;
        int transmitKeySize = 0;
        int channel = 6;
        int powerSaving = 0;
        int preamble = 2;
        int basicRate = 0;
        int fragmentation = 2346;
        int rtsThreshold = 2347;
        int multiDomain = 0;
        int bestRateKbps = 54000;          // of the rate set; what the access point offers
        std::optional<WpaCredentials> wpa; // in place of authentication, WEP and keys
        int txPower = 0;
        int hideSsid = 0;
        int filterMode = 0;
        std::array<std::uint8_t, kStationListSize> filter{};
    };

    // The open adapter's interface when ctx is the open context and the interface is
    // still there.
    bool Usable(const AdapterContext& ctx) const;
    std::string WpaSocket() const { return m_config.wpaSupplicantDir + "/" + m_interface; }
    std::string HostapdSocket() const { return m_config.hostapdDir + "/" + m_interface; }
    ControlReply Wpa(const std::string& command) const;
    ControlReply Hostapd(const std::string& command) const;
    bool WpaOk(const std::string& command) const;
    bool HostapdOk(const std::string& command) const;

    // Pushes changed settings to the daemon of the current mode; false when it refused.
    bool Sync();
    bool PushStation();
    // The SET_NETWORK fields of a WPA or 802.1X join.
    static std::vector<std::string> WpaFields(const WpaCredentials& c);
    bool PushAccessPoint();
    bool PushFilter();
    std::string AddToHostapd() const;
    bool MoveToAccessPoint();
    bool MoveToStation();
    // A setter's bookkeeping: checks ctx and the range, then marks the settings changed.
    int Set(const AdapterContext& ctx, bool valid, int& field, int value);

    struct StationState {
        bool completed = false;
        bool adHoc = false;
        std::map<std::string, std::string> values;
    };
    std::optional<StationState> ReadStation();
    std::optional<std::map<std::string, std::string>> Signal();

    LinuxWlanConfig m_config;
    Registry& m_registry;
    SysfsDevices m_sysfs;
    ControlClient m_client;
    NetworkManagerService m_service;
    std::set<std::string> m_published; // instances whose MatchingDeviceId we wrote

    std::int32_t m_nextHandle = 1;
    std::int32_t m_openHandle = -1;
    std::string m_interface;
    Mode m_mode = Mode::Station;
    Settings m_settings;
    bool m_changed = false;
    bool m_filterChanged = false;
    bool m_apWepPushed = false;
    int m_networkId = -1; // the network we added to wpa_supplicant
    std::vector<int> m_channels;
    std::optional<std::chrono::steady_clock::time_point> m_scanStarted; // the last SCAN taken
};

} // namespace kesto::linuxwlan
