#include "rpDataBandEditor.h"

#include "rpDsgnImages.h"

#include "report/core/Services.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

namespace {

constexpr int kDataSetRole = Qt::UserRole + 1;

} // namespace

TrpDataBandEditorForm::TrpDataBandEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpDataBandEditorForm"))
{
    setWindowTitle(QString());
    DatasetsLB = new QListWidget(this);
    DatasetsLB->setObjectName(QStringLiteral("DatasetsLB"));
    RecordsL = new QLabel(QString(), this);
    RecordsL->setObjectName(QStringLiteral("RecordsL"));
    RecordsE = new QSpinBox(this);
    RecordsE->setObjectName(QStringLiteral("RecordsE"));
    RecordsE->setRange(0, std::numeric_limits<int>::max());
    OkB = new QPushButton(QStringLiteral("OK"), this);
    CancelB = new QPushButton(QString(), this);
    MakeOkCancel(OkB, CancelB);
    auto* records = new QHBoxLayout;
    records->addWidget(RecordsL);
    records->addWidget(RecordsE);
    records->addStretch(1);
    auto* buttons = DesignerDialogs::ButtonRow({OkB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DatasetsLB, 1);
    layout->addLayout(records);
    layout->addLayout(buttons);
    resize(260, 300);
    DesignerDialogs::Caption(this, 3100);
    DesignerDialogs::Caption(RecordsL, 3101);
    connect(DatasetsLB, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!FFilling && row > 0)
            RecordsE->setValue(0);
    });
    connect(DatasetsLB, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

void TrpDataBandEditorForm::Showing()
{
    FFilling = true;
    DatasetsLB->clear();
    new QListWidgetItem(GetResourcesInstance().Get(u"dbNotAssigned"), DatasetsLB);
    TrpReport* report = FDataBand != nullptr ? dynamic_cast<TrpReport*>(FDataBand->Report()) : nullptr;
    if (report == nullptr && Designer() != nullptr)
        report = Designer()->Report();
    const auto& images = MainButtonImages();
    const QIcon icon = images.size() > 53 ? QIcon(QPixmap::fromImage(images[53])) : QIcon();
    int selected = 0;
    if (report != nullptr) {
        QStringList names;
        std::vector<TrpDataSet*> dataSets;
        report->GetDataSetList(names, dataSets);
        std::vector<int> order(dataSets.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return names[a] < names[b]; });
        for (int i : order) {
            auto* item = new QListWidgetItem(icon, names[i], DatasetsLB);
            item->setData(kDataSetRole, QVariant::fromValue(static_cast<QObject*>(dataSets[static_cast<size_t>(i)])));
            if (FDataBand != nullptr && FDataBand->DataSet() == dataSets[static_cast<size_t>(i)])
                selected = DatasetsLB->count() - 1;
        }
    }
    DatasetsLB->setCurrentRow(selected);
    RecordsE->setValue(FDataBand != nullptr ? FDataBand->RowCount() : 0);
    FFilling = false;
}

void TrpDataBandEditorForm::Hiding(int result)
{
    if (result != mrOk || FDataBand == nullptr)
        return;
    QListWidgetItem* item = DatasetsLB->currentItem();
    auto* dataSet = item != nullptr ? dynamic_cast<TrpDataSet*>(item->data(kDataSetRole).value<QObject*>()) : nullptr;
    FDataBand->SetDataSet(DatasetsLB->currentRow() > 0 ? dataSet : nullptr);
    FDataBand->SetRowCount(RecordsE->value());
}
