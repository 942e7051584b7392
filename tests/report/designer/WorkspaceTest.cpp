#include "RecordingPaintDevice.h"
#include "StandInDesigner.h"

#include "report/core/PropertyRegistry.h"
#include "report/designer/DesignerInput.h"
#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDataTree.h"
#include "report/designer/rpDesgnCtrls.h"
#include "report/designer/rpDesgnWorkspace1.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr double kMm = 3.77953;

class Host : public ITrpWorkspaceHost {
public:
    bool DropFields() const override { return true; }
    bool CheckOp(TrpDesignerRestriction) const override { return true; }
    QSizeF GetDefaultObjectSize() const override { return {2.5 * 37.7953, 0.5 * 37.7953}; }
    void ApplySample(TrpCustomMemoView&) override {}
    void ReloadPages(int index) override { Reloaded.push_back(index); }
    double Scale() const override { return Workspace->Scale(); }
    void SetScale(double value) override { Workspace->SetScale(value == 0 ? 1 : std::min(value, 20.0)); }
    TrpDataTreeForm* DataTree() const override { return Tree; }
    void InsertedObject(TrpComponent* object) override { Inserted = object; }

    TDesignerWorkspace* Workspace = nullptr;
    TrpDataTreeForm* Tree = nullptr;
    TrpComponent* Inserted = nullptr;
    std::vector<int> Reloaded;
};

// A report page on a workspace inside a scroll area, as the designer shows it.
class Rig {
public:
    explicit Rig(TrpReport& report) : designer(&report)
    {
        window.resize(900, 700);
        area = new QScrollArea(&window);
        area->setGeometry(0, 0, 900, 700);
        content = new QWidget;
        area->setWidget(content);
        workspace = new TDesignerWorkspace(&host, content);
        host.Workspace = workspace;
        workspace->SetParent(content);
        input = std::make_unique<DesignerInput>(*workspace);
        workspace->OnModify = [this](TrpDesignerWorkspace*) { ++modified; };
        workspace->OnInsert = [this](TrpDesignerWorkspace* sender) { Insert(sender); };
    }

    void Show(TrpPage* shown, double scale = 1, bool captions = true, TrpGridType grid = gt1cm)
    {
        page = shown;
        designer.SetPage(page);
        auto& objects = designer.Objects();
        objects.clear();
        for (TrpComponent* object : page->AllObjects())
            objects.push_back(object);
        objects.push_back(page->Report());
        objects.push_back(page);
        designer.SelectedObjects() = {page};
        workspace->SetPage(page);
        workspace->SetObjects(&objects);
        workspace->SetSelectedObjects(&designer.SelectedObjects());
        workspace->SetShowBandCaptions(captions);
        workspace->SetGridType(grid);
        workspace->SetOrigin(QPoint(10, 10));
        workspace->SetScale(scale);
        auto* reportPage = dynamic_cast<TrpReportPage*>(page);
        if (reportPage != nullptr) {
            const double pixels = 96 / 25.4;
            workspace->SetPageDimensions(
                static_cast<int>(std::lround(reportPage->PaperWidth() * pixels)),
                static_cast<int>(std::lround(reportPage->PaperHeight() * pixels)),
                QMargins(static_cast<int>(std::lround(reportPage->LeftMargin * pixels)),
                         static_cast<int>(std::lround(reportPage->TopMargin * pixels)),
                         static_cast<int>(std::lround(reportPage->RightMargin * pixels)),
                         static_cast<int>(std::lround(reportPage->BottomMargin * pixels))));
        }
        content->resize(workspace->MarginsPanel()->width() + 20, workspace->MarginsPanel()->height() + 20);
        window.show();
    }

    void Select(std::initializer_list<TrpComponent*> objects)
    {
        designer.SelectedObjects().clear();
        for (TrpComponent* object : objects)
            designer.SelectedObjects().push_back(object);
        workspace->AfterSelectionChange();
    }

    std::vector<TrpComponent*> Selected() const
    {
        std::vector<TrpComponent*> result;
        for (const auto& p : const_cast<Rig*>(this)->designer.SelectedObjects())
            result.push_back(p.data());
        return result;
    }

    void Insert(TrpDesignerWorkspace* sender)
    {
        const TrpInsertion& insertion = sender->Insertion();
        ++inserts;
        lastInsertion = insertion;
        const RegisteredClass* cls = PropertyRegistry::Global().Find(*insertion.ComponentClass);
        if (cls == nullptr)
            return;
        TrpComponent* made = TrpComponent::CreateForDesign(*cls, page, insertion.Flags);
        made->SetBounds(insertion.Left, insertion.Top, insertion.Width, insertion.Height);
        made->CreateUniqueName();
        designer.Objects().push_back(made);
        designer.SelectedObjects() = {made};
        if (!insertion.ComponentClass->InheritsFrom(TrpCustomLineView::Class()))
            sender->SetInsertion(nullptr, 0, 0, 0);
    }

    StandInDesigner designer;
    Host host;
    QWidget window;
    QScrollArea* area = nullptr;
    QWidget* content = nullptr;
    TDesignerWorkspace* workspace = nullptr;
    std::unique_ptr<DesignerInput> input;
    TrpPage* page = nullptr;
    int modified = 0;
    int inserts = 0;
    TrpInsertion lastInsertion;
};

void Shot(QWidget& widget, const QString& name)
{
    if (const QByteArray shots = qgetenv("DAX_SCREENSHOT_DIR"); !shots.isEmpty())
        widget.grab().save(QDir(QString::fromLocal8Bit(shots)).filePath(name + QStringLiteral(".png")));
}

// The sheet and the workspace over it, as rptool's --grab draws them.
void ShotSheet(Rig& rig, const QString& name)
{
    const QByteArray shots = qgetenv("DAX_SCREENSHOT_DIR");
    if (shots.isEmpty())
        return;
    TMarginsPanel* panel = rig.workspace->MarginsPanel();
    QPixmap picture(panel->size());
    panel->render(&picture);
    rig.workspace->render(&picture, rig.workspace->pos() - panel->pos(), QRegion(), QWidget::DrawChildren);
    picture.save(QDir(QString::fromLocal8Bit(shots)).filePath(name + QStringLiteral(".png")));
}

