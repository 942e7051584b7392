// The device frame talking to the instrument: page reads and the poll with the register blocks
// they ask for, what their completion shows, the write buttons, read all and write all, the
// pool's limit, and the read post-processing. Real widgets, the real TCP channel, and the
// simulator serving the demo instrument with its request log.
#include "app/DaxFrame.h"
#include "app/DaxInteractFrame.h"
#include "app/DaxReadAllFrame.h"
#include "app/DaxWriteAllFrame.h"
#include "app/MainFrame.h"
#include "app/Texts.h"

#include "AppTestSupport.h"
#include "FrameOverSimulator.h"
#include "DataFile.h"
#include "DemoState.h"
#include "FakePrompts.h"
#include "FakeTime.h"
#include "LambdaAlgorithm.h"
#include "LogRecorder.h"
#include "Servers.h"
#include "Simulator.h"
#include "UnderLocale.h"

#include "comm/Modbus.h"
#include "controls/GoodTable.h"
#include "comm/TcpChanel.h"
#include "comm/Texts.h"
#include "device/DaxAlgorithms.h"
#include "presentation/FramePages.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTreeWidget>

#include <atomic>
#include <cstring>
#include <map>
#include <optional>
#include <ostream>
#include <tuple>

namespace {

using apptest::Child;
using apptest::GroupShown;
using apptest::Shown;
using apptest::WaitFor;
using testsupport::FakePrompts;
using testsupport::LambdaAlgorithm;
using namespace std::chrono_literals;

// One request as the tables of page reads and writes give it.
struct Request {
    int function;
    int first;
    int count;

    friend bool operator==(const Request&, const Request&) = default;
};

void PrintTo(const Request& r, std::ostream* out)
{
    *out << "0x" << std::hex << r.function << std::dec << " " << r.first << "x" << r.count;
}

using Requests = std::vector<Request>;

QString LabelText(const QWidget& root, const char* name)
{
    return Child<QLabel>(root, name)->text();
}

class FrameExchange : public apptest::FrameOverSimulator {
protected:
    // The instrument identified, as after any first exchange; the request log emptied.
    void Identify()
    {
        ASSERT_TRUE(frame.Helper().Identify(nullptr, 1));
        simulator.ClearRequestLog();
    }

    Requests Logged()
    {
        Requests requests;
        for (const daxsim::RequestRecord& r : simulator.RequestLog())
            requests.push_back({r.Function, r.First, r.Count});
        return requests;
    }

    // The 0x10 requests of the log, with their values.
    std::vector<daxsim::RequestRecord> Writes()
    {
        std::vector<daxsim::RequestRecord> writes;
        for (const daxsim::RequestRecord& r : simulator.RequestLog())
            if (r.Function == 0x10)
                writes.push_back(r);
        return writes;
    }

    // The frame showing the whole demo instrument, as after reading everything: the settings
    // pages hold valid values to write.
    void ShowEverything()
    {
        frame.Helper().LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(simulator.Device()));
        frame.OnProcessDone(TDax_Frame::kReadAllId);
        simulator.ClearRequestLog();
        log.Clear();
    }

    void Click(const char* button)
    {
        Child<QPushButton>(frame, button)->click();
        Finish();
    }

    std::vector<uint16_t> SetupWords(int32_t first, int32_t count)
    {
        std::vector<uint16_t> words;
        DaxHelperLocker lock(&frame.Helper());
        for (int32_t r = first; r < first + count; ++r)
            words.push_back(dax_namespace::HoldingRegister(frame.Helper().HoldingRegisterImage, r));
        return words;
    }
};

// ---- page reads -------------------------------------------------------------------------

constexpr int R3 = 0x03;
constexpr int R4 = 0x04;

Requests PageReadRequests(int pageId, bool poll)
{
    const Requests kind0 = {{R3, 40180, 2}, {R3, 40079, 4}, {R3, 40126, 3}, {R4, 30217, 83}, {R4, 30059, 85}, {R4, 30160, 42}};
    const Requests kind1 = {{R3, 40180, 2}, {R3, 40129, 4}, {R4, 30300, 83}, {R4, 30059, 85}, {R4, 30160, 42}};
    const Requests kind2 = {{R3, 40180, 2}, {R3, 40179, 30}, {R4, 30059, 85}, {R4, 30160, 42}};
    const auto currentOnly = [](Requests requests) {
        std::erase_if(requests, [](const Request& r) { return r.function == R3; });
        return requests;
    };
    const std::map<int, Request> blocks = {
        {12, {R3, 40097, 21}}, {13, {R3, 40129, 10}}, {14, {R3, 40147, 21}}, {15, {R3, 40179, 16}},
        {16, {R3, 40203, 11}}, {17, {R4, 30383, 97}}, {18, {R3, 40216, 88}}, {19, {R3, 40304, 32}},
        {20, {R3, 40037, 42}}, {23, {R3, 40356, 51}}, {24, {R3, 40407, 54}}, {25, {R3, 40461, 24}},
        {26, {R3, 40485, 32}}, {27, {R3, 40517, 64}}, {28, {R3, 40581, 16}}, {29, {R3, 40336, 12}},
    };
    switch (pageId) {
    case 0:
    case 1: return poll ? currentOnly(kind0) : kind0;
    case 2:
    case 3: return poll ? currentOnly(kind1) : kind1;
    case 4: return poll ? currentOnly(kind2) : kind2;
    // Always whole, with a renewed identification.
    case 11: return {{0x11, 0, 0}, {R3, 40079, 10}, {R3, 40126, 3}};
    case 21: return poll ? Requests{{R4, 30001, 20}} : Requests{{0x11, 0, 0}, {R3, 40001, 38}, {R4, 30001, 20}};
    default: break;
    }
    const auto block = blocks.find(pageId);
    return block == blocks.end() ? Requests{} : Requests{block->second};
}

