#pragma once

#include "Records.h"
#include "Registers.h"
#include "Texts.h"

#include "comm/ChanelHelper.h"
#include "comm/Interact.h"
#include "platform/Clock.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace dax_namespace {

constexpr int32_t kMaxReadRegisters = 127;        // 5 + 2 * 127 = 259 bytes of answer
constexpr size_t kExchangeBufferSize = 512;
constexpr size_t kArchivePageSize = 256;          // data bytes of one page at most

// Data and configuration files.
constexpr size_t kMaxDataFileSize = size_t{256} << 20; // far beyond any file the system writes
constexpr uint32_t kConfigGroupCount = 20;

} // namespace dax_namespace

// The choice of the read-all dialog: archive and journal indexes (0 to 6, the record types of
// the page request) in the order to read, and bit i of the mask for each index i chosen.
struct DaxReadAllDataSetup {
    std::vector<uint32_t> Order{0, 1, 2, 3, 4, 5, 6};
    uint32_t Mask = 127;
};

// The choice of the write-all dialog: configuration groups in the order to write, and bit g
// of the mask for each group g chosen.
struct DaxWriteAllDataSetup {
    std::vector<uint32_t> Order{19, 18, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
    uint32_t Mask = 0xFFFFF;

    // The groups to write, in order: each chosen group once, in its first position; entries
    // beyond the twenty groups are left out. Write-all and the configuration file both follow it.
    std::vector<uint32_t> ChosenGroups() const;
};

// Length of the data part of a page answer: the record size of the type (256 for types 0 to 4,
// 16 above) times the count, and one full page (256) whenever that is more.
int32_t ArchiveDataSize(uint8_t type, uint8_t count);

// What every exchange with the instrument needs: the two fixed buffers (no allocation on the
// exchange path), the channel and the device lock that serialises whole operations.
class TDeviceHelper {
public:
    TDeviceHelper() = default;
    TDeviceHelper(const TDeviceHelper&) = delete;
    TDeviceHelper& operator=(const TDeviceHelper&) = delete;

    // The channel of every exchange; set by the owner, never owned, opened or closed here.
    // May be replaced by the main thread while workers read it.
    void SetChannel(TChanelHelperBase* channel) { Channel.store(channel); }
    TChanelHelperBase* GetChannel() const { return Channel.load(); }

protected:
    std::array<uint8_t, dax_namespace::kExchangeBufferSize> RequestBuffer{}; // the request being sent
    std::array<uint8_t, dax_namespace::kExchangeBufferSize> AnswerBuffer{};  // the last answer received
    std::atomic<TChanelHelperBase*> Channel{nullptr};
    std::mutex DeviceLock; // held for one whole operation with all its attempts
};

// The one object through which the system talks to the instrument and keeps what it knows of
// it: the two register images, the identification, the archive and journal records and the
// lists a read-all run gathers them in.
//
// Locks: an exchange holds the device lock for all its attempts and pauses; the image mutex
// (recursive; DaxHelperLocker) guards the images, the identification and the record vectors
// and is held only for short copies, never across an exchange. The device lock is never taken
// while the image mutex is held.
class DaxHelper : public TDeviceHelper {
public:
    // Receives the texts DaxHelper prints (identification warnings) with their log target.
    using LogCallback = TChanelHelperBase::LogCallback;

    DaxHelper();
    ~DaxHelper();

    // Guarded by the image mutex: take DaxHelperLocker around every access.
    std::array<uint8_t, dax_namespace::kInputImageSize> InputRegisterImage{};     // 30001..30481, big-endian registers
    std::array<uint8_t, dax_namespace::kHoldingImageSize> HoldingRegisterImage{}; // 40001..40596, big-endian registers
    std::vector<dax_namespace::ArchiveStruct> HourArchive;
    std::vector<dax_namespace::ArchiveStruct> DayArchive;
    std::vector<dax_namespace::ArchiveStruct> MonthArchive;
    std::vector<dax_namespace::TotalArchiveStruct> TotalDayArchive;
    std::vector<dax_namespace::TotalArchiveStruct> TotalMonthArchive;
    std::vector<dax_namespace::JournalStruct> NotStaffJournal;
    std::vector<dax_namespace::JournalStruct> OperatorJournal;

    // Belong to the read-all run in progress (at most one runs at a time): filled by
    // ReadArchivePage, emptied by ClearReadLists, copied by CommitReadLists. No lock.
    std::list<dax_namespace::ArchiveStruct> HourArchiveList;
    std::list<dax_namespace::ArchiveStruct> DayArchiveList;
    std::list<dax_namespace::ArchiveStruct> MonthArchiveList;
    std::list<dax_namespace::TotalArchiveStruct> TotalDayArchiveList;
    std::list<dax_namespace::TotalArchiveStruct> TotalMonthArchiveList;
    std::list<dax_namespace::JournalStruct> NotStaffJournalList;
    std::list<dax_namespace::JournalStruct> OperatorJournalList;

