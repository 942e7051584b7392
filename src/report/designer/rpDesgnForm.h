#pragma once

// The designer window: edits one report visually (report pages with bands and objects, dialog
// pages, the data page and the report's script), with its menus, tool bars, docked tool windows
// (inspector, data tree, report tree, watch list), page tabs and status bar. The report opens it
// through the model's designer factory, which DesignerRuntime::init sets.

#include "rpDesgn.h"

#include "report/model/rpClass.h"
#include "report/model/rpClass_services.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <array>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QDockWidget;
class QLabel;
class QListWidget;
class QMenu;
class QScrollArea;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolBar;
class QToolButton;
class TrpClipboard;
class TrpColorSelector;
class TrpLineSelector;
class TrpDataTreeForm;
class TrpDockSite;
class TrpIniFile;
class TrpObjectInspector;
class TrpPictureCache;
class TrpReportPage;
class TrpReportTreeForm;
class TrpRuler;
class TrpScrollBox;
class TrpSyntaxMemo;
class TrpUndoBuffer;
class TrpWatchForm;
class TrpStatusPanel;

class TrpDesignerForm : public QMainWindow, public TrpCustomDesigner, public ITrpWorkspaceHost {
    Q_OBJECT
public:
    TrpDesignerForm(TrpReport* report, bool previewDesigner, QWidget* parent = nullptr);
    ~TrpDesignerForm() override;

    // --- the model's window hooks
    // Wires the window to the report (the showing steps); runs once.
    void Start() override;
    bool Started() const { return started_; }
    // Shows the window until it closes (starting it first when that has not been done).
    void ShowModal() override;
    // Shows the window and returns; it frees itself when it closes.
    void ShowModeless() override;
    // Puts the window's client area into a panel of the program.
    void EmbedIn(QObject* panel) override;

    // --- the designer operations
    void SetModified(bool value) override;
    void SetPage(TrpComponent* page) override;
    QStringList Code() override;
    QString InsertExpression(const QString& expression) override;
    void Lock() override;
    void ReloadPages(int32_t index) override;
    void ReloadReport() override;
    void UpdateDataTree() override;
    void UpdatePage() override;

    // --- handlers the designer's parts call
    void ObjectModified(QObject* sender);
    void SelectionChanged(QObject* sender);
    void EditSelectedObject();
    // The workspace reports the position and size of the object under work, in pixels; `mode`
    // is the workspace's gesture (TrpDesignerWorkspace::TrpDesignMode1).
    void NotifyPosition(const QRectF& bounds, int mode = 0, bool mouseDown = false);
    void SwitchToCodeWindow() { SetPage(nullptr); }

    // --- the state display
    void UpdateControls();
    void UpdateCaption();
    void UpdateRecentFiles(const QString& fileName);
    void UpdateStyleList();
    void UpdatePageDimensions();
    void FillObjectLists();
    // The Paste availability the timer refreshes each second.
    void TimerTimer();
    // The scale box's choice: an item index (6 page width, 7 whole page) or its text.
    void ScaleCBClick();
    // Ctrl with the wheel over a page: `notches` up (positive) or down.
    void ScaleByWheel(int notches);
    // A press in status panel 0 then a double click cycles the units.
    void StatusBarMouseDown(int panel);
    void StatusBarDblClick();

    // --- settings and texts
    void RestoreState(bool restoreDefault, bool restoreMainForm);
    void SaveState();
    void Localize();
    void BuildLanguageMenu();
    void LangSelectClick(QAction* item);
    // The text of the designer's built-in default settings.
    static QString DefaultSettingsText();

    // --- closing
    // Whether the window may close now (asks about unsaved changes).
    bool CloseQuery();
    int AskSaveChanges();
    QString GetReportDisplayName() const;
    // Closes without asking: the settings are stored and the report told, as on any close.
    void CloseNow();
    // Saves the report; false when it was not saved.
    bool SaveFile(bool saveAs, bool useOnSaveEvent);