// What a painting recorded, with the pen and brush in force at each operation.
struct Painted {
    RecordedOperation Op;
    QColor Pen;
    QColor Brush;
};

std::vector<Painted> Paint(TrpDesignerWorkspace& workspace)
{
    RecordingPaintDevice device(QSize(2000, 2000));
    {
        QPainter painter(&device);
        workspace.PaintTo(painter);
    }
    std::vector<Painted> result;
    QColor pen;
    QColor brush;
    for (const RecordedOperation& op : device.Operations()) {
        if (op.What == RecordedOperation::PenChange)
            pen = op.Pen.color();
        else if (op.What == RecordedOperation::BrushChange)
            brush = op.Brush.color();
        else
            result.push_back({op, pen, brush});
    }
    return result;
}

int CountRects(const std::vector<Painted>& painted, QSizeF size, QColor brush = QColor())
{
    int n = 0;
    for (const Painted& p : painted) {
        if (p.Op.What == RecordedOperation::Rectangle && std::fabs(p.Op.DeviceRect.width() - size.width()) < 0.01 &&
            std::fabs(p.Op.DeviceRect.height() - size.height()) < 0.01 && (!brush.isValid() || p.Brush == brush))
            ++n;
    }
    return n;
}

QStringList Texts(const std::vector<Painted>& painted)
{
    QStringList texts;
    for (const Painted& p : painted) {
        if (p.Op.What == RecordedOperation::GlyphRun && !p.Op.Text.isEmpty())
            texts.append(p.Op.Text);
    }
    return texts;
}

QByteArray Saved(TrpReport& report)
{
    QByteArray bytes;
    QBuffer stream(&bytes);
    stream.open(QIODevice::WriteOnly);
    report.SaveToStream(stream);
    return bytes;
}

// The object's bounds after the report was saved and loaded again.
TrpRect ReloadedBounds(TrpReport& report, const QString& name)
{
    QByteArray bytes = Saved(report);
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    TrpReport copy;
    copy.LoadFromStream(stream);
    EXPECT_TRUE(copy.Errors().isEmpty()) << copy.Errors().join(u'\n').toStdString();
    TrpComponent* object = copy.FindObject(name);
    if (object == nullptr) {
        ADD_FAILURE() << "no " << name.toStdString() << " after reloading";
        return {};
    }
    return TrpRect{object->Left(), object->Top(), object->Width(), object->Height()};
}

void ExpectSameAfterReload(TrpReport& report, TrpComponent* object)
{
    const TrpRect b = ReloadedBounds(report, object->Name());
    EXPECT_NEAR(b.Left, object->Left(), 1e-6) << object->Name().toStdString();
    EXPECT_NEAR(b.Top, object->Top(), 1e-6) << object->Name().toStdString();
    EXPECT_NEAR(b.Right, object->Width(), 1e-6) << object->Name().toStdString();
    EXPECT_NEAR(b.Bottom, object->Height(), 1e-6) << object->Name().toStdString();
}

class Workspace : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        DesignerRuntime::init();
        DesignerRuntime::SetFormats(FormatSettings::C());
    }

    // A page without margins: page units equal workspace positions at scale 1.
    TrpReportPage* NewPage()
    {
        auto* page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        return page;
    }

    template <class T>
    T* Add(TrpComponent* parent, const char* name, double l, double t, double w, double h)
    {
        auto* object = new T(parent);
        object->SetName(QString::fromLatin1(name));
        object->SetBounds(l, t, w, h);
        return object;
    }

    TrpReport report;
};

// --- band layout

TEST_F(Workspace, BandHeaderFollowsGridTypeAndCaptions)
{
    TrpReportPage* page = NewPage();
    auto* data = Add<TrpMasterData>(page, "MasterData1", 0, 200, 700, 30);
    Rig rig(report);
    rig.Show(page, 1, false);
    EXPECT_EQ(rig.workspace->BandHeader(), 0);
    EXPECT_EQ(data->Top(), 0);
    rig.workspace->SetShowBandCaptions(true);
    EXPECT_NEAR(rig.workspace->BandHeader(), kMm * 5, 1e-9);
    rig.workspace->SetGridType(gt1pt);
    EXPECT_EQ(rig.workspace->BandHeader(), 16);
    rig.workspace->SetGridType(gtNone);
    EXPECT_EQ(rig.workspace->BandHeader(), 16);
    rig.workspace->SetGridType(gtChar);
    EXPECT_EQ(rig.workspace->BandHeader(), 17);
    rig.workspace->SetGridType(gt1in);
    EXPECT_NEAR(rig.workspace->BandHeader(), 19.2, 1e-9);
}

