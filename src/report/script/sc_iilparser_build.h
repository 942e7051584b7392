#pragma once

// The program builder: turns the program tree of the parser into the executable program of a
// script (variables, constants, routines with their local programs, statements and
// expressions), resolving every name and checking types and argument counts on the way. It
// reads only the tree, so it builds freshly parsed source and loaded compiled code alike; a
// loaded tree is untrusted, and every element it does not expect, every missing child and
// every wrong count is a compile error, never a crash.

#include "sc_iexpression.h"
#include "sc_iinterpreter.h"
#include "sc_iinterpreter_designators.h"
#include "sc_iinterpreter_statements.h"
#include "sc_itools_types.h"

#include <QString>

#include <algorithm>
#include <memory>
#include <vector>

class TscILParser;
class TscScript;
class TscXMLItem;

enum TscEmitOp { emNone, emCreate, emFree };

class TscProgramBuilder {
public:
    // `parser` gives the grammar's type aliases, whether variables must be declared and the
    // source texts of expressions (none for loaded code).
    TscProgramBuilder(TscScript* script, const TscILParser* parser);

    // Builds the tree into the script. Never raises: a failure is stored in the script's
    // ErrorMsg, ErrorPos and ErrorUnit, and false is returned.
    bool ParseILScript(const TscXMLItem* root);

    // Builds one expression element in the program `program` (Evaluate). Raises the compile
    // error; ErrorPos() tells where.
    // withSource keeps the expression's source text (Source): the arguments of access paths
    // need it, which a macro member takes as texts.
    std::unique_ptr<TscExpression> BuildExpression(const TscXMLItem* expr, TscScript* program, bool withSource = false);

    // Builds an access path from a `dsgn` element.
    std::unique_ptr<TscDesignator> DoDesignator(const TscXMLItem* xi, TscScript* program, TscEmitOp emitOp,
                                                bool classAllowed = false);

    const QString& ErrorPos() const { return FErrorPos; }

private:
    struct WithEntry {
        QString Name;
        TscWithStmt* Statement;
    };
    // Counts one element nested in others while it lives. A tree the parser made never passes
    // kScMaxNesting (the builder's levels are some of the parser's); a saved one deeper than
    // that is refused with the same error.
    class DepthScope {
    public:
        explicit DepthScope(TscProgramBuilder& builder);
        ~DepthScope();
        DepthScope(const DepthScope&) = delete;
        DepthScope& operator=(const DepthScope&) = delete;

    private:
        TscProgramBuilder& FBuilder;
    };

    static QString Lower(const TscXMLItem* x);
    static bool Named(const TscXMLItem* x, const char* name);
    // Whether a name (made lower case by Lower) is this one: compared as it stands, without
    // measuring the text first.
    template <size_t N>
    static bool Is(const QString& name, const char16_t (&lowerName)[N])
    {
        return name.size() == static_cast<qsizetype>(N - 1) &&
               std::equal(lowerName, lowerName + N - 1, name.utf16());
    }
    static QString Quoted(const QString& name);

    void BuildProgram(const TscXMLItem* element, TscScript* program);
    void DeclareRoutines(const TscXMLItem* element, TscScript* program, int depth);
    void DeclareRoutine(const TscXMLItem* element, TscScript* program, bool isFunction);
    void BuildStatement(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void BuildChildren(const TscXMLItem* x, TscScript* program, TscStatement* list, int from = 0);
    template <typename T>
    T* NewStatement(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void Finish(TscStatement* statement);

    void BuildVar(const TscXMLItem* x, TscScript* program, TscStatement* list);
    std::unique_ptr<TscCustomVariable> CreateVariable(const QString& name, const TscXMLItem* declaration,
                                                      TscScript* program, TscStatement* list, bool isParam,
                                                      bool byReference);
    void BuildConst(const TscXMLItem* x, TscScript* program);
    void BuildRoutineBody(const TscXMLItem* x, TscScript* program);
    void BuildUses(const TscXMLItem* x, TscScript* program);
    void BuildAssignment(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void BuildCall(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void BuildIf(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void BuildCase(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void BuildFor(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void BuildVbFor(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void BuildCppFor(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void BuildWhile(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void BuildRepeat(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void BuildTry(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void BuildReturn(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void BuildWith(const TscXMLItem* x, TscScript* program, TscStatement* list);
    void BuildDelete(const TscXMLItem* x, TscScript* program, TscStatement* list);

    std::unique_ptr<TscSetExpression> BuildSet(const TscXMLItem* x, TscScript* program);
    TscCustomVariable* LookupVariable(const QString& name, TscScript* program);
    TscCustomVariable* LoopVariable(const TscXMLItem* x, TscScript* program);
    TscTypeRec LookupType(const QString& name, TscScript* program);
    void CheckRedeclared(const QString& name, TscScript* program);
    void CheckAssign(const TscCustomVariable* target, const TscCustomVariable* value);
    bool FindInWith(const QString& name, TscScript* program, TscDesignator* designator);
    void CheckArguments(TscDesignator* designator);
    Variant EvaluateNow(TscExpression* expression);

    const TscXMLItem* Child(const TscXMLItem* x, int index);
    void SetPos(const TscXMLItem* x);
    [[noreturn]] void Fail(const QString& message);

    TscScript* FScript;
    const TscILParser* FParser;
    QString FErrorPos;
    QString FUnitName;
    const TscXMLItem* FProgRoot = nullptr;
    std::vector<WithEntry> FWithList;
    bool FNeedDeclareVars = true;
    TscShortCircuit FShortCircuit = TscShortCircuit::PascalBoolean;
    int FDepth = 0;
};
