#pragma once

// The export tests' fixture reports, built in code: archive.zi3, hours.csv, graphics.zi3 and
// graphics.csv under tests/report/export/data (export_fixture_gen writes them; a test checks
// that the committed files are what it makes).

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

// The rows of graphics.csv: Key A, A, B, C, C, C with N = 1..6.
QByteArray GraphicsCsv();

// graphics.zi3 over the data set "Rows" (graphics.csv): A4 portrait, 10 mm margins. The report
// title holds lines with arrows (plain, dashed with both heads, vertical, diagonal with a solid
// head), the seven shapes, three check boxes (cross, tick, unchecked), one picture placed three
// times and three links: "@3", "#total" and an http address. A group header per Key starts a
// new page, so the three groups are pages 1 to 3. The outline has three levels: the page's
// "Лист" item, the group header's Key and the row's N. The summary's
// script sets the anchor "total" on page 3.
void BuildGraphics(TrpReport& report, enginefixtures::DataSets& keep);

} // namespace exportfixtures