TEST_F(FrameExchange, EveryPageReadsItsBlocks)
{
    Identify();
    for (int pageId = -1; pageId <= 30; ++pageId) {
        for (bool poll : {false, true}) {
            SCOPED_TRACE(testing::Message() << "page " << pageId << (poll ? " poll" : ""));
            simulator.ClearRequestLog();
            frame.ReadPage(pageId, 0, poll);
            Finish();
            EXPECT_EQ(Logged(), PageReadRequests(pageId, poll));
        }
    }
    EXPECT_TRUE(log.Texts().empty()) << log.Texts().front();
}

TEST_F(FrameExchange, TheFirstReadIdentifiesTheInstrumentFirst)
{
    frame.ReadPage(18, 0, false);
    Finish();
    EXPECT_EQ(Logged(), (Requests{{0x11, 0, 0}, {R3, 40037, 2}, {R3, 40216, 88}}));
    EXPECT_TRUE(frame.Helper().Identified());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(frame.OwnFields().ModelText.data())), "Dax-01");
}

TEST_F(FrameExchange, ClosedChannelOrNoneReadsNothing)
{
    chanel.Close(nullptr);
    frame.ReadPage(18, 0, false);
    frame.SetAutoRequestFlag(true);
    frame.AutoRequest();
    frame.SetChannel(nullptr);
    frame.ReadPage(4, 0, false);
    EXPECT_EQ(pool.Count(), 0);
    EXPECT_TRUE(simulator.RequestLog().empty());
}

TEST_F(FrameExchange, TheReadButtonsReadTheShownPage)
{
    Identify();
    Select(19);
    Click("ReadPageParams19");
    EXPECT_EQ(Logged(), (Requests{{R3, 40304, 32}}));
}

// Each read shows exactly its groups, with the values a frame shows that has everything of the
// same instrument; the other groups keep what they showed.
TEST_F(FrameExchange, CompletionShowsTheGroupsOfTheRead)
{
    TDax_Frame reference;
    reference.BuildPageTree();
    reference.Helper().LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(simulator.Device()));
    reference.OnProcessDone(TDax_Frame::kReadAllId);
    Identify();

    for (const FramePage& page : FramePages()) {
        if (page.PageId != page.ReadId)
            continue;
        SCOPED_TRACE(testing::Message() << "page " << page.PageId);
        std::map<int32_t, std::vector<Shown>> before;
        for (int32_t group = 0; group <= 32; ++group)
            before[group] = GroupShown(frame, group);
        frame.ReadPage(page.PageId, 0, false);
        Finish();
        const std::span<const uint8_t> shown = GroupsShownByReadId(page.ReadId);
        for (int32_t group = 0; group <= 32; ++group) {
            const bool isShown = std::find(shown.begin(), shown.end(), group) != shown.end();
            if (isShown)
                EXPECT_EQ(GroupShown(frame, group), GroupShown(reference, group)) << "group " << group;
            else
                EXPECT_EQ(GroupShown(frame, group), before[group]) << "group " << group;
        }
    }
    EXPECT_TRUE(log.Texts().empty()) << log.Texts().front();
}

TEST_F(FrameExchange, APollOfTheSettingsPageLeavesTheClockTheUserEdits)
{
    Identify();
    Select(21);
    Click("ReadPageParams21");
    auto* time = Child<QTimeEdit>(frame, "CurrentTimePicker");
    auto* workMode = Child<QComboBox>(frame, "WorkMode");
    time->setTime(QTime(1, 2, 3));
    workMode->setCurrentIndex(-1);

    simulator.ClearRequestLog();
    frame.SetAutoRequestFlag(true);
    frame.AutoRequest();
    Finish();
    EXPECT_EQ(Logged(), (Requests{{R4, 30001, 20}}));
    EXPECT_EQ(time->time(), QTime(1, 2, 3));
    // The current values of the page (group 20) were shown again.
    EXPECT_GE(workMode->currentIndex(), 0);
}

TEST_F(FrameExchange, ThePollReadsNoSettingsAndWaitsForTheLastOne)
{
    Identify();
    frame.SetAutoRequestFlag(true);
    Select(0);
    // The page's layout follows settings no read has brought yet: the first poll reads them.
    frame.AutoRequest();
    Finish();
    EXPECT_EQ(Logged(), PageReadRequests(0, false));
    simulator.ClearRequestLog();
    frame.AutoRequest();
    Finish();
    EXPECT_EQ(Logged(), PageReadRequests(0, true));

    // A slow line: the second poll finds the first still in the pool and starts nothing.
    daxsim::FaultOptions slow;
    slow.DelayMs = 150;
    simulator.SetFaults(slow);
    simulator.ClearRequestLog();
    frame.AutoRequest();
    frame.AutoRequest();
    EXPECT_EQ(pool.Count(), 1);
    Finish();
    EXPECT_EQ(Logged(), PageReadRequests(0, true));
    // Once it has ended the next poll starts again.
    frame.AutoRequest();
    EXPECT_EQ(pool.Count(), 1);
    Finish();

    // Pages that show no current values are not polled.
    simulator.ClearRequestLog();
    Select(18);
    frame.AutoRequest();
    EXPECT_EQ(pool.Count(), 0);
    frame.SetAutoRequestFlag(false);
    Select(4);
    frame.AutoRequest();
    EXPECT_EQ(pool.Count(), 0);
}

TEST_F(FrameExchange, AFullPoolDropsAButtonReadWithALineAndAPollSilently)
{
    Identify();
    std::atomic<bool> release{false};
    for (int i = 0; i < ProcessPool::kMaxProcesses; ++i)
        ASSERT_NE(pool.Start(std::make_unique<LambdaAlgorithm>([&release](ProcessAlgorithm&) {
                                 while (!release)
                                     std::this_thread::sleep_for(1ms);
                             }),
                             0, -1, ""),
                  nullptr);
    Select(4);
    Child<QPushButton>(frame, "ReadPageParams4")->click();
    release = true;
    Finish();
    EXPECT_EQ(log.Take(), std::vector<std::string>{dax_namespace::kProcessPoolFullText});

    release = false;
    for (int i = 0; i < ProcessPool::kMaxProcesses; ++i)
        pool.Start(std::make_unique<LambdaAlgorithm>([&release](ProcessAlgorithm&) {
                       while (!release)
                           std::this_thread::sleep_for(1ms);
                   }),
                   0, -1, "");
    frame.SetAutoRequestFlag(true);
    frame.AutoRequest();
    release = true;
    Finish();
    EXPECT_TRUE(log.Texts().empty());
    EXPECT_TRUE(simulator.RequestLog().empty());
}

