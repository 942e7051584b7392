// scriptrun: reads a report script file and checks it (and, as the engine grows, runs it)
// without windows. Exit status: 0 done, 1 usage error or unreadable file, 2 compile error or
// a failure of the engine (unknown language, unreadable unit), 3 uncaught run-time error,
// 4 terminated. Messages go to standard error as "FILE:row:col: message" (FILE is the unit
// the error lies in) or "FILE: message".

#include "Options.h"

#include "report/script/sc_iconsts.h"
#include "report/script/sc_iilparser.h"
#include "report/script/sc_itools.h"

#include "platform/Exceptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <string>

namespace {

// Bytes a script file may have: its text is bounded in characters, UTF-8 takes up to 4 bytes.
constexpr qint64 kMaxScriptBytes = qint64{kScMaxSourceLength} * 4;

void PrintError(const QString& text)
{
    const std::string bytes = text.toStdString() + "\n";
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

// Reads a file or standard input whole; false with the reason when it cannot be read.
bool ReadScript(const QString& fileName, QByteArray& bytes, QString& reason)
{
    QFile file;
    const bool opened = fileName == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                       : (file.setFileName(fileName), file.open(QIODevice::ReadOnly));
    if (!opened) {
        reason = file.errorString();
        return false;
    }
    bytes = file.read(kMaxScriptBytes + 1);
    if (bytes.size() > kMaxScriptBytes) {
        reason = QStringLiteral("larger than %1 bytes").arg(kMaxScriptBytes);
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
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

    InitScriptLanguages();
    TscILParser parser;
    parser.SetOnGetUnit(UnitsFrom(fromStdin ? QDir::currentPath() : QFileInfo(options.scriptFile).absolutePath()));
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
    if (options.parseOnly)
        return 0;
    PrintError(QStringLiteral("scriptrun: running scripts is not built yet; the script was checked only"));
    return 0;
}
