#include "rpImageConverter.h"

#include "report/model/rpClass_report.h"
#include "report/model/rpStreams.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <array>
#include <vector>

namespace {

// The colour the exports keep transparent in PNG files (a report colour: blue 0x12, green
// 0x34, red 0x56).
constexpr QRgb kTransparentRgb = qRgb(0x56, 0x34, 0x12);

void WriteImage(const QImage& image, QIODevice& stream, const char* format, int quality = -1)
{
    QImageWriter writer(&stream, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        throw EReportError(writer.errorString().toStdString());
}

// The GIF variable-length LZW coder: codes from 9 to 12 bits, least significant bit first,
// the string table in an open-addressing hash of 5003 slots.
class GifLzw {
public:
    explicit GifLzw(QByteArray& out) : out_(out) {}

    void Encode(const uchar* const* rows, int width, int height)
    {
        ClearHash();
        Output(kClear);
        int ent = -1;
        for (int y = 0; y < height; ++y) {
            const uchar* row = rows[y];
            for (int x = 0; x < width; ++x) {
                const int c = row[x];
                if (ent < 0) {
                    ent = c;
                    continue;
                }
                const int32_t fcode = (static_cast<int32_t>(c) << 12) + ent;
                int i = (c << 4) ^ ent;
                bool found = false;
                if (hash_[static_cast<size_t>(i)] == fcode) {
                    found = true;
                } else if (hash_[static_cast<size_t>(i)] >= 0) {
                    const int disp = i == 0 ? 1 : kHashSize - i;
                    for (;;) {
                        i -= disp;
                        if (i < 0)
                            i += kHashSize;
                        if (hash_[static_cast<size_t>(i)] == fcode) {
                            found = true;
                            break;
                        }
                        if (hash_[static_cast<size_t>(i)] < 0)
                            break;
                    }
                }
                if (found) {
                    ent = codes_[static_cast<size_t>(i)];
                    continue;
                }
                Output(ent);
                ent = c;
                if (free_ < kMaxCodes) {
                    codes_[static_cast<size_t>(i)] = free_++;
                    hash_[static_cast<size_t>(i)] = fcode;
                } else {
                    // A full table starts again.
                    ClearHash();
                    free_ = kFirstFree;
                    clearPending_ = true;
                    Output(kClear);
                }
            }
        }
        if (ent >= 0)
            Output(ent);
        Output(kEnd);
        FlushBlock();
        out_ += '\0';
    }

private:
    static constexpr int kHashSize = 5003;
    static constexpr int kClear = 256;
    static constexpr int kEnd = 257;
    static constexpr int kFirstFree = 258;
    static constexpr int kMaxCodes = 4096;

    void ClearHash() { hash_.fill(-1); }

    void Output(int code)
    {
        accumulator_ |= static_cast<uint32_t>(code) << accumulatedBits_;
        accumulatedBits_ += bits_;
        while (accumulatedBits_ >= 8) {
            Byte(static_cast<uchar>(accumulator_ & 0xFF));
            accumulator_ >>= 8;
            accumulatedBits_ -= 8;
        }
        // The code width follows the next free code, as the decoder's table grows.
        if (free_ > maxCode_ || clearPending_) {
            if (clearPending_) {
                bits_ = 9;
                maxCode_ = 511;
                clearPending_ = false;
            } else {
                ++bits_;
                maxCode_ = bits_ == 12 ? kMaxCodes : (1 << bits_) - 1;
            }
        }
        if (code == kEnd) {
            while (accumulatedBits_ > 0) {
                Byte(static_cast<uchar>(accumulator_ & 0xFF));
                accumulator_ >>= 8;
                accumulatedBits_ = std::max(0, accumulatedBits_ - 8);
            }
        }
    }

    void Byte(uchar b)
    {
        block_[static_cast<size_t>(blockLength_++)] = b;
        if (blockLength_ == 254)
            FlushBlock();
    }

    void FlushBlock()
    {
        if (blockLength_ == 0)
            return;
        out_ += static_cast<char>(blockLength_);
        out_.append(reinterpret_cast<const char*>(block_.data()), blockLength_);
        blockLength_ = 0;
    }

    QByteArray& out_;
    std::array<int32_t, kHashSize> hash_{};
    std::array<int, kHashSize> codes_{};
    int free_ = kFirstFree;
    int bits_ = 9;
    int maxCode_ = 511;
    bool clearPending_ = false;
    uint32_t accumulator_ = 0;
    int accumulatedBits_ = 0;
    std::array<uchar, 254> block_{};
    int blockLength_ = 0;
};

void Word(QByteArray& out, int value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

} // namespace

QString PictureExtension(int type)
{
    switch (type) {
    case gpPNG:
    case gpEMF:
    case gpWMF:
        return QStringLiteral("png");
    case gpBMP:
        return QStringLiteral("bmp");
    case gpJPG:
        return QStringLiteral("jpg");
    case gpGIF:
        return QStringLiteral("gif");
    default:
        return {};
    }
}

void SaveGraphicAs(const QImage& graphic, QIODevice& stream, TrpPictureType type)
{
    switch (type) {
    case gpPNG:
    case gpEMF:
    case gpWMF: {
        QImage image = graphic.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((row[x] & 0x00FFFFFF) == (kTransparentRgb & 0x00FFFFFF) || qAlpha(row[x]) == 0)
                    row[x] = kTransparentRgb & 0x00FFFFFF;
        }
        WriteImage(image, stream, "png");
        break;
    }
    case gpBMP:
        WriteImage(graphic.convertToFormat(QImage::Format_RGB888), stream, "bmp");
        break;
    case gpJPG:
        WriteImage(graphic.convertToFormat(QImage::Format_RGB888), stream, "jpeg");
        break;
    case gpGIF:
        WriteGIF(stream, graphic);
        break;
    }
}

void SaveGraphicToFile(const QImage& graphic, const QString& fileName, TrpPictureType type)
{
    SaveFileAtomically(fileName, [&](QIODevice& file) { SaveGraphicAs(graphic, file, type); });
}

void WriteGIF(QIODevice& stream, const QImage& bitmap)
{
    const QImage indexed = bitmap.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8);
    const int width = indexed.width();
    const int height = indexed.height();
    QByteArray out = "GIF89a";
    Word(out, width);
    Word(out, height);
    out += '\xE7';
    out += '\0';
    out += '\0';
    const QList<QRgb> palette = indexed.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        out += static_cast<char>(qRed(c));
        out += static_cast<char>(qGreen(c));
        out += static_cast<char>(qBlue(c));
    }
    out += QByteArray("\x21\xF9\x04\x00\x00\x00\x00\x00", 8);
    out += QByteArray("\x21\xFE\x0A", 3) + "RedaVedera" + '\0';
    out += '\x2C';
    Word(out, 0);
    Word(out, 0);
    Word(out, width);
    Word(out, height);
    out += '\0';
    out += '\x08';
    std::vector<const uchar*> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<size_t>(y)] = indexed.constScanLine(y);
    GifLzw(out).Encode(rows.data(), width, height);
    out += '\x3B';
    WriteAllBytes(stream, out);
}
