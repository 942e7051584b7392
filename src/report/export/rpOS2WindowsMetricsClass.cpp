#include "rpOS2WindowsMetricsClass.h"

#include <cstring>
#include <type_traits>

namespace {

// Visits each field with its offset and width in the table, in file order; reading and
// writing share the one layout.
template <typename Metrics, typename Visit>
void ForEachField(Metrics& m, Visit&& visit)
{
    visit(0, m.version);
    visit(2, m.xAvgCharWidth);
    visit(4, m.usWeightClass);
    visit(6, m.usWidthClass);
    visit(8, m.fsType);
    visit(10, m.ySubscriptXSize);
    visit(12, m.ySubscriptYSize);
    visit(14, m.ySubscriptXOffset);
    visit(16, m.ySubscriptYOffset);
    visit(18, m.ySuperscriptXSize);
    visit(20, m.ySuperscriptYSize);
    visit(22, m.ySuperscriptXOffset);
    visit(24, m.ySuperscriptYOffset);
    visit(26, m.yStrikeoutSize);
    visit(28, m.yStrikeoutPosition);
    visit(30, m.sFamilyClass);
    for (size_t i = 0; i < m.panose.size(); ++i)
        visit(32 + i, m.panose[i]);
    visit(42, m.ulUnicodeRange1);
    visit(46, m.ulUnicodeRange2);
    visit(50, m.ulUnicodeRange3);
    visit(54, m.ulUnicodeRange4);
    for (size_t i = 0; i < m.achVendID.size(); ++i)
        visit(58 + i, m.achVendID[i]);
    visit(62, m.fsSelection);
    visit(64, m.usFirstCharIndex);
    visit(66, m.usLastCharIndex);
    visit(68, m.sTypoAscender);
    visit(70, m.sTypoDescender);
    visit(72, m.sTypoLineGap);
    visit(74, m.usWinAscent);
    visit(76, m.usWinDescent);
    visit(78, m.ulCodePageRange1);
    visit(82, m.ulCodePageRange2);
    visit(86, m.sxHeight);
    visit(88, m.sCapHeight);
    visit(90, m.usDefaultChar);
    visit(92, m.usBreakChar);
    visit(94, m.usMaxContext);
}

} // namespace

void OS2WindowsMetricsClass::Load(const TTFBytes& font)
{
    const TTFBytes t = TableBytes(font);
    if (t.Size() < kMinLength)
        RaiseFontFormatError();
    win_metrix = OS2WindowsMetrics{};
    ForEachField(win_metrix, [&](size_t offset, auto& field) {
        using Field = std::remove_reference_t<decltype(field)>;
        if (offset + sizeof(Field) > t.Size())
            return;
        if constexpr (sizeof(Field) == 1)
            field = t.UInt8(offset);
        else if constexpr (sizeof(Field) == 2)
            field = static_cast<Field>(t.UInt16(offset));
        else
            field = static_cast<Field>(t.UInt32(offset));
    });
    const std::span<uint8_t> bytes = t.Span(0, t.Size());
    bytes_.assign(bytes.begin(), bytes.end());
}

uint32_t OS2WindowsMetricsClass::Save(const TTFBytes& font, uint32_t offset)
{
    const uint32_t length = entry.length;
    const uint64_t end = RoundUp4(uint64_t{offset} + length);
    const TTFBytes t = font.Sub(offset, static_cast<size_t>(end - offset));
    std::memcpy(t.Span(0, bytes_.size()).data(), bytes_.data(), bytes_.size());
    ForEachField(win_metrix, [&](size_t at, auto& field) {
        using Field = std::remove_reference_t<decltype(field)>;
        if (at + sizeof(Field) > length)
            return;
        if constexpr (sizeof(Field) == 1)
            t.Span(at, 1)[0] = field;
        else if constexpr (sizeof(Field) == 2)
            t.SetUInt16(at, static_cast<uint16_t>(field));
        else
            t.SetUInt32(at, static_cast<uint32_t>(field));
    });
    PadWithZeros(font, uint64_t{offset} + length, end);
    return Placed(offset, length);
}
