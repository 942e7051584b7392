#include "DialogTestSupport.h"
#include "RecordingPaintDevice.h"

#include "platform/Exceptions.h"
#include "report/core/PropertyRegistry.h"
#include "report/designer/rpDataBandEditor.h"
#include "report/designer/rpDesgn.h"
#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpDsgnEditors.h"
#include "report/designer/rpGroupEditor.h"
#include "report/designer/rpPictureEditor.h"
#include "report/engine/rpPictureCache.h"
#include "report/designer/rpMemoEditor.h"
#include "report/designer/rpScriptTemplates.h"
#include "report/designer/rpSynMemo.h"
#include "report/designer/rpSysMemoEditor.h"
#include "report/engine/rpDMPClass.h"
#include "report/engine/rpPrinter.h"
#include "report/model/rpPaperSizes.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpFont.h"
#include "report/model/ui/rpClass_dialogcontrol.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A designer without a window whose lengths show in the units a test sets.
class UnitsDesigner : public StandInDesigner, public ITrpDesignUnits {
public:
    using StandInDesigner::StandInDesigner;
    std::optional<TrpDesignerUnits> DesignUnits() const override { return Units; }
    TrpDesignerUnits Units = duCM;
};

const PropertyInfo& Property(const ScriptObject& object, const char16_t* name)
{
    const RegisteredClass* cls = PropertyRegistry::Global().FindFor(object.ScriptClass());
    const PropertyInfo* info = cls != nullptr ? cls->Find(QStringView(name)) : nullptr;
    if (info == nullptr)
        throw std::runtime_error("no property");
    return *info;
}

template <class Editor>
std::unique_ptr<Editor> EditorOn(TrpCustomDesigner* designer, ScriptObject& object, const char16_t* name)
{
    auto editor = std::make_unique<Editor>(designer);
    editor->AddEdited(&object, &Property(object, name));
    return editor;
}

QString EditorFor(const QString& type, const ScriptClassInfo* cls, const QString& name)
{
    const TrpPropertyEditorCollection& registry = GetPropertyEditorRegistry();
    const int entry = registry.GetPropertyEditor(type, cls, name);
    return entry < 0 ? QStringLiteral("-") : registry.Items(entry).EditorClass;
}

class StandardEditors : public testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::SetFormats(FormatSettings::C());
        page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        designer = std::make_unique<UnitsDesigner>(&report);
    }

    void Select(std::initializer_list<TrpComponent*> objects)
    {
        designer->SelectedObjects().clear();
        for (TrpComponent* object : objects)
            designer->SelectedObjects().emplace_back(object);
    }

    QStringList Menu(TrpComponent* object)
    {
        QMenu menu;
        auto editor = GetComponentEditor(object, designer.get(), &menu);
        if (!editor)
            return {QStringLiteral("no editor")};
        editor->GetMenuItems();
        QStringList items;
        for (QAction* action : menu.actions())
            if (!action->isSeparator())
                items.append(QStringLiteral("%1=%2").arg(action->data().toInt()).arg(action->isChecked() ? 1 : 0));
        return items;
    }

    bool Execute(TrpComponent* object, int tag, bool checked)
    {
        auto editor = GetComponentEditor(object, designer.get(), nullptr);
        return editor != nullptr && editor->Execute(tag, checked);
    }

    ModalScript modal;
    TrpReport report;
    TrpReportPage* page = nullptr;
    std::unique_ptr<UnitsDesigner> designer;
};

// --- registration

