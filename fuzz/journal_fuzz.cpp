// The two journal decoders on any 16-byte record with any unit and time-format settings.
// Input: heat unit, pressure unit, time format, then the record (missing bytes read as 0).

#include "FuzzTarget.h"

#include "device/Daxcore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    daxfuzz::InputReader input(data, size);
    const uint8_t heatUnit = input.Byte();
    const uint8_t pressureUnit = input.Byte();
    const uint8_t timeFormat = input.Byte();
    dax_namespace::JournalStruct record;
    record.bytes.fill(0);
    const auto bytes = input.Take(record.bytes.size());
    std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
    return daxfuzz::RunDecoder([&] {
        std::vector<dax_namespace::NotStaffDecodedStruct> rows(1);
        const bool shown = DecodeNotStaffJournalRecord(rows, record);
        daxfuzz::Require(shown || rows.size() == 1, "a page marker adds no rows");
        daxfuzz::Require(rows.size() <= 1 + 15, "at most one row per flag of a group");
        for (size_t i = 1; i < rows.size(); ++i) {
            const auto& row = rows[i];
            daxfuzz::Require(daxfuzz::IsUtf8(row.TimeText) && daxfuzz::IsUtf8(row.Source) &&
                                 daxfuzz::IsUtf8(row.Item) && daxfuzz::IsUtf8(row.State),
                             "journal texts are UTF-8");
        }

        dax_namespace::JournalDecodeStruct result;
        result.Parameter = "stale";
        result.Time = 12345.0;
        DecodeOperatorJournalRecord(result, record, heatUnit, pressureUnit, timeFormat);
        daxfuzz::Require(daxfuzz::IsUtf8(result.TimeText) && daxfuzz::IsUtf8(result.Parameter) &&
                             daxfuzz::IsUtf8(result.OldText) && daxfuzz::IsUtf8(result.NewText),
                         "journal texts are UTF-8");
        daxfuzz::Require(result.Parameter != "stale" && result.Time != 12345.0, "every field is rewritten");
    });
}
