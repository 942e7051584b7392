#pragma once

#include "device/Daxhelper.h"

#include <cstdint>

namespace testsupport {

inline void SetHoldingRegister(DaxHelper& helper, uint32_t reg, uint16_t value)
{
    helper.HoldingRegisterImage.at(2 * (reg - 40001)) = static_cast<uint8_t>(value >> 8);
    helper.HoldingRegisterImage.at(2 * (reg - 40001) + 1) = static_cast<uint8_t>(value);
}

inline void SetInputRegister(DaxHelper& helper, uint32_t reg, uint16_t value)
{
    helper.InputRegisterImage.at(2 * (reg - 30001)) = static_cast<uint8_t>(value >> 8);
    helper.InputRegisterImage.at(2 * (reg - 30001) + 1) = static_cast<uint8_t>(value);
}

// Replaces the helper's state with a small instrument whose tables have known texts: heat
// system 1 on scheme "1.1" (t1, t2, P1, P2, V1, M1), nothing else configured, energies in GJ;
// two hour records of 5 March 2021, hours 0 and 1 (Q1 1.25, t1 -15.25, 60 minutes counted),
// the second with byte 100 altered after its check word was stored; a total day record of
// 31 October 2024 (70000 minutes on); an abnormal-situation record of 5 March 2024 14:07:09
// that sets two flags, and an empty operator record.
inline void PutCraftedArchives(DaxHelper& helper)
{
    using dax_namespace::ArchiveStruct;
    using dax_namespace::JournalStruct;
    using dax_namespace::TotalArchiveStruct;
    DaxHelperLocker locker(&helper);
    helper.Reset();
    SetHoldingRegister(helper, 40079, 0x11);
    for (uint32_t reg : {40080u, 40081u, 40130u, 40131u})
        SetHoldingRegister(helper, reg, 5);
    SetHoldingRegister(helper, 40180, 1);
    for (uint8_t hour : {0, 1}) {
        ArchiveStruct record;
        record.bytes[0] = 0x15;
        record.bytes[1] = 0x03;
        record.bytes[2] = 0x05;
        record.bytes[3] = hour;
        record.WriteF32(130, 1.25f);
        record.WriteI16(52, -1525);
        record.WriteU16(166, 60);
        record.StoreCheckWord();
        helper.HourArchive.push_back(record);
    }
    helper.HourArchive[1].bytes[100] ^= 1;
    TotalArchiveStruct total;
    total.bytes[0] = 0x18;
    total.bytes[1] = 0x0A;
    total.bytes[2] = 0x1F;
    total.WriteU32(52, 70000);
    total.StoreCheckWord();
    helper.TotalDayArchive.push_back(total);
    JournalStruct flags;
    flags.bytes = {24, 3, 5, 14, 7, 9};
    flags.WriteU16(JournalStruct::kCode, 6);
    flags.WriteU32(JournalStruct::kNewValue, 0x1001);
    helper.NotStaffJournal.push_back(flags);
    JournalStruct empty;
    empty.bytes.fill(0xFF);
    helper.OperatorJournal.push_back(empty);
}

} // namespace testsupport