TEST_F(StandardEditors, ComponentEditorsByClassAndByNearestAncestor)
{
    struct Case {
        TrpComponent* object;
        const char* editor;
    };
    const Case cases[] = {
        {page, "TrpPageEditor"},
        {new TrpMemoView(page), "TrpMemoEditor"},
        {new TrpSysMemoView(page), "TrpSysMemoEditor"},
        {new TrpDMPMemoView(page), "TrpMemoEditor"},
        {new TrpLineView(page), "TrpLineEditor"},
        {new TrpDMPLineView(page), "TrpLineEditor"},
        {new TrpPictureView(page), "TrpPictureEditor"},
        {new TrpShapeView(page), "TrpViewEditor"},
        {new TrpSubreport(page), "TrpSubreportEditor"},
        {new TrpReportTitle(page), "TrpBandEditor"},
        {new TrpReportSummary(page), "TrpBandEditor"},
        {new TrpChild(page), "TrpBandEditor"},
        {new TrpFooter(page), "TrpBandEditor"},
        {new TrpGroupFooter(page), "TrpBandEditor"},
        {new TrpMasterData(page), "TrpDataBandEditor"},
        {new TrpDetailData(page), "TrpDataBandEditor"},
        {new TrpHeader(page), "TrpHeaderEditor"},
        {new TrpPageHeader(page), "TrpPageHeaderEditor"},
        {new TrpPageFooter(page), "TrpPageFooterEditor"},
        {new TrpGroupHeader(page), "TrpGroupHeaderEditor"},
        {new TrpColumnHeader(page), "TrpColumnHeaderEditor"},
        {new TrpColumnFooter(page), "TrpColumnFooterEditor"},
        {new TrpOverlay(page), "TrpOverlayEditor"},
        {new TrpDMPPage(&report), "TrpPageEditor"},
    };
    for (const Case& c : cases) {
        auto editor = GetComponentEditor(c.object, designer.get(), nullptr);
        ASSERT_NE(editor, nullptr) << c.object->ClassName().toStdString();
        EXPECT_EQ(editor->ClassName(), QString::fromLatin1(c.editor)) << c.object->ClassName().toStdString();
    }
    EXPECT_EQ(GetComponentEditor(&report, designer.get(), nullptr), nullptr);

    // The registry holds the table in its order.
    QStringList entries;
    const TrpComponentEditorCollection& registry = GetComponentEditorRegistry();
    for (int i = 0; i < registry.Count(); ++i)
        entries.append(registry.Items(i).ComponentClass->Name + u'>' + registry.Items(i).ComponentEditor);
    const QStringList table{
        "TrpReportPage>TrpPageEditor",         "TrpView>TrpViewEditor",
        "TrpMemoView>TrpMemoEditor",           "TrpSysMemoView>TrpSysMemoEditor",
        "TrpDMPMemoView>TrpMemoEditor",        "TrpLineView>TrpLineEditor",
        "TrpDMPLineView>TrpLineEditor",        "TrpPictureView>TrpPictureEditor",
        "TrpBand>TrpBandEditor",               "TrpDataBand>TrpDataBandEditor",
        "TrpHeader>TrpHeaderEditor",           "TrpPageHeader>TrpPageHeaderEditor",
        "TrpPageFooter>TrpPageFooterEditor",   "TrpGroupHeader>TrpGroupHeaderEditor",
        "TrpColumnHeader>TrpColumnHeaderEditor", "TrpColumnFooter>TrpColumnFooterEditor",
        "TrpOverlay>TrpOverlayEditor",         "TrpDialogControl>TrpDialogControlEditor",
        "TrpSubreport>TrpSubreportEditor"};
    const qsizetype first = entries.indexOf(table.first());
    ASSERT_GE(first, 0);
    EXPECT_EQ(entries.mid(first, table.size()), table);
}

