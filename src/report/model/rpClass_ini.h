#pragma once

// The settings store of the report windows (recent fonts, window places): sections of named
// values, kept either under a registry key or in an ini file. What a report's GetIniFile gives;
// its owner frees it, which writes what changed.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class TrpIniFile {
public:
    virtual ~TrpIniFile() = default;

    virtual QString ReadString(const QString& section, const QString& name, const QString& fallback) = 0;
    virtual void WriteString(const QString& section, const QString& name, const QString& value) = 0;
    // Integers and Booleans (0 and 1) in the store's integer form; a value of another type reads
    // as the fallback.
    virtual int32_t ReadInteger(const QString& section, const QString& name, int32_t fallback) = 0;
    virtual void WriteInteger(const QString& section, const QString& name, int32_t value) = 0;
    bool ReadBool(const QString& section, const QString& name, bool fallback);
    void WriteBool(const QString& section, const QString& name, bool value);
    // Floats as C-locale text (read back with '.' or ',').
    double ReadFloat(const QString& section, const QString& name, double fallback);
    void WriteFloat(const QString& section, const QString& name, double value);
    virtual bool SectionExists(const QString& section) = 0;
    virtual bool ValueExists(const QString& section, const QString& name) = 0;
    virtual void DeleteKey(const QString& section, const QString& name) = 0;
    virtual void EraseSection(const QString& section) = 0;
    // Writes what changed (also done when the object goes).
    virtual void UpdateFile() = 0;
};

// The registry key of a section: the root key, a backslash and the section.
QString RegistryKeyOfSection(const QString& rootKey, const QString& section);

// Settings under a registry key ("\Software\Zuvo Dideziz"); every change is written at once.
std::unique_ptr<TrpIniFile> CreateRegistryIniFile(const QString& rootKey);
// Settings in an ini file, read when created and written (atomically) when released.
std::unique_ptr<TrpIniFile> CreateMemIniFile(const QString& fileName);
// Settings read from ini text and kept in memory: changes are never written anywhere.
std::unique_ptr<TrpIniFile> CreateTextIniFile(const QString& text);
