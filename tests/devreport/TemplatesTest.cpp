#include "devreport/DaxReportSetupFrame.h"
#include "devreport/DeviceReportTemplates.h"

#include "report/core/ScriptFont.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace {

class DeviceTemplatesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DevReportRuntime::init(); }

    static void Load(TrpReport& report, const char* name) { DeviceReportTemplates::Load(report, QString::fromUtf8(name)); }

    static std::vector<TrpMemoView*> Memos(const TrpComponent& parent)
    {
        std::vector<TrpMemoView*> memos;
        for (TrpComponent* object : parent.AllObjects())
            if (auto* memo = dynamic_cast<TrpMemoView*>(object))
                memos.push_back(memo);
        return memos;
    }

    // A memo's text without the line break its lines end with.
    static QString TextOf(const TrpMemoView& memo)
    {
        QString text = memo.Memo().Text();
        while (text.endsWith(u'\n') || text.endsWith(u'\r'))
            text.chop(1);
        return text;
    }

    // The category names (without their blank) with the variables under each, in order.
    static std::vector<std::pair<QString, QStringList>> Categories(TrpReport& report)
    {
        std::vector<std::pair<QString, QStringList>> categories;
        TrpVariables& variables = report.Variables();
        for (int i = 0; i < variables.Count(); ++i) {
            const QString name = variables.Items(i)->Name;
            if (name.startsWith(u' '))
                categories.emplace_back(name.mid(1), QStringList());
            else if (!categories.empty())
                categories.back().second << name;
        }
        return categories;
    }
};

TEST_F(DeviceTemplatesTest, EachLoadsFromTheResourcesAndSavesToTheSameBytes)
{
    for (const char* name : DeviceReportTemplates::kAll) {
        SCOPED_TRACE(name);
        QFile stored(DeviceReportTemplates::ResourcePath(QString::fromUtf8(name)));
        ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
        TrpReport report;
        report.LoadFromStream(stored);
        EXPECT_TRUE(report.Errors().isEmpty());
        stored.seek(0);
        QBuffer saved;
        saved.open(QIODevice::WriteOnly);
        report.SaveToStream(saved);
        const QByteArray expected = stored.readAll();
        EXPECT_TRUE(saved.data() == expected);
    }
}

TEST_F(DeviceTemplatesTest, AnUnknownTemplateIsAnErrorNamingIt)
{
    TrpReport report;
    try {
        DeviceReportTemplates::Load(report, QStringLiteral("rpNoSuchReport"));
        FAIL() << "no error";
    } catch (const platform::Exception& error) {
        EXPECT_NE(std::string(error.what()).find("rpNoSuchReport"), std::string::npos) << error.what();
    }
}

TEST_F(DeviceTemplatesTest, OptionsAreTheDeviceReportsOwn)
{
    for (const char* name : DeviceReportTemplates::kAll) {
        SCOPED_TRACE(name);
        TrpReport report;
        Load(report, name);
        EXPECT_TRUE(report.EngineOptions().DoublePass);
        EXPECT_FALSE(report.DotMatrixReport);
        EXPECT_EQ(report.ScriptLanguage, QStringLiteral("RireroRidoze"));
        EXPECT_EQ(report.PrintOptions().Printer, QStringLiteral("По умолчанию"));
        const TrpPreviewButtons buttons = report.PreviewOptions().Buttons;
        EXPECT_EQ(buttons & (1u << pbEdit), 0u);
        EXPECT_EQ(buttons & (1u << pbPageSetup), 0u);
        for (const TrpPreviewButton button : {pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbTools,
                                              pbNavigator, pbExportQuick})
            EXPECT_NE(buttons & (1u << button), 0u) << button;
        EXPECT_NE(report.FindObject(u"Data"), nullptr);
    }
}