TEST_F(Workspace, BandsStackInPrintingOrder)
{
    struct Case {
        const char* name;
        bool titleBeforeHeader;
        std::vector<const char*> order; // expected order from the top
    };
    const Case cases[] = {
        {"title after the page header", false, {"PageHeader1", "ReportTitle1", "MasterData1", "PageFooter1"}},
        {"title before the page header", true, {"ReportTitle1", "PageHeader1", "MasterData1", "PageFooter1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TrpReport own;
        auto* page = new TrpReportPage(&own);
        page->TitleBeforeHeader = c.titleBeforeHeader;
        auto* footer = new TrpPageFooter(page);
        footer->SetName(QStringLiteral("PageFooter1"));
        footer->SetBounds(0, 10, 700, 20);
        auto* data = new TrpMasterData(page);
        data->SetName(QStringLiteral("MasterData1"));
        data->SetBounds(0, 5, 700, 30);
        auto* title = new TrpReportTitle(page);
        title->SetName(QStringLiteral("ReportTitle1"));
        title->SetBounds(0, 300, 700, 40);
        auto* header = new TrpPageHeader(page);
        header->SetName(QStringLiteral("PageHeader1"));
        header->SetBounds(0, 400, 700, 20);
        Rig rig(own);
        rig.workspace->SetGridX(1);
        rig.workspace->SetGridY(1);
        rig.Show(page, 1, true, gt1pt);
        // gt1pt: header 16; the gap of 40 only where "top" bands end and between the middle and
        // the "bottom" band.
        std::vector<TrpBand*> bands;
        for (const char* name : c.order)
            bands.push_back(static_cast<TrpBand*>(own.FindObject(QString::fromLatin1(name))));
        EXPECT_EQ(bands[0]->Top(), 16);
        EXPECT_EQ(bands[1]->Top(), bands[0]->Top() + bands[0]->Height() + 16);
        EXPECT_EQ(bands[2]->Top(), bands[1]->Top() + bands[1]->Height() + 16 + 40);
        EXPECT_EQ(bands[3]->Top(), bands[2]->Top() + bands[2]->Height() + 16 + 40);
        // Bands come first in the list, in their order.
        EXPECT_TRUE(rig.designer.Objects().front()->IsBand());
    }
}

TEST_F(Workspace, EqualTopsReverseAndChildrenFollowParents)
{
    TrpReportPage* page = NewPage();
    auto* first = Add<TrpMasterData>(page, "First", 0, 100, 700, 20);
    auto* second = Add<TrpDetailData>(page, "Second", 0, 100, 700, 30);
    auto* child = Add<TrpChild>(page, "ChildOfFirst", 0, 0, 700, 10);
    first->SetChild(child);
    Rig rig(report);
    rig.workspace->SetGridY(1);
    rig.Show(page, 1, false, gt1cm);
    // Equal keys: the reverse of the list order; the child right after its parent.
    EXPECT_EQ(second->Top(), 0);
    EXPECT_EQ(first->Top(), 30);
    EXPECT_EQ(child->Top(), 50);
}

TEST_F(Workspace, ViewsJoinTheBandTheyLieOn)
{
    TrpReportPage* page = NewPage();
    auto* band = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 40);
    auto* onEdge = Add<TrpMemoView>(page, "OnEdge", 10, 40, 50, 10);
    auto* inside = Add<TrpMemoView>(page, "Inside", 10, 5, 50, 10);
    Rig rig(report);
    rig.Show(page, 1, false);
    EXPECT_EQ(onEdge->Parent(), band);
    EXPECT_EQ(inside->Parent(), band);
    EXPECT_NEAR(onEdge->Top(), 40, 1e-9);

    // Free placement with overlapping bands: the last band of the list takes the view.
    TrpReport other;
    auto* page2 = new TrpReportPage(&other);
    auto* a = new TrpMasterData(page2);
    a->SetName(QStringLiteral("A"));
    a->SetBounds(0, 0, 700, 100);
    auto* b = new TrpDetailData(page2);
    b->SetName(QStringLiteral("B"));
    b->SetBounds(0, 50, 700, 100);
    auto* memo = new TrpMemoView(page2);
    memo->SetName(QStringLiteral("M"));
    memo->SetBounds(0, 60, 10, 10);
    Rig rig2(other);
    rig2.workspace->SetFreeBandsPlacement(true);
    rig2.Show(page2, 1, false);
    EXPECT_EQ(memo->Parent(), b);
    EXPECT_NEAR(memo->Top(), 10, 1e-9);
}

TEST_F(Workspace, ViewsZi3HeaderStandsWhereTheTitleAndGapPutIt)
{
    ASSERT_TRUE(report.LoadFromFile(QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3")));
    Rig rig(report);
    rig.Show(static_cast<TrpPage*>(report.FindObject(u"Page1")));
    EXPECT_NEAR(report.FindObject(u"ReportTitle1")->Top(), 18.89765, 1e-9);
    EXPECT_NEAR(report.FindObject(u"Header1")->Top(), 22 * kMm + 37.7953, 1e-9);
    ShotSheet(rig, QStringLiteral("workspace-views"));
}

// --- painting

TEST_F(Workspace, GridsAtScales)
{
    TrpReportPage* page = NewPage();
    Rig rig(report);
    rig.Show(page, 0.5, false, gt1pt);
    rig.workspace->SetGridX(kMm);
    rig.workspace->SetGridY(kMm);
    EXPECT_EQ(CountRects(Paint(*rig.workspace), QSizeF(0, 0)), 0);
    std::vector<Painted> painted = Paint(*rig.workspace);
    for (const Painted& p : painted)
        EXPECT_NE(p.Op.What, RecordedOperation::Image) << "no dot rows at a step under 2 pixels";
    rig.workspace->SetScale(1);
    int rows = 0;
    for (const Painted& p : Paint(*rig.workspace))
        rows += p.Op.What == RecordedOperation::Image ? 1 : 0;
    EXPECT_GT(rows, 10);

    // Line grid: every 5th line, the 10th darker.
    rig.workspace->SetGridType(gt1cm);
    int light = 0;
    int dark = 0;
    for (const Painted& p : Paint(*rig.workspace)) {
        if (p.Op.What != RecordedOperation::Line)
            continue;
        if (p.Pen == QColor(0xF8, 0xF8, 0xF8))
            ++light;
        else if (p.Pen == QColor(0xE8, 0xE8, 0xE8))
            ++dark;
    }
    // Lines every 5 mm: the 5th ones lighter, the 10th ones in the base colour.
    EXPECT_GT(light, 0);
    EXPECT_GT(dark, 0);
    EXPECT_LE(std::abs(light - dark), 2);
}

TEST_F(Workspace, CaptionStripsHandlesCornerMarksAndEventMarker)
{
    TrpReportPage* page = NewPage();
    auto* data = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 60);
    data->SetRowCount(7);
    auto* header = Add<TrpHeader>(page, "Header1", 0, 100, 700, 60);
    header->OnAfterCalcHeight = QStringLiteral("HeaderCalc");
    auto* framed = Add<TrpMemoView>(data, "Framed", 10, 10, 100, 20);
    framed->Frame().Typ = 15;
    auto* open = Add<TrpMemoView>(data, "Open", 200, 10, 100, 20);
    Rig rig(report);
    rig.Show(page, 1, true);
    std::vector<Painted> painted = Paint(*rig.workspace);
    const QStringList texts = Texts(painted);
    EXPECT_TRUE(texts.contains(QStringLiteral("MasterData"))) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral(": MasterData1")));
    EXPECT_TRUE(texts.contains(QStringLiteral("7")));
    int dataStrips = 0;
    int otherStrips = 0;
    int red = 0;
    int marks = 0;
    for (const Painted& p : painted) {
        if (p.Op.What == RecordedOperation::Rectangle && p.Brush == QColor(0xE0, 0xA7, 0x30))
            ++dataStrips;
        if (p.Op.What == RecordedOperation::Rectangle && p.Brush == QColor(0xF0, 0xF0, 0xF0))
            ++otherStrips;
        if (p.Op.What == RecordedOperation::Line && p.Pen == QColor(Qt::red))
            ++red;
        if (p.Op.What == RecordedOperation::Line && p.Pen == QColor(Qt::black) &&
            p.Op.DevicePoints.size() == 2 && p.Op.DevicePoints[0].x() >= 200 && p.Op.DevicePoints[0].x() <= 300)
            ++marks;
    }
    EXPECT_EQ(dataStrips, 1);
    EXPECT_GE(otherStrips, 0);
    EXPECT_EQ(red, 4) << "the header's marker";
    EXPECT_EQ(marks, 8) << "corner marks only on the memo without a full frame";
    (void)open;

    // Handles: none for a selection of only the page; their side by scale; teal on the
    // scaling object of several.
    EXPECT_EQ(CountRects(Paint(*rig.workspace), QSizeF(5, 5)), 0);
    rig.Select({framed});
    struct Size {
        double scale;
        double side;
    };
    for (const Size& s : {Size{0.5, 3}, Size{1, 5}, Size{2, 7}}) {
        rig.workspace->SetScale(s.scale);
        EXPECT_EQ(CountRects(Paint(*rig.workspace), QSizeF(s.side, s.side)), 8) << s.scale;
    }
    rig.workspace->SetScale(1);
    rig.Select({framed, open});
    EXPECT_EQ(CountRects(Paint(*rig.workspace), QSizeF(5, 5), QColor(0, 0x80, 0x80)), 1);
    EXPECT_EQ(CountRects(Paint(*rig.workspace), QSizeF(5, 5)), 8);
}

