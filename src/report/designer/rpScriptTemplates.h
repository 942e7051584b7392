#pragma once

// Script code the designer writes for the user: an empty main program, the handlers of a
// script that fit an event, the line of a named handler and a new handler skeleton. Driven by
// per-language templates and per-event parameter lists kept in the report resources.

#include <QString>
#include <QStringList>

struct PropertyInfo;

// Adds the four language templates and the eight event parameter lists to the resources.
void RegisterScriptCodeTemplates();
// The value of key (proc, begin, end, lastend, openquote, closequote) of a language's
// template; empty when the language has none.
QString GetTemplateAttribute(const QString& language, const QString& key);
// The parameter list of an event type for a language; empty for other types.
QString GetEventSignature(const QString& eventTypeName, const QString& language);
QString GetEventSignature(const PropertyInfo& info, const QString& language);
// Names of the handlers of the script whose parameter list equals the event's.
void ListEventHandlers(const QStringList& script, const QString& language, const QString& eventTypeName,
                       QStringList& result);
// The 0-based line where the handler starts, or -1.
int LocateEventHandler(const QStringList& script, const QString& language, const QString& name);
// Inserts a handler skeleton; the 1-based line of its empty body line, or -1 (nowhere to put it).
int AddEventHandler(QStringList& script, const QString& language, const QString& eventTypeName,
                    const QString& name);
// Replaces the script with the language's empty main program.
void WriteEmptyScript(QStringList& script, const QString& language);
