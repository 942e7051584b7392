#include "sc_iinterpreter_statements.h"

#include "sc_iinterpreter_script.h"

#include "report/core/ScriptErrors.h"

#include <QVarLengthArray>

#include <span>
#include <string>

// --- Lists ----------------------------------------------------------------------------------

TscStatement::TscStatement(TscScript* program, const QString& unitName, const QString& sourcePos)
    : FProgram(program), FSourcePos(sourcePos), FUnitName(unitName)
{
}

TscStatement::~TscStatement() = default;

void TscStatement::Add(std::unique_ptr<TscStatement> statement)
{
    FItems.push_back(std::move(statement));
}

void TscStatement::Clear()
{
    FItems.clear();
}

void TscStatement::Execute()
{
    ExecuteList();
}

// --- Assignments and calls ------------------------------------------------------------------

TscAssignmentStmt::~TscAssignmentStmt() = default;

namespace {

// A variable whose text an assignment may extend in place: a text variable, or a plain variable
// of a type that stores a text as it is.
bool HoldsTextInPlace(const TscCustomVariable* variable)
{
    if (variable->Has(TscCustomVariable::TextVariable))
        return true;
    return ScIsPlainValue(variable) &&
           (variable->Typ == fvtString || variable->Typ == fvtChar || variable->Typ == fvtVariant);
}

// A node reading exactly this variable.
bool ReadsVariable(const TscExpressionNode* node, const TscCustomVariable* variable)
{
    const auto* designatorNode = ScAsDesignator(node);
    return designatorNode != nullptr && designatorNode->FDesignator->Variable() == variable;
}

} // namespace

void TscAssignmentStmt::Optimize()
{
    FVar = FDesignator->Variable();
    if (FVar == nullptr)
        FVar = FDesignator.get();
    FPlainTarget = ScIsPlainValue(FVar);
    FNumberValue = FPlainTarget && FExpression->Root()->HasNumber();
    FComputedValue = false;
    FCallsValue = nullptr;
    FAppend.clear();
    if (!HoldsTextInPlace(FVar)) {
        FComputedValue = FPlainTarget && !FNumberValue && FExpression->Root()->DirectValue() == nullptr;
        if (TscOperatorNode* op = ScAsOperator(FExpression->Root()); FComputedValue && op != nullptr && op->FCallOperands)
            FCallsValue = op;
        return;
    }
    // target + a + b ... groups from the left: the chain of + and text concatenations down the
    // left operands, ending at the target itself.
    std::vector<AppendStep> steps;
    const TscExpressionNode* node = FExpression->Root();
    while (const auto* op = ScAsOperator(node)) {
        if ((op->Op != opPlus && op->Op != opStrCat) || op->FCombine == nullptr || !op->FRight)
            return;
        steps.push_back({op->FRight.get(), op->FCombine, op->Op == opStrCat});
        node = op->FLeft.get();
    }
    if (steps.empty() || !ReadsVariable(node, FVar))
        return;
    FAppend.assign(steps.rbegin(), steps.rend());
}

void TscAssignmentStmt::StoreInTarget(const Variant& value)
{
    if (FPlainTarget)
        ScStoreForType(FVar->Typ, FVar->PValue(), value);
    else
        FVar->SetValue(value);
}

namespace {

QString Joined(const QString& head, std::span<const QString> pieces)
{
    QString text = head;
    for (const QString& piece : pieces)
        text += piece;
    return text;
}

} // namespace

