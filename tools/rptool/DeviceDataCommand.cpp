#include "DeviceDataCommand.h"

#include "devreport/DaxReportSetupFrame.h"
#include "device/Daxhelper.h"
#include "platform/DateTime.h"
#include "presentation/ArchiveSchemas.h"
#include "presentation/DisplayOptions.h"
#include "report/core/Services.h"

#include <QRegularExpression>

#include <cstdio>
#include <optional>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitNoData = 2;

void Print(FILE* stream, const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stream);
}

// Message boxes of the selection go to stderr.
class StderrUi : public IUiService {
public:
    StderrUi() { ReportServices::SetUi(this); }
    ~StderrUi() override { ReportServices::SetUi(nullptr); }
    void ShowMessage(const QString& text) override { Print(stderr, text); }
    int MessageDlg(const QString&, const QString& text, UiMessageType, uint32_t) override
    {
        Print(stderr, text);
        return mrOk;
    }
};

// A date written YYYY-MM-DD; none when it is not a calendar date.
std::optional<double> ParseDate(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    double value = 0;
    if (!match.hasMatch() ||
        !TryEncodeDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(), value))
        return std::nullopt;
    return value;
}

struct Options {
    QString File;
    ReportSetupStruct Setup;
};

std::optional<Options> ParseOptions(const QStringList& arguments)
{
    Options options;
    bool haveType = false;
    std::optional<double> from;
    std::optional<double> to;
    ReportSetupStruct& setup = options.Setup;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == u"--type" && hasValue) {
            bool ok = false;
            setup.ReportType = arguments[++i].toInt(&ok);
            if (!ok || setup.ReportType < 0 || setup.ReportType > 2)
                return std::nullopt;
            haveType = true;
        } else if (argument == u"--system" && hasValue) {
            bool ok = false;
            setup.ReportData = arguments[++i].toInt(&ok);
            if (!ok || setup.ReportData < 0 || setup.ReportData > 3)
                return std::nullopt;
        } else if (argument == u"--from" && hasValue) {
            from = ParseDate(arguments[++i]);
            if (!from)
                return std::nullopt;
        } else if (argument == u"--to" && hasValue) {
            to = ParseDate(arguments[++i]);
            if (!to)
                return std::nullopt;
        } else if (argument == u"--channels" && hasValue) {
            const QString channels = arguments[++i];
            for (const QChar c : channels)
                if (!QStringLiteral("MVP").contains(c))
                    return std::nullopt;
            setup.ChanelMShow = channels.contains(u'M');
            setup.ChanelVShow = channels.contains(u'V');
            setup.ChanelPShow = channels.contains(u'P');
        } else if (argument == u"--totals") {
            setup.TotalValuesShow = true;
        } else if (argument == u"--hours") {
            setup.HourArchiveShow = true;
        } else if (argument == u"--codes") {
            setup.NotStaffInfoShow = true;
        } else if (argument == u"--hardware") {
            setup.HardwareNSShow = true;
        } else if (argument == u"--modes") {
            setup.ModeFlagsShow = true;
        } else if (!argument.startsWith(u"--") && options.File.isEmpty()) {
            options.File = argument;
        } else {
            return std::nullopt;
        }
    }
    if (options.File.isEmpty() || !haveType || !from || !to)
        return std::nullopt;
    setup.BeginPeriod = *from;
    setup.EndPeriod = *to;
    return options;
}

// The data set walked as the engine walks it: first, the end test, a value per field, next.
void Walk(TrpDataSet& dataSet, const QStringList& captions, const QStringList& fields)
{
    Print(stdout, QStringLiteral("== ") + dataSet.UserName());
    Print(stdout, captions.join(u'\t'));
    dataSet.First();
    while (!dataSet.Eof()) {
        QStringList values;
        for (const QString& field : fields)
            values << dataSet.GetValue(field).ToString();
        Print(stdout, values.join(u'\t'));
        dataSet.Next();
    }
}

void WalkArchive(TReportData& data, int32_t tag)
{
    QStringList captions;
    QStringList fields;
    const ArchiveTableExchangeContainer& columns = data.ArchiveColumns[static_cast<size_t>(tag)];
    for (size_t i = 0; i < columns.Count(); ++i) {
        captions << QString::fromStdString(columns.Item(i)->GetCaption());
        fields << QString::fromStdString(columns.Item(i)->GetName());
    }
    Walk(*data.ArchiveDataSets[static_cast<size_t>(tag)], captions, fields);
}

void WalkTable(TrpSimpleBaseDataSet& dataSet)
{
    QStringList fields;
    for (int32_t i = 0; i < dataSet.Table.FieldCount(); ++i)
        fields << dataSet.Table.FieldName(i);
    Walk(dataSet, fields, fields);
}

} // namespace

int RunDeviceData(const QStringList& arguments)
{
    const std::optional<Options> options = ParseOptions(arguments);
    if (!options) {
        Print(stderr, QStringLiteral("usage: rptool device-data FILE --type 0|1|2 [--system 0..3] --from YYYY-MM-DD "
                                     "--to YYYY-MM-DD [--totals] [--hours] [--codes] [--channels MVP] [--hardware] "
                                     "[--modes]"));
        return kExitUsage;
    }
    const ReportSetupStruct& setup = options->Setup;
    DevReportRuntime::init();
    DaxHelper helper;
    try {
        helper.LoadDataFile(options->File.toStdString());
    } catch (const platform::Exception& failure) {
        Print(stderr, QString::fromStdString(failure.Message()));
        return kExitNoData;
    }

    TReportData data;
    const DisplayOptions display;
    uint8_t heatUnit = 0;
    uint8_t pressureUnit = 0;
    {
        DaxHelperLocker lock(&helper);
        const SchemaInputs inputs = MakeSchemaInputs(helper.InputRegisterImage, helper.HoldingRegisterImage,
                                                     static_cast<uint32_t>(setup.ReportData), display, '.');
        const auto part = static_cast<uint32_t>(setup.ReportData);
        const std::pair<int32_t, int32_t> tables[] = {{ReportDataSetTag::Day, ArchiveKind::Day},
                                                      {ReportDataSetTag::Hour, ArchiveKind::Hour},
                                                      {ReportDataSetTag::Total, ArchiveKind::TotalDay}};
        for (const auto& [tag, kind] : tables)
            BuildArchiveColumns(inputs, data.ArchiveColumns[static_cast<size_t>(tag)], kind, part, setup.ChanelMShow,
                                setup.ChanelVShow, setup.ChanelPShow, setup.HardwareNSShow, setup.ModeFlagsShow);
        heatUnit = inputs.Units.Heat;
        pressureUnit = inputs.Units.Pressure;
    }

    {
        StderrUi ui;
        if (!SelectReportPeriodData(data, helper, setup))
            return kExitNoData;
    }
    switch (setup.ReportType) {
    case 0:
        if (setup.NotStaffInfoShow)
            BuildNotStaffDataSet(data);
        break;
    case 1:
        BuildNotStaffJournalDataSet(data, data.NotStaffJournal);
        break;
    default:
        BuildOperatorJournalDataSet(data, data.OperatorJournal, heatUnit, pressureUnit,
                                    static_cast<uint8_t>(display.TimeFormat));
        break;
    }

    for (int32_t tag = 0; tag < ReportDataSetTag::Count; ++tag)
        WalkArchive(data, tag);
    WalkTable(*data.NotStaffDataSet);
    WalkTable(*data.InfoDataSet);
    std::fflush(stdout);
    return kExitDone;
}
