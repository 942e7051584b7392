#include "sc_iilparser_build.h"

#include "sc_iconsts.h"
#include "sc_iilparser.h"
#include "sc_iinterpreter_script.h"
#include "sc_itools_types.h"
#include "sc_xml.h"

#include "platform/DateTime.h"
#include "report/core/ScriptErrors.h"

#include <new>

namespace {

// The initial value of a variable of a type: False, an empty text, 0 or Null.
Variant InitialValue(TscVarType typ)
{
    switch (typ) {
    case fvtBool:
        return Variant(false);
    case fvtChar:
    case fvtString:
        return Variant(QString());
    case fvtInt:
    case fvtClass:
        return Variant(int32_t{0});
    case fvtInt64:
        return Variant(int64_t{0});
    case fvtFloat:
        return Variant(0.0);
    default:
        return Variant::NullValue();
    }
}

} // namespace

TscProgramBuilder::DepthScope::DepthScope(TscProgramBuilder& builder) : FBuilder(builder)
{
    if (++FBuilder.FDepth > kScMaxNesting)
        FBuilder.Fail(FormatScMessage(TscMessage::SScriptTooDeep, QString::number(kScMaxNesting)));
    ScCheckStack();
}

TscProgramBuilder::DepthScope::~DepthScope()
{
    --FBuilder.FDepth;
}

QString TscProgramBuilder::Lower(const TscXMLItem* x)
{
    // The parser's names come from the grammar in lower case already: shared, not copied.
    const QString& name = x->Name();
    for (const QChar c : name)
        if (c.unicode() >= 128 || (c.unicode() >= 'A' && c.unicode() <= 'Z'))
            return name.toLower();
    return name;
}

