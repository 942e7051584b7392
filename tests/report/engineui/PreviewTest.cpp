// The preview offscreen: the page layout, the scrolling area, the preview control with its
// zoom, navigation, editing and search, the preview window's buttons, zoom box and status, a
// report run through the real engine into the window, and the small report windows.

#include "CsvDataSet.h"
#include "EngineTestSupport.h"

#include "report/engine/EngineRuntime.h"
#include "report/engine/ui/EngineUi.h"
#include "report/engine/ui/rpCtrls.h"
#include "report/engine/ui/rpPreview.h"
#include "report/engine/ui/rpPreviewForm.h"
#include "report/engine/ui/rpProgress.h"
#include "report/model/rpClass_exportfilter.h"
#include "report/model/rpClass_ini.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpRes.h"
#include "report/script/ScriptedUi.h"
#include "report/script/ui/QtUiService.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QRadioButton>
#include <QFile>
#include <QToolButton>
#include <QTreeWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

QString Res(const char16_t* name)
{
    return GetResourcesInstance().Get(QStringView(name));
}

// The user: recorded message boxes, a modal seam handing the window to `onModal`.
struct User {
    explicit User(QStringList answers = {}) : ui(std::move(answers)) { ReportServices::SetUi(&ui); }
    ~User() { ReportServices::SetUi(nullptr); }
    ScriptedUi ui;
};

// A store of `pages` pages with one memo line per row, shown in a preview of 600 × 500.
struct ShownStore {
    explicit ShownStore(int pages, int rows = 3)
    {
        EngineUi::init();
        TrpReportPage* page = AddRowsPage(prepared.Report());
        FillRows(prepared, page, pages, rows);
        preview.resize(600, 500);
        preview.show();
        prepared.Report().SetPreview(&preview);
        QApplication::processEvents();
    }
    PreparedReport prepared;
    TrpPreview preview;
};

} // namespace

// --- page layout ---------------------------------------------------------------------------

TEST(PageList, RowsAreCentredAndWidePagesStartAtTen)
{
    TrpPageList list;
    for (int i = 0; i < 3; ++i)
        list.AddPage(100, 150, 1);
    list.CalcBounds(250);
    // Row 1: two pages, width 220, c = (250 − 220 + 10) div 2 + 10 = 30.
    EXPECT_EQ(list.Item(0).OffsetX, 30);
    EXPECT_EQ(list.Item(1).OffsetX, 140);
    EXPECT_EQ(list.Item(0).OffsetY, 10);
    EXPECT_EQ(list.Item(1).OffsetY, 10);
    EXPECT_EQ(list.Item(2).OffsetY, 170);
    EXPECT_EQ(list.GetMaxBounds(), QPoint(220, 320));

    TrpPageList wide;
    wide.AddPage(400, 100, 1);
    wide.CalcBounds(250);
    EXPECT_EQ(wide.Item(0).OffsetX, 10);

    // Past the list: the A4-sized default, centred.
    EXPECT_EQ(list.GetPageBounds(5, 1000, 1, false), QRect(QPoint(103, 10), QPoint(897, 1133)));
    EXPECT_EQ(list.GetPageBounds(5, 500, 1, false).left(), 10);
}

TEST(PageList, APageBecomesCurrentOnceAFifthOfItIsAboveTheViewTop)
{
    for (const auto& [height, current] : std::vector<std::pair<int, int>>{{48, 1}, {47, 0}}) {
        TrpPageList list;
        list.AddPage(100, height, 1);
        list.AddPage(100, height, 1);
        list.CalcBounds(100);
        const int secondTop = list.Item(1).OffsetY;
        EXPECT_EQ(list.FindPage(secondTop - 10, 0), current) << height;
    }
}

// --- shared controls -------------------------------------------------------------------------

