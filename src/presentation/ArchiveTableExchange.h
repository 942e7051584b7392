#pragma once

#include "device/Records.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The columns of the archive tables: each turns one field of a 256-byte archive record (or
// the difference of two fields) into cell text. The grids of the archive pages take caption,
// width and cell texts from them; the report data sets find a column by its name, which is
// the data-set field name. Captions, names and cell texts are UTF-8.

// The whole record as stored (fields little-endian); both archive record types convert to it.
using ArchiveRecordBytes = std::span<const uint8_t, dax_namespace::kArchiveRecordSize>;

constexpr int32_t kDefaultColumnWidth = 100;
// A time column showing days is at least this wide.
constexpr int32_t kDaysColumnMinWidth = 120;
// A flag column showing a full mask is this wide per bit.
constexpr int32_t kMaskColumnWidthPerBit = 10;

// Decimal separator modes of number cells.
constexpr int32_t kSystemSeparatorMode = 0;
constexpr int32_t kCommaSeparatorMode = 1;
constexpr int32_t kPointSeparatorMode = 2;

class ArchiveTableExchangeItem {
public:
    explicit ArchiveTableExchangeItem(std::string name = {}, std::string caption = {},
                                      int32_t width = kDefaultColumnWidth);
    virtual ~ArchiveTableExchangeItem();
    ArchiveTableExchangeItem(const ArchiveTableExchangeItem&) = delete;
    ArchiveTableExchangeItem& operator=(const ArchiveTableExchangeItem&) = delete;

    // 0 here; 1 date and hour, 2 float, 3 temperature, 4 pressure, 5 period time, 6 total
    // time, 7 flags.
    virtual int32_t GetType() const { return 0; }
    virtual std::string GetCaption() const { return Caption; }
    // The cell text of the record; the date column fails with platform::Exception carrying the
    // cell text, and a field that does not lie inside the record fails the same way (with the
    // reader's message) instead of reading past it.
    virtual std::string FormatCell(ArchiveRecordBytes record) const;

    const std::string& GetName() const { return Name; }
    const std::string& GetFormat() const { return Format; }
    int32_t GetWidth() const { return Width; }
    void SetWidth(int32_t width) { Width = width; }
    // mode: 1 comma, 2 point, any other value the system's separator, which the caller gives.
    void SetSeparatorMode(int32_t mode, char systemSeparator = '.');
    int32_t GetSeparatorMode() const { return SeparatorMode; }
    // Puts the column's decimal separator into a number text.
    void ApplySeparator(std::string& text) const;

protected:
    // The field value at the offset, or field(offset) - field(second offset) in a difference
    // column, computed in the field's own type (a 16-bit difference wraps modulo 65536).
    float FloatValue(ArchiveRecordBytes record) const;
    int16_t Int16Value(ArchiveRecordBytes record) const;

    std::string Caption;
    std::string Name;
    std::string Format;         // printf format of the float kind; the others ignore it
    int32_t Width;
    int32_t Offset = 0;         // byte offset of the field
    int32_t SecondOffset = 0;   // the field subtracted in a difference column
    bool Difference = false;
    int32_t SeparatorMode = kSystemSeparatorMode;
    char SystemSeparator = '.'; // used by mode 0
};

// Bytes 0..2: the record's date as dd.mm.yy.
class DateArchiveItem : public ArchiveTableExchangeItem {
public:
    DateArchiveItem(std::string name, std::string caption, int32_t width);
    int32_t GetType() const override { return 1; }
    std::string FormatCell(ArchiveRecordBytes record) const override;
};

// Byte 3: the hour 0..23, shown as 1..24.
class TimeArchiveItem : public ArchiveTableExchangeItem {
public:
    TimeArchiveItem(std::string name, std::string caption, int32_t width);
    int32_t GetType() const override { return 1; }
    std::string FormatCell(ArchiveRecordBytes record) const override;
};

