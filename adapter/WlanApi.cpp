#include "adapter/WlanApi.h"

#include "platform/WlanArguments.h"

#include <cstring>

namespace kesto {

std::array<std::uint8_t, kRateSetSize> RateSetForIndex(int rateIndex)
{
    // Index 1..11 of the adapter settings page: 54 Mbit/s down to 2 Mbit/s.
    static constexpr std::uint8_t kSingle[] = {108, 96, 72, 48, 36, 24, 22, 18, 12, 11, 4};

    if (rateIndex == 0)
        return wlan_args::kAllRates;
    std::array<std::uint8_t, kRateSetSize> rates{};
    if (rateIndex >= 1 && rateIndex <= 11)
        rates[0] = kSingle[rateIndex - 1];
    else
        rates[0] = 2;
    return rates;
}

void WlanApi::ResetRequestState()
{
    m_ctx.requestState = 1;
    m_ctx.requestIndex = -1;
    m_ctx.requestFlags = 0;
}

int WlanApi::Open(const NicAdapterEntry& entry)
{
    std::memcpy(m_ctx.name, entry.name, sizeof m_ctx.name);
    std::memcpy(m_ctx.description, entry.description, sizeof m_ctx.description);
    std::memcpy(m_ctx.driverInstance, entry.driverInstance, sizeof m_ctx.driverInstance);
    m_ctx.handle = -1;
    ResetRequestState();
    return m_lib.QvOpenAdapter(m_ctx);
}

int WlanApi::Close()
{
    ResetRequestState();
    return m_lib.QvCloseAdapter(m_ctx);
}

int WlanApi::SetDesiredRate(int rateIndex)
{
    const auto rates = RateSetForIndex(rateIndex);
    return m_lib.SetWL_DesiredRate(m_ctx, rates);
}

} // namespace kesto
