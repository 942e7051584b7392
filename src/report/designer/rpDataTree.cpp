#include "report/designer/rpDataTree.h"

#include "report/designer/rpDsgnImages.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpRes.h"
#include "report/script/sc_iinterpreter_script.h"
#include "report/script/sc_itools.h"
#include "report/script/sc_xml.h"

#include <QApplication>
#include <QCheckBox>
#include <QDrag>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString gCollapsed; // data sets collapsed when the last designer's tree closed

const int kDataSetRole = Qt::UserRole;     // the node's data set (pointer)
const int kElementRole = Qt::UserRole + 1; // the node's catalogue element (pointer)
const int kDataRole = Qt::UserRole + 2;    // the node carries data

QString Res(const QString& name)
{
    return GetResourcesInstance().Get(name);
}

QIcon Image(int index)
{
    const std::vector<QImage>& images = MainButtonImages();
    return index >= 0 && static_cast<size_t>(index) < images.size() ? QIcon(QPixmap::fromImage(images[index]))
                                                                     : QIcon();
}

QTreeWidgetItem* Node(QTreeWidgetItem* parent, const QString& caption, int image)
{
    auto* item = new QTreeWidgetItem(parent, {caption});
    item->setIcon(0, Image(image));
    return item;
}

// Parents drawn bold (all levels, or only level 0).
class BoldParentsDelegate : public QStyledItemDelegate {
public:
    BoldParentsDelegate(QObject* parent, bool topOnly) : QStyledItemDelegate(parent), topOnly_(topOnly) {}
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const bool bold = topOnly_ ? !index.parent().isValid() : index.model()->hasChildren(index);
        option->font.setBold(bold);
    }

private:
    bool topOnly_;
};

QTreeWidget* MakeTree(QWidget* parent, bool topOnlyBold)
{
    auto* tree = new QTreeWidget(parent);
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(true);
    tree->setFrameShape(QFrame::Panel);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setItemDelegate(new BoldParentsDelegate(tree, topOnlyBold));
    return tree;
}

} // namespace

