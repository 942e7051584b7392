#include "DesignerFields.h"

#include "DesignerRuntime.h"

#include "report/core/Conversions.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include "platform/Exceptions.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include <cmath>

namespace DesignerFields {

namespace {

[[noreturn]] void Refuse(QStringView key, std::initializer_list<Variant> values)
{
    throw platform::Exception(ResourceText(key, values).toStdString());
}

QString Bound(double value)
{
    return FloatToShortText(value, DesignerRuntime::Formats());
}

void Point(QWidget* control)
{
    if (control == nullptr)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
    else if (auto* box = qobject_cast<QComboBox*>(control); box != nullptr && box->lineEdit() != nullptr)
        box->lineEdit()->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(control))
        spin->selectAll();
}

void CheckRange(double value, const QString& field, NumberRange range)
{
    if (!range.Contains(value))
        RefuseRange(nullptr, field, range);
}

} // namespace

double ReadNumber(const QString& text, const QString& field, NumberRange range)
{
    double value = 0;
    try {
        value = ParseLocaleFloat(text);
    } catch (const platform::Exception&) {
        Refuse(u"dsNotNumber", {Variant(field), Variant(text.trimmed())});
    }
    if (!std::isfinite(value))
        Refuse(u"dsNotNumber", {Variant(field), Variant(text.trimmed())});
    CheckRange(value, field, range);
    return value;
}

int32_t ReadInteger(const QString& text, const QString& field, NumberRange range)
{
    int32_t value = 0;
    try {
        value = StrToInt(text);
    } catch (const platform::Exception&) {
        Refuse(u"dsNotInteger", {Variant(field), Variant(text.trimmed())});
    }
    CheckRange(value, field, range);
    return value;
}

double ReadNumber(QWidget* control, const QString& text, const QString& field, NumberRange range)
{
    try {
        return ReadNumber(text, field, range);
    } catch (const platform::Exception&) {
        Point(control);
        throw;
    }
}

int32_t ReadInteger(QWidget* control, const QString& text, const QString& field, NumberRange range)
{
    try {
        return ReadInteger(text, field, range);
    } catch (const platform::Exception&) {
        Point(control);
        throw;
    }
}

void RefuseRange(QWidget* control, const QString& field, NumberRange range)
{
    Point(control);
    Refuse(u"dsNumberRange", {Variant(field), Variant(Bound(range.Low)), Variant(Bound(range.High))});
}

QString FieldName(const QString& caption)
{
    QString name = caption;
    name.remove(u'&');
    name = name.trimmed();
    while (name.endsWith(u':'))
        name.chop(1);
    return name.trimmed();
}

double Sound(double value, NumberRange range, double fallback)
{
    return std::isfinite(value) && range.Contains(value) ? value : fallback;
}

} // namespace DesignerFields
