// The designer window's parts: the action list with its short cuts and the handlers that come
// with the window, the menus and pop-up menus, the tool bars, the panels of the design, script
// and dialog pages, and the tool windows in their dock sites.

#include "rpDesgnForm.h"

#include "rpAbout.h"
#include "rpDataTree.h"
#include "rpDesgnCtrls.h"
#include "rpDock.h"
#include "rpDsgnImages.h"
#include "rpInsp.h"
#include "rpReportTree.h"
#include "rpSynMemo.h"
#include "rpWatchForm.h"

#include "report/core/Services.h"
#include "report/engine/ui/rpCtrls.h"
#include "report/model/rpRes.h"
#include "report/script/ScriptDialogs.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct ActionRow {
    const char* name;
    const char* category;
    const char* caption;
    const char* shortcut;
};

// The action list with the form's captions (the resource texts replace them) and short cuts.
constexpr ActionRow kActions[] = {
    {"NewItemCmd", "File", "New...", ""},
    {"NewReportCmd", "File", "New Report", ""},
    {"NewPageCmd", "File", "New Page", ""},
    {"NewDialogCmd", "File", "New Dialog", ""},
    {"OpenCmd", "File", "Open...", "Ctrl+O"},
    {"SaveCmd", "File", "Save", "Ctrl+S"},
    {"SaveAsCmd", "File", "Save As...", ""},
    {"PageSettingsCmd", "File", "Page Settings...", ""},
    {"PreviewCmd", "File", "Preview", "Ctrl+P"},
    {"ExitCmd", "File", "Exit", "Alt+X"},
    {"UndoCmd", "Edit", "Undo", "Ctrl+Z"},
    {"RedoCmd", "Edit", "Redo", ""},
    {"CutCmd", "Edit", "Cut", "Ctrl+X"},
    {"CopyCmd", "Edit", "Copy", "Ctrl+C"},
    {"PasteCmd", "Edit", "Paste", "Ctrl+V"},
    {"DeleteCmd", "Edit", "Delete", ""},
    {"DeletePageCmd", "Edit", "Delete Page", ""},
    {"SelectAllCmd", "Edit", "Select All", "Ctrl+A"},
    {"EditCmd", "Edit", "Edit...", ""},
    {"BringToFrontCmd", "Edit", "Bring to Front", ""},
    {"SendToBackCmd", "Edit", "Send to Back", ""},
    {"GroupCmd", "Edit", "Group", ""},
    {"UngroupCmd", "Edit", "Ungroup", ""},
    {"FindCmd", "Edit", "Find...", "Ctrl+F"},
    {"ReplaceCmd", "Edit", "Replace...", "Ctrl+R"},
    {"FindNextCmd", "Edit", "Find Next", "F3"},
    {"ReportDataCmd", "Report", "Data...", ""},
    {"VariablesCmd", "Report", "Variables...", ""},
    {"ReportStylesCmd", "Report", "Styles...", ""},
    {"ReportOptionsCmd", "Report", "Options...", ""},
    {"ShowRulersCmd", "View", "Rulers", ""},
    {"ShowGuidesCmd", "View", "Guides", ""},
    {"DeleteGuidesCmd", "View", "Delete Guides", ""},
    {"OptionsCmd", "View", "Options...", ""},
    {"HelpContentsCmd", "Help", "Help Contents...", "F1"},
    {"AboutCmd", "Help", "About RedaVedera...", ""},
    {"ToolbarsCmd", "Toolbars", "Toolbars", ""},
    {"StandardTBCmd", "Toolbars", "Standard", ""},
    {"TextTBCmd", "Toolbars", "Text", ""},
    {"FrameTBCmd", "Toolbars", "Frame", ""},
    {"AlignTBCmd", "Toolbars", "Alignment Palette", ""},
    {"ExtraTBCmd", "Toolbars", "Extra Tools", ""},
    {"InspectorTBCmd", "Toolbars", "Object Inspector", "F11"},
    {"DataTreeTBCmd", "Toolbars", "Data Tree", ""},
    {"ReportTreeTBCmd", "Toolbars", "Report Tree", ""},
};