TrpDataTreeForm::TrpDataTreeForm(QWidget* parent, bool designerOwned)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), FDesignerOwned(designerOwned)
{
    const TrpResources& res = GetResourcesInstance();
    setWindowTitle(res.GetResourceTextById(2100));
    FTabs = new QTabBar(this);
    for (int id : {2101, 2102, 2103, 2106})
        FTabs->addTab(res.GetResourceTextById(id));

    auto* dataPn = new QWidget(this);
    auto* dataLayout = new QVBoxLayout(dataPn);
    dataLayout->setContentsMargins(0, 0, 0, 0);
    DataTree = MakeTree(dataPn, false);
    DataTree->setRootIsDecorated(false);
    dataLayout->addWidget(DataTree);
    CBPanel = new QWidget(dataPn);
    auto* cbLayout = new QVBoxLayout(CBPanel);
    cbLayout->setContentsMargins(2, 2, 2, 2);
    cbLayout->setSpacing(0);
    InsFieldCB = new QCheckBox(res.GetResourceTextById(2104), CBPanel);
    InsFieldCB->setChecked(true);
    InsCaptionCB = new QCheckBox(res.GetResourceTextById(2105), CBPanel);
    SortCB = new QCheckBox(res.GetResourceTextById(6004), CBPanel);
    for (QCheckBox* box : {InsFieldCB, InsCaptionCB, SortCB})
        cbLayout->addWidget(box);
    dataLayout->addWidget(CBPanel);
    CBPanel->hide();
    NoDataPn = new QWidget(dataPn);
    NoDataL = new QLabel(NoDataPn);
    NoDataL->setAlignment(Qt::AlignCenter);
    NoDataL->setWordWrap(true);
    NoDataL->installEventFilter(this);
    auto* noDataLayout = new QVBoxLayout(NoDataPn);
    noDataLayout->addWidget(NoDataL);
    NoDataPn->hide();

    auto* variablesPn = new QWidget(this);
    VariablesTree = MakeTree(variablesPn, false);
    (new QVBoxLayout(variablesPn))->addWidget(VariablesTree);

    auto* functionsPn = new QWidget(this);
    auto* splitter = new QSplitter(Qt::Vertical, functionsPn);
    FunctionsTree = MakeTree(splitter, false);
    auto* hint = new QWidget(splitter);
    FunctionNameL = new QLabel(hint);
    FunctionNameL->setAutoFillBackground(true);
    FunctionNameL->setBackgroundRole(QPalette::ToolTipBase);
    FunctionDescL = new QLabel(hint);
    FunctionDescL->setWordWrap(true);
    auto* hintLayout = new QVBoxLayout(hint);
    hintLayout->addWidget(FunctionNameL);
    hintLayout->addWidget(FunctionDescL);
    (new QVBoxLayout(functionsPn))->addWidget(splitter);

    auto* classesPn = new QWidget(this);
    ClassesTree = MakeTree(classesPn, true);
    (new QVBoxLayout(classesPn))->addWidget(ClassesTree);

    FPanels[0] = dataPn;
    FPanels[1] = variablesPn;
    FPanels[2] = functionsPn;
    FPanels[3] = classesPn;
    for (QWidget* panel : FPanels)
        panel->layout()->setContentsMargins(0, 0, 0, 0);

    for (QTreeWidget* tree : {DataTree, VariablesTree, FunctionsTree, ClassesTree}) {
        tree->viewport()->installEventFilter(this);
        QObject::connect(tree, &QTreeWidget::itemDoubleClicked, this, [this, tree] {
            if (OnDblClick)
                OnDblClick(tree);
        });
    }
    QObject::connect(FTabs, &QTabBar::tabBarClicked, this, [this](int index) { ShowTab(index); });
    QObject::connect(SortCB, &QCheckBox::toggled, this, [this] { FillData(); });
    QObject::connect(ClassesTree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        auto* element = static_cast<TscXMLItem*>(item->data(0, kElementRole).value<void*>());
        if (item->parent() == nullptr || item->parent()->parent() != nullptr || element == nullptr)
            return;
        // The members are filled once, on first expansion.
        item->setData(0, kElementRole, QVariant::fromValue<void*>(nullptr));
        qDeleteAll(item->takeChildren());
        for (int i = 0; i < element->Count(); ++i) {
            const QString text = element->Items(i)->Prop(QStringLiteral("text"));
            const int image = text.startsWith(QLatin1String("property")) ? 73
                : text.startsWith(QLatin1String("event"))                ? 79
                                                                         : 74;
            Node(item, text, image);
        }
    });
    QObject::connect(FunctionsTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (FUpdating)
            return;
        auto* element = item ? static_cast<TscXMLItem*>(item->data(0, kElementRole).value<void*>()) : nullptr;
        FunctionNameL->setText(element ? element->Prop(QStringLiteral("text")) : QString());
        FunctionDescL->setText(element ? Res(element->Prop(QStringLiteral("description"))) : QString());
        FunctionNameL->adjustSize();
    });
    ShowTab(0);
}

TrpDataTreeForm::~TrpDataTreeForm()
{
    if (FDesignerOwned)
        gCollapsed = CurrentCollapsed();
    FUpdating = true;
}

QString TrpDataTreeForm::CollapsedDataSets()
{
    return gCollapsed;
}

QString TrpDataTreeForm::CurrentCollapsed() const
{
    QString result;
    if (DataTree->topLevelItemCount() == 0)
        return result;
    QTreeWidgetItem* root = DataTree->topLevelItem(0);
    for (int i = 0; i < root->childCount(); ++i) {
        if (!root->child(i)->isExpanded())
            result += root->child(i)->text(0) + u',';
    }
    return result;
}

void TrpDataTreeForm::UpdateItems()
{
    FillData();
    FillVariables();
    FFirstTime = false;
}