// ---- write buttons ------------------------------------------------------------------------

struct WriteCase {
    int page;
    const char* button;
    Requests writes;
    const char* confirmation;
};

void PrintTo(const WriteCase& c, std::ostream* out)
{
    *out << c.button;
}

constexpr int W = 0x10;

const WriteCase kWriteCases[] = {
    {11, "WritePageParams", {{W, 40079, 10}, {W, 40126, 3}}, "Конфигурация ТС1 установлена"},
    {12, "BitBtn23", {{W, 40097, 21}}, "Реакции ТС1 установлены"},
    {13, "BitBtn5", {{W, 40129, 10}}, "Конфигурация ТС2 установлена"},
    {14, "BitBtn6", {{W, 40147, 21}}, "Реакции ТС2 установлены"},
    {15, "BitBtn8", {{W, 40179, 16}}, "Конфигурация общих параметров установлена"},
    {16, "BitBtn10", {{W, 40203, 11}}, "Конфигурация ХВС установлена"},
    {19, "BitBtn18", {{W, 40304, 32}}, "Конфигурация каналов температуры и давления установлена"},
    {17, "ClearCounters", {{W, 40010, 1}}, "Счетчики каналов расхода сброшены"},
    {18, "SetImpulseParamButton", {{W, 40216, 84}}, "Конфигурация каналов расхода установлена"},
    {18, "SetFilterParamButton", {{W, 40300, 4}}, "Конфигурация каналов расхода установлена"},
    {20, "SetCalibration", {{W, 40037, 22}}, "Калибровочные коэффициенты установлены"},
    {20, "SetSystemCalibration", {{W, 40070, 5}}, "Системные калибровочные коэффициенты установлены"},
    {21, "SetTime", {{W, 40001, 9}}, "Параметры времени и даты установлены"},
    {21, "SetCurrentTime", {{W, 40001, 9}}, "Параметры времени и даты установлены"},
    {21, "CorrectionTime", {{W, 40001, 6}}, "Корректировка времени выполнена"},
    {21, "SetAccess", {{W, 40015, 6}}, "Пароль установлен"},
    {21, "EnterPassword", {{W, 40011, 4}}, "Пароль введен"},
    {21, "ResetArchive", {{W, 40010, 1}}, "Очистка архива активирована"},
    {23, "SetLcd", {{W, 40356, 6}}, "Параметры ЖКИ установлены"},
    {23, "SetPort1", {{W, 40365, 4}}, "Параметры порта 1 установлены"},
    {23, "SetPort2", {{W, 40369, 4}}, "Параметры порта 2 установлены"},
    {23, "SetObjectName", {{W, 40377, 8}}, "Параметры идентификации установлены"},
    {23, "SetSms", {{W, 40385, 10}}, "Параметры SMS установлены"},
    {23, "SetIncomingRing", {{W, 40399, 4}}, "Параметры входящих звонков установлены"},
    {24, "SetInternet", {{W, 40407, 50}}, "Параметры интернет установлены"},
    {25, "SetSignal_0", {{W, 40461, 24}}, "Параметры сигналов 1...8 установлены"},
    {26, "SetSignal_1", {{W, 40485, 32}}, "Параметры сигналов 9...С установлены"},
    {27, "SetSignal_2", {{W, 40517, 64}}, "Параметры сигналов D...G установлены"},
    {28, "SetEvents", {{W, 40581, 16}}, "Параметры событий 1...8 установлены"},
    {29, "WriteInOut", {{W, 40336, 12}}, "Параметры входов и выходов установлены"},
    {29, "SetOutRegister", {{W, 40344, 1}}, "Регистр выхода установлен"},
};

class WriteButtons : public FrameExchange, public testing::WithParamInterface<WriteCase> {};

TEST_P(WriteButtons, WriteTheirBlockFromTheSetupImageAndConfirmAfterTheAnswer)
{
    const WriteCase& c = GetParam();
    ShowEverything();
    Select(c.page);
    Child<QPushButton>(frame, c.button)->click();
    // Nothing is printed before the instrument has answered.
    EXPECT_TRUE(log.Texts().empty());
    Finish();
    const std::vector<daxsim::RequestRecord> writes = Writes();
    ASSERT_EQ(writes.size(), c.writes.size());
    for (size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ((Request{writes[i].Function, writes[i].First, writes[i].Count}), c.writes[i]);
        EXPECT_EQ(writes[i].Values, SetupWords(c.writes[i].first, c.writes[i].count));
    }
    EXPECT_EQ(Logged().size(), writes.size()) << "only the writes";
    EXPECT_EQ(log.Texts(), std::vector<std::string>{c.confirmation});
}

INSTANTIATE_TEST_SUITE_P(Frame, WriteButtons, testing::ValuesIn(kWriteCases));

TEST_F(FrameExchange, DirectValuesOfTheCommandButtons)
{
    ShowEverything();
    Select(17);
    Click("ClearCounters");
    ASSERT_EQ(Writes().size(), 1u);
    EXPECT_EQ(Writes()[0].Values, std::vector<uint16_t>{1});

    Select(29);
    for (const bool checked : {true, false}) {
        simulator.ClearRequestLog();
        Child<QCheckBox>(frame, "OutRegister")->setChecked(checked);
        Click("SetOutRegister");
        ASSERT_EQ(Writes().size(), 1u);
        EXPECT_EQ(Writes()[0].Values, std::vector<uint16_t>{static_cast<uint16_t>(checked ? 1 : 0)});
        EXPECT_EQ(simulator.Device().State().Register(40344), checked ? 1 : 0);
    }
}

