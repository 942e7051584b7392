// scriptrun: reads a report script file and runs it (or only checks it, --parse-only) on Qt's
// offscreen platform, so no window appears. What the script shows with ShowMessage is printed
// on standard output, one line a message. Its dialogs and modal forms take their answers from
// --answers FILE, one a line in the order they come (see ScriptedUi.h); a prompt with no answer
// left is a run-time error. The script touches no file except inside the folders given with
// --allow-files, and holds at most --memory-limit in memory (EOutOfMemory past it; the
// engine's default limit without the option). Exit status: 0 done, 1 usage error or
// unreadable file, 2 compile error or a failure of the engine (unknown language, unreadable
// unit), 3 uncaught run-time error or an error in an event handler ("ClassName: message" on
// standard error), 4 terminated by --timeout (compiling included). Compile errors go to standard error as "FILE:row:col:
// message" (FILE is the unit the error lies in) or "FILE: message".

#include "Options.h"

#include "report/core/Formats.h"
#include "report/core/InputFiles.h"
#include "report/core/ScriptErrors.h"
#include "report/core/Services.h"
#include "report/core/Texts.h"
#include "report/script/sc_iconsts.h"
#include "report/script/sc_iilparser.h"
#include "report/script/sc_iinterpreter_script.h"
#include "report/script/ScriptedUi.h"
#include "report/script/sc_itools.h"
#include "report/script/ui/sc_iformsrtti.h"

#include "platform/Exceptions.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <thread>

