#include "rpFont.h"

#include "rpClass_register.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/ScriptErrors.h"

#include <limits>

int32_t MulDiv(int32_t a, int32_t b, int32_t c) noexcept
{
    if (c == 0)
        return -1;
    const int64_t product = int64_t{a} * int64_t{b};
    int64_t quotient = product / c;
    const int64_t remainder = product % c;
    // Half away from zero: compare twice the remainder with the divisor, in magnitudes.
    const int64_t twice = remainder < 0 ? -2 * remainder : 2 * remainder;
    const int64_t divisor = c < 0 ? -int64_t{c} : int64_t{c};
    if (twice >= divisor)
        quotient += ((product < 0) != (c < 0)) ? -1 : 1;
    if (quotient > std::numeric_limits<int32_t>::max() || quotient < std::numeric_limits<int32_t>::min())
        return -1;
    return static_cast<int32_t>(quotient);
}

const ScriptClassInfo& TrpFont::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TFont"), nullptr};
    return info;
}

TrpFont::TrpFont() : name_(QStringLiteral("Arial")), height_(-MulDiv(10, kFontPixelsPerInch, 72)) {}

void TrpFont::Changed()
{
    if (OnChange)
        OnChange();
}

void TrpFont::SetName(const QString& name)
{
    name_ = name;
    Changed();
}

void TrpFont::SetHeight(int32_t height)
{
    height_ = height;
    Changed();
}

int32_t TrpFont::Size() const
{
    return -MulDiv(height_, 72, kFontPixelsPerInch);
}

void TrpFont::SetSize(int32_t size)
{
    SetHeight(-MulDiv(size, kFontPixelsPerInch, 72));
}

void TrpFont::SetStyle(uint32_t style)
{
    style_ = style & kFontStyleMask;
    Changed();
}

void TrpFont::SetColor(int32_t color)
{
    color_ = color;
    Changed();
}

void TrpFont::SetCharset(uint8_t charset)
{
    charset_ = charset;
    Changed();
}

void TrpFont::Assign(const TrpFont& source)
{
    name_ = source.name_;
    height_ = source.height_;
    style_ = source.style_;
    color_ = source.color_;
    charset_ = source.charset_;
    Changed();
}

bool TrpFont::SameAs(const TrpFont& other) const
{
    return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ && color_ == other.color_ &&
           charset_ == other.charset_;
}

void TrpFont::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    const EnumTypeInfo& styles = registry.AddEnum(
        QStringLiteral("TFontStyle"),
        {QStringLiteral("fsBold"), QStringLiteral("fsItalic"), QStringLiteral("fsUnderline"), QStringLiteral("fsStrikeOut")});
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpFont>(); });
    // No value of a font has a default: a stored font is written whole.
    c.AddInteger(
         QStringLiteral("Charset"), GetterOf<TrpFont>([](const TrpFont& f) { return Variant(int32_t{f.Charset()}); }),
         SetterOf<TrpFont>([](TrpFont& f, const Variant& v) {
             const int32_t charset = v.ToInt32();
             if (charset < 0 || charset > 255)
                 throw ERangeError();
             f.SetCharset(static_cast<uint8_t>(charset));
         }),
         0, QStringLiteral("TFontCharset"))
        .Default = Variant();
    c.AddInteger(
         QStringLiteral("Color"), GetterOf<TrpFont>([](const TrpFont& f) { return Variant(f.Color()); }),
         SetterOf<TrpFont>([](TrpFont& f, const Variant& v) { f.SetColor(v.ToInt32()); }), 0, QStringLiteral("TColor"))
        .Default = Variant();
    c.AddInteger(QStringLiteral("Height"), GetterOf<TrpFont>([](const TrpFont& f) { return Variant(f.Height()); }),
                 SetterOf<TrpFont>([](TrpFont& f, const Variant& v) {
                     f.SetHeight(rpreg::Bounded(QStringLiteral("Height"), v, -kMaxFontHeight, kMaxFontHeight));
                 }))
        .Default = Variant();
    c.AddString(
         QStringLiteral("Name"), GetterOf<TrpFont>([](const TrpFont& f) { return Variant(f.Name()); }),
         SetterOf<TrpFont>([](TrpFont& f, const Variant& v) {
             // A font has a name: an empty one would not be written and would come back as "Arial".
             const QString name = v.ToString();
             if (name.trimmed().isEmpty())
                 RaiseInvalidPropertyValue(u"Font.Name", name);
             f.SetName(name);
         }),
         QStringLiteral("TFontName"))
        .Default = Variant();
    // The size follows from the height, which is stored instead.
    PropertyInfo& size =
        c.AddInteger(QStringLiteral("Size"), GetterOf<TrpFont>([](const TrpFont& f) { return Variant(f.Size()); }),
                     SetterOf<TrpFont>([](TrpFont& f, const Variant& v) {
                         // Points: three quarters of the pixels at 96 per inch.
                         f.SetSize(rpreg::Bounded(QStringLiteral("Size"), v, -kMaxFontHeight * 3 / 4, kMaxFontHeight * 3 / 4));
                     }));
    size.Default = Variant();
    size.Stored = [](const ScriptObject&) { return false; };
    c.AddSet(QStringLiteral("Style"), QStringLiteral("TFontStyles"), styles,
             GetterOf<TrpFont>([](const TrpFont& f) { return Variant(static_cast<int32_t>(f.Style())); }),
             SetterOf<TrpFont>([](TrpFont& f, const Variant& v) { f.SetStyle(static_cast<uint32_t>(v.ToInt32())); }))
        .Default = Variant();
}