TEST(ScrollWin, PositionsClampToRangeMinusPage)
{
    TrpScrollWin area;
    area.SetHorzRange(100);
    area.SetHorzPage(30);
    area.SetHorzPosition(500);
    EXPECT_EQ(area.HorzPosition(), 70);
    area.SetHorzPage(200);
    area.SetHorzPosition(50);
    EXPECT_EQ(area.HorzPosition(), 0);
    area.SetVertRange(10);
    area.SetVertPage(0);
    area.SetVertPosition(-5);
    EXPECT_EQ(area.VertPosition(), 0);
}

TEST(ScrollWin, MixColorsPerChannel)
{
    struct Case {
        TColor a, b;
        int amount;
        TColor expected;
    };
    const Case cases[] = {
        {RGBColor(255, 0, 0), RGBColor(0, 0, 255), 50, RGBColor(128, 0, 128)},
        {RGBColor(200, 100, 0), RGBColor(0, 0, 0), 30, RGBColor(60, 30, 0)},
        {RGBColor(255, 255, 255), RGBColor(0, 0, 0), 500, RGBColor(128, 128, 128)},
        {RGBColor(10, 20, 30), RGBColor(40, 50, 60), 0, RGBColor(40, 50, 60)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MixColors(c.a, c.b, c.amount), c.expected) << c.amount;
}

namespace {

// A settings home of its own for as long as it lives.
struct TemporaryHome {
    TemporaryHome() : old(qgetenv("DAXCONFIG_HOME")) { qputenv("DAXCONFIG_HOME", dir.path().toLocal8Bit()); }
    ~TemporaryHome() { qputenv("DAXCONFIG_HOME", old); }
    QTemporaryDir dir;
    QByteArray old;
};

QString Mru(int n)
{
    return CreateRegistryIniFile(QStringLiteral("\\Software\\Zuvo Dideziz"))
        ->ReadString(QStringLiteral("MRUFont"), QStringLiteral("Font%1").arg(n), QStringLiteral("?"));
}

} // namespace

TEST(FontCombo, RecentFontsKeepFiveAndForgetUninstalledOnes)
{
    TemporaryHome home;
    const std::unique_ptr<TrpIniFile> ini = CreateRegistryIniFile(QStringLiteral("\\Software\\Zuvo Dideziz"));
    ini->WriteString(QStringLiteral("MRUFont"), QStringLiteral("Font2"), QStringLiteral("No Such Font Family"));
    ini->WriteInteger(QStringLiteral("MRUFont"), QStringLiteral("FontType2"), 4);
    TrpFontComboBox combo;
    EXPECT_EQ(combo.Numused(), -1);
    EXPECT_EQ(Mru(2), QString());
    ASSERT_GE(combo.count(), 1);

    // Item 0 (already first) writes nothing.
    const QString store = home.dir.filePath(QStringLiteral("registry.json"));
    const QByteArray before = ReadFileBytes(store);
    combo.SelectItem(0);
    EXPECT_EQ(ReadFileBytes(store), before);

    const int distinct = std::min(6, combo.count() - 1);
    if (distinct < 6)
        GTEST_SKIP() << "fewer than seven font families installed";
    QStringList chosen;
    for (int i = 0; i < 6; ++i) {
        // The first family not chosen yet, below the recent ones.
        const int index = combo.Numused() + 1 + i;
        chosen << combo.itemText(index);
        combo.SelectItem(index);
    }
    EXPECT_EQ(combo.Numused(), 4);
    EXPECT_EQ(Mru(0), chosen[5]);
    EXPECT_EQ(Mru(4), chosen[1]); // the oldest, chosen[0], is gone
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(Mru(i), chosen[0]);
    // Choosing a recent one moves it to the top.
    combo.SelectItem(3);
    EXPECT_EQ(Mru(0), chosen[2]);
    EXPECT_EQ(Mru(1), chosen[5]);
}

TEST(ComboEdit, EnterAndEscReachTheDialogAndTheButtonClicks)
{
    QDialog dialog;
    auto* edit = new TrpComboEdit(&dialog);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    int accepted = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++accepted; });
    int buttonClicks = 0;
    edit->OnButtonClick = [&] { ++buttonClicks; };
    dialog.show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(accepted, 1);
    QTest::mouseClick(edit->Button(), Qt::LeftButton);
    EXPECT_EQ(buttonClicks, 1);
    edit->setEnabled(false);
    EXPECT_FALSE(edit->Button()->isEnabled());
    edit->setEnabled(true);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

