#include "sc_iexpression.h"

#include "sc_iconsts.h"
#include "sc_iinterpreter_designators.h"
#include "sc_iinterpreter_script.h"
#include "sc_itools_types.h"

#include "report/core/ScriptErrors.h"

#include <string>
#include <vector>

// --- Nodes ----------------------------------------------------------------------------------

TscExpressionNode::~TscExpressionNode()
{
    // Deep trees (long chains of one operator) are freed with a work list, not recursion.
    if (!FLeft && !FRight)
        return;
    std::vector<std::unique_ptr<TscExpressionNode>> pending;
    pending.reserve(8); // one allocation for the usual expression
    if (FLeft)
        pending.push_back(std::move(FLeft));
    if (FRight)
        pending.push_back(std::move(FRight));
    while (!pending.empty()) {
        std::unique_ptr<TscExpressionNode> node = std::move(pending.back());
        pending.pop_back();
        if (node->FLeft)
            pending.push_back(std::move(node->FLeft));
        if (node->FRight)
            pending.push_back(std::move(node->FRight));
    }
}

void TscExpressionNode::AddNode(std::unique_ptr<TscExpressionNode> node)
{
    node->FParent = this;
    if (!FLeft)
        FLeft = std::move(node);
    else
        FRight = std::move(node);
}

std::unique_ptr<TscExpressionNode> TscExpressionNode::RemoveNode(TscExpressionNode* node)
{
    std::unique_ptr<TscExpressionNode> taken;
    if (FLeft.get() == node)
        taken = std::move(FLeft);
    else if (FRight.get() == node)
        taken = std::move(FRight);
    if (taken)
        taken->FParent = nullptr;
    return taken;
}

TscOperandNode::TscOperandNode(const Variant& value) : FValue(value)
{
    FDirect = &FValue;
    if (value.Kind() == VariantKind::Int32 || value.Kind() == VariantKind::Double) {
        FNumeric = NumericForm::Constant;
        FConstantNumber = TscNumber::Of(value);
    }
    switch (value.Kind()) {
    case VariantKind::Boolean:
        Typ = fvtBool;
        break;
    case VariantKind::Double:
    case VariantKind::DateTime:
        Typ = fvtFloat;
        break;
    case VariantKind::Int64:
        Typ = fvtInt64;
        break;
    case VariantKind::String:
        Typ = fvtString;
        break;
    default:
        Typ = fvtInt;
        break;
    }
}

TscDesignatorNode::TscDesignatorNode(std::unique_ptr<TscDesignator> designator)
    : FDesignator(std::move(designator)), FVar(FDesignator->Variable())
{
    if (FVar == nullptr)
        FVar = FDesignator.get();
    else if (ScIsPlainValue(FVar)) {
        FDirect = &FVar->PValue();
        FDirectVar = FVar;
        FNumeric = NumericForm::Variable;
    }
    Typ = FDesignator->Typ;
    TypeName = FDesignator->TypeName;
    FCall = FVar == FDesignator.get() && FDesignator->Kind == dkCall;
}

TscDesignatorNode::~TscDesignatorNode() = default;

Variant TscDesignatorNode::Evaluate(const FormatSettings&)
{
    if (FCall)
        return FDesignator->CallRoutine();
    if (FVar != FDesignator.get())
        return FVar->GetValue();
    return FDesignator->GetValue();
}

TscSetNode::TscSetNode(std::unique_ptr<TscSetExpression> set) : FSetExpression(std::move(set))
{
    Typ = fvtVariant;
}

TscSetNode::~TscSetNode() = default;

Variant TscSetNode::Evaluate(const FormatSettings&)
{
    return FSetExpression->GetValue();
}

namespace {

template <VariantRelation R>
bool Holds(const Variant& left, const Variant& right, const FormatSettings& settings)
{
    return VariantRelationHolds<R>(left, right, settings);
}

template <VariantRelation R>
Variant Compared(const Variant& left, const Variant& right, const FormatSettings& settings)
{
    return Variant(VariantRelationHolds<R>(left, right, settings));
}

template <VariantOp Op>
Variant Computed(const Variant& left, const Variant& right, const FormatSettings& settings)
{
    if constexpr (Op == VariantOp::Add || Op == VariantOp::Subtract || Op == VariantOp::Multiply ||
                  Op == VariantOp::Divide || Op == VariantOp::IntDivide || Op == VariantOp::Modulus)
        return VariantArithmetic<Op>(left, right, settings);
    else
        return VariantBinary(Op, left, right, settings);
}

// Text concatenation: a text when either side is one, else an addition.
Variant Concatenated(const Variant& left, const Variant& right, const FormatSettings& settings)
{
    if (left.IsString() || right.IsString()) {
        const QString head = VarToStr(left, settings);
        const QString tail = VarToStr(right, settings);
        CheckStringLength(head.size() + tail.size());
        return Variant(head + tail);
    }
    return VariantAdd(left, right, settings);
}

} // namespace