    // --- new reports from wizards and templates
    // The template files with their full paths: the designer component's OnGetTemplateList,
    // else every "*.EXT" of the template folder (the program's folder when none is set).
    void GetTemplateList(QStringList& list);
    // New...: with unsaved changes the save question first (Yes saves, Cancel stops), then
    // the New Item dialog.
    void NewItemCmdExecute();

    // --- the commands of the action list (rpDesgnForm_commands*.cpp)
    // Loads a report into the window: the named file, or with none the component's
    // OnLoadReport (useOnLoadEvent) or the file the open dialog picks.
    void LoadFile(const QString& fileName, bool useOnLoadEvent);
    void SetReportDefaults() override;
    void NewReportCmdExecute();
    void NewPageCmdExecute();
    void NewDialogCmdExecute();
    void DeletePageCmdExecute();
    void UndoCmdExecute();
    void RedoCmdExecute();
    void CutCmdExecute();
    void CopyCmdExecute();
    void PasteCmdExecute();
    void SelectAllCmdExecute();
    // Moves the selection to the front (end of the parent's list) or the back.
    void MoveSelectionInOrder(bool toFront);
    void AddChildMIClick();
    // Find... (replace false) and Replace...: the find dialog, then FindNext.
    void FindCmdExecute(bool replace);
    void FindNext();
    void PreviewCmdExecute();
    void ReportDialogCmdExecute(const QString& command);
    // Fills the workspace's context menu before it opens (the component editor's items).
    void PreparePagePopup();
    // The class whose help topic Help Contents opens: the script editor, a dialog page, a
    // dialog component or the window.
    QString HelpTopicClass() const;

    // --- what the workspace asks of its host
    bool DropFields() const override { return FDropFields; }
    bool CheckOp(TrpDesignerRestriction restriction) const override { return ::CheckOp(restriction); }
    QSizeF GetDefaultObjectSize() const override;
    void ApplySample(TrpCustomMemoView& memo) override;
    TrpDataTreeForm* DataTree() const override { return FDataTree; }
    void InsertedObject(TrpComponent* object) override;

    // --- inserting and formatting objects: the objects tool bar, the band menu, the Text and
    // Frame tool bars with their selectors, the dot-matrix font menu, the alignment palette.
    // Each handler takes the control that sent it; its "tag" property says what to do.
    void ObjectsButtonClick(QObject* sender);
    void SelectToolBClick(QObject* sender);
    void ObjectBandBClick();
    void BandsPopupPopup();
    void InsertBandClick(QObject* sender);
    // The workspace finished drawing the insertion rectangle.
    void InsertObject();
    void ToolButtonClick(QObject* sender);
    // The colour selector under FontColorB, FillColorB or FrameColorB, and the line selector
    // under FrameStyleB; they free themselves once a choice is made.
    TrpColorSelector* FontColorBClick(QObject* sender);
    TrpLineSelector* FrameStyleBClick();
    void HighlightBClick();
    void AlignLeftsBClick();
    void AlignRightsBClick();
    void AlignTopsBClick();
    void AlignBottomsBClick();
    void AlignHorzCentersBClick();
    void AlignVertCentersBClick();
    void CenterHorzBClick();
    void CenterVertBClick();
    void SpaceHorzBClick();
    void SpaceVertBClick();
    void SameWidthBClick();
    void SameHeightBClick();
    // Presses the objects tool-bar button of a class's registry entry, through its category's
    // menu when the entry has no button of its own; false when no shown button offers it.
    bool PressObjectButton(const QString& className, uint16_t flags);
    // The last colour and frame style picked in a selector.
    int32_t PickedColor() const { return FColor; }
    int PickedLineStyle() const { return FLineStyle; }

