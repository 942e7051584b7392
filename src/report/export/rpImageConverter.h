#pragma once

// Pictures of the exports as files: six formats by type, their extensions, and a GIF writer
// of the exports' own (GIF89a, one global 256-colour table, LZW).

#include <QString>

class QIODevice;
class QImage;

enum TrpPictureType : int { gpPNG, gpBMP, gpEMF, gpWMF, gpJPG, gpGIF };

// "png", "bmp", "jpg", "gif"; metafiles have no producer here and are written as PNG, so
// gpEMF and gpWMF give "png" too. Any other value gives an empty text.
QString PictureExtension(int type);

// Writes the picture in the format of `type`. PNG keeps the pixels of colour 0x123456 (red
// 0x56, green 0x34, blue 0x12) transparent. A failure of the image writer raises.
void SaveGraphicAs(const QImage& graphic, QIODevice& stream, TrpPictureType type);

// The picture as a file: written whole or not at all (an older file stays as it was).
void SaveGraphicToFile(const QImage& graphic, const QString& fileName, TrpPictureType type);

// GIF89a: the picture reduced to at most 256 colours, the graphic-control and comment
// extensions, LZW data in sub-blocks of 254 bytes.
void WriteGIF(QIODevice& stream, const QImage& bitmap);