bool TscAssignmentStmt::AppendToTarget()
{
    TscCustomVariable* variable = FVar;
    if (variable->IsReadOnly || variable->OnGetVarValue)
        return false;
    auto* textVariable = variable->Has(TscCustomVariable::TextVariable) ? static_cast<TscStringVariable*>(variable)
                                                                         : nullptr;
    // The text as it was before the operands, whose evaluation may change the variable.
    QString head;
    if (textVariable != nullptr) {
        head = textVariable->Str();
    } else {
        const Variant& stored = variable->PValue();
        if (!stored.IsString())
            return false;
        head = stored.AsString();
    }
    const FormatSettings& settings = ScActiveSettings();
    QVarLengthArray<QString, 4> pieces;
    qsizetype length = head.size();
    for (size_t step = 0; step < FAppend.size(); ++step) {
        Variant scratch;
        const Variant& operand = FAppend[step].Operand->Fetch(scratch, settings);
        if (!FAppend[step].Concatenation && !operand.IsString()) {
            // The value stops being a text joined to a text: from here the operators do the rest.
            Variant value = FAppend[step].Combine(Variant(Joined(head, pieces)), operand, settings);
            for (++step; step < FAppend.size(); ++step) {
                Variant next;
                const Variant& nextOperand = FAppend[step].Operand->Fetch(next, settings);
                value = FAppend[step].Combine(value, nextOperand, settings);
            }
            StoreInTarget(value);
            return true;
        }
        QString piece = FAppend[step].Concatenation ? VarToStr(operand, settings) : operand.AsString();
        CheckStringLength(length + piece.size());
        length += piece.size();
        pieces.push_back(std::move(piece));
    }
    // In place while the variable still holds the text read first; when the operands changed
    // it, the joined text replaces it, as the operators' value would.
    if (textVariable != nullptr) {
        QString& text = textVariable->Str();
        if (!text.isSharedWith(head)) {
            text = Joined(head, pieces);
            return true;
        }
        ChargeScriptMemory(ScriptTextBytes(length) - ScriptTextBytes(text.size()));
        head = QString(); // the variable's text is no longer shared: appending does not copy it
        for (const QString& piece : pieces)
            text.append(piece);
        return true;
    }
    Variant& stored = variable->PValue();
    if (!stored.IsString() || !stored.AsString().isSharedWith(head)) {
        StoreInTarget(Variant(Joined(head, pieces)));
        return true;
    }
    ChargeScriptMemory(ScriptTextBytes(length) - ScriptTextBytes(head.size()));
    stored = Variant();
    for (const QString& piece : pieces)
        head.append(piece);
    stored = Variant::SharingText(head); // charged above
    head = QString();                    // the variable holds the only reference again
    return true;
}

namespace {

bool StoreNumberConverted(TscVarType typ, Variant& storage, const TscNumber& number)
{
    switch (typ) {
    case fvtInt:
        return false; // a real to round: the general path
    case fvtFloat:
        storage = Variant(number.AsReal());
        return true;
    case fvtInt64:
        if (number.K != TscNumber::Integer)
            return false;
        storage = Variant(int64_t{number.I});
        return true;
    case fvtVariant:
        storage = number.ToVariant();
        return true;
    default:
        return false;
    }
}

// Stores a number into the storage of a variable of type typ as its SetValue would; false
// when the conversion needs the general path (nothing is stored then).
[[gnu::always_inline]] inline bool StoreNumber(TscVarType typ, Variant& storage, const TscNumber& number)
{
    if (typ == fvtInt && number.K == TscNumber::Integer) {
        storage = Variant(number.I);
        return true;
    }
    if (typ == fvtFloat && number.K == TscNumber::Real) {
        storage = Variant(number.R);
        return true;
    }
    return StoreNumberConverted(typ, storage, number);
}

// variable op= operand on plain numbers; false (nothing changed) when the general path must
// do it. The operand runs no script code, so the variable may be read after it.
template <VariantOp Op>
bool CombineNumbers(const TscExpressionNode& operandNode, TscVarType typ, Variant& storage)
{
    const TscNumber operand = operandNode.Number();
    if (!operand)
        return false;
    const TscNumber current = TscNumber::Of(storage);
    if (!current)
        return false;
    const TscNumber result = ScNumberArithmetic<Op>(current, operand);
    return result && StoreNumber(typ, storage, result);
}

TscAssignOperatorStmt::NumberCombination NumberCombinationOf(VariantOp op)
{
    switch (op) {
    case VariantOp::Add:
        return &CombineNumbers<VariantOp::Add>;
    case VariantOp::Subtract:
        return &CombineNumbers<VariantOp::Subtract>;
    case VariantOp::Multiply:
        return &CombineNumbers<VariantOp::Multiply>;
    case VariantOp::Divide:
        return &CombineNumbers<VariantOp::Divide>;
    default:
        return nullptr;
    }
}

} // namespace

