// NetworkPick: the networks the profile wizard offers for its network name: a site
// survey run on request and the networks it found, in the order the survey lists them.
#pragma once

#include <string>
#include <vector>

namespace kesto {

struct PickableNetwork {
    std::string ssid; // the network name's bytes as broadcast (may be empty: hidden)
    int channel = 0;
};

class NetworkPick {
public:
    virtual ~NetworkPick() = default;

    // Runs a new site survey; blocks for the survey's wait.
    virtual void Survey() = 0;
    // The networks of the last survey; empty before the first.
    virtual std::vector<PickableNetwork> Networks() const = 0;
};

} // namespace kesto
