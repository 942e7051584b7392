// The published properties of the component base, as the property registry describes them.

#include "rpClass.h"
#include "rpClass_register.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/ScriptErrors.h"

#include <cmath>

namespace {

const EnumTypeInfo& RestrictionEnum()
{
    return PropertyRegistry::Global().AddEnum(QStringLiteral("TrpRestriction"),
                                              {QStringLiteral("rfDontModify"), QStringLiteral("rfDontSize"),
                                               QStringLiteral("rfDontMove"), QStringLiteral("rfDontDelete"),
                                               QStringLiteral("rfDontEdit")});
}

PropertyInfo& AddBound(RegisteredClass& cls, const QString& name, double (TrpComponent::*get)() const,
                       void (TrpComponent::*set)(double))
{
    PropertyInfo& p = cls.AddFloat(
        name, GetterOf<TrpComponent>([get](const TrpComponent& c) { return Variant((c.*get)()); }),
        SetterOf<TrpComponent>([set, name](TrpComponent& c, const Variant& v) {
            (c.*set)(rpreg::Bounded(name, v, -kMaxCoordinate, kMaxCoordinate));
        }));
    p.Default = Variant(); // always written
    return p;
}

PropertyInfo& AddEventName(RegisteredClass& cls, const QString& name, const QString& typeName,
                           QString TrpReportComponent::*field)
{
    return cls.AddEvent(
        name, typeName,
        GetterOf<TrpReportComponent>([field](const TrpReportComponent& c) { return Variant(c.*field); }),
        SetterOf<TrpReportComponent>([field](TrpReportComponent& c, const Variant& v) { c.*field = v.ToString(); }));
}

} // namespace

void TrpComponent::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpFont::RegisterClass(registry);
    registry.AddEnum(QStringLiteral("TrpAlign"),
                     {QStringLiteral("baNone"), QStringLiteral("baLeft"), QStringLiteral("baRight"),
                      QStringLiteral("baCenter"), QStringLiteral("baWidth"), QStringLiteral("baBottom"),
                      QStringLiteral("baClient")});
    RestrictionEnum();
    RegisteredClass& c = registry.Register(Class());
    // The serializer writes the name itself, first, for every object but the root, so the
    // property is never stored with the others.
    PropertyInfo& name = c.AddString(
        QStringLiteral("Name"), GetterOf<TrpComponent>([](const TrpComponent& o) { return Variant(o.Name()); }),
        SetterOf<TrpComponent>([](TrpComponent& o, const Variant& v) { o.SetName(v.ToString()); }),
        QStringLiteral("TComponentName"));
    name.Stored = [](const ScriptObject&) { return false; };
    c.AddInteger(QStringLiteral("Tag"), GetterOf<TrpComponent>([](const TrpComponent& o) { return Variant(o.Tag()); }),
                 SetterOf<TrpComponent>([](TrpComponent& o, const Variant& v) { o.SetTag(v.ToInt32()); }));
}

void TrpReportComponent::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpComponent::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class());
    PublishComponentProperty(c, TrpCommonProperty::Description);
}