    // The one place that pairs each record type (0 to 6, as the page request numbers them) with
    // its vector and its read list: calls visit(RecordTypeIndex<type>{}, vector, list) for
    // every type in order. Self is DaxHelper or const DaxHelper; the caller takes the image
    // mutex where the vectors need it.
    template <typename Self, typename Visit>
        requires std::is_same_v<std::remove_const_t<Self>, DaxHelper>
    static void ForEachRecordType(Self& self, Visit&& visit)
    {
        using dax_namespace::RecordTypeIndex;
        visit(RecordTypeIndex<0>{}, self.HourArchive, self.HourArchiveList);
        visit(RecordTypeIndex<1>{}, self.DayArchive, self.DayArchiveList);
        visit(RecordTypeIndex<2>{}, self.MonthArchive, self.MonthArchiveList);
        visit(RecordTypeIndex<3>{}, self.TotalDayArchive, self.TotalDayArchiveList);
        visit(RecordTypeIndex<4>{}, self.TotalMonthArchive, self.TotalMonthArchiveList);
        visit(RecordTypeIndex<5>{}, self.NotStaffJournal, self.NotStaffJournalList);
        visit(RecordTypeIndex<6>{}, self.OperatorJournal, self.OperatorJournalList);
    }
    // The same for one record type; false, visiting nothing, for a type above 6.
    template <typename Self, typename Visit>
    static bool VisitRecordType(Self& self, uint32_t type, Visit&& visit)
    {
        bool found = false;
        ForEachRecordType(self, [&](auto index, auto& vector, auto& list) {
            if (index == type) {
                found = true;
                visit(index, vector, list);
            }
        });
        return found;
    }

    // Identification, each read under the image mutex (a worker's Identify writes it).
    bool Identified() const;
    int32_t Model() const;                    // -1 not identified or not recognised, 0 Dax-01, 1 Dax-02
    std::string ModelText() const;            // "Dax-01", "Dax-02" or empty
    std::string FirmwareVersionText() const;  // "major.minor" of the software
    std::string ModificationText() const;     // "major.minor" of the modification
    std::array<uint8_t, 4> Version() const;   // modification major, minor, software major, minor

    // Unidentified, both images zero, the seven vectors empty; the read lists stay. Under the
    // image mutex.
    void Reset();

    void LockImage();
    void UnlockImage();

    // Replaces where DaxHelper's own texts go; works before any channel is set. Without one,
    // they go to the channel's log callback.
    void SetLogCallback(LogCallback callback);
    // Replaces the pauses between attempts and after operations (tests pass a recording one).
    void SetPacer(platform::Pacer* pacer);

    // Returns when the answer may be used; otherwise throws the text of the first failing test:
    // fewer than 4 bytes (or more than the buffer holds), the CRC, the exception bit.
    static void CheckAnswer(std::span<const uint8_t> answer, int32_t count);

    // Reads count registers from the first one into the image that holds them. A block that
    // does not lie wholly inside one image, or of 0 or more than 127 registers, is refused with
    // false before anything is sent. Throws the failure's text after the attempts are used up.
    bool ReadRegisters(int32_t firstRegister, int32_t count, TInteractContainer* progress, int32_t tries);
    // Writes count holding registers from the setup image as it stands when the write gets the
    // device lock. A block outside the setup image or of more than 123 registers is refused
    // with false before anything is sent.
    bool WriteRegisters(int32_t firstRegister, int32_t count, TInteractContainer* progress, int32_t tries);
    // The same from a copy of the setup image taken earlier (SetupImageCopy): the block sent is
    // the one of that moment, whatever reads have put into the image since.
    using SetupImage = std::array<uint8_t, dax_namespace::kHoldingImageSize>;
    bool WriteRegisters(int32_t firstRegister, int32_t count, const SetupImage& values, TInteractContainer* progress,
                        int32_t tries);
    // The setup image now, taken under the image mutex.
    SetupImage SetupImageCopy() const;
    // Asks the instrument who it is. False when its software version is refused; an answer of an
    // unknown model is printed and gives true with the instrument not identified.
    bool Identify(TInteractContainer* progress, int32_t tries);

    // One function 0x41 page of records of type 0..6 from a start position. On true, start and
    // count are those the answer carries and the records are in the type's read list (at the
    // front when bit 0 of the argument is set); on an exception nothing changes.
    bool ReadArchivePage(uint32_t type, int32_t argument, uint16_t& start, uint8_t& count,
                         TInteractContainer* progress, int32_t tries);
    void ClearReadLists();
    // Under the image mutex, makes each record vector a copy of its read list.
    void CommitReadLists();

