// The digests and ciphers against published vectors, Qt's own hashes and a Python reading of
// the padded one-at-a-time hash.

#include "report/export/rpCrypto.h"
#include "report/export/rpRC4.h"
#include "report/export/rpmd5.h"

#include "Subprocess.h"

#include <QBuffer>
#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// The message of the exception of that class the action raises, or what happened instead.
template <typename Expected, typename Action>
std::string ThrownMessage(Action&& action)
{
    try {
        action();
    } catch (const Expected& failure) {
        return failure.Message();
    } catch (...) {
        return "another exception: " + platform::CurrentExceptionMessage();
    }
    return "no exception";
}

Bytes FromHex(const std::string& hex)
{
    const QByteArray bytes = QByteArray::fromHex(QByteArray::fromStdString(hex));
    return Bytes(bytes.begin(), bytes.end());
}

std::string ToHex(std::span<const uint8_t> bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())).toHex().toStdString();
}

Bytes Of(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

std::string HashHex(const char* name, const Bytes& data)
{
    const std::unique_ptr<TCryptoHash> hash = TCryptoHash::Create(name);
    Bytes digest(hash->DigestSize());
    TCryptoHash::Hash(name, digest, std::span<const uint8_t>(data));
    return ToHex(digest);
}

struct HashCase {
    const char* input;
    const char* digest;
};

// RFC 1321, appendix A.5, and the GUID text the PDF export's file identifier starts from.
const HashCase kMD5Cases[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890", "57edf4a22be3c955ac49da2e2107b67a"},
    {"{6F9619FF-8B86-D011-B42D-00C04FC964FF}", "aa987f999645b5a089ad066dbd5a1553"},
};

TEST(MD5, TextsGiveTheTestSuiteDigestsInLowercase)
{
    for (const HashCase& c : kMD5Cases) {
        EXPECT_EQ(MD5Text(QByteArrayView(c.input)).toStdString(), c.digest) << '"' << c.input << '"';
        EXPECT_EQ(HashHex("MD5", Of(c.input)), c.digest) << "TCryptoMD5 on \"" << c.input << '"';
    }
}

TEST(MD5, PiecesGiveTheDigestOfTheWholeAndFinalizeClearsTheState)
{
    const std::string text = kMD5Cases[6].input;
    TrpMD5 md5;
    for (size_t at = 0; at < text.size(); at += 7)
        md5.Update(text.data() + at, std::min<size_t>(7, text.size() - at));
    md5.Finalize();
    EXPECT_EQ(ToHex(md5.Digest()), kMD5Cases[6].digest);
    // Without Init the next message starts from cleared chaining values, not the standard ones.
    md5.Update("abc", 3);
    md5.Finalize();
    EXPECT_NE(ToHex(md5.Digest()), kMD5Cases[2].digest);
    md5.Init();
    md5.Update("abc", 3);
    md5.Finalize();
    EXPECT_EQ(ToHex(md5.Digest()), kMD5Cases[2].digest);
}

TEST(MD5, RandomBuffersAcrossBlockBordersAgreeWithQt)
{
    std::mt19937 random(46);
    for (size_t length = 0; length <= 300; ++length) {
        Bytes data(length);
        for (uint8_t& byte : data)
            byte = static_cast<uint8_t>(random());
        const QByteArray view(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
        const std::string md5 = QCryptographicHash::hash(view, QCryptographicHash::Md5).toHex().toStdString();
        const std::string sha1 = QCryptographicHash::hash(view, QCryptographicHash::Sha1).toHex().toStdString();
        uint8_t digest[16];
        MD5Buffer(data.data(), data.size(), digest);
        ASSERT_EQ(ToHex(digest), md5) << "MD5Buffer of " << length << " bytes";
        ASSERT_EQ(HashHex("MD5", data), md5) << "TCryptoMD5 of " << length << " bytes";
        ASSERT_EQ(HashHex("SHA1", data), sha1) << "TCryptoSHA1 of " << length << " bytes";
        // Byte by byte, the same.
        TCryptoSHA1 bytewise;
        for (const uint8_t byte : data)
            bytewise.Push(byte);
        Bytes out(20);
        bytewise.GetDigest(out);
        ASSERT_EQ(ToHex(out), sha1) << "SHA-1 pushed byte by byte, " << length << " bytes";
    }
}

TEST(MD5, StreamFromItsStartEqualsTheBuffer)
{
    QByteArray data;
    for (int i = 0; i < 1000; ++i)
        data.append(static_cast<char>(i * 7));
    QBuffer stream(&data);
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly));
    stream.seek(500); // Push reads the stream from its start, wherever it stands
    TCryptoMD5 md5;
    md5.Push(stream);
    Bytes digest(16);
    md5.GetDigest(digest);
    uint8_t expected[16];
    MD5Buffer(data.constData(), static_cast<size_t>(data.size()), expected);
    EXPECT_EQ(ToHex(digest), ToHex(expected));
}