namespace {

// Bytes a script file may have: its text is bounded in characters, UTF-8 takes up to 4 bytes.
constexpr qint64 kMaxScriptBytes = qint64{kScMaxSourceLength} * 4;

void PrintError(const QString& text)
{
    const std::string bytes = text.toStdString() + "\n";
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

// "ClassName: message" of an uncaught error. Nothing is allocated here: the script may have
// used up the memory.
void PrintUncaught(const char* className, const char* message)
{
    std::fputs(className, stderr);
    std::fputs(": ", stderr);
    std::fputs(message, stderr);
    std::fputc('\n', stderr);
}

// Reads a file or standard input whole; false with the reason when it cannot be read.
bool ReadScript(const QString& fileName, QByteArray& bytes, QString& reason)
{
    if (fileName != QLatin1String("-"))
        return ReadInputFile(fileName, kMaxScriptBytes, bytes, reason);
    // Standard input is read as it comes, pipe or not: the user gave it on purpose.
    QFile file;
    if (!file.open(stdin, QIODevice::ReadOnly)) {
        reason = file.errorString();
        return false;
    }
    bytes = file.read(kMaxScriptBytes + 1);
    if (bytes.size() > kMaxScriptBytes) {
        reason = FormatText(coretexts::kFileTooLargeFormat, {Variant(int64_t{kMaxScriptBytes})});
        return false;
    }
    return true;
}

// Units are files of the script's own folder (names leaving it are refused by the parser; a
// link pointing out of it is refused here).
TscGetUnitEvent UnitsFrom(const QString& folder)
{
    return [folder](const QString& unitName, QString& unitText) {
        const QString root = QFileInfo(folder).canonicalFilePath();
        const QString path = QFileInfo(QDir(folder).filePath(unitName)).canonicalFilePath();
        QString reason = QStringLiteral("No such file or directory");
        QByteArray bytes;
        if (!path.isEmpty() && !path.startsWith(root + QLatin1Char('/')))
            reason = QStringLiteral("Outside the script's folder");
        else if (!path.isEmpty() && ReadScript(path, bytes, reason)) {
            unitText = ScriptTextFromBytes(bytes);
            return;
        }
        throw platform::Exception(FormatScMessage(TscMessage::SCannotOpenFile, {unitName, reason}).toStdString());
    };
}

// ShowMessage prints the text as one line of standard output.
void PrintLine(const QString& text)
{
    const std::string line = text.toStdString() + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

// After the time is up asks the script to terminate; a script that is still not done a
// moment later (stuck in native code) ends the program with the same status.
class Watchdog {
public:
    Watchdog(TscScript& script, double seconds) : FScript(script)
    {
        FThread = std::thread([this, seconds] {
            std::unique_lock lock(FMutex);
            const auto timeout = std::chrono::duration<double>(seconds);
            if (FDone.wait_for(lock, timeout, [this] { return FFinished; }))
                return;
            FFired = true;
            FScript.RequestTerminate();
            if (!FDone.wait_for(lock, std::chrono::seconds(2), [this] { return FFinished; }))
                ::_exit(kTerminated);
        });
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(FMutex);
            FFinished = true;
        }
        FDone.notify_all();
        FThread.join();
    }
    bool Fired() const { return FFired; }

    static constexpr int kTerminated = 4;

private:
    TscScript& FScript;
    std::mutex FMutex;
    std::condition_variable FDone;
    bool FFinished = false;
    std::atomic<bool> FFired{false};
    std::thread FThread;
};

QStringList SourceLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

int RunScript(const ScriptRunOptions& options, const QStringList& answers, const QString& language, const QString& text,
              const QString& unitFolder)
{
    ScriptedUi ui(answers);
    ui.OnMessage = PrintLine;
    ReportServices::SetUi(&ui);
    struct UiBack {
        ~UiBack() { ReportServices::SetUi(nullptr); }
    } uiBack;
    TscScript script;
    for (const QString& folder : options.allowedFolders)
        script.FileAccess().AllowFolder(folder);
    // An error in an event handler cannot travel through the event loop: it ends the run.
    bool handlerFailed = false;
    script.SetErrorSink([&](const QString& className, const QString& message) {
        PrintError(className + QStringLiteral(": ") + message);
        handlerFailed = true;
        script.Terminate();
    });
    if (options.memoryLimit)
        script.SetMemoryLimit(*options.memoryLimit);
    script.SyntaxType = language;
    // The number and date texts of a set defined in code, never the machine's.
    if (const FormatSettings* settings = FormatSettings::Named(options.locale))
        script.SetFormatSettings(*settings);
    script.OnGetUnit = UnitsFrom(unitFolder);
    script.Lines = SourceLines(text);
    std::optional<Watchdog> watchdog;
    if (options.timeoutSeconds)
        watchdog.emplace(script, *options.timeoutSeconds);
    const auto terminated = [&] { return watchdog && watchdog->Fired(); };
    int status = 0;
    try {
        script.AddRTTI();
        if (!script.Compile()) {
            if (terminated())
                return Watchdog::kTerminated;
            const QString where = script.ErrorUnit.isEmpty() ? options.scriptFile : script.ErrorUnit;
            PrintError(where + QLatin1Char(':') + script.ErrorPos + QStringLiteral(": ") + script.ErrorMsg);
            return 2;
        }
    } catch (const platform::Exception& failure) {
        PrintError(options.scriptFile + QStringLiteral(": ") + QString::fromStdString(failure.Message()));
        return 2;
    }
    if (terminated())
        return Watchdog::kTerminated;
    try {
        script.Execute();
    } catch (const std::exception& failure) {
        PrintUncaught(ScriptErrorClassName(failure), failure.what());
        status = 3;
    }
    if (handlerFailed)
        status = 3;
    return terminated() ? Watchdog::kTerminated : status;
}



// Qt's own notices (about the runtime folder, fonts of the offscreen platform) are not the
// script's output: only critical messages reach standard error.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        PrintError(message);
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(QuietQtMessages);
    // Forms and drawing work without a display, and nothing ever appears on one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ScriptRunOptions options;
    QString error;
    if (!ParseScriptRunOptions(application.arguments().mid(1), options, error)) {
        PrintError(QStringLiteral("scriptrun: ") + error);
        std::fputs(kScriptRunUsage, stderr);
        return 1;
    }
    const bool fromStdin = options.scriptFile == QLatin1String("-");
    QString language = options.language;
    if (language.isEmpty())
        language = fromStdin ? QStringLiteral("RireroRidoze") : LanguageOfFile(options.scriptFile);
    if (language.isEmpty()) {
        PrintError(QStringLiteral("scriptrun: ") + options.scriptFile +
                   QStringLiteral(": unknown extension (use .pas, .cpp, .js, .vb or --lang)"));
        return 1;
    }
    QByteArray bytes;
    QString reason;
    if (!ReadScript(options.scriptFile, bytes, reason)) {
        PrintError(QStringLiteral("scriptrun: cannot read ") + options.scriptFile + QStringLiteral(": ") + reason);
        return 1;
    }

    QStringList answers;
    if (!options.answersFile.isEmpty() && !ScriptedUi::ReadAnswers(options.answersFile, answers, reason)) {
        PrintError(QStringLiteral("scriptrun: cannot read ") + options.answersFile + QStringLiteral(": ") + reason);
        return 1;
    }

    InitScriptLanguages();
    RegisterScriptUiModules();
    const QString unitFolder = fromStdin ? QDir::currentPath() : QFileInfo(options.scriptFile).absolutePath();
    if (!options.parseOnly)
        return RunScript(options, answers, language, ScriptTextFromBytes(bytes), unitFolder);
    TscILParser parser;
    parser.SetOnGetUnit(UnitsFrom(unitFolder));
    try {
        parser.SelectLanguage(language);
        if (!parser.MakeILScript(ScriptTextFromBytes(bytes))) {
            const QString where = parser.ErrorUnit().isEmpty() ? options.scriptFile : parser.ErrorUnit();
            PrintError(where + QLatin1Char(':') + parser.ErrorPos() + QStringLiteral(": ") + parser.ErrorMsg());
            return 2;
        }
    } catch (const platform::Exception& failure) {
        PrintError(options.scriptFile + QStringLiteral(": ") + QString::fromStdString(failure.Message()));
        return 2;
    }
    return 0;
}
