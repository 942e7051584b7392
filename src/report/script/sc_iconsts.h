#pragma once

// The script engine's own message texts, in one place (the class libraries with windows use
// them too). The first seventeen are the engine messages that the report resources replace
// with localised texts by key; the rest are the texts of this library's limits, checks and
// class library, under keys of their own. Texts every report library shares (list indexes,
// files) come from report/core's Texts.h, and so do the errors of the run-time library. A text
// with values takes each in a "%s", in order. Syntax errors are not here: they come from each
// grammar's error list.

#include <QString>
#include <QStringList>

#include <string>

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
    SNoAnswerLeft,
    SAnswerDoesNotFit,
    SOkAnswerDoesNotFit,
    SNeedsWindows,
    SControlOwnParent,
    SCanvasNoDrawing,
    SBitmapInvalid,
    SBitmapEmpty,
    SMetafileInvalid,
    SCannotFocus,
    SCannotMakeModal,
    SNoOwningScript,
    SItemInAnotherTree,
    SScriptEnclosesItself,
    SRunningScriptParent,
    SSortedListOperation,
    SDuplicatesNotAllowed,
    SCannotCreateInstance,
    SConstructorNeedsClass,
    SComponentOwnsItself,
    SInvalidStreamOrigin,
    SInvalidDateParts,
    SInvalidTimeParts,
    SListCapacityError,
    SIniCannotWrite,
    SIniInvalidSection,
    SIniInvalidKey,
    SIniValueOneLine,
    SCannotAssign,
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
// FormatScMessage as UTF-8, for the message of an exception.
std::string ScErrorText(TscMessage id, const QStringList& arguments = {});
