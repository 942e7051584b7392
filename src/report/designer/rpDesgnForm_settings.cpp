// The designer window's settings between runs (view settings, recent files, watch expressions,
// the placement of tool bars and tool windows) and its texts, with the language choice.

#include "rpDesgnForm.h"

#include "DesignerFields.h"
#include "rpDataTree.h"
#include "rpDock.h"
#include "rpInsp.h"
#include "rpReportTree.h"
#include "rpSynMemo.h"
#include "rpWatchForm.h"

#include "platform/RegistryStore.h"
#include "report/model/rpClass_ini.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/script/ScriptStrings.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString kSection = QStringLiteral("Form4.TrpDesignerForm");
const QString kInspectorSection = QStringLiteral("Form4.TrpObjectInspector");
const std::string kResourcesKey = "\\Software\\Zuvo Dideziz\\Resources";

const char* const kToolBars[] = {"StandardTB", "TextTB", "FrameTB", "AlignTB", "ExtraToolsTB"};
const char* const kDockSites[] = {"LeftDockSite1", "LeftDockSite2", "RightDockSite", "CodeDockSite"};
const char* const kToolDocks[] = {"InspectorDock", "DataTreeDock", "ReportTreeDock", "WatchDock"};

enum class LocalizeKind { Hint, Caption, Filter };