    // --- properties
    double Scale() const override { return FScale; }
    void SetScale(double value) override;
    TrpDesignerUnits Units() const { return FUnits; }
    void SetUnits(TrpDesignerUnits value);
    TrpDesignerUnits OldUnits() const { return FOldUnits; }
    // The units of report pages, which a report page takes again when shown.
    void SetOldUnits(TrpDesignerUnits value) { FOldUnits = value; }
    double GridSize1() const { return FGridSize1; }
    double GridSize2() const { return FGridSize2; }
    double GridSize3() const { return FGridSize3; }
    double GridSize4() const { return FGridSize4; }
    void SetGridSize1(double value) { if (value > 0) FGridSize1 = value; }
    void SetGridSize2(double value) { if (value > 0) FGridSize2 = value; }
    void SetGridSize3(double value) { if (value > 0) FGridSize3 = value; }
    void SetGridSize4(double value) { if (value > 0) FGridSize4 = value; }
    bool ShowGrid() const { return FShowGrid; }
    void SetShowGrid(bool value);
    bool GridAlign() const { return FGridAlign; }
    void SetGridAlign(bool value);
    bool ShowRulers() const { return FShowRulers; }
    void SetShowRulers(bool value);
    bool ShowGuides() const { return FShowGuides; }
    void SetShowGuides(bool value);
    bool ShowStartup() const { return FShowStartup; }
    void SetShowStartup(bool value) { FShowStartup = value; }
    bool EditAfterInsert() const { return FEditAfterInsert; }
    void SetEditAfterInsert(bool value) { FEditAfterInsert = value; }
    void SetDropFields(bool value) { FDropFields = value; }
    int32_t WorkspaceColor() const { return FWorkspaceColor; }
    void SetWorkspaceColor(int32_t value);
    int32_t ToolsColor() const { return FToolsColor; }
    void SetToolsColor(int32_t value);
    const QStringList& RecentFiles() const { return FRecentFiles; }
    QString TemplatePath() const { return FTemplatePath; }
    TSampleFormat* SampleFormat() const { return FSampleFormat.get(); }
    TrpPictureCache* PictureCache() const { return FPictureCache.get(); }
    TrpUndoBuffer* UndoBuffer() const { return FUndoBuffer.get(); }
    TrpClipboard* Clipboard() const { return FClipboard.get(); }
    TrpObjectInspector* Inspector() const { return FInspector; }
    TrpReportTreeForm* ReportTree() const { return FReportTree; }
    TrpWatchForm* WatchList() const { return FWatchList; }
    TrpSyntaxMemo* CodeWindow() const { return FCodeWindow; }
    // The designer component a preview designer made for itself (none otherwise).
    TrpDesigner* TemporaryComponent() const { return FTempDesignerComp.data(); }
    // The status bar texts: panel 0 (units), the coordinates, panel 2 (selected object).
    QString StatusText(int panel) const;
    QString Coord(int index) const;
    // Values the settings do not reach through a property of their own.
    bool GridLCD() const { return FGridLCD; }
    bool FreeBands() const { return FFreeBands; }
    int BandsGap() const { return FBandsGap; }
    bool ShowBandCaptions() const { return FShowBandCaptions; }

    // --- the settings dialogs and what they set (rpDesgnForm_settingsDialogs.cpp)
    void PageSettingsCmdExecute();
    void ReportOptionsCmdExecute();
    void OptionsCmdExecute();
    void SetTemplatePath(const QString& value) { FTemplatePath = value; }
    // The workspace's values follow these.
    void SetGridLCD(bool value);
    void SetFreeBands(bool value);
    void SetBandsGap(int value);
    void SetShowBandCaptions(bool value);
    QString ScriptFontName() const { return FScriptFontName; }
    int ScriptFontSize() const { return FScriptFontSize; }
    void SetScriptFont(const QString& name, int size);

    // --- controls by name (the structure is also found with findChild)
    QAction* Action(const QString& name) const;
    QWidget* Control(const QString& name) const;
    QTabBar* Tabs() const { return FTabs; }
    QToolBar* ToolBar(const QString& name) const;
    QDockWidget* Dock(const QString& name) const;
    TrpDockSite* DockSite(const QString& name) const;
    QScrollArea* ScrollBox() const;
    TDesignerWorkspace* Workspace() const { return FWorkspace; }
    TrpRuler* TopRuler() const { return FTopRuler; }
    TrpRuler* LeftRuler() const { return FLeftRuler; }
    QWidget* DialogHost() const;

