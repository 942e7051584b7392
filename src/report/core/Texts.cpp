#include "Texts.h"

QString FillText(const QString& format, const QStringList& values, bool* complete)
{
    QString result;
    qsizetype from = 0;
    bool all = true;
    for (const QString& value : values) {
        const qsizetype at = format.indexOf(QLatin1String("%s"), from);
        if (at < 0) {
            all = false;
            break;
        }
        result += QStringView(format).mid(from, at - from);
        result += value;
        from = at + 2;
    }
    result += QStringView(format).mid(from);
    if (complete != nullptr)
        *complete = all;
    return result;
}

QString FillText(const char* format, const QStringList& values)
{
    return FillText(QString::fromUtf8(format), values);
}

std::string FillTextUtf8(const char* format, const QStringList& values)
{
    return FillText(format, values).toStdString();
}