// The numbered texts of the designer window and what each one names.
struct LocalizeRow {
    int number;
    LocalizeKind kind;
    const char* target;
};
constexpr LocalizeRow kLocalizeTable[] = {
    {2300, LocalizeKind::Hint, "OpenScriptB"},
    {2301, LocalizeKind::Hint, "SaveScriptB"},
    {2302, LocalizeKind::Hint, "RunScriptB"},
    {2303, LocalizeKind::Hint, "StepScriptB"},
    {2304, LocalizeKind::Hint, "StopScriptB"},
    {2305, LocalizeKind::Hint, "EvaluateB"},
    {2306, LocalizeKind::Caption, "LangL"},
    {2307, LocalizeKind::Caption, "AlignTB"},
    {2308, LocalizeKind::Hint, "AlignLeftsB"},
    {2309, LocalizeKind::Hint, "AlignHorzCentersB"},
    {2310, LocalizeKind::Hint, "AlignRightsB"},
    {2311, LocalizeKind::Hint, "AlignTopsB"},
    {2312, LocalizeKind::Hint, "AlignVertCentersB"},
    {2313, LocalizeKind::Hint, "AlignBottomsB"},
    {2314, LocalizeKind::Hint, "SpaceHorzB"},
    {2315, LocalizeKind::Hint, "SpaceVertB"},
    {2316, LocalizeKind::Hint, "CenterHorzB"},
    {2317, LocalizeKind::Hint, "CenterVertB"},
    {2318, LocalizeKind::Hint, "SameWidthB"},
    {2319, LocalizeKind::Hint, "SameHeightB"},
    {2320, LocalizeKind::Caption, "TextTB"},
    {2321, LocalizeKind::Hint, "StyleCB"},
    {2322, LocalizeKind::Hint, "FontNameCB"},
    {2323, LocalizeKind::Hint, "FontSizeCB"},
    {2324, LocalizeKind::Hint, "BoldB"},
    {2325, LocalizeKind::Hint, "ItalicB"},
    {2326, LocalizeKind::Hint, "UnderlineB"},
    {2327, LocalizeKind::Hint, "FontColorB"},
    {2328, LocalizeKind::Hint, "HighlightB"},
    {2329, LocalizeKind::Hint, "RotateB"},
    {2330, LocalizeKind::Hint, "TextAlignLeftB"},
    {2331, LocalizeKind::Hint, "TextAlignCenterB"},
    {2332, LocalizeKind::Hint, "TextAlignRightB"},
    {2333, LocalizeKind::Hint, "TextAlignBlockB"},
    {2334, LocalizeKind::Hint, "TextAlignTopB"},
    {2335, LocalizeKind::Hint, "TextAlignMiddleB"},
    {2336, LocalizeKind::Hint, "TextAlignBottomB"},
    {2337, LocalizeKind::Caption, "FrameTB"},
    {2338, LocalizeKind::Hint, "FrameTopB"},
    {2339, LocalizeKind::Hint, "FrameBottomB"},
    {2340, LocalizeKind::Hint, "FrameLeftB"},
    {2341, LocalizeKind::Hint, "FrameRightB"},
    {2342, LocalizeKind::Hint, "FrameAllB"},
    {2343, LocalizeKind::Hint, "FrameNoB"},
    {2344, LocalizeKind::Hint, "ShadowB"},
    {2345, LocalizeKind::Hint, "FillColorB"},
    {2346, LocalizeKind::Hint, "FrameColorB"},
    {2347, LocalizeKind::Hint, "FrameStyleB"},
    {2348, LocalizeKind::Hint, "FrameWidthCB"},
    {2349, LocalizeKind::Caption, "StandardTB"},
    {2350, LocalizeKind::Hint, "NewB"},
    {2351, LocalizeKind::Hint, "OpenB"},
    {2352, LocalizeKind::Hint, "SaveB"},
    {2353, LocalizeKind::Hint, "PreviewB"},
    {2354, LocalizeKind::Hint, "NewPageB"},
    {2355, LocalizeKind::Hint, "NewDialogB"},
    {2356, LocalizeKind::Hint, "DeletePageB"},
    {2357, LocalizeKind::Hint, "PageSettingsB"},
    {2358, LocalizeKind::Hint, "VariablesB"},
    {2359, LocalizeKind::Hint, "CutB"},
    {2360, LocalizeKind::Hint, "CopyB"},
    {2361, LocalizeKind::Hint, "PasteB"},
    {2363, LocalizeKind::Hint, "UndoB"},
    {2364, LocalizeKind::Hint, "RedoB"},
    {2365, LocalizeKind::Hint, "GroupB"},
    {2366, LocalizeKind::Hint, "UngroupB"},
    {2367, LocalizeKind::Hint, "ShowGridB"},
    {2368, LocalizeKind::Hint, "AlignToGridB"},
    {2369, LocalizeKind::Hint, "SetToGridB"},
    {2370, LocalizeKind::Hint, "ScaleCB"},
    {2371, LocalizeKind::Caption, "ExtraToolsTB"},
    {2372, LocalizeKind::Hint, "ObjectSelectB"},
    {2373, LocalizeKind::Hint, "HandToolB"},
    {2374, LocalizeKind::Hint, "ZoomToolB"},
    {2375, LocalizeKind::Hint, "TextToolB"},
    {2376, LocalizeKind::Hint, "FormatToolB"},
    {2377, LocalizeKind::Hint, "ObjectBandB"},
    {2378, LocalizeKind::Caption, "FileMenu"},
    {2379, LocalizeKind::Caption, "EditMenu"},
    {2380, LocalizeKind::Caption, "FindCmd"},
    {2381, LocalizeKind::Caption, "FindNextCmd"},
    {2382, LocalizeKind::Caption, "ReplaceCmd"},
    {2383, LocalizeKind::Caption, "ReportMenu"},
    {2384, LocalizeKind::Caption, "ReportDataCmd"},
    {2385, LocalizeKind::Caption, "ReportOptionsCmd"},
    {2386, LocalizeKind::Caption, "ReportStylesCmd"},
    {2387, LocalizeKind::Caption, "ViewMenu"},
    {2388, LocalizeKind::Caption, "ToolbarsCmd"},
    {2389, LocalizeKind::Caption, "StandardTBCmd"},
    {2390, LocalizeKind::Caption, "TextTBCmd"},
    {2391, LocalizeKind::Caption, "FrameTBCmd"},
    {2392, LocalizeKind::Caption, "AlignTBCmd"},
    {2393, LocalizeKind::Caption, "ExtraTBCmd"},
    {2394, LocalizeKind::Caption, "InspectorTBCmd"},
    {2395, LocalizeKind::Caption, "DataTreeTBCmd"},
    {2396, LocalizeKind::Caption, "ReportTreeTBCmd"},
    {2397, LocalizeKind::Caption, "ShowRulersCmd"},
    {2398, LocalizeKind::Caption, "ShowGuidesCmd"},
    {2399, LocalizeKind::Caption, "DeleteGuidesCmd"},
    {2400, LocalizeKind::Caption, "OptionsCmd"},
    {2401, LocalizeKind::Caption, "HelpMenu"},
    {2402, LocalizeKind::Caption, "HelpContentsCmd"},
    {2403, LocalizeKind::Caption, "AboutCmd"},
    {2404, LocalizeKind::Caption, "TabOrderMI"},
    {2405, LocalizeKind::Caption, "UndoCmd"},
    {2406, LocalizeKind::Caption, "RedoCmd"},
    {2407, LocalizeKind::Caption, "CutCmd"},
    {2408, LocalizeKind::Caption, "CopyCmd"},
    {2409, LocalizeKind::Caption, "PasteCmd"},
    {2410, LocalizeKind::Caption, "GroupCmd"},
    {2411, LocalizeKind::Caption, "UngroupCmd"},
    {2412, LocalizeKind::Caption, "DeleteCmd"},
    {2413, LocalizeKind::Caption, "DeletePageCmd"},
    {2414, LocalizeKind::Caption, "SelectAllCmd"},
    {2415, LocalizeKind::Caption, "EditCmd"},
    {2416, LocalizeKind::Caption, "BringToFrontCmd"},
    {2417, LocalizeKind::Caption, "SendToBackCmd"},
    {2418, LocalizeKind::Caption, "NewItemCmd"},
    {2419, LocalizeKind::Caption, "NewReportCmd"},
    {2420, LocalizeKind::Caption, "NewPageCmd"},
    {2421, LocalizeKind::Caption, "NewDialogCmd"},
    {2422, LocalizeKind::Caption, "OpenCmd"},
    {2423, LocalizeKind::Caption, "SaveCmd"},
    {2424, LocalizeKind::Caption, "SaveAsCmd"},
    {2425, LocalizeKind::Caption, "VariablesCmd"},
    {2426, LocalizeKind::Caption, "PageSettingsCmd"},
    {2427, LocalizeKind::Caption, "PreviewCmd"},
    {2428, LocalizeKind::Caption, "ExitCmd"},
    {2429, LocalizeKind::Caption, "ReportTitleMI"},
    {2430, LocalizeKind::Caption, "ReportSummaryMI"},
    {2431, LocalizeKind::Caption, "PageHeaderMI"},
    {2432, LocalizeKind::Caption, "PageFooterMI"},
    {2433, LocalizeKind::Caption, "HeaderMI"},
    {2434, LocalizeKind::Caption, "FooterMI"},
    {2435, LocalizeKind::Caption, "MasterDataMI"},
    {2436, LocalizeKind::Caption, "DetailDataMI"},
    {2437, LocalizeKind::Caption, "SubdetailDataMI"},
    {2438, LocalizeKind::Caption, "Data4levelMI"},
    {2439, LocalizeKind::Caption, "Data5levelMI"},
    {2440, LocalizeKind::Caption, "Data6levelMI"},
    {2441, LocalizeKind::Caption, "GroupHeaderMI"},
    {2442, LocalizeKind::Caption, "GroupFooterMI"},
    {2443, LocalizeKind::Caption, "ChildMI"},
    {2444, LocalizeKind::Caption, "ColumnHeaderMI"},
    {2445, LocalizeKind::Caption, "ColumnFooterMI"},
    {2446, LocalizeKind::Caption, "OverlayMI"},
    {2447, LocalizeKind::Caption, "VerticalbandsMI"},
    {2448, LocalizeKind::Caption, "HeaderMI1"},
    {2449, LocalizeKind::Caption, "FooterMI1"},
    {2450, LocalizeKind::Caption, "MasterDataMI1"},
    {2451, LocalizeKind::Caption, "DetailDataMI1"},
    {2452, LocalizeKind::Caption, "SubdetailDataMI1"},
    {2453, LocalizeKind::Caption, "GroupHeaderMI1"},
    {2454, LocalizeKind::Caption, "GroupFooterMI1"},
    {2455, LocalizeKind::Caption, "ChildMI1"},
    {2456, LocalizeKind::Caption, "R0MI"},
    {2457, LocalizeKind::Caption, "R45MI"},
    {2458, LocalizeKind::Caption, "R90MI"},
    {2459, LocalizeKind::Caption, "R180MI"},
    {2460, LocalizeKind::Caption, "R270MI"},
    {2461, LocalizeKind::Hint, "FontB"},
    {2462, LocalizeKind::Caption, "BoldMI"},
    {2463, LocalizeKind::Caption, "ItalicMI"},
    {2464, LocalizeKind::Caption, "UnderlineMI"},
    {2465, LocalizeKind::Caption, "SuperScriptMI"},
    {2466, LocalizeKind::Caption, "SubScriptMI"},
    {2467, LocalizeKind::Caption, "CondensedMI"},
    {2468, LocalizeKind::Caption, "WideMI"},
    {2469, LocalizeKind::Caption, "N12cpiMI"},
    {2470, LocalizeKind::Caption, "N15cpiMI"},
    {2471, LocalizeKind::Filter, "OpenDialog"},
    {2472, LocalizeKind::Filter, "OpenScriptDialog"},
    {2473, LocalizeKind::Filter, "SaveScriptDialog"},
    {2474, LocalizeKind::Caption, "ConnectionsMI"},
    {2476, LocalizeKind::Hint, "BreakPointB"},
    {2477, LocalizeKind::Hint, "RunToCursorB"},
    {2478, LocalizeKind::Caption, "AddChildMI"},
};

