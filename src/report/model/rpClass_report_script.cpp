// The report's script: preparing it with the report's objects and functions, the values
// expressions ask for, Calc with its error policy, and the calls of script event handlers.

#include "rpClass_report.h"

#include "rpClass_bands.h"
#include "rpClass_datasets.h"
#include "rpClass_expressioncache.h"
#include "rpClass_pages.h"
#include "rpClass_views.h"
#include "rpRes.h"

#include "report/core/ScriptErrors.h"
#include "report/core/Services.h"
#include "report/script/sc_iinterpreter_script.h"
#include "report/script/sc_iinterpreter_statements.h"
#include "report/script/sc_itools.h"

#include <cmath>
#include <memory>

namespace {

// What the report declares in its script for every run (a contract with report scripts).
constexpr const char16_t* kGetDeclaration = u"function Get(Name: String): Variant";
constexpr const char16_t* kSetDeclaration = u"procedure Set(Name: String; Value: Variant)";
constexpr const char16_t* kIIFDeclaration = u"macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant";
constexpr const char16_t* kAggregateDeclarations[] = {
    u"macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
    u"macrofunction AVG(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
    u"macrofunction MIN(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
    u"macrofunction MAX(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
    u"macrofunction COUNT(Band: Variant = 0; Flags: Integer = 0): Variant",
};

bool IsAggregateCallText(const QString& name)
{
    const qsizetype open = name.indexOf(u'(');
    if (open < 0)
        return false;
    const QString function = name.left(open).trimmed().toUpper();
    return function == u"SUM" || function == u"MIN" || function == u"MAX" || function == u"AVG" ||
           function == u"COUNT";
}

QString ErrorText(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const platform::Exception*>(&error))
        return QString::fromStdString(own->Message());
    return QString::fromUtf8(error.what());
}

} // namespace

// --- script preparation --------------------------------------------------------------------

TscScript& TrpReport::Script()
{
    return *script_;
}

TrpExpressionCache& TrpReport::ExpressionCache()
{
    return *expressionCache_;
}

bool TrpReport::CaseSensitiveExpressions() const
{
    return expressionCache_->CaseSensitive();
}

void TrpReport::SetCaseSensitiveExpressions(bool value)
{
    expressionCache_->SetCaseSensitive(value);
}

Variant TrpReport::LocalValue() const
{
    return localValue_ != nullptr ? localValue_->PValue() : Variant::NullValue();
}

void TrpReport::SetLocalValue(const Variant& value)
{
    if (localValue_ != nullptr)
        localValue_->PValue() = value;
}

TrpComponent* TrpReport::SelfValue() const
{
    if (selfValue_ == nullptr)
        return nullptr;
    const Variant& value = selfValue_->PValue();
    if (value.IsNull() || value.IsUnassigned())
        return nullptr;
    return dynamic_cast<TrpComponent*>(ObjectHandles::Find(ObjectHandles::HandleOf(value)));
}

void TrpReport::SetSelfValue(TrpComponent* view)
{
    if (selfValue_ != nullptr)
        selfValue_->PValue() = view != nullptr ? ObjectHandles::ToVariant(view) : Variant::NullValue();
}

