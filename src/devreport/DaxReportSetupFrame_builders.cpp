// The two table data sets: the period's abnormal-situation code list and the journal rows.

#include "DaxReportSetupFrame.h"
#include "Texts.h"

#include "device/Daxcore.h"
#include "report/model/rpDrawText.h"

#include <span>

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QString Text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

// One group of the code list: its text, the word whose set bits it lists, and per bit the
// device's name and the report's description.
struct NotStaffGroupRows {
    const char* Group;
    uint32_t Word;
    std::span<const char* const> Names;
    std::span<const char* const> Descriptions;
};

void AddGroupRows(TSimpleBase& table, const NotStaffGroupRows& group)
{
    for (size_t bit = 0; bit < group.Names.size(); ++bit) {
        if ((group.Word >> bit & 1u) == 0)
            continue;
        const QString code = QString(QChar::fromLatin1(kFlagLabels[bit]));
        table.AddRecord({Text(group.Group), code + Text(devreport::kCodeNameSeparator) + Text(group.Names[bit]),
                         Text(group.Descriptions[bit])});
    }
}

bool DayColumnShown(const TReportData& data, const std::string& name)
{
    return data.ArchiveColumns[ReportDataSetTag::Day].FindByName(name) != nullptr;
}

} // namespace

void BuildNotStaffDataSet(TReportData& data)
{
    TSimpleBase& table = data.NotStaffDataSet->Table;
    table.Clear();
    table.AddField(Text(devreport::kGroupField), 200, haCenter);
    table.AddField(Text(devreport::kNotStaffField), 200, haLeft);
    table.AddField(Text(devreport::kDescriptionField), 500, haLeft);

    // Only the channels whose column the day table shows.
    uint32_t channels = 0;
    for (size_t channel = 1; channel <= data.ChanelNotStaff.size(); ++channel)
        if (DayColumnShown(data, "chanelNS" + std::to_string(channel)))
            channels |= data.ChanelNotStaff[channel - 1];

    if (DayColumnShown(data, "hardwareNotStaff"))
        AddGroupRows(table, {devreport::kHardwareGroupText, data.HardwareNotStaff, HardwareFlagNames,
                             devreport::kHardwareDescriptions});
    if (DayColumnShown(data, "modeFlags"))
        AddGroupRows(table, {devreport::kModeFlagsGroupText, data.ModeFlags, ModeFlagNames,
                             devreport::kModeFlagDescriptions});
    AddGroupRows(table, {devreport::kChannelGroupText, channels, ChannelFlagNames, devreport::kChannelDescriptions});
    if (DayColumnShown(data, "NS_TS1"))
        AddGroupRows(table, {devreport::kHeatSystem1GroupText, data.HeatSystem1NotStaff, HeatSystem1FlagNames,
                             devreport::kHeatSystem1Descriptions});
    if (DayColumnShown(data, "NS_TS2"))
        AddGroupRows(table, {devreport::kHeatSystem2GroupText, data.HeatSystem2NotStaff, HeatSystem2FlagNames,
                             devreport::kHeatSystem2Descriptions});
}

void BuildNotStaffJournalDataSet(TReportData& data, const std::vector<dax_namespace::JournalStruct>& records)
{
    TSimpleBase& table = data.InfoDataSet->Table;
    table.Clear();
    table.AddField(Text(devreport::kDateTimeField), 135, haCenter);
    table.AddField(Text(devreport::kJournalNotStaffField), 100, haCenter);
    table.AddField(Text(devreport::kJournalCodeField), 300, haLeft);
    table.AddField(Text(devreport::kSetClearedField), 150, haCenter);
    for (const dax_namespace::JournalStruct& record : records) {
        // The decoder appends: a fresh list per record.
        std::vector<dax_namespace::NotStaffDecodedStruct> rows;
        DecodeNotStaffJournalRecord(rows, record);
        for (const dax_namespace::NotStaffDecodedStruct& row : rows)
            table.AddRecord({Text(row.TimeText), Text(row.Source), Text(row.Item), Text(row.State)});
    }
}

void BuildOperatorJournalDataSet(TReportData& data, const std::vector<dax_namespace::JournalStruct>& records,
                                 uint8_t heatUnit, uint8_t pressureUnit, uint8_t timeFormat)
{
    TSimpleBase& table = data.InfoDataSet->Table;
    table.Clear();
    table.AddField(Text(devreport::kDateTimeField), 135, haCenter);
    table.AddField(Text(devreport::kParameterField), 250, haCenter);
    table.AddField(Text(devreport::kOldValueField), 150, haCenter);
    table.AddField(Text(devreport::kNewValueField), 150, haCenter);
    for (const dax_namespace::JournalStruct& record : records) {
        dax_namespace::JournalDecodeStruct row;
        DecodeOperatorJournalRecord(row, record, heatUnit, pressureUnit, timeFormat);
        table.AddRecord({Text(row.TimeText), Text(row.Parameter), Text(row.OldText), Text(row.NewText)});
    }
}
