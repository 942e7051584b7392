// The program builder, continued: expressions and access paths.

#include "sc_iilparser_build.h"

#include "sc_iconsts.h"
#include "sc_iilparser.h"
#include "sc_iinterpreter_script.h"
#include "sc_itools_types.h"
#include "sc_xml.h"

#include "platform/DateTime.h"
#include "report/core/ScriptErrors.h"

// --- Expressions ----------------------------------------------------------------------------

std::unique_ptr<TscExpression> TscProgramBuilder::BuildExpression(const TscXMLItem* expr, TscScript* program,
                                                                 bool withSource)
{
    DepthScope depth(*this);
    if (!Named(expr, "expr"))
        Fail(ScMessage(TscMessage::SInvalidProgramTree));
    auto expression = std::make_unique<TscExpression>(FScript);
    expression->ShortCircuit = FShortCircuit;
    SetPos(expr);
    expression->SourcePos = FErrorPos;

    // Nested expr elements feed the same expression: walked with a stack of positions.
    struct Frame {
        const TscXMLItem* Element;
        int Next;
    };
    std::vector<Frame> frames{{expr, 0}};
    QString previousOperator;
    while (!frames.empty()) {
        Frame& frame = frames.back();
        if (frame.Next >= frame.Element->Count()) {
            frames.pop_back();
            continue;
        }
        const int index = frame.Next++;
        const TscXMLItem* child = frame.Element->Items(index);
        const bool lastChild = index == frame.Element->Count() - 1;
        SetPos(child);
        expression->SourcePos = FErrorPos;
        const QString name = Lower(child);
        if (Is(name, u"op")) {
            const QString text = child->TextProp().toLower();
            if (lastChild && text != u")")
                continue;
            if (!expression->AddOperator(text))
                Fail(ScMessage(TscMessage::SInvalidProgramTree));
            previousOperator = text;
            continue;
        }
        if (Is(name, u"number") || Is(name, u"string")) {
            try {
                expression->AddConst(TokenToValue(child->TextProp()));
            } catch (const EConvertError&) {
                Fail(ScMessage(TscMessage::SInvalidProgramTree));
            }
        } else if (Is(name, u"dsgn")) {
            expression->AddDesignator(DoDesignator(child, program, emNone, previousOperator == u"is"));
        } else if (Is(name, u"set")) {
            expression->AddSet(BuildSet(child, program));
        } else if (Is(name, u"new")) {
            expression->AddDesignator(DoDesignator(Child(child, 0), program, emCreate));
        } else if (Is(name, u"expr")) {
            if (frames.size() > static_cast<size_t>(kScMaxNesting))
                Fail(FormatScMessage(TscMessage::SScriptTooDeep, QString::number(kScMaxNesting)));
            frames.push_back({child, 0});
        } else {
            Fail(ScMessage(TscMessage::SInvalidProgramTree));
        }
        previousOperator.clear();
    }
    expression->SourcePos = expr->Prop(QStringLiteral("pos"));
    if (withSource && FParser != nullptr)
        expression->Source = FParser->SourceText(expr->Prop(QStringLiteral("pos")), expr->Prop(QStringLiteral("pos1")));
    const QString incompatible = expression->Finalize();
    if (expression->Depth() > kScMaxExpressionDepth)
        Fail(FormatScMessage(TscMessage::SExpressionTooDeep, QString::number(kScMaxExpressionDepth)));
    if (!incompatible.isEmpty()) {
        FErrorPos = incompatible;
        Fail(ScMessage(TscMessage::SIncompatibleTypes));
    }
    return expression;
}

// --- Access paths ---------------------------------------------------------------------------

bool TscProgramBuilder::FindInWith(const QString& name, TscScript* program, TscDesignator* designator)
{
    for (auto entry = FWithList.rbegin(); entry != FWithList.rend(); ++entry) {
        TscCustomVariable* variable = program->FindLocal(entry->Name);
        if (variable == nullptr || variable != entry->Statement->FVariable)
            continue;
        if (variable->Typ == fvtVariant) {
            if (program->Find(name) != nullptr)
                return false;
            TscDesignatorItem* withItem = designator->AddItem();
            withItem->Ref = variable;
            withItem->SourcePos = FErrorPos;
            TscDesignatorItem* member = designator->AddItem();
            member->Kind = TscStepKind::LateMember;
            member->MemberName = name;
            member->SourcePos = FErrorPos;
            return true;
        }
        TscClassVariable* descriptor = FScript->FindClass(variable->TypeName);
        if (descriptor == nullptr)
            continue;
        TscCustomVariable* member = descriptor->Find(name);
        if (member == nullptr)
            continue;
        TscDesignatorItem* withItem = designator->AddItem();
        withItem->Ref = variable;
        withItem->SourcePos = FErrorPos;
        TscDesignatorItem* memberItem = designator->AddItem();
        memberItem->Ref = member;
        memberItem->SourcePos = FErrorPos;
        return true;
    }
    return false;
}

