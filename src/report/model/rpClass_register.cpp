#include "rpClass_register.h"

#include "rpRes.h"
#include "rpWideStrings.h"

namespace {

// Values in messages are cut here, so a hostile value cannot make the message huge.
constexpr qsizetype kMaxValueInMessage = 64;

} // namespace

void RaiseInvalidPropertyValue(QStringView name, const QString& value)
{
    const QString shown = value.size() <= kMaxValueInMessage ? value : value.left(kMaxValueInMessage) + QStringLiteral("...");
    throw EComponentError(
        (GetResourcesInstance().Get(u"prInvProp") + u' ' + name.toString() + QStringLiteral("=\"") + shown + u'"')
            .toStdString());
}

QString LinesToText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

QStringList TextToLines(const QString& text)
{
    TrpWideStrings split;
    split.SetText(text);
    QStringList lines;
    split.AssignTo(lines);
    return lines;
}
