#include "rpReportDataForm.h"

#include "platform/RegistryStore.h"
#include "report/core/Services.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpClass_styles.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace {

constexpr int kDataSetRole = Qt::UserRole + 1;
const char kConnectionsKey[] = "\\Software\\Zuvo Dideziz\\Connections";

// The size the dialog had when it closed last, for the next opening.
std::optional<QSize> gLastSize;

} // namespace

TrpReportDataForm::TrpReportDataForm(QWidget* owner, TrpCustomDesigner* designer, bool standalone)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpReportDataForm")), FStandalone(standalone)
{
    FReport = designer != nullptr ? designer->Report() : nullptr;
    setWindowTitle(standalone ? QString() : QString());
    setSizeGripEnabled(true);
    DatasetsLB = new QListWidget(this);
    DatasetsLB->setObjectName(QStringLiteral("DatasetsLB"));
    OKB = new QPushButton(QStringLiteral("OK"), this);
    OKB->setObjectName(QStringLiteral("OKB"));
    CancelB = new QPushButton(QString(), this);
    MakeOkCancel(OKB, CancelB);
    auto* buttons = DesignerDialogs::ButtonRow({OKB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(12);
    layout->addWidget(DatasetsLB, 1);
    layout->addLayout(buttons);
    resize(300, 320);
    DesignerDialogs::Caption(this, standalone ? 5800 : 2800);
    connect(DatasetsLB, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!FFilling)
            Guard([this, item] { DatasetsLBClickCheck(DatasetsLB->row(item)); });
    });
}

void TrpReportDataForm::Showing()
{
    if (gLastSize)
        resize(*gLastSize);
    FFilling = true;
    DatasetsLB->clear();
    auto addEntry = [this](const QString& text, bool checked) {
        auto* item = new QListWidgetItem(text, DatasetsLB);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        return item;
    };
    if (FStandalone) {
        const QString current = FReport != nullptr ? FReport->ReportOptions().ConnectionName() : QString();
        for (const platform::RegistryStore& store :
             {platform::RegistryStore::LocalMachine(), platform::RegistryStore::CurrentUser()}) {
            for (const std::string& name : store.ValueNames(kConnectionsKey)) {
                const QString text = QString::fromStdString(name);
                addEntry(text, text.compare(current, Qt::CaseInsensitive) == 0);
            }
        }
    } else if (FReport != nullptr) {
        std::vector<TrpDataSet*> candidates;
        QStringList names;
        if (FReport->EnabledDataSets().Count() > 0) {
            for (int i = 0; i < FReport->EnabledDataSets().Count(); ++i)
                if (TrpDataSet* dataSet = FReport->EnabledDataSets().Items(i)->DataSet())
                    candidates.push_back(dataSet);
        } else {
            FReport->GetActiveDataSetList(names, candidates);
        }
        std::erase_if(candidates, [this](TrpDataSet* dataSet) {
            // A data set that belongs to another report is not this report's to use.
            TrpComponent* owner = dataSet->Report();
            return owner != nullptr && owner != FReport;
        });
        std::stable_sort(candidates.begin(), candidates.end(), [](TrpDataSet* a, TrpDataSet* b) {
            return a->UserName().compare(b->UserName(), Qt::CaseInsensitive) < 0;
        });
        for (TrpDataSet* dataSet : candidates) {
            QListWidgetItem* item = addEntry(dataSet->UserName(), FReport->DataSets().Find(dataSet) != nullptr);
            item->setData(kDataSetRole, QVariant::fromValue(static_cast<QObject*>(dataSet)));
        }
    }
    FFilling = false;
}

void TrpReportDataForm::DatasetsLBClickCheck(int row)
{
    if (!FStandalone || row < 0 || DatasetsLB->item(row)->checkState() != Qt::Checked)
        return;
    FFilling = true;
    for (int i = 0; i < DatasetsLB->count(); ++i)
        if (i != row)
            DatasetsLB->item(i)->setCheckState(Qt::Unchecked);
    FFilling = false;
}

void TrpReportDataForm::Hiding(int result)
{
    gLastSize = size();
    if (result != mrOk || FReport == nullptr)
        return;
    if (FStandalone) {
        QString chosen;
        for (int i = 0; i < DatasetsLB->count(); ++i)
            if (DatasetsLB->item(i)->checkState() == Qt::Checked)
                chosen = DatasetsLB->item(i)->text();
        FReport->ReportOptions().SetConnectionName(chosen);
        return;
    }
    FReport->DataSets().Clear();
    for (int i = 0; i < DatasetsLB->count(); ++i) {
        QListWidgetItem* item = DatasetsLB->item(i);
        auto* dataSet = dynamic_cast<TrpDataSet*>(item->data(kDataSetRole).value<QObject*>());
        if (item->checkState() == Qt::Checked && dataSet != nullptr)
            FReport->DataSets().Add(dataSet);
    }
}
