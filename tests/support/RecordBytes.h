#pragma once

#include <cstdint>
#include <vector>

namespace testsupport {

// The bytes of each record of a list or vector of instrument records, in order.
template <typename Records>
std::vector<std::vector<uint8_t>> RecordBytes(const Records& records)
{
    std::vector<std::vector<uint8_t>> out;
    for (const auto& record : records)
        out.emplace_back(record.bytes.begin(), record.bytes.end());
    return out;
}

} // namespace testsupport