QStringList ParseCommaText(const QString& text)
{
    ScriptStringList list;
    list.SetCommaText(text);
    return list.Lines();
}

QString CommaText(const QStringList& lines)
{
    ScriptStringList list;
    list.SetLines(lines);
    return list.CommaText();
}

} // namespace

QString TrpDesignerForm::DefaultSettingsText()
{
    return QStringLiteral(
        "[Form4.TrpObjectInspector];Width=159;SplitPos=75;Split1Pos=65;Dock4=LeftDockSite2;"
        "[Form4.TrpDesignerForm];EditAfterInsert=1;Maximized=1;"
        "[Form4.TrpDataTreeForm];Width=143;Dock4=RightDockSite;"
        "[Form4.TrpReportTreeForm];Width=159;Dock4=LeftDockSite2;"
        "[Form4.TrpWatchForm];Height=100;Dock4=CodeDockSite;"
        "[ToolBar4.StandardTB];Float=0;Visible=1;Left=0;Top=0;Width=576;Height=27;Dock4=DockTop;"
        "[ToolBar4.TextTB];Float=0;Visible=1;Left=0;Top=27;Width=651;Height=27;Dock4=DockTop;"
        "[ToolBar4.FrameTB];Float=0;Visible=1;Left=651;Top=27;Width=305;Height=27;Dock4=DockTop;"
        "[ToolBar4.AlignTB];Visible=0;"
        "[ToolBar4.ExtraToolsTB];Visible=0;"
        "[Dock4.LeftDockSite2];Width=160;"
        "[Dock4.RightDockSite];Width=160");
}

