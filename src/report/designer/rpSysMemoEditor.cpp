#include "rpSysMemoEditor.h"

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
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QLabel* MakeLabel(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

template <class T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TrpSysMemoEditorForm::TrpSysMemoEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpSysMemoEditorForm"))
{
    setWindowTitle(QString());
    SysVariableRB = Named(new QRadioButton(QString(), this), "SysVariableRB");
    AggregateRB = Named(new QRadioButton(QString(), this), "AggregateRB");
    TextRB = Named(new QRadioButton(QString(), this), "TextRB");
    SysVariableRB->setChecked(true);

    GroupBox1 = Named(new QGroupBox(this), "GroupBox1");
    SysVariableCB = Named(new QComboBox(GroupBox1), "SysVariableCB");
    SysVariableCB->setEditable(true);
    (new QVBoxLayout(GroupBox1))->addWidget(SysVariableCB);
    for (int i = 1; i <= 6; ++i)
        SysVariableCB->addItem(GetResourcesInstance().Get(QStringLiteral("vt") + QString::number(i)));

    GroupBox2 = Named(new QGroupBox(this), "GroupBox2");
    TextE = Named(new QLineEdit(GroupBox2), "TextE");
    (new QVBoxLayout(GroupBox2))->addWidget(TextE);

    AggregatePanel = Named(new QGroupBox(this), "AggregatePanel");
    DataBandL = MakeLabel(QString(), "DataBandL", AggregatePanel);
    DataSetL = MakeLabel(QString(), "DataSetL", AggregatePanel);
    DataFieldL = MakeLabel(QString(), "DataFieldL", AggregatePanel);
    FunctionL = MakeLabel(QString(), "FunctionL", AggregatePanel);
    ExpressionL = MakeLabel(QString(), "ExpressionL", AggregatePanel);
    DataBandCB = Named(new QComboBox(AggregatePanel), "DataBandCB");
    DataSetCB = Named(new QComboBox(AggregatePanel), "DataSetCB");
    DataFieldCB = Named(new QComboBox(AggregatePanel), "DataFieldCB");
    FunctionCB = Named(new QComboBox(AggregatePanel), "FunctionCB");
    FunctionCB->addItems({QStringLiteral("SUM"), QStringLiteral("MIN"), QStringLiteral("MAX"), QStringLiteral("AVG"),
                          QStringLiteral("COUNT")});
    ExpressionE = Named(new TrpComboEdit(AggregatePanel), "ExpressionE");
    CountInvisibleCB = Named(new QCheckBox(QString(), AggregatePanel), "CountInvisibleCB");
    RunningTotalCB = Named(new QCheckBox(QString(), AggregatePanel), "RunningTotalCB");
    SampleL = MakeLabel(QString(), "SampleL", AggregatePanel);
    auto* grid = new QGridLayout(AggregatePanel);
    grid->addWidget(DataBandL, 0, 0);
    grid->addWidget(DataBandCB, 0, 1);
    grid->addWidget(DataSetL, 1, 0);
    grid->addWidget(DataSetCB, 1, 1);
    grid->addWidget(DataFieldL, 2, 0);
    grid->addWidget(DataFieldCB, 2, 1);
    grid->addWidget(FunctionL, 3, 0);
    grid->addWidget(FunctionCB, 3, 1);
    grid->addWidget(ExpressionL, 4, 0);
    grid->addWidget(ExpressionE, 4, 1);
    grid->addWidget(CountInvisibleCB, 5, 0, 1, 2);
    grid->addWidget(RunningTotalCB, 6, 0, 1, 2);
    grid->addWidget(SampleL, 7, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    OkB = new QPushButton(QStringLiteral("OK"), this);
    CancelB = new QPushButton(QString(), this);
    MakeOkCancel(OkB, CancelB);
    auto* buttons = DesignerDialogs::ButtonRow({OkB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SysVariableRB);
    layout->addWidget(GroupBox1);
    layout->addWidget(AggregateRB);
    layout->addWidget(AggregatePanel);
    layout->addWidget(TextRB);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    DesignerDialogs::Caption(this, 3300);
    DesignerDialogs::Caption(DataBandL, 3301);
    DesignerDialogs::Caption(DataSetL, 3302);
    DesignerDialogs::Caption(DataFieldL, 3303);
    DesignerDialogs::Caption(FunctionL, 3304);
    DesignerDialogs::Caption(ExpressionL, 3305);
    DesignerDialogs::Caption(AggregateRB, 3306);
    DesignerDialogs::Caption(SysVariableRB, 3307);
    DesignerDialogs::Caption(CountInvisibleCB, 3308);
    DesignerDialogs::Caption(TextRB, 3309);
    DesignerDialogs::Caption(RunningTotalCB, 3310);

    auto guarded = [this](void (TrpSysMemoEditorForm::*handler)()) {
        return [this, handler] {
            if (!FFilling)
                Guard([this, handler] { (this->*handler)(); });
        };
    };
    connect(DataBandCB, &QComboBox::currentIndexChanged, this, guarded(&TrpSysMemoEditorForm::DataBandCBChange));
    connect(DataSetCB, &QComboBox::currentIndexChanged, this, guarded(&TrpSysMemoEditorForm::DataSetCBChange));
    connect(DataFieldCB, &QComboBox::currentIndexChanged, this, guarded(&TrpSysMemoEditorForm::DataFieldCBChange));
    connect(FunctionCB, &QComboBox::currentIndexChanged, this, guarded(&TrpSysMemoEditorForm::FunctionCBChange));
    connect(ExpressionE, &QComboBox::editTextChanged, this, guarded(&TrpSysMemoEditorForm::FunctionCBChange));
    connect(CountInvisibleCB, &QCheckBox::clicked, this, guarded(&TrpSysMemoEditorForm::FunctionCBChange));
    connect(RunningTotalCB, &QCheckBox::clicked, this, guarded(&TrpSysMemoEditorForm::FunctionCBChange));
    for (QRadioButton* radio : {SysVariableRB, AggregateRB, TextRB})
        connect(radio, &QRadioButton::toggled, this, guarded(&TrpSysMemoEditorForm::FunctionCBChange));
    ExpressionE->OnButtonClick = [this] { Guard([this] { ExpressionEButtonClick(); }); };
}

void TrpSysMemoEditorForm::Showing()
{
    FFilling = true;
    FReport = Designer() != nullptr ? Designer()->Report() : nullptr;
    DataBandCB->clear();
    DataBandCB->addItem(QString());
    if (Designer() != nullptr) {
        std::vector<TrpComponent*> objects;
        for (const auto& object : Designer()->Objects())
            if (object)
                objects.push_back(object.data());
        if (objects.empty() && Designer()->Page() != nullptr)
            objects = Designer()->Page()->AllObjects();
        for (TrpComponent* object : objects)
            if (dynamic_cast<TrpDataBand*>(object) != nullptr)
                DataBandCB->addItem(object->Name());
    }
    DataSetCB->clear();
    if (FReport != nullptr) {
        QStringList names;
        std::vector<TrpDataSet*> dataSets;
        FReport->GetDataSetList(names, dataSets);
        DataSetCB->addItems(names);
    }
    DataSetCB->setCurrentIndex(-1);
    FFilling = false;

    const QString text = FText.left(std::max<qsizetype>(0, FText.size() - 2));
    if (FAggregateOnly) {
        setWindowTitle(GetResourcesInstance().Get(QStringLiteral("agAggregate")));
        AggregateRB->setChecked(true);
        for (QWidget* hidden : std::initializer_list<QWidget*>{SysVariableRB, AggregateRB, TextRB, GroupBox1,
                                                               SysVariableCB, GroupBox2, TextE})
            hidden->hide();
    } else if (!text.isEmpty() && SysVariableCB->findText(text) < 0) {
        TextRB->setChecked(true);
        TextE->setText(text);
        TextE->setFocus();
    } else {
        SysVariableRB->setChecked(true);
        SysVariableCB->setCurrentText(text);
    }
    FunctionCBChange();
}

void TrpSysMemoEditorForm::Hiding(int result)
{
    if (result != mrOk)
        return;
    if (SysVariableRB->isChecked())
        FText = SysVariableCB->currentText();
    else if (AggregateRB->isChecked())
        FText = u'[' + AggregateText() + u']';
    else
        FText = TextE->text();
}

void TrpSysMemoEditorForm::DataBandCBChange()
{
    if (FReport == nullptr)
        return;
    auto* band = dynamic_cast<TrpDataBand*>(FReport->FindObject(DataBandCB->currentText()));
    if (band != nullptr && band->DataSet() != nullptr && dynamic_cast<TrpUserDataSet*>(band->DataSet()) == nullptr) {
        DataSetCB->setCurrentText(FReport->GetAlias(band->DataSet()));
        DataSetCBChange();
        return;
    }
    FunctionCBChange();
}

void TrpSysMemoEditorForm::DataSetCBChange()
{
    FFilling = true;
    DataFieldCB->clear();
    if (FReport != nullptr) {
        if (TrpDataSet* dataSet = FReport->GetDataset(DataSetCB->currentText())) {
            QStringList fields;
            dataSet->GetFieldList(fields);
            DataFieldCB->addItems(fields);
        }
    }
    DataFieldCB->setCurrentIndex(-1);
    ExpressionE->setEditText(QString());
    FFilling = false;
    FunctionCBChange();
}

void TrpSysMemoEditorForm::DataFieldCBChange()
{
    FFilling = true;
    ExpressionE->setEditText(QString());
    FFilling = false;
    FunctionCBChange();
}

QString TrpSysMemoEditorForm::AggregateText() const
{
    const QString function = FunctionCB->currentText();
    const QString band = DataBandCB->currentText();
    const int flags = (CountInvisibleCB->isChecked() ? 1 : 0) + (RunningTotalCB->isChecked() ? 2 : 0);
    QString text = function + u'(';
    if (function != QStringLiteral("COUNT")) {
        if (!ExpressionE->currentText().isEmpty())
            text += ExpressionE->currentText();
        else
            text += u'<' + DataSetCB->currentText() + QStringLiteral(".\"") + DataFieldCB->currentText() +
                    QStringLiteral("\">");
        if (!band.isEmpty())
            text += u',' + band;
        if (flags != 0)
            text += u',' + QString::number(flags);
    } else {
        text += band;
        if (flags != 0)
            text += u',' + QString::number(flags);
    }
    return text + u')';
}

void TrpSysMemoEditorForm::FunctionCBChange()
{
    SampleL->setText(AggregateRB->isChecked() ? AggregateText() : QString());
}

void TrpSysMemoEditorForm::ExpressionEButtonClick()
{
    if (Designer() == nullptr)
        return;
    const QString expression = Designer()->InsertExpression(ExpressionE->currentText());
    if (!expression.isEmpty())
        ExpressionE->setEditText(expression);
}