// --- the preview control -------------------------------------------------------------------

TEST(PreviewControl, PageNumbersClampAndAnEmptyPreviewShowsNone)
{
    User user;
    ShownStore shown(12);
    TrpPreview& preview = shown.preview;
    ASSERT_EQ(preview.PageCount(), 12);
    preview.SetPageNo(0);
    EXPECT_EQ(preview.PageNo(), 1);
    preview.SetPageNo(1000);
    EXPECT_EQ(preview.PageNo(), 12);

    TrpPreview empty;
    empty.SetPageNo(5);
    EXPECT_EQ(empty.PageNo(), 0);
}

TEST(PreviewControl, ZoomKeepsItsFloors)
{
    User user;
    ShownStore shown(2);
    TrpPreview& preview = shown.preview;
    preview.SetZoom(0.1);
    EXPECT_DOUBLE_EQ(preview.Zoom(), 0.25);
    for (int i = 0; i < 5; ++i)
        preview.MouseWheelScroll(-120, false, true);
    EXPECT_DOUBLE_EQ(preview.Zoom(), 0.3);
    preview.MouseWheelScroll(120, false, true);
    EXPECT_NEAR(preview.Zoom(), 0.4, 1e-9);
}

TEST(PreviewControl, DeletingPagesMovesBack)
{
    User user;
    {
        ShownStore shown(3);
        shown.preview.SetPageNo(3);
        shown.preview.DeletePage();
        EXPECT_EQ(shown.preview.PageCount(), 2);
        EXPECT_EQ(shown.preview.PageNo(), 2);
    }
    {
        ShownStore shown(3);
        shown.preview.SetPageNo(2);
        shown.preview.DeletePage();
        EXPECT_EQ(shown.preview.PageNo(), 1);
    }
}

TEST(PreviewControl, WholePageOfALandscapePageInATallWindowFitsTheWidth)
{
    User user;
    PreparedReport prepared = BuildPaperStore({PaperPage{kPaperA4, poLandscape}});
    TrpPreview preview;
    preview.resize(400, 900);
    preview.show();
    prepared.Report().SetPreview(&preview);
    preview.SetZoomMode(zmWholePage);
    const QPoint size = prepared.Store().GetPageSize(0);
    ASSERT_GT(size.x(), size.y());
    EXPECT_LE(size.x() * preview.Zoom(), preview.Workspace()->viewport()->width());
    EXPECT_LT(size.y() * preview.Zoom(), 900 / 2);
}

TEST(PreviewControl, CtrlPWithoutThePrintButtonDoesNothing)
{
    User user;
    ShownStore shown(2);
    shown.prepared.Report().PreviewOptions().Buttons &= ~(1u << pbPrint);
    int printed = 0;
    shown.prepared.Report().OnPrintReport = [&](TrpReport&) { ++printed; };
    QTest::keyClick(&shown.preview, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(printed, 0);
    EXPECT_TRUE(user.ui.Prompts.empty());
}

TEST(PreviewControl, ABadFileKeepsTheShownPages)
{
    User user;
    ShownStore shown(4);
    shown.preview.SetPageNo(3);
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.zp3"));
    WriteFileBytes(bad, "not a prepared report");
    EXPECT_ANY_THROW(shown.preview.LoadFromFile(bad));
    EXPECT_EQ(shown.preview.PageCount(), 4);
    EXPECT_EQ(shown.preview.PageNo(), 3);
    EXPECT_FALSE(shown.preview.Locked());
}

TEST(PreviewControl, SavedAndLoadedThroughTheFileDialogs)
{
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("saved.prn"));
    const QString saved = dir.filePath(QStringLiteral("saved.zp3"));
    User user({QStringLiteral("ok ") + chosen, QStringLiteral("ok ") + saved});
    ShownStore shown(5);
    shown.preview.SaveToFile();
    ASSERT_TRUE(QFile::exists(saved)); // the extension becomes ".zp3"
    EXPECT_FALSE(QFile::exists(chosen));

    ShownStore other(2);
    other.preview.SetPageNo(2);
    other.preview.LoadFromFile();
    EXPECT_EQ(other.preview.PageCount(), 5);
    EXPECT_EQ(other.preview.PageNo(), 1);
    EXPECT_EQ(user.ui.Prompts.at(0).Kind, QStringLiteral("SaveDialog"));
    EXPECT_EQ(user.ui.Prompts.at(1).Kind, QStringLiteral("OpenDialog"));
}