TscCombineFunction ScCombineFunction(VariantOp op)
{
    switch (op) {
    case VariantOp::Add:
        return &Computed<VariantOp::Add>;
    case VariantOp::Subtract:
        return &Computed<VariantOp::Subtract>;
    case VariantOp::Multiply:
        return &Computed<VariantOp::Multiply>;
    case VariantOp::Divide:
        return &Computed<VariantOp::Divide>;
    case VariantOp::IntDivide:
        return &Computed<VariantOp::IntDivide>;
    case VariantOp::Modulus:
        return &Computed<VariantOp::Modulus>;
    case VariantOp::ShiftLeft:
        return &Computed<VariantOp::ShiftLeft>;
    case VariantOp::ShiftRight:
        return &Computed<VariantOp::ShiftRight>;
    case VariantOp::And:
        return &Computed<VariantOp::And>;
    case VariantOp::Or:
        return &Computed<VariantOp::Or>;
    case VariantOp::Xor:
        return &Computed<VariantOp::Xor>;
    }
    return &Computed<VariantOp::Xor>;
}

TscOperatorNode::TscOperatorNode(TscOperatorType op, TscScript* script, TscShortCircuit shortCircuit)
    : Op(op), ShortCircuit(shortCircuit), FScript(script)
{
    switch (op) {
    case opGreat:
        FHolds = &Holds<VariantRelation::Greater>;
        FCombine = &Compared<VariantRelation::Greater>;
        break;
    case opLess:
        FHolds = &Holds<VariantRelation::Less>;
        FCombine = &Compared<VariantRelation::Less>;
        break;
    case opLessEq:
        FHolds = &Holds<VariantRelation::LessOrEqual>;
        FCombine = &Compared<VariantRelation::LessOrEqual>;
        break;
    case opGreatEq:
        FHolds = &Holds<VariantRelation::GreaterOrEqual>;
        FCombine = &Compared<VariantRelation::GreaterOrEqual>;
        break;
    case opNonEq:
        FHolds = &Holds<VariantRelation::NotEqual>;
        FCombine = &Compared<VariantRelation::NotEqual>;
        break;
    case opEq:
        FHolds = &Holds<VariantRelation::Equal>;
        FCombine = &Compared<VariantRelation::Equal>;
        break;
    case opPlus:
        FCombine = &Computed<VariantOp::Add>;
        break;
    case opStrCat:
        FCombine = &Concatenated;
        break;
    case opMinus:
        FCombine = &Computed<VariantOp::Subtract>;
        break;
    case opMul:
        FCombine = &Computed<VariantOp::Multiply>;
        break;
    case opDivFloat:
        FCombine = &Computed<VariantOp::Divide>;
        break;
    case opDivInt:
        FCombine = &Computed<VariantOp::IntDivide>;
        break;
    case opMod:
        FCombine = &Computed<VariantOp::Modulus>;
        break;
    case opXor:
        FCombine = &Computed<VariantOp::Xor>;
        break;
    case opShl:
        FCombine = &Computed<VariantOp::ShiftLeft>;
        break;
    case opShr:
        FCombine = &Computed<VariantOp::ShiftRight>;
        break;
    default:
        break;
    }
}

template <TscExpressionNode::NumericForm Form, int Side>
TscNumber TscExpressionNode::OperandNumber(const TscOperatorNode& node)
{
    const TscOperatorNode::OperandAtHand& operand = node.FAtHand[Side];
    if constexpr (Form == NumericForm::Constant) {
        return operand.Constant;
    } else if constexpr (Form == NumericForm::Variable) {
        return operand.Variable->OnGetVarValue ? TscNumber() : TscNumber::Of(*operand.Value);
    } else {
        const TscExpressionNode& child = Side == 0 ? *node.FLeft : *node.FRight;
        return child.FNumberOf(child);
    }
}

// Arithmetic on plain numbers, the inner work of every loop: on a cache line of its own, so
// that its speed does not move with the size of unrelated code linked before it.
template <VariantOp Op, TscExpressionNode::NumericForm Left, TscExpressionNode::NumericForm Right>
[[gnu::aligned(64)]] TscNumber TscExpressionNode::OperatorNumber(const TscExpressionNode& node)
{
    const auto& op = static_cast<const TscOperatorNode&>(node);
    const TscNumber a = OperandNumber<Left, 0>(op);
    if (!a)
        return TscNumber();
    const TscNumber b = OperandNumber<Right, 1>(op);
    if (!b)
        return TscNumber();
    return ScNumberArithmetic<Op>(a, b);
}

