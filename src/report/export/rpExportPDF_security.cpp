// PDF protection: the standard security handler, revision 3, with a 128-bit RC4 key. The
// owner and user entries, the permission value and the file key are computed at Start; every
// stream and string of the document is encrypted with the key of the object holding it.

#include "rpExportPDF.h"

#include "rpRC4.h"
#include "rpmd5.h"

#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"

#include <cstring>

namespace {

// The password padding of the standard security handler.
constexpr uint8_t kPadding[32] = {0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E,
                                  0x56, 0xFF, 0xFA, 0x01, 0x08, 0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68,
                                  0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

// PDFDocEncoding's characters outside ASCII and Latin-1: codes 0x18..0x1F and 0x80..0xA0.
constexpr char16_t kLow[8] = {0x02D8, 0x02C7, 0x02C6, 0x02D9, 0x02DD, 0x02DB, 0x02DA, 0x02DC};
constexpr char16_t kHigh[33] = {0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044, 0x2039,
                                0x203A, 0x2212, 0x2030, 0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0x201A,
                                0x2122, 0xFB01, 0xFB02, 0x0141, 0x0152, 0x0160, 0x0178, 0x017D, 0x0131,
                                0x0142, 0x0153, 0x0161, 0x017E, 0x0000, 0x20AC};

std::array<uint8_t, 32> Padded(const QByteArray& password)
{
    std::array<uint8_t, 32> result{};
    const size_t n = std::min<size_t>(32, static_cast<size_t>(password.size()));
    std::memcpy(result.data(), password.constData(), n);
    std::memcpy(result.data() + n, kPadding, 32 - n);
    return result;
}

void RC4(const uint8_t* key, int keyLength, uint8_t* data, size_t length)
{
    TrpRC4 rc4;
    rc4.Start(key, keyLength);
    rc4.Crypt(data, data, length);
}

// The 19 further passes of revision 3, each under the key with every byte XORed with i.
void Rounds(const uint8_t* key, uint8_t* data, size_t length)
{
    for (int i = 1; i <= 19; ++i) {
        uint8_t k[16];
        for (int j = 0; j < 16; ++j)
            k[j] = static_cast<uint8_t>(key[j] ^ i);
        RC4(k, 16, data, length);
    }
}

void Rehash50(uint8_t* digest)
{
    for (int i = 0; i < 50; ++i)
        MD5Buffer(digest, 16, digest);
}

} // namespace

std::optional<QByteArray> TrpPDFExport::PDFDocBytes(const QString& text, QString* bad)
{
    QByteArray result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        int code = -1;
        if (c == 0x09 || c == 0x0A || c == 0x0D || (c >= 0x20 && c <= 0x7E) || (c >= 0xA1 && c <= 0xFF && c != 0xAD))
            code = c;
        for (int j = 0; code < 0 && j < 8; ++j)
            if (kLow[j] == c)
                code = 0x18 + j;
        for (int j = 0; code < 0 && j < 33; ++j)
            if (kHigh[j] != 0 && kHigh[j] == c)
                code = 0x80 + j;
        if (code < 0) {
            if (bad != nullptr) {
                // A character outside the basic plane is named whole.
                const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
                *bad = text.mid(i, pair ? 2 : 1);
            }
            return std::nullopt;
        }
        result += static_cast<char>(code);
    }
    return result;
}

void TrpPDFExport::CheckPassword(const QString& password)
{
    QString bad;
    if (!PDFDocBytes(password, &bad))
        throw EReportError(ResourceText(u"enPDFPasswordCharacter", {Variant(bad)}).toStdString());
}

int32_t TrpPDFExport::PermissionValue(TrpPDFEncBits flags)
{
    int32_t sum = 0;
    for (int bit = 0; bit < 4; ++bit)
        if (flags & (1u << bit))
            sum += 1 << bit;
    return -64 + 4 * sum;
}

void TrpPDFExport::SetProtectionFlags(TrpPDFEncBits flags)
{
    ProtectionFlags = flags & 15u;
    FEncBits = PermissionValue(ProtectionFlags);
}