TEST(PreviewControl, PageSettingsChangeTheCurrentPage)
{
    User user;
    ShownStore shown(3);
    shown.preview.SetPageNo(2);
    const QPoint before = shown.prepared.Store().GetPageSize(1);
    user.ui.OnModal = [](QObject& dialog, const QString&) {
        auto* landscape = dialog.findChild<QRadioButton*>(QStringLiteral("LandscapeRB"));
        EXPECT_NE(landscape, nullptr);
        if (landscape == nullptr)
            return int(mrCancel);
        landscape->click();
        return int(mrOk);
    };
    shown.preview.PageSetupDlg();
    const QPoint after = shown.prepared.Store().GetPageSize(1);
    EXPECT_EQ(after, QPoint(before.y(), before.x()));
    EXPECT_EQ(shown.prepared.Store().GetPageSize(0), before);
}

// --- search --------------------------------------------------------------------------------

TEST(PreviewSearch, FindsWithoutCaseThenGoesOnAndReportsTheEnd)
{
    User user;
    ShownStore shown(3, 2); // "Row P.R"
    TrpPreview& preview = shown.preview;
    ASSERT_TRUE(preview.FindText(QStringLiteral("row 1."), true, false));
    EXPECT_EQ(preview.PageNo(), 1);
    const QRectF first = preview.Workspace()->FoundRect();
    preview.FindNext(); // Row 1.2, later on the same page
    EXPECT_EQ(preview.Workspace()->FoundPage(), 0);
    EXPECT_GT(preview.Workspace()->FoundRect().top(), first.top());
    preview.FindNext(); // nothing left
    EXPECT_FALSE(preview.FindTextFound());
    EXPECT_EQ(user.ui.Messages, QStringList{Res(u"clStrNotFound")});

    ASSERT_TRUE(preview.FindText(QStringLiteral("Row 2.2"), true, true));
    EXPECT_EQ(preview.PageNo(), 2);
    preview.FindNext();
    EXPECT_FALSE(preview.FindTextFound());
    EXPECT_FALSE(preview.FindText(QString(), true, false));
}