// The statements of every loop's body: placed on a cache line of their own, so that their
// speed does not move with the size of unrelated code linked before them.
[[gnu::aligned(64)]] void TscAssignmentStmt::Execute()
{
    if (!NotifyLine())
        return;
    if (FNumberValue && !FVar->IsReadOnly) {
        // Plain numbers, without Variant arithmetic.
        if (const TscNumber number = FExpression->Root()->Number();
            number && StoreNumber(FVar->Typ, FVar->PValue(), number))
            return;
    }
    if (FComputedValue && !FVar->IsReadOnly) {
        // A computed value (a call, an operator on calls) into a plain variable.
        if (FCallsValue != nullptr)
            ScStoreForType(FVar->Typ, FVar->PValue(), FCallsValue->EvaluateCalls(ScActiveSettings()));
        else
            ScStoreForType(FVar->Typ, FVar->PValue(), FExpression->Root()->Evaluate(ScActiveSettings()));
        return;
    }
    ExecuteValues();
}

void TscAssignmentStmt::ExecuteValues()
{
    if (!FAppend.empty() && AppendToTarget())
        return;
    if (FPlainTarget && !FVar->IsReadOnly) {
        // What SetValue of the variable does, without the calls.
        TscExpressionNode* root = FExpression->Root();
        if (const Variant* direct = root->DirectValue();
            direct != nullptr && (root->DirectVariable() == nullptr || !root->DirectVariable()->OnGetVarValue)) {
            ScStoreForType(FVar->Typ, FVar->PValue(), *direct);
            return;
        }
        ScStoreForType(FVar->Typ, FVar->PValue(), root->Evaluate(ScActiveSettings()));
        return;
    }
    if (FVar == nullptr)
        Optimize();
    FVar->SetValue(FExpression->GetValue());
}

TscAssignOperatorStmt::TscAssignOperatorStmt(TscScript* program, const QString& unitName, const QString& sourcePos,
                                             VariantOp op)
    : TscAssignmentStmt(program, unitName, sourcePos), FOp(op), FCombine(ScCombineFunction(op)),
      FCombineNumbers(NumberCombinationOf(op))
{
}

void TscAssignOperatorStmt::Optimize()
{
    TscAssignmentStmt::Optimize();
    // target += operand appends to a text in place like target := target + operand.
    FAppend.clear();
    if (FOp == VariantOp::Add && HoldsTextInPlace(FVar))
        FAppend.push_back({FExpression->Root(), FCombine, false});
}

void TscAssignOperatorStmt::Execute()
{
    if (!NotifyLine())
        return;
    TscCustomVariable* variable = FVar;
    if (FNumberValue && !variable->IsReadOnly && !variable->OnGetVarValue && FCombineNumbers != nullptr &&
        FCombineNumbers(*FExpression->Root(), variable->Typ, variable->PValue()))
        return;
    ExecuteValues();
}

void TscAssignOperatorStmt::ExecuteValues()
{
    if (!FAppend.empty() && AppendToTarget())
        return;
    TscCustomVariable* variable = FVar;
    if (FPlainTarget && !variable->IsReadOnly && !variable->OnGetVarValue) {
        TscExpressionNode* operandNode = FExpression->Root();
        Variant& storage = variable->PValue();
        const FormatSettings& settings = ScActiveSettings();
        if (operandNode->IsConstant()) {
            ScStoreForType(variable->Typ, storage, FCombine(storage, *operandNode->DirectValue(), settings));
            return;
        }
        // The value as it was before the operand, whose evaluation may change it.
        const Variant before = storage;
        Variant scratch;
        const Variant& operand = operandNode->Fetch(scratch, settings);
        ScStoreForType(variable->Typ, storage, FCombine(before, operand, settings));
        return;
    }
    if (FVar == nullptr)
        Optimize();
    Variant current = FVar->GetValue();
    const Variant operand = FExpression->GetValue();
    FVar->SetValue(FCombine(current, operand, ScActiveSettings()));
}

TscCallStmt::~TscCallStmt() = default;

void TscCallStmt::Execute()
{
    if (!NotifyLine())
        return;
    if (FModificator.isEmpty()) {
        FDesignator->NeedResult = false;
        FDesignator->GetValue();
        return;
    }
    const Variant one(int32_t{1});
    const Variant current = FDesignator->GetValue();
    FDesignator->SetValue(FModificator == u"+" ? VariantAdd(current, one, ScActiveSettings())
                                               : VariantBinary(VariantOp::Subtract, current, one, ScActiveSettings()));
}

// --- Conditions -----------------------------------------------------------------------------

TscIfStmt::TscIfStmt(TscScript* program, const QString& unitName, const QString& sourcePos)
    : TscStatement(program, unitName, sourcePos), FElseStmt(std::make_unique<TscStatement>(program, unitName, sourcePos))
{
}

