#include "DeviceReportBuilder.h"

#include "DeviceReportTemplates.h"
#include "Texts.h"

#include "device/Daxhelper.h"
#include "device/Registers.h"
#include "platform/DateTime.h"
#include "presentation/ArchiveSchemas.h"
#include "report/core/FormatSettings.h"
#include "report/core/Formats.h"
#include "platform/Exceptions.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_styles.h"

#include <algorithm>
#include <iterator>
#include <typeinfo>

namespace {

QString DayText(double date)
{
    return QString::fromStdString(FormatDateTime("dd.mm.yy", date));
}

// A band the report cannot be built without.
template <typename Band>
Band& RequiredBand(TrpReport& report, const char* name)
{
    auto* band = dynamic_cast<Band*>(report.FindObject(QString::fromUtf8(name)));
    if (band == nullptr)
        throw platform::Exception(QString::fromUtf8(devreport::kBandMissingText)
                                      .arg(QString::fromUtf8(name), report.Name())
                                      .toStdString());
    return *band;
}

TrpReportPage* PageNamed(TrpReport& report, const char* name)
{
    return dynamic_cast<TrpReportPage*>(report.FindObject(QString::fromUtf8(name)));
}

void SetVariable(TrpReport& report, const char* name, const QString& text)
{
    SetReportVariable(report, QString::fromUtf8(name), text);
}

void SetCommonVariables(DeviceReportHost& host, TrpReport& report, const ReportSetupStruct& setup, bool period)
{
    SetVariable(report, "Model", host.ControlText(QStringLiteral("Model")));
    SetVariable(report, "Serial", host.ControlText(QStringLiteral("SerialNumInfo")));
    if (period) {
        SetVariable(report, "BeginPeriod", DayText(setup.BeginPeriod));
        SetVariable(report, "EndPeriod", DayText(setup.EndPeriod));
    }
}

void BuildArchiveReport(DeviceReportHost& host, const ReportSetupStruct& setup)
{
    TReportData& data = host.ReportData();
    TrpReport& report = host.Template(DeviceReportTemplates::kArchiveReport);
    SetCommonVariables(host, report, setup, true);
    SetVariable(report, "Consumer", setup.Consumer);
    SetVariable(report, "Supplier", setup.Supplier);
    const QString none = QStringLiteral("---");
    for (const char* name : {"DataName", "ThermoScheme", "Formula", "ReportName"})
        SetVariable(report, name, none);

    const TPrinterOrientation orientation = setup.PrinterOrientation == 0 ? poPortrait : poLandscape;
    for (int i = 0; i < report.PagesCount(); ++i) {
        TrpComponent* page = report.Pages(i);
        if (page != nullptr && typeid(*page) == typeid(TrpReportPage))
            static_cast<TrpReportPage*>(page)->SetOrientation(orientation);
    }

    // Every band is looked up before anything changes, so a damaged template changes nothing.
    TrpBand& dayHeader = RequiredBand<TrpBand>(report, "DayArchiveHeader");
    TrpDataBand& dayData = RequiredBand<TrpDataBand>(report, "DayArchiveData");
    TrpBand& totalHeader = RequiredBand<TrpBand>(report, "TotalArchiveHeader");
    TrpDataBand& totalData = RequiredBand<TrpDataBand>(report, "TotalArchiveData");
    TrpBand& hourHeader = RequiredBand<TrpBand>(report, "HourArchiveHeader");
    TrpBand& hourGroup = RequiredBand<TrpBand>(report, "HourArchiveGroupHeader");
    TrpDataBand& hourData = RequiredBand<TrpDataBand>(report, "HourArchiveData");

    report.DataSets().Clear();
    data.ResetArchiveColumns();
    for (TrpBand* band : {&dayHeader, static_cast<TrpBand*>(&dayData), &totalHeader, static_cast<TrpBand*>(&totalData),
                          &hourHeader, &hourGroup, static_cast<TrpBand*>(&hourData)})
        band->Clear();

    switch (setup.ReportData) {
    case 0:
    case 1: {
        const QString ts = QStringLiteral("ConfigurationTS%1/").arg(setup.ReportData + 1);
        SetVariable(report, "ReportName", QString::fromUtf8(devreport::kHeatReportName));
        SetVariable(report, "DataName", QString::fromUtf8(setup.ReportData == 0 ? devreport::kHeatSystem1DataName
                                                                                : devreport::kHeatSystem2DataName));
        SetVariable(report, "ThermoScheme", host.ControlText(ts + QStringLiteral("SchemeComboBox")));
        SetVariable(report, "Formula", host.ControlText(ts + QStringLiteral("QFormula")));
        break;
    }
    case 2:
        SetVariable(report, "ReportName", QString::fromUtf8(devreport::kColdWaterReportName));
        SetVariable(report, "DataName", QString::fromUtf8(devreport::kColdWaterDataName));
        SetVariable(report, "ThermoScheme", QString());
        SetVariable(report, "Formula", QString());
        break;
    case 3:
        SetVariable(report, "ReportName", QString::fromUtf8(devreport::kGeneralReportName));
        SetVariable(report, "DataName", QString::fromUtf8(devreport::kGeneralDataName));
        SetVariable(report, "ThermoScheme", QString());
        SetVariable(report, "Formula", host.ControlText(QStringLiteral("FormulaQ3")));
        break;
    default:
        break;
    }

    DaxHelper& helper = host.Helper();
    SchemaInputs inputs;
    {
        const DaxHelperLocker lock(&helper);
        inputs = MakeSchemaInputs(helper.InputRegisterImage, helper.HoldingRegisterImage,
                                  static_cast<uint32_t>(setup.ReportData), host.Options(), host.DecimalSeparator());
    }
    data.ArchiveColumns.resize(ReportDataSetTag::Count);
    const auto build = [&](int32_t tag, int32_t kind) {
        BuildArchiveColumns(inputs, data.ArchiveColumns[static_cast<size_t>(tag)], kind,
                            static_cast<uint32_t>(setup.ReportData), setup.ChanelMShow, setup.ChanelVShow,
                            setup.ChanelPShow, setup.HardwareNSShow, setup.ModeFlagsShow);
    };
    build(ReportDataSetTag::Day, 1);
    build(ReportDataSetTag::Hour, 0);
    build(ReportDataSetTag::Total, 3);
    float scale = 1.0f;
    CreateArchiveColumnMemos(data, report, &dayHeader, nullptr, dayData, ReportDataSetTag::Day, scale);

    if (TrpReportPage* page = PageNamed(report, "TotalArchivePage")) {
        page->SetVisible(setup.TotalValuesShow);
        page->PrintOnPreviousPage = setup.PrintOnPreviousPage;
    }
    if (setup.TotalValuesShow)
        CreateArchiveColumnMemos(data, report, &totalHeader, nullptr, totalData, ReportDataSetTag::Total, scale);
    if (TrpReportPage* page = PageNamed(report, "HourArchivePage")) {
        page->SetVisible(setup.HourArchiveShow);
        page->PrintOnPreviousPage = setup.PrintOnPreviousPage;
    }
    if (setup.HourArchiveShow)
        CreateArchiveColumnMemos(data, report, &hourHeader, &hourGroup, hourData, ReportDataSetTag::Hour, scale);
    TrpReportPage* notStaffPage = PageNamed(report, "NotStaffInfoPage");
    if (notStaffPage != nullptr) {
        notStaffPage->SetVisible(false);
        notStaffPage->PrintOnPreviousPage = setup.PrintOnPreviousPage;
    }
    if (setup.NotStaffInfoShow) {
        auto* header = dynamic_cast<TrpBand*>(report.FindObject(u"NotStaffHeader"));
        auto* group = dynamic_cast<TrpBand*>(report.FindObject(u"NotStaffGroupHeader"));
        auto* band = dynamic_cast<TrpDataBand*>(report.FindObject(u"NotStaffData"));
        if (header != nullptr && band != nullptr) {
            header->Clear();
            band->Clear();
            report.DataSets().Add(data.NotStaffDataSet.get());
            BuildNotStaffDataSet(data);
            CreateTableColumnMemos(data, report, header, group, *band, *data.NotStaffDataSet, scale);
            if (notStaffPage != nullptr)
                notStaffPage->SetVisible(data.NotStaffDataSet->Table.RecordCount() > 0);
        }
    }
    report.ShowReport(true);
}

// The settings variables after "Model", "Serial" and "ReportName", in the template's order.
constexpr const char16_t* kSettingsVariables[] = {
    u"UnitOfMeasureHeat",
    u"UnitOfMeasurePressure",
    u"FormulaQ3",
    u"MonthArchiveDayCreate",
    u"ColdWaterValueType",
    u"ColdWaterTWinter",
    u"ColdWaterTSummer",
    u"ColdWaterPWinter",
    u"ColdWaterPSummer",
    u"CurrentPeriod",
    u"EventChangeCondition",
    u"SummerPeriodStart",
    u"WinterPeriodStart",
    u"TS1_Scheme",
    u"TS1_W_Contract",
    u"TS1_Kpr",
    u"TS1_dt_Min",
    u"TS1_dP_min",
    u"TS1_TairChanel",
    u"TS1_TctrlChanel",
    u"TS1_StopModeTS",
    u"TS1_ExpenseMeasureFailReaction",
    u"TS1_ExpenseCtrlFailReaction",
    u"TS1_EmptyPipeReaction",
    u"TS1_GLessGotsReaction",
    u"TS1_GLessGminReaction",
    u"TS1_GMoreGmaxReaction",
    u"TS1_TemperatureFailReaction",
    u"TS1_TemperatureLessMinMoreMaxReaction",
    u"TS1_PressureFaliReaction",
    u"TS1_Q_LessZeroReaction",
    u"TS1_dP_LessDPminReaction",
    u"TS1_dt_LessZeroReaction",
    u"TS1_dt_LessDtminReaction",
    u"TS1_OffPowerReaction",
    u"TS1_Go_More_Gp_Less_GpK_Reaction",
    u"TS1_Go_More_GpK_Reaction",
    u"TS1_Gp_More_Go_Less_GoK_Reaction",
    u"TS1_Gp_More_GoK_Reaction",
    u"TS2_Scheme",
    u"TS2_W_Contract",
    u"TS2_Kpr",
    u"TS2_dt_Min",
    u"TS2_dP_min",
    u"TS2_TairChanel",
    u"TS2_TctrlChanel",
    u"TS2_StopModeTS",
    u"TS2_ExpenseMeasureFailReaction",
    u"TS2_ExpenseCtrlFailReaction",
    u"TS2_EmptyPipeReaction",
    u"TS2_GLessGotsReaction",
    u"TS2_GLessGminReaction",
    u"TS2_GMoreGmaxReaction",
    u"TS2_TemperatureFailReaction",
    u"TS2_TemperatureLessMinMoreMaxReaction",
    u"TS2_PressureFaliReaction",
    u"TS2_Q_LessZeroReaction",
    u"TS2_dP_LessDPminReaction",
    u"TS2_dt_LessZeroReaction",
    u"TS2_dt_LessDtminReaction",
    u"TS2_OffPowerReaction",
    u"TS2_Go_More_Gp_Less_GpK_Reaction",
    u"TS2_Go_More_GpK_Reaction",
    u"TS2_Gp_More_Go_Less_GoK_Reaction",
    u"TS2_Gp_More_GoK_Reaction",
    u"CWS1",
    u"CWS2",
    u"CWS3",
    u"CWS4",
    u"CWS5",
    u"CWS6",
    u"CWSExpenseMeasureFailReaction",
    u"CWSEmptyPipeReaction",
    u"CWSGLessGotsReaction",
    u"CWSGLessGminReaction",
    u"CWSGMoreGmaxReaction",
    u"ImpulseWeight1",
    u"G1_contract",
    u"G1_max",
    u"G1_min",
    u"G1_ots",
    u"ChanelMode1",
    u"CtrlModeV1",
    u"EmptyPipeSygnal1",
    u"Du1",
    u"ImpulseWeight2",
    u"G2_contract",
    u"G2_max",
    u"G2_min",
    u"G2_ots",
    u"ChanelMode2",
    u"CtrlModeV2",
    u"EmptyPipeSygnal2",
    u"Du2",
    u"ImpulseWeight3",
    u"G3_contract",
    u"G3_max",
    u"G3_min",
    u"G3_ots",
    u"ChanelMode3",
    u"CtrlModeV3",
    u"EmptyPipeSygnal3",
    u"Du3",
    u"ImpulseWeight4",
    u"G4_contract",
    u"G4_max",
    u"G4_min",
    u"G4_ots",
    u"ChanelMode4",
    u"CtrlModeV4",
    u"EmptyPipeSygnal4",
    u"Du4",
    u"ImpulseWeight5",
    u"G5_contract",
    u"G5_max",
    u"G5_min",
    u"G5_ots",
    u"ChanelMode5",
    u"CtrlModeV5",
    u"EmptyPipeSygnal5",
    u"Du5",
    u"ImpulseWeight6",
    u"G6_contract",
    u"G6_max",
    u"G6_min",
    u"G6_ots",
    u"ChanelMode6",
    u"CtrlModeV6",
    u"EmptyPipeSygnal6",
    u"Du6",
    u"NSH_TSP1",
    u"t1_contract",
    u"t_max1",
    u"t_min1",
    u"NSH_TSP2",
    u"t2_contract",
    u"t_max2",
    u"t_min2",
    u"NSH_TSP3",
    u"t3_contract",
    u"t_max3",
    u"t_min3",
    u"NSH_TSP4",
    u"t4_contract",
    u"t_max4",
    u"t_min4",
    u"NSH_TSP5",
    u"t5_contract",
    u"t_max5",
    u"t_min5",
    u"P1_max",
    u"P1_contract",
    u"P2_max",
    u"P2_contract",
    u"P3_max",
    u"P3_contract",
    u"P4_max",
    u"P4_contract",
    u"P5_max",
    u"P5_contract",
    u"P6_max",
    u"P6_contract"
};

const QString kTsControls[] = {QStringLiteral("W_Contract"), QStringLiteral("Kpr"), QStringLiteral("dt_Min"), QStringLiteral("dP_min"),
                               QStringLiteral("TairChanel"), QStringLiteral("TctrlChanel"), QStringLiteral("StopModeTS")};

// "1 апреля": the day and the month's name as a date is said in Russian (genitive).
QString SeasonStartText(double date)
{
    static const FormatSettings settings = [] {
        FormatSettings russian = FormatSettings::RuRu();
        const char* const months[] = {"января", "февраля", "марта", "апреля", "мая", "июня",
                                      "июля", "августа", "сентября", "октября", "ноября", "декабря"};
        for (size_t i = 0; i < russian.LongMonthNames.size(); ++i)
            russian.LongMonthNames[i] = QString::fromUtf8(months[i]);
        return russian;
    }();
    return FormatDateTime(u"d mmmm", date, settings);
}

void BuildSettingsReport(DeviceReportHost& host, const ReportSetupStruct& setup)
{
    TrpReport& report = host.Template(host.Helper().Model() == 0 ? DeviceReportTemplates::kSetupReport01
                                                                  : DeviceReportTemplates::kSetupReport02);
    SetCommonVariables(host, report, setup, false);
    SetVariable(report, "ReportName", QString::fromUtf8(devreport::kSettingsReportName));
    for (const char16_t* raw : kSettingsVariables) {
        const QString name = QString::fromUtf16(raw);
        QString text;
        if (name == u"SummerPeriodStart" || name == u"WinterPeriodStart") {
            text = SeasonStartText(host.PickerDate(name));
        } else if (name.startsWith(u"TS1_") || name.startsWith(u"TS2_")) {
            const QString system = name.mid(2, 1);
            const QString rest = name.mid(4);
            if (rest == u"Scheme")
                text = host.ControlText(QStringLiteral("ConfigurationTS") + system + QStringLiteral("/SchemeComboBox"));
            else if (std::find(std::begin(kTsControls), std::end(kTsControls), rest) != std::end(kTsControls))
                text = host.ControlText(QStringLiteral("ConfigurationTS") + system + QLatin1Char('/') + rest);
            else
                text = host.ControlText(QStringLiteral("ReactionTS") + system + QLatin1Char('/') + rest);
        } else {
            text = host.ControlText(name);
        }
        SetReportVariable(report, name, text);
    }
    report.ShowReport(true);
}

void BuildJournalReport(DeviceReportHost& host, const ReportSetupStruct& setup)
{
    TReportData& data = host.ReportData();
    TrpReport& report = host.Template(DeviceReportTemplates::kInfoReport);
    SetCommonVariables(host, report, setup, true);
    SetVariable(report, "ReportName", QStringLiteral("---"));
    TrpBand& header = RequiredBand<TrpBand>(report, "ReportHeader");
    TrpDataBand& band = RequiredBand<TrpDataBand>(report, "ReportData");
    report.DataSets().Clear();
    header.Clear();
    band.Clear();
    float scale = 1.0f;
    report.DataSets().Add(data.InfoDataSet.get());
    if (setup.ReportType == 1 || setup.ReportType == 2) {
        if (setup.ReportType == 1) {
            SetVariable(report, "ReportName", QString::fromUtf8(devreport::kNotStaffJournalName));
            BuildNotStaffJournalDataSet(data, data.NotStaffJournal);
        } else {
            SetVariable(report, "ReportName", QString::fromUtf8(devreport::kOperatorJournalName));
            DaxHelper& helper = host.Helper();
            uint8_t heatUnit = 0;
            uint8_t pressureUnit = 0;
            {
                const DaxHelperLocker lock(&helper);
                heatUnit = dax_namespace::HoldingRegisterLowByte(helper.HoldingRegisterImage, 40180);
                pressureUnit = dax_namespace::HoldingRegisterLowByte(helper.HoldingRegisterImage, 40181);
            }
            BuildOperatorJournalDataSet(data, data.OperatorJournal, heatUnit, pressureUnit,
                                        static_cast<uint8_t>(host.Options().TimeFormat & 0xFF));
        }
        CreateTableColumnMemos(data, report, &header, nullptr, band, *data.InfoDataSet, scale);
    }
    report.ShowReport(true);
}

} // namespace

void BuildAndShowReport(DeviceReportHost& host)
{
    ReportSetupStruct setup;
    if (!host.RunSetupDialog(setup))
        return;
    if (!SelectReportPeriodData(host.ReportData(), host.Helper(), setup))
        return;
    switch (setup.ReportType) {
    case 0:
        BuildArchiveReport(host, setup);
        break;
    case 3:
        BuildSettingsReport(host, setup);
        break;
    default:
        BuildJournalReport(host, setup);
        break;
    }
}
