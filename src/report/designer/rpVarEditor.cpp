#include "rpVarEditor.h"

#include "rpDataTree.h"
#include "rpDsgnImages.h"
#include "rpStringsEditor.h"

#include "report/core/Services.h"
#include "report/model/rpClass_ini.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"
#include "report/model/rpVariables.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum NodeKind { kRootNode, kCategoryNode, kVariableNode };
constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kNameRole = Qt::UserRole + 2; // the stored name, a category's with its blank
constexpr int kMaxName = 255;

QPoint gLastPosition;
bool gHasLastPosition = false;

QToolButton* ToolButton(QToolBar* bar, const char* name, int image, int hint, const QString& fallback)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    const auto& images = MainButtonImages();
    if (image < static_cast<int>(images.size()))
        button->setIcon(QIcon(QPixmap::fromImage(images[image])));
    button->setToolTip(fallback);
    DesignerDialogs::Hint(button, hint);
    bar->addWidget(button);
    return button;
}

QIcon Image(int index)
{
    const auto& images = MainButtonImages();
    return index < static_cast<int>(images.size()) ? QIcon(QPixmap::fromImage(images[index])) : QIcon();
}

QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, NodeKind kind, const QString& storedName)
{
    auto* node = new QTreeWidgetItem(parent);
    node->setData(0, kKindRole, kind);
    node->setData(0, kNameRole, storedName);
    node->setText(0, kind == kCategoryNode ? storedName.mid(1) : storedName);
    node->setIcon(0, Image(kind == kVariableNode ? 80 : 66));
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    return node;
}

int KindOf(const QTreeWidgetItem* node)
{
    return node == nullptr ? -1 : node->data(0, kKindRole).toInt();
}

QString FileFilter(int id)
{
    return DesignerDialogs::QtFilter(DesignerDialogs::Text(QString::number(id)));
}

} // namespace

TrpVarEditorForm::TrpVarEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpVarEditorForm")), FVariables(std::make_unique<TrpVariables>())
{
    setWindowTitle(QString());
    setSizeGripEnabled(true);
    FReport = designer != nullptr ? designer->Report() : nullptr;
    if (FReport != nullptr)
        FVariables->Assign(FReport->Variables());

    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    NewCategoryB = ToolButton(ToolBar, "NewCategoryB", 65, 2901, QString());
    NewVarB = ToolButton(ToolBar, "NewVarB", 67, 2902, QString());
    EditB = ToolButton(ToolBar, "EditB", 68, 2903, QString());
    DeleteB = ToolButton(ToolBar, "DeleteB", 81, 2904, QString());
    EditListB = ToolButton(ToolBar, "EditListB", 69, 2905, QString());
    ToolBar->addSeparator();
    LoadB = ToolButton(ToolBar, "LoadB", 1, 2906, QString());
    SaveB = ToolButton(ToolBar, "SaveB", 2, 2907, QString());
    ToolBar->addSeparator();
    CancelB = ToolButton(ToolBar, "CancelB", 55, 2, QString());
    OkB = ToolButton(ToolBar, "OkB", 56, 1, QStringLiteral("OK"));

    Splitter2 = new QSplitter(Qt::Horizontal, this);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter1 = new QSplitter(Qt::Vertical, Splitter2);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    VarTree = new QTreeWidget(Splitter1);
    VarTree->setObjectName(QStringLiteral("VarTree"));
    VarTree->setHeaderHidden(true);
    VarTree->setRootIsDecorated(false);
    VarTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VarTree->installEventFilter(this);
    ExprPanel = new QWidget(Splitter1);
    ExprPanel->setObjectName(QStringLiteral("ExprPanel"));
    auto* exprLabel = new QLabel(u' ' + DesignerDialogs::Text(QStringLiteral("2908")),
                                 ExprPanel);
    ExprMemo = new QPlainTextEdit(ExprPanel);
    ExprMemo->setObjectName(QStringLiteral("ExprMemo"));
    ExprMemo->setAcceptDrops(true);
    ExprMemo->viewport()->installEventFilter(this);
    auto* exprLayout = new QVBoxLayout(ExprPanel);
    exprLayout->setContentsMargins(0, 0, 0, 0);
    exprLayout->setSpacing(0);
    exprLayout->addWidget(exprLabel);
    exprLayout->addWidget(ExprMemo, 1);
    Panel = new QWidget(Splitter2);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar);
    layout->addWidget(Splitter2, 1);
    resize(640, 420);
    DesignerDialogs::Caption(this, 2900);

    FDataTree = new TrpDataTreeForm(this);
    FDataTree->hide();
    FDataTree->SetReport(FReport);
    FDataTree->OnDblClick = [this](QWidget*) {
        ExprMemo->textCursor().insertText(FDataTree->GetFieldName());
        FExprModified = true;
    };
    FDataTree->SetControlsParent(Panel);
    FDataTree->FunctionDescL->parentWidget()->setFixedHeight(64);
    FDataTree->UpdateItems();

    connect(OkB, &QToolButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QToolButton::clicked, this, &QDialog::reject);
    const std::pair<QToolButton*, void (TrpVarEditorForm::*)()> actions[] = {
        {NewCategoryB, &TrpVarEditorForm::NewCategoryBClick}, {NewVarB, &TrpVarEditorForm::NewVarBClick},
        {EditB, &TrpVarEditorForm::EditBClick},               {DeleteB, &TrpVarEditorForm::DeleteBClick},
        {EditListB, &TrpVarEditorForm::EditListBClick},       {LoadB, &TrpVarEditorForm::LoadBClick},
        {SaveB, &TrpVarEditorForm::SaveBClick},
    };
    for (const auto& [button, handler] : actions)
        connect(button, &QToolButton::clicked, this, [this, handler = handler] { Guard([this, handler] { (this->*handler)(); }); });
    connect(VarTree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                if (FUpdating)
                    return;
                VarTreeChanging(previous);
                VarTreeChange(current);
            });
    connect(VarTree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node) {
        if (!FUpdating)
            Guard([this, node] { RenameNode(node, node->text(0)); });
    });
    connect(ExprMemo, &QPlainTextEdit::textChanged, this, [this] {
        if (!FUpdating)
            FExprModified = true;
    });
}