void TrpReport::AddScriptMethods(TscScript& script)
{
    script.AddMethod(QString::fromUtf16(kGetDeclaration), [this](TscCallFrame& frame) {
        const QString name = frame.Arg(0).ToString();
        Variant value;
        if (GetValue(name, value))
            return value;
        if (IsAggregateCallText(name))
            return Calc(name, frame.Script, true);
        AddError(GetResourcesInstance().Get(u"clUnknownVar") + u' ' + name);
        return Variant();
    });
    script.AddMethod(QString::fromUtf16(kSetDeclaration), [this](TscCallFrame& frame) {
        variables_.SetValue(frame.Arg(0).ToString(), frame.Arg(1));
        return Variant();
    });
    script.AddMethod(QString::fromUtf16(kIIFDeclaration), [this](TscCallFrame& frame) {
        // Only the chosen branch runs. A failure shows as an empty result, and it is reported
        // in Errors, so that the empty cell has its explanation.
        try {
            const Variant condition = Calc(frame.Arg(0).ToString(), frame.Script, true);
            const bool chosen = VariantCompare(VariantRelation::Equal, condition, Variant(true));
            return Calc(frame.Arg(chosen ? 1 : 2).ToString(), frame.Script, true);
        } catch (const std::exception& error) {
            AddError(ErrorText(error));
        }
        return Variant();
    });
    for (const char16_t* declaration : kAggregateDeclarations) {
        script.AddMethod(QString::fromUtf16(declaration), [this](TscCallFrame& frame) {
            const QString name = *frame.MemberName;
            const bool isCount = name == u"COUNT";
            const QString expression = isCount ? QString() : frame.Arg(0).ToString();
            const QString bandText = frame.Arg(isCount ? 0 : 1).ToString().trimmed();
            const QString flagsText = frame.Arg(isCount ? 1 : 2).ToString().trimmed();
            TrpBand* band = nullptr;
            if (!bandText.isEmpty()) {
                const Variant value = Calc(bandText, frame.Script, true);
                if (value.Kind() == VariantKind::Object || value.Kind() == VariantKind::Int32)
                    band = dynamic_cast<TrpBand*>(ObjectHandles::Find(ObjectHandles::HandleOf(value)));
            }
            const int32_t flags = flagsText.isEmpty() ? 0 : Calc(flagsText, frame.Script, true).ToInt32();
            if (engine_ == nullptr)
                return Variant(int32_t{0});
            return engine_->GetAggregateValue(name, expression, band, flags);
        });
    }
}

bool TrpReport::PrepareScript()
{
    TscScript& script = *script_;
    expressionCache_->Clear();
    expressionCache_->ScriptLanguage = ScriptLanguage;
    if (engine_ != nullptr)
        engine_->NotifyList.clear();

    // Everything this report added last time goes; what it adds now is marked as its own,
    // also when something below fails.
    script.ClearItems(this);
    localValue_ = nullptr;
    selfValue_ = nullptr;
    struct AdderMark {
        TscScript& script;
        ~AdderMark() { script.AddedBy = nullptr; }
    } adderMark{script};
    script.AddedBy = this;
    script.MainProg = true;

    for (TrpComponent* object : AllObjects()) {
        object->SetDesigning(false);
        object->BeforeStartReport();
        if (auto* picture = dynamic_cast<TrpPictureView*>(object))
            picture->PictureChanged = true;
        if (!object->Name().isEmpty())
            script.AddObject(object->Name(), object);
    }
    script.AddObject(QStringLiteral("Report"), this);
    script.AddObject(QStringLiteral("Engine"), engine_.get());
    script.AddObject(QStringLiteral("Outline"), previewPages_ != nullptr ? previewPages_->Outline() : nullptr);
    script.AddVariable(QStringLiteral("Value"), QStringLiteral("Variant"), Variant::NullValue());
    script.AddVariable(QStringLiteral("Self"), QStringLiteral("TrpView"), Variant::NullValue());
    AddScriptMethods(script);

    localValue_ = script.FindLocal(QStringLiteral("Value"));
    selfValue_ = script.FindLocal(QStringLiteral("Self"));
    script.Lines = scriptText_;
    script.SyntaxType = ScriptLanguage;
    if (script.Compile())
        return true;
    AddError(FormatResource(GetResourcesInstance().Get(u"clScrError"),
                            {Variant(script.ErrorPos), Variant(script.ErrorMsg)}));
    return false;
}

void TrpReport::AddFunction(const QString& declaration, const QString& category, const QString& description)
{
    TscScript& script = *script_;
    // Owned by no report item: it survives every preparation of the script.
    const void* const adder = script.AddedBy;
    script.AddedBy = nullptr;
    auto name = std::make_shared<QString>();
    TscMethodHelper* method = nullptr;
    try {
        method = script.AddMethod(
            declaration,
            [this, name](TscCallFrame& frame) {
                if (!OnUserFunction)
                    return Variant();
                return OnUserFunction(*name, frame.Args);
            },
            category, description);
    } catch (...) {
        script.AddedBy = adder;
        throw;
    }
    script.AddedBy = adder;
    *name = method->Name();
}

