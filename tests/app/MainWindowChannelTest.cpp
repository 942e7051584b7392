// The main window's channel: open and close on the job thread, the channel dialog, and a real
// TCP channel against the simulator on loopback.
#include "app/MainFrame.h"

#include "AppTestSupport.h"
#include "FakePrompts.h"
#include "LambdaAlgorithm.h"
#include "Servers.h"
#include "Simulator.h"
#include "comm/TcpChanel.h"
#include "device/DaxAlgorithms.h"
#include "platform/Exceptions.h"
#include "platform/RegistryStore.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <condition_variable>
#include <mutex>

namespace {

using apptest::Caption;
using apptest::Child;
using apptest::Console;
using apptest::LightOf;
using apptest::WaitFor;
using testsupport::FakePrompts;
using testsupport::LambdaAlgorithm;

bool ChanelButtonsEnabled(const TMainForm& form)
{
    return Child<QPushButton>(form, "OpenPort")->isEnabled() && Child<QPushButton>(form, "ChanelParams")->isEnabled();
}

bool ChanelButtonsDisabled(const TMainForm& form)
{
    return !Child<QPushButton>(form, "OpenPort")->isEnabled() && !Child<QPushButton>(form, "ChanelParams")->isEnabled();
}

// Clicks "Открыть"/"Закрыть" and waits until the job has ended.
void ClickOpenPort(TMainForm& form)
{
    Child<QPushButton>(form, "OpenPort")->click();
    ASSERT_TRUE(WaitFor([&form] { return !form.ChanelJobRunning(); }));
}

// A channel whose open can be held until the test releases it, and made to fail.
class LatchChanel : public TChanelHelperBase {
public:
    explicit LatchChanel(int tag) : tag_(tag) {}

    ChanelKind Kind() const override { return ChanelKind::Tcp; }
    int Tag() const { return tag_; }

    void Open(TInteractContainer* target) override
    {
        Log("Соединение с сервером...", target);
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return !held_ || released_; });
        released_ = false;
        if (!failure_.empty())
            throw platform::Exception(failure_);
        open_ = true;
    }
    void Close(TInteractContainer*) override { open_ = false; }
    bool IsOpen() override { return open_; }
    void SetTimeouts(int32_t firstByteMs, int32_t interByteMs, TInteractContainer*) override
    {
        std::lock_guard lock(mutex_);
        timeouts_ = {firstByteMs, interByteMs};
    }

    // From now on an open waits until Release.
    void Hold()
    {
        std::lock_guard lock(mutex_);
        held_ = true;
    }
    // Lets a waiting open go on: it fails with the text when one is given.
    void Release(std::string failure = {})
    {
        {
            std::lock_guard lock(mutex_);
            failure_ = std::move(failure);
            released_ = true;
            held_ = false;
        }
        cv_.notify_all();
    }
    std::pair<int32_t, int32_t> Timeouts()
    {
        std::lock_guard lock(mutex_);
        return timeouts_;
    }

private:
    int tag_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool held_ = false;
    bool released_ = false;
    std::string failure_;
    std::atomic<bool> open_{false};
    std::pair<int32_t, int32_t> timeouts_{0, 0};
};

std::vector<ChanelKindEntry> LatchKinds()
{
    std::vector<ChanelKindEntry> kinds;
    for (int tag : {0, 1})
        kinds.push_back({QStringLiteral("Канал %1").arg(tag), [tag] { return std::make_unique<LatchChanel>(tag); },
                         nullptr});
    return kinds;
}

// A window whose channel holds every open until the test releases it.
class HeldOpen : public testing::Test {
protected:
    void SetUp() override
    {
        chanel = dynamic_cast<LatchChanel*>(form.Chanel());
        ASSERT_NE(chanel, nullptr);
        chanel->Hold();
    }
    // Whatever a test asserts, a held open is let go before the window (which joins it) goes.
    void TearDown() override
    {
        if (chanel)
            chanel->Release();
    }

    TMainForm form{LatchKinds()};
    LatchChanel* chanel = nullptr;
};