struct RC4Case {
    const char* key;
    const char* plain;
    const char* cipher;
};

// Keys and texts in hex; the ciphertexts computed again with Python.
const RC4Case kRC4Cases[] = {
    {"0102030405", "0000000000000000000000000000000000000000000000000000000000000000",
     "b2396305f03dc027ccc3524a0a1118a86982944f18fc82d589c403a47a0d0919"},
    {"4b6579", "506c61696e74657874", "bbf316e8d940af0ad3"},                          // "Key", "Plaintext"
    {"57696b69", "7065646961", "1021bf0420"},                                          // "Wiki", "pedia"
    {"536563726574", "41747461636b206174206461776e", "45a01f645fc35b383552544b9bf5"}, // "Secret", "Attack at dawn"
};

std::string Crypt(TrpRC4& rc4, const Bytes& plain)
{
    Bytes out(plain.size());
    rc4.Crypt(plain.data(), out.data(), plain.size());
    return ToHex(out);
}

TEST(RC4, FirstCryptAfterStartIsTheStandardStream)
{
    for (const RC4Case& c : kRC4Cases) {
        const Bytes key = FromHex(c.key);
        TrpRC4 rc4;
        rc4.Start(key.data(), static_cast<int>(key.size()));
        EXPECT_EQ(Crypt(rc4, FromHex(c.plain)), c.cipher) << "key " << c.key;
        // Crypting in place undoes itself with the key started again.
        Bytes text = FromHex(c.cipher);
        rc4.Start(key.data(), static_cast<int>(key.size()));
        rc4.Crypt(text.data(), text.data(), text.size());
        EXPECT_EQ(ToHex(text), c.plain);
    }
}

TEST(RC4, SecondCryptWithoutStartDoesNotContinueTheStream)
{
    const Bytes key = FromHex(kRC4Cases[0].key);
    const Bytes zeros(16, 0);
    TrpRC4 rc4;
    rc4.Start(key.data(), static_cast<int>(key.size()));
    EXPECT_EQ(Crypt(rc4, zeros), std::string(kRC4Cases[0].cipher).substr(0, 32));
    const std::string second = Crypt(rc4, zeros);
    EXPECT_NE(second, std::string(kRC4Cases[0].cipher).substr(32)); // the standard stream's next 16 bytes
    EXPECT_NE(second, std::string(kRC4Cases[0].cipher).substr(0, 32));
}

TEST(RC4, KeyOfNoBytesOrMoreThan256LeavesThePermutation)
{
    const Bytes key = FromHex(kRC4Cases[1].key);
    const Bytes plain = FromHex(kRC4Cases[1].plain);
    const Bytes tooLong(257, 0x55);
    for (const int length : {0, -1, 257}) {
        TrpRC4 rc4;
        rc4.Start(key.data(), static_cast<int>(key.size()));
        rc4.Start(tooLong.data(), length);
        EXPECT_EQ(Crypt(rc4, plain), kRC4Cases[1].cipher) << "key length " << length;
    }
    TrpRC4 longest;
    longest.Start(tooLong.data(), 256); // 256 bytes is a key
    EXPECT_NE(Crypt(longest, plain), kRC4Cases[1].cipher);
}