// --- values --------------------------------------------------------------------------------

Variant TrpReport::SystemVariable(int index) const
{
    TrpCustomEngine* engine = engine_.get();
    TrpCustomPreviewPages* pages = previewPages_.get();
    switch (index) {
    case 0: // Date
    case 1: { // Time
        double start = 0;
        if (engine != nullptr && engine->Running)
            start = index == 0 ? engine->StartDate : engine->StartTime;
        else {
            const double now = ReportServices::Clock().Now();
            start = index == 0 ? std::floor(now) : now - std::floor(now);
        }
        return Variant::FromDateTime(start);
    }
    case 2: // Page
        return Variant(pages != nullptr ? pages->GetLogicalPageNo() : int32_t{0});
    case 3: // Page#
        return Variant(pages != nullptr ? pages->CurPage + 1 : int32_t{0});
    case 4: // TotalPages
        return Variant(pages != nullptr ? pages->GetLogicalTotalPages() : int32_t{0});
    case 5: // TotalPages#
        return Variant(engine != nullptr ? engine->TotalPages : int32_t{0});
    case 6: // Line
        return Variant(engine != nullptr ? engine->CurLine : int32_t{0});
    case 7: // Line#
        return Variant(engine != nullptr ? engine->CurLineThrough : int32_t{0});
    case 8: // CopyName#
        return GlobalVariables().GetValue(QStringLiteral("CopyName0"));
    default:
        return Variant::NullValue();
    }
}

bool TrpReport::GetValue(const QString& name, Variant& value)
{
    // 1. A field of a data set: DataSet."Field".
    TrpDataSet* dataSet = nullptr;
    QString field;
    GetDatasetAndField(name, dataSet, field);
    if (dataSet != nullptr && !field.isEmpty()) {
        value = dataSet->GetValue(field);
        if (value.IsNull() && engineOptions_.ConvertNulls) {
            switch (dataSet->GetFieldType(field)) {
            case fftNumeric:
                value = Variant(int32_t{0});
                break;
            case fftString:
                value = Variant(QString());
                break;
            case fftBoolean:
                value = Variant(false);
                break;
            }
        }
        return true;
    }

    // 2. The system variables.
    static const char16_t* const kSystemVariables[] = {u"Date",        u"Time", u"Page",  u"Page#",    u"TotalPages",
                                                       u"TotalPages#", u"Line", u"Line#", u"CopyName#"};
    for (int i = 0; i < static_cast<int>(std::size(kSystemVariables)); ++i) {
        if (name.compare(QStringView(kSystemVariables[i]), Qt::CaseInsensitive) == 0) {
            value = SystemVariable(i);
            return true;
        }
    }

    // 3. The application's own values.
    if (OnGetValue) {
        Variant assigned;
        OnGetValue(name, assigned);
        if (!assigned.IsUnassigned()) {
            value = assigned;
            return true;
        }
    }
    if (OnNewGetValue) {
        Variant assigned;
        OnNewGetValue(*this, name, assigned);
        if (!assigned.IsUnassigned()) {
            value = assigned;
            return true;
        }
    }

    // 4. A report variable; a one-line text is an expression. A variable whose expression
    // refers back to it is not looked up again while it is computed (the name then reads as an
    // unknown one, an error instead of endless recursion).
    const int index = variables_.IndexOf(name);
    if (index >= 0 && !name.startsWith(u' ') && !evaluatingVariables_.contains(name, Qt::CaseInsensitive) &&
        evaluatingVariables_.size() < kMaxVariableNesting) {
        const Variant& stored = variables_.Items(index)->Value;
        if (!stored.IsString() || stored.AsString().contains(QStringLiteral("\r\n"))) {
            value = stored;
            return true;
        }
        evaluatingVariables_ << name;
        struct Pop {
            QStringList& list;
            ~Pop() { list.removeLast(); }
        } pop{evaluatingVariables_};
        value = Calc(stored.AsString());
        return true;
    }

    // 5. The process-wide variables.
    TrpVariables& globals = GlobalVariables();
    if (const int global = globals.IndexOf(name); global >= 0 && !name.startsWith(u' ')) {
        value = globals.Items(global)->Value;
        return true;
    }

    // 6. A variable of the script (not a routine, not a native function).
    if (TscCustomVariable* local = script_->FindLocal(name)) {
        if (dynamic_cast<TscProcVariable*>(local) == nullptr && dynamic_cast<TscMethodHelper*>(local) == nullptr) {
            value = local->GetValue();
            return true;
        }
    }
    return false;
}