TrpVarEditorForm::~TrpVarEditorForm()
{
    delete FDataTree;
}

QTreeWidgetItem* TrpVarEditorForm::Root() const
{
    return VarTree->topLevelItem(0);
}

void TrpVarEditorForm::Showing()
{
    RestorePlacement();
    int split1 = 76;
    int split2 = 400;
    if (std::unique_ptr<TrpIniFile> settings = Settings()) {
        split1 = settings->ReadInteger(Section(), QStringLiteral("Split1Pos"), 76);
        split2 = settings->ReadInteger(Section(), QStringLiteral("Split2Pos"), 400);
    }
    Splitter1->setSizes({std::max(40, height() - split1), split1});
    Splitter2->setSizes({std::max(40, width() - split2), split2});
    BuildTree();
    VarTree->setFocus();
    if (gHasLastPosition)
        FDataTree->SetLastPosition(gLastPosition);
    FDataTree->UpdateSize();
}

void TrpVarEditorForm::Hiding(int result)
{
    SavePlacement();
    if (std::unique_ptr<TrpIniFile> settings = Settings()) {
        settings->WriteInteger(Section(), QStringLiteral("Split1Pos"), ExprPanel->height());
        settings->WriteInteger(Section(), QStringLiteral("Split2Pos"), Panel->width());
    }
    gLastPosition = FDataTree->GetLastPosition();
    gHasLastPosition = true;
    if (result == mrOk) {
        SelectRoot();
        if (FReport != nullptr)
            FReport->Variables().Assign(*FVariables);
    }
}

