// The export matrix: what each kind of report object becomes, styles and their sharing, pages,
// anchors, the preparation of the grid (merging, cutting, placing, empty rows, splitting,
// frames), the cell limit, the progress window, and random layouts whose cells must come out
// as one rectangle per placed object.

#include "PreparedPagesBuilder.h"
#include "Subprocess.h"

#include "report/core/Charsets.h"
#include "report/core/Colors.h"
#include "report/export/ExportRuntime.h"
#include "report/export/rpExportMatrix.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpRes.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <random>
#include <set>

namespace {

constexpr int32_t kYellow = 0x00FFFF;

class ExportMatrix : public ::testing::Test {
protected:
    void SetUp() override { ExportRuntime::init(); }

    // A memo standing alone at absolute (left, top).
    static std::unique_ptr<TrpMemoView> Memo(double left, double top, double width, double height,
                                             const QString& text = QString())
    {
        auto memo = std::make_unique<TrpMemoView>();
        memo->SetName(QStringLiteral("Memo"));
        memo->SetBounds(left, top, width, height);
        memo->SetText(text);
        return memo;
    }
    static std::unique_ptr<TrpLineView> Line(double left, double top, double width, double height)
    {
        auto line = std::make_unique<TrpLineView>();
        line->SetName(QStringLiteral("Line1"));
        line->SetBounds(left, top, width, height);
        return line;
    }
    static std::unique_ptr<TrpShapeView> Shape(double left, double top, double width, double height,
                                               TrpShapeKind kind = skRectangle)
    {
        auto shape = std::make_unique<TrpShapeView>();
        shape->SetName(QStringLiteral("Shape1"));
        shape->Shape = kind;
        shape->SetBounds(left, top, width, height);
        return shape;
    }