TEST_F(FrameExchange, ArchiveClearIsActivatedThenCancelled)
{
    ShowEverything();
    Select(21);
    auto* button = Child<QPushButton>(frame, "ResetArchive");
    ASSERT_EQ(simulator.Device().State().Register(40010), 0);
    EXPECT_EQ(button->text().toStdString(), "Очистить");
    Click("ResetArchive");
    ASSERT_EQ(Writes().size(), 1u);
    EXPECT_EQ(Writes()[0].Values, std::vector<uint16_t>{0xA780});
    EXPECT_EQ(log.Take(), std::vector<std::string>{"Очистка архива активирована"});

    Click("ReadPageParams21");
    EXPECT_EQ(button->text().toStdString(), "Отменить");
    simulator.ClearRequestLog();
    Click("ResetArchive");
    ASSERT_EQ(Writes().size(), 1u);
    EXPECT_EQ(Writes()[0].Values, std::vector<uint16_t>{0});
    EXPECT_EQ(log.Take(), std::vector<std::string>{"Очистка архива отменена"});
}

TEST_F(FrameExchange, TimeFromTheComputerGoesIntoThePickersAndTheInstrument)
{
    testsupport::ManualClock clock;
    // 2031-05-17 22:45:51.250 UTC.
    clock.SetUtc(std::chrono::system_clock::time_point(std::chrono::milliseconds(1952549151250)));
    frame.SetClock(&clock);
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(1952549151250, Qt::UTC).toLocalTime();
    ShowEverything();
    Select(21);
    Click("SetCurrentTime");
    EXPECT_EQ(Child<QDateEdit>(frame, "CurrentDatePicker")->date(), local.date());
    EXPECT_EQ(Child<QTimeEdit>(frame, "CurrentTimePicker")->time(), QTime(local.time().hour(), local.time().minute(), local.time().second()));
    ASSERT_EQ(Writes().size(), 1u);
    const std::vector<uint16_t> v = Writes()[0].Values;
    ASSERT_EQ(v.size(), 9u);
    EXPECT_EQ((std::vector<uint16_t>(v.begin(), v.begin() + 6)),
              (std::vector<uint16_t>{static_cast<uint16_t>(local.date().year() - 2000),
                                     static_cast<uint16_t>(local.date().month()),
                                     static_cast<uint16_t>(local.date().day()),
                                     static_cast<uint16_t>(local.time().hour()),
                                     static_cast<uint16_t>(local.time().minute()),
                                     static_cast<uint16_t>(local.time().second())}));
    // The automatic change of time goes with the clock.
    EXPECT_EQ(v[8], simulator.Device().State().Register(40009));
}

// A clock the instrument keeps wrong cannot be shown (the pickers are blank), yet "Время с ПК"
// sets it: the computer's time goes into the pickers as values and is written.
TEST_F(FrameExchange, TimeFromTheComputerSetsAClockThePickersCouldNotShow)
{
    struct Case {
        const char* why;
        int32_t reg;
        uint16_t value;
    };
    const Case cases[] = {
        {"month 0", 40002, 0},
        {"day 32", 40003, 32},
        {"hour 24", 40004, 24},
    };
    testsupport::ManualClock clock;
    clock.SetUtc(std::chrono::system_clock::time_point(std::chrono::milliseconds(1952549151250)));
    frame.SetClock(&clock);
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(1952549151250, Qt::UTC).toLocalTime();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const uint16_t good = simulator.Device().State().Register(static_cast<uint16_t>(c.reg));
        simulator.Device().PokeRegister(static_cast<uint16_t>(c.reg), c.value);
        ShowEverything();
        simulator.Device().PokeRegister(static_cast<uint16_t>(c.reg), good);
        Select(21);
        Click("SetCurrentTime");
        EXPECT_EQ(log.Take(), std::vector<std::string>{"Параметры времени и даты установлены"});
        ASSERT_EQ(Writes().size(), 1u);
        const std::vector<uint16_t> v = Writes()[0].Values;
        EXPECT_EQ((std::vector<uint16_t>(v.begin(), v.begin() + 6)),
                  (std::vector<uint16_t>{static_cast<uint16_t>(local.date().year() - 2000),
                                         static_cast<uint16_t>(local.date().month()),
                                         static_cast<uint16_t>(local.date().day()),
                                         static_cast<uint16_t>(local.time().hour()),
                                         static_cast<uint16_t>(local.time().minute()),
                                         static_cast<uint16_t>(local.time().second())}));
    }
}

// "Очистить" of signals D to G sets every editor it touches to a value: a timer picker left
// blank by a register above 1439 is cleared to 00:00, which the page's write then sends.
TEST_F(FrameExchange, ClearingTheSignalsSetsABlankTimerToMidnight)
{
    simulator.Device().PokeRegister(40531, 1440); // signal D: switched on at "24:00"
    simulator.Device().PokeRegister(40532, 1500);
    ShowEverything();
    log.Clear();
    Select(27);
    Child<QPushButton>(frame, "ClearSignal_2")->click();
    // The user makes the cleared signal a timer: its times read 00:00, and are written so.
    auto* signal = frame.findChild<QWidget*>(QStringLiteral("DaxSignalD"));
    ASSERT_NE(signal, nullptr);
    Child<QComboBox>(*signal, "SignalType")->setCurrentIndex(2);
    EXPECT_EQ(Child<QTimeEdit>(*signal, "TimerOn")->text(), QStringLiteral("00:00"));
    Click("SetSignal_2");
    EXPECT_EQ(log.Take(), std::vector<std::string>{"Параметры сигналов D...G установлены"});
    ASSERT_EQ(Writes().size(), 1u);
    ASSERT_EQ(Writes()[0].Values.size(), 64u);
    EXPECT_EQ(Writes()[0].Values[0], 2) << "a timer";
    EXPECT_EQ(Writes()[0].Values[14], 0) << "switched on at 00:00";
    EXPECT_EQ(Writes()[0].Values[15], 0) << "switched off at 00:00";
}