namespace {

std::unique_ptr<TrpIniFile> DefaultStore()
{
    QString text = TrpDesignerForm::DefaultSettingsText();
    text.replace(u';', QStringLiteral("\n"));
    return CreateTextIniFile(text);
}

} // namespace

void TrpDesignerForm::RestoreState(bool restoreDefault, bool restoreMainForm)
{
    std::unique_ptr<TrpIniFile> store = Report()->GetIniFile();
    if (restoreDefault || store->ReadFloat(kSection, QStringLiteral("Scale"), 0) == 0 ||
        store->ReadInteger(kSection, QStringLiteral("WorkspaceColor"), kClWindow) == 0)
        store = DefaultStore();
    try {
        LoadState(*store, restoreMainForm);
    } catch (const std::exception&) {
        // Damaged settings: the defaults once more.
        store = DefaultStore();
        LoadState(*store, restoreMainForm);
    }
}

void TrpDesignerForm::LoadState(TrpIniFile& store, bool restoreMainForm)
{
    if (restoreMainForm) {
        RestoreFormPlacement(store, *this, *this);
        return;
    }
    const int inspectorWidth = FInspector->width();
    int splitPos = store.ReadInteger(kInspectorSection, QStringLiteral("SplitPos"), inspectorWidth / 2);
    if (splitPos > inspectorWidth - 10)
        splitPos = inspectorWidth / 2;
    FInspector->SetSplitterPos(splitPos);
    int split1Pos = store.ReadInteger(kInspectorSection, QStringLiteral("Split1Pos"), 65);
    if (split1Pos < 10)
        split1Pos = 65;
    FInspector->SetSplitter1Pos(split1Pos);

    // Numbers a settings file edited by hand may hold beyond their fields' ranges fall back to
    // the defaults: a grid step of 1e300 would round every band onto one top.
    using DesignerFields::Sound;
    SetScale(Sound(store.ReadFloat(kSection, QStringLiteral("Scale"), 1), DesignerFields::kScale, 1));
    SetShowGrid(store.ReadBool(kSection, QStringLiteral("ShowGrid"), true));
    SetGridAlign(store.ReadBool(kSection, QStringLiteral("GridAlign"), true));
    SetShowRulers(store.ReadBool(kSection, QStringLiteral("ShowRulers"), true));
    SetShowGuides(store.ReadBool(kSection, QStringLiteral("ShowGuides"), true));
    const auto grid = [&](const char* key, NumberRange range, double fallback) {
        return Sound(store.ReadFloat(kSection, QString::fromLatin1(key), fallback), range, fallback);
    };
    FGridSize1 = grid("Grid1", DesignerFields::kGridCM, 0.1);
    FGridSize2 = grid("Grid2", DesignerFields::kGridInches, 0.1);
    FGridSize3 = grid("Grid3", DesignerFields::kGridPixels, 4);
    FGridSize4 = grid("Grid4", DesignerFields::kGridDialog, 4);
    const int units = store.ReadInteger(kSection, QStringLiteral("Units"), 0);
    SetUnits(units >= duCM && units <= duChars ? static_cast<TrpDesignerUnits>(units) : duCM);
    FOldUnits = FUnits;
    FScriptFontName = store.ReadString(kSection, QStringLiteral("ScriptFontName"), QStringLiteral("Courier New"));
    FScriptFontSize = static_cast<int>(
        Sound(store.ReadInteger(kSection, QStringLiteral("ScriptFontSize"), 10), DesignerFields::kEditorFontSize, 10));
    QFont scriptFont(FScriptFontName);
    scriptFont.setPointSize(std::max(1, FScriptFontSize));
    FCodeWindow->SetEditorFont(scriptFont);
    MemoFontName = store.ReadString(kSection, QStringLiteral("MemoFontName"), QStringLiteral("Arial"));
    MemoFontSize = static_cast<int>(
        Sound(store.ReadInteger(kSection, QStringLiteral("MemoFontSize"), 10), DesignerFields::kEditorFontSize, 10));
    UseObjectFont = store.ReadBool(kSection, QStringLiteral("UseObjectFont"), true);
    SetWorkspaceColor(store.ReadInteger(kSection, QStringLiteral("WorkspaceColor"), kClWindow));
    SetToolsColor(store.ReadInteger(kSection, QStringLiteral("ToolsColor"), kClWindow));
    FGridLCD = store.ReadBool(kSection, QStringLiteral("GridLCD"), false);
    FEditAfterInsert = store.ReadBool(kSection, QStringLiteral("EditAfterInsert"), false);
    FRecentFiles = ParseCommaText(store.ReadString(kSection, QStringLiteral("RecentFiles"), QString()));
    FFreeBands = store.ReadBool(kSection, QStringLiteral("FreeBands"), false);
    FBandsGap = static_cast<int>(
        Sound(store.ReadInteger(kSection, QStringLiteral("BandsGap"), 4), DesignerFields::kBandsGap, 4));
    FShowBandCaptions = store.ReadBool(kSection, QStringLiteral("ShowBandCaptions"), true);
    FDropFields = store.ReadBool(kSection, QStringLiteral("DropFields"), true);
    FShowStartup = store.ReadBool(kSection, QStringLiteral("ShowStartup"), true);
    QString watches = store.ReadString(kSection, QStringLiteral("WatchList"), QString());
    FWatchList->SetWatchesText(watches.replace(QStringLiteral("\\n"), QStringLiteral("\n")));

    RestoreFormPlacement(store, *Dock(QStringLiteral("InspectorDock")), *this);
    if (!IsPreviewDesigner()) {
        RestoreFormPlacement(store, *Dock(QStringLiteral("DataTreeDock")), *this);
        RestoreFormPlacement(store, *Dock(QStringLiteral("ReportTreeDock")), *this);
        RestoreFormPlacement(store, *Dock(QStringLiteral("WatchDock")), *this);
    }
    for (const char* name : kToolBars)
        RestoreToolbarPlacement(store, *ToolBar(QString::fromLatin1(name)), *this);
    ArrangeToolBarRows();
    if (!IsPreviewDesigner()) {
        for (const char* name : kDockSites)
            RestoreDockSitePlacement(store, *DockSite(QString::fromLatin1(name)));
    }
    // Without a stored layout the inspector takes the larger part of its site.
    if (!store.ValueExists(QStringLiteral("Dock4.LeftDockSite2"), QStringLiteral("Data2005"))) {
        QDockWidget* inspector = Dock(QStringLiteral("InspectorDock"));
        QDockWidget* tree = Dock(QStringLiteral("ReportTreeDock"));
        if (HostDockSite(*inspector, *this) != nullptr && HostDockSite(*inspector, *this) == HostDockSite(*tree, *this))
            resizeDocks({inspector, tree}, {600, 300}, Qt::Vertical);
    }
    // The watch list stays visible, under the script editor.
    QDockWidget* watch = Dock(QStringLiteral("WatchDock"));
    DockSite(QStringLiteral("CodeDockSite"))->Dock(watch);
    watch->show();
}