// Commands whose handlers this window has now; the others stay disabled until they come.
const QStringList kHandledCommands = {
    QStringLiteral("NewItemCmd"),
    QStringLiteral("SaveCmd"),        QStringLiteral("ExitCmd"),        QStringLiteral("ShowRulersCmd"),
    QStringLiteral("ShowGuidesCmd"),  QStringLiteral("HelpContentsCmd"), QStringLiteral("AboutCmd"),
    QStringLiteral("ToolbarsCmd"),    QStringLiteral("StandardTBCmd"),  QStringLiteral("TextTBCmd"),
    QStringLiteral("FrameTBCmd"),     QStringLiteral("AlignTBCmd"),     QStringLiteral("ExtraTBCmd"),
    QStringLiteral("InspectorTBCmd"), QStringLiteral("DataTreeTBCmd"),  QStringLiteral("ReportTreeTBCmd"),
    QStringLiteral("PageSettingsCmd"),
    QStringLiteral("ReportOptionsCmd"),
    QStringLiteral("OptionsCmd"),
    QStringLiteral("UndoCmd"),
    QStringLiteral("RedoCmd"),
    QStringLiteral("CutCmd"),
    QStringLiteral("CopyCmd"),
    QStringLiteral("PasteCmd"),
    QStringLiteral("DeleteCmd"),
    QStringLiteral("SelectAllCmd"),
    QStringLiteral("EditCmd"),
    QStringLiteral("BringToFrontCmd"),
    QStringLiteral("SendToBackCmd"),
    QStringLiteral("GroupCmd"),
    QStringLiteral("UngroupCmd"),
    QStringLiteral("NewReportCmd"),
    QStringLiteral("NewPageCmd"),
    QStringLiteral("NewDialogCmd"),
    QStringLiteral("DeletePageCmd"),
    QStringLiteral("OpenCmd"),
    QStringLiteral("SaveAsCmd"),
    QStringLiteral("FindCmd"),
    QStringLiteral("ReplaceCmd"),
    QStringLiteral("FindNextCmd"),
    QStringLiteral("ReportDataCmd"),
    QStringLiteral("VariablesCmd"),
    QStringLiteral("ReportStylesCmd"),
    QStringLiteral("DeleteGuidesCmd"),
    QStringLiteral("PreviewCmd"),
};

QDockWidget* MakeDock(QMainWindow* host, const QString& name, const QString& formClass, QWidget* content)
{
    auto* dock = new QDockWidget(host);
    dock->setObjectName(name);
    dock->setProperty("formClass", formClass);
    dock->setWidget(content);
    dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                      QDockWidget::DockWidgetFloatable);
    return dock;
}

} // namespace

void TrpDesignerForm::CreateActions()
{
    for (const ActionRow& row : kActions) {
        auto* action = new QAction(QString::fromUtf8(row.caption), this);
        const QString name = QString::fromLatin1(row.name);
        action->setObjectName(name);
        action->setProperty("category", QString::fromLatin1(row.category));
        if (row.shortcut[0] != '\0') {
            action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
            // The window's own key map decides when the short cuts of the editing commands act.
            action->setShortcutContext(Qt::WindowShortcut);
        }
        action->setEnabled(HasHandler(name));
        actions_[name] = action;
    }
    actions_[QStringLiteral("PasteCmd")]->setEnabled(false);
    actions_[QStringLiteral("FindNextCmd")]->setEnabled(false);
    for (const char* name : {"ShowRulersCmd", "ShowGuidesCmd", "StandardTBCmd", "TextTBCmd", "FrameTBCmd",
                             "AlignTBCmd", "ExtraTBCmd", "InspectorTBCmd", "DataTreeTBCmd", "ReportTreeTBCmd"})
        actions_[QString::fromLatin1(name)]->setCheckable(true);

    connect(Action(QStringLiteral("ExitCmd")), &QAction::triggered, this, [this] { close(); });
    connect(Action(QStringLiteral("SaveCmd")), &QAction::triggered, this, [this] {
        Guard([this] {
            // The inspector's pending edit counts: re-selecting its row commits it.
            FInspector->SetItemIndex(FInspector->ItemIndex());
            if (CheckOp(drDontSaveReport))
                SaveFile(false, true);
        });
    });
    connect(Action(QStringLiteral("AboutCmd")), &QAction::triggered, this, [this] {
        Guard([this] {
            TrpAboutForm about(this);
            ReportServices::Ui().RunModal(about, about.objectName());
        });
    });
    connect(Action(QStringLiteral("HelpContentsCmd")), &QAction::triggered, this,
            [this] { GetResourcesInstance().Help(HelpTopicClass()); });
    connect(Action(QStringLiteral("ShowRulersCmd")), &QAction::triggered, this,
            [this](bool on) { SetShowRulers(on); });
    connect(Action(QStringLiteral("ShowGuidesCmd")), &QAction::triggered, this,
            [this](bool on) { SetShowGuides(on); });
    ConnectSettingsCommands();
    ConnectNewItemCommand();

    ConnectCommands();
}

