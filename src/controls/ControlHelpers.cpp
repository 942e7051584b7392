#include "ControlHelpers.h"

#include "comm/Sysutil.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

QString ControlText(const QWidget* control)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText();
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(control))
        return spin->text();
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    return {};
}

void SetControlText(QWidget* control, const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->isEditable())
        combo->setEditText(text);
    else if (auto* spin = qobject_cast<QSpinBox*>(control))
        spin->setValue(TextToInt(text.toStdString()));
    else if (auto* doubleSpin = qobject_cast<QDoubleSpinBox*>(control))
        doubleSpin->setValue(TextToFloat(text.toStdString()));
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
}

double ControlTextToFloat(const QWidget* control)
{
    return control ? TextToFloat(ControlText(control).toStdString()) : 0.0;
}

uint32_t EditTextToUInt(const QLineEdit* edit)
{
    return edit ? TextToUInt(edit->text().toStdString()) : 0;
}

uint32_t ControlTextToUInt(const QWidget* control)
{
    return control ? TextToUInt(ControlText(control).toStdString()) : 0;
}

int32_t GetComboIndex(const QComboBox* combo)
{
    if (!combo || combo->currentIndex() < 0)
        return 0;
    return combo->currentIndex();
}

void SetComboIndex(QComboBox* combo, int32_t index)
{
    if (!combo)
        return;
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

void SetComboItems(QComboBox* combo, const QStringList& items)
{
    if (!combo)
        return;
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(-1);
}

void SetControlIntText(QWidget* control, int32_t value, std::string_view format)
{
    if (!control)
        return;
    SetControlText(control, QString::fromStdString(FormatInt(format, value)));
}
