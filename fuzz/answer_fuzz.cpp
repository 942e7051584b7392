// DaxHelper's answer checks: CheckAnswer on raw bytes, and the shape checks of every exchange
// (register read and write, identification, archive page) with the input as the instrument's
// answer over a scripted channel.
//
// Input: operation, two parameter bytes, then the answer. Bit 7 of the operation makes the
// channel claim the whole answer as received even where it is longer than the buffer.

#include "FuzzTarget.h"

#include "ScriptedChanel.h"
#include "device/Daxhelper.h"

#include <cstring>

namespace {

class NoPauses : public platform::Pacer {
public:
    void Pause(std::chrono::milliseconds) override {}
};

size_t ReadListSize(const DaxHelper& helper, uint32_t type)
{
    switch (type) {
    case 0: return helper.HourArchiveList.size();
    case 1: return helper.DayArchiveList.size();
    case 2: return helper.MonthArchiveList.size();
    case 3: return helper.TotalDayArchiveList.size();
    case 4: return helper.TotalMonthArchiveList.size();
    case 5: return helper.NotStaffJournalList.size();
    case 6: return helper.OperatorJournalList.size();
    default: return 0;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    daxfuzz::InputReader input(data, size);
    const uint8_t operation = input.Byte();
    const uint8_t first = input.Byte();
    const uint8_t second = input.Byte();
    const auto answer = input.Rest();
    const std::vector<uint8_t> reply(answer.begin(), answer.end());

    if ((operation & 0x7F) % 5 == 0) {
        return daxfuzz::RunDecoder([&] {
            DaxHelper::CheckAnswer(answer, static_cast<int32_t>(answer.size()));
            daxfuzz::Require(answer.size() >= 4, "an accepted answer has at least 4 bytes");
        });
    }

    testsupport::ScriptedChanel chanel;
    chanel.SetAddress(1);
    testsupport::ScriptedReply scripted = testsupport::ScriptedReply::Answer(reply);
    if (operation & 0x80)
        scripted.count = static_cast<int32_t>(reply.size());
    chanel.Queue(std::move(scripted));
    NoPauses pacer;
    DaxHelper helper;
    helper.SetPacer(&pacer);
    helper.SetLogCallback([](const std::string& text, TInteractContainer*) {
        daxfuzz::Require(daxfuzz::IsUtf8(text), "printed texts are UTF-8");
    });
    helper.SetChannel(&chanel);

    return daxfuzz::RunDecoder([&] {
        switch ((operation & 0x7F) % 5) {
        case 1: {
            const int32_t count = 1 + first % 127;
            const int32_t register0 = second & 1 ? 40001 : 30001;
            daxfuzz::Require(helper.ReadRegisters(register0, count, nullptr, 1), "a block inside an image is read");
            DaxHelperLocker locker(&helper);
            const uint8_t* image = second & 1 ? helper.HoldingRegisterImage.data() : helper.InputRegisterImage.data();
            daxfuzz::Require(reply.size() >= size_t(2 * count + 5) &&
                                 std::memcmp(image, reply.data() + 3, size_t(2 * count)) == 0,
                             "a register read copies exactly the answer's register bytes");
            break;
        }
        case 2: {
            const int32_t count = 1 + first % 123;
            daxfuzz::Require(helper.WriteRegisters(40001, count, nullptr, 1), "a block inside the setup image is written");
            break;
        }
        case 3:
            helper.Identify(nullptr, 1);
            if (helper.Identified())
                daxfuzz::Require(helper.Model() == 0 || helper.Model() == 1, "an identified instrument has a model");
            break;
        default: {
            const uint32_t type = first % 8;
            uint16_t start = 0;
            uint8_t count = second;
            daxfuzz::Require(helper.ReadArchivePage(type, 0, start, count, nullptr, 1), "a page read returns true");
            daxfuzz::Require(count <= second, "a page carries no more records than asked");
            daxfuzz::Require(ReadListSize(helper, type) == (type < 7 ? count : 0u),
                             "every carried record of a known type is kept");
            break;
        }
        }
    });
}