TEST_F(DeviceTemplatesTest, VariablesComeInTheirCategoriesAndOrder)
{
    TrpReport archive;
    Load(archive, DeviceReportTemplates::kArchiveReport);
    auto categories = Categories(archive);
    ASSERT_EQ(categories.size(), 1u);
    EXPECT_EQ(categories[0].first, QStringLiteral("Info"));
    EXPECT_EQ(categories[0].second,
              QStringList({"Serial", "Model", "BeginPeriod", "EndPeriod", "Consumer", "Supplier", "DataName", "Formula",
                           "ThermoScheme", "ReportName"}));

    TrpReport info;
    Load(info, DeviceReportTemplates::kInfoReport);
    categories = Categories(info);
    ASSERT_EQ(categories.size(), 1u);
    EXPECT_EQ(categories[0].second, QStringList({"Model", "Serial", "BeginPeriod", "EndPeriod", "ReportName"}));

    const std::vector<std::pair<QString, int>> setupCounts = {
        {"Info", 5}, {"MainParams", 4}, {"ColdWater", 5}, {"MeasurePeriod", 4}, {"TS1", 26},
        {"TS2", 26}, {"CWS", 11}, {"V_Chanel", 54}, {"t_Chanel", 20}, {"P_Chanel", 12}};
    for (const char* name : {DeviceReportTemplates::kSetupReport01, DeviceReportTemplates::kSetupReport02}) {
        SCOPED_TRACE(name);
        TrpReport setup;
        Load(setup, name);
        categories = Categories(setup);
        ASSERT_EQ(categories.size(), setupCounts.size());
        int total = 0;
        for (size_t i = 0; i < setupCounts.size(); ++i) {
            EXPECT_EQ(categories[i].first, setupCounts[i].first);
            EXPECT_EQ(categories[i].second.size(), setupCounts[i].second) << categories[i].first.toStdString();
            total += static_cast<int>(categories[i].second.size());
        }
        EXPECT_EQ(total, 167);
        // The second system repeats the first's names with its own prefix.
        for (int i = 0; i < 26; ++i)
            EXPECT_EQ(categories[5].second[i], QString(categories[4].second[i]).replace(0, 3, QStringLiteral("TS2")));
        EXPECT_EQ(categories[4].second.first(), QStringLiteral("TS1_Scheme"));
        EXPECT_EQ(categories[4].second.last(), QStringLiteral("TS1_Gp_More_GoK_Reaction"));
    }
}

struct PageCase {
    const char* Template;
    const char* Page;
    TPrinterOrientation Orientation;
    double Margin;
    bool PrintOnPreviousPage;
};

TEST_F(DeviceTemplatesTest, PagesAreA4WithTheirOrientationAndMargins)
{
    const PageCase cases[] = {
        {"rpReport", "ReportTitlePage", poLandscape, 10.00125, false},
        {"rpReport", "TotalArchivePage", poLandscape, 10.00125, true},
        {"rpReport", "DayArchivePage", poLandscape, 10.00125, true},
        {"rpReport", "HourArchivePage", poLandscape, 10.00125, true},
        {"rpReport", "NotStaffInfoPage", poLandscape, 10.00125, true},
        {"rpInfoReport", "PageReport", poPortrait, 10, false},
        {"rpSetupReport_01", "PageReport", poPortrait, 10, false},
        {"rpSetupReport_02", "PageReport", poPortrait, 10, false},
        {"rpSetupReport_02", "ReportPage2", poPortrait, 10, false},
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(std::string(c.Template) + "/" + c.Page);
        TrpReport report;
        Load(report, c.Template);
        auto* page = dynamic_cast<TrpReportPage*>(report.FindObject(QString::fromUtf8(c.Page)));
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->PaperSize(), 9);
        EXPECT_EQ(page->Orientation(), c.Orientation);
        EXPECT_DOUBLE_EQ(page->PaperWidth(), c.Orientation == poLandscape ? 297 : 210);
        for (double margin : {page->LeftMargin, page->RightMargin, page->TopMargin, page->BottomMargin})
            EXPECT_NEAR(margin, c.Margin, 1e-4); // the file keeps four decimals
        EXPECT_EQ(page->PrintOnPreviousPage, c.PrintOnPreviousPage);
    }
    TrpReport one, two;
    Load(one, DeviceReportTemplates::kSetupReport01);
    Load(two, DeviceReportTemplates::kSetupReport02);
    EXPECT_EQ(one.PagesCount(), 2); // the data page and one report page
    EXPECT_EQ(two.PagesCount(), 3);
}

struct BandCase {
    const char* Template;
    const char* Band;
    const char* Class;
};