TscIfStmt::~TscIfStmt() = default;

void TscIfStmt::Execute()
{
    if (!NotifyLine())
        return;
    ScCheckStack(); // for the branch, run from this frame
    if (FCondition->GetCondition())
        RunItems();
    else
        FElseStmt->RunItems();
}

TscCaseSelector::~TscCaseSelector() = default;

bool TscCaseSelector::Check(const Variant& value)
{
    return FSetExpression->Check(value);
}

TscCaseStmt::TscCaseStmt(TscScript* program, const QString& unitName, const QString& sourcePos)
    : TscStatement(program, unitName, sourcePos), FElseStmt(std::make_unique<TscStatement>(program, unitName, sourcePos))
{
}

TscCaseStmt::~TscCaseStmt() = default;

void TscCaseStmt::Execute()
{
    const Variant value = FCondition->GetValue();
    if (!NotifyLine())
        return;
    TscStatement* chosen = FElseStmt.get();
    for (const auto& item : FItems) {
        auto* selector = static_cast<TscCaseSelector*>(item.get());
        if (selector->Check(value)) {
            chosen = selector;
            break;
        }
    }
    const bool breakBefore = FProgram->FBreakCalled;
    chosen->Execute();
    if (FBreakEndsCase && !breakBefore)
        FProgram->FBreakCalled = false;
}

// --- Loops ----------------------------------------------------------------------------------
// Every pass after the first reports the loop's line and stops when the run is terminated,
// whatever the body holds (an empty body too).

TscRepeatStmt::~TscRepeatStmt() = default;

void TscRepeatStmt::Execute()
{
    if (!NotifyLine())
        return;
    TscScript* program = FProgram;
    for (bool first = true;; first = false) {
        if (!first && !NotifyLine())
            break;
        if (first)
            ScCheckStack(); // one frame runs every pass
        RunItems();
        if (PassEndsLoop())
            break;
        const bool condition = FCondition->GetCondition();
        if (condition != FInverseCondition)
            break;
    }
    program->FBreakCalled = false;
}

TscWhileStmt::~TscWhileStmt() = default;

void TscWhileStmt::Execute()
{
    if (!NotifyLine())
        return;
    TscScript* program = FProgram;
    for (bool first = true;; first = false) {
        if (!first && !NotifyLine())
            break;
        if (!FCondition->GetCondition())
            break;
        if (first)
            ScCheckStack(); // one frame runs every pass
        RunItems();
        if (PassEndsLoop())
            break;
    }
    program->FBreakCalled = false;
}

TscForStmt::~TscForStmt() = default;

[[gnu::aligned(64)]] void TscForStmt::Execute()
{
    const int32_t a = FBeginValue->GetValue().ToInt32(ScActiveSettings());
    const int32_t b = FEndValue->GetValue().ToInt32(ScActiveSettings());
    if (!NotifyLine())
        return;
    // Counted in 64 bits: 1 to MaxInt, or -MaxInt-1 to MaxInt, has more passes than 32 bits hold.
    const int64_t count = FDown ? (a >= b ? int64_t{a} - b + 1 : 0) : (b >= a ? int64_t{b} - a + 1 : 0);
    TscScript* program = FProgram;
    Variant& counter = FVariable->PValue();
    const int32_t step = FDown ? -1 : 1;
    int32_t current = a;
    for (int64_t pass = 0; pass < count; ++pass) {
        if (pass > 0) {
            current += step; // never past b: there is a pass for it
            if (!NotifyLine())
                break;
        }
        counter = Variant(current);
        // Every pass runs the body from this frame: one stack check serves them all.
        if (pass == 0)
            ScCheckStack();
        RunItems();
        if (PassEndsLoop())
            break;
    }
    program->FBreakCalled = false;
}

TscVbForStmt::~TscVbForStmt() = default;

void TscVbForStmt::Execute()
{
    const FormatSettings& settings = ScActiveSettings();
    Variant current = FBeginValue->GetValue();
    const Variant end = FEndValue->GetValue();
    const Variant step = FStep ? FStep->GetValue() : Variant(int32_t{1});
    if (!NotifyLine())
        return;
    const bool upward = VariantCompare(VariantRelation::GreaterOrEqual, step, Variant(int32_t{0}), settings);
    TscScript* program = FProgram;
    for (bool first = true;; first = false) {
        if (!first && !NotifyLine())
            break;
        if (!VariantCompare(upward ? VariantRelation::LessOrEqual : VariantRelation::GreaterOrEqual, current, end,
                            settings))
            break;
        FVariable->PValue() = current;
        ExecuteList();
        if (PassEndsLoop())
            break;
        current = VariantAdd(current, step, settings);
    }
    program->FBreakCalled = false;
}

