// Class descriptors from the property registry, event properties and child components.
//
// A class registered in the property registry shows scripts its published properties
// without a binding of its own: each becomes a member with the type code of its kind, read
// and written through the registry's getter and setter on the instance resolved through the
// handle table for the class.

#include "sc_iconsts.h"
#include "sc_iinterpreter.h"
#include "sc_iinterpreter_script.h"

#include "report/core/PropertyCodec.h"
#include "report/core/PropertyRegistry.h"
#include "report/core/ScriptErrors.h"

#include <algorithm>
#include <iterator>

namespace {

// The type code scripts see for each type of value the property codec tells, in the order of
// propertycodec::ValueType; sets read and write as enumerations.
constexpr TscVarType kScriptTypeOf[] = {fvtInt,  fvtInt64, fvtChar,   fvtBool,    fvtEnum,
                                        fvtEnum, fvtFloat, fvtString, fvtVariant, fvtClass};
static_assert(std::size(kScriptTypeOf) == static_cast<size_t>(propertycodec::ValueType::Object) + 1);

} // namespace

Variant ScSetValue(const Variant& value)
{
    if (!value.IsArray())
        return value;
    if (value.ArrayDimCount() != 1)
        throw EVariantInvalidArgError();
    const VariantArrayBound bound = value.ArrayBound(0);
    int32_t bits = 0;
    for (int32_t i = bound.Low; i <= bound.High; ++i) {
        const int32_t index[] = {i};
        bits |= value.ArrayItem(index).ToInt32(ScActiveSettings());
    }
    return Variant(bits);
}

void TscClassVariable::AddPublishedProperties()
{
    if (ClassRef == nullptr)
        return;
    const RegisteredClass* registered = PropertyRegistry::Global().Find(*ClassRef);
    if (registered == nullptr)
        return;
    std::vector<const PropertyInfo*> published;
    for (const PropertyInfo* property : registered->AllProperties()) {
        if (property->Kind != PropertyKind::EventName)
            published.push_back(property);
    }
    std::stable_sort(published.begin(), published.end(), [](const PropertyInfo* a, const PropertyInfo* b) {
        return QString::compare(a->Name, b->Name, Qt::CaseInsensitive) < 0;
    });
    const ScriptClassInfo& cls = *ClassRef;
    for (const PropertyInfo* property : published) {
        // The names of enumerations and set elements, so that scripts can write them (unless a
        // module registered them already, under the enumeration's or the set's name).
        if (FProgram != nullptr && property->Enum != nullptr && property->Kind != PropertyKind::Char &&
            FProgram->Find(property->Enum->Name) == nullptr &&
            (property->Kind != PropertyKind::Set || FProgram->Find(property->TypeName) == nullptr) &&
            property->Enum->Name != QLatin1String("Boolean")) {
            const QString names = QStringList(property->Enum->Values.begin(), property->Enum->Values.end()).join(u',');
            if (property->Kind == PropertyKind::Set)
                FProgram->AddEnumSet(property->Enum->Name, names);
            else
                FProgram->AddEnum(property->Enum->Name, names);
        }
        const propertycodec::TypeOfValue type = propertycodec::TypeOf(*property);
        auto helper = std::make_unique<TscPropertyHelper>(property->Name, kScriptTypeOf[static_cast<size_t>(type.Type)],
                                                          type.TypeName);
        helper->FClassRef = this;
        helper->IsPublished = true;
        helper->IsReadOnly = !property->HasSetter();
        helper->OnGetValue = [property, &cls](TscCallFrame& frame) {
            if (!property->Get)
                return Variant::NullValue();
            return property->Get(frame.Object(cls));
        };
        if (property->HasSetter()) {
            helper->OnSetValue = [property, &cls](TscCallFrame& frame) {
                ScriptObject& object = frame.Object(cls);
                const Variant& value = *frame.AssignedValue;
                property->Set(object, propertycodec::FromValue(
                                          *property, property->Kind == PropertyKind::Set ? ScSetValue(value) : value));
                return Variant::NullValue();
            };
        }
        FMembers.push_back(std::move(helper));
    }
}

TscEventHelper* TscClassVariable::AddEvent(const QString& name, TscEventBinder binder)
{
    auto event = std::make_unique<TscEventHelper>(name, std::move(binder));
    event->FClassRef = this;
    TscEventHelper* raw = event.get();
    FMembers.push_back(std::move(event));
    return raw;
}

TscComponentHelper* TscClassVariable::AddComponent(const QString& name, ScriptObject& component)
{
    auto helper = std::make_unique<TscComponentHelper>(name, component);
    TscComponentHelper* raw = helper.get();
    FMembers.push_back(std::move(helper));
    return raw;
}

TscEventHelper::TscEventHelper(const QString& name, TscEventBinder binder)
    : TscCustomHelper(name, fvtString, QString()), FEvent(std::move(binder))
{
}

Variant TscEventHelper::ReadStep(TscStepContext&)
{
    return Variant(QString());
}

void TscEventHelper::WriteStep(TscStepContext& context, const Variant& value)
{
    const QString name = value.ToString(ScActiveSettings());
    TscProcVariable* handler = nullptr;
    if (name != QLatin1String("0")) {
        TscCustomVariable* found = context.Program != nullptr ? context.Program->Find(name) : nullptr;
        handler = dynamic_cast<TscProcVariable*>(found);
        if (handler == nullptr)
            throw EScriptException(FormatScMessage(TscMessage::SEventError, QStringList()).toStdString());
    }
    if (!FEvent)
        return;
    TscCallFrame frame = TscCallFrame::ForStep(context, FUpperName, &value);
    FEvent(frame, handler);
}

TscComponentHelper::TscComponentHelper(const QString& name, ScriptObject& component)
    : TscCustomHelper(name, fvtClass, component.ScriptClass().Name), FComponent(component.Handle())
{
    IsReadOnly = true;
}

Variant TscComponentHelper::ReadStep(TscStepContext&)
{
    return Variant::FromObject(FComponent);
}
