// The persisted records of the utility: one station profile, the access-point
// settings and the MAC filter list, with the defaults every fresh record starts from.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace kesto {

// Four WEP keys per record; a key index is 0..3, KeyInUse is index + 1.
inline constexpr int kWepKeyCount = 4;

// One station connection profile, fields in the stored record's declaration order.
struct ProfileRecord {
    std::string ProfileName = "Default"; // also the name of its key; not a value
    std::int32_t Channel = 6;            // 1..14, used for ad-hoc networks
    std::int32_t TxRate = 0;             // rate index: 0 automatic, 1 54 Mbps ... 12 1 Mbps
    std::int32_t NetworkType = 1;        // 0 ad hoc (IBSS), 1 infrastructure
    std::int32_t PSMode = 0;             // power saving: 0 off, 1 on
    std::int32_t Spare1 = 2305;          // memory only
    std::int32_t RTSCTSThreshold = 2305; // bytes
    std::int32_t Preamble = 2;           // 0 long, 1 short, 2 automatic (stored as "Pramble")
    std::int32_t DataEncryption = 0;     // WEP authentication choice (802.11 algorithm)
    std::int32_t AuthenticationMode = 0; // 0 none, 1 WEP, 2 WPA-PSK, 3 WPA-RADIUS, 4 RADIUS
    std::int32_t KeyLength = 0;          // 0 none, 1 64-bit, 2 128-bit, 3 256-bit
    std::int32_t KeyType = 1;
    std::int32_t WepSwitch = 5;    // memory only; non-zero switches WEP on with a key
    std::int32_t KeyInUse = 1;     // 1..4
    std::int32_t RadiusType = 0;   // 0 none, 1 EAP-TLS, 2 EAP-TTLS, 3 EAP-MD5, 4 EAP-PEAP, 5 LEAP
    std::int32_t Spare2 = 0;       // memory only
    std::int32_t WirelessMode = 0; // 0 mixed b/g, 1 g only, 2 b only
    std::int32_t ValServerCertificate = 1; // validate the server certificate: see ValidatesServer
    std::int32_t EncryptionType = 0;       // WPA cipher choice
    std::int32_t TTLSOrPeapSelection = 0;  // inner method choice
    std::int32_t KeyMode = 1;              // 0 keys generated from a pass phrase, 1 typed
    std::string Certificate;
    std::string Passphrase; // stored scrambled
    std::string SSID;       // empty = any network
    std::string NetWorkKey1;
    std::string NetWorkKey2;
    std::string NetWorkKey3;
    std::string NetWorkKey4;
    std::string LoginName;
    std::string Password; // stored scrambled
    std::string SecurityProfileName;
    // 802.1X: the name the server's certificate must carry while the server is validated
    // (the server itself or a domain above it). Not one of the layout's values: stored
    // under a name of our own, and only when set.
    std::string ServerName;
    // A pre-shared key network of this name was seen offering SAE alone (WPA3-Personal):
    // from then on it is offered SAE alone, so a WPA-PSK twin of it never gets a
    // handshake to attack the pass phrase with. 0 or 1; set, never cleared by a join. Not
    // one of the layout's values: stored under a name of our own, and only when set.
    std::int32_t SaeSeen = 0;

    // Whether the server's certificate is checked. Every nonzero value counts as on: the
    // stored default is 1, and a store that says 2 or -1 must not show the check on while
    // the join goes without it.
    bool ValidatesServer() const { return ValServerCertificate != 0; }

    // WEP key index 0..3 (NetWorkKey1 .. NetWorkKey4); std::out_of_range for any other
    // index, so a caller that did not check its index cannot write another field.
    std::string& WepKey(int index);
    const std::string& WepKey(int index) const;

    bool operator==(const ProfileRecord&) const = default;
};

inline const std::string& ProfileRecord::WepKey(int index) const
{
    const std::array keys{&NetWorkKey1, &NetWorkKey2, &NetWorkKey3, &NetWorkKey4};
    return *keys.at(static_cast<std::size_t>(index));
}

inline std::string& ProfileRecord::WepKey(int index)
{
    return const_cast<std::string&>(std::as_const(*this).WepKey(index));
}

// Access-point settings.
struct ApSettings {
    std::string SSID = "WLAN_AP";
    std::int32_t HideSSID = 0;
    std::int32_t Channel = 6;
    std::int32_t OutputPower = 0;
    std::int32_t WEP = 0;
    std::int32_t AuthenType = 0; // 0 open system, 1 shared key, 2 automatic
    std::int32_t KeyInUse = 1;
    std::int32_t KeyLength = 0;
    std::string NetworkKey1;
    std::string NetworkKey2;
    std::string NetworkKey3;
    std::string NetworkKey4;

    bool operator==(const ApSettings&) const = default;
};

inline constexpr int kFilterAddressCount = 16;

// MAC filter list of the access point.
struct FilterList {
    std::int32_t FilterType = 0; // 0 off, 1 admit listed only, 2 refuse listed
    std::array<std::string, kFilterAddressCount> FilterAddress; // "00:11:22:33:44:55" or ""

    bool operator==(const FilterList&) const = default;
};

} // namespace kesto