    // The data file of the present state: identification (left out while the instrument is
    // not identified), both images and every record vector that is not empty.
    std::vector<uint8_t> DataFileBytes() const;
    // Saves atomically: a failed save throws and leaves any earlier file as it was. The
    // records are written straight from their vectors, never copied.
    void SaveDataFile(const std::string& fileName) const;
    // Checks the whole file first and only then replaces identification, images and record
    // vectors at once; a bad file throws its text and changes nothing. Warnings about sections
    // that are short, of a wrong record size or of an unknown type go to the log sink once the
    // load has succeeded. A file is read section by section straight into the new vectors.
    void LoadDataFileBytes(std::span<const uint8_t> bytes);
    void LoadDataFile(const std::string& fileName);
    // "DAX-0<model + 1>_<serial, 5 digits>_yymmdd_hhnnss.daxdat" for the given local time, or now.
    std::string DataFileName(const std::tm& localTime) const;
    std::string DataFileName() const;

    // The name of configuration group 0 to 19 as the write-all and configuration-file dialogs
    // list it (kConfigGroupNames); empty beyond.
    static const char* ConfigGroupName(uint32_t group);
    // Looks up block `index` of a configuration group: returns the number of blocks of the
    // group (0 for a group without blocks or beyond the table, leaving the outputs alone).
    static int32_t ConfigGroupBlock(uint32_t group, int32_t index, int32_t& firstRegister, int32_t& count);
    // The configuration file of the chosen groups (DaxWriteAllDataSetup::ChosenGroups): one
    // write-multiple frame to device address 0 per block, with the values of the setup image.
    std::vector<uint8_t> ConfigFileBytes(const DaxWriteAllDataSetup& setup) const;
    // Saves atomically; every failure reaches the caller.
    void SaveConfigFile(const std::string& fileName, const DaxWriteAllDataSetup& setup) const;

private:
    // What an answer must look like besides passing CheckAnswer.
    struct AnswerShape {
        enum class Kind { Registers, Write, Identification, Page } kind;
        size_t expectedLength;  // what is asked of the channel (and the most it may return)
    };

    // Enters the device lock, runs the attempts and evaluates; common to every exchange.
    class OperationScope;

    // Sets the time-outs and runs the attempt loop; returns the byte count of the answer that
    // passed. Throws the last failure as the ordinary exception.
    int32_t Exchange(size_t requestLength, const AnswerShape& shape, int32_t firstByteMs, int32_t interByteMs,
                     TInteractContainer* progress, int32_t tries);
    // The checks of one attempt's answer beyond CheckAnswer.
    void CheckShape(const AnswerShape& shape, int32_t received) const;
    TChanelHelperBase& RequireChannel() const;
    uint8_t DeviceAddressByte() const;
    void Print(const std::string& text, TInteractContainer* target) const;
    void ApplyIdentificationAnswer(TInteractContainer* progress, bool& result);
    // Both writes: from the copy when one is given, otherwise from the image under its mutex.
    bool WriteRegisterBlock(int32_t firstRegister, int32_t count, const SetupImage* values,
                            TInteractContainer* progress, int32_t tries);

public:
    class DataFileSource; // where a data file is read from

private:
    struct LoadedDataFile;
    // Checks a whole data file and gathers what it holds; throws the first fault's text.
    static LoadedDataFile ParseDataFile(DataFileSource& source);
    static void ReadIdentificationSection(DataFileSource& source, size_t size, uint16_t count, LoadedDataFile& loaded);
    static void ReadImageSection(DataFileSource& source, bool input, size_t size, LoadedDataFile& loaded);
    // Replaces the state with a whole loaded file, then prints its warnings.
    void ApplyDataFile(LoadedDataFile&& loaded);
    // Header, directory, identification and images of the data file; records gets the bytes
    // of each record vector. With ImageMutex held.
    std::vector<uint8_t> DataFileHead(std::array<std::span<const uint8_t>, dax_namespace::kRecordTypeCount>& records) const;

    mutable std::recursive_mutex ImageMutex; // images, identification, record vectors

    // Identification; guarded by ImageMutex.
    std::array<uint8_t, 4> version_{};
    std::string firmwareVersionText_;
    std::string modificationText_;
    std::string modelText_;
    int32_t model_ = -1;
    bool identified_ = false;

    std::atomic<platform::Pacer*> pacer_{&platform::Pacer::System()};
    mutable std::mutex logMutex_;
    std::shared_ptr<const LogCallback> logCallback_;
};

// Holds the image mutex of one DaxHelper for a scope.
class DaxHelperLocker {
public:
    explicit DaxHelperLocker(DaxHelper* helper) : helper_(helper) { helper_->LockImage(); }
    ~DaxHelperLocker() { helper_->UnlockImage(); }
    DaxHelperLocker(const DaxHelperLocker&) = delete;
    DaxHelperLocker& operator=(const DaxHelperLocker&) = delete;

private:
    DaxHelper* helper_;
};
