#pragma once

// Helpers of the printable-object tests: picture bytes and a text sink that keeps every run.

#include "RecordingSink.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

#include <utility>
#include <vector>

// The bytes of a PNG file of one colour.
inline QByteArray PngBytes(int width, int height, const QColor& color = Qt::red)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

