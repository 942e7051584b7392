// The main window over the real TCP channel to the simulated demo instrument, as a user drives
// it: what the writes send while page reads run, and the file commands refused while read all
// or write all runs. The simulator's request log (what dax-sim --log-requests prints) is
// compared with what the user chose.
#include "app/DaxFrame.h"
#include "app/MainFrame.h"

#include "AppTestSupport.h"
#include "DataFile.h"
#include "DemoState.h"
#include "FakePrompts.h"
#include "Servers.h"
#include "Simulator.h"

#include "comm/TcpChanel.h"
#include "device/Daxhelper.h"
#include "device/Registers.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <bit>
#include <condition_variable>
#include <fstream>
#include <mutex>

namespace {

using apptest::Child;
using apptest::Console;
using apptest::WaitFor;
using daxsim::RequestRecord;
using namespace std::chrono_literals;

constexpr int kTcpGraceMs = 5000; // the channel's own wait: a held answer stays in time

// Holds the simulator's serving thread at the first request that matches, until released, so
// that the test can act while an operation is in the middle of its exchanges.
class RequestGate {
public:
    using Match = std::function<bool(const RequestRecord&)>;

    void Arm(Match match)
    {
        std::lock_guard lock(mutex_);
        match_ = std::move(match);
        holding_ = false;
        released_ = false;
    }
    // On the serving thread. Bounded: a test that fails to release does not hang the server
    // past the channel's own wait.
    void Observe(const RequestRecord& record)
    {
        std::unique_lock lock(mutex_);
        if (!match_ || !match_(record))
            return;
        match_ = nullptr;
        holding_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, std::chrono::milliseconds(kTcpGraceMs - 1000), [this] { return released_; });
        holding_ = false;
    }
    bool Holding()
    {
        std::lock_guard lock(mutex_);
        return holding_;
    }
    void Release()
    {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    Match match_;
    bool holding_ = false;
    bool released_ = false;
};

bool IsWrite(const RequestRecord& r)
{
    return r.Function == 0x10;
}

float FloatOf(uint16_t high, uint16_t low)
{
    return std::bit_cast<float>(static_cast<uint32_t>(high) << 16 | low);
}

class WindowOverDemo : public testing::Test {
protected:
    void SetUp() override
    {
        simulator.SetRequestObserver([this](const RequestRecord& r) { gate.Observe(r); });
        server = std::make_unique<daxsim::TcpServer>(simulator, "127.0.0.1", 0);
        server->Start();
        form = std::make_unique<TMainForm>(std::vector<ChanelKindEntry>{
            {QStringLiteral("TCP / IP (прозрачный канал)"), [] { return std::make_unique<TcpChanelHelper>(false); },
             nullptr}});
        form->SetPrompts(&prompts);
        auto* tcp = dynamic_cast<TcpChanelHelper*>(form->Chanel());
        ASSERT_NE(tcp, nullptr);
        tcp->Params().TcpAddress = "127.0.0.1";
        tcp->Params().TcpPort = server->Port();
        tcp->Params().TcpTimeout = kTcpGraceMs;
        tcp->Params().NetAddr = 1;
        Child<QPushButton>(*form, "OpenPort")->click();
        ASSERT_TRUE(WaitFor([this] { return !form->ChanelJobRunning(); }));
        ASSERT_TRUE(form->Chanel()->IsOpen()) << Console(*form).toStdString();
        tree = Child<QTreeWidget>(*form->Frame(), "SelectTree");
    }

    void TearDown() override
    {
        gate.Release();
        if (form) {
            form->Pool().AbortAll();
            EXPECT_TRUE(Idle());
        }
        form.reset();
        simulator.SetRequestObserver(nullptr);
    }

    // Every process has ended and its texts have reached the console (the window's 100 ms
    // pass empties the pool).
    bool Idle()
    {
        return WaitFor([this] { return form->Pool().Count() == 0; }, 30s);
    }

    // The dialogs of read all and write all answer OK with their default choice.
    void AcceptDialogs()
    {
        prompts.OnModal = [](QDialog& dialog) {
            dialog.accept();
            return static_cast<int>(QDialog::Accepted);
        };
    }

    void ReadEverything()
    {
        AcceptDialogs();
        Child<QAction>(*form, "ReadDataAction")->trigger();
        ASSERT_TRUE(Idle());
        ASSERT_FALSE(Console(*form).contains(QStringLiteral("Ошибка"))) << Console(*form).toStdString();
    }