    TrpIEMatrix matrix_;
};

std::vector<double> Edges(const TrpIEMatrix& m, bool rows)
{
    std::vector<double> result;
    const int32_t count = rows ? m.Height() : m.Width();
    for (int32_t i = 0; i < count; ++i)
        result.push_back(rows ? m.GetYPosById(i) : m.GetXPosById(i));
    return result;
}

// --- what an object becomes

TEST_F(ExportMatrix, AMemoWithADropShadowGivesItselfShrunkAndTwoShadowStrips)
{
    auto memo = Memo(10, 20, 100, 50, QStringLiteral("text"));
    memo->Frame().DropShadow = true;
    memo->Frame().ShadowWidth = 4;
    memo->Frame().ShadowColor = clRed;
    matrix_.AddObject(*memo);
    ASSERT_EQ(matrix_.ObjectsCount(), 3);
    struct Expected {
        const char* name;
        double left, top, width, height;
    };
    const Expected expected[] = {
        {"Memo", 10, 20, 96, 46}, {"Shadow", 106, 24, 4, 46}, {"Shadow", 14, 66, 96, 4}};
    for (int i = 0; i < 3; ++i) {
        const TrpIEMObject* obj = matrix_.GetObjectById(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(obj->Name, QLatin1String(expected[i].name));
        EXPECT_DOUBLE_EQ(obj->Left, expected[i].left);
        EXPECT_DOUBLE_EQ(obj->Top, expected[i].top);
        EXPECT_DOUBLE_EQ(obj->Width, expected[i].width);
        EXPECT_DOUBLE_EQ(obj->Height, expected[i].height);
    }
    EXPECT_EQ(matrix_.GetObjectById(0)->Memo, QStringList{QStringLiteral("text")});
    EXPECT_EQ(matrix_.GetObjectById(1)->Style->Color, clRed);
    EXPECT_EQ(matrix_.GetObjectById(1)->Style->FrameTyp, 0);
    // The memo is as it was.
    EXPECT_EQ(memo->Width(), 100);
    EXPECT_EQ(memo->Height(), 50);
    EXPECT_TRUE(memo->Frame().DropShadow);
}

TEST_F(ExportMatrix, FlatLinesBecomeOnePixelCellsFramedOnOneSide)
{
    struct Case {
        double left, top, width, height;
        double objLeft, objTop, objWidth, objHeight;
        uint8_t side;
    };
    const Case cases[] = {
        {5, 10, 100, 0, 5, 10, 100, 1, TrpIEMStyle::kFrameTop},
        {5, 10, 0, 50, 5, 10, 1, 50, TrpIEMStyle::kFrameLeft},
        {105, 10, -100, 0, 5, 10, 100, 1, TrpIEMStyle::kFrameTop},   // drawn leftwards
        {5, 60, 0, -50, 5, 10, 1, 50, TrpIEMStyle::kFrameLeft},      // drawn upwards
    };
    for (const Case& c : cases) {
        TrpIEMatrix m;
        auto line = Line(c.left, c.top, c.width, c.height);
        m.AddObject(*line);
        ASSERT_EQ(m.ObjectsCount(), 1);
        const TrpIEMObject* obj = m.GetObjectById(0);
        SCOPED_TRACE(c.width);
        EXPECT_TRUE(obj->IsText);
        EXPECT_TRUE(obj->Memo.isEmpty());
        EXPECT_DOUBLE_EQ(obj->Left, c.objLeft);
        EXPECT_DOUBLE_EQ(obj->Top, c.objTop);
        EXPECT_DOUBLE_EQ(obj->Width, c.objWidth);
        EXPECT_DOUBLE_EQ(obj->Height, c.objHeight);
        EXPECT_EQ(obj->Style->FrameTyp, c.side);
        EXPECT_EQ(obj->Style->Font.Name(), QStringLiteral("Arial"));
        EXPECT_EQ(obj->Style->Font.Size(), 1);
    }
}

TEST_F(ExportMatrix, ARectangleIsFourLinesOrOneFramedCellWhenFilled)
{
    auto open = Shape(10, 20, 100, 50);
    open->Frame().SetWidth(2);
    matrix_.AddObject(*open);
    ASSERT_EQ(matrix_.ObjectsCount(), 4);
    struct Expected {
        double left, top, width, height;
        uint8_t side;
    };
    const Expected lines[] = {{10, 20, 100, 1, TrpIEMStyle::kFrameTop},
                              {10, 20, 1, 50, TrpIEMStyle::kFrameLeft},
                              {10, 70, 100, 1, TrpIEMStyle::kFrameTop},
                              {110, 20, 1, 50, TrpIEMStyle::kFrameLeft}};
    for (int i = 0; i < 4; ++i) {
        const TrpIEMObject* obj = matrix_.GetObjectById(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(obj->Name, QStringLiteral("Line"));
        EXPECT_DOUBLE_EQ(obj->Left, lines[i].left);
        EXPECT_DOUBLE_EQ(obj->Top, lines[i].top);
        EXPECT_DOUBLE_EQ(obj->Width, lines[i].width);
        EXPECT_DOUBLE_EQ(obj->Height, lines[i].height);
        EXPECT_EQ(obj->Style->FrameTyp, lines[i].side);
        EXPECT_EQ(obj->Style->FrameWidth, 2.0f);
    }

    TrpIEMatrix filled;
    auto box = Shape(10, 20, 100, 50);
    box->Color = kYellow;
    filled.AddObject(*box);
    ASSERT_EQ(filled.ObjectsCount(), 1);
    const TrpIEMObject* rect = filled.GetObjectById(0);
    EXPECT_EQ(rect->Name, QStringLiteral("Rect"));
    EXPECT_TRUE(rect->IsText);
    EXPECT_EQ(rect->Style->Color, kYellow);
    EXPECT_EQ(rect->Style->FrameTyp, 15);
    EXPECT_EQ(rect->Style->Font.Size(), 1);
    EXPECT_DOUBLE_EQ(rect->Width, 100);
}

TEST_F(ExportMatrix, OtherObjectsArePicturesOfTheirDrawnSizeAndTheirFrameGoesToTheStyle)
{
    auto ellipse = Shape(10, 20, 40.4, 30, skEllipse);
    ellipse->Frame().Typ = 15;
    ellipse->Frame().SetWidth(3);
    matrix_.AddObject(*ellipse);
    ASSERT_EQ(matrix_.ObjectsCount(), 1);
    const TrpIEMObject* obj = matrix_.GetObjectById(0);
    EXPECT_FALSE(obj->IsText);
    ASSERT_FALSE(obj->Image.isNull());
    EXPECT_EQ(obj->Image.width(), 41);
    EXPECT_EQ(obj->Image.height(), 31);
    EXPECT_EQ(obj->Image.depth(), 24);
    EXPECT_EQ(obj->Style->FrameTyp, 15);
    EXPECT_EQ(obj->Style->FrameWidth, 3.0f);
    EXPECT_EQ(ellipse->Frame().Width(), 3);   // put back after drawing

    // With Images off the picture is dropped; a rotated memo is a picture with RotatedAsImage.
    TrpIEMatrix noImages;
    noImages.Images = false;
    noImages.AddObject(*ellipse);
    EXPECT_EQ(noImages.ObjectsCount(), 0);
    TrpIEMatrix rotated;
    rotated.RotatedAsImage = true;
    auto memo = Memo(0, 0, 50, 20, QStringLiteral("up"));
    memo->SetRotation(90);
    rotated.AddObject(*memo);
    ASSERT_EQ(rotated.ObjectsCount(), 1);
    EXPECT_FALSE(rotated.GetObjectById(0)->IsText);
}

TEST_F(ExportMatrix, ThePageBackgroundTakesPartOnlyWhenAsked)
{
    struct Case {
        bool background, backgroundImage, printableOption, objectPrintable;
        int objects;
    };
    const Case cases[] = {
        {false, true, true, true, 0},   // an exporter that passes printable objects never adds it
        {true, false, true, true, 0},   // asked for, but not as a picture
        {true, true, true, true, 1},
        {false, true, false, false, 1}, // neither printable: passes the first filter
    };
    for (const Case& c : cases) {
        TrpIEMatrix m;
        m.Background = c.background;
        m.BackgroundImage = c.backgroundImage;
        m.Printable = c.printableOption;
        auto back = Shape(0, 0, 200, 300, skEllipse);
        back->SetName(QStringLiteral("_pagebackground"));
        back->Printable = c.objectPrintable;
        m.AddObject(*back);
        EXPECT_EQ(m.ObjectsCount(), c.objects) << c.background << c.backgroundImage << c.printableOption;
    }
}

TEST_F(ExportMatrix, MemoTextIsItsLinesOrItsWrappedLines)
{
    auto memo = Memo(0, 0, 60, 80, QStringLiteral("one two three four five six seven\r\n<b>bold</b>"));
    memo->AllowHTMLTags = true;
    matrix_.AddObject(*memo);
    const TrpIEMObject* plain = matrix_.GetObjectById(0);
    EXPECT_EQ(plain->Memo, (QStringList{QStringLiteral("one two three four five six seven"), QStringLiteral("<b>bold</b>")}));
    EXPECT_TRUE(plain->HTMLTags);
    EXPECT_TRUE(plain->IsText);

    TrpIEMatrix wrapped;
    wrapped.DeleteHTMLTags = true;
    wrapped.AddObject(*memo);
    const TrpIEMObject* lines = wrapped.GetObjectById(0);
    EXPECT_FALSE(lines->HTMLTags);
    EXPECT_GT(lines->Memo.size(), 2);
    EXPECT_EQ(lines->Memo.last(), QStringLiteral("bold"));
    EXPECT_EQ(lines->Memo.join(u' '), QStringLiteral("one two three four five six seven bold"));
}

TEST_F(ExportMatrix, EqualFormattingSharesAStyleAndAFontNameDoesNot)
{
    auto a = Memo(0, 0, 50, 20, QStringLiteral("a"));
    auto b = Memo(0, 30, 70, 20, QStringLiteral("b"));
    auto c = Memo(0, 60, 70, 20, QStringLiteral("c"));
    c->Font().SetName(QStringLiteral("Times New Roman"));
    matrix_.AddObject(*a);
    matrix_.AddObject(*b);
    matrix_.AddObject(*c);
    EXPECT_EQ(matrix_.GetObjectById(0)->StyleIndex, matrix_.GetObjectById(1)->StyleIndex);
    EXPECT_NE(matrix_.GetObjectById(0)->StyleIndex, matrix_.GetObjectById(2)->StyleIndex);
    EXPECT_EQ(matrix_.StylesCount(), 2);
    EXPECT_EQ(matrix_.GetObjectById(2)->Style, matrix_.GetStyleById(1));
    // The default charset becomes the face's: the Arial stand-in covers Cyrillic.
    EXPECT_EQ(matrix_.GetStyleById(0)->Charset, RUSSIAN_CHARSET);
}

TEST_F(ExportMatrix, DotMatrixStylesHaveFontSizeNine)
{
    matrix_.DotMatrix = true;
    auto memo = Memo(0, 0, 50, 20, QStringLiteral("a"));
    matrix_.AddObject(*memo);
    EXPECT_EQ(matrix_.GetObjectById(0)->Style->Font.Size(), 9);
}

TEST_F(ExportMatrix, AnchorLinksBecomeThePageOfTheAnchor)
{
    enginetest::PreparedReport prepared;
    TrpPreviewPages& store = prepared.Store();
    store.CurPage = 2;
    store.AddAnchor(QStringLiteral("total"));
    struct Case {
        const char* url;
        bool report;
        const char* expected;
    };
    const Case cases[] = {{"#total", true, "@3"},
                          {"#Total", true, "@3"},
                          {"#missing", true, "@1"},
                          {"#total", false, "#total"},
                          {"http://example.org/#total", true, "http://example.org/#total"},
                          {"", true, ""}};
    for (const Case& c : cases) {
        TrpIEMatrix m;
        if (c.report)
            m.Report = &prepared.Report();
        auto memo = Memo(0, 0, 50, 20, QStringLiteral("link"));
        memo->URL = QString::fromUtf8(c.url);
        m.AddObject(*memo);
        EXPECT_EQ(m.GetObjectById(0)->URL, QString::fromUtf8(c.expected)) << c.url;
    }
}

TEST_F(ExportMatrix, PagesShiftTheirObjectsDownAndMirrorMarginsOnOddIndexes)
{
    auto first = Memo(0, 10, 50, 20);
    matrix_.AddObject(*first);
    matrix_.AddPage(poPortrait, 794, 1123, 10, 15, 20, 25, true, 0);
    auto second = Memo(0, 10, 50, 20);
    matrix_.AddObject(*second);
    matrix_.AddPage(poLandscape, 1123, 794, 10, 15, 20, 25, true, 1);
    EXPECT_DOUBLE_EQ(matrix_.GetObjectById(1)->Top, 40);
    ASSERT_EQ(matrix_.PagesCount(), 2);
    EXPECT_DOUBLE_EQ(matrix_.GetPageBreak(0), 30);
    EXPECT_DOUBLE_EQ(matrix_.GetPageBreak(1), 60);
    EXPECT_FALSE(matrix_.GetPageMirrorMargin(0));
    EXPECT_DOUBLE_EQ(matrix_.GetPageLMargin(0), 10);
    EXPECT_DOUBLE_EQ(matrix_.GetPageRMargin(0), 20);
    EXPECT_TRUE(matrix_.GetPageMirrorMargin(1));
    EXPECT_DOUBLE_EQ(matrix_.GetPageLMargin(1), 20);
    EXPECT_DOUBLE_EQ(matrix_.GetPageRMargin(1), 10);
    EXPECT_DOUBLE_EQ(matrix_.GetPageTMargin(1), 15);
    EXPECT_DOUBLE_EQ(matrix_.GetPageBMargin(1), 25);
    EXPECT_EQ(matrix_.GetPageOrientation(1), poLandscape);
    EXPECT_DOUBLE_EQ(matrix_.GetPageWidth(1), 1123);
    EXPECT_DOUBLE_EQ(matrix_.GetPageHeight(1), 794);
}

TEST_F(ExportMatrix, AccessorsAnswerNothingOutOfRange)
{
    auto memo = Memo(0, 10, 50, 20);
    matrix_.AddObject(*memo);
    matrix_.AddPage(poLandscape, 794, 1123, 10, 15, 20, 25, false, 0);
    matrix_.Prepare();
    for (const int32_t page : {1, -1}) {
        SCOPED_TRACE(page);
        EXPECT_EQ(matrix_.GetPageBreak(page), 0);
        EXPECT_EQ(matrix_.GetPageWidth(page), 0);
        EXPECT_EQ(matrix_.GetPageHeight(page), 0);
        EXPECT_EQ(matrix_.GetPageLMargin(page), 0);
        EXPECT_EQ(matrix_.GetPageTMargin(page), 0);
        EXPECT_EQ(matrix_.GetPageRMargin(page), 0);
        EXPECT_EQ(matrix_.GetPageBMargin(page), 0);
        EXPECT_EQ(matrix_.GetPageOrientation(page), poPortrait);
        EXPECT_FALSE(matrix_.GetPageMirrorMargin(page));
    }
    EXPECT_EQ(matrix_.GetCell(-1, 0), -1);
    EXPECT_EQ(matrix_.GetCell(matrix_.Width(), 0), -1);
    EXPECT_EQ(matrix_.GetCell(0, matrix_.Height()), -1);
    EXPECT_EQ(matrix_.GetObject(5, 5), nullptr);
    EXPECT_EQ(matrix_.GetStyle(5, 5), nullptr);
    EXPECT_EQ(matrix_.GetObjectById(matrix_.ObjectsCount()), nullptr);
    EXPECT_EQ(matrix_.GetStyleById(matrix_.StylesCount()), nullptr);
    EXPECT_EQ(matrix_.GetXPosById(matrix_.Width()), 0);
    EXPECT_EQ(matrix_.GetCell(0, 0), 0);
    const TrpRect bounds = matrix_.GetObjectBounds(*matrix_.GetObjectById(0));
    EXPECT_EQ(bounds.Left, 0);
    EXPECT_EQ(bounds.Top, 10);
    EXPECT_EQ(bounds.Right, 50);
    EXPECT_EQ(bounds.Bottom, 30);
}

TEST_F(ExportMatrix, ClearKeepsTheExtents)
{
    auto memo = Memo(5, 10, 50, 20, QStringLiteral("x"));
    matrix_.AddObject(*memo);
    matrix_.AddPage(poPortrait, 794, 1123, 10, 10, 10, 10, false, 0);
    matrix_.Prepare();
    matrix_.Clear();
    EXPECT_EQ(matrix_.ObjectsCount(), 0);
    EXPECT_EQ(matrix_.StylesCount(), 0);
    EXPECT_EQ(matrix_.PagesCount(), 0);
    EXPECT_EQ(matrix_.Width(), 0);
    EXPECT_EQ(matrix_.Height(), 0);
    EXPECT_EQ(matrix_.MaxWidth(), 55);
    EXPECT_EQ(matrix_.MaxHeight(), 30);
    EXPECT_EQ(matrix_.MinLeft(), 5);
    EXPECT_EQ(matrix_.MinTop(), 10);
    EXPECT_EQ(matrix_.Left(), 5);
    EXPECT_EQ(matrix_.Top(), 10);
    // The next page starts at the top again.
    matrix_.AddObject(*memo);
    EXPECT_EQ(matrix_.GetObjectById(0)->Top, 10);
}

TEST_F(ExportMatrix, ObjectsWithoutAPlaceAreLeftOut)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double left, top, width, height;
    };
    const Case cases[] = {{nan, 0, 10, 10}, {0, nan, 10, 10}, {0, 0, inf, 10}, {0, 0, 10, -inf}};
    for (const Case& c : cases) {
        auto memo = Memo(c.left, c.top, c.width, c.height, QStringLiteral("x"));
        auto ellipse = Shape(c.left, c.top, c.width, c.height, skEllipse);
        matrix_.AddObject(*memo);
        matrix_.AddObject(*ellipse);
    }
    EXPECT_EQ(matrix_.ObjectsCount(), 0);
    auto memo = Memo(0, 0, 10, 10, QStringLiteral("x"));
    matrix_.AddObject(*memo);
    matrix_.Prepare();
    EXPECT_EQ(matrix_.Width(), 2);
    EXPECT_EQ(matrix_.GetCell(0, 0), 0);
}

// --- preparing

TEST_F(ExportMatrix, CloseEdgesMergeIntoTheLastOfTheirRun)
{
    struct Case {
        double inaccuracy;
        std::vector<double> columns;
    };
    const Case cases[] = {{0.5, {0.6}}, {0, {0, 0.3, 0.6}}, {0.31, {0.6}}, {0.29, {0, 0.3, 0.6}}};
    for (const Case& c : cases) {
        TrpIEMatrix m;
        m.Inaccuracy = c.inaccuracy;
        auto a = Memo(0, 0, 0.3, 10);
        auto b = Memo(0.3, 0, 0.3, 10);
        m.AddObject(*a);
        m.AddObject(*b);
        m.Prepare();
        EXPECT_EQ(Edges(m, false), c.columns) << c.inaccuracy;
    }
}

TEST_F(ExportMatrix, TallAndWideGapsAreCut)
{
    struct Case {
        double maxHeight, maxWidth;
        std::vector<double> rows, columns;
    };
    const Case cases[] = {
        {10, 0, {0, 10, 20, 25}, {0, 25}},
        {0, 10, {0, 25}, {0, 10, 20, 25}},
        {12.5, 0, {0, 12.5, 25}, {0, 25}},   // a cut on the far edge adds nothing
        {30, 0, {0, 25}, {0, 25}},
    };
    for (const Case& c : cases) {
        TrpIEMatrix m;
        m.MaxCellHeight = c.maxHeight;
        m.MaxCellWidth = c.maxWidth;
        auto memo = Memo(0, 0, 25, 25, QStringLiteral("x"));
        m.AddObject(*memo);
        m.Prepare();
        SCOPED_TRACE(c.maxHeight + c.maxWidth);
        EXPECT_EQ(Edges(m, true), c.rows);
        EXPECT_EQ(Edges(m, false), c.columns);
        int32_t x, y, dx, dy;
        m.GetObjectPos(0, x, y, dx, dy);
        EXPECT_EQ(dx, m.Width() - 1);
        EXPECT_EQ(dy, m.Height() - 1);
    }
}

TEST_F(ExportMatrix, AnEmptyListGivesAOneCellMapWithAreaFillElseNone)
{
    matrix_.AreaFill = true;
    matrix_.Prepare();
    EXPECT_EQ(matrix_.Width(), 1);
    EXPECT_EQ(matrix_.Height(), 1);
    TrpIEMatrix none;
    none.Prepare();
    EXPECT_EQ(none.Width(), 0);
    EXPECT_EQ(none.Height(), 0);
    EXPECT_EQ(none.GetCell(0, 0), -1);
}

TEST_F(ExportMatrix, AreaFillLiesUnderEverythingAndCroppedCoversExactlyTheObjects)
{
    for (const bool crop : {false, true}) {
        TrpIEMatrix m;
        m.AreaFill = true;
        m.CropAreaFill = crop;
        auto memo = Memo(40, 30, 60, 20, QStringLiteral("x"));
        m.AddObject(*memo);
        m.Prepare();
        const TrpIEMObject* fill = m.GetObjectById(0);
        SCOPED_TRACE(crop);
        EXPECT_EQ(fill->Style->Color, clWhite);
        EXPECT_EQ(fill->Style->FrameTyp, 0);
        EXPECT_EQ(fill->Left, crop ? 40 : 0);
        EXPECT_EQ(fill->Top, crop ? 30 : 0);
        EXPECT_EQ(fill->Width, crop ? 60 : 100);
        EXPECT_EQ(fill->Height, crop ? 20 : 50);
        EXPECT_EQ(Edges(m, false), (std::vector<double>{0, 40, 100}));
        EXPECT_EQ(Edges(m, true), (std::vector<double>{0, 30, 50}));
        EXPECT_EQ(m.GetObjectById(1)->Memo, QStringList{QStringLiteral("x")});
        EXPECT_EQ(m.GetObject(1, 1)->Memo, QStringList{QStringLiteral("x")});
    }
}

TEST_F(ExportMatrix, AMemoOverAFilledAreaSplitsItAndItsContentGoesToTheFirstPiece)
{
    auto big = Memo(0, 0, 300, 300, QStringLiteral("big"));
    big->Color = kYellow;
    big->Frame().Typ = 15;
    big->URL = QStringLiteral("http://example.org/");
    auto small = Memo(100, 100, 100, 100, QStringLiteral("small"));
    matrix_.AddObject(*big);
    matrix_.AddObject(*small);
    matrix_.Prepare();
    // Columns and rows 0-100, 100-200, 200-300 and the empty last ones.
    ASSERT_EQ(matrix_.Width(), 4);
    ASSERT_EQ(matrix_.Height(), 4);
    EXPECT_EQ(matrix_.GetObject(1, 1)->Memo, QStringList{QStringLiteral("small")});
    struct Piece {
        int32_t x, y, dx, dy;
        bool content;
        uint8_t sides;
    };
    using S = TrpIEMStyle;
    const Piece pieces[] = {
        {0, 0, 3, 1, true, S::kFrameTop | S::kFrameLeft | S::kFrameRight},
        {0, 1, 1, 2, false, S::kFrameLeft | S::kFrameBottom},
        {2, 1, 1, 2, false, S::kFrameRight | S::kFrameBottom},
        {1, 2, 1, 1, false, S::kFrameBottom},
    };
    std::set<int32_t> seen;
    for (const Piece& p : pieces) {
        SCOPED_TRACE(p.x * 10 + p.y);
        const int32_t index = matrix_.GetCell(p.x, p.y);
        seen.insert(index);
        int32_t x, y, dx, dy;
        matrix_.GetObjectPos(index, x, y, dx, dy);
        EXPECT_EQ(x, p.x);
        EXPECT_EQ(y, p.y);
        EXPECT_EQ(dx, p.dx);
        EXPECT_EQ(dy, p.dy);
        EXPECT_TRUE(matrix_.GetPlacement(index)->Exist);
        const TrpIEMObject* obj = matrix_.GetObjectById(index);
        EXPECT_EQ(obj->Parent, matrix_.GetObjectById(0));
        EXPECT_EQ(obj->Memo, p.content ? QStringList{QStringLiteral("big")} : QStringList{});
        // The link goes with the content.
        EXPECT_EQ(obj->URL, p.content ? QStringLiteral("http://example.org/") : QString());
        EXPECT_EQ(obj->Style->FrameTyp, p.sides);
        EXPECT_EQ(obj->Style->Color, kYellow);
    }
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_TRUE(matrix_.GetObjectById(0)->Memo.isEmpty());
}

TEST_F(ExportMatrix, AMemoOverAFilledRectangleShapeLeavesItsPiecesAroundIt)
{
    auto box = Shape(0, 0, 300, 300);
    box->Color = kYellow;
    auto memo = Memo(100, 100, 100, 100, QStringLiteral("inside"));
    matrix_.AddObject(*box);
    matrix_.AddObject(*memo);
    matrix_.Prepare();
    ASSERT_EQ(matrix_.Width(), 4);
    ASSERT_EQ(matrix_.Height(), 4);
    // The transparent memo shows the rectangle's colour.
    EXPECT_EQ(matrix_.GetStyle(1, 1)->Color, kYellow);
    EXPECT_EQ(matrix_.GetObject(1, 1)->Memo, QStringList{QStringLiteral("inside")});
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            if (x == 1 && y == 1)
                continue;
            const TrpIEMObject* piece = matrix_.GetObject(x, y);
            ASSERT_NE(piece, nullptr);
            EXPECT_EQ(piece->Name, QStringLiteral("Rect"));
            EXPECT_EQ(piece->Parent, matrix_.GetObjectById(0));
            EXPECT_EQ(piece->Style->Color, kYellow);
            EXPECT_EQ(piece->Style->FrameTyp & TrpIEMStyle::kFrameTop, y == 0 ? TrpIEMStyle::kFrameTop : 0);
        }
    }
}