TEST_F(StandardEditors, PropertyEditorsByTypeClassAndName)
{
    struct Case {
        const char* type;
        const ScriptClassInfo* cls;
        const char* name;
        const char* editor;
    };
    const Case cases[] = {
        {"Extended", &TrpMemoView::Class(), "Left", "TrpLocSizeXProperty"},
        {"Extended", &TrpBand::Class(), "Top", "TrpLocSizeYProperty"},
        {"Extended", &TrpMasterData::Class(), "Width", "TrpLocSizeXProperty"},
        {"Extended", &TrpLineView::Class(), "Height", "TrpLocSizeYProperty"},
        {"Extended", &TrpReportPage::Class(), "PaperWidth", "TrpPaperXProperty"},
        {"Extended", &TrpDMPPage::Class(), "PaperHeight", "TrpPaperYProperty"},
        {"Extended", &TrpReportPage::Class(), "LeftMargin", "TrpPaperXProperty"},
        {"Extended", &TrpReportPage::Class(), "RightMargin", "TrpPaperXProperty"},
        {"Extended", &TrpReportPage::Class(), "TopMargin", "TrpPaperYProperty"},
        {"Extended", &TrpReportPage::Class(), "BottomMargin", "TrpPaperYProperty"},
        {"Integer", &TrpReportPage::Class(), "PaperSize", "TrpPaperProperty"},
        {"TrpNotifyEvent", &TrpMemoView::Class(), "OnBeforePrint", "TrpEventProperty"},
        {"Boolean", &TrpMemoView::Class(), "WordWrap", "TrpBooleanProperty"},
        {"TrpFrame", &TrpMemoView::Class(), "Frame", "TrpFrameProperty"},
        {"TPicture", &TrpPictureView::Class(), "Picture", "TrpPictureProperty"},
        {"TBitmap", &TrpPictureView::Class(), "Anything", "TrpBitmapProperty"},
        {"TrpDataSet", &TrpMasterData::Class(), "DataSet", "TrpDataSetProperty"},
        {"String", &TrpMemoView::Class(), "DataField", "TrpDataFieldProperty"},
        {"TStrings", &TrpMemoView::Class(), "Lines", "TrpStringsProperty"},
        {"TWideStrings", &TrpSysMemoView::Class(), "Memo", "TrpMemoProperty"},
        {"TBrushStyle", &TrpShapeView::Class(), "BrushStyle", "TrpBrushProperty"},
        {"TrpFrameStyle", &TrpFrameLine::Class(), "Style", "TrpFrameStyleProperty"},
        // A class and a name match whatever the type: the display format is a nested object.
        {"TrpFormat", &TrpMemoView::Class(), "DisplayFormat", "TrpDisplayFormatProperty"},
        {"TrpFormat", &TrpDMPMemoView::Class(), "DisplayFormat", "TrpDisplayFormatProperty"},
        {"String", &TrpMemoView::Class(), "Style", "TrpStyleProperty"},
        {"Extended", &TrpMasterData::Class(), "ColumnWidth", "TrpLocSizeXProperty"},
        {"Extended", &TrpDataBand::Class(), "ColumnGap", "TrpLocSizeXProperty"},
        {"String", &TrpPrintOptions::Class(), "Printer", "TrpPrinterProperty"},
        {"Integer", &TrpPrintOptions::Class(), "PrintOnSheet", "TrpPaperProperty"},
        {"Extended", &TrpMemoView::Class(), "NextCrossGap", "TrpLocSizeXProperty"},
        {"Extended", &TrpReportPage::Class(), "AddWidth", "TrpLocSizeXProperty"},
        {"Extended", &TrpReportPage::Class(), "AddHeight", "TrpLocSizeYProperty"},
        // Not registered: the default of the kind decides.
        {"Extended", &TrpMemoView::Class(), "GapX", "-"},
        {"String", &TrpSysMemoView::Class(), "Style", "-"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditorFor(QString::fromLatin1(c.type), c.cls, QString::fromLatin1(c.name)),
                  QString::fromLatin1(c.editor))
            << c.cls->Name.toStdString() << '.' << c.name;
}

TEST_F(StandardEditors, EveryHiddenListHidesItsRows)
{
    const std::pair<const ScriptClassInfo*, const char*> lists[] = {
        {&TrpReport::Class(), "DefaultLanguage;IniFile;Name;Preview;ScriptLanguage;ScriptText;Tag;Variables;"
                              "DataSetName;DotMatrixReport;OldStyleProgress;ShowProgress;StoreInDFM;ParentReport"},
        {&TrpEngineOptions::Class(), "NewSilentMode;MaxMemSize;PrintIfEmpty;SilentMode;TempDir;UseFileCache"},
        {&TrpPreviewOptions::Class(),
         "AllowEdit;Buttons;DoubleBuffered;Maximized;MDIChild;Modal;ShowCaptions;Zoom;ZoomMode"},
        {&TrpReportOptions::Class(), "CreateDate;LastChange;Compressed;Password"},
        {&TrpReportPage::Class(), "Bin;BinOtherPages;ColumnWidth;ColumnPositions;DataSetName;HGuides;VGuides"},
        {&TrpDMPPage::Class(), "BackPicture;Color;Font;Frame"},
        {&TrpReportComponent::Class(), "GroupIndex"},
        {&TrpView::Class(), "DataSetName"},
        {&TrpBand::Class(), "Vertical"},
        {&TrpDataBand::Class(), "DataSetName"},
        {&TrpGroupHeader::Class(), "DrillName"},
        {&TrpFont::Class(), "Height;Pitch"},
        {&TrpHighlight::Class(), "Active"},
        {&TrpPictureView::Class(), "ImageIndex"},
        {&TrpSubreport::Class(), "Page"},
        {&TrpDataPage::Class(), "Left;Tag;Top;Visible"},
        {&TrpCustomMemoView::Class(), "FirstParaBreak;LastParaBreak"},
    };
    for (const auto& [cls, names] : lists)
        for (const QString& name : QString::fromLatin1(names).split(u';'))
            EXPECT_EQ(EditorFor(QStringLiteral("Extended"), cls, name), QString()) << name.toStdString();
    // Descendants are hidden too; the same name elsewhere is not.
    EXPECT_EQ(EditorFor(QStringLiteral("Boolean"), &TrpMasterData::Class(), QStringLiteral("Vertical")), QString());
    EXPECT_NE(EditorFor(QStringLiteral("Boolean"), &TrpMemoView::Class(), QStringLiteral("Visible")), QString());

    // The inspector's list for a data page leaves those rows out.
    auto* dataPage = new TrpDataPage(&report);
    const auto list = BuildCommonPropertyList({dataPage}, designer.get());
    ASSERT_NE(list, nullptr);
    for (const char16_t* name : {u"Left", u"Top", u"Visible", u"Tag"})
        EXPECT_EQ(list->Find(QStringView(name)), nullptr);
}

TEST_F(StandardEditors, TheInspectorsRowsUseTheStandardEditors)
{
    auto* memo = new TrpMemoView(page);
    const auto list = BuildCommonPropertyList({memo}, designer.get());
    ASSERT_NE(list, nullptr);
    const std::pair<const char16_t*, const char*> rows[] = {
        {u"Left", "TrpLocSizeXProperty"},     {u"Top", "TrpLocSizeYProperty"},
        {u"Width", "TrpLocSizeXProperty"},    {u"Height", "TrpLocSizeYProperty"},
        {u"Memo", "TrpMemoProperty"},         {u"DisplayFormat", "TrpDisplayFormatProperty"},
        {u"DataSet", "TrpDataSetProperty"},   {u"DataField", "TrpDataFieldProperty"},
        {u"Frame", "TrpFrameProperty"},       {u"BrushStyle", "TrpBrushProperty"},
        {u"WordWrap", "TrpBooleanProperty"},  {u"Style", "TrpStyleProperty"},
        {u"OnBeforePrint", "TrpEventProperty"}};
    for (const auto& [name, editor] : rows) {
        const TrpPropertyItem* item = list->Find(QStringView(name));
        ASSERT_NE(item, nullptr) << QString::fromUtf16(name).toStdString();
        EXPECT_EQ(item->Editor()->ClassName(), QString::fromLatin1(editor)) << QString::fromUtf16(name).toStdString();
    }
    EXPECT_EQ(list->Find(u"FirstParaBreak"), nullptr);
    EXPECT_EQ(list->Find(u"DataSetName"), nullptr);
    EXPECT_NE(list->Find(u"WordWrap")->Editor()->GetAttributes() & paOwnerDraw, 0u);
}

// --- component editors

TEST_F(StandardEditors, BandSwitchesFollowTheBandKindAndTheSelection)
{
    auto* title = new TrpReportTitle(page);
    auto* pageHeader = new TrpPageHeader(page);
    auto* pageFooter = new TrpPageFooter(page);
    auto* footer = new TrpFooter(page);
    auto* column = new TrpColumnHeader(page);
    auto* data = new TrpMasterData(page);
    Select({title});
    EXPECT_EQ(Menu(title), (QStringList{"10=0", "11=0", "12=0", "13=0", "14=0"}));
    Select({pageHeader});
    EXPECT_EQ(Menu(pageHeader), (QStringList{"10=0", "13=0", "0=1"}));
    Select({pageFooter});
    EXPECT_EQ(Menu(pageFooter), (QStringList{"0=1", "1=1"}));
    Select({footer});
    EXPECT_EQ(Menu(footer), (QStringList{"10=0", "11=0", "12=0", "13=0"}));
    Select({column});
    EXPECT_EQ(Menu(column), (QStringList{"10=0"}));
    data->Vertical = true;
    Select({data});
    EXPECT_EQ(Menu(data), (QStringList{"13=0", "14=0", "0=0", "1=0"}));

    // Two bands selected: no band switches at all.
    Select({title, data});
    EXPECT_TRUE(Menu(title).isEmpty());
    EXPECT_TRUE(Menu(data).isEmpty());
    EXPECT_TRUE(Menu(pageFooter).isEmpty());
}

TEST_F(StandardEditors, BandExecuteSetsTheFlagsOfTheFirstSelectedBand)
{
    auto* group = new TrpGroupHeader(page);
    Select({group});
    EXPECT_TRUE(Execute(group, 3, true));
    EXPECT_TRUE(group->ResetPageNumbers);
    EXPECT_TRUE(group->StartNewPage);
    EXPECT_TRUE(Execute(group, 3, false));
    EXPECT_FALSE(group->ResetPageNumbers);
    EXPECT_TRUE(group->StartNewPage);
    EXPECT_TRUE(Execute(group, 14, false));
    EXPECT_FALSE(group->StartNewPage);
    EXPECT_TRUE(Execute(group, 2, true));
    EXPECT_TRUE(group->DrillDown);

    auto* data = new TrpMasterData(page);
    Select({data});
    for (int tag = 0; tag <= 4; ++tag)
        EXPECT_TRUE(Execute(data, tag, true));
    EXPECT_TRUE(data->PrintIfDetailEmpty && data->FooterAfterEach && data->KeepTogether && data->KeepFooter &&
                data->KeepHeader);
    EXPECT_TRUE(Execute(data, 11, true));
    EXPECT_TRUE(data->AllowSplit);

    // A restricted first object: nothing changes and the answer is false.
    auto* footer = new TrpPageFooter(page);
    auto* column = new TrpColumnHeader(page);
    for (TrpBand* band : std::initializer_list<TrpBand*>{data, footer, column}) {
        band->SetRestrictions(1u << rfDontModify);
        Select({band});
        EXPECT_FALSE(Execute(band, 10, true)) << band->ClassName().toStdString();
        EXPECT_FALSE(band->Stretched);
    }
    EXPECT_FALSE(Execute(footer, 0, false));
    EXPECT_TRUE(footer->PrintOnFirstPage);
}

TEST_F(StandardEditors, LinePictureAndSubreportSwitches)
{
    auto* line = new TrpLineView(page);
    auto* picture = new TrpPictureView(page);
    auto* subreport = new TrpSubreport(page);
    Select({line});
    EXPECT_EQ(Menu(line), (QStringList{"0=0", "1=0", "50=1", "51=0", "52=1", "53=1"}));
    EXPECT_TRUE(Execute(line, 0, true));
    EXPECT_TRUE(line->Diagonal);
    EXPECT_TRUE(Execute(line, 1, true));
    EXPECT_EQ(line->StretchMode, smMaxHeight);
    EXPECT_TRUE(Execute(line, 1, false));
    EXPECT_EQ(line->StretchMode, smDontStretch);

    Select({picture});
    EXPECT_EQ(Menu(picture), (QStringList{"0=0", "1=1", "2=0", "3=1", "50=1", "51=0", "52=1", "53=1"}));
    EXPECT_TRUE(Execute(picture, 2, true));
    EXPECT_TRUE(picture->Center);
    picture->SetRestrictions(1u << rfDontModify);
    EXPECT_FALSE(Execute(picture, 1, false));
    EXPECT_TRUE(picture->Stretched);

    Select({subreport});
    EXPECT_EQ(Menu(subreport), QStringList{"0=0"});
    EXPECT_TRUE(Execute(subreport, 0, true));
    EXPECT_TRUE(subreport->PrintOnParent);
}

TEST_F(StandardEditors, DoubleClicksOpenTheirDialogs)
{
    auto* memo = new TrpMemoView(page);
    memo->SetText(QStringLiteral("old"));
    memo->DataField = QStringLiteral("Field");
    Select({memo});
    auto memoEditor = GetComponentEditor(memo, designer.get(), nullptr);
    ASSERT_TRUE(memoEditor->HasEditor());
    modal.Then<TrpMemoEditorForm>([](TrpMemoEditorForm& form) { form.reject(); });
    EXPECT_FALSE(memoEditor->Edit());
    EXPECT_EQ(memo->DataField, QStringLiteral("Field"));
    modal.Then<TrpMemoEditorForm>([](TrpMemoEditorForm& form) {
        form.Editor()->setPlainText(QStringLiteral("new"));
        form.accept();
    });
    EXPECT_TRUE(memoEditor->Edit());
    EXPECT_EQ(memo->Text(), QStringLiteral("new\r\n"));
    EXPECT_TRUE(memo->DataField.isEmpty());

    auto* sys = new TrpSysMemoView(page);
    sys->SetText(QStringLiteral("[PAGE#]"));
    modal.Then<TrpSysMemoEditorForm>([](TrpSysMemoEditorForm& form) { form.reject(); });
    EXPECT_FALSE(GetComponentEditor(sys, designer.get(), nullptr)->Edit());
    EXPECT_EQ(sys->Text(), QStringLiteral("[PAGE#]\r\n"));

    auto* data = new TrpMasterData(page);
    modal.Then<TrpDataBandEditorForm>([](TrpDataBandEditorForm& form) { form.accept(); });
    EXPECT_TRUE(GetComponentEditor(data, designer.get(), nullptr)->Edit());
    auto* group = new TrpGroupHeader(page);
    modal.Then<TrpGroupEditorForm>([](TrpGroupEditorForm& form) { form.reject(); });
    EXPECT_FALSE(GetComponentEditor(group, designer.get(), nullptr)->Edit());

    // Bands without a dialog have no double-click action.
    EXPECT_FALSE(GetComponentEditor(new TrpReportTitle(page), designer.get(), nullptr)->HasEditor());
    EXPECT_EQ(modal.Shown, (QStringList{"TrpMemoEditorForm", "TrpMemoEditorForm", "TrpSysMemoEditorForm",
                                        "TrpDataBandEditorForm", "TrpGroupEditorForm"}));
}

TEST_F(StandardEditors, ASubreportsPageOpensNoDialogAndTheSubreportShowsIt)
{
    auto* subreport = new TrpSubreport(page);
    auto* sub = new TrpReportPage(&report);
    subreport->SetPage(sub);
    EXPECT_FALSE(GetComponentEditor(sub, designer.get(), nullptr)->Edit());
    EXPECT_TRUE(modal.Shown.isEmpty());
    designer->SetPage(page);
    EXPECT_FALSE(GetComponentEditor(subreport, designer.get(), nullptr)->Edit());
    EXPECT_EQ(designer->Page(), sub);
}

// --- property editors

TEST_F(StandardEditors, LengthsInTheDesignUnits)
{
    auto* memo = new TrpMemoView(page);
    memo->SetWidth(96);
    memo->SetHeight(34);
    auto width = EditorOn<TrpLocSizeXProperty>(designer.get(), *memo, u"Width");
    auto height = EditorOn<TrpLocSizeYProperty>(designer.get(), *memo, u"Height");
    struct Case {
        TrpDesignerUnits units;
        const char* width;
        const char* height;
    };
    const Case cases[] = {{duCM, "2.54", "0.90"}, {duInches, "1", "0.35"}, {duPixels, "96", "34"}, {duChars, "10", "2"}};
    for (const Case& c : cases) {
        designer->Units = c.units;
        EXPECT_EQ(width->GetValue(), QString::fromLatin1(c.width)) << c.units;
        EXPECT_EQ(height->GetValue(), QString::fromLatin1(c.height)) << c.units;
    }
    {
        DesignerRuntime::SetFormats(*FormatSettings::Named(QStringLiteral("ru_RU")));
        designer->Units = duCM;
        EXPECT_EQ(width->GetValue(), QStringLiteral("2,54"));
        width->SetValue(QStringLiteral("1"));
        EXPECT_DOUBLE_EQ(memo->Width(), 96 / 2.54);
        // What was typed shows as typed, not a hair below it.
        EXPECT_EQ(width->GetValue(), QStringLiteral("1"));
        width->SetValue(QStringLiteral("1,5"));
        EXPECT_DOUBLE_EQ(memo->Width(), 1.5 * 96 / 2.54);
        DesignerRuntime::SetFormats(FormatSettings::C());
    }
    designer->Units = duChars;
    height->SetValue(QStringLiteral("3"));
    EXPECT_DOUBLE_EQ(memo->Height(), 51);
    EXPECT_THROW(width->SetValue(QStringLiteral("abc")), std::exception);
    EXPECT_DOUBLE_EQ(memo->Height(), 51);
}

TEST_F(StandardEditors, PaperLengthsFromMillimetres)
{
    page->LeftMargin = 10;
    auto margin = EditorOn<TrpPaperXProperty>(designer.get(), *page, u"LeftMargin");
    designer->Units = duCM;
    EXPECT_EQ(margin->GetValue(), QStringLiteral("1"));
    designer->Units = duInches;
    EXPECT_EQ(margin->GetValue(), QStringLiteral("0.39"));
    designer->Units = duPixels;
    EXPECT_EQ(margin->GetValue(), QStringLiteral("37.80"));
    margin->SetValue(QStringLiteral("96"));
    EXPECT_DOUBLE_EQ(page->LeftMargin, 25.4);
    designer->Units = duCM;
    margin->SetValue(QStringLiteral("2"));
    EXPECT_DOUBLE_EQ(page->LeftMargin, 20);
    // A designer without units shows what is stored.
    StandInDesigner plain(&report);
    auto stored = EditorOn<TrpPaperXProperty>(&plain, *page, u"LeftMargin");
    EXPECT_EQ(stored->GetValue(), QStringLiteral("20"));
}

TEST_F(StandardEditors, DataSetsAndFieldsUpdateABoundMemo)
{
    auto* customers = new TrpUserDataSet(page);
    customers->SetUserName(QStringLiteral("Customers"));
    customers->SetFields({QStringLiteral("Company"), QStringLiteral("City")});
    auto* orders = new TrpUserDataSet(page);
    orders->SetUserName(QStringLiteral("Orders"));
    report.DataSets().Add(customers);
    report.DataSets().Add(orders);
    auto* memo = new TrpMemoView(page);

    auto dataSet = EditorOn<TrpDataSetProperty>(designer.get(), *memo, u"DataSet");
    EXPECT_EQ(dataSet->GetValue(), QStringLiteral("(Не определен)"));
    dataSet->GetValues();
    EXPECT_EQ(dataSet->Values(), (QStringList{"Customers", "Orders"}));
    EXPECT_THROW(dataSet->SetValue(QStringLiteral("Nobody")), platform::Exception);
    EXPECT_EQ(memo->DataSet(), nullptr);

    auto field = EditorOn<TrpDataFieldProperty>(designer.get(), *memo, u"DataField");
    field->GetValues();
    EXPECT_TRUE(field->Values().isEmpty());
    dataSet->SetValue(QStringLiteral("Customers"));
    EXPECT_EQ(memo->DataSet(), customers);
    EXPECT_EQ(dataSet->GetValue(), QStringLiteral("Customers"));
    field->GetValues();
    EXPECT_EQ(field->Values(), (QStringList{"Company", "City"}));
    field->SetValue(QStringLiteral("City"));
    EXPECT_EQ(memo->Text(), QStringLiteral("[Customers.\"City\"]\r\n"));
    dataSet->SetValue(QStringLiteral("Orders"));
    EXPECT_EQ(memo->Text(), QStringLiteral("[Orders.\"City\"]\r\n"));
    dataSet->SetValue(QString());
    EXPECT_EQ(memo->DataSet(), nullptr);

    // A data set's own list leaves itself out.
    TrpDataSetProperty ofDataSet(designer.get());
    ofDataSet.AddEdited(orders, &Property(*memo, u"DataSet"));
    ofDataSet.GetValues();
    EXPECT_EQ(ofDataSet.Values(), QStringList{QStringLiteral("Customers")});
}

TEST_F(StandardEditors, PictureStylePrinterAndPaperValues)
{
    auto* picture = new TrpPictureView(page);
    auto value = EditorOn<TrpPictureProperty>(designer.get(), *picture, u"Picture");
    EXPECT_EQ(value->GetValue(), QStringLiteral("(Не определен)"));

    auto* memo = new TrpMemoView(page);
    TrpStyleItem* style = report.Styles().Add();
    style->SetName(QStringLiteral("Title"));
    auto styles = EditorOn<TrpStyleProperty>(designer.get(), *memo, u"Style");
    styles->GetValues();
    EXPECT_EQ(styles->Values(), QStringList{QStringLiteral("Title")});

    auto printer = EditorOn<TrpPrinterProperty>(designer.get(), report.PrintOptions(), u"Printer");
    printer->GetValues();
    ASSERT_FALSE(printer->Values().isEmpty());
    EXPECT_EQ(printer->Values().first(), QStringLiteral("По умолчанию"));

    auto paper = EditorOn<TrpPaperProperty>(designer.get(), *page, u"PaperSize");
    paper->GetValues();
    ASSERT_FALSE(paper->Values().isEmpty());
    TrpCustomPrinter* current = GetPrintersInstance().Printer();
    ASSERT_NE(current, nullptr);
    const QString custom = current->Papers()[static_cast<size_t>(current->PaperIndex(kPaperCustom))].Name;
    page->SetPaperSize(9);
    EXPECT_NE(paper->GetValue(), custom);
    paper->SetValue(custom);
    EXPECT_EQ(page->PaperSize(), kPaperCustom);
    // A code the printer does not know shows as the custom size.
    Property(*page, u"PaperSize").Set(*page, Variant(int32_t{12345}));
    EXPECT_EQ(paper->GetValue(), custom);
}

TEST_F(StandardEditors, OwnerDrawnSamples)
{
    auto* memo = new TrpMemoView(page);
    memo->WordWrap = true;
    auto boolean = EditorOn<TrpStdBooleanProperty>(designer.get(), *memo, u"WordWrap");
    boolean->GetValues();
    RecordingPaintDevice device;
    {
        QPainter painter(&device);
        boolean->OnDrawItem(painter, QRect(0, 0, 100, 16));
    }
    const auto marks = device.Operations(RecordedOperation::Polygon);
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[0].DevicePoints, QPolygonF({QPointF(2, 5), QPointF(4, 7), QPointF(9, 2)}));
    EXPECT_EQ(marks[2].DevicePoints, QPolygonF({QPointF(2, 7), QPointF(4, 9), QPointF(9, 4)}));
    device.Clear();
    memo->WordWrap = false;
    {
        QPainter painter(&device);
        boolean->OnDrawItem(painter, QRect(0, 0, 100, 16));
    }
    EXPECT_TRUE(device.Operations(RecordedOperation::Polygon).empty());

    auto* shape = new TrpShapeView(page);
    shape->BrushStyle = bsCross;
    auto brush = EditorOn<TrpBrushProperty>(designer.get(), *shape, u"BrushStyle");
    device.Clear();
    {
        QPainter painter(&device);
        brush->OnDrawItem(painter, QRect(0, 0, 100, 16));
    }
    const auto brushes = device.Operations(RecordedOperation::BrushChange);
    ASSERT_FALSE(brushes.empty());
    bool crossed = false;
    for (const RecordedOperation& change : brushes)
        crossed = crossed || change.Brush.style() == Qt::CrossPattern;
    EXPECT_TRUE(crossed);
    // The patterned box: Rectangle(Left, Top + 1, Left + height - 5, Bottom - 4).
    const auto boxes = device.Operations(RecordedOperation::Path);
    ASSERT_FALSE(boxes.empty());
    for (const RecordedOperation& box : boxes)
        EXPECT_EQ(box.DeviceRect.toAlignedRect(), QRect(QPoint(0, 1), QPoint(10, 11)));

    auto frameStyle = EditorOn<TrpFrameStyleProperty>(designer.get(), memo->Frame(), u"Style");
    frameStyle->GetValues();
    EXPECT_EQ(frameStyle->GetExtraLBSize(), 36);
    const int dbl = frameStyle->Values().indexOf(QStringLiteral("fsDouble"));
    ASSERT_GE(dbl, 0);
    device.Clear();
    {
        QPainter painter(&device);
        frameStyle->OnDrawLBItem(painter, dbl, QRect(0, 0, 120, 16), false);
    }
    const auto lines = device.Operations(RecordedOperation::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].DevicePoints.first().y() - lines[0].DevicePoints.first().y(), 2);
    EXPECT_EQ(lines[0].DevicePoints.last().x() - lines[0].DevicePoints.first().x(), 31);
}

