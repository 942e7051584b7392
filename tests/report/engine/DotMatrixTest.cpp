// Dot-matrix objects: snapping to the 9.6 x 17 pixel grid, printer commands as characters, paper
// in whole characters and lines, the page style reaching objects with ParentFont, difference
// texts, frame lines between characters, the text that fits, the band a bottom frame line
// makes taller, and the dot-matrix fixture through rptool.

#include "EngineFixtures.h"
#include "EngineTestSupport.h"
#include "RecordingPaintDevice.h"
#include "Subprocess.h"

#include "report/core/PropertyRegistry.h"
#include "report/engine/EngineRuntime.h"
#include "report/engine/rpDMPClass.h"
#include "report/engine/rpPreviewPages.h"
#include "report/model/rpDrawContext.h"
#include "report/model/rpDsgnIntf.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace enginetest;
using namespace enginefixtures;
using testsupport::ProgramRun;
using testsupport::RunProgram;

namespace {

const QString kReports = kEngineData + QStringLiteral("reports/");

struct SnapCase {
    const char* name;
    bool line;           // a line, else a text object
    TrpAlign align;
    double left;
    double width;
    double expectedLeft;
    double expectedWidth;
};

void PrintTo(const SnapCase& c, std::ostream* out)
{
    *out << c.name;
}

class DotMatrixSnapping : public testing::TestWithParam<SnapCase> {
protected:
    void SetUp() override { EngineRuntime::init(); }
};

TEST_P(DotMatrixSnapping, PositionsAndSizesLandOnTheGrid)
{
    const SnapCase& c = GetParam();
    std::unique_ptr<TrpView> view;
    if (c.line)
        view = std::make_unique<TrpDMPLineView>();
    else
        view = std::make_unique<TrpDMPMemoView>();
    view->Align = c.align;
    view->SetLeft(c.left);
    view->SetWidth(c.width);
    EXPECT_NEAR(view->Left(), c.expectedLeft, 1e-9);
    EXPECT_NEAR(view->Width(), c.expectedWidth, 1e-9);
}

const SnapCase kSnapCases[] = {
    {"text_14_50", false, baNone, 14, 50, 9.6, 48},
    {"text_right_aligned_cuts", false, baRight, 19, 50, 9.6, 48},
    {"line_at_14", true, baNone, 14, 50, 14.4, 48},
    {"line_at_minus_3", true, baNone, -3, 50, -4.8, 48},
    {"line_right_aligned_at_14", true, baRight, 14, 50, 4.8, 48},
    {"line_width_aligned_cuts", true, baWidth, 14, 57, 14.4, 48},
};

INSTANTIATE_TEST_SUITE_P(Table, DotMatrixSnapping, testing::ValuesIn(kSnapCases),
                         [](const testing::TestParamInfo<SnapCase>& info) { return std::string(info.param.name); });

TEST(DotMatrix, TextObjectsSnapTopsAndHeightsToLines)
{
    EngineRuntime::init();
    TrpDMPMemoView memo;
    memo.SetTop(30);
    memo.SetHeight(40);
    EXPECT_DOUBLE_EQ(memo.Top(), 34);
    EXPECT_DOUBLE_EQ(memo.Height(), 34);
    TrpDMPLineView line;
    line.SetTop(30);
    EXPECT_DOUBLE_EQ(line.Top(), 25.5);
    TrpDMPCommand command;
    command.SetLeft(14);
    command.SetTop(30);
    EXPECT_DOUBLE_EQ(command.Left(), 9.6);
    EXPECT_DOUBLE_EQ(command.Top(), 34);
}

TEST(DotMatrix, PrinterCommandsAsCharacters)
{
    EngineRuntime::init();
    const struct {
        const char* command;
        QByteArray expected;
    } kCases[] = {
        {"#27#64", QByteArray("\x1B\x40", 2)},
        {"1B40", QByteArray("\x1B\x40", 2)},
        {"1b40", QByteArray("\x1B\x40", 2)},
        {"1B4", QByteArray("\x1B", 1)},
        {"#27##64", QByteArray("\x1B\x40", 2)},
        {"#0", QByteArray("\x00", 1)},
        {"", QByteArray()},
    };
    for (const auto& c : kCases) {
        TrpDMPCommand command;
        command.Command = QString::fromLatin1(c.command);
        EXPECT_EQ(command.ToChr(), c.expected) << c.command;
    }
    for (const char* bad : {"#300", "#27#x", "1G", "#256"}) {
        TrpDMPCommand command;
        command.SetName(QStringLiteral("Cmd1"));
        command.Command = QString::fromLatin1(bad);
        try {
            command.ToChr();
            ADD_FAILURE() << bad << " gave characters";
        } catch (const EDMPCommandError& error) {
            EXPECT_EQ(QString::fromStdString(error.Message()),
                      QStringLiteral("Объект Cmd1: неверная команда принтера \"%1\"").arg(QLatin1String(bad)));
        }
    }
}

TEST(DotMatrix, PaperInWholeCharactersAndLines)
{
    EngineRuntime::init();
    TrpDMPPage page;
    page.SetPaperSize(9); // A4
    page.SetDefaults();
    const double perChar = 9.6 / 3.77953;
    EXPECT_NEAR(page.PaperWidth() / perChar, 82, 1e-6);
    EXPECT_NEAR(page.PaperWidth(), 208.28, 0.005);
    EXPECT_NEAR(page.LeftMargin, perChar, 1e-9);
    EXPECT_NEAR(page.TopMargin, 17 / 3.77953, 1e-9);
    page.SetPaperWidth(210);
    EXPECT_NEAR(page.PaperWidth() / perChar, 83, 1e-6);
    EXPECT_NEAR(page.PaperWidth(), 210.82, 0.005);
    EXPECT_NEAR(std::fmod(page.PaperHeight() * 3.77953 / 17 + 1e-9, 1.0), 0, 1e-6);
}

TEST(DotMatrix, ABoldPageStyleReachesOnlyObjectsWithParentFont)
{
    EngineRuntime::init();
    TrpReport report;
    auto* page = new TrpDMPPage(&report);
    auto* band = AddBand<TrpReportTitle>(page, QStringLiteral("Title"), 0, 34);
    auto* inherits = new TrpDMPMemoView(band);
    auto* own = new TrpDMPMemoView(band);
    own->SetFontStyle(1u << fsxItalic);
    auto* line = new TrpDMPLineView(band);
    page->SetFontStyle(1u << fsxBold);
    EXPECT_EQ(inherits->FontStyle(), 1u << fsxBold);
    EXPECT_EQ(inherits->Font().Style(), kFontStyleBold);
    EXPECT_EQ(inherits->Font().Name(), QStringLiteral("Courier New"));
    EXPECT_EQ(inherits->Font().Size(), 12);
    EXPECT_EQ(own->FontStyle(), 1u << fsxItalic);
    EXPECT_EQ(own->Font().Style(), kFontStyleItalic);
    EXPECT_FALSE(own->ParentFont());
    EXPECT_EQ(line->FontStyle(), 1u << fsxBold);
}

TEST(DotMatrix, DifferenceTextsAddTheStyleAndTheEscapedCommand)
{
    EngineRuntime::init();
    TrpDMPMemoView original;
    TrpDMPMemoView memo;
    memo.SetFontStyle(0x3FF); // beyond the nine styles: only they are kept
    EXPECT_TRUE(memo.Diff(original).endsWith(QStringLiteral(" FontStyle=\"511\""))) << memo.Diff(original).toStdString();
    EXPECT_FALSE(original.Diff(original).contains(QStringLiteral("FontStyle")));

    TrpDMPCommand sourceCommand;
    TrpDMPCommand command;
    command.Command = QStringLiteral("#27<\"&");
    EXPECT_TRUE(command.Diff(sourceCommand).endsWith(QStringLiteral(" Command=\"#27&#60;&#34;&#38;\"")))
        << command.Diff(sourceCommand).toStdString();
    EXPECT_FALSE(sourceCommand.Diff(sourceCommand).contains(QStringLiteral("Command")));
}

TEST(DotMatrix, FrameLinesLieHalfACellOutsideTheText)
{
    EngineRuntime::init();
    TrpReport report;
    auto* page = new TrpDMPPage(&report);
    auto* band = AddBand<TrpReportTitle>(page, QStringLiteral("Title"), 0, 68);
    auto* memo = new TrpDMPMemoView(band);
    memo->SetBounds(9.6, 17, 48, 17);
    memo->Frame().Typ = 1u << ftLeft;
    RecordingPaintDevice device(QSize(400, 400));
    {
        QPainter painter(&device);
        memo->Draw(painter, 1, 1, 0, 0, TrpDrawContext{});
    }
    // Left edge R(9.6 - 4.8) = 5, from R(17 - 8.5) = 8 to R(34 + 8.5) = 42.
    bool found = false;
    for (const RecordedOperation& op : device.Operations()) {
        const QRectF bounds = op.What == RecordedOperation::Line ? op.DevicePoints.boundingRect() : op.DeviceRect;
        if ((op.What == RecordedOperation::Line || op.What == RecordedOperation::Rectangle) &&
            std::abs(bounds.left() - 5) <= 1 && bounds.top() <= 8.5 && bounds.bottom() >= 41.5)
            found = true;
    }
    EXPECT_TRUE(found);
}

TEST(DotMatrix, TheTextThatFitsTheObject)
{
    EngineRuntime::init();
    TrpDMPMemoView memo;
    memo.SetBounds(0, 0, 28.8, 34);
    memo.SetText(QStringLiteral("abcdef\r\nxy\r\nzzz"));
    EXPECT_EQ(memo.GetoutBoundText(), QStringLiteral("abc\r\nxy\r\n"));
}

TEST(DotMatrix, ABottomFrameLineMakesTheBandOneLineTaller)
{
    for (const bool bottomLine : {false, true}) {
        EngineRuntime::init();
        TrpReport report;
        report.EngineOptions().NewSilentMode = simSilent;
        report.CheckDataPage();
        auto* page = new TrpDMPPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetDefaults();
        auto* band = AddBand<TrpReportTitle>(page, QStringLiteral("Title"), 0, 17);
        band->Stretched = true;
        auto* memo = new TrpDMPMemoView(band);
        memo->SetName(QStringLiteral("Text"));
        memo->SetBounds(0, 0, 96, 17);
        memo->SetText(QStringLiteral("abc"));
        if (bottomLine)
            memo->Frame().Typ = 1u << ftBottom;
        ASSERT_TRUE(report.PrepareReport()) << report.Errors().join(u'\n').toStdString();
        TrpReportPage* prepared = dynamic_cast<TrpPreviewPages*>(report.PreviewPages())->GetPage(0);
        ASSERT_NE(prepared, nullptr);
        ASSERT_FALSE(prepared->Objects().empty());
        EXPECT_DOUBLE_EQ(prepared->Objects().front()->Height(), bottomLine ? 34 : 17) << bottomLine;
    }
}

TEST(DotMatrix, TheObjectsStandInTheObjectRegistryAndThePageLoadsByName)
{
    EngineRuntime::init();
    const struct {
        const ScriptClassInfo* cls;
        int32_t image;
        const char* description;
    } kCases[] = {
        {&TrpDMPMemoView::Class(), 2, "Текст матричного принтера"},
        {&TrpDMPLineView::Class(), 5, "Линия матричного принтера"},
        {&TrpDMPCommand::Class(), 21, "Команда матричного принтера"},
    };
    const TrpObjectCollection& objects = GetObjectRegistry();
    for (const auto& c : kCases) {
        int found = 0;
        for (int i = 0; i < objects.Count(); ++i) {
            const TrpObjectItem& item = objects.Items(i);
            if (item.ClassRef != c.cls)
                continue;
            ++found;
            EXPECT_EQ(item.ButtonImageIndex, c.image) << c.description;
            EXPECT_EQ(item.Category, 1u << ctDMP) << c.description;
        }
        EXPECT_EQ(found, 1) << c.description;
        const RegisteredClass* registered = PropertyRegistry::Global().FindCreatable(c.cls->Name);
        ASSERT_NE(registered, nullptr) << c.description;
        std::unique_ptr<ScriptObject> made = registered->Factory();
        EXPECT_EQ(dynamic_cast<TrpComponent&>(*made).GetDescription(), QString::fromUtf8(c.description));
    }
    EXPECT_NE(PropertyRegistry::Global().FindCreatable(u"TrpDMPPage"), nullptr);
}

// --- the fixture through rptool ----------------------------------------------------------------

class DotMatrixRptool : public testing::Test {
protected:
    ProgramRun Run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), DAX_RPTOOL);
        return RunProgram(arguments);
    }
    std::string Temp(const char* name) { return folder.filePath(QString::fromLatin1(name)).toStdString(); }

    QTemporaryDir folder;
};

TEST_F(DotMatrixRptool, TheReportRoundTripsAsReportAndAsPreparedPages)
{
    const std::string report = (kReports + QStringLiteral("dmp.zi3")).toStdString();
    ProgramRun run = Run({"report-roundtrip", report, Temp("again.zi3")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(QString::fromStdString(report)), ReadFileBytes(QString::fromStdString(Temp("again.zi3"))));

    run = Run({"prepare", report, "--csv", "Rows=" + (kReports + QStringLiteral("rows-98.csv")).toStdString(), "--out",
               Temp("d.zp3")});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Run({"zp3-roundtrip", Temp("d.zp3"), Temp("e.zp3")});
    ASSERT_EQ(run.status, 0) << run.err;
    const ProgramRun first = Run({"zp3-dump", Temp("d.zp3")});
    const ProgramRun second = Run({"zp3-dump", Temp("e.zp3")});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, second.out);
    // Rows sit on whole lines: every row band is one line high.
    EXPECT_NE(first.out.find("RowText"), std::string::npos);
    run = Run({"zp3-text", Temp("d.zp3"), "--page", "1", "--band", "MasterData1"});
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "1");
}

} // namespace
