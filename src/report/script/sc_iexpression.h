#pragma once

// The compiled form of one script expression: a tree of nodes built from the flat sequence of
// operands and operator texts the program builder reads, by operator priority. Finalize fixes
// the tree and computes its type; GetValue evaluates it with the Variant operators.

#include "sc_iinterpreter.h"
#include "sc_inumber.h"

#include "report/core/FormatSettings.h"

#include <QString>

#include <memory>

class TscDesignator;
class TscOperatorNode;
class TscSetExpression;

enum TscOperatorType : uint8_t {
    opNone,
    opGreat,
    opLess,
    opLessEq,
    opGreatEq,
    opNonEq,
    opEq,
    opPlus,
    opMinus,
    opOr,
    opXor,
    opMul,
    opDivFloat,
    opDivInt,
    opMod,
    opAnd,
    opShl,
    opShr,
    opLeftBracket,
    opRightBracket,
    opNot,
    opUnMinus,
    opIn,
    opIs,
    opStrCat, // text concatenation: kept apart from opPlus so that nothing rewrites it into an addition
};

// Expressions deeper than this are refused when they are built: evaluating and freeing them
// must not exhaust the stack.
inline constexpr int kScMaxExpressionDepth = 512;

// A two-operand operation on values.
using TscCombineFunction = Variant (*)(const Variant& left, const Variant& right, const FormatSettings& settings);
// The operation of a Variant operator as such a function: the inline arithmetic for + - * /
// div mod (VariantArithmetic), the tables for the others.
TscCombineFunction ScCombineFunction(VariantOp op);

// How `and` and `or` decide whether to evaluate their right operand.
enum class TscShortCircuit : uint8_t {
    PascalBoolean, // when the left value is a Boolean at run time
    Always,        // always, by the truth of the left value (&& and || of the C-like languages)
};

class TscExpressionNode {
public:
    TscExpressionNode() = default;
    TscExpressionNode(const TscExpressionNode&) = delete;
    TscExpressionNode& operator=(const TscExpressionNode&) = delete;
    // Frees the subtree without recursion.
    virtual ~TscExpressionNode();

    virtual Variant Evaluate(const FormatSettings& settings) = 0;
    // The node as an operator or an access path, or null (cheaper than a dynamic cast, which
    // building an expression would do for every node).
    virtual TscOperatorNode* AsOperator() { return nullptr; }
    virtual class TscDesignatorNode* AsDesignator() { return nullptr; }
    const TscOperatorNode* AsOperator() const { return const_cast<TscExpressionNode*>(this)->AsOperator(); }
    const TscDesignatorNode* AsDesignator() const { return const_cast<TscExpressionNode*>(this)->AsDesignator(); }
    // The value as a condition: its Boolean conversion (comparisons give theirs directly).
    virtual bool EvaluateCondition(const FormatSettings& settings) { return Evaluate(settings).ToBoolean(settings); }
    virtual int Priority() const { return 0; }

    // The value without a call where the node has it at hand: a constant's value, or the stored
    // value of a plain variable while no OnGetVarValue handler supplies it. Anything else is
    // evaluated into `scratch`. A reference to a variable's value stays valid only until
    // script code runs again.
    const Variant& Fetch(Variant& scratch, const FormatSettings& settings)
    {
        if (FDirect != nullptr && (FDirectVar == nullptr || !FDirectVar->OnGetVarValue))
            return *FDirect;
        scratch = Evaluate(settings);
        return scratch;
    }
    // A constant: its value never changes.
    bool IsConstant() const { return FDirect != nullptr && FDirectVar == nullptr; }
    // What Fetch reads in place (while DirectVariable has no handler), or null.
    const Variant* DirectValue() const { return FDirect; }
    // A plain variable read directly while it has no handler.
    TscCustomVariable* DirectVariable() const { return FDirectVar; }

    // The value as a plain number without the general path, for the nodes whose evaluation
    // runs no script code and changes nothing: Int32 and Double constants, plain variables
    // (while no handler supplies them) and + - * / div mod and unary minus over such nodes.
    // No number where the general path would give anything else; then it must be taken.
    TscNumber Number() const
    {
        switch (FNumeric) {
        case NumericForm::None:
            return TscNumber();
        case NumericForm::Constant:
            return FConstantNumber;
        case NumericForm::Variable:
            return FDirectVar->OnGetVarValue ? TscNumber() : TscNumber::Of(*FDirect);
        case NumericForm::Operator:
            return FNumberOf(*this);
        }
        return TscNumber();
    }
    bool HasNumber() const { return FNumeric != NumericForm::None; }