TEST(PreviewSearch, CyrillicIgnoresCaseAndTwoPreviewsSearchApart)
{
    User user;
    // Page 1 "Row 1.1", page 2 "абв где".
    const auto build = [](ShownStore& shown) {
        TrpPreviewPages& store = shown.prepared.Store();
        TrpReportPage* page = dynamic_cast<TrpReportPage*>(shown.prepared.Report().FindObject(u"Page1"));
        auto* band = dynamic_cast<TrpBand*>(page->FindObject(u"MasterData1"));
        auto* memo = dynamic_cast<TrpCustomMemoView*>(page->FindObject(u"Row"));
        shown.prepared.Engine().Running = true;
        store.Initialize();
        store.AddSourcePage(page);
        store.BeginPass();
        store.AddPageAction = apAdd;
        for (const QString& text : {QStringLiteral("Row 1.1"), QStringLiteral("абв где")}) {
            store.AddPage(page);
            PrintBand(store, *band, 0, [&] { memo->SetText(text); });
        }
        store.Finish();
        shown.prepared.Engine().Running = false;
        shown.preview.Init();
    };
    ShownStore one(1, 1);
    ShownStore two(1, 1);
    build(one);
    build(two);
    ASSERT_EQ(one.preview.PageCount(), 2);
    ASSERT_TRUE(one.preview.FindText(QStringLiteral("АБВ"), true, false));
    EXPECT_EQ(one.preview.PageNo(), 2);
    EXPECT_FALSE(one.preview.FindText(QStringLiteral("АБВ"), true, true)); // case-sensitive
    ASSERT_TRUE(one.preview.FindText(QStringLiteral("ГДЕ"), true, false));
    // The other preview's search is its own.
    ASSERT_TRUE(two.preview.FindText(QStringLiteral("row"), true, false));
    EXPECT_EQ(two.preview.Workspace()->FoundPage(), 0);
    EXPECT_EQ(one.preview.Workspace()->FoundPage(), 1);
    EXPECT_TRUE(one.preview.FindTextFound());
}

TEST(PreviewMouse, TwoQuickClicksAreOneClickAndOneDoubleClick)
{
    User user;
    ShownStore shown(1, 1);
    QStringList calls;
    shown.prepared.Report().OnClickObject = [&](TrpView&, int32_t, uint32_t, bool&) { calls << QStringLiteral("click"); };
    shown.prepared.Report().OnDblClickObject = [&](TrpView&, int32_t, uint32_t, bool&) { calls << QStringLiteral("double"); };
    TrpPreviewWorkspace* area = shown.preview.Workspace();
    const TrpPageItem& item = area->PageList().Item(0);
    // Inside the memo at the page's top-left margin (10 mm).
    const QPoint point(item.OffsetX - area->HorzPosition() + 45, item.OffsetY - area->VertPosition() + 45);
    QTest::mouseClick(area->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseClick(area->viewport(), Qt::LeftButton, {}, point);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("click"), QStringLiteral("double")}));
}

// --- the window ----------------------------------------------------------------------------

namespace {

// A filter of the class the quick PDF button looks for.
class QuickPdfFilter : public TrpCustomExportFilter {
public:
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TrpPDFExport"), &TrpCustomExportFilter::Class()};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    QString GetDescription() const override { return QStringLiteral("PDF"); }
    void ExportObject(TrpComponent*) override {}
};

struct ShownWindow {
    explicit ShownWindow(int pages, TrpPreviewButtons buttons = kDefaultPreviewButtons)
    {
        EngineUi::init();
        TrpReportPage* page = AddRowsPage(prepared.Report());
        FillRows(prepared, page, pages, 3);
        prepared.Report().PreviewOptions().Buttons = buttons;
        prepared.Report().SetPreview(form.PreviewControl());
        form.Initialize(false);
        form.show();
        QApplication::processEvents();
    }
    PreparedReport prepared;
    TrpPreviewForm form;
};

} // namespace

TEST(PreviewWindow, WithoutZoomTheZoomPartsAreHidden)
{
    User user;
    ShownWindow shown(2, kDefaultPreviewButtons & ~(1u << pbZoom));
    for (const char* name : {"ZoomPlusB", "ZoomMinusB", "Sep3", "FullScreenBtn", "Sep1"})
        EXPECT_FALSE(shown.form.Button(QString::fromLatin1(name))->isVisible()) << name;
    EXPECT_TRUE(shown.form.Button(QStringLiteral("PrintB"))->isVisible());
}

