// SimulatedWlanLibrary: the WlanLibrary port over a simulated adapter and radio
// environment described by a scenario file (README.md gives the format). It behaves
// like the hardware rather than echoing: association depends on the name, type, WEP
// state, keys, rates, preamble and power saving it was given; counters grow with
// simulated traffic; the access point admits stations by its MAC filter and WEP key. It
// also plays the operating system's part of writing each plugged-in adapter's
// MatchingDeviceId into the registry. Every call is recorded in a call log.
//
// Time is the Clock's tick count, so the whole simulation is deterministic under a fake
// clock and a fixed seed. The scenario file is re-read when it changes.
#pragma once

#include "drivers/qvwlan/AdapterSettings.h"
#include "drivers/qvwlan/CallLog.h"
#include "drivers/qvwlan/DeviceIdPublisher.h"
#include "drivers/qvwlan/Noise.h"
#include "drivers/qvwlan/RadioEnvironment.h"
#include "drivers/qvwlan/ScenarioFile.h"
#include "drivers/qvwlan/SimulatedAdapter.h"
#include "platform/Clock.h"
#include "platform/Registry.h"
#include "platform/WlanLibrary.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kesto {

class SimulatedWlanLibrary final : public WlanLibrary {
public:
    using Call = qvwlan::Call;

    // Reads the scenario and publishes the plugged-in adapters' MatchingDeviceId values.
    // Throws std::runtime_error naming the file when the scenario file is missing,
    // unreadable or broken. The registry and the clock must outlive the library.
    SimulatedWlanLibrary(std::filesystem::path scenarioFile, Registry& registry, Clock& clock,
                         std::uint64_t seed = 1);

    int CreateNICAdapterList(std::span<NicAdapterEntry> list) override;
    int QueryWL_IsWindows95() override;
    int QV_GetOSVersion() override;
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

    // --- for tests and diagnostics (none of these is recorded in the call log) ---
    const std::vector<Call>& calls() const { return m_log.calls(); }
    void clearCalls() { m_log.clear(); }
    // Sees every call as it is recorded (see CallLog::setObserver).
    void setCallObserver(qvwlan::CallLog::Observer observer)
    {
        m_log.setObserver(std::move(observer));
    }
    // "<file>: <problem>" when the scenario file's latest version could not be used (the
    // last good scenario is then in force); empty otherwise.
    const std::string& lastError() const { return m_file.lastError(); }
    // Reads the scenario file now, also when its time stamps and size look unchanged.
    void reloadScenario();
    const qvwlan::Scenario& scenario() const { return m_env.scenario(); }
    // What the plugged-in adapter with this driver instance holds; nullptr when it is not
    // plugged in.
    const qvwlan::AdapterSettings* adapterSettings(std::string_view driverInstance) const;
    // The address of the network or cell the adapter is associated with now (station
    // mode); nullopt while no link is up or the adapter is not plugged in.
    std::optional<qvwlan::MacAddress> associatedBssid(std::string_view driverInstance);

private:
    std::uint32_t now() { return m_clock.TickCount(); }
    // Takes a changed scenario file into force.
    void sync();
    void apply(qvwlan::Scenario scenario);
    qvwlan::Standard ownCellStandard(const qvwlan::SimulatedAdapter& adapter);
    void advance(qvwlan::SimulatedAdapter& adapter, std::uint32_t tick);
    // The adapter the context's handle names, brought up to now; nullptr when the context
    // is closed, the handle unknown or the adapter unplugged.
    qvwlan::SimulatedAdapter* adapterFor(const AdapterContext& ctx);
    // A setter: runs change on the adapter's settings when the adapter is there and valid
    // is true; relinks when asked. Returns result, or -1 when refused.
    template <typename Change>
    int set(std::string_view name, const AdapterContext& ctx, std::vector<std::string> args,
            bool valid, bool relinks, int result, Change change);
    template <typename Read> int query(std::string_view name, const AdapterContext& ctx, Read read);

    Registry& m_registry;
    Clock& m_clock;
    qvwlan::Noise m_noise;
    qvwlan::ScenarioFile m_file;
    qvwlan::RadioEnvironment m_env;
    qvwlan::DeviceIdPublisher m_publisher;
    qvwlan::CallLog m_log;
    std::map<std::string, qvwlan::SimulatedAdapter, std::less<>> m_adapters; // plugged in
    std::map<std::int32_t, std::string> m_handles; // open handle -> driver instance
    std::int32_t m_nextHandle = 1;
};

} // namespace kesto
