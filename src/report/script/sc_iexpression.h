#pragma once

// The compiled form of one script expression: a tree of nodes built from the flat sequence of
// operands and operator texts the program builder reads, by operator priority. Finalize fixes
// the tree and computes its type; GetValue evaluates it with the Variant operators.

#include "sc_iinterpreter.h"

#include "report/core/FormatSettings.h"

#include <QString>

#include <memory>

class TscDesignator;
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
    virtual int Priority() const { return 0; }

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
    Variant Evaluate(const FormatSettings&) override { return FVar->GetValue(); }

    std::unique_ptr<TscDesignator> FDesignator;
    TscCustomVariable* FVar; // what is read: the variable of a one-step path, else the path
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
    int Priority() const override;

    TscOperatorType Op;
    bool FOptimizeBool = false; // both operands are Boolean
    TscShortCircuit ShortCircuit;
    TscScript* FScript;
};

// The node of an operator text ("+", "div", "unminus", ...), or null for an unknown text.
std::unique_ptr<TscOperatorNode> ScCreateOperatorNode(const QString& text, TscScript* script, TscShortCircuit shortCircuit);

class TscCustomExpression : public TscCustomVariable {
public:
    TscCustomExpression() : TscCustomVariable(QString(), fvtVariant, QString()) {}
};

class TscExpression : public TscCustomExpression {
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

    Variant GetValue() override;
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

    QString Source;
    TscShortCircuit ShortCircuit = TscShortCircuit::PascalBoolean;

private:
    void Attach(std::unique_ptr<TscExpressionNode> node);

    std::unique_ptr<TscExpressionNode> FNode; // the root; before Finalize a placeholder holding the tree
    TscExpressionNode* FCurNode;
    TscScript* FScript;
    int FDepth = 0;
    bool FFinalized = false;
};