void TrpDesignerForm::ArrangeToolBarRows()
{
    // Rows from the stored tops: bars of one row in the order of their lefts.
    struct Placed {
        QToolBar* bar;
        int top;
        int left;
    };
    std::vector<Placed> top;
    for (const char* name : kToolBars) {
        QToolBar* bar = ToolBar(QString::fromLatin1(name));
        if (toolBarArea(bar) == Qt::TopToolBarArea)
            top.push_back({bar, bar->property("placedTop").toInt(), bar->property("placedLeft").toInt()});
    }
    std::stable_sort(top.begin(), top.end(), [](const Placed& a, const Placed& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    int lastTop = 0;
    bool first = true;
    for (const Placed& placed : top) {
        const bool visible = !placed.bar->isHidden();
        removeToolBarBreak(placed.bar);
        addToolBar(Qt::TopToolBarArea, placed.bar);
        if (!first && placed.top != lastTop)
            insertToolBarBreak(placed.bar);
        placed.bar->setVisible(visible);
        lastTop = placed.top;
        first = false;
    }
}

void TrpDesignerForm::SaveState()
{
    if (IsPreviewDesigner() || FWorkspaceColor == 0)
        return;
    std::unique_ptr<TrpIniFile> store = Report()->GetIniFile();
    if (!Report()->IniFile.startsWith(QLatin1String("\\Software\\"))) {
        const QFileInfo file(Report()->IniFile);
        if (!QDir().mkpath(file.absolutePath()))
            return;
    }
    store->WriteInteger(kInspectorSection, QStringLiteral("SplitPos"), FInspector->SplitterPos());
    store->WriteInteger(kInspectorSection, QStringLiteral("Split1Pos"), FInspector->Splitter1Pos());
    store->WriteFloat(kSection, QStringLiteral("Scale"), FScale);
    store->WriteBool(kSection, QStringLiteral("ShowGrid"), FShowGrid);
    store->WriteBool(kSection, QStringLiteral("GridAlign"), FGridAlign);
    store->WriteBool(kSection, QStringLiteral("ShowRulers"), FShowRulers);
    store->WriteBool(kSection, QStringLiteral("ShowGuides"), FShowGuides);
    store->WriteFloat(kSection, QStringLiteral("Grid1"), FGridSize1);
    store->WriteFloat(kSection, QStringLiteral("Grid2"), FGridSize2);
    store->WriteFloat(kSection, QStringLiteral("Grid3"), FGridSize3);
    store->WriteFloat(kSection, QStringLiteral("Grid4"), FGridSize4);
    FUnits = FOldUnits;
    store->WriteInteger(kSection, QStringLiteral("Units"), FUnits);
    store->WriteString(kSection, QStringLiteral("ScriptFontName"), FScriptFontName);
    store->WriteInteger(kSection, QStringLiteral("ScriptFontSize"), FScriptFontSize);
    store->WriteString(kSection, QStringLiteral("MemoFontName"), MemoFontName);
    store->WriteInteger(kSection, QStringLiteral("MemoFontSize"), MemoFontSize);
    store->WriteBool(kSection, QStringLiteral("UseObjectFont"), UseObjectFont);
    store->WriteInteger(kSection, QStringLiteral("WorkspaceColor"), FWorkspaceColor);
    store->WriteInteger(kSection, QStringLiteral("ToolsColor"), FToolsColor);
    store->WriteBool(kSection, QStringLiteral("GridLCD"), FGridLCD);
    store->WriteBool(kSection, QStringLiteral("EditAfterInsert"), FEditAfterInsert);
    store->WriteBool(kSection, QStringLiteral("LocalizedOI"), FLocalizedOI);
    const QString recent = CommaText(FRecentFiles);
    const bool iniFile = !Report()->IniFile.startsWith(QLatin1String("\\Software\\"));
    store->WriteString(kSection, QStringLiteral("RecentFiles"), iniFile ? u'"' + recent + u'"' : recent);
    store->WriteBool(kSection, QStringLiteral("FreeBands"), FFreeBands);
    store->WriteInteger(kSection, QStringLiteral("BandsGap"), FBandsGap);
    store->WriteBool(kSection, QStringLiteral("ShowBandCaptions"), FShowBandCaptions);
    store->WriteBool(kSection, QStringLiteral("DropFields"), FDropFields);
    store->WriteBool(kSection, QStringLiteral("ShowStartup"), FShowStartup);
    QString watches = FWatchList->WatchesText();
    // One line in the store: line ends written as "\n".
    watches.remove(u'\r');
    watches.replace(QStringLiteral("\n"), QStringLiteral("\\n"));
    store->WriteString(kSection, QStringLiteral("WatchList"), watches);

    SaveFormPlacement(*store, *this, *this);
    for (const char* name : kToolDocks)
        SaveFormPlacement(*store, *Dock(QString::fromLatin1(name)), *this);
    for (const char* name : kToolBars)
        SaveToolbarPlacement(*store, *ToolBar(QString::fromLatin1(name)), *this);
    if (FInspector->objectName() == QLatin1String("rpObjectInspector") &&
        FDataTree->objectName() == QLatin1String("rpDataTreeForm") &&
        FReportTree->objectName() == QLatin1String("rpReportTreeForm") &&
        FWatchList->objectName() == QLatin1String("rpWatchForm")) {
        for (const char* name : kDockSites)
            SaveDockSitePlacement(*store, *DockSite(QString::fromLatin1(name)));
    }
    store->UpdateFile();
}

// --- texts ---

void TrpDesignerForm::Localize()
{
    TrpResources& resources = GetResourcesInstance();
    for (const LocalizeRow& row : kLocalizeTable) {
        const QString text = resources.GetResourceTextById(row.number);
        const QString target = QString::fromLatin1(row.target);
        if (row.kind == LocalizeKind::Filter) {
            setProperty(row.target, text);
            continue;
        }
        if (QAction* action = Action(target)) {
            action->setText(text);
            continue;
        }
        if (row.kind == LocalizeKind::Hint) {
            if (QWidget* control = Control(target))
                control->setToolTip(text);
            continue;
        }
        if (auto* menu = findChild<QMenu*>(target)) {
            menu->setTitle(text);
        } else if (auto* bar = findChild<QToolBar*>(target)) {
            bar->setWindowTitle(text);
        } else if (auto* label = qobject_cast<QLabel*>(Control(target))) {
            label->setText(text);
        } else if (auto* item = findChild<QAction*>(target)) {
            item->setText(text);
        }
    }
    if (QAction* toolbars = Action(QStringLiteral("ToolbarsCmd")))
        findChild<QMenu*>(QStringLiteral("ToolbarsMI"))->setTitle(toolbars->text());
    Dock(QStringLiteral("InspectorDock"))->setWindowTitle(resources.GetResourceTextById(2000));
    Dock(QStringLiteral("DataTreeDock"))->setWindowTitle(resources.GetResourceTextById(2100));
    Dock(QStringLiteral("ReportTreeDock"))->setWindowTitle(resources.GetResourceTextById(2200));
    if (FLanguageMenu != nullptr)
        FLanguageMenu->setTitle(resources.GetResourceTextById(2475));
}

void TrpDesignerForm::BuildLanguageMenu()
{
    platform::RegistryStore registry = platform::RegistryStore::CurrentUser();
    QString stored;
    if (registry.KeyExists(kResourcesKey))
        stored = QString::fromStdString(registry.ReadString(kResourcesKey, "Language", ""));
    const QStringList& languages = GetResourcesInstance().Languages();
    auto* view = findChild<QMenu*>(QStringLiteral("ViewMenu"));
    if (FLanguageMenu != nullptr) {
        view->removeAction(FLanguageMenu->menuAction());
        delete FLanguageMenu;
        FLanguageMenu = nullptr;
    }
    if (languages.isEmpty())
        return;
    if (FLanguageSeparator == nullptr) {
        FLanguageSeparator = view->addSeparator();
        FLanguageSeparator->setObjectName(QStringLiteral("LanguageSep"));
    }
    FLanguageMenu = view->addMenu(GetResourcesInstance().GetResourceTextById(2475));
    FLanguageMenu->setObjectName(QStringLiteral("LanguageMI"));
    auto* group = new QActionGroup(FLanguageMenu);
    for (const QString& language : languages) {
        QAction* item = FLanguageMenu->addAction(language);
        item->setCheckable(true);
        group->addAction(item);
        item->setChecked(language.compare(stored, Qt::CaseInsensitive) == 0);
        connect(item, &QAction::triggered, this, [this, item] { Guard([this, item] { LangSelectClick(item); }); });
    }
}

void TrpDesignerForm::LangSelectClick(QAction* item)
{
    item->setChecked(true);
    // The menu shows the file's name capitalised; file names here are case-sensitive, so the
    // file is found by its name compared without regard to case.
    const QDir folder(GetResourcesInstance().LanguagesFolder());
    const QString wanted = item->text() + QStringLiteral(".zrc");
    QString fileName = folder.filePath(wanted);
    for (const QString& entry : folder.entryList({QStringLiteral("*.zrc")}, QDir::Files)) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            fileName = folder.filePath(entry);
    }
    GetResourcesInstance().LoadFromFile(fileName);
    Localize();
    platform::RegistryStore registry = platform::RegistryStore::CurrentUser();
    if (registry.KeyExists(kResourcesKey))
        registry.WriteString(kResourcesKey, "Language", item->text().toStdString());
}
