#include "sc_iinterpreter_designators.h"

#include "sc_idisp.h"

#include "sc_iconsts.h"
#include "sc_iexpression.h"
#include "sc_iinterpreter_script.h"

#include "report/core/ScriptErrors.h"

#include <memory>
#include <new>

namespace {

// Argument values of one step: in the frame for the usual few, on the heap beyond. Only the
// values used are constructed.
class ArgumentFrame {
public:
    [[gnu::always_inline]] explicit ArgumentFrame(size_t count) : FCount(count)
    {
        if (count > kInline) {
            AllocateHeap();
            return;
        }
        FData = reinterpret_cast<Variant*>(FInline);
        for (size_t i = 0; i < count; ++i)
            new (FData + i) Variant();
    }
    [[gnu::always_inline]] ~ArgumentFrame()
    {
        if (!FHeap)
            std::destroy_n(FData, FCount);
    }
    ArgumentFrame(const ArgumentFrame&) = delete;
    ArgumentFrame& operator=(const ArgumentFrame&) = delete;
    std::span<Variant> Span() { return {FData, FCount}; }

private:
    [[gnu::noinline]] void AllocateHeap()
    {
        FHeap = std::make_unique<Variant[]>(FCount);
        FData = FHeap.get();
    }

    static constexpr size_t kInline = 6;
    alignas(Variant) unsigned char FInline[kInline * sizeof(Variant)];
    std::unique_ptr<Variant[]> FHeap;
    Variant* FData;
    size_t FCount;
};

// Where a step keeps its value, when it keeps one: container writes go there in place.
bool KeepsValue(const TscCustomVariable* item)
{
    return item->Has(TscCustomVariable::HoldsValue);
}

[[noreturn]] void ThrowUndeclared(const QString& name)
{
    throw EScriptException((ScMessage(TscMessage::SIdUndeclared) + u'\'' + name + u'\'').toStdString());
}

} // namespace

// --- Steps ----------------------------------------------------------------------------------

TscDesignatorItem::~TscDesignatorItem() = default;

void TscDesignatorItem::AddArg(std::unique_ptr<TscExpression> arg)
{
    FArgs.push_back(std::move(arg));
}

std::vector<std::unique_ptr<TscExpression>> TscDesignatorItem::TakeArgs()
{
    return std::move(FArgs);
}

// --- Paths ----------------------------------------------------------------------------------

TscDesignator::TscDesignator(TscScript* program)
    : TscCustomVariable(QString(), fvtVariant, QString()), FMainProg(program->MainProgram()), FProgram(program)
{
}

TscDesignator::~TscDesignator() = default;

TscDesignatorItem* TscDesignator::AddItem()
{
    FItems.push_back(std::make_unique<TscDesignatorItem>());
    return FItems.back().get();
}

void TscDesignator::RemoveLastItem()
{
    if (!FItems.empty())
        FItems.pop_back();
}

void TscDesignator::Finalize()
{
    Kind = dkOther;
    RefItem = nullptr;
    FRef1 = nullptr;
    FRef2 = nullptr;
    TscDesignatorItem* last = LastItem();
    if (last == nullptr)
        return;
    if (last->Kind != TscStepKind::Item || last->Ref == nullptr) {
        Typ = fvtVariant;
        TypeName.clear();
        IsReadOnly = false;
        return;
    }
    Typ = last->Ref->Typ;
    TypeName = last->Ref->TypeName;
    IsReadOnly = last->Ref->IsReadOnly;
    if (Typ == fvtConstructor) {
        Typ = fvtClass;
        TypeName = FItems.size() >= 2 && FItems[FItems.size() - 2]->Ref ? FItems[FItems.size() - 2]->Ref->TypeName
                                                                          : QString();
    }
    if (FItems.size() == 1 && last->Count() == 0 && KeepsValue(last->Ref)) {
        Kind = dkVariable;
        RefItem = last->Ref;
        return;
    }
    if (FItems.size() == 1 && last->Ref->Has(Routine) && !last->Ref->IsMacro) {
        Kind = dkCall;
        RefItem = last->Ref;
        return;
    }
    if (FItems.size() == 2 && FItems[0]->Kind == TscStepKind::Item && FItems[0]->Count() == 0 &&
        last->Kind == TscStepKind::Item) {
        TscCustomVariable* first = FItems[0]->Ref;
        if (dynamic_cast<TscStringVariable*>(first) != nullptr && dynamic_cast<TscStringHelper*>(last->Ref) != nullptr &&
            last->Count() == 1) {
            Kind = dkStringArray;
            RefItem = first;
            FRef1 = last->Arg(0);
        } else if (dynamic_cast<TscVariable*>(first) != nullptr && first->Typ == fvtArray &&
                   dynamic_cast<TscArrayHelper*>(last->Ref) != nullptr && last->Ref == first->RefItem) {
            Kind = dkArray;
            RefItem = first;
            FRef1 = first->RefItem;
            FRef2 = last;
        }
    }
}