void TrpDataTreeForm::FillData()
{
    if (FReport == nullptr)
        return;
    const QString collapsed = FFirstTime ? gCollapsed : CurrentCollapsed();
    FUpdating = true;
    DataTree->clear();
    QStringList names;
    std::vector<TrpDataSet*> dataSets;
    FReport->GetDataSetList(names, dataSets);
    struct Entry {
        QString alias;
        TrpDataSet* dataSet;
    };
    std::vector<Entry> entries;
    for (TrpDataSet* dataSet : dataSets)
        entries.push_back({FReport->GetAlias(dataSet), dataSet});
    const bool sorted = SortCB->isChecked();
    if (sorted)
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.alias.compare(b.alias, Qt::CaseInsensitive) < 0; });
    if (entries.empty()) {
        NoDataL->setText(Res(QStringLiteral("dtNoData")) + QStringLiteral("\n\n") + Res(QStringLiteral("dtNoData1")));
        NoDataPn->show();
        DataTree->hide();
    } else {
        NoDataPn->hide();
        DataTree->show();
        auto* root = new QTreeWidgetItem(DataTree, {Res(QStringLiteral("dtData"))});
        root->setIcon(0, Image(53));
        for (const Entry& entry : entries) {
            QTreeWidgetItem* node = Node(root, entry.alias, 72);
            node->setData(0, kDataSetRole, QVariant::fromValue<void*>(entry.dataSet));
            QStringList fields;
            try {
                entry.dataSet->GetFieldList(fields);
            } catch (...) {
                // A data set that fails while listing still shows the fields it gave.
            }
            if (sorted)
                fields.sort(Qt::CaseInsensitive);
            for (const QString& field : fields) {
                QTreeWidgetItem* leaf = Node(node, field, 54);
                leaf->setData(0, kDataSetRole, QVariant::fromValue<void*>(entry.dataSet));
            }
            node->setExpanded(!collapsed.contains(entry.alias + u','));
        }
        root->setExpanded(true);
    }
    FUpdating = false;
}

void TrpDataTreeForm::FillVariables()
{
    if (FReport == nullptr)
        return;
    FUpdating = true;
    VariablesTree->clear();
    auto* root = new QTreeWidgetItem(VariablesTree, {Res(QStringLiteral("dtVar"))});
    root->setIcon(0, Image(66));
    QStringList categories;
    FReport->Variables().GetCategoriesList(categories);
    if (categories.isEmpty()) {
        QStringList variables;
        FReport->Variables().GetVariablesList(QString(), variables);
        for (const QString& name : variables)
            Node(root, name, 80);
    }
    for (const QString& category : categories) {
        QTreeWidgetItem* node = Node(root, category, 66);
        QStringList variables;
        FReport->Variables().GetVariablesList(category, variables);
        for (const QString& name : variables)
            Node(node, name, 80);
    }
    QTreeWidgetItem* system = Node(root, Res(QStringLiteral("dtSysVar")), 66);
    for (const char* name : {"Date", "Time", "Page", "Page#", "TotalPages", "TotalPages#", "Line", "Line#",
                             "CopyName#"})
        Node(system, QString::fromLatin1(name), 80);
    VariablesTree->expandAll();
    VariablesTree->scrollToTop();
    FUpdating = false;
}

void TrpDataTreeForm::EnsureCatalogue()
{
    if (FXML)
        return;
    FXML = std::make_unique<TscXMLDocument>();
    FXML->Root()->SetName(QStringLiteral("Catalog"));
    TscScript scratch;
    scratch.AddRTTI();
    if (FReport != nullptr) {
        FReport->AddScriptMethods(scratch);
        // Functions the program declared for this report's scripts are listed too; only
        // their declarations are wanted here.
        TscScript& own = FReport->Script();
        for (int i = 0; i < own.Count(); ++i) {
            const auto* method = dynamic_cast<const TscMethodHelper*>(own.Item(i));
            if (method != nullptr && method->AddedBy == nullptr)
                scratch.AddMethod(method->Syntax, [](TscCallFrame&) { return Variant(); }, method->Category,
                                  method->Description);
        }
    }
    GenerateScriptCatalogXML(&scratch, FXML->Root(), false);
}

