#pragma once

// The export tests' fixture report, built in code: archive.zi3 and hours.csv under
// tests/report/export/data (export_fixture_gen writes them; a test checks that the committed
// files are what it makes).

#include "EngineFixtures.h"

#include <QByteArray>

namespace exportfixtures {

// 744 hour rows from 1 January 2026 (a month): Time, Day and the columns P1..P24.
QByteArray HoursCsv(int count = 744);

// archive.zi3: A4 landscape, 10 mm margins, the bold title "Часовые данные", a column header
// on every page, a group header per day, rows of 25 framed Arial 7 pt cells (the time and 24
// right-aligned numbers) over the data set "Hours", and the page footer
// "Страница [Page#] из [TotalPages#]"; two passes.
void BuildArchive(TrpReport& report, enginefixtures::DataSets& keep);

} // namespace exportfixtures