    // Chooses the page in the tree, as a click does (with auto request on, it is read).
    void Choose(int pageId)
    {
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->data(0, TDax_Frame::kPageIdRole).toInt() == pageId)
                tree->setCurrentItem(*it);
        ASSERT_EQ(form->Frame()->CurrentPageId(), pageId);
    }

    // Starts the command and returns once the gate holds its first matching request.
    void StartAndHold(RequestGate::Match match, const std::function<void()>& command)
    {
        gate.Arm(std::move(match));
        command();
        ASSERT_TRUE(WaitFor([this] { return gate.Holding(); }, 20s));
    }

    // The log from the first request matching on.
    std::vector<RequestRecord> LogFrom(size_t first)
    {
        const auto all = simulator.RequestLog();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(first, all.size())), all.end()};
    }

    uint16_t DemoHolding(int32_t reg) const { return demo.Register(static_cast<uint16_t>(reg)); }

    daxsim::InstrumentState demo = daxsim::DemoState(daxsim::Model::Dax01);
    daxsim::Simulator simulator{demo, 1};
    RequestGate gate;
    std::unique_ptr<daxsim::TcpServer> server;
    testsupport::FakePrompts prompts;
    std::unique_ptr<TMainForm> form;
    QTreeWidget* tree = nullptr;
};

// The user sets Gдог_1 to 7.25 and writes everything; while the write runs, choosing pages
// reads them (auto request is on), and the reads put the instrument's old values into the
// setup image. Every block written carries what the pages held when the button was pressed.
TEST_F(WindowOverDemo, WriteAllSendsWhatTheUserChoseWhateverPagesAreReadMeanwhile)
{
    ReadEverything();
    ASSERT_TRUE(form->Frame()->AutoRequestFlag());
    Choose(18);
    ASSERT_TRUE(Idle());
    Child<QLineEdit>(*form->Frame(), "G1_contract")->setText(QStringLiteral("7.25"));

    const size_t before = simulator.RequestLog().size();
    StartAndHold(IsWrite, [this] { Child<QAction>(*form, "WriteDataAction")->trigger(); });
    // Page reads started while the first block is on its way.
    Choose(16);
    Choose(18);
    Choose(28);
    Child<QPushButton>(*form->Frame(), "ReadPageParams28")->click();
    gate.Release();
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(Console(*form).contains(QStringLiteral("Все выбранные параметры установлены")))
        << Console(*form).toStdString();

    const std::vector<RequestRecord> log = LogFrom(before);
    std::vector<RequestRecord> writes;
    size_t readsBetweenWrites = 0;
    for (const RequestRecord& r : log) {
        if (IsWrite(r))
            writes.push_back(r);
        else if (!writes.empty() && r.Function == 0x03 && r.First == 40216)
            ++readsBetweenWrites;
    }
    size_t blocks = 0;
    for (uint32_t group = 0; group < dax_namespace::kConfigGroupCount; ++group) {
        int32_t first = 0, count = 0;
        blocks += static_cast<size_t>(DaxHelper::ConfigGroupBlock(group, 0, first, count));
    }
    ASSERT_EQ(writes.size(), blocks) << "every block of the twenty groups";
    EXPECT_GE(readsBetweenWrites, 1u) << "page 18 was read while the write ran";

    // What the user chose: the demo's settings as the pages showed them, Gдог_1 = 7.25.
    daxsim::InstrumentState chosen = demo;
    const uint32_t g1 = std::bit_cast<uint32_t>(7.25f);
    chosen.SetRegister(40234, static_cast<uint16_t>(g1 >> 16));
    chosen.SetRegister(40235, static_cast<uint16_t>(g1));
    bool contractWritten = false;
    for (const RequestRecord& w : writes) {
        SCOPED_TRACE(daxsim::RequestLine(w));
        ASSERT_EQ(w.Values.size(), static_cast<size_t>(w.Count));
        for (int32_t i = 0; i < w.Count; ++i)
            EXPECT_EQ(w.Values[static_cast<size_t>(i)], chosen.Register(static_cast<uint16_t>(w.First + i)))
                << "register " << w.First + i;
        if (w.First <= 40234 && 40235 < w.First + w.Count) {
            contractWritten = true;
            EXPECT_EQ(FloatOf(w.Values[40234 - w.First], w.Values[40235 - w.First]), 7.25f);
        }
    }
    EXPECT_TRUE(contractWritten);
}

