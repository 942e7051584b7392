#pragma once

#include <QChar>
#include <QString>

#include <array>

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

    // The C set (the defaults above), shared and never changed.
    static const FormatSettings& C();
};