// A count the instrument keeps outside a spin box's range is not shown as the nearest count
// and written back without a word: the spin box is blank, the write refused with the range,
// until the user chooses a count.
TEST_F(FrameExchange, ACountOutsideItsSpinBoxIsRefusedUntilTheUserChoosesOne)
{
    simulator.Device().PokeRegister(40126, 0); // no supply pipe: the spin box takes 1 to 5
    ShowEverything();
    Select(11);
    auto* direct = Child<QSpinBox>(*Child<QWidget>(frame, "ConfigurationTS1"), "DirectPipe");
    EXPECT_EQ(direct->text().trimmed(), QString()) << "shown blank, not as 1";
    Child<QPushButton>(frame, "WritePageParams")->click();
    EXPECT_EQ(pool.Count(), 0);
    Finish();
    EXPECT_TRUE(simulator.RequestLog().empty());
    EXPECT_EQ(log.Take(), std::vector<std::string>{
                              "Значение параметра \"Количество подающих трубопроводов\" выходит за диапазон 1...5"});

    direct->stepBy(1); // the user's first choice is the lowest count
    EXPECT_EQ(direct->value(), 1);
    Click("WritePageParams");
    EXPECT_EQ(log.Take(), std::vector<std::string>{"Конфигурация ТС1 установлена"});
    ASSERT_EQ(Writes().size(), 2u);
    EXPECT_EQ(Writes()[1].First, 40126);
    EXPECT_EQ(Writes()[1].Values[0], 1);
}

TEST_F(FrameExchange, AWriteRefusedByTheInstrumentPrintsItsErrorAndNoConfirmation)
{
    ShowEverything();
    daxsim::FaultOptions refusing;
    refusing.ExceptionCode = 2;
    simulator.SetFaults(refusing);
    Select(16);
    Click("BitBtn10");
    EXPECT_EQ(Writes().size(), 1u);
    EXPECT_EQ(log.Texts(), std::vector<std::string>{ModbusExceptionText(2)});
}

TEST_F(FrameExchange, AWriteOnAClosedChannelIsStartedAndFails)
{
    ShowEverything();
    chanel.Close(nullptr);
    Select(16);
    Child<QPushButton>(frame, "BitBtn10")->click();
    EXPECT_EQ(pool.Count(), 1);
    Finish();
    EXPECT_TRUE(simulator.RequestLog().empty());
    EXPECT_EQ(log.Texts(), std::vector<std::string>{dax_namespace::kInvalidAnswerText});
}

TEST_F(FrameExchange, AnInvalidFieldIsReportedFocusedAndNothingIsWritten)
{
    ShowEverything();
    frame.show();
    Select(24);
    auto* address = Child<QLineEdit>(frame, "ServerIpAddress");
    address->clear();
    Child<QPushButton>(frame, "SetInternet")->click();
    EXPECT_EQ(pool.Count(), 0);
    Finish();
    EXPECT_TRUE(simulator.RequestLog().empty());
    ASSERT_EQ(log.Texts().size(), 1u);
    EXPECT_NE(log.Texts()[0].find("IP адрес сервера"), std::string::npos) << log.Texts()[0];
    EXPECT_TRUE(WaitFor([address] { return address->hasFocus(); }));
}

TEST_F(FrameExchange, WritingTheCommonSettingsSwitchesTheUnitCaptions)
{
    ShowEverything();
    EXPECT_EQ(LabelText(frame, "ColdWaterPWinterLabel").toStdString(), "Pхв_дог зимнее (МПа)");
    Select(15);
    Child<QComboBox>(frame, "UnitOfMeasureHeat")->setCurrentIndex(1);
    Child<QComboBox>(frame, "UnitOfMeasurePressure")->setCurrentIndex(1);
    Click("BitBtn8");
    EXPECT_EQ(log.Texts(), std::vector<std::string>{"Конфигурация общих параметров установлена"});
    EXPECT_EQ(simulator.Device().State().Register(40180) & 0xFF, 1);
    auto* ts1 = Child<QWidget>(frame, "TS1_Current");
    EXPECT_EQ(LabelText(*ts1, "Q1CurrentLabel").toStdString(), "Q1 (ГДж)");
    EXPECT_EQ(LabelText(*ts1, "P1CurrentLabel").toStdString(), "P1 (кгс/см²)");
    EXPECT_EQ(LabelText(frame, "ColdWaterPWinterLabel").toStdString(), "Pхв_дог зимнее (кгс/см²)");
}

// A read that changes the pressure unit (here of page 15 alone) shows the pressures of every
// page again in the new unit, not only the captions: a number left in MPa under "кгс/см²"
// would be written as kgf/cm² by the page's next write.
TEST_F(FrameExchange, APressureUnitChangeShowsEveryPageInTheNewUnit)
{
    ShowEverything();
    auto* ts1 = Child<QWidget>(frame, "TS1_Current");
    const auto text = [](QWidget* root, const char* name) { return Child<QLineEdit>(*root, name)->text().toStdString(); };
    ASSERT_EQ(text(ts1, "P1Current"), "0.6000");
    ASSERT_EQ(text(&frame, "P1_contract"), "0.6000");
    ASSERT_EQ(text(&frame, "ColdWaterPWinter"), "0.1000");

    simulator.Device().PokeRegister(40181, 1); // kgf/cm²
    Select(15);
    Click("ReadPageParams15");
    EXPECT_EQ(LabelText(*ts1, "P1CurrentLabel").toStdString(), "P1 (кгс/см²)");
    EXPECT_EQ(text(ts1, "P1Current"), "6.000");
    EXPECT_EQ(text(&frame, "P1_contract"), "6.000");
    EXPECT_EQ(text(&frame, "ColdWaterPWinter"), "1.000");

    // Written back unchanged in the unit shown.
    Select(19);
    Click("BitBtn18");
    ASSERT_EQ(Writes().size(), 1u);
    EXPECT_EQ(Writes()[0].Values[26], 6000) << "P1_дог";
}

// ---- read all and write all -----------------------------------------------------------