Variant TscDesignator::GetValue()
{
    switch (Kind) {
    case dkVariable:
        return RefItem->GetValue();
    case dkStringArray:
        return Variant(TscStringHelper::Character(static_cast<TscStringVariable*>(RefItem)->Str(), FRef1->GetValue()));
    case dkArray: {
        if (FRef2->Count() == 1) {
            // One index: an Int32 inside the bounds reads the element directly.
            const Variant index = FRef2->Arg(0)->Value();
            if (index.Kind() == VariantKind::Int32) {
                if (const Variant* element = RefItem->PValue().ElementAt(index.AsInt32()))
                    return *element;
            }
            return TscArrayHelper::Element(RefItem->PValue(), std::span<const Variant>(&index, 1));
        }
        ArgumentFrame frame(static_cast<size_t>(FRef2->Count()));
        std::span<Variant> indexes = frame.Span();
        for (int i = 0; i < FRef2->Count(); ++i)
            indexes[static_cast<size_t>(i)] = FRef2->Arg(i)->GetValue();
        return TscArrayHelper::Element(RefItem->PValue(), indexes);
    }
    case dkCall:
        return CallRoutine();
    case dkOther:
        break;
    }
    return Walk(nullptr);
}

Variant TscDesignator::CallRoutineWritingBack()
{
    if (FCallWritesBack < 0) {
        FCallWritesBack = static_cast<TscProcVariable*>(RefItem)->HasVarParams() ? 1 : 0;
        return CallRoutine();
    }
    TscDesignatorItem& item = *FItems.front();
    auto* routine = static_cast<TscProcVariable*>(RefItem);
    const size_t count = static_cast<size_t>(item.Count());
    ArgumentFrame frame(count);
    std::span<Variant> arguments = frame.Span();
    for (size_t a = 0; a < count; ++a)
        arguments[a] = item.Arg(static_cast<int>(a))->GetValue();
    routine->NeedResult = NeedResult;
    Variant result = routine->Run(arguments, true);
    WriteBack(item, arguments);
    return result;
}

void TscDesignator::SetValue(const Variant& value)
{
    switch (Kind) {
    case dkVariable:
        RefItem->SetValue(value);
        return;
    case dkStringArray: {
        const Variant index = FRef1->GetValue();
        TscStringHelper::SetCharacter(static_cast<TscStringVariable*>(RefItem)->Str(), index, value);
        return;
    }
    case dkArray: {
        if (RefItem->IsReadOnly)
            return;
        if (FRef2->Count() == 1) {
            // One index: a value that is no array goes into the element directly.
            const Variant index = FRef2->Arg(0)->Value();
            if (index.Kind() == VariantKind::Int32 && value.Kind() != VariantKind::Array) {
                if (Variant* element = RefItem->PValue().ElementForWrite(index.AsInt32())) {
                    ScStoreForType(FRef1->Typ, *element, value);
                    return;
                }
            }
            TscArrayHelper::SetElement(RefItem->PValue(), std::span<const Variant>(&index, 1),
                                       ScConvertForType(FRef1->Typ, value));
            return;
        }
        ArgumentFrame frame(static_cast<size_t>(FRef2->Count()));
        std::span<Variant> indexes = frame.Span();
        for (int i = 0; i < FRef2->Count(); ++i)
            indexes[static_cast<size_t>(i)] = FRef2->Arg(i)->GetValue();
        TscArrayHelper::SetElement(RefItem->PValue(), indexes, ScConvertForType(FRef1->Typ, value));
        return;
    }
    case dkCall:
    case dkOther:
        break;
    }
    Walk(&value);
}