Variant TrpReport::Calc(const QString& expression, TscScript* script, bool fromScript)
{
    if (script == nullptr)
        script = script_.get();
    Variant value;
    if (GetValue(expression, value))
        return value;
    QString error;
    QString errorClass;
    value = expressionCache_->Calc(expression, error, script, &errorClass);
    if (error.isEmpty())
        return value;
    // A float divided by zero may be wanted quietly; an integer division by zero never is.
    if (errorClass == u"EZeroDivide" && engineOptions_.IgnoreDevByZero)
        return value;
    QString message;
    if (fromScript) {
        message = GetResourcesInstance().Get(u"clErrorInExp") + u' ' + error;
    } else {
        message = CurObject.isEmpty() ? error : CurObject + QStringLiteral(": ") + error;
        AddError(message);
    }
    throw ECalcError(message.toStdString());
}

// --- event calls ---------------------------------------------------------------------------

bool TrpReport::EventsRun(const QString& eventName, bool runAlways) const
{
    return !eventName.isEmpty() && (runAlways || (engine_ != nullptr && engine_->Running));
}

void TrpReport::DoNotifyEvent(TrpComponent* sender, const QString& eventName, bool runAlways)
{
    if (!EventsRun(eventName, runAlways))
        return;
    Variant arguments[] = {ObjectHandles::ToVariant(sender)};
    script_->CallFunction(eventName, std::span<Variant>(arguments));
}

void TrpReport::DoParamEvent(const QString& eventName, std::vector<Variant>& parameters, bool runAlways)
{
    if (!EventsRun(eventName, runAlways))
        return;
    script_->CallFunction(eventName, std::span<Variant>(parameters));
}

namespace {

QString ScriptEventOf(const TrpComponent& object, bool before)
{
    if (const auto* component = dynamic_cast<const TrpReportComponent*>(&object))
        return before ? component->OnBeforePrint : component->OnAfterPrint;
    if (const auto* page = dynamic_cast<const TrpReportPage*>(&object))
        return before ? page->OnBeforePrint : page->OnAfterPrint;
    return QString();
}

} // namespace

void TrpReport::DoBeforePrint(TrpComponent* object)
{
    if (object == nullptr)
        return;
    if (OnBeforePrint)
        OnBeforePrint(*object);
    DoNotifyEvent(object, ScriptEventOf(*object, true));
}

void TrpReport::DoAfterPrint(TrpComponent* object)
{
    if (object == nullptr)
        return;
    if (OnAfterPrint)
        OnAfterPrint(*object);
    DoNotifyEvent(object, ScriptEventOf(*object, false));
}

void TrpReport::DoPreviewClick(TrpView* view, int32_t button, uint32_t shift, bool& modified, bool doubleClick)
{
    if (view == nullptr)
        return;
    std::vector<Variant> parameters{ObjectHandles::ToVariant(view), Variant(button),
                                    Variant(static_cast<int32_t>(shift)), Variant(modified)};
    DoParamEvent(doubleClick ? view->OnPreviewDblClick : view->OnPreviewClick, parameters, true);
    modified = parameters[3].ToBoolean();
    const auto& handler = doubleClick ? OnDblClickObject : OnClickObject;
    if (handler)
        handler(*view, button, shift, modified);
}

QString TrpReport::QuotedText(const QString& text) const
{
    return ScStringLiteral(ScriptLanguage, text);
}
