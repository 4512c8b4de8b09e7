// QVWlan.INI: the reader never fails and never reads past its limits; whatever it
// takes, the calibration ranges it leaves are usable.
#include "adapter/AdapterDiscovery.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    kesto::AdapterCalibration calibration;
    std::vector<std::string> deviceIds;
    kesto::ParseAdapterIni(in, calibration, deviceIds);
    kesto::KeepRangesPositive(calibration);
    if (deviceIds.size() > kesto::kMaxDeviceIds)
        std::abort();
    return 0;
}
