#pragma once

#include <QStringList>

// rptool device-data FILE --type 0|1|2 [--system 0..3] --from YYYY-MM-DD --to YYYY-MM-DD
//                    [--totals] [--hours] [--codes] [--channels MVP] [--hardware] [--modes]
// Loads the data file FILE, selects the period's data for the report type (0 archive, 1
// abnormal-situation journal, 2 operator journal) as the device report does, builds the table
// data sets the type needs and walks each of the five report data sets as the report engine
// does: "== <name>", the captions separated by tabs, one line per row. No data for the
// period: the message on stderr, exit 2; a file the loader refuses: its text, exit 2.
int RunDeviceData(const QStringList& arguments);