// --- mouse

TEST_F(Workspace, GridStepsCarryAndAltInvertsTheGrid)
{
    struct Case {
        const char* name;
        bool gridAlign;
        Qt::KeyboardModifiers modifiers;
        double firstMove;  // units right of the press
        double firstLeft;  // Left after the first move
        double secondMove; // then further right
        double secondLeft;
    };
    const Case cases[] = {
        {"2 units move nothing", true, Qt::NoModifier, 2, 100, 2, 100},
        {"9 units: two steps, the rest carries", true, Qt::NoModifier, 9, 100 + 2 * kMm, 11.5, 100 + 3 * kMm},
        {"Alt with the grid on moves freely", true, Qt::AltModifier, 2, 102, 2.5, 102.5},
        {"Alt with the grid off snaps", false, Qt::AltModifier, 2, 100, 4, 100 + kMm},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TrpReport own;
        auto* page = new TrpReportPage(&own);
        auto* band = new TrpMasterData(page);
        band->SetName(QStringLiteral("MasterData1"));
        band->SetBounds(0, 0, 700, 100);
        // A shape: Alt over a memo would start in-place editing instead.
        auto* memo = new TrpShapeView(band);
        memo->SetName(QStringLiteral("Shape1"));
        memo->SetBounds(100, 10, 50, 20);
        Rig rig(own);
        rig.workspace->SetGridAlign(c.gridAlign);
        rig.Show(page, 1, false);
        const QPointF start(110, 20);
        rig.input->Move(start, c.modifiers);
        rig.input->Press(start, c.modifiers);
        rig.input->DragTo(start + QPointF(c.firstMove, 0), c.modifiers);
        EXPECT_NEAR(memo->Left(), c.firstLeft, 1e-9);
        rig.input->DragTo(start + QPointF(c.secondMove, 0), c.modifiers);
        EXPECT_NEAR(memo->Left(), c.secondLeft, 1e-9);
        rig.input->Release(start + QPointF(c.secondMove, 0), c.modifiers);
        EXPECT_NEAR(memo->Left(), RoundTo8Decimals(c.secondLeft), 1e-12);
        EXPECT_EQ(rig.modified, c.secondLeft != 100 ? 1 : 0);
        ExpectSameAfterReload(own, memo);
    }
}

TEST_F(Workspace, ClicksPickMoveAndShiftToggle)
{
    TrpReportPage* page = NewPage();
    auto* band = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 100);
    auto* a = Add<TrpMemoView>(band, "A", 10, 10, 50, 20);
    auto* b = Add<TrpMemoView>(band, "B", 100, 10, 50, 20);
    Rig rig(report);
    rig.workspace->SetGridAlign(false);
    rig.Show(page, 1, false);

    // A click on a selected object of a multi-selection moves them all.
    rig.Select({a, b});
    rig.input->Drag(QPointF(20, 15), QPointF(30, 25));
    EXPECT_EQ(rig.Selected(), (std::vector<TrpComponent*>{a, b}));
    EXPECT_NEAR(a->Left(), 20, 1e-9);
    EXPECT_NEAR(b->Left(), 110, 1e-9);
    EXPECT_NEAR(b->Top(), 20, 1e-9);
    ExpectSameAfterReload(report, b);

    // Shift+click on the only selected object: the page again, no gesture.
    rig.Select({a});
    rig.input->Click(QPointF(30, 25), Qt::ShiftModifier);
    EXPECT_EQ(rig.Selected(), (std::vector<TrpComponent*>{page}));
    EXPECT_EQ(rig.workspace->Mode(), TrpDesignerWorkspace::dmNone);
    EXPECT_EQ(rig.workspace->SelectionCount(), 0);
}