TrpPDFExport::SecurityKeys TrpPDFExport::ComputeSecurityKeys(const QByteArray& user, const QByteArray& owner,
                                                             int32_t permissions, const QByteArray& fileId)
{
    SecurityKeys keys;
    const std::array<uint8_t, 32> paddedUser = Padded(user);
    const std::array<uint8_t, 32> paddedOwner = Padded(owner.isEmpty() ? user : owner);

    // The owner entry: the padded user password under the digest of the owner password.
    uint8_t ownerKey[16];
    MD5Buffer(paddedOwner.data(), 32, ownerKey);
    Rehash50(ownerKey);
    std::memcpy(keys.O.data(), paddedUser.data(), 32);
    RC4(ownerKey, 16, keys.O.data(), 32);
    Rounds(ownerKey, keys.O.data(), 32);

    // The file key.
    const QByteArray id = QByteArray::fromHex(fileId);
    TrpMD5 md5;
    md5.Update(paddedUser.data(), 32);
    md5.Update(keys.O.data(), 32);
    const uint32_t p = static_cast<uint32_t>(permissions);
    const uint8_t pBytes[4] = {static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p >> 16),
                               static_cast<uint8_t>(p >> 24)};
    md5.Update(pBytes, 4);
    md5.Update(id.constData(), static_cast<size_t>(id.size()));
    md5.Finalize();
    std::memcpy(keys.Key.data(), md5.Digest().data(), 16);
    Rehash50(keys.Key.data());

    // The user entry.
    md5.Init();
    md5.Update(kPadding, 32);
    md5.Update(id.constData(), static_cast<size_t>(id.size()));
    md5.Finalize();
    keys.U.fill(0);
    std::memcpy(keys.U.data(), md5.Digest().data(), 16);
    RC4(keys.Key.data(), 16, keys.U.data(), 16);
    Rounds(keys.Key.data(), keys.U.data(), 16);
    return keys;
}

std::array<uint8_t, 16> TrpPDFExport::ObjectKey(const std::array<uint8_t, 16>& fileKey, int number)
{
    uint8_t source[21];
    std::memcpy(source, fileKey.data(), 16);
    source[16] = static_cast<uint8_t>(number);
    source[17] = static_cast<uint8_t>(number >> 8);
    source[18] = static_cast<uint8_t>(number >> 16);
    source[19] = 0;
    source[20] = 0;
    std::array<uint8_t, 16> key{};
    MD5Buffer(source, 21, key.data());
    return key;
}

void TrpPDFExport::PrepareSecurityKeys()
{
    const QByteArray user = PDFDocBytes(UserPassword).value_or(QByteArray());
    const QByteArray owner = PDFDocBytes(OwnerPassword).value_or(QByteArray());
    const SecurityKeys keys = ComputeSecurityKeys(user, owner, FEncBits, FFileID);
    FOPass = keys.O;
    FUPass = keys.U;
    FEncKey = keys.Key;
}

QByteArray TrpPDFExport::EscapeString(const QByteArray& bytes)
{
    QByteArray result;
    result.reserve(bytes.size() + 8);
    for (const char c : bytes) {
        switch (c) {
        case '(':
        case ')':
        case '\\':
            result += '\\';
            result += c;
            break;
        // Line ends inside a literal string would be read back as a single line feed.
        case '\r':
            result += "\\r";
            break;
        case '\n':
            result += "\\n";
            break;
        default:
            result += c;
        }
    }
    return result;
}

QByteArray TrpPDFExport::Crypted(const QByteArray& data, int number) const
{
    if (!FProtection)
        return data;
    const std::array<uint8_t, 16> key = ObjectKey(FEncKey, number);
    QByteArray result = data;
    RC4(key.data(), 16, reinterpret_cast<uint8_t*>(result.data()), static_cast<size_t>(result.size()));
    return result;
}

QByteArray TrpPDFExport::CryptString(const QByteArray& text, int number) const
{
    return EscapeString(Crypted(text, number));
}

void TrpPDFExport::CryptStream(const QByteArray& source, QByteArray& target, int number) const
{
    target += Crypted(source, number);
}

QByteArray TrpPDFExport::DocumentText(const QString& text, int number) const
{
    if (!FProtection)
        return TextString(text);
    QByteArray units = "\xFE\xFF";
    for (const QChar c : text) {
        units += static_cast<char>(c.unicode() >> 8);
        units += static_cast<char>(c.unicode() & 0xFF);
    }
    return '(' + CryptString(units, number) + ')';
}
