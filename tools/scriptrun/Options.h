#pragma once

// The command line of scriptrun:
//   scriptrun [--lang L] [--parse-only] [--locale C|ru_RU] [--answers FILE] [--timeout S]
//             [--memory-limit SIZE] [--allow-files DIR]... FILE|-

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

struct ScriptRunOptions {
    QString language;      // empty: from the file's extension
    bool parseOnly = false;
    QString locale = QStringLiteral("C"); // "C" or "ru_RU"
    QString answersFile;   // answers to the script's dialogs, one per line
    std::optional<double> timeoutSeconds;
    std::optional<int64_t> memoryLimit; // bytes the script may hold (none: the engine's default)
    QStringList allowedFolders; // the folders a script may touch (none: no file at all)
    QString scriptFile;    // "-" is standard input
};

// Reads the arguments (without the program name). On a usage error returns false with the
// reason in error.
bool ParseScriptRunOptions(const QStringList& arguments, ScriptRunOptions& options, QString& error);

// The language a script file is written in, by its extension: .pas RireroRidoze, .cpp
// R++Idirud, .js JScript, .vb ZuvivUradur (any letter case); empty when unknown.
QString LanguageOfFile(const QString& fileName);

extern const char* const kScriptRunUsage;