void TrpVarEditorForm::BuildTree()
{
    FUpdating = true;
    VarTree->clear();
    auto* root = new QTreeWidgetItem(VarTree);
    root->setData(0, kKindRole, kRootNode);
    root->setIcon(0, Image(66));
    QStringList categories;
    FVariables->GetCategoriesList(categories);
    QStringList variables;
    if (categories.isEmpty()) {
        FVariables->GetVariablesList(QString(), variables);
        for (const QString& name : variables)
            AddNode(root, kVariableNode, name);
    }
    for (const QString& category : categories) {
        QTreeWidgetItem* node = AddNode(root, kCategoryNode, u' ' + category);
        FVariables->GetVariablesList(category, variables);
        for (const QString& name : variables)
            AddNode(node, kVariableNode, name);
    }
    SetRootText();
    VarTree->expandAll();
    VarTree->scrollToItem(root);
    FUpdating = false;
}

void TrpVarEditorForm::SetRootText()
{
    QTreeWidgetItem* root = Root();
    const bool wasUpdating = FUpdating;
    FUpdating = true;
    root->setText(0, GetResourcesInstance().Get(root->childCount() > 0 ? u"vaVar" : u"vaNoVar"));
    FUpdating = wasUpdating;
}

void TrpVarEditorForm::SelectRoot()
{
    VarTree->setCurrentItem(Root());
}

void TrpVarEditorForm::VarTreeChanging(QTreeWidgetItem* previous)
{
    if (FExprModified && KindOf(previous) == kVariableNode) {
        const int index = FVariables->IndexOf(previous->data(0, kNameRole).toString());
        if (index >= 0)
            FVariables->Items(index)->Value = Variant(ExprMemo->toPlainText());
    }
}

void TrpVarEditorForm::VarTreeChange(QTreeWidgetItem* current)
{
    FUpdating = true;
    QString text;
    if (KindOf(current) == kVariableNode) {
        const Variant value = FVariables->GetValue(current->data(0, kNameRole).toString());
        text = value.IsNull() || value.IsUnassigned() ? QString() : value.ToString();
    }
    ExprMemo->setPlainText(text);
    FExprModified = false;
    FUpdating = false;
}

