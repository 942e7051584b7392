#include "rpNewItemForm.h"

#include "rpDesgnForm.h"
#include "rpDsgnImages.h"
#include "rpWizardStd.h"

#include "report/core/Services.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpRes.h"

#include "platform/Exceptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>

namespace {

// The item's registry index or template index.
constexpr int kEntryRole = Qt::UserRole + 1;
// The wizard image of a template.
constexpr int kTemplateImage = 5;

QListWidget* MakeList(QWidget* parent, const QString& name)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setViewMode(QListView::IconMode);
    list->setIconSize(QSize(32, 32));
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    list->setWordWrap(true);
    list->setGridSize(QSize(124, 80));
    list->setTextElideMode(Qt::ElideNone);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QIcon WizardIcon(int index)
{
    const std::vector<QImage>& images = WizardImages();
    if (index < 0 || static_cast<size_t>(index) >= images.size())
        return QIcon();
    return QIcon(QPixmap::fromImage(images[static_cast<size_t>(index)]));
}

// Whether the report has a page to design besides data pages.
bool HasDesignPage(TrpReport& report)
{
    for (int i = 0; i < report.PagesCount(); ++i) {
        if (dynamic_cast<TrpDataPage*>(report.Pages(i)) == nullptr)
            return true;
    }
    return false;
}

} // namespace

TrpNewItemForm::TrpNewItemForm(TrpDesignerForm* designer)
    : TrpDesignerDialog(designer, designer, QStringLiteral("TrpNewItemForm")), FForm(designer)
{
    setWindowTitle(QStringLiteral("New Item"));
    setLayoutDirection(QApplication::layoutDirection());
    resize(329, 334);
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    ItemsTab = new QWidget(Pages);
    ItemsTab->setObjectName(QStringLiteral("ItemsTab"));
    TemplateTab = new QWidget(Pages);
    TemplateTab->setObjectName(QStringLiteral("TemplateTab"));
    Pages->addTab(ItemsTab, GetResourcesInstance().GetResourceTextById(5301));
    Pages->addTab(TemplateTab, GetResourcesInstance().GetResourceTextById(5302));
    ItemsLV = MakeList(ItemsTab, QStringLiteral("ItemsLV"));
    TemplateLV = MakeList(TemplateTab, QStringLiteral("TemplateLV"));
    InheritCB = new QCheckBox(TemplateTab);
    InheritCB->setObjectName(QStringLiteral("InheritCB"));
    InheritCB->setText(GetResourcesInstance().GetResourceTextById(5303));
    auto* itemsLayout = new QVBoxLayout(ItemsTab);
    itemsLayout->addWidget(ItemsLV);
    auto* templateLayout = new QVBoxLayout(TemplateTab);
    templateLayout->addWidget(TemplateLV, 1);
    templateLayout->addWidget(InheritCB);

    OkB = new QPushButton(QStringLiteral("OK"), this);
    CancelB = new QPushButton(QStringLiteral("Cancel"), this);
    MakeOkCancel(OkB, CancelB);
    OkB->setDefault(true);
    auto* buttons = DesignerDialogs::ButtonRow({OkB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages, 1);
    layout->addLayout(buttons);
    DesignerDialogs::Caption(this, 5300);

    connect(ItemsLV, &QListWidget::itemDoubleClicked, this, [this] { ItemsLVDblClick(); });
    connect(TemplateLV, &QListWidget::itemDoubleClicked, this, [this] { ItemsLVDblClick(); });
}

void TrpNewItemForm::FormShow()
{
    ItemsLV->clear();
    TrpWizardCollection& registry = GetWizardRegistry();
    for (int i = 0; i < registry.Count(); ++i) {
        TrpWizardItem& entry = registry.Items(i);
        if (!entry.ButtonBmp.isNull() && entry.ButtonImageIndex == -1) {
            SetWizardImages(entry.ButtonBmp);
            entry.ButtonImageIndex = static_cast<int32_t>(WizardImages().size()) - 1;
        }
        const std::unique_ptr<TrpCustomWizard> wizard = CreateWizard(entry.ClassRef, nullptr);
        auto* item = new QListWidgetItem(WizardIcon(entry.ButtonImageIndex),
                                         wizard != nullptr ? wizard->GetDescription() : entry.ClassRef, ItemsLV);
        item->setData(kEntryRole, i);
    }

    TemplateLV->clear();
    FForm->GetTemplateList(FTemplates);
    FTemplates.sort(Qt::CaseInsensitive);
    for (int i = 0; i < FTemplates.size(); ++i) {
        auto* item = new QListWidgetItem(WizardIcon(kTemplateImage), QFileInfo(FTemplates[i]).fileName(), TemplateLV);
        item->setData(kEntryRole, i);
    }
}

void TrpNewItemForm::ItemsLVDblClick()
{
    accept();
}

void TrpNewItemForm::FormDestroy(int result)
{
    if (result != mrOk)
        return;
    if (Pages->currentWidget() == ItemsTab) {
        QListWidgetItem* item = ItemsLV->currentItem();
        if (item != nullptr && item->isSelected())
            RunWizard(item);
    } else if (Pages->currentWidget() == TemplateTab) {
        QListWidgetItem* item = TemplateLV->currentItem();
        const int index = item != nullptr && item->isSelected() ? item->data(kEntryRole).toInt() : -1;
        if (index >= 0 && index < FTemplates.size())
            ApplyTemplate(FTemplates[index]);
    }
}

void TrpNewItemForm::RunWizard(QListWidgetItem* item)
{
    const int index = item->data(kEntryRole).toInt();
    if (index < 0 || index >= GetWizardRegistry().Count())
        return;
    const std::unique_ptr<TrpCustomWizard> wizard = CreateWizard(GetWizardRegistry().Items(index).ClassRef, FForm);
    if (wizard != nullptr && wizard->Execute())
        FForm->SetModified(true);
}

void TrpNewItemForm::ApplyTemplate(const QString& path)
{
    TrpReport* report = FForm->Report();
    FForm->Lock();
    QStringList inheritErrors;
    const auto reload = [&] {
        // A refused file leaves the data page the reader always makes and nothing else: the
        // designer then gets the empty report it shows for a cleared one.
        if (!HasDesignPage(*report))
            report->Clear();
        report->SetFileName(QString());
        FForm->ReloadReport();
    };
    try {
        report->Clear();
        // The old file name goes first: a relative template path is looked up beside the
        // report's file before the program's folder, and it is relative to the latter.
        report->SetFileName(QString());
        if (InheritCB->isChecked()) {
            // The report only notes what went wrong with its template; it is shown below.
            report->ClearErrors();
            report->SetParentReport(QDir(report->GetApplicationFolder()).relativeFilePath(path));
            inheritErrors = report->Errors();
        } else if (report->OnLoadTemplate) {
            report->OnLoadTemplate(*report, path);
        } else {
            // A file the reader refuses is reported by the report itself (its silent mode
            // decides how); what the reader left behind goes.
            report->LoadFromFile(path);
            if (!report->StreamLoaded())
                report->Clear();
        }
    } catch (...) {
        report->Clear();
        reload();
        throw;
    }
    reload();
    if (!inheritErrors.isEmpty())
        throw platform::Exception((GetResourcesInstance().Get(u"clErrors") + QStringLiteral("\r\n") +
                                   inheritErrors.join(QStringLiteral("\r\n")))
                                      .toStdString());
}