TEST_F(DeviceTemplatesTest, EveryBandTheBuilderLooksUpIsThereWithItsClass)
{
    const BandCase cases[] = {
        {"rpReport", "ReportTitle", "TrpReportTitle"},        {"rpReport", "PageFooter1", "TrpPageFooter"},
        {"rpReport", "TotalArchiveTitle", "TrpReportTitle"},  {"rpReport", "TotalArchiveHeader", "TrpHeader"},
        {"rpReport", "TotalArchiveData", "TrpMasterData"},    {"rpReport", "TotalArchiveFooter", "TrpFooter"},
        {"rpReport", "PageFooter4", "TrpPageFooter"},         {"rpReport", "DayArchiveTitle", "TrpReportTitle"},
        {"rpReport", "DayArchiveHeader", "TrpHeader"},        {"rpReport", "DayArchiveData", "TrpMasterData"},
        {"rpReport", "DayArchiveFooter", "TrpFooter"},        {"rpReport", "PageFooter2", "TrpPageFooter"},
        {"rpReport", "ReportTitle1", "TrpReportTitle"},       {"rpReport", "HourArchiveHeader", "TrpHeader"},
        {"rpReport", "HourArchiveGroupHeader", "TrpGroupHeader"}, {"rpReport", "HourArchiveData", "TrpMasterData"},
        {"rpReport", "HourArchiveFooter", "TrpFooter"},       {"rpReport", "PageFooter3", "TrpPageFooter"},
        {"rpReport", "NotStaffReportTitle", "TrpReportTitle"}, {"rpReport", "NotStaffHeader", "TrpHeader"},
        {"rpReport", "NotStaffGroupHeader", "TrpGroupHeader"}, {"rpReport", "NotStaffData", "TrpMasterData"},
        {"rpReport", "PageFooter5", "TrpPageFooter"},         {"rpInfoReport", "ReportTitle", "TrpReportTitle"},
        {"rpInfoReport", "ReportHeader", "TrpHeader"},        {"rpInfoReport", "ReportData", "TrpMasterData"},
        {"rpInfoReport", "PageFooter", "TrpPageFooter"},      {"rpSetupReport_01", "ReportTitle", "TrpReportTitle"},
        {"rpSetupReport_02", "ReportTitle", "TrpReportTitle"},
    };
    for (const BandCase& c : cases) {
        SCOPED_TRACE(std::string(c.Template) + "/" + c.Band);
        TrpReport report;
        Load(report, c.Template);
        TrpComponent* band = report.FindObject(QString::fromUtf8(c.Band));
        ASSERT_NE(band, nullptr);
        EXPECT_EQ(band->ClassName(), QString::fromUtf8(c.Class));
    }
    TrpReport archive;
    Load(archive, DeviceReportTemplates::kArchiveReport);
    for (const char* name : {"TotalArchiveData", "DayArchiveData", "HourArchiveData", "NotStaffData"}) {
        auto* data = dynamic_cast<TrpMasterData*>(archive.FindObject(QString::fromUtf8(name)));
        ASSERT_NE(data, nullptr) << name;
        EXPECT_EQ(data->RowCount(), 0) << name;
        EXPECT_TRUE(Memos(*data).empty()) << name; // the builder makes the column memos
    }
    for (const char* name : {"PageFooter2", "PageFooter3", "PageFooter4", "PageFooter5"}) {
        auto* footer = dynamic_cast<TrpPageFooter*>(archive.FindObject(QString::fromUtf8(name)));
        ASSERT_NE(footer, nullptr) << name;
        EXPECT_FALSE(footer->PrintOnFirstPage) << name;
    }
    EXPECT_NE(archive.FindObject(u"DayArchiveName"), nullptr);
    EXPECT_NE(archive.FindObject(u"NotStaffTitle"), nullptr);
}

// Every bracketed name in a fixed memo is a variable of the report (any case) or a page counter.
TEST_F(DeviceTemplatesTest, EveryBracketedNameIsAVariableOrAPageCounter)
{
    const QRegularExpression bracketed(QStringLiteral("\\[([^\\]]*)\\]"));
    for (const char* name : DeviceReportTemplates::kAll) {
        SCOPED_TRACE(name);
        TrpReport report;
        Load(report, name);
        int names = 0;
        for (TrpMemoView* memo : Memos(report)) {
            auto matches = bracketed.globalMatch(memo->Memo().Text());
            while (matches.hasNext()) {
                const QString used = matches.next().captured(1);
                ++names;
                if (used == QStringLiteral("Page") || used == QStringLiteral("TotalPages"))
                    continue;
                EXPECT_GE(report.Variables().IndexOf(used), 0) << used.toStdString();
            }
        }
        EXPECT_GT(names, 3);
    }
}

struct SetupCounts {
    const char* Template;
    int Flow, Temperature, Pressure, ColdWater;
    bool SecondSystem;
};