// --- events in the script

class EventHandlers : public testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::init();
        DesignerRuntime::SetFormats(FormatSettings::C());
        ASSERT_TRUE(folder.isValid());
        report.IniFile = folder.filePath(QStringLiteral("designer.ini"));
        page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetDefaults();
        memo = new TrpMemoView(page);
        memo->SetName(QStringLiteral("Memo1"));
    }

    std::unique_ptr<TrpDesignerForm> Open(const QString& language)
    {
        report.ScriptLanguage = language;
        QStringList script;
        WriteEmptyScript(script, language);
        report.SetScriptText(script);
        auto form = std::make_unique<TrpDesignerForm>(&report, false);
        report.SetDesigner(form.get());
        form->Start();
        form->SetPage(page);
        return form;
    }

    QTemporaryDir folder;
    ModalScript modal;
    TrpReport report;
    TrpReportPage* page = nullptr;
    TrpMemoView* memo = nullptr;
};

TEST_F(EventHandlers, ANewHandlerInEachLanguageAndAnExistingOneLocated)
{
    for (const char* language : {"RireroRidoze", "R++Idirud", "JScript"}) {
        SCOPED_TRACE(language);
        memo->OnBeforePrint.clear();
        auto form = Open(QString::fromLatin1(language));
        auto editor = EditorOn<TrpEventProperty>(form.get(), *memo, u"OnBeforePrint");
        ASSERT_TRUE(editor->Edit());
        EXPECT_EQ(memo->OnBeforePrint, QStringLiteral("Memo1OnBeforePrint"));
        EXPECT_EQ(form->Page(), nullptr); // the script page
        const QStringList script = form->Code();
        const int header = LocateEventHandler(script, report.ScriptLanguage, QStringLiteral("Memo1OnBeforePrint"));
        ASSERT_GE(header, 0);
        EXPECT_EQ(form->CodeWindow()->GetPos(), QPoint(3, header + 3));
        editor->GetValues();
        EXPECT_TRUE(editor->Values().contains(QStringLiteral("Memo1OnBeforePrint")));

        // Named already: located, caret at column 1 of the body line, nothing changed.
        form->SetPage(page);
        EXPECT_FALSE(editor->Edit());
        EXPECT_EQ(form->CodeWindow()->GetPos(), QPoint(1, header + 3));
        EXPECT_EQ(form->Code(), script);
        report.SetDesigner(nullptr);
    }
}