TEST_F(ExportMatrix, ACornerPieceKeepsOnlyTheSidesOnTheObjectsOwnEdges)
{
    auto big = Memo(0, 0, 300, 300, QStringLiteral("big"));
    big->Color = kYellow;
    big->Frame().Typ = 15;
    auto middle = Memo(100, 100, 200, 100, QStringLiteral("m"));
    auto corner = Memo(200, 0, 100, 100, QStringLiteral("c"));
    matrix_.AddObject(*big);
    matrix_.AddObject(*middle);
    matrix_.AddObject(*corner);
    matrix_.Prepare();
    const TrpIEMObject* topLeft = matrix_.GetObject(0, 0);
    int32_t x, y, dx, dy;
    matrix_.GetObjectPos(matrix_.GetCell(0, 0), x, y, dx, dy);
    EXPECT_EQ(dx, 2);
    EXPECT_EQ(dy, 1);
    EXPECT_EQ(topLeft->Style->FrameTyp, TrpIEMStyle::kFrameTop | TrpIEMStyle::kFrameLeft);
}

TEST_F(ExportMatrix, FrameOptimizationDropsATopSideUnderAnEqualBottomSide)
{
    struct Case {
        bool optimize;
        int32_t lowerColor;
        float lowerWidth;
        bool topKept;
    };
    const Case cases[] = {{true, clBlack, 1, false}, {true, clRed, 1, true}, {true, clBlack, 2, true},
                          {false, clBlack, 1, true}};
    for (const Case& c : cases) {
        TrpIEMatrix m;
        m.FramesOptimization = c.optimize;
        auto upper = Memo(0, 0, 100, 20, QStringLiteral("u"));
        upper->Frame().Typ = 8;   // bottom
        auto lower = Memo(0, 20, 100, 20, QStringLiteral("l"));
        lower->Frame().Typ = 4 | 1;   // top and left
        lower->Frame().SetColor(c.lowerColor);
        lower->Frame().SetWidth(c.lowerWidth);
        m.AddObject(*upper);
        m.AddObject(*lower);
        m.Prepare();
        const uint8_t sides = m.GetObject(0, 1)->Style->FrameTyp;
        SCOPED_TRACE(c.optimize * 100 + c.lowerColor + int(c.lowerWidth));
        EXPECT_EQ((sides & TrpIEMStyle::kFrameTop) != 0, c.topKept);
        EXPECT_NE(sides & TrpIEMStyle::kFrameLeft, 0);   // nothing to its left
        EXPECT_EQ(m.GetObject(0, 0)->Style->FrameTyp, TrpIEMStyle::kFrameBottom);
    }
}

