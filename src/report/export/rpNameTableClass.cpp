#include "rpNameTableClass.h"

#include "report/model/rpStreams.h"

namespace {

constexpr size_t kHeaderSize = 6;
constexpr size_t kRecordSize = 12;

} // namespace

void NameTableClass::Load(const TTFBytes& font)
{
    const TTFBytes t = TableBytes(font);
    name_header.TableVersion = t.UInt16(0);
    name_header.Count = t.UInt16(2);
    name_header.stringOffset = t.UInt16(4);
    namerecord_ptr = kHeaderSize;
    string_storage_ptr = name_header.stringOffset;
    t.Check(namerecord_ptr, kRecordSize * name_header.Count);
    t.Check(string_storage_ptr, 0);
}

QString NameTableClass::GetName(const TTFBytes& font, uint16_t nameID) const
{
    const TTFBytes t = TableBytes(font);
    for (size_t i = 0; i < name_header.Count; ++i) {
        const size_t record = namerecord_ptr + kRecordSize * i;
        const uint16_t platform = t.UInt16(record);
        const uint16_t encoding = t.UInt16(record + 2);
        if (!((platform == 3 && encoding == 1) || platform == 0) || t.UInt16(record + 6) != nameID)
            continue;
        const uint16_t length = t.UInt16(record + 8);
        const uint16_t offset = t.UInt16(record + 10);
        const TTFBytes text = t.Sub(size_t{string_storage_ptr} + offset, length);
        QString name(length / 2, Qt::Uninitialized);
        for (qsizetype k = 0; k < name.size(); ++k)
            name[k] = QChar(text.UInt16(2 * static_cast<size_t>(k)));
        return AnsiToString(StringToAnsi(name));
    }
    return {};
}