TEST_F(Workspace, InsertingMemosAndLines)
{
    TrpReportPage* page = NewPage();
    Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 200);
    Rig rig(report);
    rig.workspace->SetGridAlign(false);
    rig.Show(page, 1, false);

    // A click and a 100 x 2 drag both give the default size.
    rig.workspace->SetInsertion(&TrpMemoView::Class(), 80, 16, 0);
    rig.input->Click(QPointF(50, 50));
    EXPECT_NEAR(rig.lastInsertion.Width, 80, 1e-9);
    EXPECT_NEAR(rig.lastInsertion.Height, 16, 1e-9);
    EXPECT_NEAR(rig.lastInsertion.Left, 50, 1e-9);
    rig.workspace->SetInsertion(&TrpMemoView::Class(), 80, 16, 0);
    rig.input->Drag(QPointF(50, 100), QPointF(150, 102));
    EXPECT_NEAR(rig.lastInsertion.Width, 80, 1e-9);
    EXPECT_NEAR(rig.lastInsertion.Height, 16, 1e-9);
    EXPECT_EQ(rig.workspace->DesignMode(), dmSelect);
    ExpectSameAfterReload(report, rig.Selected()[0]);

    // A straight line dragged 30 left and 5 down.
    rig.workspace->SetInsertion(&TrpLineView::Class(), 0, 0, 0);
    EXPECT_EQ(rig.workspace->CursorCode(), crPencil);
    rig.input->Drag(QPointF(100, 150), QPointF(70, 155));
    EXPECT_NEAR(rig.lastInsertion.Left, 70, 1e-9);
    EXPECT_NEAR(rig.lastInsertion.Top, 150, 1e-9);
    EXPECT_NEAR(rig.lastInsertion.Width, 30, 1e-9);
    EXPECT_NEAR(rig.lastInsertion.Height, 5, 1e-9);
    // Lines stay armed for the next one.
    EXPECT_EQ(rig.workspace->DesignMode(), dmInsert);
    EXPECT_EQ(rig.workspace->Mode(), TrpDesignerWorkspace::dmInsertLine);
}

TEST_F(Workspace, SizingTurnsOverAndInheritedViewsStayInTheirBand)
{
    TrpReportPage* page = NewPage();
    auto* band = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 100);
    auto* memo = Add<TrpMemoView>(band, "Memo1", 100, 10, 50, 20);
    auto* inherited = Add<TrpMemoView>(band, "Inherited", 300, 10, 50, 20);
    inherited->SetAncestor(true);
    Rig rig(report);
    rig.workspace->SetGridAlign(false);
    rig.Show(page, 1, false);
    rig.Select({memo});
    // The top-left handle past the right edge.
    rig.input->Move(QPointF(100, 10));
    EXPECT_EQ(rig.workspace->CursorType(), ct1);
    rig.input->Press(QPointF(100, 10));
    rig.input->DragTo(QPointF(170, 12));
    EXPECT_NEAR(memo->Left(), 150, 1e-9);
    EXPECT_NEAR(memo->Width(), 20, 1e-9);
    EXPECT_EQ(rig.workspace->CursorType(), ct3);
    rig.input->Release(QPointF(170, 12));
    ExpectSameAfterReload(report, memo);

    // An inherited memo: the move down past its band is refused, across it applies.
    rig.Select({inherited});
    rig.input->Drag(QPointF(310, 15), QPointF(330, 200));
    EXPECT_NEAR(inherited->Left(), 320, 1e-9);
    EXPECT_NEAR(inherited->Top(), 10, 1e-9);
}

TEST_F(Workspace, RubberBandOverDiagonalLinesAndScaling)
{
    TrpReportPage* page = NewPage();
    auto* band = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 300);
    auto* line = Add<TrpLineView>(band, "Diagonal", 0, 0, 200, 200);
    line->Diagonal = true;
    auto* memo = Add<TrpMemoView>(band, "Memo1", 300, 100, 100, 50);
    auto* memo2 = Add<TrpMemoView>(band, "Memo2", 450, 100, 100, 50);
    Rig rig(report);
    rig.workspace->SetGridAlign(false);
    rig.Show(page, 1, false);
    // A band inside the line's rectangle but off the line: not selected.
    rig.input->Drag(QPointF(150, 10), QPointF(190, 40), Qt::ControlModifier);
    EXPECT_EQ(rig.Selected(), (std::vector<TrpComponent*>{page}));
    // Across the line: selected.
    rig.input->Drag(QPointF(90, 80), QPointF(110, 120), Qt::ControlModifier);
    EXPECT_EQ(rig.Selected(), (std::vector<TrpComponent*>{line}));

    // Scaling two memos by the teal handle doubles the width of the group; no 8-decimal cut.
    rig.Select({memo, memo2});
    rig.input->Move(QPointF(550, 150));
    EXPECT_EQ(rig.workspace->Mode(), TrpDesignerWorkspace::dmScale);
    rig.input->Press(QPointF(550, 150));
    rig.input->DragTo(QPointF(550 + 250.0 / 3, 150));
    rig.input->Release(QPointF(550 + 250.0 / 3, 150));
    const double f = (250 + 250.0 / 3) / 250;
    EXPECT_DOUBLE_EQ(memo2->Left(), (450 - 300) * f + 300);
    EXPECT_DOUBLE_EQ(memo->Width(), 100 * f);
}

TEST_F(Workspace, BandEdgeSizesTheBandAndAutoScroll)
{
    TrpReportPage* page = NewPage();
    auto* band = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 100);
    auto* below = Add<TrpFooter>(page, "Footer1", 0, 200, 700, 40);
    Rig rig(report);
    rig.workspace->SetGridAlign(false);
    rig.workspace->SetGridY(1);
    rig.Show(page, 1, false);
    rig.input->Move(QPointF(300, 100));
    EXPECT_EQ(rig.workspace->Mode(), TrpDesignerWorkspace::dmSizeBand);
    rig.input->Press(QPointF(300, 100));
    rig.input->DragTo(QPointF(300, 130));
    rig.input->Release(QPointF(300, 130));
    EXPECT_NEAR(band->Height(), 130, 1e-9);
    EXPECT_NEAR(below->Top(), 130, 1e-9) << "the next band stacks below";
    ExpectSameAfterReload(report, band);

    // Dragging below the visible area scrolls.
    rig.area->resize(300, 200);
    rig.Select({below});
    rig.input->Move(QPointF(100, 140));
    rig.input->Press(QPointF(100, 140));
    rig.input->DragTo(QPointF(100, 600));
    EXPECT_GT(rig.area->verticalScrollBar()->value(), 0);
    rig.input->Release(QPointF(100, 600));
}

