#include "OptionsFrame.h"

#include "controls/ControlHelpers.h"
#include "platform/RegistryStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kClientWidth = 367;
constexpr int kClientHeight = 210;

QComboBox* MakeList(QWidget* parent, const char* name, const QStringList& items)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromUtf8(name));
    combo->setEditable(false);
    SetComboItems(combo, items);
    return combo;
}
} // namespace

TOptionsForm::TOptionsForm(DisplayOptions* options, QWidget* parent) : QDialog(parent), options_(options)
{
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Опции"));
    // The dialog's size, grown where the fonts of this desktop need more room for the texts.
    resize(kClientWidth, kClientHeight);

    auto* group = new QGroupBox(QStringLiteral("Параметры отображения данных"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    AccuracyCounters = new QCheckBox(QStringLiteral("Повышенная точность счетчиков (6 знаков)"), group);
    AccuracyCounters->setObjectName(QStringLiteral("AccuracyCounters"));
    ShowNotStaffQT = new QCheckBox(QStringLiteral("Отображать тепловую энергию и времена НС в архиве"), group);
    ShowNotStaffQT->setObjectName(QStringLiteral("ShowNotStaffQT"));
    CommaSeparator = MakeList(group, "CommaSeparator", {QStringLiteral("Системный"), QStringLiteral("(,) Запятая"),
                                                        QStringLiteral("(.) Точка")});
    TimeFormat = MakeList(group, "TimeFormat", {QStringLiteral("ЧЧЧЧЧ:ММ"), QStringLiteral("СУТ ЧЧ:ММ")});
    BitsFormat = MakeList(group, "BitsFormat",
                          {QStringLiteral("Маска (123------)"), QStringLiteral("Список (1,2,3,...)")});

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Разделитель дробной части"), CommaSeparator);
    form->addRow(QStringLiteral("Формат времени"), TimeFormat);
    form->addRow(QStringLiteral("Формат флагов и НС"), BitsFormat);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(AccuracyCounters);
    groupLayout->addWidget(ShowNotStaffQT);
    groupLayout->addLayout(form);

    OkBitBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBitBtn->setObjectName(QStringLiteral("OkBitBtn"));
    OkBitBtn->setDefault(true);
    CancelBitBtn = new QPushButton(QStringLiteral("Отмена"), this);
    CancelBitBtn->setObjectName(QStringLiteral("CancelBitBtn"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBitBtn);
    buttons->addWidget(CancelBitBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(OkBitBtn, &QPushButton::clicked, this, &TOptionsForm::OkBitBtnClick);
    connect(CancelBitBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TOptionsForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TOptionsForm::FormActivate()
{
    if (!options_)
        return;
    AccuracyCounters->setChecked(options_->AccuracyCounters);
    ShowNotStaffQT->setChecked(options_->ShowNotStaffQT);
    SetComboIndex(CommaSeparator, options_->CommaSeparator);
    SetComboIndex(TimeFormat, options_->TimeFormat);
    SetComboIndex(BitsFormat, options_->BitsFormat);
}

void TOptionsForm::OkBitBtnClick()
{
    if (options_) {
        options_->AccuracyCounters = AccuracyCounters->isChecked();
        options_->ShowNotStaffQT = ShowNotStaffQT->isChecked();
        options_->CommaSeparator = GetComboIndex(CommaSeparator);
        options_->TimeFormat = GetComboIndex(TimeFormat);
        options_->BitsFormat = GetComboIndex(BitsFormat);
        auto store = platform::RegistryStore::CurrentUser();
        options_->Save(store);
    }
    accept();
}