std::unique_ptr<TscDesignator> TscProgramBuilder::DoDesignator(const TscXMLItem* xi, TscScript* program,
                                                               TscEmitOp emitOp, bool classAllowed)
{
    DepthScope depth(*this);
    if (!Named(xi, "dsgn"))
        Fail(ScMessage(TscMessage::SInvalidProgramTree));
    auto designator = std::make_unique<TscDesignator>(program);
    for (int i = 0; i < xi->Count(); ++i) {
        const TscXMLItem* child = xi->Items(i);
        SetPos(child);
        const QString name = Lower(child);
        if (Is(name, u"node")) {
            const QString text = child->TextProp();
            TscDesignatorItem* previous = designator->LastItem();
            if (previous == nullptr) {
                if (FindInWith(text, program, designator.get()))
                    continue;
                TscDesignatorItem* item = designator->AddItem();
                item->SourcePos = FErrorPos;
                item->Ref = LookupVariable(text, program);
                if (emitOp == emCreate) {
                    auto* descriptor = dynamic_cast<TscClassVariable*>(item->Ref);
                    if (descriptor == nullptr)
                        Fail(ScMessage(TscMessage::SClassRequired));
                    TscCustomVariable* constructor = descriptor->Find(QStringLiteral("Create"));
                    if (constructor == nullptr)
                        Fail(ScMessage(TscMessage::SIdUndeclared) + Quoted(QStringLiteral("Create")));
                    item->Kind = TscStepKind::ClassPrefix;
                    TscDesignatorItem* create = designator->AddItem();
                    create->Ref = constructor;
                    create->SourcePos = FErrorPos;
                }
                continue;
            }
            const bool index = text == u"[";
            // After a step whose kind only the run shows, every step is resolved at run time. An
            // index right after a late member goes to that member: an indexed property takes
            // it, anything else is indexed by it.
            if (index && previous->Kind == TscStepKind::LateMember && !previous->Flag) {
                previous->Flag = true;
                continue;
            }
            if (previous->Kind != TscStepKind::Item && previous->Kind != TscStepKind::ClassPrefix) {
                TscDesignatorItem* item = designator->AddItem();
                item->SourcePos = FErrorPos;
                item->Kind = index ? TscStepKind::DynamicIndex : TscStepKind::LateMember;
                item->MemberName = text;
                continue;
            }
            TscCustomVariable* r = previous->Ref;
            auto* method = dynamic_cast<TscMethodHelper*>(r);
            if (method != nullptr && method->IndexMethod && !previous->Flag) {
                // An indexed property: the index goes to the property's own step.
                if (!index)
                    Fail(ScMessage(TscMessage::SIndexRequired));
                previous->Flag = true;
                continue;
            }
            TscVarType t = r->Typ;
            QString typeName = r->TypeName;
            if (t == fvtConstructor) {
                t = fvtClass;
                const int count = designator->Count();
                typeName = count >= 2 && designator->Items(count - 2)->Ref ? designator->Items(count - 2)->Ref->Name()
                                                                          : QString();
            }
            auto* classStep = dynamic_cast<TscClassVariable*>(r);
            if (classStep != nullptr && previous->Count() == 0 && !index) {
                // A class named before its constructor or another of its members.
                previous->Kind = TscStepKind::ClassPrefix;
                TscCustomVariable* member = classStep->Find(text);
                if (member == nullptr)
                    Fail(ScMessage(TscMessage::SIdUndeclared) + Quoted(text));
                TscDesignatorItem* item = designator->AddItem();
                item->Ref = member;
                item->SourcePos = FErrorPos;
                continue;
            }
            TscDesignatorItem* item = designator->AddItem();
            item->SourcePos = FErrorPos;
            switch (t) {
            case fvtVariant:
                // What a Variant holds only the run shows: bound then, for the value it holds.
                item->Kind = index ? TscStepKind::DynamicIndex : TscStepKind::LateMember;
                item->MemberName = text;
                break;
            case fvtString:
            case fvtChar:
                if (!index)
                    Fail(ScMessage(TscMessage::SStringError));
                item->Ref = FScript->Find(QStringLiteral("__StringHelper"));
                if (item->Ref == nullptr)
                    Fail(ScMessage(TscMessage::SIdUndeclared) + Quoted(QStringLiteral("__StringHelper")));
                break;
            case fvtClass: {
                TscClassVariable* descriptor = FScript->FindClass(typeName);
                if (index) {
                    if (descriptor == nullptr) {
                        item->Kind = TscStepKind::DynamicIndex;
                        break;
                    }
                    if (descriptor->DefProperty == nullptr)
                        Fail(FormatScMessage(TscMessage::SClassError, descriptor->Name()));
                    item->Flag = true;
                    item->Ref = descriptor->DefProperty;
                    break;
                }
                TscCustomVariable* member = descriptor != nullptr ? descriptor->Find(text) : nullptr;
                if (member != nullptr) {
                    item->Ref = member;
                } else if (descriptor == nullptr || program->UseClassLateBinding || FScript->UseClassLateBinding) {
                    // The object's own class (a descendant) may have it: found at run time.
                    item->Kind = TscStepKind::LateMember;
                    item->MemberName = text;
                } else {
                    Fail(ScMessage(TscMessage::SIdUndeclared) + Quoted(text));
                }
                break;
            }
            case fvtArray:
                if (!index)
                    Fail(ScMessage(TscMessage::SIndexRequired));
                if (dynamic_cast<TscArrayHelper*>(r->RefItem) != nullptr)
                    item->Ref = r->RefItem;
                else
                    item->Kind = TscStepKind::DynamicIndex;
                break;
            default:
                Fail(ScMessage(TscMessage::SArrayRequired));
            }
            continue;
        }
        if (Is(name, u"expr")) {
            TscDesignatorItem* last = designator->LastItem();
            if (last == nullptr)
                Fail(ScMessage(TscMessage::SInvalidProgramTree));
            last->AddArg(BuildExpression(child, program, true));
            continue;
        }
        if (Is(name, u"addr")) {
            if (xi->Count() != 2 || i != 0)
                Fail(ScMessage(TscMessage::SVarRequired));
            const QString routine = xi->Items(1)->TextProp();
            auto constant = std::make_unique<TscVariable>(QString(), fvtString, QString());
            constant->PValue() = Variant(routine);
            constant->IsReadOnly = true;
            TscDesignatorItem* item = designator->AddItem();
            item->Ref = program->AddItem(QString(), std::move(constant));
            item->SourcePos = FErrorPos;
            break;
        }
        Fail(ScMessage(TscMessage::SInvalidProgramTree));
    }
    if (designator->Count() == 0)
        Fail(ScMessage(TscMessage::SInvalidProgramTree));

    if (emitOp == emFree) {
        TscDesignatorItem* last = designator->LastItem();
        const TscVarType t = last->Kind == TscStepKind::Item && last->Ref ? last->Ref->Typ : fvtVariant;
        if (t != fvtClass && t != fvtVariant && t != fvtConstructor)
            Fail(ScMessage(TscMessage::SClassRequired));
        TscClassVariable* base = FScript->FindClass(QStringLiteral("TObject"));
        TscCustomVariable* free = base != nullptr ? base->Find(QStringLiteral("Free")) : nullptr;
        TscDesignatorItem* item = designator->AddItem();
        item->SourcePos = FErrorPos;
        if (free != nullptr && t != fvtVariant) {
            item->Ref = free;
        } else {
            item->Kind = TscStepKind::LateMember;
            item->MemberName = QStringLiteral("Free");
        }
    }

    // A class name alone makes nothing: it must lead to a constructor, cast one value or stand
    // right of `is`.
    TscDesignatorItem* last = designator->LastItem();
    if (last->Kind == TscStepKind::Item && dynamic_cast<TscClassVariable*>(last->Ref) != nullptr && last->Count() == 0 &&
        !classAllowed)
        Fail(FormatScMessage(TscMessage::SClassNameAlone, last->Ref->Name()));

    designator->Finalize();
    CheckArguments(designator.get());
    return designator;
}