// --- keys

TEST_F(Workspace, ArrowKeysMoveResizeAndSelect)
{
    TrpReportPage* page = NewPage();
    auto* band = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 300);
    auto* p = Add<TrpMemoView>(band, "P", 100, 100, 2, 20);
    auto* right = Add<TrpMemoView>(band, "Right", 300, 100, 50, 20);
    auto* aboveRight = Add<TrpMemoView>(band, "AboveRight", 110, 40, 50, 20);
    Rig rig(report);
    rig.Show(page, 1, false);
    rig.Select({p});
    rig.input->Key(QKeySequence(QStringLiteral("Ctrl+Right")));
    EXPECT_NEAR(p->Left(), 101, 1e-9);
    rig.input->Key(QKeySequence(QStringLiteral("Ctrl+Shift+Right")));
    EXPECT_NEAR(p->Left(), 101 + kMm, 1e-9);
    EXPECT_EQ(rig.modified, 2) << "each key release reports the change";
    // Shift+Left on an object narrower than a grid step keeps its width.
    rig.input->Key(QKeySequence(QStringLiteral("Shift+Left")));
    EXPECT_NEAR(p->Width(), 2, 1e-9);
    // The object directly right beats the nearer one above-right.
    rig.input->Key(Qt::Key_Right);
    EXPECT_EQ(rig.Selected(), (std::vector<TrpComponent*>{right}));
    (void)aboveRight;
    // gtChar: Ctrl+arrow moves by a grid step.
    rig.workspace->SetGridType(gtChar);
    rig.workspace->SetGridX(rp1CharX);
    rig.input->Key(QKeySequence(QStringLiteral("Ctrl+Left")));
    EXPECT_NEAR(right->Left(), 300 - rp1CharX, 1e-9);
}

TEST_F(Workspace, AltArrowDocksWithDotMatrixGaps)
{
    TrpReport dmp;
    auto* page = new TrpDMPPage(&dmp);
    auto* band = new TrpMasterData(page);
    band->SetName(QStringLiteral("MasterData1"));
    band->SetBounds(0, 0, 960, 170);
    auto* p = new TrpDMPMemoView(band);
    p->SetName(QStringLiteral("P"));
    p->SetBounds(0, 0, 96, 17);
    auto* n = new TrpDMPMemoView(band);
    n->SetName(QStringLiteral("N"));
    n->SetBounds(480, 0, 96, 17);
    n->Frame().Typ = SetBit(ftLeft);
    Rig rig(dmp);
    rig.Show(page, 1, false, gtChar);
    rig.Select({p});
    rig.input->Key(Qt::Key_Right, Qt::AltModifier);
    EXPECT_NEAR(p->Left(), 480 - 96 - rp1CharX, 1e-9);
    n->Frame().Typ = 0;
    p->SetLeft(0);
    rig.input->Key(Qt::Key_Right, Qt::AltModifier);
    EXPECT_NEAR(p->Left(), 480 - 96, 1e-9);
}

TEST_F(Workspace, TabWrapsGroupsAndDeletion)
{
    TrpReportPage* page = NewPage();
    auto* band = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 300);
    auto* a = Add<TrpMemoView>(band, "A", 10, 10, 50, 20);
    auto* b = Add<TrpMemoView>(band, "B", 100, 10, 50, 20);
    auto* c = Add<TrpMemoView>(band, "C", 200, 10, 50, 20);
    Rig rig(report);
    rig.Show(page, 1, false);
    rig.Select({c});
    rig.input->Key(Qt::Key_Tab);
    EXPECT_EQ(rig.Selected(), (std::vector<TrpComponent*>{a}));
    rig.input->Key(Qt::Key_Tab);
    EXPECT_EQ(rig.Selected(), (std::vector<TrpComponent*>{b}));

    // Group indexes 1, 2 and 4 in use: the new group is 3.
    a->SetGroupIndex(1);
    b->SetGroupIndex(2);
    band->SetGroupIndex(4);
    rig.Select({c});
    rig.workspace->GroupObjects();
    EXPECT_EQ(c->GroupIndex(), 3);
    // Selecting one member of a group selects all.
    b->SetGroupIndex(3);
    rig.Select({c});
    EXPECT_EQ(rig.Selected(), (std::vector<TrpComponent*>{c, b}));
    rig.workspace->UngroupObjects();
    EXPECT_EQ(b->GroupIndex(), 0);

    // A protected object stays selected; the other goes.
    a->SetRestrictions(SetBit(rfDontDelete));
    rig.Select({a, b});
    rig.input->Key(Qt::Key_Delete);
    EXPECT_EQ(rig.Selected(), (std::vector<TrpComponent*>{a}));
    EXPECT_EQ(report.FindObject(u"B"), nullptr);

    // An inherited object stops the deletion with the system's text.
    c->SetAncestor(true);
    rig.Select({c});
    try {
        rig.workspace->DeleteObjects();
        ADD_FAILURE() << "no exception";
    } catch (const platform::Exception& failure) {
        EXPECT_EQ(failure.Message(), "Could not delete C, it was introduced in the ancestor report");
    }
    EXPECT_NE(report.FindObject(u"C"), nullptr);
}

