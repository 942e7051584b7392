#pragma once

// app-screens --report: a device report made the way a user makes it. The main window opens a
// data file with "&Открыть...", "Отчет" runs the settings dialog, whose controls are set from
// the request and OK pressed, and the preview that follows is exported to PDF with the frame's
// own PDF export and pictured, all without a modal loop.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

struct DeviceReportRequest {
    int32_t Kind = 0;        // 0 archive, 1 emergency journal, 2 operator journal, 3 settings
    QString DataFile;        // the data file "&Открыть..." loads
    int32_t System = 0;      // the dialog's data list: 0 ТС1, 1 ТС2, 2 ХВС, 3 general
    std::optional<double> From; // the period (days since 30.12.1899); none: "Весь период"
    std::optional<double> To;
    bool Totals = false;
    bool Hours = false;
    bool Codes = false;
    bool Mass = false;       // --channels M, V, P
    bool Volume = false;
    bool Pressure = false;
    bool Hardware = false;
    bool Modes = false;
    QString Consumer;
    QString Supplier;
    bool Portrait = false;
    QString OutDir;
};

// Reads the arguments after the program's name; false with the reason when they are not a
// report command line.
bool ParseDeviceReportRequest(const QStringList& arguments, DeviceReportRequest& request, QString& error);

// Makes the report: OutDir/report_KIND.pdf and OutDir/preview_KIND.png, their names printed on
// standard output. 0 when both were written; 2, with the program's message on standard error,
// when the program answered with a message (a file it refused, no data for the period, an
// error box) instead of a report; 1 when a file could not be written.
int RunDeviceReport(const DeviceReportRequest& request);
