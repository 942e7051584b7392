#include "rpGroupEditor.h"

#include "report/core/Services.h"
#include "report/engine/ui/rpCtrls.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpRes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template <class T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TrpGroupEditorForm::TrpGroupEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpGroupEditorForm"))
{
    setWindowTitle(QString());
    BreakOnL = Named(new QLabel(QString(), this), "BreakOnL");
    OptionsL = Named(new QLabel(QString(), this), "OptionsL");
    for (QLabel* label : {BreakOnL, OptionsL}) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    DataFieldRB = Named(new QRadioButton(QString(), this), "DataFieldRB");
    ExpressionRB = Named(new QRadioButton(QString(), this), "ExpressionRB");
    DataSetCB = Named(new QComboBox(this), "DataSetCB");
    DataFieldCB = Named(new QComboBox(this), "DataFieldCB");
    ExpressionE = Named(new TrpComboEdit(this), "ExpressionE");
    KeepGroupTogetherCB = Named(new QCheckBox(QString(), this), "KeepGroupTogetherCB");
    StartNewPageCB = Named(new QCheckBox(QString(), this), "StartNewPageCB");
    OutlineCB = Named(new QCheckBox(QString(), this), "OutlineCB");
    DrillCB = Named(new QCheckBox(DesignerDialogs::Text(QStringLiteral("bvDrillDown")),
                                  this),
                    "DrillCB");
    ResetCB = Named(new QCheckBox(DesignerDialogs::Text(QStringLiteral("bvResetPageNo")),
                                  this),
                    "ResetCB");
    OKB = Named(new QPushButton(QStringLiteral("OK"), this), "OKB");
    CancelB = new QPushButton(QString(), this);
    MakeOkCancel(OKB, CancelB);

    auto* grid = new QGridLayout;
    grid->addWidget(BreakOnL, 0, 0, 1, 2);
    grid->addWidget(DataFieldRB, 1, 0, 1, 2);
    grid->addWidget(DataSetCB, 2, 0);
    grid->addWidget(DataFieldCB, 2, 1);
    grid->addWidget(ExpressionRB, 3, 0, 1, 2);
    grid->addWidget(ExpressionE, 4, 0, 1, 2);
    grid->addWidget(OptionsL, 5, 0, 1, 2);
    grid->addWidget(KeepGroupTogetherCB, 6, 0, 1, 2);
    grid->addWidget(StartNewPageCB, 7, 0, 1, 2);
    grid->addWidget(OutlineCB, 8, 0, 1, 2);
    grid->addWidget(DrillCB, 9, 0, 1, 2);
    grid->addWidget(ResetCB, 10, 0, 1, 2);
    auto* buttons = DesignerDialogs::ButtonRow({OKB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    DesignerDialogs::Caption(this, 3200);
    DesignerDialogs::Caption(BreakOnL, 3201);
    DesignerDialogs::Caption(OptionsL, 3202);
    DesignerDialogs::Caption(DataFieldRB, 3203);
    DesignerDialogs::Caption(ExpressionRB, 3204);
    DesignerDialogs::Caption(KeepGroupTogetherCB, 3205);
    DesignerDialogs::Caption(StartNewPageCB, 3206);
    DesignerDialogs::Caption(OutlineCB, 3207);

    connect(DataFieldRB, &QRadioButton::toggled, this, [this] { Guard([this] { DataFieldRBClick(); }); });
    connect(DataSetCB, &QComboBox::currentIndexChanged, this, [this] { Guard([this] { DataSetCBChange(); }); });
    ExpressionE->OnButtonClick = [this] { Guard([this] { ExpressionEButtonClick(); }); };
}

void TrpGroupEditorForm::Showing()
{
    FReport = FGroupHeader != nullptr ? dynamic_cast<TrpReport*>(FGroupHeader->Report()) : nullptr;
    if (FReport == nullptr && Designer() != nullptr)
        FReport = Designer()->Report();
    {
        const QSignalBlocker block(DataSetCB);
        DataSetCB->clear();
        if (FReport != nullptr) {
            QStringList names;
            std::vector<TrpDataSet*> dataSets;
            FReport->GetDataSetList(names, dataSets);
            DataSetCB->addItems(names);
        }
    }
    const QString condition = FGroupHeader != nullptr ? FGroupHeader->Condition : QString();
    TrpDataSet* dataSet = nullptr;
    QString field;
    if (FReport != nullptr)
        FReport->GetDatasetAndField(condition, dataSet, field);
    if (condition.isEmpty()) {
        DataFieldRB->setChecked(true);
        DataSetCB->setCurrentIndex(DataSetCB->count() > 0 ? 0 : -1);
        DataSetCBChange();
        DataFieldCB->setFocus();
    } else if (dataSet != nullptr) {
        DataFieldRB->setChecked(true);
        DataSetCB->setCurrentText(FReport->GetAlias(dataSet));
        DataSetCBChange();
        DataFieldCB->setCurrentText(field);
    } else {
        ExpressionRB->setChecked(true);
        ExpressionE->setEditText(condition);
    }
    DataFieldRBClick();
    if (FGroupHeader != nullptr) {
        KeepGroupTogetherCB->setChecked(FGroupHeader->KeepTogether);
        StartNewPageCB->setChecked(FGroupHeader->StartNewPage);
        OutlineCB->setChecked(!FGroupHeader->OutlineText.trimmed().isEmpty());
        DrillCB->setChecked(FGroupHeader->DrillDown);
        ResetCB->setChecked(FGroupHeader->ResetPageNumbers);
    }
}

void TrpGroupEditorForm::DataFieldRBClick()
{
    const bool field = DataFieldRB->isChecked();
    DataSetCB->setEnabled(field);
    DataFieldCB->setEnabled(field);
    ExpressionE->setEnabled(!field);
}

void TrpGroupEditorForm::DataSetCBChange()
{
    DataFieldCB->clear();
    if (FReport == nullptr)
        return;
    if (TrpDataSet* dataSet = FReport->GetDataset(DataSetCB->currentText())) {
        QStringList fields;
        dataSet->GetFieldList(fields);
        DataFieldCB->addItems(fields);
    }
}

void TrpGroupEditorForm::ExpressionEButtonClick()
{
    if (Designer() == nullptr)
        return;
    const QString expression = Designer()->InsertExpression(ExpressionE->currentText());
    if (!expression.isEmpty())
        ExpressionE->setEditText(expression);
}

void TrpGroupEditorForm::Hiding(int result)
{
    if (result != mrOk || FGroupHeader == nullptr)
        return;
    if (DataFieldRB->isChecked())
        FGroupHeader->Condition = DataSetCB->currentText() + QStringLiteral(".\"") + DataFieldCB->currentText() + u'"';
    else
        FGroupHeader->Condition = ExpressionE->currentText();
    FGroupHeader->KeepTogether = KeepGroupTogetherCB->isChecked();
    FGroupHeader->StartNewPage = StartNewPageCB->isChecked();
    FGroupHeader->DrillDown = DrillCB->isChecked();
    FGroupHeader->ResetPageNumbers = ResetCB->isChecked();
    FGroupHeader->OutlineText = OutlineCB->isChecked() ? FGroupHeader->Condition : QString();
}