// FIPS 180 and the NESSIE Whirlpool vectors.
const HashCase kSHA1Cases[] = {
    {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
    {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
};

const HashCase kWhirlpoolCases[] = {
    {"", "19fa61d75522a4669b44e39c1d2e1726c530232130d407f89afee0964997f7a73e83be698b288febcf88e3e03c4f0757ea8964e59b63d93708b138cc42a66eb3"},
    {"a", "8aca2602792aec6f11a67206531fb7d7f0dff59413145e6973c45001d0087b42d11bc645413aeff63a42391a39145a591a92200d560195e53b478584fdae231a"},
    {"abc", "4e2448a4c6f486bb16b6562c73b4020bf3043e3a731bce721ae1b303d97e6d4c7181eebdb6c57e277d0e34957114cbd6c797fc9d95d8b582d225292076d4eef5"},
    {"message digest", "378c84a4126e2dc6e56dcc7458377aac838d00032230f53ce1f5700c0ffb4d3b8421557659ef55c106b4b52ac5a4aaa692ed920052838f3362e86dbd37a8903e"},
    {"The quick brown fox jumps over the lazy dog", "b97de512e91e3828b40d2b0fdce9ceb3c4a71f9bea8d88e75c4fa854df36725fd2b52eb6544edcacd6f8beddfea403cb55ae31f03ad62a5ef54e42ee82c3fb35"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "466ef18babb0154d25b9d38a6414f5c08784372bccb204d6549c4afadb6014294d5bd8df2a6c44e538cd047b2681a51a2c60481e88c5a20b2c2a80cf3a9a083b"},
};

TEST(CryptoHash, SHA1AndWhirlpoolGiveThePublishedDigests)
{
    for (const HashCase& c : kSHA1Cases)
        EXPECT_EQ(HashHex("SHA1", Of(c.input)), c.digest) << '"' << c.input << '"';
    EXPECT_EQ(HashHex("SHA1", Bytes(1000000, 'a')), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
    for (const HashCase& c : kWhirlpoolCases)
        EXPECT_EQ(HashHex("Whirlpool", Of(c.input)), c.digest) << '"' << c.input << '"';
}

TEST(CryptoHash, JenkinsHashesThePaddedMessageAsPythonReadsIt)
{
    // The one-at-a-time hash over the message, 0x80, zeros until 32 bytes are left in the
    // 64-byte chunk, and the length in bits low byte first in a 32-byte field.
    const char* script =
        "import sys\n"
        "for arg in sys.argv[1:]:\n"
        "    data = bytes.fromhex(arg[1:])\n"
        "    m = bytearray(data) + b'\\x80'\n"
        "    while len(m) % 64 != 32: m += b'\\0'\n"
        "    m += (len(data) * 8).to_bytes(32, 'little')\n"
        "    h = 0\n"
        "    for b in m:\n"
        "        h = (h + b) & 0xFFFFFFFF\n"
        "        h = (h + (h << 10)) & 0xFFFFFFFF\n"
        "        h ^= h >> 6\n"
        "    h = (h + (h << 3)) & 0xFFFFFFFF\n"
        "    h ^= h >> 11\n"
        "    h = (h + (h << 15)) & 0xFFFFFFFF\n"
        "    print(h.to_bytes(4, 'little').hex())\n";
    std::vector<Bytes> inputs;
    std::mt19937 random(7);
    for (const size_t length : {0, 1, 3, 31, 32, 33, 55, 56, 63, 64, 65, 100, 200}) {
        Bytes data(length);
        for (uint8_t& byte : data)
            byte = static_cast<uint8_t>(random());
        inputs.push_back(data);
    }
    std::string command = "/usr/bin/python3 -c \"" + std::string(script) + "\"";
    for (const Bytes& input : inputs)
        command += " x" + ToHex(input); // "x" keeps an empty input an argument
    std::string output;
    ASSERT_EQ(testsupport::RunCommand(command, output), 0) << output;
    std::vector<std::string> expected;
    for (size_t start = 0, end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
        expected.push_back(output.substr(start, end - start));
    ASSERT_EQ(expected.size(), inputs.size()) << output;
    for (size_t i = 0; i < inputs.size(); ++i)
        EXPECT_EQ(HashHex("Jenkins", inputs[i]), expected[i]) << inputs[i].size() << " bytes";
}

TEST(CryptoHash, NamesAreExactAndUnknownNamesRaise)
{
    EXPECT_NE(TCryptoHash::Create("MD5"), nullptr);
    EXPECT_NE(TCryptoHash::Create("Whirlpool"), nullptr);
    EXPECT_EQ(TCryptoHash::Create("md5"), nullptr);
    EXPECT_EQ(TCryptoHash::Create("SHA-1"), nullptr);
    EXPECT_EQ(TCryptoHash::Create(""), nullptr);
    Bytes digest(20);
    EXPECT_EQ(ThrownMessage<ECryptoHashUnknown>([&] { TCryptoHash::Hash("SHA2", digest, std::string_view("abc")); }),
              "Hash function SHA2 is unknown");
    TCryptoHash::Hash("SHA1", digest, std::string_view("abc"));
    EXPECT_EQ(ToHex(digest), kSHA1Cases[1].digest);
}

TEST(CryptoHash, SizesResetAndWrongDigestSize)
{
    const struct {
        const char* name;
        size_t digest;
    } sizes[] = {{"MD5", 16}, {"SHA1", 20}, {"Whirlpool", 64}, {"Jenkins", 4}};
    for (const auto& s : sizes) {
        const std::unique_ptr<TCryptoHash> hash = TCryptoHash::Create(s.name);
        EXPECT_EQ(hash->DigestSize(), s.digest) << s.name;
        EXPECT_EQ(hash->ChunkSize(), 64u) << s.name;
        hash->Push(std::span<const uint8_t>(Of("something else")));
        hash->Reset();
        hash->Push(std::span<const uint8_t>(Of("abc")));
        Bytes digest(s.digest);
        hash->GetDigest(digest);
        EXPECT_EQ(ToHex(digest), HashHex(s.name, Of("abc"))) << s.name << " after Reset";
        // A digest of another size is refused, not asserted.
        Bytes wrong(s.digest + 1);
        EXPECT_THROW(hash->GetDigest(wrong), ECryptoHash) << s.name;
    }
    TCryptoMD5 md5;
    Bytes eight(8);
    EXPECT_EQ(ThrownMessage<ECryptoHash>([&] { md5.GetDigest(eight); }), "The MD5 digest has 16 bytes, not 8");
}

struct AESCase {
    const char* key;
    const char* cipher;
};

// FIPS 197, appendix C: the plaintext 00112233...ff under keys 000102...
const AESCase kAESCases[] = {
    {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
    {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "8ea2b7ca516745bfeafc49904b496089"},
};

TEST(AES, FipsAppendixCBothWays)
{
    const Bytes plain = FromHex("00112233445566778899aabbccddeeff");
    for (const AESCase& c : kAESCases) {
        const TCryptoAES aes(FromHex(c.key));
        Bytes out(16);
        aes.Encrypt(plain.data(), out.data());
        EXPECT_EQ(ToHex(out), c.cipher) << "key " << c.key;
        const Bytes cipher = FromHex(c.cipher);
        aes.Decrypt(cipher.data(), out.data());
        EXPECT_EQ(ToHex(out), ToHex(plain)) << "key " << c.key;
    }
}

TEST(AES, OtherKeyLengthsAreUndefined)
{
    EXPECT_EQ(ThrownMessage<ECryptoAESInvalidKeyLength>([&] { TCryptoAES aes{Bytes(8)}; }), "AES-64 is undefined");
    EXPECT_EQ(ThrownMessage<ECryptoAESInvalidKeyLength>([&] { TCryptoAES aes{Bytes()}; }), "AES-0 is undefined");
    EXPECT_EQ(ThrownMessage<ECryptoAESException>([&] { TCryptoAES aes{Bytes(17)}; }), "AES-136 is undefined");
}

} // namespace
