#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <array>

class QLocale;

// Separators, date and time formats and names used wherever a number or a date becomes text
// for a user or is read back from such text. Every conversion takes one explicitly, so no
// result depends on the machine's locale: the program fills a set from the system locale,
// tools and tests pin one. The defaults are the C set.
struct FormatSettings {
    QChar DecimalSeparator = u'.';
    QChar ThousandSeparator = u',';
    QChar DateSeparator = u'-';
    QChar TimeSeparator = u':';
    QString ShortDateFormat = QStringLiteral("yyyy-mm-dd");
    QString LongDateFormat = QStringLiteral("yyyy-mm-dd");
    QString ShortTimeFormat = QStringLiteral("hh:nn");
    QString LongTimeFormat = QStringLiteral("hh:nn:ss");
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");
    QString CurrencyString = QStringLiteral("$");
    int CurrencyFormat = 0;  // position of the currency string: 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    int NegCurrFormat = 0;   // the sixteen negative currency forms, 0 "($1)"
    int CurrencyDecimals = 2;
    std::array<QString, 12> ShortMonthNames{QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"), QStringLiteral("May"), QStringLiteral("Jun"),
                                            QStringLiteral("Jul"), QStringLiteral("Aug"), QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    std::array<QString, 12> LongMonthNames{QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),     QStringLiteral("April"),
                                           QStringLiteral("May"),     QStringLiteral("June"),     QStringLiteral("July"),      QStringLiteral("August"),
                                           QStringLiteral("September"), QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};
    // Sunday first, as the day-of-week numbering 1..7 of the run-time library.
    std::array<QString, 7> ShortDayNames{QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"), QStringLiteral("Thu"), QStringLiteral("Fri"), QStringLiteral("Sat")};
    std::array<QString, 7> LongDayNames{QStringLiteral("Sunday"),   QStringLiteral("Monday"), QStringLiteral("Tuesday"), QStringLiteral("Wednesday"),
                                        QStringLiteral("Thursday"), QStringLiteral("Friday"), QStringLiteral("Saturday")};

    // The C set (the defaults above), shared and never changed: "." and ",", yyyy-mm-dd,
    // hh:nn:ss, English names.
    static const FormatSettings& C();
    // The Russian set defined here, independent of the machine: "," and U+00A0, dd.mm.yyyy,
    // h:nn:ss, Russian month and day names, roubles after the amount.
    static const FormatSettings& RuRu();
    // The set a locale gives (the program passes QLocale::system()). Qt's patterns become the
    // run-time library's ("MM" month, "mm" minutes -> "mm" month, "nn" minutes).
    static FormatSettings FromLocale(const QLocale& locale);
    // A set by its name as tools accept it: "C" or "ru_RU"; nullptr for any other name.
    static const FormatSettings* Named(QStringView name);
};
