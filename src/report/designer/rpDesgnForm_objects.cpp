// The designer window's tools for putting objects and bands on a page: the objects tool bar
// built from the object registry, the tools, the insertion of objects and bands, the wizard
// buttons.

#include "rpDesgnForm.h"

#include "rpDesgnCtrls.h"
#include "rpDsgnImages.h"
#include "rpWizardStd.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/Rounding.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpClass_wizard.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpGraphicUtils.h"
#include "report/model/rpRes.h"
#include "report/model/ui/rpClass_dialogcontrol.h"

#include <QAction>
#include <QButtonGroup>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <memory>

namespace {

// The tag of the fixed tools (select, hand, zoom, text, format, band menu).
constexpr int kFixedToolTag = 1000;

const char* const kFixedTools[] = {"ObjectSelectB", "HandToolB", "ZoomToolB", "TextToolB", "FormatToolB",
                                   "ObjectBandB"};

// The band classes by the band menu's tag modulo 100.
const ScriptClassInfo* BandClass(int index)
{
    switch (index) {
    case 0: return &TrpReportTitle::Class();
    case 1: return &TrpReportSummary::Class();
    case 2: return &TrpPageHeader::Class();
    case 3: return &TrpPageFooter::Class();
    case 4: return &TrpHeader::Class();
    case 5: return &TrpFooter::Class();
    case 6: return &TrpMasterData::Class();
    case 7: return &TrpDetailData::Class();
    case 8: return &TrpSubdetailData::Class();
    case 9: return &TrpDataBand4::Class();
    case 10: return &TrpDataBand5::Class();
    case 11: return &TrpDataBand6::Class();
    case 12: return &TrpGroupHeader::Class();
    case 13: return &TrpGroupFooter::Class();
    case 14: return &TrpChild::Class();
    case 15: return &TrpColumnHeader::Class();
    case 16: return &TrpColumnFooter::Class();
    case 17: return &TrpOverlay::Class();
    default: return nullptr;
    }
}

// The band menu's items with their tags: the main items 0-17, the vertical bands 104-108 and
// 112-114.
const std::pair<const char*, int> kBandItems[] = {
    {"ReportTitleMI", 0},    {"ReportSummaryMI", 1}, {"PageHeaderMI", 2},    {"PageFooterMI", 3},
    {"HeaderMI", 4},         {"FooterMI", 5},        {"MasterDataMI", 6},    {"DetailDataMI", 7},
    {"SubdetailDataMI", 8},  {"Data4levelMI", 9},    {"Data5levelMI", 10},   {"Data6levelMI", 11},
    {"GroupHeaderMI", 12},   {"GroupFooterMI", 13},  {"ChildMI", 14},        {"ColumnHeaderMI", 15},
    {"ColumnFooterMI", 16},  {"OverlayMI", 17},      {"HeaderMI1", 104},     {"FooterMI1", 105},
    {"MasterDataMI1", 106},  {"DetailDataMI1", 107}, {"SubdetailDataMI1", 108}, {"GroupHeaderMI1", 112},
    {"GroupFooterMI1", 113}, {"ChildMI1", 114}};

// The band items that a page offers once only.
const std::pair<const char*, int> kSingleBands[] = {{"ReportTitleMI", 0},  {"ReportSummaryMI", 1},
                                                    {"PageHeaderMI", 2},   {"PageFooterMI", 3},
                                                    {"ColumnHeaderMI", 15}, {"ColumnFooterMI", 16}};

bool IsContainer(const TrpComponent* object)
{
    return (object->rpComponentStyle() & SetBit(csContainer)) != 0;
}

// The text a button or menu item shows for an entry: its hint resource, or the class's
// description.
QString EntryHint(const TrpObjectItem& item)
{
    if (!item.ButtonHint.isEmpty())
        return GetResourcesInstance().Get(item.ButtonHint);
    if (item.ClassRef == nullptr)
        return item.CategoryName;
    const std::unique_ptr<TrpComponent> probe = TrpComponent::CreateByName(item.ClassRef->Name);
    return probe != nullptr ? probe->GetDescription() : item.ClassRef->Name;
}

QIcon EntryIcon(const TrpObjectItem& item)
{
    if (!item.ButtonBmp.isNull())
        return QIcon(QPixmap::fromImage(item.ButtonBmp));
    const QImage image = ObjectImage(item.ButtonImageIndex);
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

// The categories that decide where an entry's button shows: its own, or for a category
// button those of the first object entry of that category (none when no entry names it).
TrpObjectCategories CategoriesOf(const TrpObjectCollection& registry, int index)
{
    const TrpObjectItem& item = registry.Items(index);
    if (item.ClassRef != nullptr)
        return item.Category;
    for (int i = 0; i < registry.Count(); ++i) {
        const TrpObjectItem& other = registry.Items(i);
        if (other.ClassRef != nullptr && other.CategoryName == item.CategoryName)
            return other.Category;
    }
    return 0;
}

bool NamedOrDialogComponent(const ScriptClassInfo& info)
{
    return info.InheritsFrom(TrpDialogComponent::Class()) || info.Name == QLatin1String("TrpCrossView") ||
           info.Name == QLatin1String("TrpDBCrossView");
}

} // namespace

// --- building

void TrpDesignerForm::CreateObjectsToolbar()
{
    QToolBar* bar = ToolBar(QStringLiteral("ObjectsTB1"));
    auto* group = new QButtonGroup(this);
    group->setObjectName(QStringLiteral("ObjectsGroup"));
    group->setExclusive(true);
    for (const char* name : kFixedTools) {
        auto* button = qobject_cast<QToolButton*>(Control(QString::fromLatin1(name)));
        button->setProperty("tag", kFixedToolTag);
        // The tools show object images: select 0, band 1, hand 27, zoom 28, text 29, format 30.
        static const std::pair<const char*, int> kImages[] = {{"ObjectSelectB", 0}, {"ObjectBandB", 1},
                                                              {"HandToolB", 27},    {"ZoomToolB", 28},
                                                              {"TextToolB", 29},    {"FormatToolB", 30}};
        for (const auto& [tool, image] : kImages) {
            if (button->objectName() == QLatin1String(tool) && !ObjectImage(image).isNull())
                button->setIcon(QIcon(QPixmap::fromImage(ObjectImage(image))));
        }
        if (button->isCheckable())
            group->addButton(button);
    }
    for (const char* name : {"ObjectSelectB", "FormatToolB", "ObjectBandB"})
        Control(QString::fromLatin1(name))->setEnabled(true);
    SetDown(QStringLiteral("ObjectSelectB"), true);

    // Object entries without a category first, then the category buttons that some object
    // entry names, each in registry order.
    const TrpObjectCollection& registry = GetObjectRegistry();
    const auto addButton = [&](int index) {
        const TrpObjectItem& item = registry.Items(index);
        auto* button = new QToolButton(bar);
        button->setObjectName(QStringLiteral("ObjectButton%1").arg(index));
        button->setAutoRaise(true);
        button->setCheckable(true);
        button->setIcon(EntryIcon(item));
        button->setToolTip(EntryHint(item));
        button->setProperty("tag", index);
        bar->addWidget(button);
        group->addButton(button);
        connect(button, &QToolButton::clicked, this, [this, button] { Guard([&] { ObjectsButtonClick(button); }); });
    };
    for (int i = 0; i < registry.Count(); ++i) {
        const TrpObjectItem& item = registry.Items(i);
        if (item.ClassRef != nullptr && item.CategoryName.isEmpty())
            addButton(i);
    }
    for (int i = 0; i < registry.Count(); ++i) {
        const TrpObjectItem& item = registry.Items(i);
        if (item.ClassRef != nullptr)
            continue;
        bool named = false;
        for (int j = 0; j < registry.Count() && !named; ++j)
            named = registry.Items(j).ClassRef != nullptr && registry.Items(j).CategoryName == item.CategoryName;
        if (named)
            addButton(i);
    }

    // The wizards that want a button of their own.
    QToolBar* extra = ToolBar(QStringLiteral("ExtraToolsTB"));
    const TrpWizardCollection& wizards = GetWizardRegistry();
    for (int i = 0; i < wizards.Count(); ++i) {
        const TrpWizardItem& item = wizards.Items(i);
        if (!item.IsToolbarWizard)
            continue;
        auto* button = new QToolButton(extra);
        button->setObjectName(QStringLiteral("WizardB%1").arg(i));
        button->setAutoRaise(true);
        button->setFixedSize(22, 22);
        button->setProperty("tag", i);
        QImage image = item.ButtonBmp;
        if (image.isNull() && item.ButtonImageIndex >= 0 &&
            item.ButtonImageIndex < static_cast<int>(MainButtonImages().size()))
            image = MainButtonImages()[static_cast<size_t>(item.ButtonImageIndex)];
        if (!image.isNull())
            button->setIcon(QIcon(QPixmap::fromImage(image)));
        if (const std::unique_ptr<TrpCustomWizard> wizard = CreateWizard(item.ClassRef, this))
            button->setToolTip(wizard->GetDescription());
        extra->addWidget(button);
        const QString className = item.ClassRef;
        connect(button, &QToolButton::clicked, this, [this, className] {
            Guard([&] {
                const std::unique_ptr<TrpCustomWizard> wizard = CreateWizard(className, this);
                if (wizard != nullptr && wizard->Execute())
                    SetModified(true);
            });
        });
    }
    if (!extra->actions().isEmpty())
        extra->setFixedSize(27, 27);
}

// --- page switches and tools

void TrpDesignerForm::UpdateObjectsToolbar()
{
    QToolBar* bar = ToolBar(QStringLiteral("ObjectsTB1"));
    auto* select = qobject_cast<QToolButton*>(Control(QStringLiteral("ObjectSelectB")));
    if (bar == nullptr || select == nullptr)
        return;
    select->setEnabled(Page() != nullptr);
    select->setChecked(true);
    SelectToolBClick(select);
    const bool dialogPage = IsDialogPageShown();
    const bool dataPage = IsDataPageShown();
    const bool dotMatrixPage = dynamic_cast<TrpDMPPage*>(Page()) != nullptr;
    const bool reportPage = IsReportPageShown() && !dotMatrixPage;
    const TrpObjectCollection& registry = GetObjectRegistry();
    for (QAction* action : bar->actions()) {
        QWidget* widget = bar->widgetForAction(action);
        if (widget == nullptr || widget == select)
            continue;
        // Separators go with the fixed tools.
        const QVariant tagValue = widget->property("tag");
        const int tag = tagValue.isValid() ? tagValue.toInt() : kFixedToolTag;
        const bool fixed = tag == kFixedToolTag;
        TrpObjectCategories categories = 0;
        if (!fixed && tag >= 0 && tag < registry.Count())
            categories = CategoriesOf(registry, tag);
        const auto in = [&](TrpObjectCategory category) { return (categories & (1u << category)) != 0; };
        bool visible = false;
        if (dialogPage)
            visible = in(ctDialog);
        else if (dotMatrixPage)
            visible = fixed || in(ctDMP);
        else if (reportPage)
            visible = fixed || in(ctReport);
        else if (dataPage)
            visible = in(ctData);
        action->setVisible(visible);
    }
}

void TrpDesignerForm::SelectToolBClick(QObject*)
{
    const auto down = [&](const char* name) {
        auto* button = qobject_cast<QToolButton*>(Control(QString::fromLatin1(name)));
        return button != nullptr && button->isChecked();
    };
    TrpDesignTool tool = dtSelect;
    if (down("HandToolB"))
        tool = dtHand;
    else if (down("ZoomToolB"))
        tool = dtZoom;
    else if (down("TextToolB"))
        tool = dtText;
    else if (down("FormatToolB"))
        tool = dtFormat;
    FWorkspace->SetTool(tool);
    FWorkspace->SetInsertion(nullptr, 0, 0, 0);
}

// --- objects

void TrpDesignerForm::ObjectsButtonClick(QObject* sender)
{
    if (Page() == nullptr || sender == nullptr)
        return;
    const TrpObjectCollection& registry = GetObjectRegistry();
    const int index = sender->property("tag").toInt();
    if (index < 0 || index >= registry.Count())
        return;
    FWorkspace->SetTool(dtSelect);
    FWorkspace->SetInsertion(nullptr, 0, 0, 0);
    const TrpObjectItem& item = registry.Items(index);
    if (item.ClassRef != nullptr) {
        const RegisteredClass* cls = PropertyRegistry::Global().Find(*item.ClassRef);
        if (cls == nullptr)
            return;
        // A new object takes the size its class gives a fresh instance.
        double width = 0;
        double height = 0;
        if (const std::unique_ptr<TrpComponent> probe(TrpComponent::CreateForDesign(*cls, nullptr, item.Flags));
            probe != nullptr) {
            width = probe->Width();
            height = probe->Height();
        }
        if (width == 0 && height == 0) {
            width = GetDefaultObjectSize().width();
            height = GetDefaultObjectSize().height();
        }
        FWorkspace->SetInsertion(item.ClassRef, width, height, item.Flags);
        return;
    }
    // A category: its objects in a menu at the button's top-right corner.
    auto* popup = findChild<QMenu*>(QStringLiteral("ObjectsPopup"));
    popup->clear();
    const bool dotMatrixPage = dynamic_cast<TrpDMPPage*>(Page()) != nullptr;
    for (int i = 0; i < registry.Count(); ++i) {
        const TrpObjectItem& entry = registry.Items(i);
        if (entry.ClassRef == nullptr || entry.CategoryName != item.CategoryName)
            continue;
        if (dotMatrixPage && !NamedOrDialogComponent(*entry.ClassRef))
            continue;
        QAction* action = popup->addAction(EntryIcon(entry), EntryHint(entry));
        action->setProperty("tag", i);
        connect(action, &QAction::triggered, this, [this, action] { Guard([&] { ObjectsButtonClick(action); }); });
    }
    if (auto* button = qobject_cast<QWidget*>(sender))
        popup->popup(button->mapToGlobal(QPoint(button->width(), 0)));
}

bool TrpDesignerForm::PressObjectButton(const QString& className, uint16_t flags)
{
    const TrpObjectCollection& registry = GetObjectRegistry();
    int index = -1;
    for (int i = 0; i < registry.Count() && index < 0; ++i) {
        const TrpObjectItem& item = registry.Items(i);
        if (item.ClassRef != nullptr && item.ClassRef->Name == className && item.Flags == flags)
            index = i;
    }
    if (index < 0 || Page() == nullptr)
        return false;
    QToolBar* bar = ToolBar(QStringLiteral("ObjectsTB1"));
    const auto shownButton = [&](int tag) -> QToolButton* {
        for (QAction* action : bar->actions()) {
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
            if (button != nullptr && action->isVisible() && button->property("tag").toInt() == tag &&
                button->property("tag").isValid() && tag != kFixedToolTag)
                return button;
        }
        return nullptr;
    };
    if (QToolButton* button = shownButton(index)) {
        button->click();
        return true;
    }
    const QString category = registry.Items(index).CategoryName;
    for (int i = 0; i < registry.Count() && !category.isEmpty(); ++i) {
        if (registry.Items(i).ClassRef != nullptr || registry.Items(i).CategoryName != category)
            continue;
        QToolButton* button = shownButton(i);
        if (button == nullptr)
            return false;
        button->click();
        auto* popup = findChild<QMenu*>(QStringLiteral("ObjectsPopup"));
        for (QAction* action : popup->actions()) {
            if (action->property("tag").toInt() == index) {
                popup->close();
                action->trigger();
                return true;
            }
        }
        popup->close();
        return false;
    }
    return false;
}

void TrpDesignerForm::InsertObject()
{
    const TrpInsertion insertion = FWorkspace->Insertion();
    if (!CheckOp(drDontInsertObject) || insertion.Top < 0) {
        FWorkspace->SetInsertion(nullptr, 0, 0, 0);
        SetDown(QStringLiteral("ObjectSelectB"), true);
        return;
    }
    TrpComponent* page = Page();
    if (page == nullptr || insertion.ComponentClass == nullptr || (insertion.Width == 0 && insertion.Height == 0))
        return;
    const RegisteredClass* cls = PropertyRegistry::Global().Find(*insertion.ComponentClass);
    if (cls == nullptr)
        return;
    TrpComponent* made = TrpComponent::CreateForDesign(*cls, page, insertion.Flags);
    if (made == nullptr)
        return;
    made->SetBounds(insertion.Left, insertion.Top, insertion.Width, insertion.Height);
    made->CreateUniqueName();

    // Lines are drawn one after another; any other object ends the insertion.
    if (!insertion.ComponentClass->InheritsFrom(TrpCustomLineView::Class())) {
        FWorkspace->SetInsertion(nullptr, 0, 0, 0);
        auto* text = qobject_cast<QToolButton*>(Control(QStringLiteral("TextToolB")));
        if (text == nullptr || !text->isChecked())
            SetDown(QStringLiteral("ObjectSelectB"), true);
    }
    if (auto* memo = dynamic_cast<TrpCustomMemoView*>(made)) {
        ApplySample(*memo);
        if (IsDataPageShown())
            memo->Wysiwyg = false;
    }

    // The first existing container that encloses the new bounds is asked to take the object.
    TrpComponent* container = nullptr;
    for (const QPointer<TrpComponent>& object : Objects()) {
        TrpComponent* c = object.data();
        if (c == nullptr || c == made || !IsContainer(c))
            continue;
        const double left = c->AbsLeft();
        const double top = c->AbsTop();
        if (insertion.Left >= left && insertion.Top >= top && insertion.Left + insertion.Width <= left + c->Width() &&
            insertion.Top + insertion.Height <= top + c->Height()) {
            container = c;
            break;
        }
    }
    if (container == nullptr || !container->ContainerAdd(made))
        Objects().emplace_back(made);
    SelectedObjects().clear();
    SelectedObjects().emplace_back(made);
    InsertedObject(made);
    // The object sits in its band before the change is recorded (and before another page shows).
    FWorkspace->AdjustBands(true);

    if (auto* subreport = dynamic_cast<TrpSubreport*>(made)) {
        // The subreport's own page, made as New Page makes one, is shown at once.
        TrpReport* report = Report();
        TrpReportPage* newPage = report->DotMatrixReport ? new TrpDMPPage(report) : new TrpReportPage(report);
        newPage->CreateUniqueName();
        newPage->SetDefaults();
        subreport->SetPage(newPage);
        ReloadPages(report->PagesCount() - 1);
        SetModified(true);
    } else {
        SetModified(true);
        const bool dialogObject = dynamic_cast<TrpDialogControl*>(made) != nullptr ||
                                  dynamic_cast<TrpDialogComponent*>(made) != nullptr;
        if (FEditAfterInsert && !dialogObject)
            EditSelectedObject();
    }
    FWorkspace->raise();
}

// --- bands

void TrpDesignerForm::ObjectBandBClick()
{
    auto* popup = findChild<QMenu*>(QStringLiteral("BandsPopup"));
    QWidget* button = Control(QStringLiteral("ObjectBandB"));
    if (popup == nullptr || button == nullptr || Page() == nullptr)
        return;
    popup->popup(button->mapToGlobal(QPoint(button->width(), 0)));
}

void TrpDesignerForm::BandsPopupPopup()
{
    auto* popup = findChild<QMenu*>(QStringLiteral("BandsPopup"));
    if (popup == nullptr)
        return;
    // Every band item is offered, but the bands a page holds once that it holds already.
    for (QAction* item : popup->actions())
        item->setEnabled(true);
    if (auto* vertical = popup->findChild<QMenu*>(QStringLiteral("VerticalbandsMI"))) {
        for (QAction* item : vertical->actions())
            item->setEnabled(true);
    }
    TrpComponent* page = Page();
    if (page == nullptr)
        return;
    for (const auto& [name, tag] : kSingleBands) {
        const ScriptClassInfo* cls = BandClass(tag);
        bool present = false;
        for (TrpComponent* child : page->Objects())
            present = present || &child->ScriptClass() == cls;
        for (QAction* item : popup->actions()) {
            if (item->objectName() == QLatin1String(name))
                item->setEnabled(!present);
        }
    }
}

void TrpDesignerForm::InsertBandClick(QObject* sender)
{
    TrpComponent* page = Page();
    if (page == nullptr || sender == nullptr)
        return;
    const int tag = sender->property("tag").toInt();
    const ScriptClassInfo* info = BandClass(tag % 100);
    const RegisteredClass* cls = info != nullptr ? PropertyRegistry::Global().Find(*info) : nullptr;
    if (cls == nullptr)
        return;
    auto* band = dynamic_cast<TrpBand*>(TrpComponent::CreateForDesign(*cls, page, 0));
    if (band == nullptr)
        return;
    band->CreateUniqueName();
    band->Vertical = tag > 99;

    // The band's size: 0.6 cm, 0.3 inch, 20 pixels or one character line.
    static const double kSizes[] = {22.68, 28.8, 20, 17};
    const double size = kSizes[FUnits];
    if (band->Vertical) {
        band->SetLeft(size);
        band->SetWidth(size);
    } else {
        double top = 10000; // the band layout moves it to the end
        if (FWorkspace->FreeBandsPlacement()) {
            double bottom = 0;
            for (TrpComponent* child : page->Objects()) {
                auto* other = dynamic_cast<TrpBand*>(child);
                if (other != nullptr && other != band && !other->Vertical)
                    bottom = std::max(bottom, other->Top() + other->Height());
            }
            const double step = FWorkspace->GridY() > 0 ? FWorkspace->GridY() : 1;
            top = RoundTo8Decimals(RoundHalfEven((bottom + FWorkspace->BandHeader() + 4) / step) * step);
        }
        band->SetTop(top);
        band->SetHeight(size);
    }
    Objects().emplace_back(band);
    SelectedObjects().clear();
    SelectedObjects().emplace_back(band);
    FWorkspace->AdjustBands(true);
    SetModified(true);
    SelectionChanged(nullptr);
    SetDown(QStringLiteral("ObjectSelectB"), true);
    SelectToolBClick(Control(QStringLiteral("ObjectSelectB")));
    if (FEditAfterInsert)
        EditSelectedObject();
}

// --- connections

void TrpDesignerForm::ConnectObjectTools()
{
    FWorkspace->OnInsert = [this](TrpDesignerWorkspace*) { Guard([this] { InsertObject(); }); };
    ConnectFormatTools();
    for (const char* name : {"ObjectSelectB", "HandToolB", "ZoomToolB", "TextToolB", "FormatToolB"}) {
        auto* button = qobject_cast<QToolButton*>(Control(QString::fromLatin1(name)));
        connect(button, &QToolButton::clicked, this, [this, button] { Guard([&] { SelectToolBClick(button); }); });
    }
    auto* bandButton = qobject_cast<QToolButton*>(Control(QStringLiteral("ObjectBandB")));
    connect(bandButton, &QToolButton::clicked, this, [this] { Guard([this] { ObjectBandBClick(); }); });
    if (auto* popup = findChild<QMenu*>(QStringLiteral("BandsPopup"))) {
        connect(popup, &QMenu::aboutToShow, this, [this] { Guard([this] { BandsPopupPopup(); }); });
        QList<QAction*> items = popup->actions();
        if (auto* vertical = popup->findChild<QMenu*>(QStringLiteral("VerticalbandsMI")))
            items += vertical->actions();
        for (QAction* item : items) {
            for (const auto& [name, tag] : kBandItems) {
                if (item->objectName() != QLatin1String(name))
                    continue;
                item->setProperty("tag", tag);
                connect(item, &QAction::triggered, this, [this, item] { Guard([&] { InsertBandClick(item); }); });
            }
        }
    }
}
