#include "ScriptFont.h"

#include "PropertyRegistry.h"
#include "ScriptErrors.h"
#include "Formats.h"
#include "Texts.h"

#include <limits>
#include <string>

int32_t MulDiv(int32_t a, int32_t b, int32_t c) noexcept
{
    if (c == 0)
        return -1;
    const int64_t product = int64_t{a} * int64_t{b};
    int64_t quotient = product / c;
    const int64_t remainder = product % c;
    const int64_t twice = remainder < 0 ? -2 * remainder : 2 * remainder;
    const int64_t divisor = c < 0 ? -int64_t{c} : int64_t{c};
    if (twice >= divisor)
        quotient += ((product < 0) != (c < 0)) ? -1 : 1;
    if (quotient > std::numeric_limits<int32_t>::max() || quotient < std::numeric_limits<int32_t>::min())
        return -1;
    return static_cast<int32_t>(quotient);
}

const ScriptClassInfo& ScriptFont::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TFont"), nullptr};
    return info;
}

ScriptFont::ScriptFont() : name_(QStringLiteral("Arial")), height_(-MulDiv(10, kPixelsPerInch, 72)), color_(0) {}

void ScriptFont::Changed()
{
    if (OnChange)
        OnChange();
}

void ScriptFont::SetName(const QString& name)
{
    name_ = name;
    Changed();
}

void ScriptFont::SetHeight(int32_t height)
{
    height_ = height;
    Changed();
}

int32_t ScriptFont::Size() const
{
    return -MulDiv(height_, 72, kPixelsPerInch);
}

void ScriptFont::SetSize(int32_t size)
{
    SetHeight(-MulDiv(size, kPixelsPerInch, 72));
}

void ScriptFont::SetStyle(uint32_t style)
{
    style_ = style & kStyleMask;
    Changed();
}

void ScriptFont::SetColor(TColor color)
{
    color_ = color;
    Changed();
}

void ScriptFont::SetCharset(uint8_t charset)
{
    charset_ = charset;
    Changed();
}

void ScriptFont::SetPitch(int pitch)
{
    if (pitch < fpDefault || pitch > fpFixed)
        throw ERangeError();
    pitch_ = pitch;
    Changed();
}

void ScriptFont::Assign(const ScriptFont& source)
{
    name_ = source.name_;
    height_ = source.height_;
    style_ = source.style_;
    color_ = source.color_;
    charset_ = source.charset_;
    pitch_ = source.pitch_;
    Changed();
}

bool ScriptFont::SameAs(const ScriptFont& other) const
{
    return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ && color_ == other.color_ &&
           charset_ == other.charset_ && pitch_ == other.pitch_;
}

void ScriptFont::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    const EnumTypeInfo& styles = registry.AddEnum(
        QStringLiteral("TFontStyle"),
        {QStringLiteral("fsBold"), QStringLiteral("fsItalic"), QStringLiteral("fsUnderline"), QStringLiteral("fsStrikeout")});
    const EnumTypeInfo& pitches = registry.AddEnum(
        QStringLiteral("TFontPitch"), {QStringLiteral("fpDefault"), QStringLiteral("fpVariable"), QStringLiteral("fpFixed")});
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<ScriptFont>(); });
    // No value of a font has a default: a stored font is written whole.
    c.AddInteger(
         QStringLiteral("Charset"), GetterOf<ScriptFont>([](const ScriptFont& f) { return Variant(int32_t{f.Charset()}); }),
         SetterOf<ScriptFont>([](ScriptFont& f, const Variant& v) {
             const int32_t charset = v.ToInt32();
             if (charset < 0 || charset > 255)
                 throw ERangeError();
             f.SetCharset(static_cast<uint8_t>(charset));
         }),
         0, QStringLiteral("TFontCharset"))
        .Default = Variant();
    c.AddInteger(
         QStringLiteral("Color"), GetterOf<ScriptFont>([](const ScriptFont& f) { return Variant(f.Color()); }),
         SetterOf<ScriptFont>([](ScriptFont& f, const Variant& v) { f.SetColor(v.ToInt32()); }), 0,
         QStringLiteral("TColor"))
        .Default = Variant();
    c.AddInteger(QStringLiteral("Height"), GetterOf<ScriptFont>([](const ScriptFont& f) { return Variant(f.Height()); }),
                 SetterOf<ScriptFont>([](ScriptFont& f, const Variant& v) {
                     const int32_t height = v.ToInt32();
                     if (height < -kMaxHeight || height > kMaxHeight)
                         throw ERangeError(FormatText(coretexts::kFontHeightOutOfRangeFormat, {Variant(height)}).toStdString());
                     f.SetHeight(height);
                 }))
        .Default = Variant();
    c.AddString(
         QStringLiteral("Name"), GetterOf<ScriptFont>([](const ScriptFont& f) { return Variant(f.Name()); }),
         SetterOf<ScriptFont>([](ScriptFont& f, const Variant& v) {
             // A font has a name: an empty one would not be stored and would come back as "Arial".
             const QString name = v.ToString();
             if (name.trimmed().isEmpty())
                 throw EInvalidOperation(coretexts::kFontNameEmptyText);
             f.SetName(name);
         }),
         QStringLiteral("TFontName"))
        .Default = Variant();
    c.AddEnum(QStringLiteral("Pitch"), pitches,
              GetterOf<ScriptFont>([](const ScriptFont& f) { return Variant(int32_t{f.PitchValue()}); }),
              SetterOf<ScriptFont>([](ScriptFont& f, const Variant& v) { f.SetPitch(v.ToInt32()); }));
    // The size follows from the height, which is stored instead.
    PropertyInfo& size =
        c.AddInteger(QStringLiteral("Size"), GetterOf<ScriptFont>([](const ScriptFont& f) { return Variant(f.Size()); }),
                     SetterOf<ScriptFont>([](ScriptFont& f, const Variant& v) {
                         // Points: three quarters of the pixels at 96 per inch.
                         const int32_t size = v.ToInt32();
                         if (size < -kMaxHeight * 3 / 4 || size > kMaxHeight * 3 / 4)
                             throw ERangeError(FormatText(coretexts::kFontSizeOutOfRangeFormat, {Variant(size)}).toStdString());
                         f.SetSize(size);
                     }));
    size.Default = Variant();
    size.Stored = [](const ScriptObject&) { return false; };
    c.AddSet(QStringLiteral("Style"), QStringLiteral("TFontStyles"), styles,
             GetterOf<ScriptFont>([](const ScriptFont& f) { return Variant(static_cast<int32_t>(f.Style())); }),
             SetterOf<ScriptFont>([](ScriptFont& f, const Variant& v) { f.SetStyle(static_cast<uint32_t>(v.ToInt32())); }))
        .Default = Variant();
}
