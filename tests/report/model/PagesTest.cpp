// Pages: the paper table, paper sizes and orientation of report pages, margins, columns, the
// printer's defaults, subreports, the data page, dialog pages over a window from the services
// table, and which objects each kind of page holds.

#include "ReportFakes.h"

#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpPaperSizes.h"
#include "report/core/PropertyRegistry.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <set>

namespace {

class PagesTest : public testing::Test {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

TEST(PaperTable, HoldsTheSixtySixPapersOfThePrinterCodes)
{
    const auto papers = PaperSizes();
    ASSERT_EQ(papers.size(), 66u);
    std::set<int32_t> codes;
    std::set<int32_t> wider;
    for (const TrpPaperSize& paper : papers) {
        codes.insert(paper.Code);
        if (paper.Width > paper.Height)
            wider.insert(paper.Code);
    }
    EXPECT_EQ(codes.size(), 66u);
    EXPECT_EQ(*codes.begin(), 1);
    EXPECT_EQ(*codes.rbegin(), 68);
    EXPECT_EQ(codes.count(48) + codes.count(49), 0u);
    EXPECT_EQ(wider, (std::set<int32_t>{4, 35, 39, 46}));
}

TEST(PaperTable, LooksUpMillimetres)
{
    struct Case {
        int32_t Code;
        bool Found;
        double Width;
        double Height;
    };
    const Case cases[] = {{9, true, 210, 297},  {8, true, 297, 420},    {1, true, 215.9, 279.4},
                          {48, false, -1, -1},  {0, false, -1, -1},     {256, false, -1, -1},
                          {68, true, 322, 445}, {35, true, 176, 125}};
    for (const Case& c : cases) {
        double width = -1;
        double height = -1;
        EXPECT_EQ(LookupPaperDimensions(c.Code, width, height), c.Found) << c.Code;
        EXPECT_DOUBLE_EQ(width, c.Width) << c.Code;
        EXPECT_DOUBLE_EQ(height, c.Height) << c.Code;
    }
}

TEST_F(PagesTest, ANewReportPageIsA4Portrait)
{
    TrpReportPage page;
    EXPECT_EQ(page.PaperSize(), 9);
    EXPECT_EQ(page.PaperWidth(), 210);
    EXPECT_EQ(page.PaperHeight(), 297);
    EXPECT_EQ(page.Width(), 794);
    EXPECT_EQ(page.Height(), 1123);
    EXPECT_EQ(page.Orientation(), poPortrait);
    EXPECT_EQ(page.Bin, 7);
    EXPECT_EQ(page.BinOtherPages, 7);
    EXPECT_EQ(page.PageCount(), 1);
    EXPECT_EQ(page.LeftMargin, 0);
    EXPECT_EQ(page.Color(), clNone);
    EXPECT_TRUE(page.PrintIfEmpty);
    EXPECT_TRUE(page.TitleBeforeHeader);
    EXPECT_EQ(page.BaseName(), "Page");
}

TEST_F(PagesTest, TurningThePageRotatesTheMargins)
{
    TrpReportPage page;
    page.LeftMargin = 10;
    page.RightMargin = 20;
    page.TopMargin = 30;
    page.BottomMargin = 40;
    page.SetOrientation(poLandscape);
    EXPECT_EQ(page.PaperWidth(), 297);
    EXPECT_EQ(page.PaperHeight(), 210);
    EXPECT_EQ(page.Width(), 1123);
    EXPECT_EQ(page.Height(), 794);
    EXPECT_EQ(QStringLiteral("%1 %2 %3 %4").arg(page.LeftMargin).arg(page.RightMargin).arg(page.TopMargin).arg(page.BottomMargin),
              "30 40 20 10");
    page.SetOrientation(poLandscape);
    EXPECT_EQ(page.LeftMargin, 30) << "the same orientation changes nothing";
    EXPECT_EQ(page.PaperWidth(), 297);
    page.SetOrientation(poPortrait);
    EXPECT_EQ(QStringLiteral("%1 %2 %3 %4").arg(page.LeftMargin).arg(page.RightMargin).arg(page.TopMargin).arg(page.BottomMargin),
              "10 20 30 40");
    EXPECT_EQ(page.PaperWidth(), 210);
}

TEST_F(PagesTest, PaperSizesAndCustomDimensions)
{
    TrpReportPage page;
    page.SetOrientation(poLandscape);
    page.SetPaperSize(11); // A5 in landscape
    EXPECT_EQ(page.PaperWidth(), 210);
    EXPECT_EQ(page.PaperHeight(), 148);
    page.SetPaperSize(48); // no such paper: the size stays
    EXPECT_EQ(page.PaperSize(), 48);
    EXPECT_EQ(page.PaperWidth(), 210);
    page.SetPaperWidth(100.123456789123);
    EXPECT_EQ(page.PaperSize(), kPaperCustom);
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 100.12345679);
    EXPECT_EQ(page.Width(), 378);
    page.SetPaperSize(9);
    const double pixels = page.Width();
    page.SetPaperSize(kPaperCustom);
    EXPECT_EQ(page.PaperWidth(), 297) << "256 keeps width, height and pixel size";
    EXPECT_EQ(page.Width(), pixels);
    page.SetSizeAndDimensions(5, 50, 60);
    EXPECT_EQ(page.PaperSize(), 5);
    EXPECT_EQ(page.PaperWidth(), 50) << "without the paper table";
}

TEST_F(PagesTest, ColumnsDivideThePrintableWidth)
{
    TrpReportPage page;
    page.LeftMargin = 10;
    page.RightMargin = 10;
    page.SetColumns(2);
    EXPECT_EQ(page.ColumnWidth, 95);
    EXPECT_EQ(page.ColumnPositions(), (QStringList{QStringLiteral("0"), QStringLiteral("95")}));
    page.SetColumns(3);
    EXPECT_EQ(page.ColumnPositions(),
              (QStringList{QStringLiteral("0"), QStringLiteral("63.3333333333333"), QStringLiteral("126.666666666667")}));
    page.SetColumns(0);
    EXPECT_TRUE(page.ColumnPositions().isEmpty());
    EXPECT_DOUBLE_EQ(page.ColumnWidth, 190.0 / 3) << "0 columns leave the width";
    page.SetPageCount(5);
    page.SetPageCount(0);
    page.SetPageCount(-2);
    EXPECT_EQ(page.PageCount(), 5);
}

TEST_F(PagesTest, DefaultsComeFromThePrinterElseA4)
{
    TrpReportPage page;
    page.SetPaperSize(11);
    page.SetDefaults();
    EXPECT_EQ(page.PaperSize(), 9);
    EXPECT_EQ(page.Orientation(), poPortrait);
    EXPECT_EQ(page.LeftMargin + page.RightMargin + page.TopMargin + page.BottomMargin, 40);
    reporttest::FakeServices services;
    services.Printer = TrpPrinterDefaults{8, 420, 297, poLandscape};
    page.SetDefaults();
    EXPECT_EQ(page.PaperSize(), 8);
    EXPECT_EQ(page.PaperWidth(), 420);
    EXPECT_EQ(page.Orientation(), poLandscape);
    EXPECT_EQ(page.Width(), 1587);
    EXPECT_EQ(page.LeftMargin, 10);
}

TEST_F(PagesTest, AlignmentSizesTheBandsToThePrintableArea)
{
    TrpReportPage page;
    page.LeftMargin = page.RightMargin = page.TopMargin = page.BottomMargin = 10;
    page.SetColumns(2);
    auto* title = new TrpReportTitle(&page);
    auto* data = new TrpMasterData(&page);
    data->SetLeft(5);
    auto* vertical = new TrpMasterData(&page);
    vertical->Vertical = true;
    vertical->SetTop(100);
    page.AlignChildren();
    EXPECT_DOUBLE_EQ(title->Width(), 190 * kPixelsPerMillimetre);
    EXPECT_DOUBLE_EQ(data->Width(), 95 * kPixelsPerMillimetre) << "a column's width on a page of columns";
    EXPECT_DOUBLE_EQ(vertical->Height(), 277 * kPixelsPerMillimetre - 100);
    EXPECT_EQ(page.Width(), 794) << "the pixel size follows the paper again";
}

TEST_F(PagesTest, APageAndItsSubreportPointAtEachOther)
{
    TrpReport report;
    auto* page = new TrpReportPage(&report);
    auto* printed = new TrpReportPage(&report);
    auto* band = new TrpMasterData(page);
    auto* subreport = new TrpSubreport(band);
    EXPECT_EQ(subreport->Frame().Typ, kAllFrameSides);
    EXPECT_EQ(subreport->Color, clSilver);
    EXPECT_EQ(subreport->Font().Name(), "Tahoma");
    subreport->SetPage(printed);
    EXPECT_EQ(printed->SubReport(), subreport);
    EXPECT_TRUE(printed->IsSubReport());
    delete subreport;
    EXPECT_FALSE(printed->IsSubReport());
    auto* again = new TrpSubreport(band);
    again->SetPage(printed);
    delete printed;
    EXPECT_EQ(again->Page(), nullptr);
    EXPECT_EQ(page->FindBand(TrpDataBand::Class()), band);
    EXPECT_EQ(page->FindBand(TrpPageFooter::Class()), nullptr);
}

TEST_F(PagesTest, TheDataPage)
{
    TrpDataPage page;
    EXPECT_EQ(page.Width(), 1000);
    EXPECT_EQ(page.Height(), 1000);
    EXPECT_EQ(page.GetDescription(), "obDataPage");
}

// Which objects each kind of page holds: bands and the objects printed on the page itself on
// a report page (data sets too, which older files kept there); data sets and the lines, memos
// and shapes that label them on the data page; dialog components and controls on a dialog page.
struct Placement {
    const char* Page;
    const char* Child;
    bool Accepted;
};

void PrintTo(const Placement& p, std::ostream* out)
{
    *out << p.Child << " on " << p.Page;
}

class Placements : public testing::TestWithParam<Placement> {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

TEST_P(Placements, FollowThePageKind)
{
    const Placement& p = GetParam();
    PropertyRegistry& registry = PropertyRegistry::Global();
    const RegisteredClass* page = registry.FindByName(QString::fromLatin1(p.Page));
    const RegisteredClass* child = registry.FindByName(QString::fromLatin1(p.Child));
    ASSERT_NE(page, nullptr);
    ASSERT_NE(child, nullptr);
    std::unique_ptr<TrpComponent> holder = TrpComponent::CreateByName(page->Name());
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(page->Accepts(*holder, child->Info), p.Accepted);

    // And so a file reads it: kept, saved back to the same bytes, or refused with the placement error.
    if (child->Factory == nullptr)
        return;
    QByteArray holderElement = "<" + QByteArray(p.Page) + " Name=\"P\"><" + QByteArray(p.Child) + " Name=\"C\"/></" +
                               QByteArray(p.Page) + ">";
    if (!page->Info.InheritsFrom(TrpPage::Class()))
        holderElement = "<TrpReportPage Name=\"Page1\">" + holderElement + "</TrpReportPage>";
    const QByteArray file = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n<TrpReport><TrpDataPage "
                            "Name=\"Data\"/>" + holderElement + "</TrpReport>\n";
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    QBuffer in;
    in.setData(file);
    in.open(QIODevice::ReadOnly);
    report.LoadFromStream(in);
    if (!p.Accepted) {
        EXPECT_EQ(report.Errors().join(u'|').toStdString(),
                  "Недопустимое размещение объекта класса " + std::string(p.Child));
        EXPECT_EQ(report.FindObject(u"C"), nullptr);
        return;
    }
    ASSERT_TRUE(report.Errors().isEmpty()) << report.Errors().join(u'|').toStdString();
    ASSERT_NE(report.FindObject(u"C"), nullptr);
    EXPECT_EQ(report.FindObject(u"C")->Parent(), report.FindObject(u"P"));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    report.SaveToStream(out);
    TrpReport again;
    again.EngineOptions().NewSilentMode = simSilent;
    QBuffer back;
    back.setData(out.data());
    back.open(QIODevice::ReadOnly);
    again.LoadFromStream(back);
    EXPECT_TRUE(again.Errors().isEmpty()) << again.Errors().join(u'|').toStdString();
    QBuffer outAgain;
    outAgain.open(QIODevice::WriteOnly);
    again.SaveToStream(outAgain);
    EXPECT_EQ(outAgain.data().toStdString(), out.data().toStdString());
}

const Placement kPlacements[] = {
    {"TrpReportPage", "TrpMasterData", true},
    {"TrpReportPage", "TrpPageHeader", true},
    {"TrpReportPage", "TrpMemoView", true},
    {"TrpReportPage", "TrpSysMemoView", true},
    {"TrpReportPage", "TrpLineView", true},
    {"TrpReportPage", "TrpShapeView", true},
    {"TrpReportPage", "TrpPictureView", true},
    {"TrpReportPage", "TrpCheckBoxView", true},
    {"TrpReportPage", "TrpSubreport", true},
    {"TrpReportPage", "TrpUserDataSet", true},
    {"TrpReportPage", "TrpReportPage", false},
    {"TrpReportPage", "TrpDataPage", false},
    {"TrpDataPage", "TrpUserDataSet", true},
    {"TrpDataPage", "TrpMemoView", true},
    {"TrpDataPage", "TrpSysMemoView", true},
    {"TrpDataPage", "TrpLineView", true},
    {"TrpDataPage", "TrpShapeView", true},
    {"TrpDataPage", "TrpPictureView", false},
    {"TrpDataPage", "TrpCheckBoxView", false},
    {"TrpDataPage", "TrpSubreport", false},
    {"TrpDataPage", "TrpMasterData", false},
    {"TrpDataPage", "TrpReportPage", false},
    {"TrpDialogPage", "TrpUserDataSet", true},
    {"TrpDialogPage", "TrpMemoView", false},
    {"TrpDialogPage", "TrpShapeView", false},
    {"TrpDialogPage", "TrpMasterData", false},
    {"TrpMasterData", "TrpMemoView", true},
    {"TrpMasterData", "TrpChild", false},
    {"TrpMemoView", "TrpMemoView", false},
};

INSTANTIATE_TEST_SUITE_P(Pages, Placements, testing::ValuesIn(kPlacements));

TEST_F(PagesTest, ADialogPageKeepsItsWindowInStep)
{
    reporttest::FakeServices services;
    TrpReport report;
    auto* page = new TrpDialogPage(&report);
    reporttest::FakeDialogWindow* window = services.LastWindow;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(page->DialogForm(), window);
    EXPECT_EQ(window->FontName, "Tahoma");
    EXPECT_EQ(page->Font().Size(), 8);
    EXPECT_EQ(window->Color, clBtnFace);
    page->SetLeft(10.6);
    page->SetTop(20.5);
    page->SetWidth(300);
    page->SetHeight(200);
    EXPECT_EQ(window->Bounds(), QRect(11, 20, 300, 200)) << "rounded half to even";
    page->SetClientWidth(400);
    EXPECT_EQ(page->Width(), 400 + reporttest::FakeDialogWindow::kFrameWidth);
    EXPECT_EQ(page->ClientWidth(), 400);
    page->SetCaption(QStringLiteral("Период"));
    EXPECT_EQ(window->Caption, "Период");
    page->Position = poDesktopCenter;
    window->Result = mrOk;
    window->WhileShown = [](reporttest::FakeDialogWindow& shown) {
        shown.BoundsRect = QRect(50, 60, 410, 230);
        shown.Handlers.BoundsChanged();
    };
    EXPECT_EQ(page->ShowModal(), mrOk);
    EXPECT_EQ(window->Position, poDesktopCenter);
    EXPECT_EQ(window->Calls.join(u','), "Normal,ShowModal,StayOnTop");
    EXPECT_EQ(page->Left(), 50) << "the window's bounds come back";
    EXPECT_EQ(page->Height(), 230);
    ASSERT_TRUE(static_cast<bool>(window->Handlers.KeyPress));
    QChar key = u'x';
    window->Handlers.KeyPress(key);
    EXPECT_EQ(key, u'x') << "without a script event the key stays";
}

TEST_F(PagesTest, ADialogPageWithoutAWindowService)
{
    TrpReport report;
    auto* page = new TrpDialogPage(&report);
    EXPECT_EQ(page->DialogForm(), nullptr);
    page->SetClientWidth(300);
    EXPECT_EQ(page->ClientWidth(), 300);
    EXPECT_EQ(page->ShowModal(), mrNone);
}

} // namespace
