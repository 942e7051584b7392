#include "rpDsgnRegister.h"

#include "rpDsgnEditors.h"
#include "rpDsgnIntfEditors.h"
#include "rpViewEditor.h"

#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpFont.h"
#include "report/model/rpRes.h"
#include "report/model/ui/rpClass_dialogcontrol.h"


namespace {

template <class T>
void ComponentEditorClass(const QString& name)
{
    RegisterComponentEditorClass(name, [](TrpComponent* component, TrpCustomDesigner* designer, QMenu* menu) {
        return std::make_unique<T>(component, designer, menu);
    });
}

template <class T>
void PropertyEditorClass(const QString& name)
{
    RegisterPropertyEditorClass(name, [](TrpCustomDesigner* designer) { return std::make_unique<T>(designer); });
}

// The editor classes entered in the registries, to take them back at shut-down.
const QStringList& ComponentEditorNames()
{
    static const QStringList names{
        "TrpPageEditor",        "TrpViewEditor",         "TrpMemoEditor",          "TrpSysMemoEditor",
        "TrpLineEditor",        "TrpPictureEditor",      "TrpBandEditor",          "TrpDataBandEditor",
        "TrpHeaderEditor",      "TrpPageHeaderEditor",   "TrpPageFooterEditor",    "TrpGroupHeaderEditor",
        "TrpColumnHeaderEditor", "TrpColumnFooterEditor", "TrpOverlayEditor",      "TrpDialogControlEditor",
        "TrpSubreportEditor"};
    return names;
}

const QStringList& PropertyEditorNames()
{
    static const QStringList names{
        "TrpLocSizeXProperty", "TrpLocSizeYProperty",   "TrpPaperXProperty",       "TrpPaperYProperty",
        "TrpPaperProperty",    "TrpEventProperty",      "TrpBooleanProperty",      "TrpFrameProperty",
        "TrpPictureProperty",  "TrpBitmapProperty",     "TrpDataSetProperty",      "TrpDataFieldProperty",
        "TrpStringsProperty",  "TrpMemoProperty",       "TrpBrushProperty",        "TrpFrameStyleProperty",
        "TrpDisplayFormatProperty", "TrpStyleProperty", "TrpPrinterProperty"};
    return names;
}

void RegisterEditorClasses()
{
    ComponentEditorClass<TrpViewEditor>(QStringLiteral("TrpViewEditor"));
    ComponentEditorClass<TrpCustomMemoEditor>(QStringLiteral("TrpCustomMemoEditor"));
    ComponentEditorClass<TrpPageEditor>(QStringLiteral("TrpPageEditor"));
    ComponentEditorClass<TrpMemoEditor>(QStringLiteral("TrpMemoEditor"));
    ComponentEditorClass<TrpSysMemoEditor>(QStringLiteral("TrpSysMemoEditor"));
    ComponentEditorClass<TrpLineEditor>(QStringLiteral("TrpLineEditor"));
    ComponentEditorClass<TrpPictureEditor>(QStringLiteral("TrpPictureEditor"));
    ComponentEditorClass<TrpBandEditor>(QStringLiteral("TrpBandEditor"));
    ComponentEditorClass<TrpDataBandEditor>(QStringLiteral("TrpDataBandEditor"));
    ComponentEditorClass<TrpHeaderEditor>(QStringLiteral("TrpHeaderEditor"));
    ComponentEditorClass<TrpPageHeaderEditor>(QStringLiteral("TrpPageHeaderEditor"));
    ComponentEditorClass<TrpPageFooterEditor>(QStringLiteral("TrpPageFooterEditor"));
    ComponentEditorClass<TrpGroupHeaderEditor>(QStringLiteral("TrpGroupHeaderEditor"));
    ComponentEditorClass<TrpColumnHeaderEditor>(QStringLiteral("TrpColumnHeaderEditor"));
    ComponentEditorClass<TrpColumnFooterEditor>(QStringLiteral("TrpColumnFooterEditor"));
    ComponentEditorClass<TrpOverlayEditor>(QStringLiteral("TrpOverlayEditor"));
    ComponentEditorClass<TrpDialogControlEditor>(QStringLiteral("TrpDialogControlEditor"));
    ComponentEditorClass<TrpSubreportEditor>(QStringLiteral("TrpSubreportEditor"));

    PropertyEditorClass<TrpLocSizeXProperty>(QStringLiteral("TrpLocSizeXProperty"));
    PropertyEditorClass<TrpLocSizeYProperty>(QStringLiteral("TrpLocSizeYProperty"));
    PropertyEditorClass<TrpPaperXProperty>(QStringLiteral("TrpPaperXProperty"));
    PropertyEditorClass<TrpPaperYProperty>(QStringLiteral("TrpPaperYProperty"));
    PropertyEditorClass<TrpPaperProperty>(QStringLiteral("TrpPaperProperty"));
    PropertyEditorClass<TrpEventProperty>(QStringLiteral("TrpEventProperty"));
    // The Boolean editor of every Boolean row gains its check mark.
    PropertyEditorClass<TrpStdBooleanProperty>(QStringLiteral("TrpBooleanProperty"));
    PropertyEditorClass<TrpFrameProperty>(QStringLiteral("TrpFrameProperty"));
    PropertyEditorClass<TrpPictureProperty>(QStringLiteral("TrpPictureProperty"));
    PropertyEditorClass<TrpBitmapProperty>(QStringLiteral("TrpBitmapProperty"));
    PropertyEditorClass<TrpDataSetProperty>(QStringLiteral("TrpDataSetProperty"));
    PropertyEditorClass<TrpDataFieldProperty>(QStringLiteral("TrpDataFieldProperty"));
    PropertyEditorClass<TrpStringsProperty>(QStringLiteral("TrpStringsProperty"));
    PropertyEditorClass<TrpMemoProperty>(QStringLiteral("TrpMemoProperty"));
    PropertyEditorClass<TrpBrushProperty>(QStringLiteral("TrpBrushProperty"));
    PropertyEditorClass<TrpFrameStyleProperty>(QStringLiteral("TrpFrameStyleProperty"));
    PropertyEditorClass<TrpDisplayFormatProperty>(QStringLiteral("TrpDisplayFormatProperty"));
    PropertyEditorClass<TrpStyleProperty>(QStringLiteral("TrpStyleProperty"));
    PropertyEditorClass<TrpPrinterProperty>(QStringLiteral("TrpPrinterProperty"));
}

void RegisterComponentEditors()
{
    TrpComponentEditorCollection& r = GetComponentEditorRegistry();
    r.Register(&TrpReportPage::Class(), QStringLiteral("TrpPageEditor"));
    r.Register(&TrpView::Class(), QStringLiteral("TrpViewEditor"));
    r.Register(&TrpMemoView::Class(), QStringLiteral("TrpMemoEditor"));
    r.Register(&TrpSysMemoView::Class(), QStringLiteral("TrpSysMemoEditor"));
    r.Register(&TrpDMPMemoView::Class(), QStringLiteral("TrpMemoEditor"));
    r.Register(&TrpLineView::Class(), QStringLiteral("TrpLineEditor"));
    r.Register(&TrpDMPLineView::Class(), QStringLiteral("TrpLineEditor"));
    r.Register(&TrpPictureView::Class(), QStringLiteral("TrpPictureEditor"));
    r.Register(&TrpBand::Class(), QStringLiteral("TrpBandEditor"));
    r.Register(&TrpDataBand::Class(), QStringLiteral("TrpDataBandEditor"));
    r.Register(&TrpHeader::Class(), QStringLiteral("TrpHeaderEditor"));
    r.Register(&TrpPageHeader::Class(), QStringLiteral("TrpPageHeaderEditor"));
    r.Register(&TrpPageFooter::Class(), QStringLiteral("TrpPageFooterEditor"));
    r.Register(&TrpGroupHeader::Class(), QStringLiteral("TrpGroupHeaderEditor"));
    r.Register(&TrpColumnHeader::Class(), QStringLiteral("TrpColumnHeaderEditor"));
    r.Register(&TrpColumnFooter::Class(), QStringLiteral("TrpColumnFooterEditor"));
    r.Register(&TrpOverlay::Class(), QStringLiteral("TrpOverlayEditor"));
    r.Register(&TrpDialogControl::Class(), QStringLiteral("TrpDialogControlEditor"));
    r.Register(&TrpSubreport::Class(), QStringLiteral("TrpSubreportEditor"));
}

void RegisterPropertyEditors()
{
    TrpPropertyEditorCollection& r = GetPropertyEditorRegistry();
    const QString extended = QStringLiteral("Extended");
    const QString integer = QStringLiteral("Integer");
    const QString string = QStringLiteral("String");
    const ScriptClassInfo* component = &TrpComponent::Class();
    const ScriptClassInfo* page = &TrpReportPage::Class();
    r.Register(extended, component, QStringLiteral("Left"), QStringLiteral("TrpLocSizeXProperty"));
    r.Register(extended, component, QStringLiteral("Top"), QStringLiteral("TrpLocSizeYProperty"));
    r.Register(extended, component, QStringLiteral("Width"), QStringLiteral("TrpLocSizeXProperty"));
    r.Register(extended, component, QStringLiteral("Height"), QStringLiteral("TrpLocSizeYProperty"));
    r.Register(extended, page, QStringLiteral("PaperWidth"), QStringLiteral("TrpPaperXProperty"));
    r.Register(extended, page, QStringLiteral("PaperHeight"), QStringLiteral("TrpPaperYProperty"));
    r.Register(extended, page, QStringLiteral("LeftMargin"), QStringLiteral("TrpPaperXProperty"));
    r.Register(extended, page, QStringLiteral("RightMargin"), QStringLiteral("TrpPaperXProperty"));
    r.Register(extended, page, QStringLiteral("TopMargin"), QStringLiteral("TrpPaperYProperty"));
    r.Register(extended, page, QStringLiteral("BottomMargin"), QStringLiteral("TrpPaperYProperty"));
    r.Register(integer, page, QStringLiteral("PaperSize"), QStringLiteral("TrpPaperProperty"));
    r.RegisterEventEditor(QStringLiteral("TrpEventProperty"));
    r.Register(QStringLiteral("Boolean"), nullptr, QString(), QStringLiteral("TrpBooleanProperty"));
    r.Register(QStringLiteral("TrpFrame"), nullptr, QString(), QStringLiteral("TrpFrameProperty"));
    r.Register(QStringLiteral("TPicture"), nullptr, QString(), QStringLiteral("TrpPictureProperty"));
    r.Register(QStringLiteral("TBitmap"), nullptr, QString(), QStringLiteral("TrpBitmapProperty"));
    r.Register(QStringLiteral("TrpDataSet"), nullptr, QString(), QStringLiteral("TrpDataSetProperty"));
    r.Register(string, &TrpView::Class(), QStringLiteral("DataField"), QStringLiteral("TrpDataFieldProperty"));
    r.Register(QStringLiteral("TStrings"), nullptr, QString(), QStringLiteral("TrpStringsProperty"));
    r.Register(QStringLiteral("TWideStrings"), &TrpCustomMemoView::Class(), QStringLiteral("Memo"),
               QStringLiteral("TrpMemoProperty"));
    r.Register(QStringLiteral("TBrushStyle"), nullptr, QString(), QStringLiteral("TrpBrushProperty"));
    r.Register(QStringLiteral("TrpFrameStyle"), nullptr, QString(), QStringLiteral("TrpFrameStyleProperty"));
    r.Register(string, &TrpMemoView::Class(), QStringLiteral("DisplayFormat"), QStringLiteral("TrpDisplayFormatProperty"));
    r.Register(string, &TrpDMPMemoView::Class(), QStringLiteral("DisplayFormat"),
               QStringLiteral("TrpDisplayFormatProperty"));
    r.Register(string, &TrpMemoView::Class(), QStringLiteral("Style"), QStringLiteral("TrpStyleProperty"));
    r.Register(extended, &TrpDataBand::Class(), QStringLiteral("ColumnWidth"), QStringLiteral("TrpLocSizeXProperty"));
    r.Register(extended, &TrpDataBand::Class(), QStringLiteral("ColumnGap"), QStringLiteral("TrpLocSizeXProperty"));
    r.Register(string, &TrpPrintOptions::Class(), QStringLiteral("Printer"), QStringLiteral("TrpPrinterProperty"));
    r.Register(integer, &TrpPrintOptions::Class(), QStringLiteral("PrintOnSheet"), QStringLiteral("TrpPaperProperty"));
    r.Register(extended, nullptr, QStringLiteral("NextCrossGap"), QStringLiteral("TrpLocSizeXProperty"));
    r.Register(extended, nullptr, QStringLiteral("AddWidth"), QStringLiteral("TrpLocSizeXProperty"));
    r.Register(extended, nullptr, QStringLiteral("AddHeight"), QStringLiteral("TrpLocSizeYProperty"));
}

void RegisterHiddenLists()
{
    RegisterHiddenProperties(&TrpReport::Class(),
                             QStringLiteral("DefaultLanguage;IniFile;Name;Preview;ScriptLanguage;ScriptText;Tag;"
                                            "Variables;DataSetName;DotMatrixReport;OldStyleProgress;ShowProgress;"
                                            "StoreInDFM;ParentReport"));
    RegisterHiddenProperties(&TrpEngineOptions::Class(),
                             QStringLiteral("NewSilentMode;MaxMemSize;PrintIfEmpty;SilentMode;TempDir;UseFileCache"));
    RegisterHiddenProperties(&TrpPreviewOptions::Class(),
                             QStringLiteral("AllowEdit;Buttons;DoubleBuffered;Maximized;MDIChild;Modal;"
                                            "ShowCaptions;Zoom;ZoomMode"));
    RegisterHiddenProperties(&TrpReportOptions::Class(), QStringLiteral("CreateDate;LastChange;Compressed;Password"));
    RegisterHiddenProperties(&TrpReportPage::Class(),
                             QStringLiteral("Bin;BinOtherPages;ColumnWidth;ColumnPositions;DataSetName;HGuides;VGuides"));
    RegisterHiddenProperties(&TrpDMPPage::Class(), QStringLiteral("BackPicture;Color;Font;Frame"));
    RegisterHiddenProperties(&TrpReportComponent::Class(), QStringLiteral("GroupIndex"));
    RegisterHiddenProperties(&TrpView::Class(), QStringLiteral("DataSetName"));
    RegisterHiddenProperties(&TrpBand::Class(), QStringLiteral("Vertical"));
    RegisterHiddenProperties(&TrpDataBand::Class(), QStringLiteral("DataSetName"));
    RegisterHiddenProperties(&TrpGroupHeader::Class(), QStringLiteral("DrillName"));
    RegisterHiddenProperties(&TrpFont::Class(), QStringLiteral("Height;Pitch"));
    RegisterHiddenProperties(&TrpHighlight::Class(), QStringLiteral("Active"));
    RegisterHiddenProperties(&TrpPictureView::Class(), QStringLiteral("ImageIndex"));
    RegisterHiddenProperties(&TrpSubreport::Class(), QStringLiteral("Page"));
    RegisterHiddenProperties(&TrpDataPage::Class(), QStringLiteral("Left;Tag;Top;Visible"));
    RegisterHiddenProperties(&TrpCustomMemoView::Class(), QStringLiteral("FirstParaBreak;LastParaBreak"));
}

} // namespace

namespace DesignerRuntime {

void RegisterStandardEditors()
{
    RegisterEditorClasses();
    RegisterComponentEditors();
    RegisterPropertyEditors();
    RegisterHiddenLists();
}

void UnregisterStandardEditors()
{
    for (const QString& name : ComponentEditorNames())
        GetComponentEditorRegistry().UnRegister(name);
    for (const QString& name : PropertyEditorNames())
        GetPropertyEditorRegistry().UnRegister(name);
    // The hidden lists are the entries without an editor.
    GetPropertyEditorRegistry().UnRegister(QString());
}

} // namespace DesignerRuntime
