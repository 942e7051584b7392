#include "rpDrawText.h"

#include "rpUtils.h"

#include "report/core/Rounding.h"
#include "report/core/TextCodes.h"

#include <algorithm>
#include <optional>

namespace {

// A <font color=...> tag is looked for only this far: a text full of unterminated tags
// still expands in linear time.
constexpr int kMaxFontTagLength = 64;

enum class TagEffect { AddStyle, RemoveStyle, SmallSub, SmallSup, NormalSize, NoWrapOn, NoWrapOff, DefaultColor };

struct FixedTag {
    const char16_t* Text;
    TagEffect Effect;
    uint32_t Style;
};

const FixedTag kFixedTags[] = {
    {u"<b>", TagEffect::AddStyle, kTextStyleBold},
    {u"<i>", TagEffect::AddStyle, kTextStyleItalic},
    {u"<u>", TagEffect::AddStyle, kTextStyleUnderline},
    {u"</b>", TagEffect::RemoveStyle, kTextStyleBold},
    {u"</i>", TagEffect::RemoveStyle, kTextStyleItalic},
    {u"</u>", TagEffect::RemoveStyle, kTextStyleUnderline},
    {u"<strike>", TagEffect::AddStyle, kTextStyleStrikeOut},
    {u"</strike>", TagEffect::RemoveStyle, kTextStyleStrikeOut},
    {u"<sub>", TagEffect::SmallSub, 0},
    {u"<sup>", TagEffect::SmallSup, 0},
    {u"</sub>", TagEffect::NormalSize, 0},
    {u"</sup>", TagEffect::NormalSize, 0},
    {u"<nowrap>", TagEffect::NoWrapOn, 0},
    {u"</nowrap>", TagEffect::NoWrapOff, 0},
    {u"</font>", TagEffect::DefaultColor, 0},
};

constexpr QStringView kFontColorTag = u"<font color=";

bool StartsWithAt(QStringView text, int at, QStringView what)
{
    return text.size() - at >= what.size() && text.sliced(at, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

// The colour a <font color=...> value stands for: "#RRGGBB" in double quotes, or a colour
// identifier without its "cl". Anything else (digits that are not hexadecimal included) is
// no colour, and the tag stays text.
std::optional<TColor> ParseColorValue(QStringView value)
{
    if (value.size() == 9 && value[0] == u'"' && value[1] == u'#' && value[8] == u'"') {
        int parts[3];
        for (int i = 0; i < 3; ++i) {
            const int high = HexDigitValue(value[2 + 2 * i]);
            const int low = HexDigitValue(value[3 + 2 * i]);
            if (high < 0 || low < 0)
                return std::nullopt;
            parts[i] = high * 16 + low;
        }
        return RGBColor(parts[0], parts[1], parts[2]);
    }
    if (value.isEmpty() || value[0] == u'"' || value[0] == u'#')
        return std::nullopt;
    if (const ColorIdentifier* entry = FindColorIdentifier(QStringLiteral("cl") + value.toString()))
        return entry->Color;
    return std::nullopt;
}

int32_t SmallSize(int32_t size)
{
    return static_cast<int32_t>(RoundHalfEven(size / 1.5));
}

} // namespace

void TrpHTMLTag::Assign(const TrpHTMLTag& source)
{
    const bool dontWrap = DontWRAP;
    *this = source;
    DontWRAP = dontWrap;
}

TrpHTMLTags TrpHTMLTags::Slice(int first, int count) const
{
    TrpHTMLTags slice;
    slice.FItems.assign(FItems.begin() + first, FItems.begin() + first + count);
    return slice;
}

TrpHTMLTagsList::TrpHTMLTagsList()
{
    SetDefaults(0, 10, 0);
}

void TrpHTMLTagsList::Truncate(int count)
{
    if (count < Count())
        FItems.resize(static_cast<std::size_t>(count));
}

void TrpHTMLTagsList::SetDefaults(TColor DefColor, int32_t DefSize, uint32_t DefStyle)
{
    FDefColor = DefColor;
    FDefSize = DefSize;
    FDefStyle = DefStyle;
    FColor = DefColor;
    FSize = DefSize;
    FStyle = DefStyle;
    FAddY = 0;
    FDontWRAP = false;
    FPosition = 1;
    FPrevious = CurrentTag();
}

TrpHTMLTag TrpHTMLTagsList::CurrentTag() const
{
    TrpHTMLTag tag;
    tag.Position = FPosition;
    tag.Size = FSize;
    tag.AddY = FAddY;
    tag.Style = FStyle;
    tag.Color = FColor;
    tag.Small = FSize != FDefSize;
    tag.DontWRAP = FDontWRAP;
    return tag;
}

int TrpHTMLTagsList::MatchTag(QStringView text, int at)
{
    for (const FixedTag& fixed : kFixedTags) {
        const QStringView tagText(fixed.Text);
        if (!StartsWithAt(text, at, tagText))
            continue;
        switch (fixed.Effect) {
        case TagEffect::AddStyle:
            FStyle |= fixed.Style;
            break;
        case TagEffect::RemoveStyle:
            FStyle &= ~fixed.Style;
            break;
        case TagEffect::SmallSub:
            FSize = SmallSize(FDefSize);
            FAddY = 1;
            break;
        case TagEffect::SmallSup:
            FSize = SmallSize(FDefSize);
            FAddY = 0;
            break;
        case TagEffect::NormalSize:
            FSize = FDefSize;
            FAddY = 0;
            break;
        case TagEffect::NoWrapOn:
            FDontWRAP = true;
            break;
        case TagEffect::NoWrapOff:
            FDontWRAP = false;
            break;
        case TagEffect::DefaultColor:
            FColor = FDefColor;
            break;
        }
        return static_cast<int>(tagText.size());
    }
    if (!StartsWithAt(text, at, kFontColorTag))
        return 0;
    int valueStart = at + static_cast<int>(kFontColorTag.size());
    while (valueStart < text.size() && text[valueStart] == u' ')
        ++valueStart;
    const int searchEnd = std::min(static_cast<int>(text.size()), at + kMaxFontTagLength);
    for (int end = valueStart; end < searchEnd; ++end) {
        if (text[end] != u'>')
            continue;
        const std::optional<TColor> color = ParseColorValue(text.sliced(valueStart, end - valueStart));
        if (!color)
            return 0;
        FColor = *color;
        return end + 1 - at;
    }
    return 0;
}

TrpHTMLTag TrpHTMLTagsList::NextTag(int32_t position)
{
    TrpHTMLTag tag = CurrentTag();
    tag.Position = position;
    tag.Default = !FAllowTags || (tag.Style == FPrevious.Style && tag.Color == FPrevious.Color &&
                                  tag.Size == FPrevious.Size && tag.AddY == FPrevious.AddY &&
                                  tag.DontWRAP == FPrevious.DontWRAP);
    FPrevious = tag;
    return tag;
}

TrpHTMLTags TrpHTMLTagsList::ExpandHTMLTags(QString& text)
{
    TrpHTMLTags tags;
    const int32_t lineStart = FPosition;
    QString plain;
    plain.reserve(text.size());
    const QStringView source(text);
    for (int i = 0; i < source.size();) {
        if (FAllowTags && source[i] == u'<') {
            if (const int length = MatchTag(source, i); length > 0) {
                i += length;
                FPosition += length;
                continue;
            }
        }
        tags.Add(NextTag(FPosition));
        plain.append(source[i]);
        ++i;
        ++FPosition;
    }
    if (plain.isEmpty()) {
        // The blank stands for the whole line, so a split before it keeps the line's tags.
        tags.Add(NextTag(lineStart));
        plain = QStringLiteral(" ");
    }
    text = plain;
    return tags;
}

QString TrpDrawText::DeleteTags(const QString& Txt)
{
    TrpHTMLTagsList list;
    QString text = Txt;
    list.ExpandHTMLTags(text);
    if (text == u" " && Txt != u" ")
        return QString(); // a text of tags only
    return text;
}