TEST(PreviewWindow, ExportMenuAndQuickPdf)
{
    User user;
    GetExportFilterRegistry().Clear();
    {
        ShownWindow shown(2);
        EXPECT_FALSE(shown.form.Button(QStringLiteral("ExportB"))->isVisible());
    }
    QuickPdfFilter filter;
    ShownWindow shown(2, kDefaultPreviewButtons | (1u << pbExportQuick));
    EXPECT_TRUE(shown.form.Button(QStringLiteral("ExportB"))->isVisible());
    EXPECT_TRUE(shown.form.Button(QStringLiteral("PdfB"))->isVisible());
    ASSERT_NE(shown.form.findChild<QMenu*>(QStringLiteral("ExportPopup")), nullptr);
    EXPECT_EQ(shown.form.findChild<QMenu*>(QStringLiteral("ExportPopup"))->actions().value(0)->text(),
              QStringLiteral("PDF..."));
}

TEST(PreviewWindow, ZoomBoxReadsPercentagesAndItems)
{
    User user;
    ShownWindow shown(2);
    auto* zoom = shown.form.findChild<QComboBox*>(QStringLiteral("ZoomCB"));
    ASSERT_NE(zoom, nullptr);
    zoom->setEditText(QStringLiteral("150 %"));
    shown.form.ZoomCBClick();
    EXPECT_DOUBLE_EQ(shown.form.PreviewControl()->Zoom(), 1.5);
    zoom->setEditText(QStringLiteral("abc"));
    shown.form.ZoomCBClick();
    EXPECT_DOUBLE_EQ(shown.form.PreviewControl()->Zoom(), 1.5);
    QApplication::processEvents();
    EXPECT_EQ(zoom->currentText(), QStringLiteral("150%"));
    zoom->setCurrentIndex(6);
    shown.form.ZoomCBClick();
    EXPECT_EQ(shown.form.PreviewControl()->ZoomMode(), zmPageWidth);
}

TEST(PreviewWindow, ContextMenuMirrorsButtonsAndHasNoDrillDownItems)
{
    User user;
    ShownWindow shown(2);
    QMenu* menu = shown.form.RightMenu();
    EXPECT_FALSE(shown.form.findChild<QAction*>(QStringLiteral("CollapseMI"))->isVisible());
    EXPECT_FALSE(shown.form.findChild<QAction*>(QStringLiteral("ExpandMI"))->isVisible());
    QStringList mirrored;
    for (QAction* action : menu->actions()) {
        if (action->objectName().endsWith(u'B') || action->objectName() == QLatin1String("FullScreenBtn")) {
            mirrored << action->objectName();
            EXPECT_EQ(action->isEnabled(), shown.form.Button(action->objectName())->isEnabled());
        }
    }
    EXPECT_TRUE(mirrored.contains(QStringLiteral("PrintB")));
    EXPECT_TRUE(mirrored.contains(QStringLiteral("FullScreenBtn")));
    EXPECT_FALSE(mirrored.contains(QStringLiteral("FirstB")));
}

TEST(PreviewWindow, ClosePreviewCalledOnce)
{
    User user;
    ShownWindow shown(2);
    int closed = 0;
    shown.prepared.Report().OnClosePreview = [&](TrpReport&, QObject* window) {
        EXPECT_EQ(window, &shown.form);
        ++closed;
    };
    shown.form.close();
    shown.form.close();
    EXPECT_EQ(closed, 1);
}

TEST(PreviewWindow, AModelessPreviewFreesItselfWhenClosed)
{
    User user;
    EngineUi::init();
    PreparedReport prepared = BuildPaperStore({PaperPage{}, PaperPage{}});
    prepared.Report().PreviewOptions().Modal = false;
    prepared.Report().ShowPreparedReport();
    auto* control = dynamic_cast<TrpPreview*>(prepared.Report().Preview());
    ASSERT_NE(control, nullptr);
    QPointer<QWidget> window = control->window();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(control->PageCount(), 2);
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(prepared.Report().Preview(), nullptr);
}

TEST(PreviewWindow, AModalPreviewThroughTheQtServiceReallyShows)
{
    EngineUi::init();
    QtUiService ui;
    TrpPreviewForm form;
    bool visible = false;
    QTimer::singleShot(0, &form, [&] {
        visible = form.isVisible() && form.isModal();
        form.close();
    });
    ui.RunModal(form, form.objectName());
    EXPECT_TRUE(visible);
    EXPECT_FALSE(form.isVisible());
}

