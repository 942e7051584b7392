#include "rpReportTree.h"

#include "report/core/Services.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpGraphicUtils.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include <QKeyEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kReportImage = 34;
constexpr int kReportPageImage = 35;
constexpr int kDialogPageImage = 36;
constexpr int kDataPageImage = 37;
constexpr int kBandImage = 40;

int ImageIndexOf(const TrpComponent& object)
{
    if (object.IsReport())
        return kReportImage;
    if (dynamic_cast<const TrpDataPage*>(&object) != nullptr)
        return kDataPageImage;
    if (object.IsDialogPage())
        return kDialogPageImage;
    if (object.IsPage())
        return kReportPageImage;
    if (object.IsBand())
        return kBandImage;
    const TrpObjectItem* item = GetObjectRegistry().FindClass(&object.ScriptClass());
    return item != nullptr ? item->ButtonImageIndex : -1;
}

} // namespace

TrpReportTreeForm::TrpReportTreeForm(TrpCustomDesigner* designer, QWidget* parent)
    : QWidget(parent, Qt::Tool), designer_(designer), report_(designer != nullptr ? designer->Report() : nullptr)
{
    setObjectName(QStringLiteral("TrpReportTreeForm"));
    resize(179, 319);
    setWindowTitle(GetResourcesInstance().GetResourceTextById(2200));
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("Tree"));
    tree_->setHeaderHidden(true);
    tree_->setFrameShape(QFrame::NoFrame);
    tree_->setIndentation(19);
    tree_->setRootIsDecorated(false);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree_);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this] {
        ReportServices::Guarded([this] { TreeChange(); },
                                [](const QString&, const QString& message) { ErrorMessageBox(message); });
    });
}

void TrpReportTreeForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    UpdateItems();
}

void TrpReportTreeForm::SetColor_(const QColor& color)
{
    QPalette palette = tree_->palette();
    palette.setColor(QPalette::Base, color);
    tree_->setPalette(palette);
    UpdateItems();
}

void TrpReportTreeForm::UpdateItems()
{
    const bool wasUpdating = updating_;
    updating_ = true;
    tree_->setUpdatesEnabled(false);
    tree_->clear();
    components_.clear();
    nodes_.clear();
    if (report_ != nullptr)
        AddObject(report_, nullptr);
    tree_->expandAll();
    tree_->setUpdatesEnabled(true);
    updating_ = wasUpdating;
    UpdateSelection();
}

void TrpReportTreeForm::AddObject(TrpComponent* object, QTreeWidgetItem* parent)
{
    const bool dataPage = dynamic_cast<TrpDataPage*>(object) != nullptr;
    if (dataPage && dontEditInternalDatasets_)
        return;
    auto* node = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    node->setText(0, object->IsReport() ? QStringLiteral("Report") : object->Name());
    const int image = ImageIndexOf(*object);
    const QImage picture = image >= 0 ? ObjectImage(image) : QImage();
    if (!picture.isNull())
        node->setIcon(0, QIcon(QPixmap::fromImage(picture)));
    node->setData(0, Qt::UserRole, image);
    components_.push_back(object);
    nodes_.push_back(node);
    for (TrpComponent* child : object->Objects()) {
        if (dataPage && dynamic_cast<TrpDialogComponent*>(child) == nullptr)
            continue;
        AddObject(child, node);
    }
}

void TrpReportTreeForm::UpdateSelection()
{
    if (designer_ == nullptr || designer_->SelectedObjects().empty())
        return;
    const bool wasUpdating = updating_;
    updating_ = true;
    TrpComponent* first = designer_->SelectedObjects().front().data();
    for (size_t i = 0; i < components_.size(); ++i)
        if (components_[i] == first) {
            tree_->setCurrentItem(nodes_[i]);
            tree_->scrollToItem(nodes_[i], QAbstractItemView::PositionAtTop);
            break;
        }
    updating_ = wasUpdating;
}

void TrpReportTreeForm::TreeChange()
{
    if (updating_ || designer_ == nullptr)
        return;
    auto& selection = designer_->SelectedObjects();
    selection.clear();
    QTreeWidgetItem* current = tree_->currentItem();
    for (size_t i = 0; i < nodes_.size(); ++i)
        if (nodes_[i] == current)
            selection.emplace_back(components_[i]);
    if (OnSelectionChanged)
        OnSelectionChanged(this);
}

bool TrpReportTreeForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tree_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && OnWorkspaceKey) {
            ReportServices::Guarded([&] { OnWorkspaceKey(key); },
                                    [](const QString&, const QString& message) { ErrorMessageBox(message); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
