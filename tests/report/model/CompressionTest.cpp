// The compression helpers: resource members built here with zlib, standard gzip refused,
// corrupt members leave the destination alone, and deflated streams that zlib inflates.

#include "report/model/rpCompression.h"

#include "Failures.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <random>
#include <string>

#include <zlib.h>

namespace {

using testsupport::MessageOf;

// Deflate data in zlib's framing of that window size: -15 raw, 31 standard gzip.
QByteArray Deflate(const QByteArray& data, int windowBits)
{
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(data.size())) + 32), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(static_cast<qsizetype>(stream.total_out));
    deflateEnd(&stream);
    return out;
}

void AppendBigEndian(QByteArray& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>(value >> shift));
}

void AppendLittleEndian(QByteArray& out, uint32_t value)
{
    for (int shift = 0; shift <= 24; shift += 8)
        out.append(static_cast<char>(value >> shift));
}

// A member as the image resources store it: the Adler-32 of the data in the time field.
QByteArray ResourceMember(const QByteArray& data, const char* fileName)
{
    QByteArray member("\x1F\x8B\x08", 3);
    member.append(static_cast<char>(fileName ? 0x08 : 0x00));
    AppendBigEndian(member, static_cast<uint32_t>(adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.constData()),
                                                          static_cast<uInt>(data.size()))));
    member.append("\x02\x0B", 2);
    if (fileName)
        member.append(fileName, static_cast<qsizetype>(std::strlen(fileName)) + 1);
    member.append(Deflate(data, -15));
    AppendLittleEndian(member, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.constData()), static_cast<uInt>(data.size()))));
    AppendLittleEndian(member, static_cast<uint32_t>(data.size()));
    return member;
}

QByteArray Sample(int size)
{
    std::mt19937 random(3);
    QByteArray data;
    for (int i = 0; i < size; ++i)
        data.append(static_cast<char>(random() % 16 == 0 ? random() : 'a' + i % 7));
    return data;
}

struct Result {
    std::string failure;   // "no exception" when it worked
    QByteArray destination;
    QByteArray fileName;
};

Result Decompress(const QByteArray& member, const QByteArray& before = "before:")
{
    QBuffer source;
    source.setData(member);
    source.open(QIODevice::ReadOnly);
    QBuffer destination;
    destination.setData(before);
    destination.open(QIODevice::ReadWrite);
    destination.seek(before.size());
    Result result;
    result.failure = MessageOf([&] { result.fileName = DecompressResourceStream(source, destination); });
    result.destination = destination.data();
    return result;
}

TEST(DecompressResourceStream, MembersWithAndWithoutName)
{
    const QByteArray data = Sample(20000);
    const Result named = Decompress(ResourceMember(data, "1"));
    EXPECT_EQ(named.failure, "no exception");
    EXPECT_EQ(named.destination, "before:" + data);
    EXPECT_EQ(named.fileName, QByteArray("1"));
    const Result plain = Decompress(ResourceMember(data, nullptr));
    EXPECT_EQ(plain.failure, "no exception");
    EXPECT_EQ(plain.destination, "before:" + data);
    EXPECT_EQ(plain.fileName, QByteArray());
    const Result empty = Decompress(ResourceMember(QByteArray(), "images.bmp"));
    EXPECT_EQ(empty.failure, "no exception");
    EXPECT_EQ(empty.destination, QByteArray("before:"));
    EXPECT_EQ(empty.fileName, QByteArray("images.bmp"));
}

TEST(DecompressResourceStream, StandardGzipIsRefused)
{
    // A standard gzip file made by zlib: its time field is 0, not the Adler-32.
    const Result result = Decompress(Deflate(Sample(1000), 31));
    EXPECT_EQ(result.failure, "incorrect data check");
    EXPECT_EQ(result.destination, QByteArray("before:"));
}

TEST(DecompressResourceStream, CorruptMembersLeaveTheDestinationUnchanged)
{
    const QByteArray data = Sample(5000);
    const QByteArray member = ResourceMember(data, "1");
    QByteArray wrongChecksum = member;
    wrongChecksum[7] = static_cast<char>(wrongChecksum[7] ^ 1);
    QByteArray flipped = member;
    flipped[40] = static_cast<char>(flipped[40] ^ 0x10);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"wrong checksum", wrongChecksum},
        {"flipped data", flipped},
        {"cut short", member.left(member.size() / 2)},
        {"not gzip", "PK\x03\x04 not a gzip member at all"},
        {"header only", member.left(10)},
        {"name never ends", member.left(11)},
        {"empty", QByteArray()},
    };
    for (const auto& c : cases) {
        const Result result = Decompress(c.bytes);
        EXPECT_NE(result.failure, "no exception") << c.name;
        EXPECT_EQ(result.destination, QByteArray("before:")) << c.name;
    }
}

QByteArray Compress(const QByteArray& data, int level)
{
    QBuffer source;
    source.setData(data);
    source.open(QIODevice::ReadOnly);
    source.seek(data.size() / 2); // the whole source is written, wherever it stands
    QBuffer destination;
    destination.open(QIODevice::WriteOnly);
    CompressStream(source, destination, level);
    return destination.data();
}

QByteArray Uncompress(const QByteArray& compressed, qsizetype size)
{
    QByteArray out(size + 1, Qt::Uninitialized);
    uLongf length = static_cast<uLongf>(out.size());
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(compressed.constData()),
                   static_cast<uLong>(compressed.size())) != Z_OK)
        return "uncompress failed";
    out.resize(static_cast<qsizetype>(length));
    return out;
}

TEST(CompressStream, ZlibInflatesWhatItWrites)
{
    for (const int level : {1, 6, 9, 0, -1}) {
        for (const int size : {0, 1, 100000, 300000}) {
            const QByteArray data = Sample(size);
            const QByteArray compressed = Compress(data, level);
            ASSERT_GE(compressed.size(), 2);
            EXPECT_EQ(static_cast<uint8_t>(compressed[0]), 0x78) << level << " " << size;
            EXPECT_EQ(Uncompress(compressed, data.size()), data) << level << " " << size;
        }
    }
    EXPECT_EQ(Compress(QByteArray(), 1).toHex(), QByteArray("7801030000000001"));
}

TEST(CompressStream, RefusesAnUnknownLevel)
{
    EXPECT_EQ(MessageOf([] { Compress("abc", 10); }), "stream error");
}

} // namespace