void TrpDataTreeForm::FillFunctions()
{
    EnsureCatalogue();
    FUpdating = true;
    FunctionsTree->clear();
    TscXMLItem* functions = FXML->Root()->FindItem(QStringLiteral("Functions"));
    auto* root = new QTreeWidgetItem(FunctionsTree, {Res(QStringLiteral("dtFunc"))});
    root->setIcon(0, Image(66));
    std::function<void(TscXMLItem*, QTreeWidgetItem*)> add = [&](TscXMLItem* element, QTreeWidgetItem* parent) {
        for (int i = 0; i < element->Count(); ++i) {
            TscXMLItem* child = element->Items(i);
            const QString text = child->Prop(QStringLiteral("text"));
            if (child->Count() > 0) {
                const QString caption = Res(text);
                if (caption.compare(QLatin1String("hidden"), Qt::CaseInsensitive) == 0)
                    continue;
                add(child, Node(parent, caption, 66));
            } else {
                const int blank = text.indexOf(u' ');
                const QString caption = blank >= 0 ? text.mid(blank + 1) : text;
                if (caption.compare(QLatin1String("hidden"), Qt::CaseInsensitive) == 0)
                    continue;
                QTreeWidgetItem* node = Node(parent, caption, 52);
                node->setData(0, kElementRole, QVariant::fromValue<void*>(child));
            }
        }
    };
    if (functions)
        add(functions, root);
    FunctionsTree->expandAll();
    FunctionsTree->scrollToTop();
    FUpdating = false;
}

void TrpDataTreeForm::FillClasses()
{
    EnsureCatalogue();
    FUpdating = true;
    ClassesTree->clear();
    TscXMLItem* classes = FXML->Root()->FindItem(QStringLiteral("Classes"));
    auto* root = new QTreeWidgetItem(ClassesTree, {GetResourcesInstance().GetResourceTextById(2106)});
    root->setIcon(0, Image(66));
    for (int i = 0; classes && i < classes->Count(); ++i) {
        TscXMLItem* element = classes->Items(i);
        QTreeWidgetItem* node = Node(root, element->Prop(QStringLiteral("text")), 78);
        node->setData(0, kElementRole, QVariant::fromValue<void*>(element));
        Node(node, QStringLiteral("more..."), 74);
    }
    root->setExpanded(true);
    FUpdating = false;
}

int TrpDataTreeForm::GetActivePage() const
{
    return FTabs->currentIndex();
}

void TrpDataTreeForm::ShowTab(int index)
{
    if (index < 0 || index >= FTabs->count())
        return;
    FTabs->setCurrentIndex(index);
    for (int i = 0; i < 4; ++i)
        FPanels[i]->setVisible(i == index);
    if (index == 2 && FunctionsTree->topLevelItemCount() == 0)
        FillFunctions();
    if (index == 3 && ClassesTree->topLevelItemCount() == 0)
        FillClasses();
    UpdateSize();
}

QTreeWidget* TrpDataTreeForm::ActiveTree() const
{
    switch (GetActivePage()) {
    case 0: return DataTree;
    case 1: return VariablesTree;
    case 2: return FunctionsTree;
    default: return ClassesTree;
    }
}

QString TrpDataTreeForm::GetFieldName() const
{
    QTreeWidgetItem* item = ActiveTree()->currentItem();
    if (item == nullptr || item->childCount() > 0)
        return QString();
    switch (GetActivePage()) {
    case 0: {
        auto* dataSet = static_cast<TrpDataSet*>(item->data(0, kDataSetRole).value<void*>());
        if (dataSet == nullptr || item->parent() == nullptr || item->parent()->parent() == nullptr)
            return QString();
        return u'<' + item->parent()->text(0) + QStringLiteral(".\"") + item->text(0) + QStringLiteral("\">");
    }
    case 1:
        return item->data(0, kDataRole).toBool() ? item->text(0) : u'<' + item->text(0) + u'>';
    case 2: {
        if (item->data(0, kElementRole).value<void*>() == nullptr)
            return QString();
        const QString caption = item->text(0);
        int count = 0;
        if (caption.contains(u'('))
            count = 1 + caption.count(u',') + caption.count(u';');
        if (count > 0)
            return caption.left(caption.indexOf(u'(') + 1) + QString(count - 1, u',') + u')';
        const int colon = caption.indexOf(u':');
        return colon < 0 ? caption : caption.left(colon);
    }
    default:
        return QString();
    }
}