// --- a report run into the window -------------------------------------------------------------

namespace {

QByteArray Rows(int count)
{
    QByteArray text = "N\n";
    for (int i = 1; i <= count; ++i)
        text += QByteArray::number(i) + '\n';
    return text;
}

struct RunFixture {
    explicit RunFixture(int rows)
    {
        data.LoadFromText(Rows(rows), QStringLiteral("rows"));
        data.SetUserName(QStringLiteral("Rows"));
        report.EngineOptions().NewSilentMode = simSilent;
        report.LoadFromFile(kEngineData + QStringLiteral("reports/list.zi3"));
        TrpReportDataSets& list = report.DataSets();
        for (int i = 0; i < list.Count(); ++i)
            list.Items(i)->SetDataSet(&data);
        report.PreviewOptions().Modal = true;
        report.PreviewOptions().Maximized = false;
    }
    // The engine and the windows are registered before the report is made.
    bool initialized = (EngineUi::init(), true);
    User user;
    TrpCsvDataSet data;
    TrpReport report;
};

} // namespace

TEST(PreviewRun, PagesAppearDuringTheRunAndTheStatusCountsThemAfter)
{
    RunFixture run(12 * 48 - 10);
    int most = 0;
    bool onlyNavigation = true;
    QString status;
    TrpPreviewForm* shown = nullptr;
    run.user.ui.OnInputEvents = [&] {
        if (shown == nullptr || !shown->PreviewControl()->Running())
            return;
        most = std::max(most, shown->PreviewControl()->Workspace()->PageList().Count());
        for (const char* name : {"PrintB", "OpenB", "SaveB", "FindB", "PageSettingsB", "DesignerB"})
            onlyNavigation = onlyNavigation && !shown->Button(QString::fromLatin1(name))->isEnabled();
        onlyNavigation = onlyNavigation && shown->Button(QStringLiteral("NextB"))->isEnabled();
        // Closing is refused while pages are built.
        shown->close();
        EXPECT_TRUE(shown->isVisible());
    };
    run.user.ui.OnModal = [&](QObject& window, const QString&) {
        shown = dynamic_cast<TrpPreviewForm*>(&window);
        EXPECT_NE(shown, nullptr);
        if (shown == nullptr)
            return int(mrNone);
        shown->show();
        run.report.PrepareTimerTick();
        status = shown->findChild<QLabel*>(QStringLiteral("StatusPanel0"))->text();
        EXPECT_EQ(shown->PreviewControl()->PageCount(), 12);
        return int(mrNone);
    };
    run.report.ShowReport();
    EXPECT_GT(most, 0);
    EXPECT_TRUE(onlyNavigation);
    EXPECT_EQ(status, QStringLiteral("Страница 1 из 12"));
}

TEST(PreviewRun, AtMostFiftyPagesAreLaidOutWhileTheRunGoesOn)
{
    RunFixture run(70 * 48);
    int most = 0;
    int after = 0;
    TrpPreviewForm* shown = nullptr;
    run.user.ui.OnInputEvents = [&] {
        if (shown != nullptr && shown->PreviewControl()->Running())
            most = std::max(most, shown->PreviewControl()->Workspace()->PageList().Count());
    };
    run.user.ui.OnModal = [&](QObject& window, const QString&) {
        shown = dynamic_cast<TrpPreviewForm*>(&window);
        shown->show();
        run.report.PrepareTimerTick();
        after = shown->PreviewControl()->Workspace()->PageList().Count();
        return int(mrNone);
    };
    run.report.ShowReport();
    EXPECT_EQ(most, 50);
    EXPECT_GT(after, 60);
}