QTreeWidgetItem* TrpVarEditorForm::FindNode(const QString& text) const
{
    const auto found = VarTree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

QString TrpVarEditorForm::FreeName(const QString& base) const
{
    for (int n = 1;; ++n) {
        const QString name = base + QString::number(n);
        if (FVariables->IndexOf(name) < 0)
            return name;
    }
}

void TrpVarEditorForm::NewCategoryBClick()
{
    const QString name = FreeName(QStringLiteral(" New Category"));
    FUpdating = true;
    QTreeWidgetItem* node = AddNode(Root(), kCategoryNode, name);
    FVariables->Add()->Name = name;
    VarTree->expandAll();
    FUpdating = false;
    SetRootText();
    VarTree->setCurrentItem(node);
}

void TrpVarEditorForm::NewVarBClick()
{
    QTreeWidgetItem* root = Root();
    if (root->childCount() == 0)
        return;
    QTreeWidgetItem* selected = VarTree->currentItem();
    QTreeWidgetItem* category = nullptr;
    if (KindOf(selected) == kCategoryNode)
        category = selected;
    else if (KindOf(selected) == kVariableNode)
        category = selected->parent();
    else
        category = root->child(root->childCount() - 1);
    if (KindOf(category) != kCategoryNode)
        return; // no category to hold it: the collection adds nothing either
    const QString name = FreeName(QStringLiteral("New Variable"));
    FVariables->AddVariable(category->text(0), name, Variant(QString()));
    FUpdating = true;
    QTreeWidgetItem* node = AddNode(category, kVariableNode, name);
    category->setExpanded(true);
    FUpdating = false;
    VarTree->setCurrentItem(node);
}

void TrpVarEditorForm::EditBClick()
{
    QTreeWidgetItem* node = VarTree->currentItem();
    if (node != nullptr && node != Root())
        VarTree->editItem(node);
}

void TrpVarEditorForm::RenameNode(QTreeWidgetItem* node, const QString& text)
{
    if (node == nullptr || KindOf(node) == kRootNode || Root()->childCount() == 0)
        return;
    const bool category = KindOf(node) == kCategoryNode;
    const QString oldName = node->data(0, kNameRole).toString();
    const QString newName = (category ? QStringLiteral(" ") : QString()) + text.left(kMaxName);
    if (newName == oldName)
        return;
    if (FVariables->IndexOf(newName) < 0 && FVariables->IndexOf(oldName) >= 0) {
        FVariables->Items(FVariables->IndexOf(oldName))->Name = newName;
        FUpdating = true;
        node->setData(0, kNameRole, newName);
        node->setText(0, text.left(kMaxName));
        FUpdating = false;
        return;
    }
    FUpdating = true;
    node->setText(0, category ? oldName.mid(1) : oldName);
    FUpdating = false;
    ErrorMessageBox(GetResourcesInstance().Get(u"vaDupName"));
}

void TrpVarEditorForm::DeleteBClick()
{
    QTreeWidgetItem* node = VarTree->currentItem();
    if (node == nullptr || node == Root())
        return;
    const QString name = node->data(0, kNameRole).toString();
    if (KindOf(node) == kCategoryNode)
        FVariables->DeleteCategory(name.mid(1));
    else
        FVariables->DeleteVariable(name);
    FUpdating = true;
    delete node;
    FUpdating = false;
    SetRootText();
    VarTreeChange(VarTree->currentItem());
}

void TrpVarEditorForm::EditListBClick()
{
    SelectRoot();
    QStringList lines;
    for (int i = 0; i < FVariables->Count(); ++i) {
        const QString& name = FVariables->Items(i)->Name;
        lines.append(name.startsWith(u' ') ? name.mid(1) : u' ' + name);
    }
    TrpStringsEditorForm editor(this, Designer());
    editor.SetLines(lines);
    if (editor.Execute() == mrOk) {
        TrpVariables edited;
        for (const QString& line : editor.Lines()) {
            if (line.trimmed().isEmpty())
                continue;
            const QString name = line.startsWith(u' ') ? line.mid(1, kMaxName) : u' ' + line;
            TrpVariable* item = edited.Add();
            item->Name = name;
            const int existing = FVariables->IndexOf(name);
            item->Value = existing >= 0 ? FVariables->Items(existing)->Value : Variant(QString());
        }
        FVariables->Assign(edited);
        BuildTree();
    }
    SelectRoot();
}

void TrpVarEditorForm::LoadBClick()
{
    UiFileDialog dialog;
    dialog.Filter = FileFilter(2909);
    dialog.InitialDir = DesignerDialogs::OpenDir();
    if (!ReportServices::Ui().OpenFileDialog(dialog))
        return;
    try {
        FVariables->LoadFromFile(dialog.FileName);
    } catch (...) {
        BuildTree();
        throw;
    }
    BuildTree();
}

void TrpVarEditorForm::SaveBClick()
{
    SelectRoot();
    UiFileDialog dialog;
    dialog.Filter = FileFilter(2910);
    dialog.InitialDir = DesignerDialogs::SaveDir();
    dialog.DefaultExt = QStringLiteral("fd3");
    dialog.OverwritePrompt = true;
    if (ReportServices::Ui().SaveFileDialog(dialog))
        FVariables->SaveToFile(dialog.FileName);
}

bool TrpVarEditorForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Panel && event->type() == QEvent::Resize && FDataTree != nullptr) {
        FDataTree->UpdateSize();
        return false;
    }
    if (watched == VarTree && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool categories = KindOf(Root() != nullptr && Root()->childCount() > 0 ? Root()->child(0) : nullptr) ==
                                kCategoryNode;
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F2:
            Guard([this] { EditBClick(); });
            return true;
        case Qt::Key_Insert:
            Guard([this, categories] { categories ? NewVarBClick() : NewCategoryBClick(); });
            return true;
        case Qt::Key_Delete:
            Guard([this] { DeleteBClick(); });
            return true;
        default:
            break;
        }
    }
    if (ExprMemo != nullptr && watched == ExprMemo->viewport()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->source() == FDataTree && !FDataTree->GetFieldName().isEmpty())
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (drop->source() == FDataTree && !FDataTree->GetFieldName().isEmpty()) {
                ExprMemo->textCursor().insertText(FDataTree->GetFieldName());
                FExprModified = true;
                drop->acceptProposedAction();
            }
            return true;
        }
        default:
            break;
        }
    }
    return TrpDesignerDialog::eventFilter(watched, event);
}
