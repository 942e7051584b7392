#include "rpCompression.h"

#include "rpRes.h"
#include "rpStreams.h"

#include <QIODevice>

#include <zlib.h>

namespace {

constexpr int kChunk = 65536;

[[noreturn]] void RaiseZlib(const z_stream& stream, int code, bool inflating)
{
    const char* text = stream.msg ? stream.msg : zError(code);
    if (inflating)
        throw EDecompressionError(text);
    throw ECompressionError(text);
}

} // namespace

QByteArray DecompressResourceStream(QIODevice& source, QIODevice& destination)
{
    const QByteArray head = source.read(4);
    if (head.size() < 4 || static_cast<uint8_t>(head[0]) != 0x1F || static_cast<uint8_t>(head[1]) != 0x8B || head[2] != 8)
        throw EDecompressionError(zError(Z_DATA_ERROR));
    const uint8_t flags = static_cast<uint8_t>(head[3]);
    const QByteArray checksum = source.read(4); // the Adler-32, big-endian, as zlib's trailer
    const QByteArray skipped = source.read(2);  // extra flags and operating system
    if (checksum.size() < 4 || skipped.size() < 2)
        throw EDecompressionError(zError(Z_BUF_ERROR));
    QByteArray fileName;
    if (flags & 0x08) {
        for (;;) {
            char c = 0;
            if (!source.getChar(&c))
                throw EDecompressionError(zError(Z_BUF_ERROR));
            if (c == 0)
                break;
            if (fileName.size() >= 4096)
                throw EDecompressionError(zError(Z_DATA_ERROR));
            fileName += c;
        }
    }
    QByteArray data;
    try {
        data = ReadRemainingBytes(source, kMaxDecompressedSize);
    } catch (const EReadError&) {
        throw EDecompressionError(ResourceText(u"xrDecompressedTooLarge").toStdString());
    }
    if (data.size() < 8)
        throw EDecompressionError(zError(Z_BUF_ERROR));

    // The deflate data between a zlib header and the stored checksum form a zlib stream, and
    // zlib checks the checksum against what it inflates.
    QByteArray zlibStream;
    zlibStream.reserve(data.size() - 8 + 6);
    zlibStream.append("\x78\xDA", 2);
    zlibStream.append(data.constData(), data.size() - 8);
    zlibStream.append(checksum);

    z_stream stream{};
    int code = inflateInit(&stream);
    if (code != Z_OK)
        RaiseZlib(stream, code, true);
    stream.next_in = reinterpret_cast<Bytef*>(zlibStream.data());
    stream.avail_in = static_cast<uInt>(zlibStream.size());
    QByteArray output;
    char chunk[kChunk];
    do {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = kChunk;
        code = inflate(&stream, Z_NO_FLUSH);
        if (code != Z_OK && code != Z_STREAM_END) {
            if (code == Z_BUF_ERROR)
                code = Z_DATA_ERROR; // the data ended before the stream did
            const std::string text = stream.msg ? stream.msg : zError(code);
            inflateEnd(&stream);
            throw EDecompressionError(text);
        }
        const qsizetype produced = kChunk - static_cast<qsizetype>(stream.avail_out);
        if (output.size() + produced > kMaxDecompressedSize) {
            inflateEnd(&stream);
            throw EDecompressionError(ResourceText(u"xrDecompressedTooLarge").toStdString());
        }
        output.append(chunk, produced);
    } while (code != Z_STREAM_END);
    inflateEnd(&stream);
    WriteAllBytes(destination, output);
    return fileName;
}

void CompressStream(QIODevice& source, QIODevice& destination, int level)
{
    if (!source.isSequential() && !source.seek(0))
        throw EReadError();
    z_stream stream{};
    int code = deflateInit(&stream, level);
    if (code != Z_OK)
        RaiseZlib(stream, code, false);
    struct End {
        z_stream& stream;
        ~End() { deflateEnd(&stream); }
    } end{stream};
    char input[kChunk];
    char output[kChunk];
    int flush = Z_NO_FLUSH;
    do {
        const qint64 n = source.read(input, kChunk);
        if (n < 0)
            throw EReadError();
        flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
        stream.next_in = reinterpret_cast<Bytef*>(input);
        stream.avail_in = static_cast<uInt>(n);
        do {
            stream.next_out = reinterpret_cast<Bytef*>(output);
            stream.avail_out = kChunk;
            code = deflate(&stream, flush);
            if (code == Z_STREAM_ERROR)
                RaiseZlib(stream, code, false);
            WriteAllBytes(destination, QByteArrayView(output, kChunk - static_cast<qsizetype>(stream.avail_out)));
        } while (stream.avail_out == 0);
    } while (flush != Z_FINISH);
}