bool TscProgramBuilder::Named(const TscXMLItem* x, const char* name)
{
    // The parser's names are the grammar's, in lower case: the same characters first.
    const QString& given = x->Name();
    qsizetype i = 0;
    while (name[i] != 0 && i < given.size() && given[i].unicode() == static_cast<unsigned char>(name[i]))
        ++i;
    if (name[i] == 0 && i == given.size())
        return true;
    return x->Name().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

QString TscProgramBuilder::Quoted(const QString& name)
{
    return u'\'' + name + u'\'';
}

TscProgramBuilder::TscProgramBuilder(TscScript* script, const TscILParser* parser) : FScript(script), FParser(parser)
{
    if (parser != nullptr) {
        FNeedDeclareVars = parser->NeedDeclareVars();
        const QString& language = parser->LangName();
        if ((language.size() == 7 && language.compare(QLatin1String("JScript"), Qt::CaseInsensitive) == 0) ||
            (language.size() == 9 && language.compare(QLatin1String("R++Idirud"), Qt::CaseInsensitive) == 0))
            FShortCircuit = TscShortCircuit::Always;
    }
}

// --- Errors and checked access --------------------------------------------------------------

void TscProgramBuilder::Fail(const QString& message)
{
    throw EScriptException(message.toStdString());
}

void TscProgramBuilder::SetPos(const TscXMLItem* x)
{
    x->PosIfExists(FErrorPos);
}

const TscXMLItem* TscProgramBuilder::Child(const TscXMLItem* x, int index)
{
    if (index < 0 || index >= x->Count())
        Fail(ScMessage(TscMessage::SInvalidProgramTree));
    return x->Items(index);
}

// --- Programs -------------------------------------------------------------------------------

bool TscProgramBuilder::ParseILScript(const TscXMLItem* root)
{
    FWithList.clear();
    FScript->ErrorUnit.clear();
    FUnitName.clear();
    FDepth = 0;
    try {
        if (root == nullptr || !Named(root, "program"))
            Fail(ScMessage(TscMessage::SInvalidProgramTree));
        BuildProgram(root, FScript);
    } catch (const std::bad_alloc&) {
        FScript->ErrorMsg = QString::fromStdString(EOutOfMemory().Message());
        FScript->ErrorPos = FErrorPos;
        FScript->ErrorUnit = FUnitName;
        return false;
    } catch (const platform::Exception& error) {
        FScript->ErrorMsg = QString::fromStdString(error.Message());
        if (FScript->ErrorMsg.isEmpty())
            FScript->ErrorMsg = ScMessage(TscMessage::SInvalidProgramTree);
        FScript->ErrorPos = FErrorPos;
        FScript->ErrorUnit = FUnitName;
        return false;
    }
    FScript->ErrorPos.clear();
    return true;
}

void TscProgramBuilder::BuildProgram(const TscXMLItem* element, TscScript* program)
{
    DepthScope depth(*this);
    const TscXMLItem* savedRoot = FProgRoot;
    FProgRoot = element;
    // Routines first, wherever they stand, so that a routine can be called above its text.
    DeclareRoutines(element, program, 0);
    BuildChildren(element, program, program->Statement());
    FProgRoot = savedRoot;
}

void TscProgramBuilder::DeclareRoutines(const TscXMLItem* element, TscScript* program, int depth)
{
    if (depth > kScMaxNesting)
        Fail(FormatScMessage(TscMessage::SScriptTooDeep, QString::number(kScMaxNesting)));
    for (int i = 0; i < element->Count(); ++i) {
        const TscXMLItem* child = element->Items(i);
        const QString name = Lower(child);
        if (Is(name, u"procedure") || Is(name, u"function")) {
            SetPos(child);
            DeclareRoutine(child, program, Is(name, u"function"));
        } else if (name != u"uses" && name != u"expr" && name != u"dsgn" && name != u"var" && name != u"const" &&
                   name != u"types" && name != u"program") {
            // Every statement container: a routine declared inside a block belongs to the
            // program too.
            DeclareRoutines(child, program, depth + 1);
        }
    }
}

void TscProgramBuilder::DeclareRoutine(const TscXMLItem* element, TscScript* program, bool isFunction)
{
    QString name;
    QString typeName = QStringLiteral("Variant");
    const int nameIndex = element->Find(QStringLiteral("name"));
    if (nameIndex >= 0)
        name = element->Items(nameIndex)->TextProp();
    else if (!isFunction && element->Count() > 0)
        name = element->Items(0)->TextProp();
    if (name.isEmpty())
        Fail(ScMessage(TscMessage::SInvalidProgramTree));
    TscTypeRec result{fvtVariant, typeName};
    if (isFunction) {
        const int typeIndex = element->Find(QStringLiteral("type"));
        if (typeIndex >= 0) {
            const QString declared = element->Items(typeIndex)->TextProp();
            if (declared.compare(QLatin1String("void"), Qt::CaseInsensitive) == 0)
                isFunction = false;
            else
                result = LookupType(declared, program);
        }
    }
    CheckRedeclared(name, program);
    auto routine = std::make_unique<TscProcVariable>(name, isFunction ? result.Typ : fvtVariant,
                                                     isFunction ? result.TypeName : QString(), program, isFunction);
    routine->SourcePos = element->Prop(QStringLiteral("pos"));
    routine->SourceUnit = FUnitName;
    TscProcVariable* proc = program->AddItem(name, std::move(routine));

    for (int i = 0; i < element->Count(); ++i) {
        const TscXMLItem* parameters = element->Items(i);
        if (!Named(parameters, "parameters"))
            continue;
        bool byReferenceGroup = false;
        for (int g = 0; g < parameters->Count(); ++g) {
            const TscXMLItem* group = parameters->Items(g);
            SetPos(group);
            if (Named(group, "varparams")) {
                byReferenceGroup = true;
                continue;
            }
            if (!Named(group, "var"))
                Fail(ScMessage(TscMessage::SInvalidProgramTree));
            bool byReferenceNext = false;
            for (int k = 0; k < group->Count(); ++k) {
                const TscXMLItem* item = group->Items(k);
                if (Named(item, "varparam")) {
                    byReferenceNext = true;
                } else if (Named(item, "ident")) {
                    SetPos(item);
                    const QString paramName = item->TextProp();
                    CheckRedeclared(paramName, proc->Prog());
                    std::unique_ptr<TscCustomVariable> created = CreateVariable(
                        paramName, group, proc->Prog(), nullptr, true, byReferenceGroup || byReferenceNext);
                    std::unique_ptr<TscParamItem> param(static_cast<TscParamItem*>(created.release()));
                    param->DefValue = param->PValue();
                    TscParamItem* raw = param.get();
                    proc->AddParam(std::move(param));
                    proc->Prog()->AddReference(paramName, raw);
                    byReferenceNext = false;
                }
            }
            byReferenceGroup = false;
        }
    }
}

void TscProgramBuilder::BuildChildren(const TscXMLItem* x, TscScript* program, TscStatement* list, int from)
{
    for (int i = from; i < x->Count(); ++i)
        BuildStatement(x->Items(i), program, list);
}

template <typename T>
T* TscProgramBuilder::NewStatement(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    auto statement = std::make_unique<T>(program, FUnitName, x->Prop(QStringLiteral("pos")));
    T* raw = statement.get();
    list->Add(std::move(statement));
    return raw;
}

void TscProgramBuilder::Finish(TscStatement* statement)
{
    FScript->AddCodeLine(FUnitName, statement->SourcePos());
}

void TscProgramBuilder::BuildStatement(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    DepthScope depth(*this);
    SetPos(x);
    const QString name = Lower(x);
    if (Is(name, u"assignstmt"))
        BuildAssignment(x, program, list);
    else if (Is(name, u"callstmt"))
        BuildCall(x, program, list);
    else if (Is(name, u"ifstmt"))
        BuildIf(x, program, list);
    else if (Is(name, u"casestmt"))
        BuildCase(x, program, list);
    else if (Is(name, u"forstmt"))
        BuildFor(x, program, list);
    else if (Is(name, u"vbforstmt"))
        BuildVbFor(x, program, list);
    else if (Is(name, u"cppforstmt"))
        BuildCppFor(x, program, list);
    else if (Is(name, u"whilestmt"))
        BuildWhile(x, program, list);
    else if (Is(name, u"repeatstmt"))
        BuildRepeat(x, program, list);
    else if (Is(name, u"trystmt"))
        BuildTry(x, program, list);
    else if (Is(name, u"break"))
        Finish(NewStatement<TscBreakStmt>(x, program, list));
    else if (Is(name, u"continue"))
        Finish(NewStatement<TscContinueStmt>(x, program, list));
    else if (Is(name, u"exit"))
        Finish(NewStatement<TscExitStmt>(x, program, list));
    else if (Is(name, u"return"))
        BuildReturn(x, program, list);
    else if (Is(name, u"with"))
        BuildWith(x, program, list);
    else if (Is(name, u"delete"))
        BuildDelete(x, program, list);
    else if (Is(name, u"compoundstmt"))
        BuildChildren(x, program, list);
    else if (Is(name, u"uses"))
        BuildUses(x, program);
    else if (Is(name, u"var"))
        BuildVar(x, program, list);
    else if (Is(name, u"const"))
        BuildConst(x, program);
    else if (Is(name, u"procedure") || Is(name, u"function"))
        BuildRoutineBody(x, program);
    else if (name != u"empty" && name != u"types" && name != u"name" && name != u"parameters" && name != u"type")
        Fail(ScMessage(TscMessage::SInvalidProgramTree));
}

// --- Names and types ------------------------------------------------------------------------

void TscProgramBuilder::CheckRedeclared(const QString& name, TscScript* program)
{
    if (name.isEmpty())
        Fail(ScMessage(TscMessage::SInvalidProgramTree));
    if (program->FindLocal(name) != nullptr)
        Fail(ScMessage(TscMessage::SIdRedeclared) + Quoted(name));
}

TscCustomVariable* TscProgramBuilder::LookupVariable(const QString& name, TscScript* program)
{
    if (TscCustomVariable* item = program->Find(name))
        return item;
    if (FNeedDeclareVars)
        Fail(ScMessage(TscMessage::SIdUndeclared) + Quoted(name));
    auto variable = std::make_unique<TscVariable>(name, fvtVariant, QStringLiteral("Variant"));
    variable->SourcePos = FErrorPos;
    variable->SourceUnit = FUnitName;
    variable->OnGetVarValue = FScript->OnGetVarValue;
    return FScript->AddItem(name, std::move(variable));
}

TscTypeRec TscProgramBuilder::LookupType(const QString& name, TscScript* program)
{
    QString typeName = name;
    // Aliases of the program being built, then of the grammar.
    const TscXMLItem* aliasSources[2] = {nullptr, FParser != nullptr ? FParser->GrammarTypes() : nullptr};
    if (FProgRoot != nullptr) {
        const int index = FProgRoot->Find(QStringLiteral("types"));
        if (index >= 0)
            aliasSources[0] = FProgRoot->Items(index);
    }
    for (const TscXMLItem* types : aliasSources) {
        if (types == nullptr)
            continue;
        const int index = types->Find(name);
        if (index >= 0) {
            typeName = types->Items(index)->Prop(QStringLiteral("type"));
            break;
        }
    }
    if (TscCustomVariable* symbol = program->Find(typeName)) {
        if (auto* descriptor = dynamic_cast<TscClassVariable*>(symbol))
            return {fvtClass, descriptor->Name()};
        if (symbol->Typ == fvtEnum)
            return {fvtEnum, symbol->TypeName.isEmpty() ? typeName : symbol->TypeName};
        return {symbol->Typ, symbol->Name()};
    }
    Fail(ScMessage(TscMessage::SUnknownType) + Quoted(name));
}

void TscProgramBuilder::CheckAssign(const TscCustomVariable* target, const TscCustomVariable* value)
{
    if (!IsAssignCompatible(target, value, FScript))
        Fail(ScMessage(TscMessage::SIncompatibleTypes) + QStringLiteral(": ") + Quoted(target->GetFullTypeName()) +
             QStringLiteral(", ") + Quoted(value->GetFullTypeName()));
}

Variant TscProgramBuilder::EvaluateNow(TscExpression* expression)
{
    return FScript->RunExpression(*expression);
}

// --- Declarations ---------------------------------------------------------------------------

void TscProgramBuilder::BuildVar(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    for (int i = 0; i < x->Count(); ++i) {
        const TscXMLItem* item = x->Items(i);
        if (!Named(item, "ident"))
            continue;
        SetPos(item);
        const QString name = item->TextProp();
        CheckRedeclared(name, program);
        std::unique_ptr<TscCustomVariable> variable = CreateVariable(name, x, program, list, false, false);
        program->Add(name, std::move(variable));
    }
}

std::unique_ptr<TscCustomVariable> TscProgramBuilder::CreateVariable(const QString& name,
                                                                     const TscXMLItem* declaration,
                                                                     TscScript* program, TscStatement* list,
                                                                     bool isParam, bool byReference)
{
    const QString startPos = FErrorPos;
    // The first `type` child names the type; when it is not the first child the names come
    // first (Pascal form), otherwise the type does (C form).
    QString typeText = QStringLiteral("Variant");
    bool pascalForm = true;
    const int typeIndex = declaration->Find(QStringLiteral("type"));
    if (typeIndex >= 0) {
        typeText = declaration->Items(typeIndex)->TextProp();
        pascalForm = typeIndex != 0;
    }
    TscTypeRec type = LookupType(typeText, program);

    // The children that belong to this name: up to the next name in the C form, all of them
    // in the Pascal form.
    const TscXMLItem* arrayElement = nullptr;
    const TscXMLItem* initElement = nullptr;
    int identIndex = -1;
    for (int i = 0; i < declaration->Count(); ++i) {
        const TscXMLItem* child = declaration->Items(i);
        if (Named(child, "ident") && child->TextProp().compare(name, Qt::CaseInsensitive) == 0) {
            identIndex = i;
            break;
        }
    }
    if (identIndex < 0)
        Fail(ScMessage(TscMessage::SInvalidProgramTree));
    for (int i = identIndex + 1; i < declaration->Count(); ++i) {
        const TscXMLItem* child = declaration->Items(i);
        if (!pascalForm && Named(child, "ident"))
            break;
        if (Named(child, "array"))
            arrayElement = child;
        else if (Named(child, "init"))
            initElement = child;
    }

    std::unique_ptr<TscCustomVariable> variable;
    if (isParam)
        variable = std::make_unique<TscParamItem>(name, type.Typ, type.TypeName, initElement != nullptr, byReference);
    else if (type.Typ == fvtChar || type.Typ == fvtString)
        variable = std::make_unique<TscStringVariable>(name, type.Typ, type.TypeName);
    else
        variable = std::make_unique<TscVariable>(name, type.Typ, type.TypeName);
    variable->SetValue(InitialValue(type.Typ));
    if (type.Typ != fvtChar && type.Typ != fvtString)
        variable->PValue() = InitialValue(type.Typ);
    variable->SourcePos = startPos;
    variable->SourceUnit = FUnitName;
    variable->OnGetVarValue = FScript->OnGetVarValue;

    if (arrayElement != nullptr) {
        std::vector<VariantArrayBound> bounds;
        for (int i = 0; i < arrayElement->Count(); ++i) {
            const TscXMLItem* dim = arrayElement->Items(i);
            if (!Named(dim, "dim"))
                continue;
            SetPos(dim);
            std::vector<int32_t> values;
            QString previousSpan;
            for (int k = 0; k < dim->Count(); ++k) {
                if (!Named(dim->Items(k), "expr"))
                    continue;
                // A size alone reaches the tree twice when the range alternative, tried first,
                // left its first expression behind: the same text is one bound, not a range.
                const QString span = dim->Items(k)->Prop(QStringLiteral("pos")) + u'-' +
                                     dim->Items(k)->Prop(QStringLiteral("pos1"));
                if (span == previousSpan)
                    continue;
                previousSpan = span;
                std::unique_ptr<TscExpression> bound = BuildExpression(dim->Items(k), program);
                values.push_back(EvaluateNow(bound.get()).ToInt32(FScript->Settings()));
            }
            if (values.size() == 2)
                bounds.push_back({values[0], values[1]});
            else if (values.size() == 1)
                bounds.push_back({0, values[0] - 1});
            else
                Fail(ScMessage(TscMessage::SInvalidProgramTree));
        }
        if (bounds.empty())
            bounds.push_back({0, 0});
        Variant array = Variant::CreateArray(bounds);
        // Elements start as the element type's initial value, as variables do.
        const Variant initial = InitialValue(type.Typ);
        if (!initial.IsNull() && array.ArrayElementCount() > 0) {
            std::vector<int32_t> index(bounds.size());
            for (size_t d = 0; d < bounds.size(); ++d)
                index[d] = bounds[d].Low;
            for (int64_t n = 0; n < array.ArrayElementCount(); ++n) {
                array.SetArrayItem(index, initial);
                for (size_t d = 0; d < bounds.size(); ++d) {
                    if (++index[d] <= bounds[d].High)
                        break;
                    index[d] = bounds[d].Low;
                }
            }
        }
        auto helper = std::make_unique<TscArrayHelper>(QString(), static_cast<int>(bounds.size()), type.Typ,
                                                       type.TypeName);
        TscArrayHelper* rawHelper = program->AddItem(QString(), std::move(helper));
        if (isParam) {
            variable->PValue() = array;
        } else {
            auto arrayVariable = std::make_unique<TscVariable>(name, fvtArray, QStringLiteral("Array"));
            arrayVariable->SourcePos = startPos;
            arrayVariable->SourceUnit = FUnitName;
            arrayVariable->PValue() = array;
            variable = std::move(arrayVariable);
        }
        variable->RefItem = rawHelper;
        variable->Typ = fvtArray;
    }

    if (initElement != nullptr) {
        if (initElement->Count() < 1)
            Fail(ScMessage(TscMessage::SInvalidProgramTree));
        SetPos(initElement);
        std::unique_ptr<TscExpression> initial = BuildExpression(Child(initElement, 0), program);
        CheckAssign(variable.get(), initial.get());
        if (isParam) {
            variable->SetValue(EvaluateNow(initial.get()));
        } else if (list != nullptr) {
            // The initialisation runs where the declaration stands, each time it is reached.
            auto assignment = std::make_unique<TscAssignmentStmt>(program, FUnitName,
                                                                  declaration->Prop(QStringLiteral("pos")));
            auto target = std::make_unique<TscDesignator>(program);
            TscDesignatorItem* item = target->AddItem();
            item->Ref = variable.get();
            item->SourcePos = startPos;
            target->Finalize();
            assignment->FDesignator = std::move(target);
            assignment->FExpression = std::move(initial);
            assignment->Optimize();
            TscStatement* raw = assignment.get();
            list->Add(std::move(assignment));
            Finish(raw);
        }
    }
    return variable;
}

void TscProgramBuilder::BuildConst(const TscXMLItem* x, TscScript* program)
{
    const TscXMLItem* nameItem = Child(x, 0);
    SetPos(nameItem);
    const QString name = nameItem->TextProp();
    CheckRedeclared(name, program);
    std::unique_ptr<TscExpression> expression = BuildExpression(Child(x, 1), program);
    auto constant = std::make_unique<TscVariable>(name, expression->Typ, expression->TypeName);
    constant->PValue() = EvaluateNow(expression.get());
    constant->IsReadOnly = true;
    constant->SourcePos = nameItem->Prop(QStringLiteral("pos"));
    constant->SourceUnit = FUnitName;
    program->Add(name, std::move(constant));
}

void TscProgramBuilder::BuildRoutineBody(const TscXMLItem* x, TscScript* program)
{
    QString name;
    const int nameIndex = x->Find(QStringLiteral("name"));
    if (nameIndex >= 0)
        name = x->Items(nameIndex)->TextProp();
    else if (x->Count() > 0)
        name = x->Items(0)->TextProp();
    auto* routine = dynamic_cast<TscProcVariable*>(program->FindLocal(name));
    if (routine == nullptr)
        Fail(ScMessage(TscMessage::SInvalidProgramTree));
    BuildProgram(x, routine->Prog());
}

void TscProgramBuilder::BuildUses(const TscXMLItem* x, TscScript* program)
{
    const QString savedUnit = FUnitName;
    FUnitName = x->Prop(QStringLiteral("unit"));
    if (FScript->OnGetILUnit) {
        // The owner may hold the unit as compiled code: then that tree is built instead.
        QString code;
        FScript->OnGetILUnit(FUnitName, code);
        if (!code.isEmpty()) {
            TscXMLDocument unit;
            unit.LoadFromBytes(code.toUtf8());
            if (!Named(unit.Root(), "program"))
                Fail(ScMessage(TscMessage::SInvalidProgramTree));
            BuildProgram(unit.Root(), program);
            FUnitName = savedUnit;
            return;
        }
    }
    for (int i = 0; i < x->Count(); ++i) {
        const TscXMLItem* unit = x->Items(i);
        if (!Named(unit, "program"))
            Fail(ScMessage(TscMessage::SInvalidProgramTree));
        BuildProgram(unit, program);
    }
    FUnitName = savedUnit;
}

// --- Statements -----------------------------------------------------------------------------

void TscProgramBuilder::BuildAssignment(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    // "Set x = value" wraps the assignment it makes.
    if (x->Count() == 1 && Named(x->Items(0), "assignstmt")) {
        BuildAssignment(x->Items(0), program, list);
        return;
    }
    const TscXMLItem* target = Child(x, 0);
    std::unique_ptr<TscDesignator> designator = DoDesignator(target, program, emNone);
    int next = 1;
    QString modificator;
    if (next < x->Count() && Named(x->Items(next), "modificator")) {
        modificator = x->Items(next)->TextProp();
        ++next;
    }
    std::unique_ptr<TscExpression> expression = BuildExpression(Child(x, next), program);
    SetPos(x);
    if (designator->IsReadOnly)
        Fail(ScMessage(TscMessage::SLeftCantAssigned));
    CheckAssign(designator.get(), expression.get());
    QChar symbol = modificator.isEmpty() ? QChar() : modificator[0];
    if (modificator.isEmpty())
        expression->Optimize(designator.get(), symbol);
    TscAssignmentStmt* statement;
    if (symbol == u'*')
        statement = NewStatement<TscAssignMulStmt>(x, program, list);
    else if (symbol == u'+')
        statement = NewStatement<TscAssignPlusStmt>(x, program, list);
    else if (symbol == u'-')
        statement = NewStatement<TscAssignMinusStmt>(x, program, list);
    else if (symbol == u'/')
        statement = NewStatement<TscAssignDivStmt>(x, program, list);
    else if (symbol.isNull())
        statement = NewStatement<TscAssignmentStmt>(x, program, list);
    else
        Fail(ScMessage(TscMessage::SInvalidProgramTree));
    statement->FDesignator = std::move(designator);
    statement->FExpression = std::move(expression);
    statement->Optimize();
    Finish(statement);
}

void TscProgramBuilder::BuildCall(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    std::unique_ptr<TscDesignator> designator = DoDesignator(Child(x, 0), program, emNone);
    QString modificator;
    if (x->Count() > 1) {
        modificator = x->Items(1)->TextProp();
        if (modificator != u"+" && modificator != u"-")
            Fail(ScMessage(TscMessage::SInvalidProgramTree));
        SetPos(x);
        if (designator->IsReadOnly)
            Fail(ScMessage(TscMessage::SLeftCantAssigned));
    }
    auto* statement = NewStatement<TscCallStmt>(x, program, list);
    statement->FDesignator = std::move(designator);
    statement->FModificator = modificator;
    Finish(statement);
}

void TscProgramBuilder::BuildIf(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    std::unique_ptr<TscExpression> condition = BuildExpression(Child(x, 0), program);
    auto* statement = NewStatement<TscIfStmt>(x, program, list);
    statement->FCondition = std::move(condition);
    for (int i = 1; i < x->Count(); ++i) {
        const TscXMLItem* part = x->Items(i);
        if (Named(part, "thenstmt"))
            BuildChildren(part, program, statement);
        else if (Named(part, "elsestmt"))
            BuildChildren(part, program, statement->FElseStmt.get());
        else
            Fail(ScMessage(TscMessage::SInvalidProgramTree));
    }
    Finish(statement);
}

std::unique_ptr<TscSetExpression> TscProgramBuilder::BuildSet(const TscXMLItem* x, TscScript* program)
{
    DepthScope depth(*this);
    auto set = std::make_unique<TscSetExpression>();
    for (int i = 0; i < x->Count(); ++i) {
        const TscXMLItem* element = x->Items(i);
        if (Named(element, "expr"))
            set->AddElement(BuildExpression(element, program));
        else if (Named(element, "range"))
            set->AddElement(nullptr);
        else
            Fail(ScMessage(TscMessage::SInvalidProgramTree));
    }
    return set;
}

void TscProgramBuilder::BuildCase(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    std::unique_ptr<TscExpression> selector = BuildExpression(Child(x, 0), program);
    auto* statement = NewStatement<TscCaseStmt>(x, program, list);
    statement->FCondition = std::move(selector);
    statement->FBreakEndsCase = FShortCircuit == TscShortCircuit::Always;
    for (int i = 1; i < x->Count(); ++i) {
        const TscXMLItem* part = x->Items(i);
        SetPos(part);
        if (Named(part, "caseselector")) {
            // A selector whose statement is empty has only its set: it selects and does nothing.
            if (part->Count() != 1 && part->Count() != 2)
                continue;
            auto selector = std::make_unique<TscCaseSelector>(program, FUnitName, part->Prop(QStringLiteral("pos")));
            const TscXMLItem* set = part->Items(0);
            if (!Named(set, "set"))
                Fail(ScMessage(TscMessage::SInvalidProgramTree));
            selector->FSetExpression = BuildSet(set, program);
            if (part->Count() == 2)
                BuildStatement(part->Items(1), program, selector.get());
            statement->Add(std::move(selector));
        } else if (i == x->Count() - 1) {
            BuildStatement(part, program, statement->FElseStmt.get());
        } else {
            Fail(ScMessage(TscMessage::SInvalidProgramTree));
        }
    }
    Finish(statement);
}

TscCustomVariable* TscProgramBuilder::LoopVariable(const TscXMLItem* x, TscScript* program)
{
    SetPos(x);
    TscCustomVariable* variable = LookupVariable(x->TextProp(), program);
    const TscVarType t = variable->Typ;
    if (!variable->Has(TscCustomVariable::HoldsValue) || variable->IsReadOnly ||
        !(t == fvtInt || t == fvtFloat || t == fvtVariant || t == fvtInt64))
        Fail(ScMessage(TscMessage::SForError));
    return variable;
}

void TscProgramBuilder::BuildFor(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    TscCustomVariable* variable = LoopVariable(Child(x, 0), program);
    int next = 1;
    std::unique_ptr<TscExpression> begin = BuildExpression(Child(x, next++), program);
    bool down = false;
    if (next < x->Count() && Named(x->Items(next), "downto")) {
        down = true;
        ++next;
    }
    std::unique_ptr<TscExpression> end = BuildExpression(Child(x, next++), program);
    SetPos(x);
    CheckAssign(variable, begin.get());
    CheckAssign(variable, end.get());
    auto* statement = NewStatement<TscForStmt>(x, program, list);
    statement->FVariable = variable;
    statement->FBeginValue = std::move(begin);
    statement->FEndValue = std::move(end);
    statement->FDown = down;
    BuildChildren(x, program, statement, next);
    Finish(statement);
}

void TscProgramBuilder::BuildVbFor(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    TscCustomVariable* variable = LoopVariable(Child(x, 0), program);
    std::unique_ptr<TscExpression> begin = BuildExpression(Child(x, 1), program);
    std::unique_ptr<TscExpression> end = BuildExpression(Child(x, 2), program);
    int next = 3;
    std::unique_ptr<TscExpression> step;
    if (next < x->Count() && Named(x->Items(next), "expr"))
        step = BuildExpression(x->Items(next++), program);
    SetPos(x);
    CheckAssign(variable, begin.get());
    CheckAssign(variable, end.get());
    if (step)
        CheckAssign(variable, step.get());
    auto* statement = NewStatement<TscVbForStmt>(x, program, list);
    statement->FVariable = variable;
    statement->FBeginValue = std::move(begin);
    statement->FEndValue = std::move(end);
    statement->FStep = std::move(step);
    BuildChildren(x, program, statement, next);
    Finish(statement);
}

void TscProgramBuilder::BuildCppFor(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    // Everything before the condition starts the loop (one declaration may give several
    // variables); the element after it steps, the rest is the body.
    auto* statement = NewStatement<TscCppForStmt>(x, program, list);
    int condition = 0;
    while (condition < x->Count() && !Named(x->Items(condition), "expr"))
        BuildStatement(x->Items(condition++), program, statement->FFirstStmt.get());
    statement->FExpression = BuildExpression(Child(x, condition), program);
    BuildStatement(Child(x, condition + 1), program, statement->FSecondStmt.get());
    BuildChildren(x, program, statement, condition + 2);
    Finish(statement);
}

void TscProgramBuilder::BuildWhile(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    std::unique_ptr<TscExpression> condition = BuildExpression(Child(x, 0), program);
    auto* statement = NewStatement<TscWhileStmt>(x, program, list);
    statement->FCondition = std::move(condition);
    BuildChildren(x, program, statement, 1);
    Finish(statement);
}

void TscProgramBuilder::BuildRepeat(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    int conditionIndex = x->Count() - 1;
    bool inverse = false;
    if (conditionIndex >= 0 && Named(x->Items(conditionIndex), "inverse")) {
        inverse = true;
        --conditionIndex;
    }
    auto* statement = NewStatement<TscRepeatStmt>(x, program, list);
    statement->FInverseCondition = inverse;
    for (int i = 0; i < conditionIndex; ++i)
        BuildStatement(x->Items(i), program, statement);
    statement->FCondition = BuildExpression(Child(x, conditionIndex), program);
    Finish(statement);
}

void TscProgramBuilder::BuildTry(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    auto* statement = NewStatement<TscTryStmt>(x, program, list);
    for (int i = 0; i < x->Count(); ++i) {
        const TscXMLItem* part = x->Items(i);
        if (Named(part, "exceptstmt")) {
            statement->FIsExcept = true;
            BuildChildren(part, program, statement->FExceptStmt.get());
        } else if (Named(part, "finallystmt")) {
            BuildChildren(part, program, statement->FExceptStmt.get());
        } else {
            BuildStatement(part, program, statement);
        }
    }
    Finish(statement);
}

void TscProgramBuilder::BuildReturn(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    if (x->Count() > 0) {
        const TscXMLItem* valueElement = Child(x, 0);
        auto target = std::make_unique<TscDesignator>(program);
        TscDesignatorItem* item = target->AddItem();
        item->Ref = LookupVariable(QStringLiteral("Result"), program);
        item->SourcePos = valueElement->Prop(QStringLiteral("pos"));
        target->Finalize();
        std::unique_ptr<TscExpression> value = BuildExpression(valueElement, program);
        SetPos(x);
        if (target->IsReadOnly)
            Fail(ScMessage(TscMessage::SLeftCantAssigned));
        CheckAssign(target.get(), value.get());
        auto* assignment = NewStatement<TscAssignmentStmt>(x, program, list);
        assignment->FDesignator = std::move(target);
        assignment->FExpression = std::move(value);
        assignment->Optimize();
        Finish(assignment);
    }
    Finish(NewStatement<TscExitStmt>(x, program, list));
}

void TscProgramBuilder::BuildWith(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    // The designators, then the statement they govern (none when it is empty).
    int designators = 0;
    while (designators < x->Count() && Named(x->Items(designators), "dsgn"))
        ++designators;
    if (designators == 0 || designators + 1 < x->Count())
        Fail(ScMessage(TscMessage::SInvalidProgramTree));
    size_t pushed = 0;
    for (int i = 0; i < designators; ++i) {
        std::unique_ptr<TscDesignator> designator = DoDesignator(x->Items(i), program, emNone);
        if (designator->Typ != fvtClass && designator->Typ != fvtVariant)
            Fail(ScMessage(TscMessage::SClassRequired));
        QString name;
        for (int n = 0;; ++n) {
            name = QStringLiteral("_WithList_%1").arg(n);
            bool used = program->FindLocal(name) != nullptr;
            for (const WithEntry& entry : FWithList)
                used = used || entry.Name.compare(name, Qt::CaseInsensitive) == 0;
            if (!used)
                break;
        }
        auto variable = std::make_unique<TscVariable>(name, designator->Typ, designator->TypeName);
        TscVariable* rawVariable = program->AddItem(name, std::move(variable));
        auto* statement = NewStatement<TscWithStmt>(x, program, list);
        statement->FVariable = rawVariable;
        statement->FDesignator = std::move(designator);
        FWithList.push_back({name, statement});
        ++pushed;
    }
    try {
        if (designators < x->Count())
            BuildStatement(x->Items(designators), program, list);
    } catch (...) {
        FWithList.resize(FWithList.size() - pushed);
        throw;
    }
    FWithList.resize(FWithList.size() - pushed);
}

void TscProgramBuilder::BuildDelete(const TscXMLItem* x, TscScript* program, TscStatement* list)
{
    std::unique_ptr<TscDesignator> designator = DoDesignator(Child(x, 0), program, emFree);
    auto* statement = NewStatement<TscCallStmt>(x, program, list);
    statement->FDesignator = std::move(designator);
    Finish(statement);
}
