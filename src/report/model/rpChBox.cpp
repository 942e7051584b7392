#include "rpChBox.h"

#include "rpClass_register.h"
#include "rpRes.h"

#include "report/core/PropertyRegistry.h"

const ScriptClassInfo& TrpCheckBoxView::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpCheckBoxView"), &TrpView::Class()};
    return info;
}

TrpCheckBoxView::TrpCheckBoxView()
{
    SetWidth(kCheckBoxSize);
    SetHeight(kCheckBoxSize);
}

QString TrpCheckBoxView::GetDescription() const
{
    return GetResourcesInstance().Get(u"obChBox");
}

void TrpCheckBoxView::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpView::RegisterClass(registry);
    const EnumTypeInfo& checkStyles = registry.AddEnum(
        QStringLiteral("TrpCheckStyle"),
        {QStringLiteral("csCross"), QStringLiteral("csCheck"), QStringLiteral("csLineCross"), QStringLiteral("csPlus")});
    const EnumTypeInfo& uncheckStyles = registry.AddEnum(
        QStringLiteral("TrpUncheckStyle"),
        {QStringLiteral("usEmpty"), QStringLiteral("usCross"), QStringLiteral("usLineCross"), QStringLiteral("usMinus")});
    using C = TrpCheckBoxView;
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpCheckBoxView>(); });
    PublishViewProperty(c, TrpViewProperty::BrushStyle);
    rpreg::Int<C>(c, "CheckColor", &C::CheckColor, std::nullopt, "TColor");
    rpreg::Bool<C>(c, "Checked", &C::Checked, true);
    rpreg::Enum<C, TrpCheckStyle>(c, "CheckStyle", checkStyles, &C::CheckStyle, std::nullopt);
    PublishViewProperty(c, TrpViewProperty::Color);
    PublishViewProperty(c, TrpViewProperty::Cursor);
    PublishViewProperty(c, TrpViewProperty::DataField);
    PublishViewProperty(c, TrpViewProperty::DataSet);
    PublishViewProperty(c, TrpViewProperty::DataSetName);
    rpreg::Str<C>(c, "Expression", &C::Expression);
    PublishViewProperty(c, TrpViewProperty::Frame);
    PublishViewProperty(c, TrpViewProperty::TagStr);
    rpreg::Enum<C, TrpUncheckStyle>(c, "UncheckStyle", uncheckStyles, &C::UncheckStyle, usEmpty);
    PublishViewProperty(c, TrpViewProperty::URL);
}
