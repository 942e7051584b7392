#pragma once

// The language registry: the process-wide list of script languages and their grammars (XML
// documents that configure the lexer and hold the syntax rules). Names are matched ignoring
// case and keep the order of registration. A grammar is compiled once, on first use, and kept
// until its language is registered again with another text.

#include <QString>
#include <QStringList>

#include <memory>

class TscGrammar;

// Adds a language, or replaces the grammar of the one registered under that name (in any
// letter case) in place.
void RegisterLanguageGrammar(const QString& name, const QString& grammar);
// The grammar text; an unregistered name throws "Language 'NAME' not found".
QString GetLanguageGrammar(const QString& name);
// Clears list and fills it with the registered names in registration order, leaving out the
// names that begin with '@'.
void GetLanguageList(QStringList& list);
// The compiled grammar of a registered language (throws like GetLanguageGrammar, and as
// TscGrammar::Compile for a broken grammar).
std::shared_ptr<const TscGrammar> GetCompiledLanguageGrammar(const QString& name);

// Registers the four built-in languages, in the order RireroRidoze, R++Idirud, JScript,
// ZuvivUradur. Called once at start-up before any script is compiled; calling it again puts
// their built-in grammars back.
void InitScriptLanguages();

// A string literal of a language that reads back as exactly `text`: the grammar's quote
// character, quotes inside doubled (or escaped with a backslash where the grammar has escapes),
// control characters as character-code parts (#13). For putting plain texts (names, addresses)
// where an expression is expected. Throws like GetLanguageGrammar for an unknown language.
QString ScStringLiteral(const QString& language, const QString& text);

// The text of a built-in grammar file (a resource of this library), for the grammar units.
QString BuiltInGrammarText(const QString& fileName);

class TscClassVariable;
class TscScript;
class TscXMLItem;

// The script catalogue, read by the designer's code completion: under item the sections
// "Functions" (per category), "Classes" (each with its members), "Types" (enumerations with
// their values), "Variables" and "Constants", for every symbol of the script in table order
// (only native functions with functionsOnly). Every entry is an element "item" whose "text"
// attribute (and for functions "description") holds the text; values are escaped.
void GenerateScriptCatalogXML(TscScript* script, TscXMLItem* item, bool functionsOnly);
// The members of every class descriptor of the script that the class is or inherits from.
void GenerateClassMembersXML(TscScript* script, TscClassVariable* cls, TscXMLItem* item);
