// SurveyNetworkPick: the wizard's network pick over the site survey page's own scan,
// so the wizard and the survey page list the networks of the same last survey.
#pragma once

#include "station/NetworkPick.h"
#include "station/SurveyPage.h"

namespace kesto {

class SurveyNetworkPick : public NetworkPick {
public:
    explicit SurveyNetworkPick(SurveyPage& survey) : m_survey(survey) {}

    void Survey(std::function<void()> done) override;
    std::vector<PickableNetwork> Networks() const override;

private:
    SurveyPage& m_survey;
};

} // namespace kesto