TEST_F(Workspace, DeletingNestedObjectsEmptiesBothLists)
{
    TrpReportPage* page = NewPage();
    auto* band = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 300);
    auto* outer = Add<TrpMemoView>(band, "Outer", 10, 10, 200, 200);
    auto* middle = Add<TrpMemoView>(outer, "Middle", 10, 10, 100, 100);
    Add<TrpMemoView>(middle, "Inner", 10, 10, 50, 50);
    Rig rig(report);
    rig.Show(page, 1, false);
    const size_t before = rig.designer.Objects().size();
    rig.designer.SelectedObjects() = {band, report.FindObject(u"Inner")};
    rig.workspace->DeleteObjects();
    EXPECT_EQ(rig.designer.Objects().size(), before - 4);
    for (const auto& object : rig.designer.Objects())
        EXPECT_NE(object, nullptr);
    EXPECT_EQ(rig.Selected(), (std::vector<TrpComponent*>{page}));
    EXPECT_EQ(rig.modified, 1);
}

TEST_F(Workspace, InPlaceEditing)
{
    TrpReportPage* page = NewPage();
    auto* band = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 300);
    auto* memo = Add<TrpMemoView>(band, "Memo1", 10, 10, 200, 40);
    memo->Memo().SetText(QStringLiteral("first\r\nsecond\r\n"));
    Rig rig(report);
    rig.Show(page, 1, false);

    // Alt+click opens the editor without the final line break.
    rig.input->Click(QPointF(50, 20), Qt::AltModifier);
    TInplaceMemo* editor = rig.workspace->InplaceMemo();
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->Text(), QStringLiteral("first\nsecond"));
    EXPECT_EQ(editor->geometry(), QRect(10, 10, 201, 41));
    // Leaving without typing leaves the memo alone.
    editor->EditDone();
    EXPECT_EQ(memo->Text(), QStringLiteral("first\r\nsecond\r\n"));
    EXPECT_EQ(rig.modified, 0);

    // Escape discards what was typed.
    rig.input->Click(QPointF(50, 20), Qt::AltModifier);
    rig.input->Type(QStringLiteral("new"));
    rig.input->Key(Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(memo->Text(), QStringLiteral("first\r\nsecond\r\n"));

    // Typed text is written back when the editor ends.
    rig.input->Click(QPointF(50, 20), Qt::AltModifier);
    rig.input->Type(QStringLiteral("new"));
    Shot(rig.window, QStringLiteral("workspace-inplace"));
    rig.input->Click(QPointF(500, 200));
    EXPECT_EQ(memo->Text(), QStringLiteral("new\r\n"));
    EXPECT_EQ(rig.modified, 1);
}

// --- tools, guides, drops

TEST_F(Workspace, ZoomToolSteps)
{
    TrpReportPage* page = NewPage();
    Rig rig(report);
    rig.Show(page, 0.5, false);
    rig.workspace->SetTool(dtZoom);
    rig.input->Click(QPointF(100, 100), Qt::NoModifier, Qt::RightButton);
    EXPECT_DOUBLE_EQ(rig.workspace->Scale(), 0.25);
    rig.input->Click(QPointF(100, 100), Qt::NoModifier, Qt::RightButton);
    EXPECT_DOUBLE_EQ(rig.workspace->Scale(), 0.25);
    // A 5 x 50 rectangle is a click: one step up.
    rig.input->Drag(QPointF(100, 100), QPointF(100 + 5 / 0.25, 100 + 50 / 0.25));
    EXPECT_DOUBLE_EQ(rig.workspace->Scale(), 0.5);
}

TEST_F(Workspace, FormatPainterCopiesTheLook)
{
    TrpReportPage* page = NewPage();
    auto* band = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 300);
    auto* source = Add<TrpMemoView>(band, "Source", 10, 10, 100, 20);
    source->Color = 0x00FF00;
    source->HAlign = haRight;
    source->Frame().Typ = 15;
    source->Font().SetName(QStringLiteral("Courier New"));
    auto* target = Add<TrpMemoView>(band, "Target", 200, 10, 100, 20);
    Rig rig(report);
    rig.Show(page, 1, false);
    rig.Select({source});
    rig.workspace->SetTool(dtFormat);
    rig.input->Click(QPointF(250, 20));
    EXPECT_EQ(target->Color, 0x00FF00);
    EXPECT_EQ(target->HAlign, haRight);
    EXPECT_EQ(target->Frame().Typ, 15u);
    EXPECT_EQ(target->Font().Name(), QStringLiteral("Courier New"));
    EXPECT_EQ(rig.modified, 1);
}

TEST_F(Workspace, GuidesSnapDeleteAndAlignmentLines)
{
    TrpReportPage* page = NewPage();
    page->SetVGuides({QStringLiteral("200"), QStringLiteral("600,5")});
    auto* band = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 300);
    auto* memo = Add<TrpMemoView>(band, "Memo1", 100, 50, 50, 20);
    auto* other = Add<TrpMemoView>(band, "Other", 300, 150, 50, 20);
    Rig rig(report);
    rig.workspace->SetGridAlign(false);
    rig.Show(page, 1, false);
    rig.workspace->SetShowGuides(true);
    EXPECT_EQ(rig.workspace->VerticalGuides(), (std::vector<double>{200, 600.5}));

    // Moving the memo's right edge within 6 units of the guide snaps it there.
    rig.Select({memo});
    rig.input->Move(QPointF(120, 60));
    rig.input->Press(QPointF(120, 60));
    rig.input->DragTo(QPointF(167, 60));
    EXPECT_NEAR(memo->Left() + memo->Width(), 200, 1e-9);
    // An edge that meets another object's edge shows an alignment line.
    rig.input->DragTo(QPointF(370, 60));
    const TrpVirtualGuides& lines = rig.workspace->VirtualGuides();
    ASSERT_GT(lines.Count(), 0);
    EXPECT_NEAR(lines.Items(0).Left, 350, 1e-9);
    Shot(rig.window, QStringLiteral("workspace-alignment-lines"));
    rig.input->Release(QPointF(370, 60));
    (void)other;

    // A guide dragged to x = 2 goes on release; guides are written in the C locale.
    rig.Select({page});
    rig.input->Move(QPointF(201, 280));
    EXPECT_EQ(rig.workspace->Mode(), TrpDesignerWorkspace::dmMoveGuide);
    rig.input->Press(QPointF(201, 280));
    rig.input->DragTo(QPointF(3, 280));
    rig.input->Release(QPointF(3, 280));
    EXPECT_EQ(page->VGuides(), QStringList{QStringLiteral("600,5")});
    // Dropping from the left ruler adds one.
    TrpRuler ruler(nullptr, true);
    rig.workspace->DropFrom(&ruler, 250.5, 10);
    EXPECT_EQ(page->VGuides(), (QStringList{QStringLiteral("600,5"), QStringLiteral("250.5")}));
}