    // --- page tabs
    // Selects a tab as a click does (passing the change check first).
    void SetTabIndex(int index);
    // A tab dragged from `source` dropped onto `target`.
    void TabDrop(int source, int target);
    void SavePagePosition();
    void RestorePagePosition();
    const std::array<QString, 256>& PagePositions() const { return FPagePositions; }

    // --- keys
    // The command a key asks for, "" when none: ToggleInspector, Workspace, ApplyFontSize,
    // ApplyScale, PasteCmd, CopyCmd, CutCmd, ShowScript, RunToCursor, Breakpoint, StopScript,
    // Evaluate, RunScript, StepScript.
    QString KeyCommand(int key, Qt::KeyboardModifiers modifiers, bool fromInspector) const;
    // Handles a key of the window's key preview; true when it was taken.
    bool FormKeyDown(QKeyEvent* event);

    // --- the script page and the debugger (rpDesgnForm_script.cpp)
    // The editor's syntax and the script file dialogs follow the report's script language.
    void UpdateScriptLanguage();
    void LangCBClick();
    void OpenScriptBClick();
    void SaveScriptBClick();
    // Run, Step and Run to Cursor: `button` is "RunScriptB", "StepScriptB" or "RunToCursorB".
    void RunScriptBClick(const QString& button);
    void StopScriptBClick();
    void EvaluateBClick();
    void BreakPointBClick();
    void RunToCursorBClick();
    // The editor's completion list for the text before the caret (kinds in Qt::UserRole).
    void CodeCompletion(const QString& name, QListWidget& list);
    // The script engine's line hook while debugging: `sourcePos` is "line:column".
    void ScriptRunLine(const QString& unitName, const QString& sourcePos);
    // Runs the report in the modal preview; the debugger's runs go through it.
    void RunPreview();
    // While the debugger pauses, continues the run as Run does (what Preview does then) and
    // answers true; false otherwise.
    bool ResumeScript();
    bool ScriptRunning() const { return FScriptRunning; }
    bool ScriptStopped() const { return FScriptStopped; }
    bool ScriptStep() const { return FScriptStep; }

    // Called when the window closes, before it goes (after the settings are stored).
    std::function<void()> OnClosed;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    struct ActionInfo;

    void CreateStructure();
    void CreateActions();
    void ConnectSettingsCommands();
    void ConnectNewItemCommand();

    void ConnectCommands();
    void ConnectPagePopup();
    void CreateMenus();
    void CreateToolBars();
    void CreatePanels();
    void CreateDocks();
    void CreateStatusBar();
    void ConnectScriptCommands();
    QToolButton* AddButton(QToolBar* bar, const QString& name, int image, bool checkable = false);
    void Enable(const QString& name, bool enabled);
    void SetDown(const QString& name, bool down);
    bool HasHandler(const QString& name) const;
    void Guard(const std::function<void()>& body);

    void TabChanging(int index, bool& allow);
    void TabClicked(int index);
    void AttachDialogForm();
    void DetachDialogForm();
    void UpdateObjectsToolbar();
    void UpdateRulerOffsets();
    void UpdateWorkspaceGrid();
    void PlaceSheet();
    void CreateWorkspace();
    void LoadState(TrpIniFile& store, bool restoreMainForm);
    void SaveToolWindowPlacements(TrpIniFile& store);
    void ArrangeToolBarRows();
    void Close();
    bool IsReportPageShown() const;
    bool IsDialogPageShown() const;
    bool IsDataPageShown() const;
    // The objects tool bar's buttons for the registered objects and the wizard buttons (once,
    // as the window is shown), and the connections of the formatting controls.
    void CreateObjectsToolbar();
    void ConnectObjectTools();
    void ConnectFormatTools();
    // The font button's drop-down and the ticks of the dot-matrix font menu.
    void UpdateDMPControls();
    std::vector<TrpComponent*> AlignTargets() const;

