#include "Options.h"

#include "CommandLine.h"

#include <QFileInfo>
#include <QStringList>

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

const char* const kScriptRunUsage =
    "usage: scriptrun [--lang L] [--parse-only] [--locale C|ru_RU] [--answers FILE] [--timeout S]\n"
    "                 [--memory-limit SIZE] [--allow-files DIR]... FILE|-\n";

namespace {

using Result = std::optional<std::string>;

// Seconds above 0, with a fraction after '.' (in every locale).
std::optional<double> ParseSeconds(const std::string& text)
{
    double seconds = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, seconds);
    if (failure != std::errc() || stop != end || !std::isfinite(seconds) || seconds <= 0)
        return std::nullopt;
    return seconds;
}

// Bytes, or with the suffix K, M or G (any letter case) KiB, MiB or GiB; between 1 MiB and
// 1 TiB.
std::optional<int64_t> ParseSize(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    int shift = 0;
    std::string digits = text;
    switch (text.back()) {
    case 'k':
    case 'K':
        shift = 10;
        break;
    case 'm':
    case 'M':
        shift = 20;
        break;
    case 'g':
    case 'G':
        shift = 30;
        break;
    default:
        break;
    }
    if (shift != 0)
        digits.pop_back();
    int64_t count = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, failure] = std::from_chars(digits.data(), end, count);
    constexpr int64_t kMost = int64_t{1} << 40;
    if (failure != std::errc() || stop != end || digits.empty() || count <= 0 || count > (kMost >> shift))
        return std::nullopt;
    const int64_t bytes = count << shift;
    if (bytes < (int64_t{1} << 20))
        return std::nullopt;
    return bytes;
}

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

bool ParseScriptRunOptions(const QStringList& arguments, ScriptRunOptions& options, QString& error)
{
    std::vector<std::string> args;
    for (const QString& argument : arguments)
        args.push_back(argument.toStdString());
    std::string language;
    const daxcli::Option table[] = {
        daxcli::Text("--lang", language),
        daxcli::Flag("--parse-only", options.parseOnly),
        {"--locale", true,
         [&](const std::string& value) -> Result {
             if (value != "C" && value != "ru_RU")
                 return "--locale must be C or ru_RU";
             options.locale = Q(value);
             return std::nullopt;
         }},
        {"--answers", true,
         [&](const std::string& value) -> Result {
             const QFileInfo file(Q(value));
             if (!file.isFile() || !file.isReadable())
                 return "cannot read the answers file " + value;
             options.answersFile = Q(value);
             return std::nullopt;
         }},
        {"--timeout", true,
         [&](const std::string& value) -> Result {
             options.timeoutSeconds = ParseSeconds(value);
             if (!options.timeoutSeconds)
                 return "--timeout needs a number of seconds above 0";
             return std::nullopt;
         }},
        {"--memory-limit", true,
         [&](const std::string& value) -> Result {
             options.memoryLimit = ParseSize(value);
             if (!options.memoryLimit)
                 return "--memory-limit needs a size from 1M to 1024G (bytes, or a number with K, M or G)";
             return std::nullopt;
         }},
        {"--allow-files", true,
         [&](const std::string& value) -> Result {
             if (!QFileInfo(Q(value)).isDir())
                 return "--allow-files needs a folder: " + value;
             options.allowedFolders.append(Q(value));
             return std::nullopt;
         }},
    };
    // Options and the one script file in any order; "-" is the file standard input.
    bool haveFile = false;
    for (size_t position = 0;;) {
        if (const Result failure = daxcli::ParseOptions(args, position, table, true)) {
            error = Q(*failure);
            return false;
        }
        if (position >= args.size())
            break;
        if (haveFile) {
            error = QStringLiteral("one script file only");
            return false;
        }
        options.scriptFile = Q(args[position++]);
        haveFile = true;
    }
    if (!haveFile) {
        error = QStringLiteral("no script file");
        return false;
    }
    options.language = Q(language);
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
