#pragma once

// Access paths (designators) and set constructors. A designator is a list of steps, each
// naming one item of a symbol table or one member of a class, with the argument expressions
// of that step; reading walks the steps, feeding each the value of the one before, writing
// walks the same way and writes into the last step.

#include "sc_iexpression.h"
#include "sc_iinterpreter.h"

#include <QString>

#include <memory>
#include <vector>

class TscExpression;

enum class TscStepKind : uint8_t {
    Item,         // Ref is read or written with the step's arguments
    ClassPrefix,  // a class named before its constructor: no value, the class goes to the next step
    LateMember,   // a member found at run time by the class of the value before (re-resolved when it changes)
    DynamicIndex, // an index on a value whose kind only the run shows: array, text or object
    Dispatch,     // a member of a late-bound (dispatch) object
};

// One step of an access path.
class TscDesignatorItem {
public:
    TscDesignatorItem() = default;
    TscDesignatorItem(const TscDesignatorItem&) = delete;
    TscDesignatorItem& operator=(const TscDesignatorItem&) = delete;
    ~TscDesignatorItem();

    int Count() const { return static_cast<int>(FArgs.size()); }
    TscExpression* Arg(int index) const { return FArgs[static_cast<size_t>(index)].get(); }
    const std::vector<std::unique_ptr<TscExpression>>& Args() const { return FArgs; }
    void AddArg(std::unique_ptr<TscExpression> arg);
    std::vector<std::unique_ptr<TscExpression>> TakeArgs();

    bool Flag = false;
    TscCustomVariable* Ref = nullptr;
    QString SourcePos;
    TscStepKind Kind = TscStepKind::Item;
    QString MemberName; // LateMember and Dispatch steps: the member as written

    // Cache of a LateMember step: the class it was resolved for and the member found.
    const ScriptClassInfo* ResolvedClass = nullptr;
    TscCustomVariable* ResolvedMember = nullptr;

private:
    std::vector<std::unique_ptr<TscExpression>> FArgs;
};

// dkCall: a lone step calling a script routine.
enum TscDesignatorKind : uint8_t { dkOther, dkVariable, dkStringArray, dkArray, dkCall };

class TscDesignator final : public TscCustomVariable {
public:
    explicit TscDesignator(TscScript* program);
    ~TscDesignator() override;

    Variant GetValue() override;
    void SetValue(const Variant& value) override;

    int Count() const { return static_cast<int>(FItems.size()); }
    TscDesignatorItem* Items(int index) const { return FItems[static_cast<size_t>(index)].get(); }
    TscDesignatorItem* LastItem() const { return FItems.empty() ? nullptr : FItems.back().get(); }
    TscDesignatorItem* AddItem();
    void RemoveLastItem();

    // Fixes type, writability and kind once every step is added.
    void Finalize();

    // The variable a one-step path names (dkVariable), else null.
    TscCustomVariable* Variable() const { return Kind == dkVariable ? RefItem : nullptr; }
    TscScript* Program() const { return FProgram; }

    TscDesignatorKind Kind = dkOther;
    TscScript* FMainProg;
    TscScript* FProgram;
    TscCustomVariable* FRef1 = nullptr; // dkStringArray: the index expression; dkArray: the array helper
    TscDesignatorItem* FRef2 = nullptr; // dkArray: the indexing step

    // GetValue of a dkCall path: what Walk does for a lone step naming a script routine.
    // Inlined into the call node, so that a script call costs one native frame less.
    [[gnu::always_inline]] inline Variant CallRoutine()
    {
        if (FCallWritesBack != 0)
            return CallRoutineWritingBack(); // var parameters, or not known yet
        auto* routine = static_cast<TscProcVariable*>(RefItem);
        const std::vector<std::unique_ptr<TscExpression>>& arguments = FItems.front()->Args();
        if (arguments.size() != 1)
            return routine->RunWith(arguments, NeedResult);
        // One argument, the usual call: its value made here, in the caller's frame.
        Variant value = arguments.front()->Value();
        routine->NeedResult = NeedResult;
        return routine->Run(std::span<Variant>(&value, 1), false);
    }

private:
    // CallRoutine of a routine with var parameters: their values go back into the arguments.
    // Finds out first whether the routine has any.
    [[gnu::noinline]] Variant CallRoutineWritingBack();
    Variant Walk(const Variant* assigned);
    Variant EvaluateStep(size_t index, TscStepContext& context, const Variant* assigned);
    void WriteBack(TscDesignatorItem& item, std::span<Variant> arguments);

    std::vector<std::unique_ptr<TscDesignatorItem>> FItems;
    int8_t FCallWritesBack = -1; // dkCall: the routine has var parameters (-1: not known yet)
};

// A set constructor: element expressions, with a null entry between the two ends of a range.
class TscSetExpression : public TscCustomVariable {
public:
    TscSetExpression();
    ~TscSetExpression() override;

    // The element values as a Variant array 0..count-1, Null at each range separator.
    Variant GetValue() override;
    // Whether value equals an element or lies inside a range (both ends included).
    bool Check(const Variant& value);

    void AddElement(std::unique_ptr<TscExpression> element); // null: range separator
    int Count() const { return static_cast<int>(FElements.size()); }

private:
    std::vector<std::unique_ptr<TscExpression>> FElements;
};