TEST_F(ExportMatrix, EmptyRowsGoAndLaterEdgesAndPageBreaksMoveUp)
{
    for (const bool emptyLines : {true, false}) {
        TrpIEMatrix m;
        m.EmptyLines = emptyLines;
        auto a = Memo(0, 0, 50, 20, QStringLiteral("a"));
        auto b = Memo(0, 40, 50, 20, QStringLiteral("b"));
        m.AddObject(*a);
        m.AddObject(*b);
        m.AddPage(poPortrait, 794, 1123, 10, 10, 10, 10, false, 0);
        auto c = Memo(0, 0, 50, 30, QStringLiteral("c"));
        auto d = Memo(0, 50, 50, 20, QStringLiteral("d"));
        m.AddObject(*c);
        m.AddObject(*d);
        m.AddPage(poPortrait, 794, 1123, 10, 10, 10, 10, false, 1);
        m.Prepare();
        SCOPED_TRACE(emptyLines);
        if (emptyLines) {
            EXPECT_EQ(Edges(m, true), (std::vector<double>{0, 20, 40, 60, 90, 110, 130}));
            EXPECT_EQ(m.GetPageBreak(0), 60);
            EXPECT_EQ(m.GetPageBreak(1), 130);
            continue;
        }
        // Rows 20-40 and 90-110 held nothing; the last row is never looked at.
        EXPECT_EQ(Edges(m, true), (std::vector<double>{0, 20, 40, 70, 90}));
        EXPECT_EQ(m.GetPageBreak(0), 40);
        EXPECT_EQ(m.GetPageBreak(1), 90);
        const QString expected[] = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")};
        for (int32_t row = 0; row < 4; ++row)
            EXPECT_EQ(m.GetObject(0, row)->Memo.value(0), expected[row]) << row;
        // Each page's first row starts at its break.
        EXPECT_EQ(m.GetCellYPos(2), m.GetPageBreak(0));
    }
}