TEST_F(HeldOpen, ASlowOpenKeepsTheWindowResponsiveAndTheCaptionFollowsAfterIt)
{
    Child<QPushButton>(form, "OpenPort")->click();
    EXPECT_TRUE(form.ChanelJobRunning());
    EXPECT_TRUE(ChanelButtonsDisabled(form));
    // The GUI thread goes on: a timer fires, and the 100 ms pass prints what the open logs.
    bool fired = false;
    QTimer::singleShot(20, [&fired] { fired = true; });
    EXPECT_TRUE(WaitFor([&fired] { return fired; }));
    EXPECT_TRUE(WaitFor([this] { return Console(form).contains(QStringLiteral("Соединение с сервером...")); }));
    EXPECT_TRUE(form.ChanelJobRunning());
    EXPECT_EQ(Caption(form).toStdString(), "Открыть");
    // Clicks meanwhile start nothing.
    form.OpenPortClick();
    form.ChanelParamsClick();

    chanel->Release();
    ASSERT_TRUE(WaitFor([this] { return !form.ChanelJobRunning(); }));
    EXPECT_EQ(Caption(form).toStdString(), "Закрыть");
    EXPECT_TRUE(ChanelButtonsEnabled(form));
    EXPECT_EQ(chanel->Timeouts(), (std::pair<int32_t, int32_t>{1000, 20}));

    ClickOpenPort(form);
    EXPECT_EQ(Caption(form).toStdString(), "Открыть");
    EXPECT_FALSE(chanel->IsOpen());
}

TEST_F(HeldOpen, AFailedOpenPrintsItsTextAndTheCaptionStays)
{
    Child<QPushButton>(form, "OpenPort")->click();
    chanel->Release("Сервер не отвечает");
    ASSERT_TRUE(WaitFor([this] { return !form.ChanelJobRunning(); }));
    EXPECT_TRUE(WaitFor([this] { return Console(form).endsWith(QStringLiteral("Сервер не отвечает")); }));
    EXPECT_EQ(Caption(form).toStdString(), "Открыть");
    EXPECT_TRUE(ChanelButtonsEnabled(form));
}

TEST(MainWindowChannel, AKindChangeAcceptedIsWiredIntoTheWindowTheFrameAndTheInstrument)
{
    FakePrompts prompts;
    TMainForm form(LatchKinds());
    form.SetPrompts(&prompts);
    Child<QTimer>(form, "RxTxTimer")->stop();
    TChanelHelperBase* old = form.Chanel();
    Child<QAction>(form, "ChanelLogAction")->trigger();
    EXPECT_TRUE(old->LogEnabled());

    TChanelHelperBase* duringDialog = old;
    prompts.OnModal = [&](QDialog& dialog) {
        duringDialog = form.Chanel();
        dialog.show();
        auto* kinds = Child<QComboBox>(dialog, "ChanelComboBox");
        EXPECT_TRUE(kinds->isEnabled());
        kinds->setCurrentIndex(1);
        emit kinds->activated(1);
        Child<QPushButton>(dialog, "OkButton")->click();
        return dialog.result();
    };
    Child<QPushButton>(form, "ChanelParams")->click();
    EXPECT_EQ(duringDialog, nullptr);
    auto* chanel = dynamic_cast<LatchChanel*>(form.Chanel());
    ASSERT_NE(chanel, nullptr);
    EXPECT_EQ(chanel->Tag(), 1);
    EXPECT_EQ(form.Frame()->Channel(), chanel);
    EXPECT_EQ(form.Frame()->Helper().GetChannel(), chanel);
    // The new channel logs as the switch says, into the console, and lights the panels.
    EXPECT_TRUE(chanel->LogEnabled());
    chanel->Log("через новый канал", nullptr);
    EXPECT_TRUE(Console(form).endsWith(QStringLiteral("через новый канал")));
    chanel->Notify(kNotifyReceive);
    form.RxTxTimerTimer();
    EXPECT_EQ(LightOf(form, "RxPanel"), TMainForm::kLitLightColor);
    EXPECT_EQ(platform::RegistryStore::CurrentUser().ReadInteger(TChanelSetupFrame::kRegistryKey,
                                                                 TChanelSetupFrame::kCurentChanelValue, -1),
              1);
}

TEST(MainWindowChannel, ARunningProcessLocksTheKindListAndCancelKeepsTheChannel)
{
    FakePrompts prompts;
    TMainForm form(LatchKinds());
    form.SetPrompts(&prompts);
    TChanelHelperBase* old = form.Chanel();
    ASSERT_NE(form.Pool().Start(std::make_unique<LambdaAlgorithm>(testsupport::UntilAborted), 0, 0, ""), nullptr);

    bool kindsEnabled = true;
    prompts.OnModal = [&](QDialog& dialog) {
        dialog.show();
        kindsEnabled = Child<QComboBox>(dialog, "ChanelComboBox")->isEnabled();
        dialog.reject();
        return dialog.result();
    };
    form.ChanelParamsClick();
    EXPECT_FALSE(kindsEnabled);
    EXPECT_EQ(form.Chanel(), old);
    EXPECT_EQ(form.Frame()->Channel(), old);

    form.Pool().AbortAll();
    ASSERT_TRUE(WaitFor([&form] { return form.Pool().Count() == 0; }));
    form.ChanelParamsClick();
    EXPECT_TRUE(kindsEnabled);
}