    // A comparison of two operands with a Number: 1 or 0, or -1 when either has no number.
    using ComparisonFunction = int (*)(const TscExpressionNode& node);
    // The comparison on plain numbers of a comparison node whose operands have a Number, or null.
    ComparisonFunction NumberComparison() const { return FCompareNumbers; }

    // Puts a node into the first free child slot and sets its parent.
    void AddNode(std::unique_ptr<TscExpressionNode> node);
    // Takes the child out of the slot that holds it.
    std::unique_ptr<TscExpressionNode> RemoveNode(TscExpressionNode* node);

    std::unique_ptr<TscExpressionNode> FLeft;
    std::unique_ptr<TscExpressionNode> FRight;
    TscExpressionNode* FParent = nullptr;
    TscVarType Typ = fvtVariant;
    QString TypeName;
    QString SourcePos;

protected:
    friend class TscOperatorNode; // chooses its Number from its operands' forms

    enum class NumericForm : uint8_t { None, Constant, Variable, Operator };
    using NumberFunction = TscNumber (*)(const TscExpressionNode& node);

    // The Number of an operator node, made for the operator and the forms of its operands.
    template <VariantOp Op, NumericForm Left, NumericForm Right>
    static TscNumber OperatorNumber(const TscExpressionNode& node);
    template <NumericForm Operand>
    static TscNumber NegatedNumber(const TscExpressionNode& node);
    template <NumericForm Form, int Side>
    static TscNumber OperandNumber(const TscOperatorNode& node);
    // pick.operator()<Left, Right>() with the forms as template arguments (Constant, Variable,
    // or Operator for every other).
    template <typename Pick>
    static auto ByForms(NumericForm left, NumericForm right, const Pick& pick);
    template <VariantOp Op>
    static NumberFunction OperatorNumberFor(NumericForm left, NumericForm right);

    template <VariantRelation R, NumericForm Left, NumericForm Right>
    static int ComparedNumbers(const TscExpressionNode& node);
    template <VariantRelation R>
    static ComparisonFunction ComparisonFor(NumericForm left, NumericForm right);

    const Variant* FDirect = nullptr;          // what Fetch reads without evaluating, or null
    TscCustomVariable* FDirectVar = nullptr;   // the variable FDirect belongs to (null for a constant)
    NumericForm FNumeric = NumericForm::None;  // how Number computes the node
    TscNumber FConstantNumber;                 // the Number of a constant
    NumberFunction FNumberOf = nullptr;        // the Number of an operator node
    ComparisonFunction FCompareNumbers = nullptr; // a comparison of operands with a Number
};

// A constant.
class TscOperandNode : public TscExpressionNode {
public:
    explicit TscOperandNode(const Variant& value);
    Variant Evaluate(const FormatSettings&) override { return FValue; }
    const Variant& Value() const { return FValue; }

protected:
    TscOperandNode() = default;
    Variant FValue;
};

// An access path; a plain variable is read directly.
class TscDesignatorNode : public TscOperandNode {
public:
    explicit TscDesignatorNode(std::unique_ptr<TscDesignator> designator);
    ~TscDesignatorNode() override;
    Variant Evaluate(const FormatSettings&) override;
    TscDesignatorNode* AsDesignator() override { return this; }

    std::unique_ptr<TscDesignator> FDesignator;
    TscCustomVariable* FVar; // what is read: the variable of a one-step path, else the path
    bool FCall = false;      // the path calls a script routine (dkCall)
};

// A set constructor.
class TscSetNode : public TscOperandNode {
public:
    explicit TscSetNode(std::unique_ptr<TscSetExpression> set);
    ~TscSetNode() override;
    Variant Evaluate(const FormatSettings&) override;

    std::unique_ptr<TscSetExpression> FSetExpression;
};

class TscOperatorNode : public TscExpressionNode {
public:
    TscOperatorNode(TscOperatorType op, TscScript* script, TscShortCircuit shortCircuit);
    Variant Evaluate(const FormatSettings& settings) override;
    TscOperatorNode* AsOperator() override { return this; }
    bool EvaluateCondition(const FormatSettings& settings) override;
    int Priority() const override;

    // Chooses the fast paths once the operands are in place and typed.
    void Prepare();
    // Evaluate when both operands are calls of script routines (FCallOperands): each call is
    // made here, left first, without the operand nodes.
    [[gnu::noinline]] Variant EvaluateCalls(const FormatSettings& settings);

    // The operands as the plain-number paths read them, kept here to save a step.
    struct OperandAtHand {
        const Variant* Value = nullptr;              // a constant's or plain variable's value
        const TscCustomVariable* Variable = nullptr; // the plain variable (its handler is checked)
        TscNumber Constant;                          // a constant's number
    };
    OperandAtHand FAtHand[2];