void TscDesignator::WriteBack(TscDesignatorItem& item, std::span<Variant> arguments)
{
    const TscCustomVariable* ref = item.Kind == TscStepKind::LateMember ? item.ResolvedMember : item.Ref;
    if (ref == nullptr)
        return;
    const size_t count = std::min(arguments.size(), static_cast<size_t>(ref->ParamCount()));
    for (size_t i = 0; i < count && i < static_cast<size_t>(item.Count()); ++i) {
        if (ref->Param(static_cast<int>(i))->IsVarParam)
            item.Arg(static_cast<int>(i))->SetValue(arguments[i]);
    }
}

namespace {

bool LateIndexGoesToMember(const TscCustomVariable* member)
{
    const auto* method = dynamic_cast<const TscMethodHelper*>(member);
    return method != nullptr && method->IndexMethod;
}

// The member a late-bound step names for the class of the value before it; cached per class.
TscCustomVariable* ResolveLateMember(TscDesignatorItem& item, const Variant& parent, TscScript* program)
{
    ScriptObject& object = ObjectHandles::Resolve(ObjectHandles::HandleOf(parent));
    const ScriptClassInfo* cls = &object.ScriptClass();
    if (item.ResolvedClass == cls && item.ResolvedMember != nullptr)
        return item.ResolvedMember;
    TscCustomVariable* member = nullptr;
    // The class itself, else the nearest registered ancestor.
    for (const ScriptClassInfo* c = cls; c != nullptr && member == nullptr; c = c->Ancestor) {
        if (TscClassVariable* descriptor = program->FindClass(c->Name))
            member = descriptor->Find(item.MemberName);
    }
    if (member == nullptr)
        ThrowUndeclared(item.MemberName);
    if (item.Flag && !LateIndexGoesToMember(member)) {
        // The index applies to the member's value, not to the member.
    } else if (item.Count() < member->GetNumberOfRequiredParams())
        throw EScriptException(ScMessage(TscMessage::SNotEnoughParams).toStdString());
    if (item.Count() > member->ParamCount())
        throw EScriptException(ScMessage(TscMessage::STooManyParams).toStdString());
    item.ResolvedClass = cls;
    item.ResolvedMember = member;
    return member;
}

TscClassVariable* DescriptorOf(const Variant& value, TscScript* program)
{
    ScriptObject& object = ObjectHandles::Resolve(ObjectHandles::HandleOf(value));
    for (const ScriptClassInfo* c = &object.ScriptClass(); c != nullptr; c = c->Ancestor) {
        if (TscClassVariable* descriptor = program->FindClass(c->Name))
            return descriptor;
    }
    return nullptr;
}

// Writes value into element `indexes` of the container held in storage (an array or a text).
void WriteIntoContainer(Variant& storage, std::span<Variant> indexes, const Variant& value)
{
    if (storage.IsArray()) {
        TscArrayHelper::SetElement(storage, indexes, value);
        return;
    }
    if (storage.IsString()) {
        if (indexes.size() != 1)
            throw EVariantInvalidArgError();
        TscStringHelper::CheckedIndex(storage.AsString(), indexes[0]);
        const QString replacement = value.ToString(ScActiveSettings());
        QString text = storage.AsString();
        storage = Variant(); // the only reference left: the character is replaced in place
        TscStringHelper::SetCharacter(text, indexes[0], Variant(replacement));
        storage = Variant(std::move(text));
        return;
    }
    throw EVariantInvalidArgError();
}

} // namespace

