#pragma once

// The script engine's own message texts, in one place. The first seventeen are the engine
// messages that the report resources replace with localised texts by key; the rest are the
// texts of this library's limits and checks, under keys of their own. Syntax errors are not
// here: they come from each grammar's error list.

#include <QString>
#include <QStringList>

enum class TscMessage : int {
    // Engine messages, in their resource order.
    SLangNotFound,
    SInvalidLanguage,
    SIdRedeclared,
    SUnknownType,
    SIncompatibleTypes,
    SIdUndeclared,
    SClassRequired,
    SIndexRequired,
    SStringError,
    SClassError,
    SArrayRequired,
    SVarRequired,
    SNotEnoughParams,
    STooManyParams,
    SLeftCantAssigned,
    SForError,
    SEventError,
    // Texts of this library.
    SInvalidFileFormat,
    SXMLTooDeep,
    SXMLTooLarge,
    SListIndexError,
    SCannotOpenFile,
    SCannotCreateFile,
    SSyntaxError,
    SScriptTooLarge,
    SScriptTooDeep,
    SRulesTooDeep,
    SStackTooShort,
    SScriptTooComplex,
    SUnitNotAllowed,
    SUnitsTooDeep,
    STooManyUnits,
    SInvalidProgramTree,
    SExpressionTooDeep,
    SClassNameAlone,
    SNotCompiled,
    SInvalidDeclaration,
    Count
};

// How many of the messages are the engine messages the report resources set.
inline constexpr int kScEngineMessageCount = 17;

// The current text, its key and its English default.
QString ScMessage(TscMessage id);
QString ScMessageKey(TscMessage id);
QString ScMessageDefault(TscMessage id);

// Replaces a text by its key (false, nothing changed, for an unknown key).
bool SetScMessage(const QString& key, const QString& text);
void SetScMessage(TscMessage id, const QString& text);
// Every text back to its default (start-up state; tests).
void ResetScMessages();

// The text with its "%s" placeholders filled in order. Only literal "%s" is replaced, each
// once, and nothing else in the text is interpreted, so a translation can hold any other '%'.
// A translation with fewer "%s" than arguments would lose one: the default text is used then.
QString FormatScMessage(TscMessage id, const QStringList& arguments);
QString FormatScMessage(TscMessage id, const QString& argument);
