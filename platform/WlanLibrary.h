// WlanLibrary port: the adapter library's calls, one method per call under the
// library's own name. The simulated adapter (drivers/qvwlan) implements it; the core
// reaches it only through the WlanApi facade (adapter/WlanApi.h).
//
// Conventions of every call:
// - Every call but CreateNICAdapterList, QueryWL_IsWindows95 and QV_GetOSVersion takes
//   the AdapterContext first. A context whose handle is -1 (not open), or an adapter
//   that has been unplugged, makes the call fail.
// - Failure is a result of -1 unless the method says otherwise. Setters return -1 when
//   the adapter refuses the value (closed, absent, out of range); otherwise 0 unless
//   documented.
// - Buffers are spans: the library never writes or reads past their end, and a span
//   shorter than the call needs makes the call fail without touching it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kesto {

// One record of the adapter list (525 bytes, no padding).
struct NicAdapterEntry {
    char name[260];         // adapter name, NUL-terminated
    char description[260];  // adapter description, NUL-terminated
    char driverInstance[5]; // sub-key name under the network-adapter class key:
                            // four characters and a NUL ("0007")
};
static_assert(sizeof(NicAdapterEntry) == 525);

// The context every adapter call takes first (544 bytes). Owned by the main window.
struct AdapterContext {
    std::int32_t handle = -1; // -1 = closed; QvOpenAdapter sets it
    char name[260] = {};
    char description[260] = {};
    char driverInstance[5] = {};
    // Request state: reset to 1, -1, 0 before each open and close and before a
    // sequence of set requests.
    std::int32_t requestState = 1;
    std::int32_t requestIndex = -1;
    std::int32_t requestFlags = 0;
};
static_assert(sizeof(AdapterContext) == 544);

// Object identifier of the statistics request: a 236-byte buffer whose first two
// 32-bit words are 236 and 9 on the way in; on success 20 32-bit counters follow from
// byte 8 on (counters 2+3, counting from 0, are transmitted bytes; 15+16 received).
inline constexpr std::uint32_t kOidStatistics = 0xFF129902;
inline constexpr std::size_t kStatisticsBufferSize = 236;
inline constexpr std::size_t kSiteSurveyBufferSize = 12004;
inline constexpr std::size_t kStationListSize = 112; // 16 FilterEntry records of 7 bytes
inline constexpr std::size_t kRateSetSize = 16;      // rates in 500 kbit/s units, rest 0

// WPA, WPA2 and 802.1X credentials, which the 802.11 calls below cannot carry. Numbers
// are the profile's own codes; texts are plain (the caller unscrambles stored ones and
// keeps them only in memory).
struct WpaCredentials {
    int authenticationMode = 2; // 2 WPA with a pre-shared key, 3 WPA with 802.1X, 4 802.1X
                                // without WPA (dynamic WEP keys)
    int cipher = 0;             // 0 TKIP, 1 AES (CCMP)
    std::string passphrase;     // mode 2: 8..63 printable ASCII characters
    int eapMethod = 1;          // modes 3, 4: 1 EAP-TLS, 2 EAP-TTLS, 3 EAP-MD5, 4 PEAP, 5 LEAP
    int innerMethod = 0;        // TTLS: 0 PAP, 1 CHAP, 2 MSCHAP, 3 MSCHAPv2 (4..6 refused);
                                // PEAP: 0 MD5, 1 token card (GTC), 2 MSCHAPv2
    std::string identity;       // 802.1X login name
    std::string password;
    std::string certificate; // EAP-TLS: the client certificate file (key inside)
    // EAP-TLS, TTLS and PEAP: check the server's certificate against the system's CAs
    // and against serverName. A certificate from any public authority proves only that
    // its holder owns some name, so without the name an evil twin of the network would
    // pass the check and receive the login.
    bool validateServer = true;
    // The name the server's certificate must carry (a DNS name of its own or its
    // subject's common name): serverName itself or a name below it, letter case
    // ignored ("corp.example" accepts "radius.corp.example"). Required while
    // validateServer is set for those methods; see ServerNameUsable.
    std::string serverName;
    // Mode 2: the network was once seen offering SAE alone (WPA3-Personal). It is then
    // offered SAE alone with protected management frames required, whatever a scan shows
    // now, so a WPA-PSK twin of it never gets a handshake to attack the pass phrase with.
    bool saeOnly = false;

    bool operator==(const WpaCredentials&) const = default;
};

// The security of the link, QueryWL_LinkSecurity's answer.
enum class LinkSecurity {
    Open = 0,     // no encryption
    Wep = 1,      // WEP with a key of the settings
    WpaPsk = 2,   // WPA (the first version) with a pre-shared key; also a pre-shared key
                  // whose version no link has decided yet
    Wpa2Psk = 3,  // WPA2 (RSN) with a pre-shared key
    Wpa3Sae = 4,  // WPA3-Personal: SAE
    WpaEap = 5,   // WPA or WPA2 with 802.1X
    Ieee8021x = 6 // 802.1X without WPA (dynamic WEP keys)
};