TEST_F(EventHandlers, NoPlaceForAHandlerClearsTheEventWithTheMessage)
{
    auto form = Open(QStringLiteral("RireroRidoze"));
    // No main block: nowhere to put a handler.
    form->CodeWindow()->SetLines({QStringLiteral("x := 1;")});
    auto editor = EditorOn<TrpEventProperty>(form.get(), *memo, u"OnBeforePrint");
    try {
        editor->Edit();
        ADD_FAILURE() << "no error";
    } catch (const platform::Exception& error) {
        EXPECT_EQ(QString::fromStdString(error.Message()), QStringLiteral("Не удалось найти главную процедуру"));
    }
    EXPECT_TRUE(memo->OnBeforePrint.isEmpty());
    report.SetDesigner(nullptr);
}

TEST_F(EventHandlers, TheScriptRestrictionLeavesEverythingAlone)
{
    auto form = Open(QStringLiteral("RireroRidoze"));
    TrpDesigner component;
    component.Restrictions = RestrictionBit(drDontEditReportScript);
    const QStringList before = form->Code();
    auto editor = EditorOn<TrpEventProperty>(form.get(), *memo, u"OnBeforePrint");
    EXPECT_FALSE(editor->Edit());
    EXPECT_TRUE(memo->OnBeforePrint.isEmpty());
    EXPECT_EQ(form->Code(), before);
    report.SetDesigner(nullptr);
}

