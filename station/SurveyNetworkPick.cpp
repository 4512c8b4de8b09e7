#include "station/SurveyNetworkPick.h"

#include "station/SurveyRecords.h"

namespace kesto {

void SurveyNetworkPick::Survey()
{
    m_survey.Scan();
}

std::vector<PickableNetwork> SurveyNetworkPick::Networks() const
{
    std::vector<PickableNetwork> networks;
    for (const SurveyEntry& entry : m_survey.shown())
        networks.push_back({entry.ssid, ChannelFromFrequency(entry.frequencyKhz)});
    return networks;
}

} // namespace kesto