TEST_F(DeviceTemplatesTest, SettingsReportsShowTheirModelsChannels)
{
    const SetupCounts cases[] = {{"rpSetupReport_01", 3, 2, 3, 3, false}, {"rpSetupReport_02", 6, 5, 6, 6, true}};
    for (const SetupCounts& c : cases) {
        SCOPED_TRACE(c.Template);
        TrpReport report;
        Load(report, c.Template);
        std::map<QString, int> texts;
        for (TrpMemoView* memo : Memos(report))
            ++texts[TextOf(*memo)];
        auto countOf = [&](const char* format) {
            int found = 0;
            for (int i = 1; i <= 6; ++i)
                found += texts.count(QString::fromUtf8(format).arg(i)) ? 1 : 0;
            return found;
        };
        EXPECT_EQ(countOf("Канал V%1"), c.Flow);
        EXPECT_EQ(countOf("[ImpulseWeight%1]"), c.Flow);
        EXPECT_EQ(countOf("[Du%1]"), c.Flow);
        EXPECT_EQ(countOf("Канал t%1"), c.Temperature);
        EXPECT_EQ(countOf("[t_min%1]"), c.Temperature);
        EXPECT_EQ(countOf("Канал P%1"), c.Pressure);
        EXPECT_EQ(countOf("[P%1_contract]"), c.Pressure);
        EXPECT_EQ(countOf("Канал ХВС %1"), c.ColdWater);
        EXPECT_EQ(texts.count(QStringLiteral("Система теплоснабжения 2")) > 0, c.SecondSystem);
        EXPECT_EQ(texts.count(QStringLiteral("[TS2_Scheme]")) > 0, c.SecondSystem);
        EXPECT_EQ(texts.count(QStringLiteral("Летний-зимний период\t\t\t")), 1u);
        EXPECT_EQ(texts[QStringLiteral("G2*Kпр >= G1>G2\t")], c.SecondSystem ? 2 : 1);
        EXPECT_EQ(texts.count(QStringLiteral("Вес имп. (м\u1DBE/имп)")), 1u);
        EXPECT_EQ(texts.count(QStringLiteral("Реакции на  НС ТС1")), 1u);
        EXPECT_EQ(texts.count(QStringLiteral("[TS1_dP_Min]")), 1u);
        EXPECT_EQ(texts.count(QStringLiteral("[ReportName] тепловычислителя [Model], Зав. №[Serial]")), 1u);
    }
}

// The memos on a settings page lie in rows 18 pixels apart, none overlapping another, all
// inside the printable width; value memos are bold, labels are not.
TEST_F(DeviceTemplatesTest, SettingsRowsAreEighteenPixelsApartWithoutOverlaps)
{
    for (const char* name : {DeviceReportTemplates::kSetupReport01, DeviceReportTemplates::kSetupReport02}) {
        TrpReport report;
        Load(report, name);
        for (int p = 0; p < report.PagesCount(); ++p) {
            auto* page = dynamic_cast<TrpReportPage*>(report.Pages(p));
            if (!page)
                continue;
            SCOPED_TRACE(std::string(name) + "/" + page->Name().toStdString());
            std::vector<TrpMemoView*> memos;
            for (TrpComponent* object : page->Objects())
                if (auto* memo = dynamic_cast<TrpMemoView*>(object))
                    memos.push_back(memo);
            ASSERT_GT(memos.size(), 20u);
            const double first = memos.front()->Top();
            for (size_t i = 0; i < memos.size(); ++i) {
                const TrpMemoView& a = *memos[i];
                EXPECT_DOUBLE_EQ(std::fmod(a.Top() - first, 18.0), 0.0) << a.Name().toStdString();
                EXPECT_DOUBLE_EQ(a.Height(), 18.0);
                EXPECT_GE(a.Left(), 0.0);
                EXPECT_LE(a.Left() + a.Width(), page->PrintableWidth() + 0.01) << a.Name().toStdString();
                const QString text = TextOf(a);
                const bool bold = (a.Font().Style() & ScriptFont::kBold) != 0;
                const bool oneValue = text.startsWith(u'[') && text.indexOf(u']') == text.size() - 1;
                if (oneValue && text != QStringLiteral("[UnitOfMeasurePressure]")) {
                    EXPECT_TRUE(bold) << text.toStdString();
                }
                if (!text.contains(u'[')) {
                    EXPECT_EQ(bold, text == QStringLiteral("°C")) << text.toStdString();
                }
                for (size_t j = i + 1; j < memos.size(); ++j) {
                    const TrpMemoView& b = *memos[j];
                    const bool apart = a.Top() != b.Top() || a.Left() + a.Width() <= b.Left() + 0.01 ||
                                       b.Left() + b.Width() <= a.Left() + 0.01;
                    EXPECT_TRUE(apart) << a.Name().toStdString() << " " << b.Name().toStdString();
                }
            }
        }
    }
}

} // namespace