TscCppForStmt::TscCppForStmt(TscScript* program, const QString& unitName, const QString& sourcePos)
    : TscStatement(program, unitName, sourcePos),
      FFirstStmt(std::make_unique<TscStatement>(program, unitName, sourcePos)),
      FSecondStmt(std::make_unique<TscStatement>(program, unitName, sourcePos))
{
}

TscCppForStmt::~TscCppForStmt() = default;

void TscCppForStmt::Execute()
{
    if (!NotifyLine())
        return;
    TscScript* program = FProgram;
    FFirstStmt->Execute();
    for (bool first = true;; first = false) {
        if (program->FTerminated || (!first && !NotifyLine()))
            break;
        if (!FExpression->GetCondition())
            break;
        if (first)
            ScCheckStack(); // one frame runs every pass
        RunItems();
        if (PassEndsLoop())
            break;
        FSecondStmt->Execute();
    }
    program->FBreakCalled = false;
}

// --- Exceptions -----------------------------------------------------------------------------

namespace {

// The texts of running out of memory, made at start-up, so that handling that error makes
// no new text for them.
const std::string kOutOfMemoryName = "EOutOfMemory";
const std::string kOutOfMemoryMessage = EOutOfMemory().Message();
const QString kOutOfMemoryNameText = QString::fromStdString(kOutOfMemoryName);
const QString kOutOfMemoryMessageText = QString::fromStdString(kOutOfMemoryMessage);

QString ErrorText(const std::string& text)
{
    if (text == kOutOfMemoryName)
        return kOutOfMemoryNameText;
    if (text == kOutOfMemoryMessage)
        return kOutOfMemoryMessageText;
    return QString::fromUtf8(text);
}

} // namespace

TscTryStmt::TscTryStmt(TscScript* program, const QString& unitName, const QString& sourcePos)
    : TscStatement(program, unitName, sourcePos),
      FExceptStmt(std::make_unique<TscStatement>(program, unitName, sourcePos))
{
}

TscTryStmt::~TscTryStmt() = default;

void TscTryStmt::RunFinally()
{
    // The finally part runs whole even when a break, continue or exit is pending; what was
    // pending stays pending afterwards, and what the finally part itself starts too.
    TscScript* program = FProgram;
    const bool breakCalled = program->FBreakCalled;
    const bool continueCalled = program->FContinueCalled;
    const bool exitCalled = program->FExitCalled;
    program->FBreakCalled = false;
    program->FContinueCalled = false;
    program->FExitCalled = false;
    FExceptStmt->Execute();
    program->FBreakCalled = program->FBreakCalled || breakCalled;
    program->FContinueCalled = program->FContinueCalled || continueCalled;
    program->FExitCalled = program->FExitCalled || exitCalled;
}

void TscTryStmt::Execute()
{
    if (!NotifyLine())
        return;
    if (FIsExcept) {
        std::string className;
        std::string message;
        try {
            ExecuteList();
            return;
        } catch (...) {
            // Only errors of the script's family are caught; anything else passes on.
            if (!CurrentScriptError(className, message))
                throw;
        }
        FProgram->SetVariable(QStringLiteral("ExceptionClassName"), Variant(ErrorText(className)));
        FProgram->SetVariable(QStringLiteral("ExceptionMessage"), Variant(ErrorText(message)));
        FExceptStmt->Execute();
        return;
    }
    try {
        ExecuteList();
    } catch (...) {
        RunFinally();
        throw;
    }
    RunFinally();
}

// --- Flow -----------------------------------------------------------------------------------

void TscBreakStmt::Execute()
{
    FProgram->FBreakCalled = true;
}

void TscContinueStmt::Execute()
{
    FProgram->FContinueCalled = true;
}

void TscExitStmt::Execute()
{
    if (!NotifyLine())
        return;
    FProgram->FExitCalled = true;
}

TscWithStmt::~TscWithStmt() = default;

void TscWithStmt::Execute()
{
    ExecuteList();
    FVariable->SetValue(FDesignator->GetValue());
}