TEST_F(ExportMatrix, ATransparentMemoTakesTheColourItLiesOnUnlessItsTextWouldVanish)
{
    struct Case {
        int32_t fontColor;
        int32_t expected;
    };
    const Case cases[] = {{clBlack, kYellow}, {kYellow, clNone}};
    for (const Case& c : cases) {
        TrpIEMatrix m;
        auto area = Memo(0, 0, 200, 100);
        area->Color = kYellow;
        auto text = Memo(50, 20, 100, 20, QStringLiteral("t"));
        text->Font().SetColor(c.fontColor);
        m.AddObject(*area);
        m.AddObject(*text);
        m.Prepare();
        EXPECT_EQ(m.GetObject(1, 1)->Memo, QStringList{QStringLiteral("t")});
        EXPECT_EQ(m.GetStyle(1, 1)->Color, c.expected) << c.fontColor;
    }
}

TEST_F(ExportMatrix, AMapBeyondTheCellLimitIsRefusedBeforeItIsMade)
{
    const auto expectRefused = [](TrpIEMatrix& m) {
        try {
            m.Prepare();
            ADD_FAILURE() << "prepared";
        } catch (const EReportError& error) {
            const QString text = QString::fromStdString(error.Message());
            EXPECT_TRUE(text.startsWith(GetResourcesInstance().Get(u"ieMatrixTooLarge").section(u':', 0, 0))) << text.toStdString();
            EXPECT_TRUE(text.contains(QString::number(TrpIEMatrix::kMaxCells))) << text.toStdString();
        }
        EXPECT_EQ(m.Width(), 0);
        EXPECT_EQ(m.GetCell(0, 0), -1);
    };
    // Edges on both axes: 6000 x 6000 cells.
    TrpIEMatrix diagonal;
    std::vector<std::unique_ptr<TrpMemoView>> memos;
    for (int i = 0; i < 3000; ++i) {
        memos.push_back(Memo(i * 2, i * 2, 1, 1));
        diagonal.AddObject(*memos.back());
    }
    expectRefused(diagonal);
    // Or a tiny maximum row height.
    TrpIEMatrix cut;
    cut.MaxCellHeight = 0.0001;
    auto tall = Memo(0, 0, 50, 10000);
    cut.AddObject(*tall);
    expectRefused(cut);
}

