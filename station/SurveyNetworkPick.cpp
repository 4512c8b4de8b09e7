#include "station/SurveyNetworkPick.h"

#include "station/SurveyRecords.h"

namespace kesto {

void SurveyNetworkPick::Survey(std::function<void()> done)
{
    m_survey.Scan(std::move(done));
}

std::vector<PickableNetwork> SurveyNetworkPick::Networks() const
{
    std::vector<PickableNetwork> networks;
    for (const SurveyEntry& entry : m_survey.shown())
        networks.push_back({entry.ssid, ChannelFromFrequency(entry.frequencyKhz),
                            entry.encryption == SurveyEncryption::WpaSae});
    return networks;
}

} // namespace kesto