// A page's "Установить" sends the page as the user left it, even when a read of the same page
// started right after the press ends before the write gets the line.
TEST_F(WindowOverDemo, APageWriteSendsThePageAsPressedThoughTheSamePageIsReadBeforeIt)
{
    ReadEverything();
    Choose(28);
    ASSERT_TRUE(Idle());
    auto* condition = form->Frame()->findChild<QWidget*>(QStringLiteral("DaxEvent2"));
    ASSERT_NE(condition, nullptr);
    auto* combo = condition->findChild<QComboBox*>(QStringLiteral("MaskCondition"));
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(3);

    // The read goes first: the gate holds it, the write waits for the line behind it.
    const size_t before = simulator.RequestLog().size();
    StartAndHold([](const RequestRecord& r) { return r.Function == 0x03 && r.First == 40581; },
                 [this] { Child<QPushButton>(*form->Frame(), "ReadPageParams28")->click(); });
    Child<QPushButton>(*form->Frame(), "SetEvents")->click();
    gate.Release();
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(Console(*form).contains(QStringLiteral("Параметры событий 1...8 установлены")))
        << Console(*form).toStdString();
    std::vector<RequestRecord> writes;
    for (const RequestRecord& r : LogFrom(before))
        if (IsWrite(r))
            writes.push_back(r);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(daxsim::RequestLine(writes[0]).substr(0, 14), "0x10 40581 x16");
    ASSERT_EQ(writes[0].Values.size(), 16u);
    EXPECT_EQ(writes[0].Values[0], DemoHolding(40581));
    EXPECT_EQ(writes[0].Values[2], 3) << "event 2's condition as the user chose it";
    for (size_t i = 3; i < 16; ++i)
        EXPECT_EQ(writes[0].Values[i], DemoHolding(40581 + static_cast<int32_t>(i)));
}

