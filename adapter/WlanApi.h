// WlanApi: the program's view of the adapter library. It owns the AdapterContext and
// passes it first to every call, so callers write api.QueryWL_RSSI() and the context
// never leaks into page logic. Results and buffers are the library's (see
// platform/WlanLibrary.h for each call's contract).
#pragma once

#include "platform/WlanLibrary.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace kesto {

// The 16-byte rate set of a transmit-rate index: 0 gives all twelve 802.11b/g rates,
// 1..11 one rate each (54, 48, 36, 24, 18, 12, 11, 9, 6, 5.5 and 2 Mbit/s), any other
// index 1 Mbit/s. Rates are in 500 kbit/s units, unused bytes 0.
std::array<std::uint8_t, kRateSetSize> RateSetForIndex(int rateIndex);

class WlanApi {
public:
    explicit WlanApi(WlanLibrary& library) : m_lib(library) {}

    AdapterContext& context() { return m_ctx; }
    const AdapterContext& context() const { return m_ctx; }
    WlanLibrary& library() { return m_lib; }

    // Resets the request state (1, -1, 0), as before each open and close and before a
    // sequence of set requests.
    void ResetRequestState();
    // Copies name, description and instance from the entry into the context, resets
    // the handle to -1 and the request state, and opens. Nonzero on success.
    int Open(const NicAdapterEntry& entry);
    // Resets the request state and closes. Nonzero on success.
    int Close();
    bool IsOpen() const { return m_ctx.handle != -1; }

    // Builds the rate set of rateIndex and passes it to SetWL_DesiredRate.
    int SetDesiredRate(int rateIndex);