inline constexpr std::size_t kMinPassphraseLength = 8;
inline constexpr std::size_t kMaxPassphraseLength = 63;

// A WPA pass phrase: 8..63 printable ASCII characters (space included).
inline bool PassphraseUsable(std::string_view passphrase)
{
    if (passphrase.size() < kMinPassphraseLength || passphrase.size() > kMaxPassphraseLength)
        return false;
    for (const char ch : passphrase)
        if (ch < 32 || ch > 126)
            return false;
    return true;
}

// The longest DNS name.
inline constexpr std::size_t kMaxServerNameLength = 253;

// A server name the check can use: a DNS name of at most 253 characters made of
// letters, digits, '-' and '.', of at least two labels (a name checks the server and
// every name below it: "de" would accept a certificate for any German name), none of
// them empty, the last not all digits (no top-level domain is a number).
inline bool ServerNameUsable(std::string_view name)
{
    if (name.empty() || name.size() > kMaxServerNameLength || name.front() == '.' ||
        name.back() == '.' || name.find("..") != std::string_view::npos)
        return false;
    for (const char ch : name) {
        const bool letter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
        if (!letter && !(ch >= '0' && ch <= '9') && ch != '-' && ch != '.')
            return false;
    }
    const std::size_t lastDot = name.rfind('.');
    if (lastDot == std::string_view::npos)
        return false;
    return name.find_first_not_of("0123456789", lastDot + 1) != std::string_view::npos;
}

// The 802.1X methods that prove the server by its certificate: EAP-TLS, EAP-TTLS and
// PEAP. EAP-MD5 and LEAP have no server certificate to check.
inline bool EapMethodChecksServer(int eapMethod)
{
    return eapMethod == 1 || eapMethod == 2 || eapMethod == 4;
}

// The refusal rule of SetWL_WPA, the same for every library: the values a join can be
// attempted with at all.
inline bool WpaCredentialsUsable(const WpaCredentials& c)
{
    if (c.cipher < 0 || c.cipher > 1)
        return false;
    if (c.authenticationMode == 2)
        return PassphraseUsable(c.passphrase);
    if (c.authenticationMode != 3 && c.authenticationMode != 4)
        return false;
    if (c.validateServer && EapMethodChecksServer(c.eapMethod) && !ServerNameUsable(c.serverName))
        return false;
    switch (c.eapMethod) {
    case 1:
    case 5:
        return true;
    case 2:
        return c.innerMethod >= 0 && c.innerMethod <= 3;
    case 3:
        return c.authenticationMode == 4; // MD5 makes no keys for WPA
    case 4:
        return c.innerMethod >= 0 && c.innerMethod <= 2;
    default:
        return false;
    }
}

class WlanLibrary {
public:
    virtual ~WlanLibrary() = default;

    // --- system and adapter list (no context) ---
    // Fills up to list.size() entries (the caller passes 10) with the system's network
    // adapters; unused entries are zeroed. Returns the number of adapters filled.
    virtual int CreateNICAdapterList(std::span<NicAdapterEntry> list) = 0;
    // 1 when the system keeps adapters in the older (9x) registry layout, else 0.
    virtual int QueryWL_IsWindows95() = 0;
    // System version code; 7 is the version that has the system's wireless service.
    virtual int QV_GetOSVersion() = 0;

    // --- open and close ---
    // Opens the adapter named by the context (name/driverInstance copied from a list
    // entry). Nonzero on success, with ctx.handle set to a value other than -1; 0 when
    // no such adapter is present.
    virtual int QvOpenAdapter(AdapterContext& ctx) = 0;
    // Closes; sets ctx.handle to -1. Nonzero on success.
    virtual int QvCloseAdapter(AdapterContext& ctx) = 0;

    // --- system wireless service ---
    // 0 = the service does not control the adapter, 1 = it does, 2 = service present
    // but released; -1 on failure.
    virtual int QueryWL_CheckWZCStatus(AdapterContext& ctx) = 0;
    // 0 releases the adapter from the service.
    virtual int SetWL_WZCStatus(AdapterContext& ctx, int status) = 0;
    // 1 lets the library use its private requests, 0 forbids them.
    virtual int SetWL_QVUseQVXOidState(AdapterContext& ctx, int state) = 0;

    // Packed driver version: byte 3 major, byte 2 minor, byte 1 build (shown with two
    // digits), byte 0 (shown as two hexadecimal digits); -1 on failure.
    virtual std::int32_t QueryWL_DriverVersion(AdapterContext& ctx) = 0;

