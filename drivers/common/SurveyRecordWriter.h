// SurveyRecordWriter: the survey buffer that WL_RetrieveSiteSurveyData fills, written
// the same way by every adapter library (platform/SurveyRecordLayout.h is the layout):
// a 32-bit record count, then one variable-length record per network, as many as fit
// whole. Each library says what it knows of a network in a survey_record::Network;
// the bytes of the record and its information elements are decided here alone.
#pragma once

#include "platform/SurveyRecordLayout.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kesto::survey_record {

// One network as a record shows it. The defaults are a network that says no more of
// itself than its name, address, security, signal and channel.
struct Network {
    std::array<std::uint8_t, 6> bssid{};
    std::string_view ssid; // at most 32 bytes; empty for a network that hides its name
    bool adHoc = false;
    bool privacy = false;                         // WEP or WPA required
    std::optional<std::uint8_t> wpaKeyManagement; // WPA: the WPA element ends the elements
    std::int32_t rssi = 0;                        // dBm
    std::uint32_t networkTypeInUse = kTypeOfdm24;
    std::uint16_t beaconInterval = 100;
    std::uint16_t atimWindow = 0;
    bool ibssParameterSet = false; // the ATIM window among the elements too
    int channel = 0;
    std::uint32_t frequencyKhz = 0;
    bool ofdmRates = true; // the 802.11g rates: supported and as the extended rates element
    bool shortPreamble = false;
    bool shortSlot = false;
    std::uint64_t timestampUs = 0; // of the fixed elements
};

// The information elements of one network: 12 fixed bytes (time stamp, beacon interval,
// capabilities), the name, four supported rates, the DS parameter set; then for WPA
// networks the WPA element, whose last byte names the key management; for others the
// IBSS parameter set where asked and the extended rates of 802.11g.
std::vector<std::uint8_t> InformationElements(const Network& network);

// Writes the count and the networks' records in order, as many as fit whole; returns
// the count written. A buffer shorter than 4 bytes is left untouched and 0 returned.
std::uint32_t WriteRecords(std::span<std::uint8_t> buffer, std::span<const Network> networks);

} // namespace kesto::survey_record