void PublishComponentProperty(RegisteredClass& cls, TrpCommonProperty property)
{
    switch (property) {
    case TrpCommonProperty::Left:
        AddBound(cls, QStringLiteral("Left"), &TrpComponent::Left, &TrpComponent::SetLeft);
        return;
    case TrpCommonProperty::Top:
        AddBound(cls, QStringLiteral("Top"), &TrpComponent::Top, &TrpComponent::SetTop);
        return;
    case TrpCommonProperty::Width:
        AddBound(cls, QStringLiteral("Width"), &TrpComponent::Width, &TrpComponent::SetWidth);
        return;
    case TrpCommonProperty::Height:
        AddBound(cls, QStringLiteral("Height"), &TrpComponent::Height, &TrpComponent::SetHeight);
        return;
    case TrpCommonProperty::Font: {
        PropertyInfo& p = cls.AddNested(
            QStringLiteral("Font"), TrpFont::Class(),
            [](const ScriptObject& o) -> ScriptObject* {
                return &const_cast<TrpComponent&>(static_cast<const TrpComponent&>(o)).Font();
            },
            [](ScriptObject& o, ScriptObject* value) {
                static_cast<TrpComponent&>(o).SetFont(static_cast<const TrpFont&>(*value));
            });
        p.Stored = [](const ScriptObject& o) { return !static_cast<const TrpComponent&>(o).ParentFont(); };
        return;
    }
    case TrpCommonProperty::ParentFont:
        cls.AddBoolean(
            QStringLiteral("ParentFont"),
            GetterOf<TrpComponent>([](const TrpComponent& o) { return Variant(o.ParentFont()); }),
            SetterOf<TrpComponent>([](TrpComponent& o, const Variant& v) { o.SetParentFont(v.ToBoolean()); }), true);
        return;
    case TrpCommonProperty::Visible:
        cls.AddBoolean(QStringLiteral("Visible"),
                       GetterOf<TrpComponent>([](const TrpComponent& o) { return Variant(o.Visible()); }),
                       SetterOf<TrpComponent>([](TrpComponent& o, const Variant& v) { o.SetVisible(v.ToBoolean()); }),
                       true);
        return;
    case TrpCommonProperty::Restrictions:
        cls.AddSet(QStringLiteral("Restrictions"), QStringLiteral("TrpRestrictions"), RestrictionEnum(),
                   GetterOf<TrpComponent>(
                       [](const TrpComponent& o) { return Variant(static_cast<int32_t>(o.Restrictions())); }),
                   SetterOf<TrpComponent>([](TrpComponent& o, const Variant& v) {
                       o.SetRestrictions(static_cast<TrpRestrictions>(v.ToInt32()));
                   }));
        return;
    case TrpCommonProperty::GroupIndex:
        cls.AddInteger(QStringLiteral("GroupIndex"),
                       GetterOf<TrpComponent>([](const TrpComponent& o) { return Variant(o.GroupIndex()); }),
                       SetterOf<TrpComponent>([](TrpComponent& o, const Variant& v) { o.SetGroupIndex(v.ToInt32()); }));
        return;
    case TrpCommonProperty::Description:
        cls.AddString(QStringLiteral("Description"),
                      GetterOf<TrpComponent>([](const TrpComponent& o) { return Variant(o.Description()); }),
                      SetterOf<TrpComponent>([](TrpComponent& o, const Variant& v) { o.SetDescription(v.ToString()); }));
        return;
    case TrpCommonProperty::OnAfterData:
        AddEventName(cls, QStringLiteral("OnAfterData"), QStringLiteral("TrpNotifyEvent"),
                     &TrpReportComponent::OnAfterData);
        return;
    case TrpCommonProperty::OnAfterPrint:
        AddEventName(cls, QStringLiteral("OnAfterPrint"), QStringLiteral("TrpNotifyEvent"),
                     &TrpReportComponent::OnAfterPrint);
        return;
    case TrpCommonProperty::OnBeforePrint:
        AddEventName(cls, QStringLiteral("OnBeforePrint"), QStringLiteral("TrpNotifyEvent"),
                     &TrpReportComponent::OnBeforePrint);
        return;
    case TrpCommonProperty::OnPreviewClick:
        AddEventName(cls, QStringLiteral("OnPreviewClick"), QStringLiteral("TrpPreviewClickEvent"),
                     &TrpReportComponent::OnPreviewClick);
        return;
    case TrpCommonProperty::OnPreviewDblClick:
        AddEventName(cls, QStringLiteral("OnPreviewDblClick"), QStringLiteral("TrpPreviewClickEvent"),
                     &TrpReportComponent::OnPreviewDblClick);
        return;
    }
}