class FloatArchiveItem : public ArchiveTableExchangeItem {
public:
    FloatArchiveItem(std::string name, int32_t offset, std::string caption, std::string format, int32_t width);
    FloatArchiveItem(std::string name, int32_t offset, int32_t secondOffset, std::string caption, std::string format,
                     int32_t width);
    int32_t GetType() const override { return 2; }
    std::string FormatCell(ArchiveRecordBytes record) const override;
};

// Hundredths of a degree, signed 16-bit.
class TemperatureArchiveItem : public ArchiveTableExchangeItem {
public:
    TemperatureArchiveItem(std::string name, int32_t offset, std::string caption, int32_t width);
    TemperatureArchiveItem(std::string name, int32_t offset, int32_t secondOffset, std::string caption,
                           int32_t width);
    int32_t GetType() const override { return 3; }
    std::string FormatCell(ArchiveRecordBytes record) const override;
};

// Signed 16-bit: thousandths of kgf/cm2 with the unit switch on, ten-thousandths of MPa off.
class PressureArchiveItem : public ArchiveTableExchangeItem {
public:
    PressureArchiveItem(std::string name, int32_t offset, std::string caption, bool unitSwitch, int32_t width);
    PressureArchiveItem(std::string name, int32_t offset, int32_t secondOffset, std::string caption, bool unitSwitch,
                        int32_t width);
    int32_t GetType() const override { return 4; }
    std::string FormatCell(ArchiveRecordBytes record) const override;

private:
    bool UnitSwitch;
};

// Minutes of the period, unsigned 16-bit.
class TimePeriodArchiveItem : public ArchiveTableExchangeItem {
public:
    TimePeriodArchiveItem(std::string name, int32_t offset, std::string caption, bool daysSwitch, int32_t width);
    int32_t GetType() const override { return 5; }
    std::string FormatCell(ArchiveRecordBytes record) const override;

private:
    bool DaysSwitch;
};

// Minutes since the counters started, unsigned 32-bit.
class TimeTotalArchiveItem : public ArchiveTableExchangeItem {
public:
    TimeTotalArchiveItem(std::string name, int32_t offset, std::string caption, bool daysSwitch, int32_t width);
    int32_t GetType() const override { return 6; }
    std::string FormatCell(ArchiveRecordBytes record) const override;

private:
    bool DaysSwitch;
};

// Reads 32 bits at its offset and shows the first `bitCount` of them, named '1'..'9', 'A'...
class BitFlagsArchiveItem : public ArchiveTableExchangeItem {
public:
    BitFlagsArchiveItem(std::string name, int32_t offset, std::string caption, uint8_t bitCount, bool listSwitch,
                        int32_t width);
    int32_t GetType() const override { return 7; }
    std::string FormatCell(ArchiveRecordBytes record) const override;

private:
    uint8_t BitCount;
    bool ListSwitch; // on: the set bits as a list; off: a full mask
};

// The ordered, owned columns of one table. Never copied; moving hands the columns over.
class ArchiveTableExchangeContainer {
public:
    ArchiveTableExchangeContainer() = default;
    ArchiveTableExchangeContainer(const ArchiveTableExchangeContainer&) = delete;
    ArchiveTableExchangeContainer& operator=(const ArchiveTableExchangeContainer&) = delete;
    ArchiveTableExchangeContainer(ArchiveTableExchangeContainer&&) = default;
    ArchiveTableExchangeContainer& operator=(ArchiveTableExchangeContainer&&) = default;

    // Appends the column, which the container owns from then on; returns it.
    ArchiveTableExchangeItem* Add(std::unique_ptr<ArchiveTableExchangeItem> column);
    void Clear();
    size_t Count() const { return Items.size(); }
    // The column at index, or none when index is not below Count.
    ArchiveTableExchangeItem* Item(size_t index) const;
    // The first column whose name equals name exactly, or none.
    ArchiveTableExchangeItem* FindByName(const std::string& name) const;

private:
    std::vector<std::unique_ptr<ArchiveTableExchangeItem>> Items;
};
