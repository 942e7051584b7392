#include "Options.h"

#include <QFileInfo>
#include <QStringList>

#include <charconv>
#include <cmath>
#include <string>

const char* const kScriptRunUsage =
    "usage: scriptrun [--lang L] [--parse-only] [--locale C|ru_RU] [--answers FILE] [--timeout S]\n"
    "                 [--allow-files DIR] FILE|-\n";

namespace {

bool ParseSeconds(const QString& text, double& seconds)
{
    const std::string bytes = text.toStdString();
    const char* end = bytes.data() + bytes.size();
    const auto [stop, failure] = std::from_chars(bytes.data(), end, seconds);
    return failure == std::errc() && stop == end && std::isfinite(seconds) && seconds > 0;
}

} // namespace

bool ParseScriptRunOptions(const QStringList& arguments, ScriptRunOptions& options, QString& error)
{
    auto valueOf = [&](qsizetype& i, QString& value) {
        if (i + 1 >= arguments.size()) {
            error = arguments[i] + QStringLiteral(" needs a value");
            return false;
        }
        value = arguments[++i];
        return true;
    };
    bool haveFile = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        QString value;
        if (argument == QLatin1String("--lang")) {
            if (!valueOf(i, options.language))
                return false;
        } else if (argument == QLatin1String("--parse-only")) {
            options.parseOnly = true;
        } else if (argument == QLatin1String("--locale")) {
            if (!valueOf(i, value))
                return false;
            if (value != QLatin1String("C") && value != QLatin1String("ru_RU")) {
                error = QStringLiteral("--locale must be C or ru_RU");
                return false;
            }
            options.locale = value;
        } else if (argument == QLatin1String("--answers")) {
            if (!valueOf(i, options.answersFile))
                return false;
            if (!QFileInfo(options.answersFile).isReadable() || !QFileInfo(options.answersFile).isFile()) {
                error = QStringLiteral("cannot read the answers file ") + options.answersFile;
                return false;
            }
        } else if (argument == QLatin1String("--timeout")) {
            double seconds = 0;
            if (!valueOf(i, value))
                return false;
            if (!ParseSeconds(value, seconds)) {
                error = QStringLiteral("--timeout needs a number of seconds above 0");
                return false;
            }
            options.timeoutSeconds = seconds;
        } else if (argument == QLatin1String("--allow-files")) {
            if (!valueOf(i, options.allowedFolder))
                return false;
            if (!QFileInfo(options.allowedFolder).isDir()) {
                error = QStringLiteral("--allow-files needs a folder: ") + options.allowedFolder;
                return false;
            }
        } else if (argument.startsWith(QLatin1String("--")) && argument != QLatin1String("-")) {
            error = QStringLiteral("unknown option ") + argument;
            return false;
        } else if (!haveFile) {
            options.scriptFile = argument;
            haveFile = true;
        } else {
            error = QStringLiteral("one script file only");
            return false;
        }
    }
    if (!haveFile) {
        error = QStringLiteral("no script file");
        return false;
    }
    return true;
}

QString LanguageOfFile(const QString& fileName)
{
    const QString extension = QFileInfo(fileName).suffix().toLower();
    if (extension == QLatin1String("pas"))
        return QStringLiteral("RireroRidoze");
    if (extension == QLatin1String("cpp"))
        return QStringLiteral("R++Idirud");
    if (extension == QLatin1String("js"))
        return QStringLiteral("JScript");
    if (extension == QLatin1String("vb"))
        return QStringLiteral("ZuvivUradur");
    return QString();
}
