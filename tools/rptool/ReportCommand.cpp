#include "ReportCommand.h"

#include "report/engine/EngineRuntime.h"
#include "report/model/rpClass_report.h"

#include <cstdio>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFileError = 1;
constexpr int kExitBadContent = 2;

void PrintLine(const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
}

void PrintErrors(const QStringList& errors)
{
    for (const QString& error : errors) {
        for (const QString& line : error.split(QStringLiteral("\r\n")))
            PrintLine(line);
    }
}

// Loads a report file with errors neither shown nor raised; an exit status other than
// kExitDone, its errors printed, when that failed.
int LoadReport(TrpReport& report, const QString& fileName)
{
    // The engine's classes too (dot-matrix pages and objects), and the report scripts' view of
    // the report classes.
    try {
        EngineRuntime::init();
    } catch (const platform::Exception& failure) {
        PrintLine(QString::fromStdString(failure.Message()));
        return kExitFileError;
    }
    report.EngineOptions().NewSilentMode = simSilent;
    try {
        report.LoadFromFile(fileName);
    } catch (const platform::Exception& failure) {
        PrintLine(QString::fromStdString(failure.Message()));
        return kExitFileError;
    }
    if (!report.Errors().isEmpty()) {
        PrintErrors(report.Errors());
        return kExitBadContent;
    }
    return kExitDone;
}

} // namespace

int RunReportRoundTrip(const QStringList& arguments)
{
    QStringList files;
    QString password;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--password") && i + 1 < arguments.size())
            password = arguments[++i];
        else if (arguments[i].startsWith(QLatin1String("--")))
            return kExitUsage;
        else
            files.append(arguments[i]);
    }
    if (files.size() != 2)
        return kExitUsage;

    TrpReport report;
    report.ReportOptions().HiddenPassword = password;
    if (const int status = LoadReport(report, files[0]); status != kExitDone)
        return status;
    // Files take the engine's error mode from the program, never from themselves: the saved
    // report carries the default.
    report.EngineOptions().NewSilentMode = simMessageBoxes;
    try {
        report.SaveToFile(files[1]);
    } catch (const EComponentError& refused) {
        PrintLine(QString::fromStdString(refused.Message()));
        return kExitBadContent;
    } catch (const platform::Exception& failure) {
        PrintLine(QString::fromStdString(failure.Message()));
        return kExitFileError;
    }
    return kExitDone;
}

int RunReportEval(const QStringList& arguments)
{
    if (arguments.size() != 2)
        return kExitUsage;
    // Before the report is made: its script then sees the report classes and their functions.
    try {
        EngineRuntime::init();
    } catch (const platform::Exception& failure) {
        PrintLine(QString::fromStdString(failure.Message()));
        return kExitFileError;
    }
    TrpReport report;
    if (const int status = LoadReport(report, arguments[0]); status != kExitDone)
        return status;
    if (!report.PrepareScript()) {
        PrintErrors(report.Errors());
        return kExitBadContent;
    }
    try {
        const QByteArray line = VarToStr(report.Calc(arguments[1])).toUtf8() + '\n';
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    } catch (const std::exception& failure) {
        const auto* own = dynamic_cast<const platform::Exception*>(&failure);
        PrintLine(own != nullptr ? QString::fromStdString(own->Message()) : QString::fromUtf8(failure.what()));
        return kExitBadContent;
    }
    return kExitDone;
}