TEST_F(EventHandlers, ADialogControlOpensItsClickHandler)
{
    auto form = Open(QStringLiteral("RireroRidoze"));
    TrpDialogControl control;
    control.SetName(QStringLiteral("Button1"));
    auto editor = GetComponentEditor(&control, form.get(), nullptr);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->ClassName(), QStringLiteral("TrpDialogControlEditor"));
    ASSERT_TRUE(editor->Edit());
    EXPECT_EQ(control.OnClick, QStringLiteral("Button1OnClick"));
    const int header = LocateEventHandler(form->Code(), report.ScriptLanguage, QStringLiteral("Button1OnClick"));
    ASSERT_GE(header, 0);
    EXPECT_EQ(form->CodeWindow()->GetPos(), QPoint(3, header + 3));
    EXPECT_FALSE(editor->Edit());
    EXPECT_EQ(form->CodeWindow()->GetPos(), QPoint(1, header + 3));

    // Nowhere to put it: the caret goes to line 1 and nothing is raised.
    control.OnClick.clear();
    form->CodeWindow()->SetLines({QStringLiteral("x := 1;"), QStringLiteral("y := 2;")});
    form->CodeWindow()->SetPos(1, 2);
    EXPECT_FALSE(editor->Edit());
    EXPECT_EQ(form->CodeWindow()->GetPos(), QPoint(1, 1));
    report.SetDesigner(nullptr);
}

