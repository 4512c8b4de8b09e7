// NetworkPick: the networks the profile wizard offers for its network name: a site
// survey run on request and the networks it found, in the order the survey lists them.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kesto {

struct PickableNetwork {
    std::string ssid; // the network name's bytes as broadcast (may be empty: hidden)
    int channel = 0;
    bool saeOnly = false; // offers SAE alone (WPA3-Personal)
};

class NetworkPick {
public:
    virtual ~NetworkPick() = default;

    // Starts a site survey for the page shown now (or joins the one under way); done runs
    // when its networks are in. Leaving the page drops it, and done never runs.
    virtual void Survey(std::function<void()> done) = 0;
    // The networks of the last survey; empty before the first.
    virtual std::vector<PickableNetwork> Networks() const = 0;
};

} // namespace kesto
