#pragma once

#include <cstdint>
#include <vector>

#include "CDeviceTable.h"

// The process-wide device list as the program's readers see it: a copy.
inline std::vector<int32_t> DeviceListCopy() {
    LList copy;
    CDeviceTable::CopyDeviceList(copy);
    std::vector<int32_t> values;
    for (LPosition p = copy.GetHeadPosition(); p != nullptr;) {
        values.push_back(copy.GetNext(p));
    }
    return values;
}