TEST_F(EventHandlers, AnEditedPictureGoesIntoTheDesignersPictureCache)
{
    auto form = Open(QStringLiteral("RireroRidoze"));
    auto* picture = new TrpPictureView(page);
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    auto editor = GetComponentEditor(picture, form.get(), nullptr);
    ASSERT_TRUE(editor->HasEditor());
    const int before = form->PictureCache()->Count();
    modal.Then<TrpPictureEditorForm>([](TrpPictureEditorForm& dialog) { dialog.reject(); });
    EXPECT_FALSE(editor->Edit());
    EXPECT_EQ(form->PictureCache()->Count(), before);
    modal.Then<TrpPictureEditorForm>([&](TrpPictureEditorForm& dialog) {
        dialog.Picture().SetData(QStringLiteral("PNG"), bytes);
        dialog.accept();
    });
    EXPECT_TRUE(editor->Edit());
    EXPECT_EQ(picture->Picture().Data(), bytes);
    EXPECT_EQ(form->PictureCache()->Count(), before + 1);
    EXPECT_EQ(picture->ImageIndex, before + 1);
    report.SetDesigner(nullptr);
}

// --- the command line

TEST(RptoolUnits, PropsShowsLengthsInTheUnitsAsked)
{
    auto run = [](const QStringList& arguments) {
        QProcess process;
        process.start(QStringLiteral(DAX_RPTOOL), arguments);
        process.waitForFinished(60000);
        return std::pair{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
    };
    const QString views = QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3");
    const auto cm = run({QStringLiteral("props"), views, QStringLiteral("AlignMemo2"), QStringLiteral("--units"),
                         QStringLiteral("cm")});
    EXPECT_EQ(cm.first, 0);
    EXPECT_TRUE(cm.second.contains(QStringLiteral("\n0\tWidth\t3.12\tm\n"))) << cm.second.toStdString();
    const auto chars = run({QStringLiteral("props"), views, QStringLiteral("Page1"), QStringLiteral("--units"),
                            QStringLiteral("cm")});
    EXPECT_TRUE(chars.second.contains(QStringLiteral("\n0\tLeftMargin\t1\tm\n")));
    const auto plain = run({QStringLiteral("props"), views, QStringLiteral("AlignMemo2")});
    EXPECT_TRUE(plain.second.contains(QStringLiteral("\n0\tWidth\t118\tm\n")));
    EXPECT_EQ(run({QStringLiteral("props"), views, QStringLiteral("AlignMemo2"), QStringLiteral("--units"),
                   QStringLiteral("mm")})
                  .first,
              1);
}

} // namespace