// The simulator on a loopback port, and the window's TCP channel pointed at it.
class TcpWindow : public testing::Test {
protected:
    static std::vector<ChanelKindEntry> TcpKinds()
    {
        return {{QStringLiteral("TCP / IP (прозрачный канал)"), [] { return std::make_unique<TcpChanelHelper>(false); },
                 nullptr}};
    }

    void PointAt(TMainForm& form, int32_t port)
    {
        auto* tcp = dynamic_cast<TcpChanelHelper*>(form.Chanel());
        ASSERT_NE(tcp, nullptr);
        tcp->Params().TcpAddress = "127.0.0.1";
        tcp->Params().TcpPort = port;
    }

    // The simulator on a free loopback port, each answer delayed by that much.
    std::unique_ptr<daxsim::TcpServer> Serve(int32_t delayMs = 0)
    {
        daxsim::FaultOptions faults;
        faults.DelayMs = delayMs;
        simulator.SetFaults(faults);
        auto server = std::make_unique<daxsim::TcpServer>(simulator, "127.0.0.1", 0);
        server->Start();
        return server;
    }

    daxsim::Simulator simulator{daxsim::FixtureState(daxsim::Model::Dax01), 1};
};

TEST_F(TcpWindow, NoListenerPrintsTheErrorAndTheCaptionStays)
{
    // A port that was free a moment ago: nobody listens on it.
    const int32_t port = Serve()->Port();

    TMainForm form(TcpKinds());
    PointAt(form, port);
    ClickOpenPort(form);
    EXPECT_TRUE(WaitFor([&form] { return Console(form).startsWith(QStringLiteral("Ошибка - ")); }))
        << Console(form).toStdString();
    EXPECT_EQ(Caption(form).toStdString(), "Открыть");
}

TEST_F(TcpWindow, OpenReadWithTheLogOnAndClose)
{
    const auto server = Serve();
    TMainForm form(TcpKinds());
    Child<QTimer>(form, "RxTxTimer")->stop();
    PointAt(form, server->Port());
    auto* tcp = dynamic_cast<TcpChanelHelper*>(form.Chanel());

    ClickOpenPort(form);
    EXPECT_EQ(Caption(form).toStdString(), "Закрыть");
    EXPECT_EQ(tcp->SocketWaits(), (std::pair<int32_t, int32_t>{1000 + tcp->Params().TcpTimeout, 70}));

    Child<QAction>(form, "ChanelLogAction")->trigger();
    ASSERT_NE(form.Pool().Start(std::make_unique<DaxReadModbusRegAlgorithm>(30001, 10, &form.Frame()->Helper(), nullptr),
                                0, -1, ""),
              nullptr);
    ASSERT_TRUE(WaitFor([&form] { return form.Pool().Count() == 0; }));
    const QRegularExpression requestLine(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d \\[127\\.0\\.0\\.1:\\d+\\] << "),
                                         QRegularExpression::MultilineOption);
    EXPECT_TRUE(requestLine.match(Console(form)).hasMatch()) << Console(form).toStdString();
    form.RxTxTimerTimer();
    EXPECT_EQ(LightOf(form, "TxPanel"), TMainForm::kLitLightColor);
    EXPECT_EQ(LightOf(form, "RxPanel"), TMainForm::kLitLightColor);

    ClickOpenPort(form);
    EXPECT_EQ(Caption(form).toStdString(), "Открыть");
    EXPECT_FALSE(tcp->IsOpen());
}

// The gateway goes away while the channel is open: the next exchange finds the connection
// lost, the channel closes itself and the button says so at the next pass.
TEST_F(TcpWindow, ALostConnectionShowsOpenAgain)
{
    auto server = Serve();
    TMainForm form(TcpKinds());
    PointAt(form, server->Port());
    ClickOpenPort(form);
    ASSERT_EQ(Caption(form).toStdString(), "Закрыть");

    server->Stop();
    server.reset();
    ASSERT_NE(form.Pool().Start(std::make_unique<DaxReadModbusRegAlgorithm>(30001, 10, &form.Frame()->Helper(), nullptr),
                                0, -1, ""),
              nullptr);
    ASSERT_TRUE(WaitFor([&form] { return form.Pool().Count() == 0; }));
    EXPECT_TRUE(WaitFor([&form] { return Caption(form) == QStringLiteral("Открыть"); })) << Console(form).toStdString();
    EXPECT_FALSE(form.Chanel()->IsOpen());
    EXPECT_TRUE(ChanelButtonsEnabled(form));
}