TEST(PreviewRun, CancelAndEscDuringTheRunTerminate)
{
    for (const bool escape : {false, true}) {
        RunFixture run(2000);
        TrpPreviewForm* shown = nullptr;
        bool terminated = false;
        run.user.ui.OnInputEvents = [&] {
            if (shown == nullptr || !shown->PreviewControl()->Running() || terminated)
                return;
            if (escape)
                QTest::keyClick(shown, Qt::Key_Escape);
            else
                shown->Button(QStringLiteral("CancelB"))->trigger();
            terminated = run.report.Terminated();
        };
        run.user.ui.OnModal = [&](QObject& window, const QString&) {
            shown = dynamic_cast<TrpPreviewForm*>(&window);
            shown->show();
            run.report.PrepareTimerTick();
            return int(mrNone);
        };
        run.report.ShowReport();
        EXPECT_TRUE(terminated) << escape;
    }
}

TEST(PreviewRun, TheOutlineListsTheEntriesAndAClickShowsTheirPage)
{
    EngineUi::init();
    User user;
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    report.LoadFromFile(kEngineData + QStringLiteral("reports/keep.zi3"));
    report.PreviewOptions().OutlineVisible = true;
    int nodes = 0;
    int lastPage = 0;
    int shownPage = 0;
    user.ui.OnModal = [&](QObject& window, const QString&) {
        auto* shown = dynamic_cast<TrpPreviewForm*>(&window);
        shown->show();
        report.PrepareTimerTick();
        QTreeWidget* tree = shown->PreviewControl()->OutlineTree();
        nodes = tree->topLevelItemCount();
        if (nodes > 0) {
            QTreeWidgetItem* last = tree->topLevelItem(nodes - 1);
            lastPage = last->data(0, Qt::UserRole + 1).toInt();
            emit tree->itemClicked(last, 0);
            shownPage = shown->PreviewControl()->PageNo();
        }
        EXPECT_TRUE(tree->isVisible());
        return int(mrNone);
    };
    report.ShowReport();
    EXPECT_GT(nodes, 1);
    EXPECT_EQ(lastPage, 2);
    EXPECT_EQ(shownPage, 2);
}

// --- the small windows ---------------------------------------------------------------------

TEST(ProgressWindow, TicksStopAtTheMaximumAndCancelEnablesTheWindowAgain)
{
    User user;
    QWidget other;
    other.show();
    TrpProgress progress(&other);
    EXPECT_FALSE(other.isEnabled());
    progress.Execute(3, QStringLiteral("m"), true, false);
    EXPECT_FALSE(progress.Bar()->isVisible());
    EXPECT_EQ(progress.MessageLabel()->y(), 35);
    for (int i = 0; i < 5; ++i)
        progress.Tick();
    EXPECT_EQ(progress.Position(), 3);
    QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
    EXPECT_TRUE(progress.Terminated());
    EXPECT_FALSE(progress.isVisible());
    EXPECT_TRUE(other.isEnabled());
}

TEST(SearchDialog, ACancelledSearchKeepsThePreviousText)
{
    TrpSearchDialog::SetLastText(QStringLiteral("first"));
    {
        TrpSearchDialog dialog;
        dialog.findChild<QLineEdit*>(QStringLiteral("TextE"))->setText(QStringLiteral("second"));
        dialog.FormHide(false);
    }
    EXPECT_EQ(TrpSearchDialog::LastText(), QStringLiteral("first"));
    TrpSearchDialog again;
    EXPECT_EQ(again.Text(), QStringLiteral("first"));
    again.findChild<QLineEdit*>(QStringLiteral("TextE"))->setText(QStringLiteral("third"));
    again.FormHide(true);
    EXPECT_EQ(TrpSearchDialog::LastText(), QStringLiteral("third"));
}

TEST(DialogForm, TheCloseBoxGivesCancel)
{
    TrpDialogForm form;
    int result = -1;
    QTimer::singleShot(0, &form, [&] { form.close(); });
    QtUiService ui;
    result = ui.RunModal(form, QStringLiteral("dialog"));
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(form.ModalResult(), mrCancel);
}