Variant TscDesignator::Walk(const Variant* assigned)
{
    ScCheckStack();
    const size_t n = FItems.size();
    Variant value = Variant::NullValue();
    TscCustomVariable* previous = nullptr;
    TscClassVariable* classBefore = nullptr;
    // The step before the one being evaluated, for writing a changed container back.
    Variant previousParent = Variant::NullValue();
    TscCustomVariable* previousParentRef = nullptr;
    std::vector<Variant> previousArguments;
    TscCustomVariable* previousStep = nullptr;
    // A container that the step before returned: its element changes in a copy, which goes
    // back through that step.
    const auto giveBack = [&](Variant container, std::span<Variant> indexes, const Variant& element) {
        WriteIntoContainer(container, indexes, element);
        TscStepContext back;
        back.Program = FProgram;
        back.Parent = previousParent;
        back.ParentRef = previousParentRef;
        back.Args = previousArguments;
        previousStep->WriteStep(back, container);
    };

    for (size_t i = 0; i < n; ++i) {
        TscDesignatorItem& item = *FItems[i];
        const bool last = i + 1 == n;
        const bool writing = last && assigned != nullptr;

        if (item.Kind == TscStepKind::ClassPrefix) {
            classBefore = static_cast<TscClassVariable*>(item.Ref);
            value = Variant::NullValue();
            previous = nullptr;
            previousStep = nullptr;
            continue;
        }

        ArgumentFrame frame(static_cast<size_t>(item.Count()));
        std::span<Variant> arguments = frame.Span();
        TscCustomVariable* ref = item.Ref;
        TscStepKind kind = item.Kind;
        if (kind == TscStepKind::LateMember) {
            if (value.Kind() == VariantKind::Dispatch)
                kind = TscStepKind::Dispatch;
            else
                ref = ResolveLateMember(item, value, FProgram);
            if (ref != nullptr && item.Flag && !LateIndexGoesToMember(ref)) {
                // member[index]: the member's value first, then the index on it.
                TscStepContext member;
                member.Program = FProgram;
                member.Parent = value;
                member.ParentRef = previous != nullptr && KeepsValue(previous) ? previous : nullptr;
                member.NeedResult = true;
                value = ref->ReadStep(member);
                // A changed element goes back through the member.
                previousParent = member.Parent;
                previousParentRef = member.ParentRef;
                previousArguments.clear();
                previousStep = ref;
                previous = nullptr;
                ref = nullptr;
                kind = TscStepKind::DynamicIndex;
            }
        }
        const bool macro = ref != nullptr && ref->IsMacro;
        for (int a = 0; a < item.Count(); ++a) {
            TscExpression* argument = item.Arg(a);
            arguments[static_cast<size_t>(a)] = macro ? Variant(argument->Source) : argument->GetValue();
        }

        TscStepContext context;
        context.Program = FProgram;
        context.Parent = value;
        context.ParentRef = previous != nullptr && KeepsValue(previous) ? previous : nullptr;
        context.Args = arguments;
        context.Class = classBefore;
        context.NeedResult = !last || NeedResult;
        classBefore = nullptr;

        if (kind == TscStepKind::Dispatch) {
            if (writing) {
                TscOLEHelper::Write(value, item.MemberName, arguments, *assigned);
                return Variant::NullValue();
            }
            value = TscOLEHelper::Read(value, item.MemberName, arguments, context.NeedResult);
            previous = nullptr;
            previousStep = nullptr;
            continue;
        }

        if (kind == TscStepKind::DynamicIndex) {
            if (value.Kind() == VariantKind::Object) {
                // An object indexed: its class's default property.
                TscClassVariable* descriptor = DescriptorOf(value, FProgram);
                if (descriptor == nullptr || descriptor->DefProperty == nullptr)
                    throw EScriptException(
                        FormatScMessage(TscMessage::SClassError, descriptor ? descriptor->Name() : QStringLiteral("?"))
                            .toStdString());
                ref = descriptor->DefProperty;
            } else {
                ref = nullptr;
            }
        }

        if (ref == nullptr) {
            // An index into an array or a text that only the run shows.
            if (writing) {
                context.Parent = Variant();
                if (previous != nullptr && KeepsValue(previous)) {
                    value = Variant();
                    if (previous->IsReadOnly)
                        return Variant::NullValue();
                    if (auto* text = dynamic_cast<TscStringVariable*>(previous)) {
                        if (arguments.size() != 1)
                            throw EVariantInvalidArgError();
                        TscStringHelper::SetCharacter(text->Str(), arguments[0], *assigned);
                    } else {
                        WriteIntoContainer(previous->PValue(), arguments, *assigned);
                    }
                } else if (previousStep != nullptr) {
                    giveBack(std::move(value), arguments, *assigned);
                }
                return Variant::NullValue();
            }
            if (value.IsArray())
                value = TscArrayHelper::Element(value, arguments);
            else if (value.IsString() && arguments.size() == 1)
                value = Variant(TscStringHelper::Character(value.AsString(), arguments[0]));
            else
                throw EVariantInvalidArgError();
            previous = nullptr;
            previousStep = nullptr;
            continue;
        }

        if (writing) {
            const bool container = ref->Has(TscCustomVariable::ContainerStep);
            const bool arrayHelper = container && dynamic_cast<TscArrayHelper*>(ref) != nullptr;
            if (arrayHelper && context.ParentRef != nullptr) {
                // In place: no other copy of the array may be alive, or every write would copy it.
                value = Variant();
                context.Parent = Variant();
                if (!context.ParentRef->IsReadOnly)
                    TscArrayHelper::SetElement(context.ParentRef->PValue(), arguments,
                                               ScConvertForType(ref->Typ, *assigned));
            } else if (container && context.ParentRef == nullptr && previousStep != nullptr) {
                giveBack(std::move(value), arguments, ScConvertForType(ref->Typ, *assigned));
            } else if (auto* text = dynamic_cast<TscStringVariable*>(context.ParentRef);
                       text != nullptr && dynamic_cast<TscStringHelper*>(ref) != nullptr) {
                if (arguments.size() != 1)
                    throw EVariantInvalidArgError();
                TscStringHelper::SetCharacter(text->Str(), arguments[0], *assigned);
            } else {
                ref->WriteStep(context, *assigned);
            }
            WriteBack(item, arguments);
            return Variant::NullValue();
        }

        ref->NeedResult = context.NeedResult;
        Variant next = ref->ReadStep(context);
        if (ref->ParamCount() > 0)
            WriteBack(item, arguments);
        if (assigned != nullptr) {
            // Kept only for writing: a changed container goes back through this step.
            previousParent = std::move(context.Parent);
            previousParentRef = context.ParentRef;
            previousArguments.assign(arguments.begin(), arguments.end());
        }
        previousStep = ref;
        value = std::move(next);
        previous = ref;
        if (ref->Has(TscCustomVariable::ClassItem))
            classBefore = static_cast<TscClassVariable*>(ref);
    }
    return value;
}