    // Generic request. For kOidStatistics: buffer of 236 bytes {236, 9, ...}; returns 0
    // on success with the 20 counters filled, -1 otherwise.
    virtual int ReadOid(AdapterContext& ctx, std::uint32_t oid, std::span<std::uint8_t> buffer) = 0;

    // --- station state ---
    // Link status: 3 or 4 = associated; 1, 2, 5, 6, 8, 9 = not associated (the
    // simulator documents its codes); -1 on failure. Every library reports 5 when the
    // network refused the station's key or security settings after a join was attempted
    // (a wrong WEP key or pass phrase, a refused login; the Linux library: our network
    // disabled for a while by wpa_supplicant after an authentication failure), so a
    // caller can tell a wrong key from a network that is merely slow or out of reach (1,
    // 2).
    virtual int QueryWL_LinkStatus(AdapterContext& ctx) = 0;
    // Current channel 1..14 (a radio with the 5 GHz band gives 36..177 while associated
    // there); -1 when the adapter is gone.
    virtual int QueryWL_Channel(AdapterContext& ctx) = 0;
    // 0 ad hoc (IBSS), 1 infrastructure.
    virtual int QueryWL_NetworkType(AdapterContext& ctx) = 0;
    // 802.11 authentication algorithm: 0 open system, 1 shared key, 2 automatic.
    virtual int QueryWL_AuthenticationMode(AdapterContext& ctx) = 0;
    // 0 = WEP enabled, 1 = disabled.
    virtual int QueryWL_WEPStatus(AdapterContext& ctx) = 0;
    // The security of the link (a LinkSecurity value): while associated, what the link
    // uses (which WPA version and key management the network and the station agreed on);
    // without a link, what the settings ask for (WEP by QueryWL_WEPStatus; a pre-shared
    // key as WpaPsk). In access-point mode, the access point's WEP or none. -1 on failure.
    virtual int QueryWL_LinkSecurity(AdapterContext& ctx) = 0;
    // Power saving: 0 off, 1 on.
    virtual int QueryWL_PSMode(AdapterContext& ctx) = 0;
    // WEP key size code of the key in use: 0 64-bit, 1 128-bit, 2 256-bit.
    virtual int QueryWL_WEPbit(AdapterContext& ctx) = 0;
    // Link rate in kbit/s (5500 for 5.5 Mbit/s); 0 when not associated.
    virtual int QueryWL_CurrentLinkSpeed(AdapterContext& ctx) = 0;
    // Raw communication quality; larger is worse.
    virtual int QueryWL_CommQuality(AdapterContext& ctx) = 0;
    // Received signal strength in dBm (negative).
    virtual int QueryWL_RSSI(AdapterContext& ctx) = 0;

    // Writes the network name (not NUL-terminated; at most 32 bytes) into ssid and
    // returns its length; 32 with an empty name means "any network". -1 on failure.
    // ssid must hold 32 bytes.
    virtual int QueryWL_SSID(AdapterContext& ctx, std::span<char> ssid) = 0;
    // 6 address bytes of the access point (or ad-hoc cell); 0 on success, -1 otherwise.
    virtual int QueryWL_BSSID(AdapterContext& ctx, std::span<std::uint8_t> bssid) = 0;
    // 6 bytes of the adapter's own MAC address; 0 on success.
    virtual int GetNICAdapterMAC(AdapterContext& ctx, std::span<std::uint8_t> mac) = 0;
    // counts[0] = transmitted frames, counts[1] = received frames; 0 on success.
    virtual int GetTxRxFrameCount(AdapterContext& ctx, std::span<std::uint32_t, 2> counts) = 0;
    // Channel numbers the adapter may use, one byte each, into channels; count set to
    // their number (11 in the 1..11 domain, 13 or 14 elsewhere). Returns count or -1.
    virtual int QueryWL_SupportChannel(AdapterContext& ctx, std::span<std::uint8_t> channels,
                                       int& count) = 0;

    // --- site survey and stations ---
    // Starts a scan; its results are ready for WL_RetrieveSiteSurveyData afterwards.
    virtual int WL_SiteSurveyStart(AdapterContext& ctx) = 0;
    // Whether the scan that WL_SiteSurveyStart began is done. 1 once its results are in
    // (WL_RetrieveSiteSurveyData then returns all of them, as many as the buffer holds;
    // stays 1 until the next start), 0 while the radio is still scanning, -1 when the
    // scan failed or none was started (the results of an earlier scan stay readable).
    // Prompt: never waits on the device. The caller polls it from a one-shot timer and
    // takes what there is after an upper bound of its own.
    virtual int WL_SiteSurveyState(AdapterContext& ctx) = 0;
    // Fills buffer (12004 bytes) with a 32-bit record count, then the BSSID list
    // records (see the simulator's README for the layout). 0 on success.
    virtual int WL_RetrieveSiteSurveyData(AdapterContext& ctx, std::span<std::uint8_t> buffer) = 0;
    // AP mode: fills the 112-byte block with 16 records of 7 bytes (flag 1 = station
    // present, then its 6 address bytes), unused records zero. 0 on success.
    virtual int WL_RetrieveStationList(AdapterContext& ctx, std::span<std::uint8_t> buffer) = 0;

