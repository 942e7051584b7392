#pragma once

#include <QRectF>
#include <QString>

// Receives each text run a drawing paints (its text and device rectangle), in drawing order.
// Glyph runs carry no text of their own: the preview's search and the exports read this.
class ITrpTextSink {
public:
    virtual ~ITrpTextSink() = default;
    virtual void TextRun(const QString& text, const QRectF& deviceRect) = 0;
};

// What a drawing needs beside painter, scales and offsets. Whether output goes to a printer
// comes from the caller, never from the paint device (a QPdfWriter reports none).
struct TrpDrawContext {
    bool Printing = false;
    double PrintScale = 1;
    ITrpTextSink* Sink = nullptr;
};
