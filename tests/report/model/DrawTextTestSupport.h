#pragma once

// Shared set-up of the text layout tests: an engine configured the way a memo configures it.

#include "report/model/rpDrawText.h"

#include <QRectF>
#include <QStringList>

#include <memory>
#include <ostream>

// Texts in failure messages as UTF-8.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace drawtexttest {

struct LayoutSetup {
    QString FontName = QStringLiteral("Arial");
    int32_t Size = 10;
    uint32_t Style = 0;
    TColor Color = clBlack;
    bool WordWrap = true;
    bool HTMLTags = true;
    bool RTLReading = false;
    bool WordBreak = false;
    bool Clipped = true;
    bool Wysiwyg = true;
    int Rotation = 0;
    double ParagraphGap = 0;
    double CharSpacing = 0;
    double LineSpacing = 2;
    double ScaleX = 1;
    double ScaleY = 1;
    double PrintScale = 1;
    QRectF Box = QRectF(0, 0, 200, 1000);   // at 96 dpi, zoom 1
    QRectF ScaledBox;                       // on the device; Box when empty
};

inline std::unique_ptr<TrpDrawText> Configured(const LayoutSetup& setup)
{
    auto text = std::make_unique<TrpDrawText>();
    TrpDrawFont font;
    font.Name = setup.FontName;
    font.Size = setup.Size;
    font.Style = setup.Style;
    font.Color = setup.Color;
    text->SetFont(font);
    text->SetOptions(setup.WordWrap, setup.HTMLTags, setup.RTLReading, setup.WordBreak, setup.Clipped, setup.Wysiwyg,
                     setup.Rotation);
    text->SetGaps(setup.ParagraphGap, setup.CharSpacing, setup.LineSpacing);
    text->SetDimensions(setup.ScaleX, setup.ScaleY, setup.PrintScale, setup.Box,
                        setup.ScaledBox.isNull() ? setup.Box : setup.ScaledBox);
    return text;
}

inline std::unique_ptr<TrpDrawText> LaidOut(const LayoutSetup& setup, const QStringList& lines)
{
    auto text = Configured(setup);
    text->SetText(lines);
    return text;
}

inline QStringList Lines(const TrpDrawText& text)
{
    QStringList lines;
    for (int i = 0; i < text.LineCount(); ++i)
        lines << text.Line(i);
    return lines;
}

// The width of a one-line text in the setup's font, in pixels at 96 dpi.
inline double WidthOf(const LayoutSetup& setup, const QString& line)
{
    LayoutSetup unbounded = setup;
    unbounded.Box = QRectF(0, 0, 100000, 1000);
    unbounded.ParagraphGap = 0;
    return LaidOut(unbounded, {line})->CalcWidth();
}

} // namespace drawtexttest