    // --- setters ---
    // 0 station, 1 access point.
    virtual int SetWL_OperationMode_STA_AP(AdapterContext& ctx, int mode) = 0;
    // ssid: the name's bytes (not NUL-terminated), 0..32 of them; empty = any network:
    // joined with the WEP or open settings, in infrastructure mode. The core asks for
    // "any" only for a profile stored without a name (the store's "any network", the
    // first-run default profile among them), never for a network of the survey that hides
    // its name, and never with WPA (SetWL_WPA after an empty name is refused by the Linux
    // library). The Linux library refuses a name holding a zero byte (-1).
    virtual int SetWL_SSID(AdapterContext& ctx, std::span<const char> ssid) = 0;
    // Returns the type it set: 0 ad hoc (the caller then records the ad-hoc 802.11g
    // values), 1 infrastructure; -1 when refused.
    virtual int SetWL_NetworkType(AdapterContext& ctx, int type) = 0;
    virtual int SetWL_PSMode(AdapterContext& ctx, int mode) = 0;
    // 0 long, 1 short, 2 automatic, 3 the driver's own choice.
    virtual int SetWL_PreambleMode(AdapterContext& ctx, int mode) = 0;
    // 0 open system, 1 shared key, 2 automatic.
    virtual int SetWL_AuthenticationMode(AdapterContext& ctx, int mode) = 0;
    // 0 = WEP enabled, 1 = disabled.
    virtual int SetWL_WEPStatus(AdapterContext& ctx, int status) = 0;
    virtual int SetWL_Channel(AdapterContext& ctx, int channel) = 0;
    // keyIndex 0..3, sizeCode 0/1/2 (64/128/256-bit: 5/13/29 key bytes), setTransmit 1
    // makes it the key in use. key: the key bytes, possibly followed by zero bytes. -1
    // also when the adapter cannot carry a key of that size (the Linux library: size
    // code 2, which its daemons do not take).
    virtual int SetWL_WriteKey(AdapterContext& ctx, int keyIndex, int sizeCode, int setTransmit,
                               std::span<const std::uint8_t> key) = 0;
    // 16 bytes: rates in 500 kbit/s units, rest 0.
    virtual int SetWL_DesiredRate(AdapterContext& ctx,
                                  std::span<const std::uint8_t, kRateSetSize> rates) = 0;
    virtual int SetWL_BasicRate(AdapterContext& ctx, int value) = 0;
    virtual int SetWL_FragmentationThreshold(AdapterContext& ctx, int bytes) = 0;
    virtual int SetWL_RTS_CTS_Threshold(AdapterContext& ctx, int bytes) = 0;
    virtual int SetWL_MultiDomainCapability(AdapterContext& ctx, int value) = 0;
    // Joins the network named by SetWL_SSID (infrastructure only) with WPA or WPA2,
    // whichever it offers, or with 802.1X, using these credentials in place of the 802.11
    // authentication, WEP status and keys; SetWL_AuthenticationMode or SetWL_WEPStatus
    // go back to those. -1 when refused (closed adapter, a pass phrase that is not 8..63
    // printable ASCII characters, a mode or method out of range, a server to validate
    // without a usable server name: WpaCredentialsUsable; the Linux library also after
    // an empty name, which would hand the secret to any network); a wrong pass phrase or login,
    // or a server whose certificate names another server, is not refused here: the link
    // then stays down with link status 5.
    virtual int SetWL_WPA(AdapterContext& ctx, const WpaCredentials& credentials) = 0;

    // --- access-point mode ---
    virtual int SetWLAP_TxPowerLevel(AdapterContext& ctx, int level) = 0;
    virtual int SetWLAP_HideSSIDState(AdapterContext& ctx, int hide) = 0;
    // 0 filter off, 1 allow the listed addresses only, 2 deny the listed addresses.
    virtual int SetWLAP_FilterMode(AdapterContext& ctx, int mode) = 0;
    // 112 bytes: 16 FilterEntry records of 7 bytes (flag, 6 address bytes).
    virtual int SetWLAP_FilterList(AdapterContext& ctx, std::span<const std::uint8_t> block) = 0;
};

} // namespace kesto