// --- progress

class RecordingProgress : public ITrpProgressWindow {
public:
    explicit RecordingProgress(QStringList& log) : log_(log) {}
    void Start(const QString& caption) override { log_ << QStringLiteral("start ") + caption; }
    void Progress(const QString& message, int32_t percent) override
    {
        log_ << message + u' ' + QString::number(percent);
    }
    void Stop() override { log_ << QStringLiteral("stop"); }

private:
    QStringList& log_;
};

TEST_F(ExportMatrix, PrepareShowsProgressInElevenSteps)
{
    QStringList log;
    TrpModelServices services;
    services.CreateProgressWindow = [&log](TrpReport&) { return std::make_unique<RecordingProgress>(log); };
    ModelServicesScope scope(services);
    TrpReport report;
    const QString wait = GetResourcesInstance().Get(u"ProgressWait");
    ASSERT_EQ(wait, QStringLiteral("Подождите, пожалуйста"));

    for (const bool show : {true, false}) {
        log.clear();
        TrpIEMatrix m;
        m.Report = &report;
        m.ShowProgress = show;
        auto memo = Memo(0, 0, 50, 20, QStringLiteral("x"));
        m.AddObject(*memo);
        m.Prepare();
        if (!show) {
            EXPECT_TRUE(log.isEmpty());
            continue;
        }
        QStringList expected{QStringLiteral("start ") + wait};
        for (int step = 1; step <= 11; ++step)
            expected << wait + u' ' + QString::number(step * 100 / 11);
        expected << QStringLiteral("stop");
        EXPECT_EQ(log, expected);
    }
}

