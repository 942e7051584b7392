#pragma once

// Statements: the executable form of a script. Each program (the script object and every
// routine's local program) owns one statement list. Control flow between statements is
// carried by four flags of the program: break, continue, exit and terminated. Every statement
// tests the terminated flag before its work, and every loop tests it and reports its line to
// the run-line hook on each pass, so that a terminate request always ends the run.

#include "sc_iexpression.h"
#include "sc_iinterpreter.h"
#include "sc_iinterpreter_designators.h"
#include "sc_iinterpreter_script.h"

#include <QString>

#include <memory>
#include <vector>

class TscScript;

// A statement list, and the base of every statement.
class TscStatement {
public:
    TscStatement(TscScript* program, const QString& unitName, const QString& sourcePos);
    TscStatement(const TscStatement&) = delete;
    TscStatement& operator=(const TscStatement&) = delete;
    virtual ~TscStatement();

    // A plain list runs its items in order until a flag of the program stops it.
    virtual void Execute();
    // What Execute of a plain list does; statements call it for their own lists and for the
    // plain lists they hold.
    inline void ExecuteList();
    // ExecuteList without its stack check, for callers that checked the stack in the frame
    // that runs the items (loops: once for all passes).
    inline void RunItems();

    void Add(std::unique_ptr<TscStatement> statement);
    int Count() const { return static_cast<int>(FItems.size()); }
    TscStatement* Items(int index) const { return FItems[static_cast<size_t>(index)].get(); }
    void Clear();

    TscScript* Program() const { return FProgram; }
    const QString& SourcePos() const { return FSourcePos; }
    const QString& UnitName() const { return FUnitName; }

protected:
    // Reports the line to the run-line hook; false when the program is terminated.
    inline bool NotifyLine();
    // After a loop's body: true when a break or an exit ends the loop; a continue is done with.
    inline bool PassEndsLoop();
    inline bool Terminated() const;

    TscScript* FProgram;
    QString FSourcePos;
    QString FUnitName;
    std::vector<std::unique_ptr<TscStatement>> FItems;
};

class TscAssignmentStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscAssignmentStmt() override;
    void Execute() override;
    // Chooses what is read and written: a lone variable target is written directly, and a
    // text built onto itself (target := target + a + b ...) grows in place.
    virtual void Optimize();

    std::unique_ptr<TscDesignator> FDesignator;
    std::unique_ptr<TscExpression> FExpression;

protected:
    // One operand joined onto the target's text.
    struct AppendStep {
        TscExpressionNode* Operand;
        TscCombineFunction Combine; // what the step's operator makes of two values
        bool Concatenation;         // text concatenation: any value joins as its text
    };

    // Execute without plain numbers: Variant values, and targets that are no plain variable.
    [[gnu::noinline]] void ExecuteValues();
    // Runs the append steps when the target holds a text: each operand is evaluated in turn,
    // and while every step keeps the value a text the pieces are appended to the variable's
    // own text in place, so building a text piece by piece costs its length, not its square.
    // The value is the one the operators would give in every case. False (nothing evaluated)
    // when the target holds no text.
    [[gnu::noinline]] bool AppendToTarget();
    // Stores a value into the target as the assignment does.
    void StoreInTarget(const Variant& value);

    TscCustomVariable* FVar = nullptr;
    bool FPlainTarget = false; // FVar is a plain variable (ScIsPlainValue): its storage is written directly
    bool FNumberValue = false; // and the expression has a Number (TscExpressionNode)
    // and a value computed by the expression's root, to store as it is (no text built in place)
    bool FComputedValue = false;
    TscOperatorNode* FCallsValue = nullptr; // that value is an operator on two routine calls
    std::vector<AppendStep> FAppend; // the steps after the target; empty when the value is no such chain
};

// target op= value, in place.
class TscAssignOperatorStmt : public TscAssignmentStmt {
public:
    TscAssignOperatorStmt(TscScript* program, const QString& unitName, const QString& sourcePos, VariantOp op);
    void Execute() override;
    void Optimize() override;

    // variable op= operand on plain numbers; false when the Variant path must do it.
    using NumberCombination = bool (*)(const TscExpressionNode& operand, TscVarType typ, Variant& storage);

private:
    [[gnu::noinline]] void ExecuteValues();

    VariantOp FOp;
    TscCombineFunction FCombine;
    NumberCombination FCombineNumbers;
};