QPoint TrpDataTreeForm::GetLastPosition() const
{
    QTreeWidget* tree = ActiveTree();
    int top = 0;
    if (QTreeWidgetItem* item = tree->itemAt(0, 0)) {
        for (QTreeWidgetItemIterator it(tree); *it && *it != item; ++it)
            ++top;
    }
    return QPoint(GetActivePage(), top);
}

void TrpDataTreeForm::SetLastPosition(const QPoint& position)
{
    ShowTab(position.x());
    QTreeWidget* tree = ActiveTree();
    int n = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it, ++n) {
        if (n == position.y()) {
            tree->scrollToItem(*it, QAbstractItemView::PositionAtTop);
            break;
        }
    }
}

void TrpDataTreeForm::SetColor_(const QColor& colour)
{
    for (QTreeWidget* tree : {DataTree, VariablesTree, FunctionsTree, ClassesTree}) {
        QPalette pal = tree->palette();
        pal.setColor(QPalette::Base, colour);
        tree->setPalette(pal);
    }
}

void TrpDataTreeForm::SetControlsParent(QWidget* parent)
{
    FTabs->setParent(parent);
    FTabs->show();
    for (QWidget* panel : FPanels)
        panel->setParent(parent);
    ShowTab(GetActivePage());
}

void TrpDataTreeForm::UpdateSize()
{
    QWidget* host = FTabs->parentWidget();
    const int width = host->width();
    const int tabHeight = host->logicalDpiY() > 96 ? 26 : 22;
    FTabs->setGeometry(0, 0, width, tabHeight);
    for (QWidget* panel : FPanels)
        panel->setGeometry(0, tabHeight - 1, width, host->height() - tabHeight + 1);
    NoDataPn->setGeometry(10, 20, FPanels[0]->width() - 20, 140);
    FunctionNameL->adjustSize();
}

void TrpDataTreeForm::UpdateSelection()
{
    if (GetActivePage() != 0)
        return;
    DataTree->clearSelection();
    DataTree->setCurrentItem(nullptr);
    TrpCustomDesigner* designer = FReport != nullptr ? FReport->Designer() : nullptr;
    if (designer == nullptr || designer->SelectedObjects().size() != 1)
        return;
    auto* dataSet = dynamic_cast<TrpDataSet*>(designer->SelectedObjects().front().data());
    if (dataSet == nullptr)
        return;
    for (QTreeWidgetItemIterator it(DataTree); *it; ++it) {
        if ((*it)->data(0, kDataSetRole).value<void*>() == dataSet) {
            DataTree->setCurrentItem(*it);
            return;
        }
    }
}

void TrpDataTreeForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    UpdateSize();
}

QDrag* TrpDataTreeForm::CreateFieldDrag()
{
    // A field dragged out carries its expression text; the tree view is the drag's source, so
    // a drop target can tell a drag from this window.
    const QString text = GetFieldName();
    if (text.isEmpty())
        return nullptr;
    auto* drag = new QDrag(ActiveTree());
    auto* data = new QMimeData;
    data->setText(text);
    drag->setMimeData(data);
    return drag;
}

bool TrpDataTreeForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == NoDataL && event->type() == QEvent::MouseButtonDblClick) {
        if (OnDblClick)
            OnDblClick(NoDataL);
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress)
        FPressPos = static_cast<QMouseEvent*>(event)->position().toPoint();
    if (event->type() == QEvent::MouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        if ((move->buttons() & Qt::LeftButton) != 0 &&
            (move->position().toPoint() - FPressPos).manhattanLength() >= QApplication::startDragDistance()) {
            if (QDrag* drag = CreateFieldDrag()) {
                drag->exec(Qt::CopyAction);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