// What the test channel saw of its own end.
struct ChanelEnd {
    std::function<int()> poolCount;
    std::atomic<int> transactions{0};
    std::atomic<int> inFlight{0};
    bool destroyed = false;
    int poolCountAtEnd = -1;
    int inFlightAtEnd = -1;
};

class RecordingTcpChanel : public TcpChanelHelper {
public:
    explicit RecordingTcpChanel(std::shared_ptr<ChanelEnd> end) : TcpChanelHelper(false), end_(std::move(end)) {}
    ~RecordingTcpChanel() override
    {
        end_->destroyed = true;
        end_->poolCountAtEnd = end_->poolCount ? end_->poolCount() : -1;
        end_->inFlightAtEnd = end_->inFlight.load();
    }
    int32_t Transact(std::span<const uint8_t> request, std::span<uint8_t> answer, TInteractContainer* target) override
    {
        ++end_->transactions;
        ++end_->inFlight;
        const int32_t count = TcpChanelHelper::Transact(request, answer, target);
        --end_->inFlight;
        return count;
    }

private:
    std::shared_ptr<ChanelEnd> end_;
};

std::vector<ChanelKindEntry> RecordingKinds(const std::shared_ptr<ChanelEnd>& end)
{
    return {{QStringLiteral("TCP"), [end] { return std::make_unique<RecordingTcpChanel>(end); }, nullptr}};
}

TEST_F(TcpWindow, ClosingDuringASlowReadAllEndsAfterTheWorkerAndOnlyThenDeletesTheChannel)
{
    const auto server = Serve(100);
    auto end = std::make_shared<ChanelEnd>();
    TMainForm form(RecordingKinds(end));
    end->poolCount = [&form] { return form.Pool().Count(); };
    PointAt(form, server->Port());
    form.show();
    ClickOpenPort(form);
    ASSERT_EQ(Caption(form).toStdString(), "Закрыть");

    ASSERT_NE(form.Pool().Start(std::make_unique<DaxReadAllParamsAlgorithm>(&form.Frame()->Helper(),
                                                                            DaxReadAllDataSetup{}, nullptr),
                                2, 104, ""),
              nullptr);
    ASSERT_TRUE(WaitFor([&end] { return end->transactions.load() >= 2; }));

    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.Closing());
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(form.ChanelDialog(), nullptr);
    EXPECT_FALSE(Child<QPushButton>(form, "OpenPort")->isEnabled());
    EXPECT_FALSE(Child<QAction>(form, "OptionAction")->isEnabled());

    ASSERT_TRUE(WaitFor([&form] { return !form.isVisible(); }));
    EXPECT_TRUE(end->destroyed);
    EXPECT_EQ(end->poolCountAtEnd, 0);
    EXPECT_EQ(end->inFlightAtEnd, 0);
    EXPECT_EQ(form.ChanelDialog(), nullptr);
    EXPECT_TRUE(Console(form).contains(QStringLiteral("Выполнение процесса прервано"))) << Console(form).toStdString();
}

// A window destroyed without closing stops and joins its workers before the channel goes.
TEST_F(TcpWindow, DestroyingTheWindowUnclosedJoinsTheWorkersFirst)
{
    const auto server = Serve(50);
    auto end = std::make_shared<ChanelEnd>();
    std::atomic<int> destroyed{0};
    {
        TMainForm form(RecordingKinds(end));
        PointAt(form, server->Port());
        ClickOpenPort(form);
        ASSERT_NE(form.Pool().Start(std::make_unique<DaxReadAllParamsAlgorithm>(&form.Frame()->Helper(),
                                                                                DaxReadAllDataSetup{}, nullptr),
                                    2, 104, ""),
                  nullptr);
        ASSERT_NE(form.Pool().Start(std::make_unique<LambdaAlgorithm>(testsupport::UntilAborted, &destroyed), 0, 0, ""),
                  nullptr);
        ASSERT_TRUE(WaitFor([&end] { return end->transactions.load() >= 1; }));
    }
    EXPECT_TRUE(end->destroyed);
    EXPECT_EQ(end->inFlightAtEnd, 0);
    EXPECT_EQ(destroyed.load(), 1);
}

} // namespace