template <TscExpressionNode::NumericForm Operand>
TscNumber TscExpressionNode::NegatedNumber(const TscExpressionNode& node)
{
    return ScNumberNegate(OperandNumber<Operand, 0>(static_cast<const TscOperatorNode&>(node)));
}

template <typename Pick>
auto TscExpressionNode::ByForms(NumericForm left, NumericForm right, const Pick& pick)
{
    const auto withLeft = [&]<NumericForm Left>() {
        switch (right) {
        case NumericForm::Constant:
            return pick.template operator()<Left, NumericForm::Constant>();
        case NumericForm::Variable:
            return pick.template operator()<Left, NumericForm::Variable>();
        default:
            return pick.template operator()<Left, NumericForm::Operator>();
        }
    };
    switch (left) {
    case NumericForm::Constant:
        return withLeft.template operator()<NumericForm::Constant>();
    case NumericForm::Variable:
        return withLeft.template operator()<NumericForm::Variable>();
    default:
        return withLeft.template operator()<NumericForm::Operator>();
    }
}

template <VariantOp Op>
TscExpressionNode::NumberFunction TscExpressionNode::OperatorNumberFor(NumericForm left, NumericForm right)
{
    return ByForms(left, right, []<NumericForm Left, NumericForm Right>() -> NumberFunction {
        return &OperatorNumber<Op, Left, Right>;
    });
}

template <VariantRelation R, TscExpressionNode::NumericForm Left, TscExpressionNode::NumericForm Right>
int TscExpressionNode::ComparedNumbers(const TscExpressionNode& node)
{
    const auto& op = static_cast<const TscOperatorNode&>(node);
    const TscNumber a = OperandNumber<Left, 0>(op);
    if (!a)
        return -1;
    const TscNumber b = OperandNumber<Right, 1>(op);
    if (!b)
        return -1;
    return ScNumberHolds<R>(a, b) ? 1 : 0;
}

template <VariantRelation R>
TscExpressionNode::ComparisonFunction TscExpressionNode::ComparisonFor(NumericForm left, NumericForm right)
{
    return ByForms(left, right, []<NumericForm Left, NumericForm Right>() -> ComparisonFunction {
        return &ComparedNumbers<R, Left, Right>;
    });
}

void TscOperatorNode::Prepare()
{
    TscExpressionNode* operands[2] = {FLeft.get(), FRight.get()};
    for (int side = 0; side < 2; ++side) {
        if (operands[side] == nullptr)
            continue;
        FAtHand[side].Value = operands[side]->FDirect;
        FAtHand[side].Variable = operands[side]->FDirectVar;
        FAtHand[side].Constant = operands[side]->FConstantNumber;
    }
    FDirectOperands =
        FCombine != nullptr && FLeft->DirectValue() != nullptr && FRight && FRight->DirectValue() != nullptr;
    FComputedOperands = FCombine != nullptr && FLeft->DirectValue() == nullptr && FRight && FRight->DirectValue() == nullptr;
    const TscDesignatorNode* leftCall = ScAsDesignator(FLeft.get());
    const TscDesignatorNode* rightCall = ScAsDesignator(FRight.get());
    FCallOperands = FComputedOperands && leftCall != nullptr && leftCall->FCall && rightCall != nullptr && rightCall->FCall;
    FCompareNumbers = nullptr;
    if (FHolds != nullptr && FLeft->HasNumber() && FRight && FRight->HasNumber()) {
        const NumericForm left = FLeft->FNumeric;
        const NumericForm right = FRight->FNumeric;
        switch (Op) {
        case opGreat:
            FCompareNumbers = ComparisonFor<VariantRelation::Greater>(left, right);
            break;
        case opLess:
            FCompareNumbers = ComparisonFor<VariantRelation::Less>(left, right);
            break;
        case opLessEq:
            FCompareNumbers = ComparisonFor<VariantRelation::LessOrEqual>(left, right);
            break;
        case opGreatEq:
            FCompareNumbers = ComparisonFor<VariantRelation::GreaterOrEqual>(left, right);
            break;
        case opNonEq:
            FCompareNumbers = ComparisonFor<VariantRelation::NotEqual>(left, right);
            break;
        default:
            FCompareNumbers = ComparisonFor<VariantRelation::Equal>(left, right);
            break;
        }
    }
    FNumeric = NumericForm::None;
    FNumberOf = nullptr;
    if (Op == opUnMinus) {
        switch (FLeft->FNumeric) {
        case NumericForm::None:
            return;
        case NumericForm::Constant:
            FNumberOf = &NegatedNumber<NumericForm::Constant>;
            break;
        case NumericForm::Variable:
            FNumberOf = &NegatedNumber<NumericForm::Variable>;
            break;
        case NumericForm::Operator:
            FNumberOf = &NegatedNumber<NumericForm::Operator>;
            break;
        }
        FNumeric = NumericForm::Operator;
        return;
    }
    if (!FLeft->HasNumber() || !FRight || !FRight->HasNumber())
        return;
    const NumericForm left = FLeft->FNumeric;
    const NumericForm right = FRight->FNumeric;
    switch (Op) {
    case opPlus:
        FNumberOf = OperatorNumberFor<VariantOp::Add>(left, right);
        break;
    case opMinus:
        FNumberOf = OperatorNumberFor<VariantOp::Subtract>(left, right);
        break;
    case opMul:
        FNumberOf = OperatorNumberFor<VariantOp::Multiply>(left, right);
        break;
    case opDivFloat:
        FNumberOf = OperatorNumberFor<VariantOp::Divide>(left, right);
        break;
    case opDivInt:
        FNumberOf = OperatorNumberFor<VariantOp::IntDivide>(left, right);
        break;
    case opMod:
        FNumberOf = OperatorNumberFor<VariantOp::Modulus>(left, right);
        break;
    default:
        return;
    }
    FNumeric = NumericForm::Operator;
}