TEST_F(FrameExchange, ReadAllShowsItsWindowAndFillsEverything)
{
    prompts.OnModal = [](QDialog&) { return QDialog::Accepted; };
    frame.ReadAll();
    ASSERT_EQ(prompts.modalRuns, 1);
    EXPECT_EQ(prompts.modalDialogs.front(), &readAllForm);
    ASSERT_EQ(pool.Count(), 1);
    EXPECT_TRUE(frame.ReadAllWindow()->isVisible());
    EXPECT_EQ(frame.ReadAllWindow()->windowTitle().toStdString(), "Считывание данных");
    EXPECT_EQ(frame.ReadAllWindow()->Container(), pool.Item(0)->Container.get());

    // A second "Считать параметры" brings the window back without asking.
    frame.ReadAllWindow()->hide();
    frame.ReadAll();
    EXPECT_EQ(prompts.modalRuns, 1);
    EXPECT_TRUE(frame.ReadAllWindow()->isVisible());
    EXPECT_EQ(pool.Count(), 1);

    Finish();
    EXPECT_FALSE(frame.ReadAllWindow()->isVisible());
    EXPECT_EQ(frame.ReadAllWindow()->Container(), nullptr);
    EXPECT_TRUE(log.Texts().empty()) << log.Texts().front();
    const daxsim::InstrumentState state = simulator.Device().State();
    DaxHelperLocker lock(&frame.Helper());
    DaxHelper::ForEachRecordType(frame.Helper(), [&](auto type, auto& vector, auto&) {
        const std::vector<std::vector<uint8_t>> ring = daxsim::RingRecords(state.Rings[type]);
        ASSERT_EQ(vector.size(), ring.size()) << type;
        for (size_t i = 0; i < ring.size(); ++i)
            EXPECT_EQ(0, std::memcmp(&vector[i], ring[i].data(), ring[i].size())) << type << " " << i;
    });
    EXPECT_EQ(Child<QLineEdit>(frame, "Model")->text().toStdString(), "Dax-01");
    // The tables are refilled: a grid of each kind has a row per record.
    for (int32_t kind = 0; kind < 5; ++kind)
        EXPECT_EQ(static_cast<size_t>(frame.ArchiveGrid(0, kind)->GetRowCount()),
                  daxsim::RingRecords(state.Rings[kind]).size())
            << kind;
    EXPECT_EQ(static_cast<size_t>(Child<TGoodTable>(frame, "JournalArchive")->GetRowCount()),
              daxsim::RingRecords(state.Rings[6]).size());
}

TEST_F(FrameExchange, ReadAllCancelledInItsDialogDoesNothing)
{
    frame.ReadAll();
    EXPECT_EQ(prompts.modalRuns, 1);
    EXPECT_EQ(pool.Count(), 0);
    EXPECT_FALSE(frame.ReadAllWindow()->isVisible());
    Finish();
    EXPECT_TRUE(simulator.RequestLog().empty());
}

TEST_F(FrameExchange, ReadAllStoppedHidesItsWindow)
{
    daxsim::FaultOptions slow;
    slow.DelayMs = 30;
    simulator.SetFaults(slow);
    prompts.OnModal = [](QDialog&) { return QDialog::Accepted; };
    frame.ReadAll();
    ASSERT_TRUE(WaitFor([this] { return simulator.RequestLog().size() >= 2; }));
    Child<QPushButton>(*frame.ReadAllWindow(), "StopProcess")->click();
    Finish();
    EXPECT_FALSE(frame.ReadAllWindow()->isVisible());
    EXPECT_EQ(log.Texts(), std::vector<std::string>{comm::kProcessAbortedText});
}

// What a failed read all leaves: the core's text, the window hidden, the pages as they were.
TEST_F(FrameExchange, ReadAllFailuresLeaveThePagesAlone)
{
    prompts.OnModal = [](QDialog&) { return QDialog::Accepted; };
    const std::vector<Shown> before = GroupShown(frame, 3);

    // A software version the configurator refuses.
    daxsim::InstrumentState state = daxsim::DemoState(daxsim::Model::Dax01);
    state.Version[2] = 2;
    ASSERT_TRUE(simulator.Device().ReplaceState(state));
    frame.ReadAll();
    Finish();
    EXPECT_FALSE(frame.ReadAllWindow()->isVisible());
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{dax_namespace::kUnknownVersionText,
                                                     dax_namespace::kIdentificationRefusedText}));
    EXPECT_EQ(GroupShown(frame, 3), before);

    // Ring pointers beyond their ring: the hour archive's first record past its highest.
    log.Clear();
    ASSERT_TRUE(simulator.Device().ReplaceState(daxsim::DemoState(daxsim::Model::Dax01)));
    simulator.Device().PokeRegister(30029, 16);
    simulator.Device().PokeRegister(30030, 0xFFFF);
    frame.ReadAll();
    Finish();
    EXPECT_FALSE(frame.ReadAllWindow()->isVisible());
    ASSERT_EQ(log.Texts().size(), 1u);
    EXPECT_NE(log.Texts()[0].find("Неверные указатели записей (Часовой архив)"), std::string::npos) << log.Texts()[0];
    EXPECT_EQ(GroupShown(frame, 3), before);
    DaxHelperLocker lock(&frame.Helper());
    EXPECT_TRUE(frame.Helper().HourArchive.empty());
}

TEST_F(FrameExchange, WriteAllWritesTheChosenGroupsInTheirOrder)
{
    ShowEverything();
    prompts.OnModal = [](QDialog&) { return QDialog::Accepted; };
    frame.WriteAll();
    EXPECT_EQ(prompts.modalDialogs.front(), &writeAllForm);
    EXPECT_TRUE(frame.WriteAllWindow()->isVisible());
    EXPECT_EQ(frame.WriteAllWindow()->windowTitle().toStdString(), "Запись данных");
    Finish();
    EXPECT_FALSE(frame.WriteAllWindow()->isVisible());
    EXPECT_EQ(Logged(), (Requests{{W, 40011, 4},  {W, 40015, 6},  {W, 40179, 16}, {W, 40079, 10}, {W, 40126, 3},
                                  {W, 40097, 21}, {W, 40129, 10}, {W, 40147, 21}, {W, 40203, 11}, {W, 40222, 78},
                                  {W, 40300, 4},  {W, 40304, 32}, {W, 40336, 12}, {W, 40356, 6},  {W, 40365, 4},
                                  {W, 40369, 4},  {W, 40385, 10}, {W, 40399, 4},  {W, 40407, 50}, {W, 40461, 24},
                                  {W, 40485, 32}, {W, 40517, 64}, {W, 40581, 16}}));
    for (const daxsim::RequestRecord& write : Writes())
        EXPECT_EQ(write.Values, SetupWords(write.First, write.Count)) << write.First;
    EXPECT_EQ(log.Texts(), std::vector<std::string>{"Все выбранные параметры установлены"});
}