    bool started_ = false;
    bool closed_ = false;
    bool modal_ = false;
    std::map<QString, QAction*> actions_;
    std::map<QString, QPointer<QWidget>> controls_;

    TDesignerWorkspace* FWorkspace = nullptr;
    QWidget* FSheetHost = nullptr;       // the scroll box's content: sheet and workspace
    TrpSyntaxMemo* FCodeWindow = nullptr;
    TrpObjectInspector* FInspector = nullptr;
    TrpDataTreeForm* FDataTree = nullptr;
    TrpReportTreeForm* FReportTree = nullptr;
    TrpWatchForm* FWatchList = nullptr;
    QTabBar* FTabs = nullptr;
    TrpRuler* FTopRuler = nullptr;
    TrpRuler* FLeftRuler = nullptr;
    QMainWindow* FCodePanel = nullptr;
    QStackedWidget* FPagesStack = nullptr;
    QWidget* FScrollBoxPanel = nullptr;
    TrpScrollBox* FScrollBox = nullptr;
    QWidget* FDialogHost = nullptr;      // stands in for a dialog page's window without a service
    QLabel* FStatusUnits = nullptr;
    TrpStatusPanel* FStatusCoords = nullptr;
    QLabel* FStatusObject = nullptr;
    QTimer* FTimer = nullptr;
    QMenu* FLanguageMenu = nullptr;
    QAction* FLanguageSeparator = nullptr;

    std::unique_ptr<TrpUndoBuffer> FUndoBuffer;
    std::unique_ptr<TrpClipboard> FClipboard;
    std::unique_ptr<TrpPictureCache> FPictureCache;
    std::unique_ptr<TSampleFormat> FSampleFormat;
    ITrpDialogWindow* FDialogForm = nullptr;
    QStringList FRecentFiles;
    std::array<QString, 256> FPagePositions;
    double FScale = 1;
    TrpDesignerUnits FUnits = duCM;
    TrpDesignerUnits FOldUnits = duCM;
    double FGridSize1 = 0.1;
    double FGridSize2 = 0.1;
    double FGridSize3 = 4;
    double FGridSize4 = 4;
    bool FGridAlign = true;
    bool FShowGrid = true;
    bool FShowRulers = true;
    bool FShowGuides = true;
    bool FShowStartup = true;
    bool FEditAfterInsert = false;
    bool FDropFields = true;
    bool FLocalizedOI = false;
    bool FGridLCD = false;
    bool FFreeBands = false;
    int FBandsGap = 4;
    bool FShowBandCaptions = true;
    QString FScriptFontName = QStringLiteral("Courier New");
    int FScriptFontSize = 10;
    int32_t FWorkspaceColor = kClWindow;
    int32_t FToolsColor = kClWindow;
    QPointer<QObject> FModifiedBy;       // the window that reported the last change
    bool FLockSelectionChanged = false;
    bool FUpdatingControls = false;
    bool FUnitsClicked = false;          // the last press lay in panel 0
    bool FMouseDown = false;             // a tab drag is armed
    int FDragTab = -1;
    QString FCoord1, FCoord2, FCoord3;
    bool FScriptRunning = false;
    bool FScriptStopped = false;         // the debugger pauses at a line
    bool FScriptStep = false;            // stop at every line
    bool FScriptFirstTime = false;       // the executable-line marks are still to be set
    QPointer<TrpDesigner> FOldDesignerComp;
    QPointer<TrpDesigner> FTempDesignerComp;
    QString FTemplatePath;
    QString FTemplateExt;
    // The find commands' state between Find Next calls.
    QString FSearchText;
    QString FSearchReplaceText;
    bool FSearchCase = false;
    bool FSearchReplace = false;
    int FSearchIndex = 0;
    int FCurrentTab = -1;
    bool FChangingTab = false;
    int32_t FColor = 0x1FFFFFFF;         // the last colour picked in a selector (none at first)
    int FLineStyle = 0;                  // the last frame style picked
};