QAction* TrpDesignerForm::Action(const QString& name) const
{
    const auto found = actions_.find(name);
    return found == actions_.end() ? nullptr : found->second;
}

QWidget* TrpDesignerForm::Control(const QString& name) const
{
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second.data();
}

bool TrpDesignerForm::HasHandler(const QString& name) const
{
    return kHandledCommands.contains(name);
}

void TrpDesignerForm::CreateMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    const auto menu = [&](const QString& name, const QString& caption) {
        QMenu* result = bar->addMenu(caption);
        result->setObjectName(name);
        return result;
    };
    const auto item = [&](QMenu* parentMenu, const char* action) { parentMenu->addAction(Action(QString::fromLatin1(action))); };
    const auto separator = [&](QMenu* parentMenu, const QString& name) {
        QAction* result = parentMenu->addSeparator();
        result->setObjectName(name);
        return result;
    };

    QMenu* file = menu(QStringLiteral("FileMenu"), QStringLiteral("&File"));
    item(file, "NewItemCmd");
    item(file, "NewReportCmd");
    item(file, "NewPageCmd");
    item(file, "NewDialogCmd");
    separator(file, QStringLiteral("SepMI1"));
    item(file, "OpenCmd");
    item(file, "SaveCmd");
    item(file, "SaveAsCmd");
    separator(file, QStringLiteral("SepMI2"));
    item(file, "PreviewCmd");
    item(file, "PageSettingsCmd");
    separator(file, QStringLiteral("SepMI11"))->setVisible(false);
    separator(file, QStringLiteral("SepMI4"));
    item(file, "ExitCmd");

    QMenu* edit = menu(QStringLiteral("EditMenu"), QStringLiteral("&Edit"));
    for (const char* name : {"UndoCmd", "RedoCmd", "CutCmd", "CopyCmd", "PasteCmd", "DeleteCmd", "DeletePageCmd",
                             "SelectAllCmd", "GroupCmd", "UngroupCmd", "EditCmd", "FindCmd", "ReplaceCmd",
                             "FindNextCmd", "BringToFrontCmd", "SendToBackCmd"})
        item(edit, name);

    QMenu* report = menu(QStringLiteral("ReportMenu"), QStringLiteral("&Report"));
    for (const char* name : {"ReportDataCmd", "VariablesCmd", "ReportStylesCmd", "ReportOptionsCmd"})
        item(report, name);

    QMenu* view = menu(QStringLiteral("ViewMenu"), QStringLiteral("&View"));
    QMenu* toolbars = view->addMenu(QStringLiteral("Toolbars"));
    toolbars->setObjectName(QStringLiteral("ToolbarsMI"));
    toolbars->menuAction()->setObjectName(QStringLiteral("ToolbarsMIAction"));
    connect(Action(QStringLiteral("ToolbarsCmd")), &QAction::changed, toolbars,
            [this, toolbars] { toolbars->setTitle(Action(QStringLiteral("ToolbarsCmd"))->text()); });
    for (const char* name : {"StandardTBCmd", "TextTBCmd", "FrameTBCmd", "AlignTBCmd", "ExtraTBCmd",
                             "InspectorTBCmd", "DataTreeTBCmd", "ReportTreeTBCmd"})
        item(toolbars, name);
    for (const char* name : {"ShowRulersCmd", "ShowGuidesCmd", "DeleteGuidesCmd", "OptionsCmd"})
        item(view, name);
    QAction* connections = view->addAction(QStringLiteral("Connections..."));
    connections->setObjectName(QStringLiteral("ConnectionsMI"));
    connections->setVisible(false);
    connections->setEnabled(false);

    QMenu* help = menu(QStringLiteral("HelpMenu"), QStringLiteral("&Help"));
    item(help, "HelpContentsCmd");
    item(help, "AboutCmd");

    // Pop-up menus.
    auto* pagePopup = new QMenu(this);
    pagePopup->setObjectName(QStringLiteral("PagePopup"));
    QAction* addChild = pagePopup->addAction(QStringLiteral("Add child band"));
    addChild->setObjectName(QStringLiteral("AddChildMI"));
    addChild->setEnabled(false);
    QAction* tabOrder = pagePopup->addAction(QStringLiteral("Tab Order..."));
    tabOrder->setObjectName(QStringLiteral("TabOrderMI"));
    tabOrder->setVisible(false);
    tabOrder->setEnabled(false);
    auto* tabPopup = new QMenu(this);
    tabPopup->setObjectName(QStringLiteral("TabPopup"));
    for (const char* name : {"NewPageCmd", "NewDialogCmd", "DeletePageCmd", "PageSettingsCmd"})
        item(tabPopup, name);
    auto* bandsPopup = new QMenu(this);
    bandsPopup->setObjectName(QStringLiteral("BandsPopup"));
    for (const char* name : {"ReportTitleMI", "ReportSummaryMI", "PageHeaderMI", "PageFooterMI", "HeaderMI",
                             "FooterMI", "MasterDataMI", "DetailDataMI", "SubdetailDataMI", "Data4levelMI",
                             "Data5levelMI", "Data6levelMI", "GroupHeaderMI", "GroupFooterMI", "ChildMI",
                             "ColumnHeaderMI", "ColumnFooterMI", "OverlayMI"}) {
        QAction* band = bandsPopup->addAction(QString::fromLatin1(name));
        band->setObjectName(QString::fromLatin1(name));
        band->setEnabled(false);
    }
    QMenu* vertical = bandsPopup->addMenu(QStringLiteral("Vertical bands"));
    vertical->setObjectName(QStringLiteral("VerticalbandsMI"));
    vertical->menuAction()->setObjectName(QStringLiteral("VerticalbandsMIAction"));
    for (const char* name : {"HeaderMI1", "FooterMI1", "MasterDataMI1", "DetailDataMI1", "SubdetailDataMI1",
                             "GroupHeaderMI1", "GroupFooterMI1", "ChildMI1"}) {
        QAction* band = vertical->addAction(QString::fromLatin1(name));
        band->setObjectName(QString::fromLatin1(name));
        band->setEnabled(false);
    }
    auto* objectsPopup = new QMenu(this);
    objectsPopup->setObjectName(QStringLiteral("ObjectsPopup"));
    auto* rotationPopup = new QMenu(this);
    rotationPopup->setObjectName(QStringLiteral("RotationPopup"));
    for (const auto& [name, caption] : {std::pair{"R0MI", "0"}, {"R45MI", "45"}, {"R90MI", "90"},
                                        {"R180MI", "180"}, {"R270MI", "270"}}) {
        QAction* rotation = rotationPopup->addAction(QString::fromLatin1(caption));
        rotation->setObjectName(QString::fromLatin1(name));
        rotation->setEnabled(false);
    }
    auto* dmpPopup = new QMenu(this);
    dmpPopup->setObjectName(QStringLiteral("DMPPopup"));
    for (const char* name : {"BoldMI", "ItalicMI", "UnderlineMI", "SuperScriptMI", "SubScriptMI", "CondensedMI",
                             "WideMI", "N12cpiMI", "N15cpiMI"}) {
        QAction* style = dmpPopup->addAction(QString::fromLatin1(name));
        style->setObjectName(QString::fromLatin1(name));
        style->setCheckable(true);
        style->setEnabled(false);
    }
}