TEST_F(FrameExchange, WriteAllStoresWhatThePagesShowAndRefusesAnInvalidValue)
{
    ShowEverything();
    prompts.OnModal = [](QDialog&) { return QDialog::Accepted; };
    // Only "Входы/Выход": what its page shows is stored and written.
    for (int row = 0; row < 20; ++row) {
        auto* item = Child<QTableWidget>(writeAllForm, "DataListView")->item(row, 0);
        item->setCheckState(item->text() == QStringLiteral("Входы/Выход") ? Qt::Checked : Qt::Unchecked);
    }
    Child<QCheckBox>(frame, "OutRegister")->setChecked(!Child<QCheckBox>(frame, "OutRegister")->isChecked());
    const uint16_t output = SetupWords(40344, 1)[0];
    frame.WriteAll();
    Finish();
    EXPECT_EQ(Logged(), (Requests{{W, 40336, 12}}));
    EXPECT_NE(SetupWords(40344, 1)[0], output);
    EXPECT_EQ(simulator.Device().State().Register(40344), SetupWords(40344, 1)[0]);

    // An invalid value: its message, its field focused, nothing written.
    frame.show();
    Select(24);
    log.Clear();
    simulator.ClearRequestLog();
    Child<QTableWidget>(writeAllForm, "DataListView")->item(17, 0)->setCheckState(Qt::Checked); // "Интернет (GPRS)"
    auto* address = Child<QLineEdit>(frame, "ServerIpAddress");
    address->clear();
    frame.WriteAll();
    EXPECT_EQ(pool.Count(), 0);
    EXPECT_FALSE(frame.WriteAllWindow()->isVisible());
    ASSERT_EQ(log.Texts().size(), 1u);
    EXPECT_NE(log.Texts()[0].find("IP адрес сервера"), std::string::npos) << log.Texts()[0];
    EXPECT_TRUE(WaitFor([address] { return address->hasFocus(); }));
    Finish();
    EXPECT_TRUE(simulator.RequestLog().empty());
}

TEST_F(FrameExchange, WriteAllRefusedMidwayReportsNoSuccess)
{
    ShowEverything();
    prompts.OnModal = [](QDialog&) { return QDialog::Accepted; };
    // From the sixth request on the instrument refuses.
    std::atomic<int> seen{0};
    simulator.SetRequestObserver([this, &seen](const daxsim::RequestRecord&) {
        if (++seen == 5) {
            daxsim::FaultOptions refusing;
            refusing.ExceptionCode = 4;
            simulator.SetFaults(refusing);
        }
    });
    frame.WriteAll();
    Finish();
    simulator.SetRequestObserver(nullptr);
    // Five written, then the sixth block refused at each of its three attempts.
    EXPECT_EQ(Writes().size(), 8u);
    EXPECT_FALSE(frame.WriteAllWindow()->isVisible());
    EXPECT_EQ(log.Texts(), std::vector<std::string>{ModbusExceptionText(4)});
}

// ---- read post-processing -----------------------------------------------------------------

// Images set by hand, then the completion of a read as the pool would call it.
class PostProcessing : public testsupport::UnderLocale {
protected:
    void SetUp() override
    {
        UnderLocale::SetUp();
        frame.BuildPageTree();
        frame.SetLogCallback(log.Callback());
    }

    void Input(int32_t reg, uint16_t value)
    {
        DaxHelperLocker lock(&frame.Helper());
        platform::WriteBigEndian<uint16_t>(frame.Helper().InputRegisterImage,
                                           dax_namespace::RegisterOffset(dax_namespace::kFirstInputRegister, reg), value);
    }
    void Holding(int32_t reg, uint16_t value)
    {
        DaxHelperLocker lock(&frame.Helper());
        dax_namespace::SetHoldingRegister(frame.Helper().HoldingRegisterImage, reg, value);
    }
    std::string Text(const char* name) { return Child<QLineEdit>(frame, name)->text().toStdString(); }

    testsupport::LogRecorder log;
    TDax_Frame frame;
};

TEST_P(PostProcessing, DiagnosticsOfTheMeasuringChannels)
{
    struct Case {
        uint16_t adc, cpu, reference, adcVoltage, cpuVoltage;
        const char* adcTemperature;
        const char* cpuTemperature;
        const char* adcVolts;
        const char* cpuVolts;
    };
    const Case cases[] = {
        {13000, 5000, 1000, 10000, 20000, "13.38", "-161.07", "1.071", "3.052"},
        // Truncated toward zero, also below zero.
        {12393, 12195, 1000, 0, 65535, "0.00", "-0.02", "0.000", "10.000"},
        // Beyond 16 bits: the value wraps as a signed 16-bit number.
        {60000, 0, 1, 65535, 0, "-261.43", "-273.00", "7.020", "0.000"},
    };
    uint16_t counter = 0xFFFF; // a counter may really hold it: the first read fills anyway
    for (const Case& c : cases) {
        SCOPED_TRACE(c.adcTemperature);
        Input(30474, counter);
        Input(30475, c.adc);
        Input(30476, c.cpu);
        Input(30477, c.reference);
        Input(30478, c.adcVoltage);
        Input(30479, c.cpuVoltage);
        frame.OnProcessDone(17);
        EXPECT_EQ(Text("AdcTemperature"), c.adcTemperature);
        EXPECT_EQ(Text("CpuTemperature"), c.cpuTemperature);
        EXPECT_EQ(Text("AdcVoltage"), c.adcVolts);
        EXPECT_EQ(Text("CpuVoltage"), c.cpuVolts);
        EXPECT_EQ(Text("AdcCycleCounter"), std::to_string(counter));
        ++counter;
    }
    EXPECT_TRUE(log.Texts().empty());
}

