#include "report/model/ui/rpClass_dialogcontrol.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/Rounding.h"
#include "report/core/gui/QtConversions.h"
#include "report/model/rpClass_pages.h"

#include <QImage>
#include <QPainter>
#include <QVariant>

#include <algorithm>
#include <optional>

namespace {

QPointer<QWidget>& HiddenParent()
{
    static QPointer<QWidget> widget;
    return widget;
}

// Widget coordinates: rounded half to even, within what a widget takes.
int Pixels(double value)
{
    return RoundHalfEvenClamped(value, -(1 << 24), 1 << 24);
}

} // namespace

QWidget* HiddenParentWidget()
{
    QPointer<QWidget>& widget = HiddenParent();
    if (widget == nullptr) {
        widget = new QWidget;
        widget->setObjectName(QStringLiteral("TParentForm"));
        widget->setAttribute(Qt::WA_DontShowOnScreen);
    }
    return widget;
}

const ScriptClassInfo& TrpDialogControl::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpDialogControl"), &TrpReportComponent::Class()};
    return info;
}

TrpDialogControl::TrpDialogControl()
{
    SetBaseName(ClassNameStem(ClassName(), u"Control"));
}

TrpDialogControl::~TrpDialogControl()
{
    delete control_.data();
}

void TrpDialogControl::SetControl(std::unique_ptr<QWidget> control)
{
    delete control_.data();
    control_ = control.release();
    if (control_ == nullptr)
        return;
    // The subclass calls this from its constructor, where the class is its own.
    SetBaseName(ClassNameStem(ClassName(), u"Control"));
    PlaceControl();
    control_->setGeometry(Pixels(Left()), Pixels(Top()), Pixels(Width()), Pixels(Height()));
    control_->setVisible(Visible());
    ApplyFont();
}

void TrpDialogControl::PlaceControl()
{
    if (control_ == nullptr)
        return;
    QWidget* parentWidget = nullptr;
    if (auto* parentControl = dynamic_cast<TrpDialogControl*>(Parent()))
        parentWidget = parentControl->Control();
    else if (auto* page = dynamic_cast<TrpDialogPage*>(Parent()); page != nullptr && page->DialogForm() != nullptr)
        parentWidget = qobject_cast<QWidget*>(page->DialogForm()->NativeWindow());
    if (parentWidget == nullptr)
        parentWidget = HiddenParentWidget();
    const bool visible = Visible();
    control_->setParent(parentWidget);
    control_->setGeometry(Pixels(Left()), Pixels(Top()), Pixels(Width()), Pixels(Height()));
    control_->setVisible(visible);
}

QString TrpDialogControl::Caption() const
{
    if (control_ == nullptr)
        return QString();
    const QVariant text = control_->property("text");
    return text.isValid() ? text.toString() : control_->windowTitle();
}

void TrpDialogControl::SetCaption(const QString& value)
{
    if (control_ == nullptr)
        return;
    if (!control_->setProperty("text", value))
        control_->setWindowTitle(value);
}

void TrpDialogControl::SetColor(int32_t value)
{
    color_ = value;
    const std::optional<QColor> color = OwnQColor(value);
    if (control_ != nullptr && color) {
        QPalette palette = control_->palette();
        palette.setColor(control_->backgroundRole(), *color);
        control_->setPalette(palette);
    }
}

bool TrpDialogControl::Enabled() const
{
    return control_ == nullptr || control_->isEnabled();
}

void TrpDialogControl::SetEnabled(bool value)
{
    if (control_ != nullptr)
        control_->setEnabled(value);
}

QString TrpDialogControl::Hint() const
{
    return control_ != nullptr ? control_->toolTip() : QString();
}

void TrpDialogControl::SetHint(const QString& value)
{
    if (control_ != nullptr)
        control_->setToolTip(value);
}

bool TrpDialogControl::TabStop() const
{
    if (control_ == nullptr || control_->focusPolicy() == Qt::NoFocus)
        return true;
    return (control_->focusPolicy() & Qt::TabFocus) != 0;
}

void TrpDialogControl::SetTabStop(bool value)
{
    if (control_ == nullptr || control_->focusPolicy() == Qt::NoFocus)
        return;
    control_->setFocusPolicy(value ? Qt::StrongFocus : Qt::ClickFocus);
}

void TrpDialogControl::SetTabOrder(int32_t value)
{
    tabOrder_ = value;
    OrderSiblings();
}

void TrpDialogControl::OrderSiblings()
{
    TrpComponent* parent = Parent();
    if (parent == nullptr || control_ == nullptr)
        return;
    std::vector<TrpDialogControl*> siblings;
    for (TrpComponent* child : parent->Objects()) {
        auto* control = dynamic_cast<TrpDialogControl*>(child);
        if (control != nullptr && control->Control() != nullptr &&
            control->Control()->parentWidget() == control_->parentWidget())
            siblings.push_back(control);
    }
    std::stable_sort(siblings.begin(), siblings.end(),
                     [](const TrpDialogControl* a, const TrpDialogControl* b) { return a->tabOrder_ < b->tabOrder_; });
    for (size_t i = 1; i < siblings.size(); ++i)
        QWidget::setTabOrder(siblings[i - 1]->Control(), siblings[i]->Control());
}