class TscAssignPlusStmt : public TscAssignOperatorStmt {
public:
    TscAssignPlusStmt(TscScript* p, const QString& u, const QString& s) : TscAssignOperatorStmt(p, u, s, VariantOp::Add) {}
};
class TscAssignMinusStmt : public TscAssignOperatorStmt {
public:
    TscAssignMinusStmt(TscScript* p, const QString& u, const QString& s) : TscAssignOperatorStmt(p, u, s, VariantOp::Subtract) {}
};
class TscAssignMulStmt : public TscAssignOperatorStmt {
public:
    TscAssignMulStmt(TscScript* p, const QString& u, const QString& s) : TscAssignOperatorStmt(p, u, s, VariantOp::Multiply) {}
};
class TscAssignDivStmt : public TscAssignOperatorStmt {
public:
    TscAssignDivStmt(TscScript* p, const QString& u, const QString& s) : TscAssignOperatorStmt(p, u, s, VariantOp::Divide) {}
};

class TscCallStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscCallStmt() override;
    void Execute() override;

    std::unique_ptr<TscDesignator> FDesignator;
    QString FModificator; // empty, "+" or "-"
};

class TscIfStmt : public TscStatement {
public:
    TscIfStmt(TscScript* program, const QString& unitName, const QString& sourcePos);
    ~TscIfStmt() override;
    void Execute() override;

    std::unique_ptr<TscExpression> FCondition;
    std::unique_ptr<TscStatement> FElseStmt;
};

class TscCaseSelector : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscCaseSelector() override;
    bool Check(const Variant& value);

    std::unique_ptr<TscSetExpression> FSetExpression;
};

class TscCaseStmt : public TscStatement {
public:
    TscCaseStmt(TscScript* program, const QString& unitName, const QString& sourcePos);
    ~TscCaseStmt() override;
    void Execute() override;

    std::unique_ptr<TscExpression> FCondition;
    std::unique_ptr<TscStatement> FElseStmt;
    // A break inside the chosen branch ends the switch only, as in the C-like languages,
    // instead of the loop around it.
    bool FBreakEndsCase = false;
};

class TscRepeatStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscRepeatStmt() override;
    void Execute() override;

    std::unique_ptr<TscExpression> FCondition;
    bool FInverseCondition = false;
};

class TscWhileStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscWhileStmt() override;
    void Execute() override;

    std::unique_ptr<TscExpression> FCondition;
};

class TscForStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscForStmt() override;
    void Execute() override;

    std::unique_ptr<TscExpression> FBeginValue;
    bool FDown = false;
    std::unique_ptr<TscExpression> FEndValue;
    TscCustomVariable* FVariable = nullptr;
};

class TscVbForStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscVbForStmt() override;
    void Execute() override;

    std::unique_ptr<TscExpression> FBeginValue;
    std::unique_ptr<TscExpression> FEndValue;
    std::unique_ptr<TscExpression> FStep; // may be absent: step 1
    TscCustomVariable* FVariable = nullptr;
};

class TscCppForStmt : public TscStatement {
public:
    TscCppForStmt(TscScript* program, const QString& unitName, const QString& sourcePos);
    ~TscCppForStmt() override;
    void Execute() override;

    std::unique_ptr<TscStatement> FFirstStmt;
    std::unique_ptr<TscExpression> FExpression;
    std::unique_ptr<TscStatement> FSecondStmt;
};

class TscTryStmt : public TscStatement {
public:
    TscTryStmt(TscScript* program, const QString& unitName, const QString& sourcePos);
    ~TscTryStmt() override;
    void Execute() override;

    bool FIsExcept = false;
    std::unique_ptr<TscStatement> FExceptStmt; // the except part, or the finally part

private:
    void RunFinally();
};

class TscBreakStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    void Execute() override;
};

class TscContinueStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    void Execute() override;
};

class TscExitStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    void Execute() override;
};

class TscWithStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscWithStmt() override;
    void Execute() override;

    std::unique_ptr<TscDesignator> FDesignator;
    TscCustomVariable* FVariable = nullptr; // the with variable, owned by the program
};

// --- The per-statement work, inline: every statement and every loop pass pays it --------------

inline void TscStatement::ExecuteList()
{
    ScCheckStack();
    RunItems();
}

inline void TscStatement::RunItems()
{
    TscScript* program = FProgram;
    if (FItems.size() == 1) {
        // One statement (a branch, a loop body): the flags it sets end the list anyway.
        if (!program->FTerminated)
            FItems.front()->Execute();
        return;
    }
    for (const auto& item : FItems) {
        if (program->FTerminated)
            return;
        item->Execute();
        if (program->FBreakCalled || program->FContinueCalled || program->FExitCalled)
            return;
    }
}

inline bool TscStatement::NotifyLine()
{
    FProgram->NotifyRunLine(FUnitName, FSourcePos);
    return !FProgram->FTerminated;
}

inline bool TscStatement::PassEndsLoop()
{
    if (FProgram->FBreakCalled || FProgram->FExitCalled)
        return true;
    FProgram->FContinueCalled = false;
    return false;
}

inline bool TscStatement::Terminated() const
{
    return FProgram->FTerminated;
}