void TscProgramBuilder::CheckArguments(TscDesignator* designator)
{
    for (int s = 0; s < designator->Count(); ++s) {
        TscDesignatorItem* item = designator->Items(s);
        if (item->Kind != TscStepKind::Item || item->Ref == nullptr)
            continue;
        TscCustomVariable* ref = item->Ref;
        FErrorPos = item->SourcePos;
        if (ref->ParamCount() == 0 && item->Count() == 0)
            continue;
        if (item->Count() < ref->GetNumberOfRequiredParams())
            Fail(ScMessage(TscMessage::SNotEnoughParams));
        if (item->Count() > ref->ParamCount())
            Fail(ScMessage(TscMessage::STooManyParams));
        for (int p = 0; p < ref->ParamCount(); ++p) {
            TscParamItem* param = ref->Param(p);
            if (p >= item->Count()) {
                auto fill = std::make_unique<TscExpression>(FScript);
                fill->AddConst(param->DefValue);
                fill->Finalize();
                item->AddArg(std::move(fill));
                continue;
            }
            TscExpression* argument = item->Arg(p);
            if (!argument->SourcePos.isEmpty())
                FErrorPos = argument->SourcePos;
            if (param->IsVarParam && argument->IsReadOnly)
                Fail(ScMessage(TscMessage::SVarRequired));
            CheckAssign(param, argument);
        }
    }
}