// --- Set constructors -----------------------------------------------------------------------

TscSetExpression::TscSetExpression() : TscCustomVariable(QString(), fvtVariant, QString()) {}

TscSetExpression::~TscSetExpression() = default;

void TscSetExpression::AddElement(std::unique_ptr<TscExpression> element)
{
    FElements.push_back(std::move(element));
}

Variant TscSetExpression::GetValue()
{
    const VariantArrayBound bounds[] = {{0, static_cast<int32_t>(FElements.size()) - 1}};
    Variant values = Variant::CreateArray(bounds);
    for (size_t i = 0; i < FElements.size(); ++i) {
        const int32_t index[] = {static_cast<int32_t>(i)};
        values.SetArrayItem(index, FElements[i] ? FElements[i]->GetValue() : Variant::NullValue());
    }
    return values;
}

bool TscSetExpression::Check(const Variant& value)
{
    const FormatSettings& settings = ScActiveSettings();
    const size_t n = FElements.size();
    for (size_t i = 0; i < n;) {
        if (FElements[i] == nullptr) {
            ++i;
            continue;
        }
        if (i + 2 < n && FElements[i + 1] == nullptr && FElements[i + 2] != nullptr) {
            const Variant low = FElements[i]->GetValue();
            const Variant high = FElements[i + 2]->GetValue();
            if (VariantCompare(VariantRelation::LessOrEqual, low, value, settings) &&
                VariantCompare(VariantRelation::LessOrEqual, value, high, settings))
                return true;
            i += 3;
            continue;
        }
        if (VariantCompare(VariantRelation::Equal, FElements[i]->GetValue(), value, settings))
            return true;
        ++i;
    }
    return false;
}
