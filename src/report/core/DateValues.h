#pragma once

#include <QDate>

// Date values count days from 30 December 1899 (day 0); the whole part is the calendar day.
// These two are the one conversion between them and QDate.

// The calendar day of a date value (its whole part, towards minus infinity); an invalid QDate
// for a value too large for any calendar day.
QDate DateValueToQDate(double value);
// The date value of a calendar day (whole); 0 for an invalid QDate.
double QDateToDateValue(const QDate& date);
