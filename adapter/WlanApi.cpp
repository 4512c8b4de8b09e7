#include "adapter/WlanApi.h"

#include "platform/WlanArguments.h"

#include <cstring>

namespace kesto {

std::array<std::uint8_t, kRateSetSize> RateSetForIndex(int rateIndex)
{
    using wlan_args::kRates;
    if (rateIndex == 0)
        return wlan_args::kAllRates;
    // Index 1..11 of the adapter settings page: one rate, 54 Mbit/s down to 2 Mbit/s;
    // any other index 1 Mbit/s.
    const bool single = rateIndex >= 1 && rateIndex <= 11;
    std::array<std::uint8_t, kRateSetSize> rates{};
    rates[0] = kRates[single ? kRates.size() - static_cast<std::size_t>(rateIndex) : 0];
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