int TscOperatorNode::Priority() const
{
    switch (Op) {
    case opNone:
        return 7;
    case opLeftBracket:
        return 6;
    case opRightBracket:
        return 5;
    case opGreat:
    case opLess:
    case opLessEq:
    case opGreatEq:
    case opNonEq:
    case opEq:
    case opIn:
    case opIs:
        return 4;
    case opPlus:
    case opStrCat:
    case opMinus:
    case opOr:
    case opXor:
        return 3;
    case opMul:
    case opDivFloat:
    case opDivInt:
    case opMod:
    case opAnd:
    case opShl:
    case opShr:
        return 2;
    case opNot:
    case opUnMinus:
        return 1;
    }
    return 0;
}

namespace {

// The truth of a value for && and ||: nothing and no value are false, texts that are no
// Boolean or number are true when not empty.
bool Truth(const Variant& value, const FormatSettings& settings)
{
    switch (value.Kind()) {
    case VariantKind::Null:
    case VariantKind::Unassigned:
        return false;
    case VariantKind::String:
        try {
            return value.ToBoolean(settings);
        } catch (const EVariantError&) {
            return !value.AsString().isEmpty();
        }
    case VariantKind::Array:
    case VariantKind::Dispatch:
        return true;
    default:
        return value.ToBoolean(settings);
    }
}

bool InArray(const Variant& left, const Variant& set, const FormatSettings& settings)
{
    if (!set.IsArray() || set.ArrayDimCount() != 1)
        throw EVariantInvalidArgError();
    const VariantArrayBound bound = set.ArrayBound(0);
    for (int32_t i = bound.Low; i <= bound.High; ++i) {
        const int32_t index[] = {i};
        const Variant& element = set.ArrayItem(index);
        if (element.IsNull())
            continue;
        if (i + 2 <= bound.High) {
            const int32_t separator[] = {i + 1};
            if (set.ArrayItem(separator).IsNull()) {
                const int32_t upper[] = {i + 2};
                if (VariantCompare(VariantRelation::LessOrEqual, element, left, settings) &&
                    VariantCompare(VariantRelation::LessOrEqual, left, set.ArrayItem(upper), settings))
                    return true;
                i += 2;
                continue;
            }
        }
        if (VariantCompare(VariantRelation::Equal, element, left, settings))
            return true;
    }
    return false;
}

// The class a right operand of `is` names.
TscClassVariable* ClassOperand(TscExpressionNode* node)
{
    auto* designatorNode = ScAsDesignator(node);
    if (designatorNode == nullptr || designatorNode->FDesignator->Count() == 0)
        return nullptr;
    return dynamic_cast<TscClassVariable*>(designatorNode->FDesignator->Items(0)->Ref);
}

bool IsInstance(const Variant& value, TscClassVariable* descriptor)
{
    const uint32_t handle = ObjectHandles::HandleOf(value);
    if (handle == 0)
        return false;
    ScriptObject& object = ObjectHandles::Resolve(handle);
    if (descriptor->ClassRef != nullptr)
        return object.ScriptClass().InheritsFrom(*descriptor->ClassRef);
    for (const ScriptClassInfo* c = &object.ScriptClass(); c != nullptr; c = c->Ancestor) {
        if (c->Name.compare(descriptor->Name(), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Both operands of a two-operand node, left first, each once. The left value is copied when
// it is a variable's and reading the right one might run script code that changes it.
[[gnu::always_inline]] inline const Variant* FetchOperands(TscExpressionNode& leftNode, TscExpressionNode& rightNode, Variant& leftScratch,
                             Variant& rightScratch, const Variant*& right, const FormatSettings& settings)
{
    const Variant* left = &leftNode.Fetch(leftScratch, settings);
    if (left != &leftScratch && leftNode.DirectVariable() != nullptr && !rightNode.IsConstant()) {
        leftScratch = *left;
        left = &leftScratch;
    }
    right = &rightNode.Fetch(rightScratch, settings);
    return left;
}

} // namespace

inline bool TscOperatorNode::DirectOperands(const Variant*& left, const Variant*& right) const
{
    const TscCustomVariable* a = FLeft->DirectVariable();
    const TscCustomVariable* b = FRight->DirectVariable();
    if ((a != nullptr && a->OnGetVarValue) || (b != nullptr && b->OnGetVarValue))
        return false;
    left = FLeft->DirectValue();
    right = FRight->DirectValue();
    return true;
}

Variant TscOperatorNode::Evaluate(const FormatSettings& settings)
{
    if (FCallOperands)
        return EvaluateCalls(settings);
    if (FNumeric != NumericForm::None) {
        if (const TscNumber n = Number())
            return n.ToVariant();
    } else if (FCompareNumbers != nullptr) {
        if (const int holds = FCompareNumbers(*this); holds >= 0)
            return Variant(holds != 0);
    }
    if (FDirectOperands) {
        const Variant* left = nullptr;
        const Variant* right = nullptr;
        if (DirectOperands(left, right))
            return FCombine(*left, *right, settings);
    }
    if (FComputedOperands) {
        // Neither operand is at hand (calls, paths): each is computed, left first.
        const Variant left = FLeft->Evaluate(settings);
        const Variant right = FRight->Evaluate(settings);
        if (Op == opPlus)
            return VariantArithmetic<VariantOp::Add>(left, right, settings);
        return FCombine(left, right, settings);
    }
    if (FCombine != nullptr) {
        Variant leftScratch;
        Variant rightScratch;
        const Variant* right = nullptr;
        const Variant* left = FetchOperands(*FLeft, *FRight, leftScratch, rightScratch, right, settings);
        return FCombine(*left, *right, settings);
    }
    return EvaluateOperands(settings);
}

Variant TscOperatorNode::EvaluateCalls(const FormatSettings& settings)
{
    const Variant left = static_cast<TscDesignatorNode&>(*FLeft).FDesignator->CallRoutine();
    const Variant right = static_cast<TscDesignatorNode&>(*FRight).FDesignator->CallRoutine();
    if (Op == opPlus)
        return VariantArithmetic<VariantOp::Add>(left, right, settings);
    return FCombine(left, right, settings);
}

Variant TscOperatorNode::EvaluateOperands(const FormatSettings& settings)
{
    if (FCombine != nullptr) {
        Variant leftScratch;
        Variant rightScratch;
        const Variant* right = nullptr;
        const Variant* left = FetchOperands(*FLeft, *FRight, leftScratch, rightScratch, right, settings);
        return FCombine(*left, *right, settings);
    }
    switch (Op) {
    case opNone:
    case opLeftBracket:
    case opRightBracket:
        return FLeft ? FLeft->Evaluate(settings) : Variant::NullValue();
    case opNot: {
        Variant scratch;
        return VariantNot(FLeft->Fetch(scratch, settings), settings);
    }
    case opUnMinus: {
        Variant scratch;
        return VariantNegate(FLeft->Fetch(scratch, settings), settings);
    }
    case opAnd:
    case opOr: {
        Variant left = FLeft->Evaluate(settings);
        const bool isAnd = Op == opAnd;
        if (ShortCircuit == TscShortCircuit::Always) {
            if (Truth(left, settings) != isAnd)
                return left;
            return FRight->Evaluate(settings);
        }
        if (left.Kind() == VariantKind::Boolean) {
            if (left.AsBoolean() != isAnd)
                return left;
            return FRight->Evaluate(settings);
        }
        return VariantBinary(isAnd ? VariantOp::And : VariantOp::Or, left, FRight->Evaluate(settings), settings);
    }
    case opIn: {
        Variant left = FLeft->Evaluate(settings);
        if (auto* set = dynamic_cast<TscSetNode*>(FRight.get()))
            return Variant(set->FSetExpression->Check(left));
        return Variant(InArray(left, FRight->Evaluate(settings), settings));
    }
    case opIs: {
        Variant left = FLeft->Evaluate(settings);
        TscClassVariable* descriptor = ClassOperand(FRight.get());
        if (descriptor == nullptr)
            throw EInvalidCast();
        return Variant(IsInstance(left, descriptor));
    }
    default:
        break;
    }
    return Variant::NullValue();
}

bool TscOperatorNode::EvaluateCondition(const FormatSettings& settings)
{
    if (FCompareNumbers != nullptr) {
        if (const int holds = FCompareNumbers(*this); holds >= 0)
            return holds != 0;
    }
    if (FHolds != nullptr && FDirectOperands) {
        const Variant* left = nullptr;
        const Variant* right = nullptr;
        if (DirectOperands(left, right))
            return FHolds(*left, *right, settings);
    }
    return EvaluateConditionOperands(settings);
}

bool TscOperatorNode::EvaluateConditionOperands(const FormatSettings& settings)
{
    if (FHolds != nullptr) {
        const Variant* left = nullptr;
        const Variant* right = nullptr;
        Variant leftScratch;
        Variant rightScratch;
        left = FetchOperands(*FLeft, *FRight, leftScratch, rightScratch, right, settings);
        return FHolds(*left, *right, settings);
    }
    switch (Op) {
    case opNot: {
        Variant scratch;
        const Variant& value = FLeft->Fetch(scratch, settings);
        if (value.Kind() == VariantKind::Boolean)
            return !value.AsBoolean();
        return VariantNot(value, settings).ToBoolean(settings);
    }
    case opAnd:
    case opOr:
        if (ShortCircuit == TscShortCircuit::PascalBoolean) {
            Variant left = FLeft->Evaluate(settings);
            if (left.Kind() == VariantKind::Boolean) {
                if (left.AsBoolean() != (Op == opAnd))
                    return left.AsBoolean();
                return FRight->EvaluateCondition(settings);
            }
            return VariantBinary(Op == opAnd ? VariantOp::And : VariantOp::Or, left, FRight->Evaluate(settings),
                                 settings)
                .ToBoolean(settings);
        }
        return Evaluate(settings).ToBoolean(settings);
    default:
        return Evaluate(settings).ToBoolean(settings);
    }
}

std::unique_ptr<TscOperatorNode> ScCreateOperatorNode(const QString& text, TscScript* script,
                                                      TscShortCircuit shortCircuit)
{
    static const struct {
        const char16_t* text;
        TscOperatorType op;
    } kOperators[] = {
        {u" ", opNone},       {u"(", opLeftBracket}, {u")", opRightBracket}, {u">", opGreat},
        {u"<", opLess},       {u"<=", opLessEq},     {u">=", opGreatEq},     {u"<>", opNonEq},
        {u"=", opEq},         {u"in", opIn},         {u"is", opIs},          {u"+", opPlus},
        {u"strcat", opStrCat}, {u"-", opMinus},      {u"or", opOr},          {u"xor", opXor},
        {u"*", opMul},        {u"/", opDivFloat},    {u"div", opDivInt},     {u"mod", opMod},
        {u"and", opAnd},      {u"shl", opShl},       {u"shr", opShr},        {u"not", opNot},
        {u"unminus", opUnMinus},
    };
    // The builder gives the texts in lower case: an exact match first, told by the first
    // character and the length.
    const qsizetype size = text.size();
    if (size > 0) {
        const char16_t first = text.front().unicode();
        for (const auto& entry : kOperators) {
            if (entry.text[0] == first && std::char_traits<char16_t>::length(entry.text) == static_cast<size_t>(size) &&
                QStringView(text) == QStringView(entry.text))
                return std::make_unique<TscOperatorNode>(entry.op, script, shortCircuit);
        }
    }
    for (const auto& entry : kOperators) {
        if (text.compare(QStringView(entry.text), Qt::CaseInsensitive) == 0)
            return std::make_unique<TscOperatorNode>(entry.op, script, shortCircuit);
    }
    return nullptr;
}

// --- Building -------------------------------------------------------------------------------

TscExpression::TscExpression(TscScript* script)
    : FNode(std::make_unique<TscOperatorNode>(opNone, script, TscShortCircuit::PascalBoolean)), FCurNode(FNode.get()),
      FScript(script)
{
}

TscExpression::~TscExpression() = default;

void TscExpression::Attach(std::unique_ptr<TscExpressionNode> node)
{
    node->SourcePos = SourcePos;
    TscExpressionNode* raw = node.get();
    if (FCurNode->FLeft && FCurNode->FRight)
        throw EScriptException(ScMessage(TscMessage::SInvalidProgramTree).toStdString());
    FCurNode->AddNode(std::move(node));
    FCurNode = raw;
}

void TscExpression::AddConst(const Variant& value)
{
    Attach(std::make_unique<TscOperandNode>(value));
}

void TscExpression::AddDesignator(std::unique_ptr<TscDesignator> designator)
{
    Attach(std::make_unique<TscDesignatorNode>(std::move(designator)));
}

void TscExpression::AddSet(std::unique_ptr<TscSetExpression> set)
{
    Attach(std::make_unique<TscSetNode>(std::move(set)));
}

bool TscExpression::AddOperator(const QString& text)
{
    std::unique_ptr<TscOperatorNode> node = ScCreateOperatorNode(text, FScript, ShortCircuit);
    if (!node)
        return false;
    node->SourcePos = SourcePos;
    const TscOperatorType op = node->Op;
    if (op == opLeftBracket || op == opUnMinus || op == opNot) {
        Attach(std::move(node));
        return true;
    }
    if (op == opRightBracket) {
        TscExpressionNode* bracket = FCurNode;
        while (bracket != nullptr && bracket->Priority() <= 5)
            bracket = bracket->FParent;
        auto* leftBracket = ScAsOperator(bracket);
        if (leftBracket == nullptr || leftBracket->Op != opLeftBracket || !leftBracket->FLeft)
            return false;
        TscExpressionNode* parent = leftBracket->FParent;
        std::unique_ptr<TscExpressionNode> content = std::move(leftBracket->FLeft);
        std::unique_ptr<TscExpressionNode> removed = parent->RemoveNode(leftBracket);
        TscExpressionNode* raw = content.get();
        parent->AddNode(std::move(content));
        FCurNode = raw;
        return true;
    }
    const int priority = node->Priority();
    TscOperatorNode* raw = node.get();
    if (FCurNode == FNode.get() && !FNode->FLeft) {
        FNode->AddNode(std::move(node));
        FCurNode = raw;
        return true;
    }
    TscExpressionNode* taken = nullptr;
    TscExpressionNode* container = FCurNode;
    if (!(ScAsOperator(container) != nullptr &&
          static_cast<TscOperatorNode*>(container)->Op == opLeftBracket)) {
        taken = container;
        container = container->FParent;
    }
    while (container != nullptr && container->Priority() <= priority) {
        taken = container;
        container = container->FParent;
    }
    if (container == nullptr)
        return false;
    if (taken != nullptr) {
        std::unique_ptr<TscExpressionNode> moved = container->RemoveNode(taken);
        container->AddNode(std::move(node));
        raw->AddNode(std::move(moved));
    } else {
        container->AddNode(std::move(node));
    }
    FCurNode = raw;
    return true;
}

QString TscExpression::Finalize()
{
    if (FFinalized)
        return QString();
    FFinalized = true;
    std::unique_ptr<TscExpressionNode> root = std::move(FNode->FLeft);
    FNode = std::move(root);
    FCurNode = nullptr;
    if (!FNode)
        throw EScriptException(ScMessage(TscMessage::SInvalidProgramTree).toStdString());
    FNode->FParent = nullptr;

    // Types bottom-up, depth and leftover brackets, without recursion: a post-order walk.
    QString incompatible;
    struct Visit {
        TscExpressionNode* Node;
        int Depth;
        bool ChildrenDone;
    };
    std::vector<Visit> stack;
    stack.reserve(16); // one allocation for the usual expression
    stack.push_back({FNode.get(), 1, false});
    FDepth = 0;
    while (!stack.empty()) {
        Visit& visit = stack.back();
        TscExpressionNode* node = visit.Node;
        if (!visit.ChildrenDone) {
            visit.ChildrenDone = true;
            const int depth = visit.Depth;
            FDepth = std::max(FDepth, depth);
            if (node->FRight)
                stack.push_back({node->FRight.get(), depth + 1, false});
            if (node->FLeft)
                stack.push_back({node->FLeft.get(), depth + 1, false});
            continue;
        }
        stack.pop_back();
        auto* op = ScAsOperator(node);
        if (op == nullptr)
            continue;
        if (op->Op == opLeftBracket || op->Op == opRightBracket || op->Op == opNone || !op->FLeft)
            throw EScriptException(ScMessage(TscMessage::SInvalidProgramTree).toStdString());
        const bool binary = op->Op != opNot && op->Op != opUnMinus;
        if (binary && !op->FRight)
            throw EScriptException(ScMessage(TscMessage::SInvalidProgramTree).toStdString());
        const TscTypeRec left{op->FLeft->Typ, op->FLeft->TypeName};
        const TscTypeRec right = op->FRight ? TscTypeRec{op->FRight->Typ, op->FRight->TypeName}
                                            : TscTypeRec{fvtVariant, QString()};
        op->FOptimizeBool = left.Typ == fvtBool && right.Typ == fvtBool;
        op->Prepare();
        const TscOperatorType o = op->Op;
        const bool comparison = o == opGreat || o == opLess || o == opLessEq || o == opGreatEq || o == opNonEq ||
                                o == opEq;
        bool compatible = true;
        if (o == opIs) {
            compatible = ClassOperand(op->FRight.get()) != nullptr;
        } else if (o == opStrCat) {
            // Text concatenation takes any two values and makes a text of them.
            compatible = left.Typ != fvtConstructor && right.Typ != fvtConstructor;
        } else if (!AreTypesCompatible(left, right, FScript)) {
            compatible = false;
        } else if (left.Typ == fvtBool) {
            compatible = o == opNonEq || o == opEq || o == opOr || o == opXor || o == opAnd || o == opNot;
        } else if (left.Typ == fvtChar || left.Typ == fvtString) {
            compatible = comparison || o == opPlus || o == opStrCat || o == opIn;
        } else if (left.Typ == fvtClass || left.Typ == fvtArray) {
            compatible = o == opNonEq || o == opEq;
        }
        if (!compatible && incompatible.isEmpty())
            incompatible = op->SourcePos.isEmpty() ? QStringLiteral("0:0") : op->SourcePos;
        TscVarType result = left.Typ;
        QString resultName = left.TypeName;
        const auto pair = [&](TscVarType a, TscVarType b) {
            return (left.Typ == a && right.Typ == b) || (left.Typ == b && right.Typ == a);
        };
        if (comparison || o == opIn || o == opIs) {
            result = fvtBool;
            resultName.clear();
        } else if (o == opStrCat && (left.Typ == fvtString || left.Typ == fvtChar || right.Typ == fvtString)) {
            result = fvtString;
            resultName.clear();
        } else if (o == opDivFloat && (left.Typ == fvtInt || left.Typ == fvtInt64)) {
            result = fvtFloat;
        } else if (pair(fvtInt, fvtFloat) || pair(fvtFloat, fvtInt64)) {
            result = fvtFloat;
        } else if (pair(fvtInt, fvtInt64)) {
            result = fvtInt64;
        }
        op->Typ = result;
        op->TypeName = resultName;
    }
    Typ = FNode->Typ;
    TypeName = FNode->TypeName;
    auto* single = ScAsDesignator(FNode.get());
    IsReadOnly = single == nullptr || single->FDesignator->IsReadOnly;
    return incompatible;
}

// --- Running --------------------------------------------------------------------------------

void TscExpression::SetValue(const Variant& value)
{
    if (IsReadOnly)
        return;
    if (auto* single = ScAsDesignator(FNode.get()))
        single->FDesignator->SetValue(value);
}

TscCustomVariable* TscExpression::SingleItem() const
{
    if (auto* single = ScAsDesignator(FNode.get()))
        return single->FVar;
    return nullptr;
}

TscDesignator* TscExpression::SingleDesignator() const
{
    if (auto* single = ScAsDesignator(FNode.get()))
        return single->FDesignator.get();
    return nullptr;
}

bool TscExpression::IsConstant() const
{
    return FNode != nullptr && typeid(*FNode) == typeid(TscOperandNode);
}

void TscExpression::Optimize(TscDesignator* target, QChar& modificator)
{
    TscCustomVariable* variable = target->Variable();
    auto* op = ScAsOperator(FNode.get());
    if (variable == nullptr || op == nullptr)
        return;
    QChar symbol;
    switch (op->Op) {
    case opPlus:
        symbol = u'+';
        break;
    case opMinus:
        symbol = u'-';
        break;
    case opMul:
        symbol = u'*';
        break;
    case opDivFloat:
        symbol = u'/';
        break;
    default:
        return;
    }
    const auto names = [variable](TscExpressionNode* node) {
        auto* designatorNode = ScAsDesignator(node);
        return designatorNode != nullptr && designatorNode->FDesignator->Variable() == variable;
    };
    std::unique_ptr<TscExpressionNode> rest;
    if (names(op->FLeft.get())) {
        rest = std::move(op->FRight);
    } else if ((symbol == u'+' || symbol == u'*') && names(op->FRight.get()) && variable->Typ != fvtString &&
               variable->Typ != fvtVariant) {
        rest = std::move(op->FLeft);
    } else {
        return;
    }
    rest->FParent = nullptr;
    FNode = std::move(rest);
    auto* single = ScAsDesignator(FNode.get());
    IsReadOnly = single == nullptr || single->FDesignator->IsReadOnly;
    modificator = symbol;
}