TEST_F(Workspace, FieldsDroppedFromTheDataTreeAndTheDropDown)
{
    TrpReportPage* page = NewPage();
    auto* band = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 300);
    TrpUserDataSet orders;
    orders.SetUserName(QStringLiteral("Orders"));
    orders.SetFields({QStringLiteral("Total"), QStringLiteral("Сумма")});
    report.DataSets().Add(&orders);
    band->SetDataSet(&orders);
    Rig rig(report);
    TrpDataTreeForm tree(nullptr, true);
    tree.SetReport(&report);
    tree.UpdateItems();
    rig.host.Tree = &tree;
    rig.workspace->SetGridAlign(false);
    rig.Show(page, 1, false);

    // A Cyrillic field with its caption: "MemoN" names, the caption right above the field.
    const QList<QTreeWidgetItem*> found =
        tree.DataTree->findItems(QStringLiteral("Сумма"), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_FALSE(found.isEmpty());
    tree.DataTree->setCurrentItem(found.first());
    tree.InsCaptionCB->setChecked(true);
    ASSERT_TRUE(rig.workspace->DragOverFrom(tree.DataTree, 108, 108));
    rig.workspace->DropFrom(tree.DataTree, 108, 108);
    const std::vector<TrpComponent*> made = rig.Selected();
    ASSERT_EQ(made.size(), 2u);
    auto* field = static_cast<TrpMemoView*>(made[0]);
    auto* caption = static_cast<TrpMemoView*>(made[1]);
    EXPECT_TRUE(field->Name().startsWith(QStringLiteral("Memo"))) << field->Name().toStdString();
    EXPECT_EQ(field->DataField, QStringLiteral("Сумма"));
    EXPECT_EQ(field->DataSet(), &orders);
    EXPECT_EQ(caption->Text(), QStringLiteral("Сумма\r\n"));
    EXPECT_NEAR(caption->AbsTop() + caption->Height(), field->AbsTop(), 1e-9);
    EXPECT_EQ(field->Parent(), band);
    EXPECT_EQ(rig.host.Inserted, caption);

    // The drop-down of a memo on the data band binds another field.
    rig.Select({page});
    rig.input->Move(QPointF(field->Left() + 10, field->AbsTop() + 5));
    ASSERT_EQ(rig.workspace->DropDownMemo(), field);
    ShotSheet(rig, QStringLiteral("workspace-field-button"));
    rig.input->Click(QPointF(field->Left() + field->Width() - 5, field->AbsTop() + 5));
    ASSERT_TRUE(rig.workspace->PopupFormVisible());
    ASSERT_NE(rig.workspace->FieldList(), nullptr);
    EXPECT_EQ(rig.workspace->FieldList()->currentRow(), 1);
    Shot(*rig.workspace->FieldList()->window(), QStringLiteral("workspace-field-dropdown"));
    rig.workspace->ChooseField(0);
    EXPECT_EQ(field->DataField, QStringLiteral("Total"));
    report.DataSets().Clear();
}

TEST_F(Workspace, EscapeAfterPasteDeletesThePastedObjects)
{
    TrpReportPage* page = NewPage();
    auto* band = Add<TrpMasterData>(page, "MasterData1", 0, 0, 700, 300);
    auto* pasted = Add<TrpMemoView>(band, "Pasted", 10, 10, 50, 20);
    Rig rig(report);
    rig.Show(page, 1, false);
    rig.Select({pasted});
    rig.workspace->SimulateMove();
    EXPECT_TRUE(rig.workspace->SimulatingMove());
    rig.input->Key(Qt::Key_Escape);
    EXPECT_EQ(report.FindObject(u"Pasted"), nullptr);
    EXPECT_FALSE(rig.workspace->SimulatingMove());
}

TEST_F(Workspace, ScreenshotsOfADeviceReport)
{
    report.ReportOptions().HiddenPassword = QStringLiteral("secret");
    ASSERT_TRUE(report.LoadFromFile(QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/device-like.zi3")));
    TrpReportPage* page = nullptr;
    for (int i = 0; i < report.PagesCount() && page == nullptr; ++i)
        page = dynamic_cast<TrpReportPage*>(report.Pages(i));
    ASSERT_NE(page, nullptr);
    for (double scale : {1.0, 2.0}) {
        Rig rig(report);
        rig.Show(page, scale);
        rig.workspace->SetShowGuides(true);
        page->SetHGuides({QStringLiteral("300")});
        std::vector<TrpComponent*> views;
        for (const auto& object : rig.designer.Objects())
            if (object != nullptr && object->IsView())
                views.push_back(object.data());
        ASSERT_GE(views.size(), 2u);
        rig.Select({views[0], views[1]});
        ShotSheet(rig, QStringLiteral("workspace-device-selection-%1").arg(scale));
        rig.input->Move(QPointF(600, 400));
        rig.input->Press(QPointF(600, 400), Qt::ControlModifier);
        rig.input->DragTo(QPointF(800, 500), Qt::ControlModifier);
        ShotSheet(rig, QStringLiteral("workspace-device-rubber-band-%1").arg(scale));
        rig.input->Release(QPointF(800, 500), Qt::ControlModifier);
        rig.workspace->SetInsertion(&TrpMemoView::Class(), 80, 16, 0);
        rig.input->Move(QPointF(300, 600));
        rig.input->Press(QPointF(300, 600));
        rig.input->DragTo(QPointF(420, 640));
        ShotSheet(rig, QStringLiteral("workspace-device-insertion-%1").arg(scale));
        rig.input->Release(QPointF(420, 640));
        page->SetHGuides({});
    }
}

} // namespace