QToolButton* TrpDesignerForm::AddButton(QToolBar* bar, const QString& name, int image, bool checkable)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setCheckable(checkable);
    const auto& images = MainButtonImages();
    if (image >= 0 && image < static_cast<int>(images.size()))
        button->setIcon(QIcon(QPixmap::fromImage(images[image])));
    button->setEnabled(false);
    bar->addWidget(button);
    controls_[name] = button;
    return button;
}

void TrpDesignerForm::CreateToolBars()
{
    const auto makeBar = [&](const QString& name, const QString& title) {
        auto* bar = new QToolBar(title, this);
        bar->setObjectName(name);
        bar->setIconSize(QSize(16, 16));
        bar->setFloatable(false);
        addToolBar(Qt::TopToolBarArea, bar);
        return bar;
    };
    const auto buttonWithAction = [&](QToolBar* bar, const QString& name, const QString& action, int image) {
        QToolButton* button = AddButton(bar, name, image);
        if (QAction* command = Action(action)) {
            QIcon icon = button->icon();
            command->setIcon(icon);
            button->setDefaultAction(command);
        }
        return button;
    };
    const auto combo = [&](QToolBar* bar, QComboBox* box, const QString& name, int width) {
        box->setObjectName(name);
        box->setFixedWidth(width);
        box->setEnabled(false);
        bar->addWidget(box);
        controls_[name] = box;
        return box;
    };

    QToolBar* standard = makeBar(QStringLiteral("StandardTB"), QStringLiteral("Standard"));
    buttonWithAction(standard, QStringLiteral("NewB"), QStringLiteral("NewItemCmd"), 100);
    buttonWithAction(standard, QStringLiteral("OpenB"), QStringLiteral("OpenCmd"), 1);
    buttonWithAction(standard, QStringLiteral("SaveB"), QStringLiteral("SaveCmd"), 2);
    buttonWithAction(standard, QStringLiteral("PreviewB"), QStringLiteral("PreviewCmd"), 3);
    standard->addSeparator();
    buttonWithAction(standard, QStringLiteral("NewPageB"), QStringLiteral("NewPageCmd"), 4);
    buttonWithAction(standard, QStringLiteral("NewDialogB"), QStringLiteral("NewDialogCmd"), 5);
    buttonWithAction(standard, QStringLiteral("DeletePageB"), QStringLiteral("DeletePageCmd"), 6);
    buttonWithAction(standard, QStringLiteral("PageSettingsB"), QStringLiteral("PageSettingsCmd"), 7);
    buttonWithAction(standard, QStringLiteral("VariablesB"), QStringLiteral("VariablesCmd"), 80);
    standard->addSeparator();
    buttonWithAction(standard, QStringLiteral("CutB"), QStringLiteral("CutCmd"), 9);
    buttonWithAction(standard, QStringLiteral("CopyB"), QStringLiteral("CopyCmd"), 10);
    buttonWithAction(standard, QStringLiteral("PasteB"), QStringLiteral("PasteCmd"), 11);
    buttonWithAction(standard, QStringLiteral("UndoB"), QStringLiteral("UndoCmd"), 12);
    buttonWithAction(standard, QStringLiteral("RedoB"), QStringLiteral("RedoCmd"), 13);
    buttonWithAction(standard, QStringLiteral("GroupB"), QStringLiteral("GroupCmd"), 14);
    buttonWithAction(standard, QStringLiteral("UngroupB"), QStringLiteral("UngroupCmd"), 15);
    standard->addSeparator();
    AddButton(standard, QStringLiteral("ShowGridB"), 16, true);
    AddButton(standard, QStringLiteral("AlignToGridB"), 17, true);
    AddButton(standard, QStringLiteral("SetToGridB"), 18);
    auto* scale = combo(standard, new QComboBox(standard), QStringLiteral("ScaleCB"), 80);
    scale->setEditable(true);
    connect(scale, &QComboBox::activated, this, [this] {
        if (!closed_)
            Guard([this] { ScaleCBClick(); });
    });

    QToolBar* text = makeBar(QStringLiteral("TextTB"), QStringLiteral("Text"));
    insertToolBarBreak(text);
    combo(text, new QComboBox(text), QStringLiteral("StyleCB"), 100);
    auto* fontName = combo(text, new TrpFontComboBox(text), QStringLiteral("FontNameCB"), 130);
    // Editable, so that it shows a report's font the system does not have ("Arial").
    fontName->setEditable(true);
    fontName->setInsertPolicy(QComboBox::NoInsert);
    auto* fontSize = combo(text, new QComboBox(text), QStringLiteral("FontSizeCB"), 45);
    fontSize->setEditable(true);
    for (int size : {5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        fontSize->addItem(QString::number(size));
    fontSize->setMaxVisibleItems(fontSize->count());
    AddButton(text, QStringLiteral("BoldB"), 20, true)->setText(QStringLiteral("B"));
    AddButton(text, QStringLiteral("ItalicB"), 21, true)->setText(QStringLiteral("I"));
    AddButton(text, QStringLiteral("UnderlineB"), 22, true)->setText(QStringLiteral("U"));
    AddButton(text, QStringLiteral("FontB"), 23);
    AddButton(text, QStringLiteral("FontColorB"), 24);
    AddButton(text, QStringLiteral("HighlightB"), 19);
    AddButton(text, QStringLiteral("RotateB"), 26);
    text->addSeparator();
    for (const auto& [name, image] : {std::pair{"TextAlignLeftB", 27}, {"TextAlignCenterB", 28},
                                      {"TextAlignRightB", 29}, {"TextAlignBlockB", 30}, {"TextAlignTopB", 31},
                                      {"TextAlignMiddleB", 38}, {"TextAlignBottomB", 41}})
        AddButton(text, QString::fromLatin1(name), image, true);

    QToolBar* frame = makeBar(QStringLiteral("FrameTB"), QStringLiteral("Frame"));
    for (const auto& [name, image] : {std::pair{"FrameTopB", 32}, {"FrameBottomB", 33}, {"FrameLeftB", 34},
                                      {"FrameRightB", 35}})
        AddButton(frame, QString::fromLatin1(name), image, true);
    AddButton(frame, QStringLiteral("FrameAllB"), 36);
    AddButton(frame, QStringLiteral("FrameNoB"), 37);
    AddButton(frame, QStringLiteral("ShadowB"), 60, true);
    AddButton(frame, QStringLiteral("FillColorB"), 42);
    AddButton(frame, QStringLiteral("FrameColorB"), 39);
    AddButton(frame, QStringLiteral("FrameStyleB"), 40);
    combo(frame, new QComboBox(frame), QStringLiteral("FrameWidthCB"), 45);

    QToolBar* align = makeBar(QStringLiteral("AlignTB"), QStringLiteral("Alignment"));
    for (const auto& [name, image] :
         {std::pair{"AlignLeftsB", 43}, {"AlignHorzCentersB", 44}, {"AlignRightsB", 45}, {"AlignTopsB", 46},
          {"AlignVertCentersB", 47}, {"AlignBottomsB", 48}, {"SpaceHorzB", 49}, {"SpaceVertB", 50},
          {"CenterHorzB", 51}, {"CenterVertB", 57}, {"SameWidthB", 58}, {"SameHeightB", 59}})
        AddButton(align, QString::fromLatin1(name), image);
    align->hide();

    QToolBar* extra = makeBar(QStringLiteral("ExtraToolsTB"), QStringLiteral("Extra Tools"));
    extra->hide();

    auto* objects = new QToolBar(QStringLiteral("Objects"), this);
    objects->setObjectName(QStringLiteral("ObjectsTB1"));
    objects->setIconSize(QSize(16, 16));
    objects->setMovable(false);
    addToolBar(Qt::LeftToolBarArea, objects);
    AddButton(objects, QStringLiteral("ObjectSelectB"), 56, true);
    AddButton(objects, QStringLiteral("HandToolB"), 57, true);
    AddButton(objects, QStringLiteral("ZoomToolB"), 58, true);
    AddButton(objects, QStringLiteral("TextToolB"), 59, true);
    AddButton(objects, QStringLiteral("FormatToolB"), 60, true);
    objects->addSeparator();
    AddButton(objects, QStringLiteral("ObjectBandB"), 61);

    // The tool bar items of the View menu show and hide their bars.
    for (const auto& [command, barName] : {std::pair{"StandardTBCmd", "StandardTB"}, {"TextTBCmd", "TextTB"},
                                           {"FrameTBCmd", "FrameTB"}, {"AlignTBCmd", "AlignTB"},
                                           {"ExtraTBCmd", "ExtraToolsTB"}}) {
        QToolBar* bar = ToolBar(QString::fromLatin1(barName));
        QAction* action = Action(QString::fromLatin1(command));
        connect(action, &QAction::triggered, bar, [bar](bool on) { bar->setVisible(on); });
        connect(bar, &QToolBar::visibilityChanged, action, [action](bool on) { action->setChecked(on); });
    }
}

QToolBar* TrpDesignerForm::ToolBar(const QString& name) const
{
    return findChild<QToolBar*>(name);
}

void TrpDesignerForm::CreatePanels()
{
    auto* back = new QWidget(this);
    back->setObjectName(QStringLiteral("BackPanel"));
    auto* backLayout = new QVBoxLayout(back);
    backLayout->setContentsMargins(0, 0, 0, 0);
    backLayout->setSpacing(0);

    auto* tabPanel = new QWidget(back);
    tabPanel->setObjectName(QStringLiteral("TabPanel"));
    auto* tabLayout = new QVBoxLayout(tabPanel);
    tabLayout->setContentsMargins(0, 0, 0, 0);
    FTabs = new QTabBar(tabPanel);
    FTabs->setObjectName(QStringLiteral("FTabs"));
    FTabs->setShape(QTabBar::RoundedNorth);
    FTabs->setExpanding(false);
    FTabs->setDrawBase(true);
    FTabs->setFixedHeight(22);
    FTabs->installEventFilter(this);
    tabLayout->addWidget(FTabs);
    backLayout->addWidget(tabPanel);
    connect(FTabs, &QTabBar::tabBarClicked, this, [this](int index) {
        Guard([this, index] { SetTabIndex(index); });
    });

    FPagesStack = new QStackedWidget(back);
    backLayout->addWidget(FPagesStack, 1);

    FScrollBoxPanel = new QWidget(FPagesStack);
    FScrollBoxPanel->setObjectName(QStringLiteral("ScrollBoxPanel"));
    auto* grid = new QGridLayout(FScrollBoxPanel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    FTopRuler = new TrpRuler(FScrollBoxPanel, false);
    FTopRuler->setObjectName(QStringLiteral("TopRuler"));
    FTopRuler->setFixedHeight(20);
    FLeftRuler = new TrpRuler(FScrollBoxPanel, true);
    FLeftRuler->setObjectName(QStringLiteral("LeftRuler"));
    FLeftRuler->setFixedWidth(20);
    FScrollBox = new TrpScrollBox(FScrollBoxPanel);
    FScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    FScrollBox->setWidgetResizable(false);
    FScrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FScrollBox->viewport()->installEventFilter(this);
    auto* corner = new QWidget(FScrollBoxPanel);
    corner->setFixedSize(20, 20);
    grid->addWidget(corner, 0, 0);
    grid->addWidget(FTopRuler, 0, 1);
    grid->addWidget(FLeftRuler, 1, 0);
    grid->addWidget(FScrollBox, 1, 1);
    FPagesStack->addWidget(FScrollBoxPanel);
    CreateWorkspace();
    const auto rulerOffsets = [this] { UpdateRulerOffsets(); };
    connect(FScrollBox->horizontalScrollBar(), &QScrollBar::valueChanged, this, rulerOffsets);
    connect(FScrollBox->verticalScrollBar(), &QScrollBar::valueChanged, this, rulerOffsets);

    // The script page: a small main window of its own, so that the watch list docks under the
    // script editor.
    FCodePanel = new QMainWindow(FPagesStack);
    FCodePanel->setObjectName(QStringLiteral("CodePanel"));
    FCodePanel->setWindowFlags(Qt::Widget);
    auto* codeTB = new QToolBar(QStringLiteral("Code"), FCodePanel);
    codeTB->setObjectName(QStringLiteral("CodeTB"));
    codeTB->setMovable(false);
    codeTB->setIconSize(QSize(16, 16));
    FCodePanel->addToolBar(Qt::TopToolBarArea, codeTB);
    for (const auto& [name, image] : {std::pair{"OpenScriptB", 1}, {"SaveScriptB", 2}, {"RunScriptB", 61},
                                      {"StepScriptB", 64}, {"StopScriptB", 71}, {"EvaluateB", 70},
                                      {"BreakPointB", 75}, {"RunToCursorB", 76}})
        AddButton(codeTB, QString::fromLatin1(name), image);
    auto* langL = new QLabel(QStringLiteral("Language:"), codeTB);
    langL->setObjectName(QStringLiteral("LangL"));
    codeTB->addWidget(langL);
    controls_[QStringLiteral("LangL")] = langL;
    auto* langCB = new QComboBox(codeTB);
    langCB->setObjectName(QStringLiteral("LangCB"));
    langCB->setFixedWidth(120);
    codeTB->addWidget(langCB);
    controls_[QStringLiteral("LangCB")] = langCB;
    FCodeWindow = new TrpSyntaxMemo(FCodePanel);
    FCodeWindow->setObjectName(QStringLiteral("CodeWindow"));
    FCodePanel->setCentralWidget(FCodeWindow);
    FPagesStack->addWidget(FCodePanel);

    FDialogHost = new QWidget(FPagesStack);
    FDialogHost->setObjectName(QStringLiteral("DialogHost"));
    FDialogHost->setLayout(new QVBoxLayout);
    FDialogHost->layout()->setContentsMargins(0, 0, 0, 0);
    FPagesStack->addWidget(FDialogHost);

    backLayout->setStretch(1, 1);
    setCentralWidget(back);
}

QScrollArea* TrpDesignerForm::ScrollBox() const
{
    return FScrollBox;
}

QWidget* TrpDesignerForm::DialogHost() const
{
    return FDialogHost;
}

void TrpDesignerForm::CreateDocks()
{
    setDockNestingEnabled(true);
    new TrpDockSite(this, QStringLiteral("LeftDockSite1"), this, Qt::LeftDockWidgetArea);
    new TrpDockSite(this, QStringLiteral("LeftDockSite2"), this, Qt::LeftDockWidgetArea);
    new TrpDockSite(this, QStringLiteral("RightDockSite"), this, Qt::RightDockWidgetArea);
    new TrpDockSite(this, QStringLiteral("CodeDockSite"), FCodePanel, Qt::BottomDockWidgetArea);
    for (TrpDockSite* site : findChildren<TrpDockSite*>(Qt::FindDirectChildrenOnly))
        site->SetTopParentWin(this);

    FInspector = new TrpObjectInspector(this);
    FInspector->setObjectName(QStringLiteral("rpObjectInspector"));
    FInspector->OnModify = [this] { ObjectModified(FInspector); };
    FInspector->OnSelectionChanged = [this] { SelectionChanged(FInspector); };
    QDockWidget* inspector = MakeDock(this, QStringLiteral("InspectorDock"),
                                      QStringLiteral("TrpObjectInspector"), FInspector);
    FDataTree = new TrpDataTreeForm(nullptr, true);
    FDataTree->setObjectName(QStringLiteral("rpDataTreeForm"));
    QDockWidget* dataTree = MakeDock(this, QStringLiteral("DataTreeDock"), QStringLiteral("TrpDataTreeForm"),
                                     FDataTree);
    FReportTree = new TrpReportTreeForm(this);
    FReportTree->setObjectName(QStringLiteral("rpReportTreeForm"));
    FReportTree->OnSelectionChanged = [this](TrpReportTreeForm* tree) { SelectionChanged(tree); };
    QDockWidget* reportTree = MakeDock(this, QStringLiteral("ReportTreeDock"), QStringLiteral("TrpReportTreeForm"),
                                       FReportTree);
    FWatchList = new TrpWatchForm;
    FWatchList->setObjectName(QStringLiteral("rpWatchForm"));
    QDockWidget* watch = MakeDock(FCodePanel, QStringLiteral("WatchDock"), QStringLiteral("TrpWatchForm"),
                                  FWatchList);
    // The watch list stays under the script editor.
    watch->setFeatures(QDockWidget::NoDockWidgetFeatures);
    watch->setAllowedAreas(Qt::BottomDockWidgetArea);

    DockSite(QStringLiteral("LeftDockSite2"))->Dock(inspector);
    DockSite(QStringLiteral("LeftDockSite2"))->Dock(reportTree);
    DockSite(QStringLiteral("RightDockSite"))->Dock(dataTree);
    DockSite(QStringLiteral("CodeDockSite"))->Dock(watch);

    for (const auto& [command, dock] : {std::pair{"InspectorTBCmd", inspector}, {"DataTreeTBCmd", dataTree},
                                        {"ReportTreeTBCmd", reportTree}}) {
        QAction* action = Action(QString::fromLatin1(command));
        QDockWidget* target = dock;
        connect(action, &QAction::triggered, target, [target](bool on) { target->setVisible(on); });
        connect(target, &QDockWidget::visibilityChanged, action,
                [action, target] { action->setChecked(!target->isHidden()); });
    }
}

QDockWidget* TrpDesignerForm::Dock(const QString& name) const
{
    return findChild<QDockWidget*>(name);
}

TrpDockSite* TrpDesignerForm::DockSite(const QString& name) const
{
    return findChild<TrpDockSite*>(name, Qt::FindDirectChildrenOnly);
}
