#pragma once

#include "device/Records.h"

#include <clocale>
#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

namespace devicetest {

// A journal record from its fields; values are stored little-endian as the instrument sends them.
inline dax_namespace::JournalStruct Journal(std::initializer_list<uint8_t> stamp, uint16_t code, uint32_t oldValue,
                                            uint32_t newValue)
{
    dax_namespace::JournalStruct record;
    size_t i = 0;
    for (uint8_t b : stamp)
        record.bytes.at(i++) = b;
    record.WriteU16(dax_namespace::JournalStruct::kCode, code);
    record.WriteU32(dax_namespace::JournalStruct::kOldValue, oldValue);
    record.WriteU32(dax_namespace::JournalStruct::kNewValue, newValue);
    return record;
}

inline dax_namespace::JournalStruct FilledJournal(uint8_t value)
{
    dax_namespace::JournalStruct record;
    record.bytes.fill(value);
    return record;
}

// Runs each test under the C locale and under a Russian one, whose decimal separator is a
// comma: number and date texts must come out the same.
class UnderLocale : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        previous_ = std::setlocale(LC_ALL, nullptr);
        ASSERT_NE(std::setlocale(LC_ALL, GetParam()), nullptr) << GetParam() << " is not installed";
    }
    void TearDown() override { std::setlocale(LC_ALL, previous_.c_str()); }

private:
    std::string previous_;
};

inline std::string LocaleName(const testing::TestParamInfo<const char*>& info)
{
    return info.param[0] == 'C' ? "C" : "Russian";
}

#define DEVICE_INSTANTIATE_UNDER_LOCALES(Fixture)                                                          \
    INSTANTIATE_TEST_SUITE_P(Locales, Fixture, testing::Values("C", "ru_RU.UTF-8"), devicetest::LocaleName)

} // namespace devicetest