TEST_F(ExportMatrix, WithoutAProgressWindowTheAdapterOnlyCounts)
{
    ModelServicesScope scope(TrpModelServices{});
    TrpReport report;
    TrpExportProgress progress(&report);
    progress.Execute(3, QStringLiteral("x"));
    EXPECT_FALSE(progress.Shown());
    for (int i = 0; i < 5; ++i)
        progress.Tick();
    EXPECT_EQ(progress.Position(), 3);
    EXPECT_FALSE(progress.Terminated());
}

// --- random layouts

// After Prepare every placed object covers exactly its own rectangle of cells, every covered
// cell belongs to one placed object, and an object's text lives in one place.
TEST_F(ExportMatrix, RandomLayoutsComeOutAsOneRectanglePerPlacedObject)
{
    int64_t pieces = 0;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
        TrpIEMatrix m;
        m.Inaccuracy = uniform(0, 1) ? 0.5 : 0;
        m.MaxCellHeight = uniform(0, 3) == 0 ? 37 : 0;
        m.EmptyLines = uniform(0, 1) != 0;
        m.FramesOptimization = uniform(0, 1) != 0;
        m.AreaFill = uniform(0, 3) == 0;
        std::vector<std::unique_ptr<TrpMemoView>> memos;
        const int pages = uniform(1, 3);
        for (int page = 0; page < pages; ++page) {
            const int count = uniform(0, 25);
            for (int i = 0; i < count; ++i) {
                // Coarse positions so that edges meet, some off by fractions.
                const double left = uniform(0, 20) * 10 + (uniform(0, 5) == 0 ? 0.3 : 0);
                const double top = uniform(0, 30) * 10 + (uniform(0, 5) == 0 ? 0.2 : 0);
                auto memo = Memo(left, top, uniform(1, 12) * 10, uniform(1, 8) * 10,
                                 QStringLiteral("t%1").arg(memos.size()));
                if (uniform(0, 1))
                    memo->Color = uniform(0, 1) ? kYellow : clWhite;
                memo->Frame().Typ = TrpFrameTypes(uniform(0, 15));
                m.AddObject(*memo);
                memos.push_back(std::move(memo));
            }
            m.AddPage(poPortrait, 794, 1123, 10, 10, 10, 10, false, page);
        }
        m.Prepare();

        std::map<int32_t, int64_t> cellsOf;
        for (int32_t y = 0; y < m.Height(); ++y) {
            for (int32_t x = 0; x < m.Width(); ++x) {
                const int32_t index = m.GetCell(x, y);
                if (index < 0)
                    continue;
                const TrpIEMObjectList* placement = m.GetPlacement(index);
                ASSERT_NE(placement, nullptr);
                ASSERT_TRUE(placement->Exist) << x << "," << y;
                ASSERT_TRUE(x >= placement->x && x < placement->x + placement->dx && y >= placement->y &&
                            y < placement->y + placement->dy)
                    << x << "," << y;
                ++cellsOf[index];
            }
        }
        QStringList texts;
        for (const auto& [index, cells] : cellsOf) {
            const TrpIEMObjectList* placement = m.GetPlacement(index);
            EXPECT_EQ(cells, int64_t(placement->dx) * placement->dy) << index;
            EXPECT_NE(placement->Obj->Style, nullptr);
            EXPECT_EQ(placement->Obj->Style, m.GetStyleById(placement->Obj->StyleIndex));
            texts << placement->Obj->Memo;
            pieces += placement->Obj->Parent != nullptr ? 1 : 0;
        }
        // No text shows twice.
        const int shown = int(texts.size());
        texts.removeDuplicates();
        EXPECT_EQ(int(texts.size()), shown);
        // The last column and row stay empty.
        for (int32_t y = 0; y < m.Height(); ++y)
            EXPECT_EQ(m.GetCell(m.Width() - 1, y), -1);
        for (int32_t x = 0; x < m.Width(); ++x)
            EXPECT_EQ(m.GetCell(x, m.Height() - 1), -1);
    }
    // The layouts overlap enough to split objects.
    EXPECT_GT(pieces, 100);
}

