#pragma once

// The options of `rptool design` that start from an empty report and fill it:
//   --new                      no FILE: the designer opens an empty report
//   --csv-db NAME=FILE         a CSV table as a database data set of the user name NAME, in the
//                              process-wide data-set list for the whole run (repeatable)
//   --wizard CLASS             runs the registered wizard CLASS once the window is up; its window
//                              takes --in-dialog ACTION... and --answer ok|cancel as --dialog's
//                              does (ok presses OkB, OKB or FinishB)

#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

class TrpCsvDBDataSet;
class TrpCustomDesigner;

struct DesignNewOptions {
    bool New = false;
    QString Wizard;
    std::vector<std::pair<QString, QString>> CsvDataSets; // user name, file
    QStringList Actions;                                  // in the wizard's window
    bool AnswerOk = false;
};

// Takes these options out of `arguments`, leaving the others (--in-dialog and --answer only
// with --wizard). An option without its value, a --csv-db without NAME=FILE, an --answer
// other than ok or cancel, or --wizard together with --dialog set `error`.
DesignNewOptions TakeDesignNewOptions(QStringList& arguments, QString& error);

// The data sets of --csv-db, read; a file that cannot be read sets `error` (the caller keeps
// the data sets for as long as reports may use them).
std::vector<std::unique_ptr<TrpCsvDBDataSet>> LoadDesignDataSets(const DesignNewOptions& options, QString& error);

// Runs the wizard of --wizard on the designer through a user-interface service that plays the
// actions in its window; marks the designer modified when the wizard changed the report.
// 0 when it ran (also when its window was cancelled), 2 with the error on stderr (a class that
// is not a registered wizard, an unknown control).
int RunDesignWizard(const DesignNewOptions& options, TrpCustomDesigner& designer);