// Opening a data file while write all runs is refused; the write sends the pages' values, not
// the file's.
TEST_F(WindowOverDemo, OpeningADataFileIsRefusedWhileWriteAllRuns)
{
    ReadEverything();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    daxsim::InstrumentState other = demo;
    other.SetRegister(40581, 3);
    other.SetRegister(40582, 0x00F0);
    daxsim::Instrument otherInstrument(other, 1);
    const std::vector<uint8_t> bytes = daxsim::DataFileBytesOfInstrument(otherInstrument);
    const QString file = folder.filePath(QStringLiteral("other.daxdat"));
    {
        std::ofstream out(QFile::encodeName(file).toStdString(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    prompts.openName = file;

    const size_t before = simulator.RequestLog().size();
    StartAndHold(IsWrite, [this] { Child<QAction>(*form, "WriteDataAction")->trigger(); });
    Child<QAction>(*form, "FileOpen")->trigger();
    form->FileOpenAccept(file);
    gate.Release();
    ASSERT_TRUE(Idle());
    const QString console = Console(*form);
    EXPECT_EQ(console.count(QStringLiteral("Идет запись параметров: файл данных не открыт")), 2)
        << console.toStdString();
    EXPECT_FALSE(console.contains(QStringLiteral("загружен"))) << console.toStdString();
    EXPECT_TRUE(prompts.filters.empty()) << "no file dialog while write all runs";
    bool eventsWritten = false;
    for (const RequestRecord& r : LogFrom(before)) {
        if (!IsWrite(r) || r.First != 40581)
            continue;
        eventsWritten = true;
        EXPECT_EQ(r.Values[0], DemoHolding(40581));
        EXPECT_EQ(r.Values[1], DemoHolding(40582));
    }
    EXPECT_TRUE(eventsWritten);

    // Once it has ended, the file opens.
    prompts.answer = false;
    form->FileOpenAccept(file);
    EXPECT_TRUE(Console(*form).contains(QStringLiteral("загружен")));
}

// "Сохранить Как..." while read all runs is refused: the images are half read. Once read all
// has ended, the same command saves.
TEST_F(WindowOverDemo, SavingADataFileIsRefusedWhileReadAllRuns)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("half.daxdat"));
    prompts.saveName = file;
    AcceptDialogs();
    StartAndHold([](const RequestRecord& r) { return r.Function == 0x03 && r.First == 40001; },
                 [this] { Child<QAction>(*form, "ReadDataAction")->trigger(); });
    Child<QAction>(*form, "FileSaveAs")->trigger();
    form->FileSaveAsAccept(file);
    gate.Release();
    ASSERT_TRUE(Idle());
    const QString console = Console(*form);
    EXPECT_EQ(console.count(QStringLiteral("Идет считывание параметров: файл данных не сохранен")), 2)
        << console.toStdString();
    EXPECT_FALSE(console.contains(QRegularExpression(QStringLiteral("^Файл .* сохранен$"),
                                                     QRegularExpression::MultilineOption)))
        << console.toStdString();
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(prompts.proposedNames.empty()) << "no file dialog while read all runs";

    Child<QAction>(*form, "FileSaveAs")->trigger();
    EXPECT_TRUE(QFile::exists(file)) << Console(*form).toStdString();
}

// A read all that fails once it has read the images has replaced them but not the records:
// "Сохранить Как..." is refused until a data file is loaded or a read all ends whole.
TEST_F(WindowOverDemo, SavingADataFileIsRefusedAfterAReadAllThatDidNotEnd)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("half.daxdat"));
    prompts.saveName = file;
    const QString refusal = QStringLiteral("Считывание параметров не завершено: файл данных не сохранен");
    daxsim::Instrument instrument(demo, 1);
    const std::vector<uint8_t> bytes = daxsim::DataFileBytesOfInstrument(instrument);
    const QString whole = folder.filePath(QStringLiteral("whole.daxdat"));
    {
        std::ofstream out(QFile::encodeName(whole).toStdString(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // The instrument refuses every request from the first record request on.
    const auto failReadAll = [this] {
        AcceptDialogs();
        StartAndHold([](const RequestRecord& r) { return r.Function == 0x41; },
                     [this] { Child<QAction>(*form, "ReadDataAction")->trigger(); });
        daxsim::FaultOptions faults;
        faults.ExceptionCode = 4;
        simulator.SetFaults(faults);
        gate.Release();
        ASSERT_TRUE(Idle());
        simulator.SetFaults({});
    };
    const auto saveRefused = [&] {
        const qsizetype before = Console(*form).count(refusal);
        Child<QAction>(*form, "FileSaveAs")->trigger();
        form->FileSaveAsAccept(file);
        EXPECT_EQ(Console(*form).count(refusal), before + 2) << Console(*form).toStdString();
        EXPECT_FALSE(QFile::exists(file));
        EXPECT_TRUE(prompts.proposedNames.empty()) << "no file dialog";
    };

    {
        SCOPED_TRACE("then a data file is loaded");
        failReadAll();
        saveRefused();
        prompts.answer = false;
        form->FileOpenAccept(whole);
        ASSERT_TRUE(Console(*form).contains(QStringLiteral("загружен"))) << Console(*form).toStdString();
        Child<QAction>(*form, "FileSaveAs")->trigger();
        EXPECT_TRUE(QFile::exists(file)) << Console(*form).toStdString();
        QFile::remove(file);
        prompts.proposedNames.clear();
    }
    {
        SCOPED_TRACE("then a read all ends whole");
        failReadAll();
        saveRefused();
        Child<QAction>(*form, "ReadDataAction")->trigger();
        ASSERT_TRUE(Idle());
        Child<QAction>(*form, "FileSaveAs")->trigger();
        EXPECT_TRUE(QFile::exists(file)) << Console(*form).toStdString();
    }
}

// A clear of the archive that fails leaves the button reading "Очистить"; pressing it again
// asks for the clear again rather than cancelling it.
TEST_F(WindowOverDemo, AFailedClearOfTheArchiveIsRetriedByTheNextPress)
{
    ReadEverything();
    Choose(21);
    ASSERT_TRUE(Idle());
    auto* button = Child<QPushButton>(*form->Frame(), "ResetArchive");
    ASSERT_EQ(button->text(), QStringLiteral("Очистить"));

    // No poll comes between: the press's write is the next request.
    Child<QAction>(*form, "AutoRequestAction")->trigger();
    ASSERT_FALSE(form->Frame()->AutoRequestFlag());
    ASSERT_TRUE(Idle());
    daxsim::FaultOptions faults;
    faults.ExceptionCode = 4;
    faults.FaultRequests = static_cast<int32_t>(simulator.RequestCount() + 1);
    simulator.SetFaults(faults);
    const size_t before = simulator.RequestLog().size();
    button->click();
    ASSERT_TRUE(Idle());
    simulator.SetFaults({});
    EXPECT_EQ(button->text(), QStringLiteral("Очистить"));
    EXPECT_FALSE(Console(*form).contains(QStringLiteral("Очистка архива активирована")));

    button->click();
    ASSERT_TRUE(Idle());
    std::vector<std::string> writes;
    for (const RequestRecord& r : LogFrom(before))
        if (IsWrite(r))
            writes.push_back(daxsim::RequestLine(r));
    EXPECT_EQ(writes, (std::vector<std::string>{"0x10 40010 x1 = A780", "0x10 40010 x1 = A780"}));
    EXPECT_TRUE(Console(*form).endsWith(QStringLiteral("Очистка архива активирована"))) << Console(*form).toStdString();
    EXPECT_FALSE(Console(*form).contains(QStringLiteral("Очистка архива отменена")));
}

} // namespace