// --- rptool matrix

testsupport::ProgramRun Rptool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = {QFileInfo(QStringLiteral(DAX_RPTOOL)).absoluteFilePath().toStdString()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return testsupport::RunProgram(argv);
}

TEST(RptoolMatrix, TheArchivesFirstPageAsAGrid)
{
    QTemporaryDir folder;
    const std::string data = QFileInfo(QStringLiteral(DAX_EXPORT_DATA)).absoluteFilePath().toStdString();
    const std::string zp3 = folder.filePath(QStringLiteral("a.zp3")).toStdString();
    const auto prepare =
        Rptool({"prepare", data + "/archive.zi3", "--csv", "Hours=" + data + "/hours.csv", "--out", zp3});
    ASSERT_EQ(prepare.status, 0) << prepare.err;
    const auto run = Rptool({"matrix", zp3, "--page", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const QStringList lines = QString::fromStdString(run.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 6);
    // Columns: the margin, the time column and 24 value columns; rows: title, header, 40 hours.
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("columns 26: 37.80 127.80 "))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("rows 43: 37.80 67.80 "))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("pages 1: "))) << lines[2].toStdString();
    ASSERT_TRUE(lines[3].startsWith(QStringLiteral("cells "))) << lines[3].toStdString();
    const int cells = lines[3].section(u' ', 1, 1).remove(u':').toInt();
    EXPECT_EQ(lines[4], QStringLiteral("0\t0\t25\t1\ts0\ttext\tЧасовые данные"));
    // Every cell lies inside the grid, and no two cover the same place.
    std::set<std::pair<int, int>> covered;
    for (int i = 4; i < 4 + cells; ++i) {
        const QStringList fields = lines[i].split(u'\t');
        ASSERT_EQ(fields.size(), 7) << lines[i].toStdString();
        const int x = fields[0].toInt(), y = fields[1].toInt(), dx = fields[2].toInt(), dy = fields[3].toInt();
        EXPECT_LE(x + dx, 25);
        EXPECT_LE(y + dy, 42);
        for (int row = y; row < y + dy; ++row)
            for (int column = x; column < x + dx; ++column)
                EXPECT_TRUE(covered.insert({column, row}).second) << lines[i].toStdString();
    }
    ASSERT_GT(lines.size(), 4 + cells);
    EXPECT_TRUE(lines[4 + cells].startsWith(QStringLiteral("styles "))) << lines[4 + cells].toStdString();
    EXPECT_TRUE(lines[5 + cells].startsWith(QStringLiteral("s0\tfont=Arial "))) << lines[5 + cells].toStdString();

    struct Refusal {
        std::vector<std::string> arguments;
        int status;
        const char* message;
    };
    const Refusal refusals[] = {
        {{"matrix", zp3, "--set", "Colour=1"}, 2, "The matrix has no option \"Colour\""},
        {{"matrix", zp3, "--set", "EmptyLines=maybe"}, 2, "\"maybe\" is not a valid value for EmptyLines"},
        {{"matrix", zp3, "--page", "21"}, 2, "The report has 20 pages, not 21"},
        {{"matrix", zp3, "--page", "0"}, 1, "usage: rptool matrix"},
        {{"matrix", zp3, "--set", "MaxCellHeight=0.0001"}, 2, "допустимо не более 33554432 ячеек"},
    };
    for (const Refusal& refusal : refusals) {
        const auto refused = Rptool(refusal.arguments);
        EXPECT_EQ(refused.status, refusal.status) << refusal.message;
        EXPECT_NE(refused.err.find(refusal.message), std::string::npos) << refused.err;
        EXPECT_EQ(refused.out.find("cells"), std::string::npos);
    }
}

} // namespace