TEST_P(PostProcessing, AnUnchangedCycleCounterLeavesTheDiagnosticsAndGroupZero)
{
    Input(30474, 7);
    Input(30475, 13000);
    Input(30425, 1234); // the ADC code of temperature channel 1 (group 0)
    frame.OnProcessDone(17);
    EXPECT_EQ(Text("AdcTemperature"), "13.38");
    const std::string code = Text("t_AdcCode1");
    EXPECT_FALSE(code.empty());

    Input(30475, 12393);
    Input(30425, 4321);
    frame.OnProcessDone(17);
    EXPECT_EQ(Text("AdcTemperature"), "13.38");
    EXPECT_EQ(Text("t_AdcCode1"), code);

    // Read all always refreshes.
    frame.OnProcessDone(TDax_Frame::kReadAllId);
    EXPECT_EQ(Text("AdcTemperature"), "0.00");
    EXPECT_NE(Text("t_AdcCode1"), code);
}

TEST_P(PostProcessing, AZeroReferenceIsLoggedAndTheRestStillFollows)
{
    Child<QLineEdit>(frame, "CpuTemperature")->setText(QStringLiteral("old"));
    Child<QLineEdit>(frame, "AdcCycleCounter")->setText(QStringLiteral("old"));
    Input(30474, 1);
    Input(30475, 13000);
    Input(30477, 0);
    Holding(40180, 1);
    frame.OnProcessDone(17);
    EXPECT_EQ(log.Texts(), std::vector<std::string>{app::kZeroCpuReferenceText});
    EXPECT_EQ(Text("AdcTemperature"), "13.38");
    EXPECT_EQ(Text("CpuTemperature"), "old");
    EXPECT_EQ(Text("AdcCycleCounter"), "old");
    EXPECT_EQ(LabelText(*Child<QWidget>(frame, "GeneralCWS_Current"), "Q3CurrentLabel").toStdString(), "Q3 (ГДж)");
}

TEST_P(PostProcessing, UnitCaptionsFollowTheInstrumentsUnits)
{
    Holding(40180, 1);
    Holding(40181, 1);
    // A read of page 0 leaves the captions alone.
    frame.OnProcessDone(0);
    auto* ts1 = Child<QWidget>(frame, "TS1_Current");
    EXPECT_EQ(LabelText(*ts1, "Q1CurrentLabel").toStdString(), "Q1 (Гкал)");

    frame.OnProcessDone(2);
    const std::vector<std::pair<std::string, std::string>> captions = {
        {"TS1_Current/Q1CurrentLabel", "Q1 (ГДж)"},        {"TS1_Current/Q1oCurrentLabel", "Q1о (ГДж)"},
        {"TS2_Current/Q2gvsCurrentLabel", "Q2гвс (ГДж)"},   {"TS2_Current/W2gvsCurrentLabel", "W2гвс (ГДж/ч)"},
        {"TS1_Current/W1CurrentLabel", "W1 (ГДж/ч)"},       {"TS1_Current/dP1CurrentLabel", "dP (кгс/см²)"},
        {"TS2_Current/PColdWaterCurrentLabel", "Pхв (кгс/см²)"}, {"TS1_Current/P5CurrentLabel", "P5 (кгс/см²)"},
        {"TS1_NS_Current/QizCurrentLabel", "Qиз (ГДж)"},    {"TS2_NS_Current/QminCurrentLabel", "Qmin (ГДж)"},
        {"GeneralCWS_Current/Q3CurrentLabel", "Q3 (ГДж)"},  {"GeneralCWS_Current/W3CurrentLabel", "W3 (ГДж/ч)"},
        {"GeneralCWS_Current/P6CurrentLabel", "P6 (кгс/см²)"},
        {"ConfigurationTS1/W_ContractLabel", "W_дог (ГДж/ч)"}, {"ConfigurationTS2/W_ContractLabel", "W_дог (ГДж/ч)"},
        {"ConfigurationTS2/dP_minLabel", "dP_min (кгс/см²)"},
        {"ColdWaterPWinterLabel", "Pхв_дог зимнее (кгс/см²)"}, {"ColdWaterPSummerLabel", "Pхв_дог летнее (кгс/см²)"},
        {"PressureChanelLabel", "Давление (кгс/см²)"},      {"PcontractLabel", "P_дог (кгс/см²)"},
    };
    for (const auto& [path, text] : captions) {
        const size_t slash = path.find('/');
        const QWidget* root = slash == std::string::npos ? &frame : Child<QWidget>(frame, path.substr(0, slash).c_str());
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        EXPECT_EQ(LabelText(*root, name.c_str()).toStdString(), text) << path;
    }
    // And back.
    Holding(40180, 0);
    Holding(40181, 0);
    frame.OnProcessDone(15);
    EXPECT_EQ(LabelText(*ts1, "Q1CurrentLabel").toStdString(), "Q1 (Гкал)");
    EXPECT_EQ(LabelText(*ts1, "W1CurrentLabel").toStdString(), "W1 (Гкал/ч)");
    EXPECT_EQ(LabelText(frame, "PcontractLabel").toStdString(), "P_дог (МПа)");
}

DAX_INSTANTIATE_UNDER_LOCALES(PostProcessing);

// ---- the main window's commands ---------------------------------------------------------

TEST(MainWindowReadAll, LeavesStayOnTopForGoodAndAsksTheFrame)
{
    FakePrompts prompts;
    TMainForm form;
    form.SetPrompts(&prompts);
    form.show();
    Child<QAction>(form, "OnTopAction")->trigger();
    ASSERT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    Child<QAction>(form, "ReadDataAction")->trigger();
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(Child<QAction>(form, "OnTopAction")->isChecked());
    ASSERT_EQ(prompts.modalRuns, 1);
    EXPECT_EQ(prompts.modalDialogs.front(), form.ReadAllForm());

    Child<QAction>(form, "OnTopAction")->trigger();
    Child<QAction>(form, "WriteDataAction")->trigger();
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(Child<QAction>(form, "OnTopAction")->isChecked());
    ASSERT_EQ(prompts.modalRuns, 2);
    EXPECT_EQ(prompts.modalDialogs.back(), form.WriteAllForm());
}

} // namespace
