#include "FormatSettings.h"

#include <QLocale>

const FormatSettings& FormatSettings::C()
{
    static const FormatSettings settings;
    return settings;
}

namespace {

FormatSettings MakeRuRu()
{
    FormatSettings s;
    s.DecimalSeparator = u',';
    s.ThousandSeparator = QChar(0x00A0);
    s.DateSeparator = u'.';
    s.TimeSeparator = u':';
    s.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
    s.LongDateFormat = QStringLiteral("d mmmm yyyy");
    s.ShortTimeFormat = QStringLiteral("h:nn");
    s.LongTimeFormat = QStringLiteral("h:nn:ss");
    s.TimeAMString = QString();
    s.TimePMString = QString();
    s.CurrencyString = QStringLiteral("₽");
    s.CurrencyFormat = 3; // "1 ₽"
    s.NegCurrFormat = 8;  // "-1 ₽"
    s.CurrencyDecimals = 2;
    s.ShortMonthNames = {QStringLiteral("янв"), QStringLiteral("фев"), QStringLiteral("мар"), QStringLiteral("апр"),
                         QStringLiteral("май"), QStringLiteral("июн"), QStringLiteral("июл"), QStringLiteral("авг"),
                         QStringLiteral("сен"), QStringLiteral("окт"), QStringLiteral("ноя"), QStringLiteral("дек")};
    s.LongMonthNames = {QStringLiteral("январь"),  QStringLiteral("февраль"), QStringLiteral("март"),
                        QStringLiteral("апрель"),  QStringLiteral("май"),     QStringLiteral("июнь"),
                        QStringLiteral("июль"),    QStringLiteral("август"),  QStringLiteral("сентябрь"),
                        QStringLiteral("октябрь"), QStringLiteral("ноябрь"),  QStringLiteral("декабрь")};
    s.ShortDayNames = {QStringLiteral("вс"), QStringLiteral("пн"), QStringLiteral("вт"), QStringLiteral("ср"),
                       QStringLiteral("чт"), QStringLiteral("пт"), QStringLiteral("сб")};
    s.LongDayNames = {QStringLiteral("воскресенье"), QStringLiteral("понедельник"), QStringLiteral("вторник"),
                      QStringLiteral("среда"),       QStringLiteral("четверг"),     QStringLiteral("пятница"),
                      QStringLiteral("суббота")};
    return s;
}

// Qt's date and time pattern letters into the run-time library's: "M" is the month, "m"
// the minute (written "n"), "H"/"h" the hour, "ap"/"AP" the half of the day. Quoted text
// is kept; Qt doubles a quote inside quotes, which the run-time library reads the same way.
QString FromQtPattern(const QString& pattern)
{
    QString out;
    qsizetype i = 0;
    const qsizetype n = pattern.size();
    while (i < n) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            const qsizetype close = pattern.indexOf(u'\'', i + 1);
            const qsizetype end = close < 0 ? n : close + 1;
            out += pattern.mid(i, end - i);
            i = end;
            continue;
        }
        qsizetype run = 1;
        while (i + run < n && pattern[i + run] == c)
            ++run;
        switch (c.unicode()) {
        case u'M':
            out += QString(run, u'm');
            break;
        case u'm':
            out += QString(std::min<qsizetype>(run, 2), u'n');
            break;
        case u'H':
            out += QString(std::min<qsizetype>(run, 2), u'h');
            break;
        case u'a':
        case u'A':
            if (i + 1 < n && (pattern[i + 1] == u'p' || pattern[i + 1] == u'P')) {
                out += QStringLiteral("ampm");
                i += 2;
                continue;
            }
            out += pattern.mid(i, run);
            break;
        case u'd':
            // Qt's "ddd"/"dddd" are day names, as in the run-time library.
            out += QString(std::min<qsizetype>(run, 4), u'd');
            break;
        default:
            out += pattern.mid(i, run);
            break;
        }
        i += run;
    }
    return out;
}

// The first character of a separator text, or the fallback when the locale gives none.
QChar FirstOr(const QString& text, QChar fallback)
{
    return text.isEmpty() ? fallback : text[0];
}

// The separator between the parts of a pattern: the first character that is no letter.
QChar SeparatorOf(const QString& pattern, QChar fallback)
{
    bool quoted = false;
    for (const QChar c : pattern) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && !c.isLetter() && !c.isSpace())
            return c;
    }
    return fallback;
}

} // namespace

const FormatSettings& FormatSettings::RuRu()
{
    static const FormatSettings settings = MakeRuRu();
    return settings;
}

const FormatSettings* FormatSettings::Named(QStringView name)
{
    if (name == u"C")
        return &C();
    if (name == u"ru_RU")
        return &RuRu();
    return nullptr;
}

FormatSettings FormatSettings::FromLocale(const QLocale& locale)
{
    FormatSettings s;
    s.DecimalSeparator = FirstOr(locale.decimalPoint(), u'.');
    s.ThousandSeparator = FirstOr(locale.groupSeparator(), u',');
    s.ShortDateFormat = FromQtPattern(locale.dateFormat(QLocale::ShortFormat));
    s.LongDateFormat = FromQtPattern(locale.dateFormat(QLocale::LongFormat));
    s.ShortTimeFormat = FromQtPattern(locale.timeFormat(QLocale::ShortFormat));
    s.LongTimeFormat = FromQtPattern(locale.timeFormat(QLocale::LongFormat));
    // Qt's long time pattern may carry a time zone ("t"): the run-time library has none.
    s.LongTimeFormat.remove(QStringLiteral(" t"));
    s.DateSeparator = SeparatorOf(locale.dateFormat(QLocale::ShortFormat), u'-');
    s.TimeSeparator = SeparatorOf(locale.timeFormat(QLocale::ShortFormat), u':');
    s.TimeAMString = locale.amText();
    s.TimePMString = locale.pmText();
    s.CurrencyString = locale.currencySymbol();
    // Where the symbol stands: Qt's formatted amount tells.
    const QString sample = locale.toCurrencyString(1.0);
    const qsizetype symbol = sample.indexOf(s.CurrencyString);
    const bool after = symbol > 0;
    const bool spaced = after ? sample.at(symbol - 1).isSpace()
                              : (symbol >= 0 && symbol + s.CurrencyString.size() < sample.size() &&
                                 sample.at(symbol + s.CurrencyString.size()).isSpace());
    s.CurrencyFormat = (after ? 1 : 0) + (spaced ? 2 : 0);
    s.NegCurrFormat = after ? (spaced ? 8 : 5) : (spaced ? 9 : 1);
    for (int m = 1; m <= 12; ++m) {
        s.ShortMonthNames[static_cast<size_t>(m - 1)] = locale.standaloneMonthName(m, QLocale::ShortFormat);
        s.LongMonthNames[static_cast<size_t>(m - 1)] = locale.standaloneMonthName(m, QLocale::LongFormat);
    }
    // Qt counts Monday 1 .. Sunday 7; the run-time library Sunday first.
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d;
        s.ShortDayNames[static_cast<size_t>(d)] = locale.standaloneDayName(qtDay, QLocale::ShortFormat);
        s.LongDayNames[static_cast<size_t>(d)] = locale.standaloneDayName(qtDay, QLocale::LongFormat);
    }
    return s;
}