    TscOperatorType Op;
    bool FOptimizeBool = false;   // both operands are Boolean
    bool FDirectOperands = false; // a value operator whose operands are constants or plain variables
    bool FComputedOperands = false; // a value operator whose operands are neither
    bool FCallOperands = false;     // and both are calls of script routines
    TscShortCircuit ShortCircuit;
    TscScript* FScript;

    // The operator applied to two values, for the operators that need nothing but the values
    // (comparisons, arithmetic, text concatenation, bits); null for the others.
    TscCombineFunction FCombine = nullptr;
    // A comparison as a condition; null for the other operators.
    bool (*FHolds)(const Variant& left, const Variant& right, const FormatSettings& settings) = nullptr;

private:
    // Both operands in place, when no handler supplies a variable's value.
    bool DirectOperands(const Variant*& left, const Variant*& right) const;
    // Evaluate and EvaluateCondition when the operands are not both at hand.
    [[gnu::noinline]] Variant EvaluateOperands(const FormatSettings& settings);

    [[gnu::noinline]] bool EvaluateConditionOperands(const FormatSettings& settings);
};

// A node as an operator or an access path; null for another node and for no node.
inline TscOperatorNode* ScAsOperator(TscExpressionNode* node)
{
    return node != nullptr ? node->AsOperator() : nullptr;
}
inline const TscOperatorNode* ScAsOperator(const TscExpressionNode* node)
{
    return node != nullptr ? node->AsOperator() : nullptr;
}
inline TscDesignatorNode* ScAsDesignator(TscExpressionNode* node)
{
    return node != nullptr ? node->AsDesignator() : nullptr;
}
inline const TscDesignatorNode* ScAsDesignator(const TscExpressionNode* node)
{
    return node != nullptr ? node->AsDesignator() : nullptr;
}

// The node of an operator text ("+", "div", "unminus", ...), or null for an unknown text.
std::unique_ptr<TscOperatorNode> ScCreateOperatorNode(const QString& text, TscScript* script, TscShortCircuit shortCircuit);

class TscCustomExpression : public TscCustomVariable {
public:
    TscCustomExpression() : TscCustomVariable(QString(), fvtVariant, QString()) {}
};

class TscExpression final : public TscCustomExpression {
public:
    explicit TscExpression(TscScript* script);
    ~TscExpression() override;

    void AddConst(const Variant& value);
    void AddDesignator(std::unique_ptr<TscDesignator> designator);
    void AddSet(std::unique_ptr<TscSetExpression> set);
    // False for a text that names no operator.
    bool AddOperator(const QString& text);

    // Fixes the tree and computes its type. Returns the position of the first operator whose
    // operands are incompatible, else an empty text. Depth() tells how deep the tree is.
    QString Finalize();
    int Depth() const { return FDepth; }

    Variant GetValue() override { return Value(); }
    // GetValue, inline: plain numbers, constants and plain variables without a call.
    [[gnu::always_inline]] Variant Value()
    {
        if (FNode->HasNumber()) {
            if (const TscNumber number = FNode->Number())
                return number.ToVariant();
        }
        if (const Variant* direct = FNode->DirectValue();
            direct != nullptr && (FNode->DirectVariable() == nullptr || !FNode->DirectVariable()->OnGetVarValue))
            return *direct;
        return FNode->Evaluate(ScActiveSettings());
    }
    // The value as a condition (Boolean conversion).
    bool GetCondition()
    {
        if (const TscExpressionNode::ComparisonFunction compare = FNode->NumberComparison()) {
            if (const int holds = compare(*FNode); holds >= 0)
                return holds != 0;
        }
        return FNode->EvaluateCondition(ScActiveSettings());
    }
    // The root of the tree (after Finalize).
    TscExpressionNode* Root() const { return FNode.get(); }
    // Writes through the path when the expression is a lone writable path; ignored otherwise.
    void SetValue(const Variant& value) override;

    // The variable (or path) a lone operand reads, or null for anything else.
    TscCustomVariable* SingleItem() const;
    // The path of a lone path operand, or null.
    TscDesignator* SingleDesignator() const;
    bool IsConstant() const;

    // For an assignment target := target op value (op one of + - * /) rewrites the expression
    // to the value alone and sets modificator to op ("+=" then runs in place). Text
    // concatenation is never rewritten.
    void Optimize(TscDesignator* target, QChar& modificator);

    QString Source; // the source text, kept for the arguments of access paths (a macro member takes them as texts)
    TscShortCircuit ShortCircuit = TscShortCircuit::PascalBoolean;

private:
    void Attach(std::unique_ptr<TscExpressionNode> node);

    std::unique_ptr<TscExpressionNode> FNode; // the root; before Finalize a placeholder holding the tree
    TscExpressionNode* FCurNode;
    TscScript* FScript;
    int FDepth = 0;
    bool FFinalized = false;
};