    int CreateNICAdapterList(std::span<NicAdapterEntry> list)
    {
        return m_lib.CreateNICAdapterList(list);
    }
    int QueryWL_IsWindows95() { return m_lib.QueryWL_IsWindows95(); }
    int QV_GetOSVersion() { return m_lib.QV_GetOSVersion(); }
    int QueryWL_CheckWZCStatus() { return m_lib.QueryWL_CheckWZCStatus(m_ctx); }
    int SetWL_WZCStatus(int status) { return m_lib.SetWL_WZCStatus(m_ctx, status); }
    int SetWL_QVUseQVXOidState(int state) { return m_lib.SetWL_QVUseQVXOidState(m_ctx, state); }
    std::int32_t QueryWL_DriverVersion() { return m_lib.QueryWL_DriverVersion(m_ctx); }
    int ReadOid(std::uint32_t oid, std::span<std::uint8_t> buffer)
    {
        return m_lib.ReadOid(m_ctx, oid, buffer);
    }
    int QueryWL_LinkStatus() { return m_lib.QueryWL_LinkStatus(m_ctx); }
    int QueryWL_Channel() { return m_lib.QueryWL_Channel(m_ctx); }
    int QueryWL_NetworkType() { return m_lib.QueryWL_NetworkType(m_ctx); }
    int QueryWL_AuthenticationMode() { return m_lib.QueryWL_AuthenticationMode(m_ctx); }
    int QueryWL_WEPStatus() { return m_lib.QueryWL_WEPStatus(m_ctx); }
    int QueryWL_LinkSecurity() { return m_lib.QueryWL_LinkSecurity(m_ctx); }
    int QueryWL_PSMode() { return m_lib.QueryWL_PSMode(m_ctx); }
    int QueryWL_WEPbit() { return m_lib.QueryWL_WEPbit(m_ctx); }
    int QueryWL_CurrentLinkSpeed() { return m_lib.QueryWL_CurrentLinkSpeed(m_ctx); }
    int QueryWL_CommQuality() { return m_lib.QueryWL_CommQuality(m_ctx); }
    int QueryWL_RSSI() { return m_lib.QueryWL_RSSI(m_ctx); }
    int QueryWL_SSID(std::span<char> ssid) { return m_lib.QueryWL_SSID(m_ctx, ssid); }
    int QueryWL_BSSID(std::span<std::uint8_t> bssid) { return m_lib.QueryWL_BSSID(m_ctx, bssid); }
    int GetNICAdapterMAC(std::span<std::uint8_t> mac) { return m_lib.GetNICAdapterMAC(m_ctx, mac); }
    int GetTxRxFrameCount(std::span<std::uint32_t, 2> counts)
    {
        return m_lib.GetTxRxFrameCount(m_ctx, counts);
    }
    int QueryWL_SupportChannel(std::span<std::uint8_t> channels, int& count)
    {
        return m_lib.QueryWL_SupportChannel(m_ctx, channels, count);
    }
    int WL_SiteSurveyStart() { return m_lib.WL_SiteSurveyStart(m_ctx); }
    int WL_SiteSurveyState() { return m_lib.WL_SiteSurveyState(m_ctx); }
    int WL_RetrieveSiteSurveyData(std::span<std::uint8_t> buffer)
    {
        return m_lib.WL_RetrieveSiteSurveyData(m_ctx, buffer);
    }
    int WL_RetrieveStationList(std::span<std::uint8_t> buffer)
    {
        return m_lib.WL_RetrieveStationList(m_ctx, buffer);
    }
    int SetWL_OperationMode_STA_AP(int mode)
    {
        return m_lib.SetWL_OperationMode_STA_AP(m_ctx, mode);
    }
    int SetWL_SSID(std::string_view ssid)
    {
        return m_lib.SetWL_SSID(m_ctx, std::span<const char>(ssid.data(), ssid.size()));
    }
    int SetWL_NetworkType(int type) { return m_lib.SetWL_NetworkType(m_ctx, type); }
    int SetWL_PSMode(int mode) { return m_lib.SetWL_PSMode(m_ctx, mode); }
    int SetWL_PreambleMode(int mode) { return m_lib.SetWL_PreambleMode(m_ctx, mode); }
    int SetWL_AuthenticationMode(int mode) { return m_lib.SetWL_AuthenticationMode(m_ctx, mode); }
    int SetWL_WEPStatus(int status) { return m_lib.SetWL_WEPStatus(m_ctx, status); }
    int SetWL_Channel(int channel) { return m_lib.SetWL_Channel(m_ctx, channel); }
    int SetWL_WriteKey(int keyIndex, int sizeCode, int setTransmit,
                       std::span<const std::uint8_t> key)
    {
        return m_lib.SetWL_WriteKey(m_ctx, keyIndex, sizeCode, setTransmit, key);
    }
    int SetWL_BasicRate(int value) { return m_lib.SetWL_BasicRate(m_ctx, value); }
    int SetWL_FragmentationThreshold(int bytes)
    {
        return m_lib.SetWL_FragmentationThreshold(m_ctx, bytes);
    }
    int SetWL_RTS_CTS_Threshold(int bytes) { return m_lib.SetWL_RTS_CTS_Threshold(m_ctx, bytes); }
    int SetWL_MultiDomainCapability(int value)
    {
        return m_lib.SetWL_MultiDomainCapability(m_ctx, value);
    }
    int SetWL_WPA(const WpaCredentials& credentials) { return m_lib.SetWL_WPA(m_ctx, credentials); }
    int SetWLAP_TxPowerLevel(int level) { return m_lib.SetWLAP_TxPowerLevel(m_ctx, level); }
    int SetWLAP_HideSSIDState(int hide) { return m_lib.SetWLAP_HideSSIDState(m_ctx, hide); }
    int SetWLAP_FilterMode(int mode) { return m_lib.SetWLAP_FilterMode(m_ctx, mode); }
    int SetWLAP_FilterList(std::span<const std::uint8_t> block)
    {
        return m_lib.SetWLAP_FilterList(m_ctx, block);
    }

private:
    WlanLibrary& m_lib;
    AdapterContext m_ctx;
};

} // namespace kesto