void TrpDialogControl::SetFocus()
{
    if (control_ != nullptr && control_->focusPolicy() != Qt::NoFocus)
        control_->setFocus(Qt::OtherFocusReason);
}

void TrpDialogControl::SetName(const QString& value)
{
    const bool follow = CaptionFollowsName() && !IsLoading() && Caption() == Name();
    TrpReportComponent::SetName(value);
    if (follow)
        SetCaption(value);
}

void TrpDialogControl::SetParent(TrpComponent* value)
{
    TrpReportComponent::SetParent(value);
    PlaceControl();
}

void TrpDialogControl::SetLeft(double value)
{
    TrpReportComponent::SetLeft(value);
    if (control_ != nullptr)
        control_->move(Pixels(Left()), control_->y());
}

void TrpDialogControl::SetTop(double value)
{
    TrpReportComponent::SetTop(value);
    if (control_ != nullptr)
        control_->move(control_->x(), Pixels(Top()));
}

void TrpDialogControl::SetWidth(double value)
{
    TrpReportComponent::SetWidth(value);
    if (control_ != nullptr)
        control_->resize(Pixels(Width()), control_->height());
}

void TrpDialogControl::SetHeight(double value)
{
    TrpReportComponent::SetHeight(value);
    if (control_ != nullptr)
        control_->resize(control_->width(), Pixels(Height()));
}

void TrpDialogControl::SetVisible(bool value)
{
    TrpReportComponent::SetVisible(value);
    if (control_ != nullptr)
        control_->setVisible(value);
}

void TrpDialogControl::SetParentFont(bool value)
{
    TrpReportComponent::SetParentFont(value);
    ApplyFont();
}

void TrpDialogControl::FontChanged()
{
    TrpReportComponent::FontChanged();
    ApplyFont();
}

void TrpDialogControl::ApplyFont()
{
    if (control_ == nullptr)
        return;
    const TrpFont& font = Font();
    control_->setFont(ToQFont(font, font.Name(), font.Height() == 0 ? 0 : std::clamp(std::abs(font.Height()), 1, 4096)));
    if (const std::optional<QColor> color = OwnQColor(font.Color())) {
        QPalette palette = control_->palette();
        palette.setColor(control_->foregroundRole(), *color);
        control_->setPalette(palette);
    }
}

void TrpDialogControl::Draw(QPainter& painter, double, double, double, double, const TrpDrawContext&)
{
    const int width = std::max(Pixels(Width()), 0);
    const int height = std::max(Pixels(Height()), 0);
    if (control_ == nullptr || width == 0 || height == 0)
        return;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(control_->palette().color(QPalette::Button));
    control_->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.drawImage(QPoint(Pixels(AbsLeft()), Pixels(AbsTop())), image);
}

void TrpDialogControl::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpReportComponent::RegisterClass(registry);
    using C = TrpDialogControl;
    RegisteredClass& c = registry.Register(Class());
    c.AcceptsChild = [](const ScriptObject&, const ScriptClassInfo& child) { return child.InheritsFrom(Class()); };
    for (TrpCommonProperty p : {TrpCommonProperty::Left, TrpCommonProperty::Top, TrpCommonProperty::Width,
                                TrpCommonProperty::Height, TrpCommonProperty::Font, TrpCommonProperty::GroupIndex,
                                TrpCommonProperty::ParentFont})
        PublishComponentProperty(c, p);
    c.AddBoolean(QStringLiteral("Enabled"), GetterOf<C>([](const C& o) { return Variant(o.Enabled()); }),
                 SetterOf<C>([](C& o, const Variant& v) { o.SetEnabled(v.ToBoolean()); }), true);
    c.AddString(QStringLiteral("Hint"), GetterOf<C>([](const C& o) { return Variant(o.Hint()); }),
                SetterOf<C>([](C& o, const Variant& v) { o.SetHint(v.ToString()); }));
    c.AddInteger(QStringLiteral("TabOrder"), GetterOf<C>([](const C& o) { return Variant(o.TabOrder()); }),
                 SetterOf<C>([](C& o, const Variant& v) { o.SetTabOrder(v.ToInt32()); }), 0);
    c.AddBoolean(QStringLiteral("ShowHint"), GetterOf<C>([](const C& o) { return Variant(o.ShowHint()); }),
                 SetterOf<C>([](C& o, const Variant& v) { o.SetShowHint(v.ToBoolean()); }), false);
    PublishComponentProperty(c, TrpCommonProperty::Visible);
}
