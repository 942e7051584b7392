// The main window on Qt's offscreen platform: first start, settings, lights, console,
// commands and the 100 ms process pass.
#include "app/MainFrame.h"

#include "AppTestSupport.h"
#include "FakePrompts.h"
#include "LambdaAlgorithm.h"
#include "app/About.h"
#include "app/DaxFrame.h"
#include "app/DaxPageTable.h"
#include "DataFile.h"
#include "DemoState.h"
#include "app/DeviceReportFeature.h"
#include "app/DeviceReportState.h"
#include "devreport/ui/DaxReportSetupFrame.h"
#include "app/ReportFeature.h"
#include "report/model/rpDsgnIntf.h"
#include "platform/RegistryStore.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "report/core/Services.h"
#include "report/script/ScriptedUi.h"

#include <QAction>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <thread>

namespace {

using apptest::Child;
using apptest::Console;
using apptest::ConsoleLines;
using apptest::LightOf;
using testsupport::FakePrompts;
using testsupport::LambdaAlgorithm;

bool OnTop(const QWidget& window)
{
    return window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void StopTimer(const TMainForm& form, const char* name)
{
    Child<QTimer>(form, name)->stop();
}

TEST(MainWindow, OpensAsTheOnlyTopLevelWindowWithTheProgramTitle)
{
    TMainForm form;
    form.show();
    QApplication::processEvents();

    QList<QWidget*> named;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("MainForm"))
            named.push_back(widget);
    ASSERT_EQ(named.size(), 1);
    EXPECT_EQ(named.front(), &form);
    EXPECT_EQ(form.windowTitle().toStdString(), "Dax Конфигуратор");
    ASSERT_NE(form.windowHandle(), nullptr);
    EXPECT_TRUE(form.windowHandle()->isExposed());
    // At least the designed size on a screen that has room for it.
    EXPECT_GE(form.width(), TMainForm::kClientWidth);
    EXPECT_GE(form.height() - form.menuBar()->height(), TMainForm::kClientHeight);
    EXPECT_EQ(Child<QPlainTextEdit>(form, "ConsoleMemo")->height(), TMainForm::kConsoleHeight);
    // Tahoma 8 pt, or where it is missing the face nearest its widths, not the wider default.
    const QFontInfo font(form.font());
    EXPECT_TRUE(font.family() == QStringLiteral("Tahoma") || font.family() == QStringLiteral("Liberation Sans"))
        << font.family().toStdString();
    EXPECT_EQ(font.pointSize(), 8);
}

TEST(MainWindow, FirstStartWithEmptySettings)
{
    TMainForm form;
    EXPECT_TRUE(Child<QAction>(form, "AutoRequestAction")->isChecked());
    EXPECT_EQ(form.AutoRequestImageIndex(), 4);
    EXPECT_TRUE(Console(form).isEmpty());
    EXPECT_EQ(LightOf(form, "TxPanel"), QColor(0x80, 0x80, 0x00));
    EXPECT_EQ(LightOf(form, "RxPanel"), QColor(0x80, 0x80, 0x00));
    EXPECT_EQ(Child<QPushButton>(form, "OpenPort")->text().toStdString(), "Открыть");
    ASSERT_NE(form.Frame(), nullptr);
    EXPECT_EQ(form.Frame()->CurrentPageId(), 4);
    EXPECT_TRUE(form.Frame()->AutoRequestFlag());
    ASSERT_NE(form.Chanel(), nullptr);
    EXPECT_EQ(form.Chanel()->Kind(), ChanelKind::ComPort);
    EXPECT_EQ(form.Frame()->Channel(), form.Chanel());
    EXPECT_EQ(form.Frame()->Helper().GetChannel(), form.Chanel());
    EXPECT_FALSE(form.Chanel()->LogEnabled());
    EXPECT_EQ(form.Frame()->Pool(), &form.Pool());
    EXPECT_EQ(form.Frame()->Options(), &form.Options());
    const auto* console = Child<QPlainTextEdit>(form, "ConsoleMemo");
    EXPECT_TRUE(console->isReadOnly());
    EXPECT_TRUE(console->font().fixedPitch());
    EXPECT_EQ(console->font().pointSize(), 8);
    for (const char* timer : {"RxTxTimer", "InteractTimer", "PollTimer"})
        EXPECT_TRUE(Child<QTimer>(form, timer)->isActive()) << timer;
    EXPECT_EQ(Child<QTimer>(form, "RxTxTimer")->interval(), 10);
    EXPECT_EQ(Child<QTimer>(form, "RxTxTimer")->timerType(), Qt::PreciseTimer);
    EXPECT_EQ(Child<QTimer>(form, "InteractTimer")->interval(), 100);
    EXPECT_EQ(Child<QTimer>(form, "PollTimer")->interval(), 3000);
    EXPECT_EQ(Child<QLabel>(form, "TxPanel")->size(), QSize(32, 32));
    EXPECT_EQ(Child<QLabel>(form, "RxPanel")->size(), QSize(32, 32));
}

struct ActionRow {
    const char* name;
    const char* caption;
    const char* toolTip;
    const char* statusTip;
    const char* shortcut;
    bool enabled;
    bool checkable;
};

TEST(MainWindow, ActionsWithTheirTextsHintsShortcutsAndState)
{
    const ActionRow rows[] = {
        {"FileOpen", "&Открыть...", "Открыть файл данных", "Открыть файл данных", "Ctrl+O", true, false},
        {"FileSaveAs", "Сохранить Как...", "Сохранить как..", "Сохранить данные в файл с новым именем", "Ctrl+S",
         true, false},
        {"AutoRequestAction", "Автозапрос", "Автозапрос параметров", "Автозапрос параметров", "", true, true},
        {"ReadDataAction", "Считать параметры", "Считать параметры", "Считать параметры", "", true, false},
        {"WriteDataAction", "Записать параметры", "Записать параметры", "Записать параметры", "", true, false},
        {"ChanelLogAction", "Лог обмена даных", "", "", "", true, true},
        {"OptionAction", "Опции", "", "", "", true, false},
        {"ReportAction", "Отчет", "Сформировать отчет", "Сформировать отчет", "Ctrl+R", false, false},
        {"HelpAction", "Справка", "", "", "", false, false}, // until a help folder is found
        {"AboutAction", "О программе", "", "", "", true, false},
        {"OnTopAction", "Поверх всех окон", "", "", "", true, true},
        {"SaveConfigurationAction", "Сохранить конфигурацию", "Сохранить конфигурацию",
         "Сохранить файл конфигурации для последующей записи в вычислитель", "Ctrl+G", true, false},
    };
    TMainForm form;
    for (const ActionRow& row : rows) {
        auto* action = Child<QAction>(form, row.name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text().toStdString(), row.caption) << row.name;
        if (*row.toolTip) {
            EXPECT_EQ(action->toolTip().toStdString(), row.toolTip) << row.name;
        }
        EXPECT_EQ(action->statusTip().toStdString(), row.statusTip) << row.name;
        EXPECT_EQ(action->shortcut().toString().toStdString(), row.shortcut) << row.name;
        EXPECT_EQ(action->isEnabled(), row.enabled) << row.name;
        EXPECT_EQ(action->isCheckable(), row.checkable) << row.name;
    }

    const std::vector<std::pair<const char*, std::vector<const char*>>> menus = {
        {"Файл", {"FileOpen", "FileSaveAs", "ReportAction", "SaveConfigurationAction"}},
        {"Настройки", {"OptionAction", "ChanelLogAction", "OnTopAction"}},
        {"Помощь", {"HelpAction", "AboutAction"}},
    };
    const QList<QAction*> menuActions = form.menuBar()->actions();
    ASSERT_EQ(menuActions.size(), static_cast<qsizetype>(menus.size()));
    for (size_t i = 0; i < menus.size(); ++i) {
        EXPECT_EQ(menuActions[static_cast<qsizetype>(i)]->text().toStdString(), menus[i].first);
        const QList<QAction*> items = menuActions[static_cast<qsizetype>(i)]->menu()->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(menus[i].second.size())) << menus[i].first;
        for (size_t j = 0; j < menus[i].second.size(); ++j)
            EXPECT_EQ(items[static_cast<qsizetype>(j)]->objectName().toStdString(), menus[i].second[j]);
    }
    EXPECT_EQ(Child<QPushButton>(form, "ChanelParams")->text().toStdString(), "Канал связи");
}

struct AutoRequestCase {
    const char* name;
    std::function<void(platform::RegistryStore&)> store;
    bool on;
};

TEST(MainWindow, AutoRequestFromTheSettingsAndWrittenAtClose)
{
    const char* key = TMainForm::kRegistryKey;
    const char* value = TMainForm::kAutoRequestValue;
    const AutoRequestCase cases[] = {
        {"missing", [](platform::RegistryStore&) {}, true},
        {"a string", [&](platform::RegistryStore& s) { s.WriteString(key, value, "abc"); }, true},
        {"0", [&](platform::RegistryStore& s) { s.WriteInteger(key, value, 0); }, false},
        {"1", [&](platform::RegistryStore& s) { s.WriteInteger(key, value, 1); }, true},
        {"5", [&](platform::RegistryStore& s) { s.WriteInteger(key, value, 5); }, true},
    };
    for (const auto& c : cases) {
        auto store = platform::RegistryStore::CurrentUser();
        store.DeleteValue(key, value);
        c.store(store);
        TMainForm form;
        EXPECT_EQ(Child<QAction>(form, "AutoRequestAction")->isChecked(), c.on) << c.name;
        EXPECT_EQ(form.AutoRequestImageIndex(), c.on ? 4 : 3) << c.name;
        EXPECT_EQ(form.Frame()->AutoRequestFlag(), c.on) << c.name;

        // The switch turned once, then the window closed: the opposite state is written.
        Child<QAction>(form, "AutoRequestAction")->trigger();
        EXPECT_EQ(form.AutoRequestImageIndex(), c.on ? 3 : 4) << c.name;
        EXPECT_EQ(form.Frame()->AutoRequestFlag(), !c.on) << c.name;
        form.show();
        EXPECT_TRUE(form.close()) << c.name;
        EXPECT_EQ(store.ReadInteger(key, value, -1), c.on ? 0 : 1) << c.name;
        EXPECT_EQ(form.ChanelDialog(), nullptr) << c.name;
        EXPECT_EQ(form.Chanel(), nullptr) << c.name;
    }
}

// Lights on ticks driven by hand: TX raised before tick 0, RX before tick 3.
TEST(MainWindow, LightsStayLitFiveTicksAfterTheirNotice)
{
    TMainForm form;
    StopTimer(form, "RxTxTimer");
    const QColor idle(0x80, 0x80, 0x00);
    const QColor lit(0xff, 0xff, 0x00);
    for (int tick = 0; tick <= 9; ++tick) {
        if (tick == 0)
            form.WMUserTxRx(kNotifyTransmit);
        if (tick == 3)
            form.WMUserTxRx(kNotifyReceive);
        form.RxTxTimerTimer();
        EXPECT_EQ(LightOf(form, "TxPanel"), tick < 5 ? lit : idle) << "tick " << tick;
        EXPECT_EQ(LightOf(form, "RxPanel"), tick >= 3 && tick < 8 ? lit : idle) << "tick " << tick;
    }
    // Both bits in one notice, raised from another thread.
    std::thread([&form] { form.WMUserTxRx(kNotifyTransmit | kNotifyReceive); }).join();
    form.RxTxTimerTimer();
    EXPECT_EQ(LightOf(form, "TxPanel"), lit);
    EXPECT_EQ(LightOf(form, "RxPanel"), lit);
}

TEST(MainWindow, ConsoleTakesLinesClearsOnDoubleClickAndZoomsWithTheKeypad)
{
    TMainForm form;
    form.Log("строка 1", nullptr);
    std::thread([&form] { form.Log("с другого потока", nullptr); }).join();
    EXPECT_EQ(ConsoleLines(form), QStringList{QStringLiteral("строка 1")});
    QApplication::processEvents();
    EXPECT_EQ(ConsoleLines(form), (QStringList{QStringLiteral("строка 1"), QStringLiteral("с другого потока")}));

    // With a log target the text joins that process's messages instead.
    TInteractContainer target(std::make_unique<TInteract>());
    form.Log("в очередь", &target);
    {
        TInteractLock state(target);
        EXPECT_EQ(state->PopMessage(), "в очередь");
    }
    EXPECT_EQ(ConsoleLines(form).size(), 2);

    form.Log("Ошибка.\r\nВторая строка", nullptr);
    EXPECT_EQ(ConsoleLines(form).size(), 4);

    auto* console = Child<QPlainTextEdit>(form, "ConsoleMemo");
    form.show();
    QTest::mouseDClick(console->viewport(), Qt::LeftButton);
    EXPECT_TRUE(Console(form).isEmpty());

    const int size = console->font().pointSize();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(console, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(console->font().pointSize(), size + 3);
    QTest::keyClick(console, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(console->font().pointSize(), size + 2);
    QTest::keyClick(console, Qt::Key_Plus);
    QTest::keyClick(console, Qt::Key_A);
    EXPECT_EQ(console->font().pointSize(), size + 2);
}

TEST(MainWindow, StayOnTopFollowsItsSwitchAndComesBackAfterTheOptions)
{
    FakePrompts prompts;
    TMainForm form;
    form.SetPrompts(&prompts);
    form.show();
    auto* onTop = Child<QAction>(form, "OnTopAction");
    onTop->trigger();
    EXPECT_TRUE(OnTop(form));
    EXPECT_TRUE(form.isVisible());

    bool droppedDuringDialog = false;
    prompts.OnModal = [&](QDialog& dialog) {
        droppedDuringDialog = !OnTop(form);
        dialog.reject();
        return dialog.result();
    };
    Child<QAction>(form, "OptionAction")->trigger();
    EXPECT_EQ(prompts.modalRuns, 1);
    EXPECT_TRUE(droppedDuringDialog);
    EXPECT_TRUE(OnTop(form));
    EXPECT_TRUE(form.isVisible());

    onTop->trigger();
    EXPECT_FALSE(OnTop(form));
    EXPECT_TRUE(form.isVisible());
}

TEST(MainWindow, OptionsOkStoresAndCancelLeavesThem)
{
    FakePrompts prompts;
    TMainForm form;
    form.SetPrompts(&prompts);
    prompts.OnModal = [](QDialog& dialog) {
        dialog.show();
        Child<QComboBox>(dialog, "CommaSeparator")->setCurrentIndex(2);
        Child<QPushButton>(dialog, "OkBitBtn")->click();
        return dialog.result();
    };
    Child<QAction>(form, "OptionAction")->trigger();
    EXPECT_EQ(form.Options().CommaSeparator, 2);
    EXPECT_EQ(platform::RegistryStore::CurrentUser().ReadInteger(DisplayOptions::kRegistryKey, "CommaSeparator", -1),
              2);

    prompts.OnModal = [](QDialog& dialog) {
        dialog.show();
        Child<QComboBox>(dialog, "CommaSeparator")->setCurrentIndex(1);
        Child<QPushButton>(dialog, "CancelBitBtn")->click();
        return dialog.result();
    };
    Child<QAction>(form, "OptionAction")->trigger();
    EXPECT_EQ(form.Options().CommaSeparator, 2);
}

class FakeReport : public ReportFeature {
public:
    explicit FakeReport(const QWidget& window) : window_(window) {}
    void BuildAndShowReport(TDax_Frame& frame) override
    {
        frames.push_back(&frame);
        onTopWhileShown = OnTop(window_);
    }
    std::vector<TDax_Frame*> frames;
    bool onTopWhileShown = true;

private:
    const QWidget& window_;
};

TEST(MainWindow, ReportIsDisabledWithoutAFeatureAndAFeatureGetsTheFrame)
{
    TMainForm form;
    form.show();
    auto* report = Child<QAction>(form, "ReportAction");
    EXPECT_FALSE(report->isEnabled());
    form.ReportActionExecute();

    FakeReport feature(form);
    form.SetReportFeature(&feature);
    EXPECT_TRUE(report->isEnabled());
    Child<QAction>(form, "OnTopAction")->trigger();
    report->trigger();
    ASSERT_EQ(feature.frames.size(), 1u);
    EXPECT_EQ(feature.frames.front(), form.Frame());
    EXPECT_FALSE(feature.onTopWhileShown);
    EXPECT_TRUE(OnTop(form));
    form.SetReportFeature(nullptr);
    EXPECT_FALSE(report->isEnabled());
}

class StateReport : public ReportFeature {
public:
    void BuildAndShowReport(TDax_Frame&) override {}
    std::unique_ptr<FrameReportState> CreateFrameState() override { return std::make_unique<DeviceReportState>(); }
};

bool FilterListed(const QObject* filter)
{
    TrpExportFilterCollection& filters = GetExportFilterRegistry();
    for (int i = 0; i < filters.Count(); ++i)
        if (filters.Items(i) == filter)
            return true;
    return false;
}

// Setting the feature gives the frame its report state once: the four templates loaded and
// the PDF and HTML exports listed among the export filters while the frame lives.
TEST(MainWindow, AFeatureGivesTheFrameItsReportStateWithTheTemplatesAndThePdfExport)
{
    const QObject* pdf = nullptr;
    const QObject* html = nullptr;
    {
        TMainForm form;
        EXPECT_EQ(form.Frame()->ReportState(), nullptr);
        StateReport feature;
        form.SetReportFeature(&feature);
        auto* state = dynamic_cast<DeviceReportState*>(form.Frame()->ReportState());
        ASSERT_NE(state, nullptr);
        form.SetReportFeature(&feature);
        EXPECT_EQ(form.Frame()->ReportState(), state);
        EXPECT_NE(state->rpReport.FindObject(u"HourArchiveGroupHeader"), nullptr);
        EXPECT_NE(state->rpInfoReport.FindObject(u"ReportData"), nullptr);
        EXPECT_EQ(state->rpSetupReport_01.PagesCount(), 2);
        EXPECT_EQ(state->rpSetupReport_02.PagesCount(), 3);
        EXPECT_EQ(state->rpPDFExport1.Author, QStringLiteral("RedaVedera"));
        pdf = &state->rpPDFExport1;
        EXPECT_TRUE(FilterListed(pdf));
        html = &state->rpHTMLExport1;
        EXPECT_TRUE(FilterListed(html));
        EXPECT_TRUE(state->rpHTMLExport1.FixedWidth);
        EXPECT_EQ(state->rpHTMLExport1.PictureType, gpPNG);
        form.SetReportFeature(nullptr);
    }
    EXPECT_FALSE(FilterListed(pdf));
    EXPECT_FALSE(FilterListed(html));
}

// The real report feature over the demo's data with a template that lost a band it needs: the
// builder's error reaches the error box, no preview comes, and stay-on-top comes back.
TEST(MainWindow, AReportBuilderFailureIsShownInTheErrorBoxAndStayOnTopComesBack)
{
    FakePrompts prompts;
    TMainForm form;
    form.SetPrompts(&prompts);
    form.show();
    daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax02), 1);
    form.Frame()->LoadDataFile(daxsim::DataFileBytesOfInstrument(instrument));
    DeviceReportFeature feature;
    form.SetReportFeature(&feature);
    auto* state = dynamic_cast<DeviceReportState*>(form.Frame()->ReportState());
    ASSERT_NE(state, nullptr);
    delete state->rpReport.FindObject(u"HourArchiveGroupHeader");

    TReportSetupForm setupForm(&form);
    ReportSetupForm = &setupForm;
    ScriptedUi ui;
    ReportServices::SetUi(&ui);
    std::vector<QString> modals;
    bool onTopWhileShown = true;
    ui.OnModal = [&](QObject& window, const QString& caption) {
        modals.push_back(caption);
        onTopWhileShown = OnTop(form);
        auto* dialog = dynamic_cast<TReportSetupForm*>(&window);
        if (dialog == nullptr)
            return int(mrCancel);
        dialog->Settings.ReportType = 0;
        dialog->Settings.BeginPeriod = EncodeDate(2024, 5, 1);
        dialog->Settings.EndPeriod = EncodeDate(2024, 5, 31);
        return int(mrOk);
    };
    Child<QAction>(form, "OnTopAction")->trigger();
    ASSERT_TRUE(OnTop(form));
    Child<QAction>(form, "ReportAction")->trigger();
    ReportServices::SetUi(nullptr);
    ReportSetupForm = nullptr;

    ASSERT_EQ(modals.size(), 1u) << "the settings dialog only, no preview";
    EXPECT_FALSE(onTopWhileShown);
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_TRUE(prompts.errors.front().contains(QStringLiteral("HourArchiveGroupHeader")))
        << prompts.errors.front().toStdString();
    EXPECT_TRUE(ui.Messages.isEmpty());
    EXPECT_TRUE(OnTop(form));
    EXPECT_TRUE(form.isVisible());
    form.SetReportFeature(nullptr);
}

class FakeHelp : public HelpViewer {
public:
    explicit FakeHelp(std::vector<QString>* shown) : shown_(shown) {}
    void ShowTopic(const QString& path) override { shown_->push_back(path); }

private:
    std::vector<QString>* shown_;
};

TEST(MainWindow, HelpShowsTheIntroductionAndF1ThePageTopic)
{
    TMainForm form;
    // Without a viewer (no help folder) the command is disabled and F1 does nothing.
    EXPECT_FALSE(Child<QAction>(form, "HelpAction")->isEnabled());
    form.SetHelpViewer(nullptr);
    EXPECT_FALSE(Child<QAction>(form, "HelpAction")->isEnabled());
    Child<QAction>(form, "HelpAction")->trigger();

    std::vector<QString> shown;
    form.SetHelpViewer(std::make_unique<FakeHelp>(&shown));
    EXPECT_TRUE(Child<QAction>(form, "HelpAction")->isEnabled());
    Child<QAction>(form, "HelpAction")->trigger();
    auto* tree = Child<QTreeWidget>(form, "SelectTree");
    QTest::keyClick(tree, Qt::Key_F1);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].toStdString(), "DaxConfigurator.chm::/introduction.htm");
    EXPECT_EQ(shown[1].toStdString(), "DaxConfigurator.chm::/dax_current_params.htm");

    // A page without a topic of its own: F1 shows nothing.
    form.Frame()->SetAutoRequestFlag(false);
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    EXPECT_EQ(form.Frame()->CurrentPageId(), 0);
    QTest::keyClick(tree, Qt::Key_F1);
    EXPECT_EQ(shown.size(), 2u);
}

TEST(MainWindow, AboutRunsTheAboutBoxWithoutStayOnTop)
{
    FakePrompts prompts;
    TMainForm form;
    form.SetPrompts(&prompts);
    form.show();
    Child<QAction>(form, "AboutAction")->trigger();
    EXPECT_EQ(prompts.modalRuns, 0);

    TAboutBox about({QStringLiteral("d"), QStringLiteral("1.2.3"), QStringLiteral("https://example.org/")}, &form);
    form.SetAboutBox(&about);
    Child<QAction>(form, "OnTopAction")->trigger();
    bool onTopWhileShown = true;
    prompts.OnModal = [&](QDialog& dialog) {
        onTopWhileShown = OnTop(form);
        dialog.accept();
        return dialog.result();
    };
    Child<QAction>(form, "AboutAction")->trigger();
    ASSERT_EQ(prompts.modalRuns, 1);
    EXPECT_EQ(prompts.modalDialogs.front(), &about);
    EXPECT_FALSE(onTopWhileShown);
    EXPECT_TRUE(OnTop(form));
}

// A handler that throws reaches the error box; the window goes on.
TEST(MainWindow, AHandlerFailureIsShownInTheErrorBox)
{
    FakePrompts prompts;
    TMainForm form;
    form.SetPrompts(&prompts);
    prompts.OnModal = [](QDialog&) -> int { throw platform::Exception("Диалог сломан"); };
    Child<QAction>(form, "OptionAction")->trigger();
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_EQ(prompts.errors.front().toStdString(), "Диалог сломан");
}

// The 100 ms pass with its timer stopped, each pass run by hand once the workers are done.
class ProcessPass : public testing::Test {
protected:
    void SetUp() override { StopTimer(form, "InteractTimer"); }

    ProcessDesctiptionStruct* Start(std::function<void(ProcessAlgorithm&)> body, int32_t id, std::string final)
    {
        auto* entry = form.Pool().Start(std::make_unique<LambdaAlgorithm>(std::move(body)), 0, id, std::move(final));
        EXPECT_NE(entry, nullptr);
        return entry;
    }

    void WaitForWorkers(std::initializer_list<ProcessDesctiptionStruct*> entries)
    {
        for (auto* entry : entries)
            ASSERT_TRUE(apptest::WaitFor([entry] { return testsupport::WorkerDone(*entry); }));
    }

    TMainForm form;
};

TEST_F(ProcessPass, MessagesThenTheFinalMessageInOnePass)
{
    auto* entry = Start(
        [](ProcessAlgorithm& algorithm) {
            for (const char* text : {"первое", "второе", "третье"})
                testsupport::QueueMessage(algorithm, text);
        },
        -1, "Конфигурация ТС1 установлена");
    int done = 0;
    entry->OnDone = [&](int32_t id) {
        EXPECT_EQ(id, -1);
        ++done;
    };
    WaitForWorkers({entry});
    form.InteractTimerTimer();
    EXPECT_EQ(ConsoleLines(form), (QStringList{QStringLiteral("первое"), QStringLiteral("второе"),
                                               QStringLiteral("третье"), QStringLiteral("Конфигурация ТС1 установлена")}));
    EXPECT_EQ(done, 1);
    EXPECT_EQ(form.Pool().Count(), 0);
}

TEST_F(ProcessPass, AFailedProcessGetsItsErrorHandlerAndNoFinalMessage)
{
    auto* entry = Start([](ProcessAlgorithm&) { throw platform::Exception("Прибор не отвечает"); }, 12, "не печатается");
    int32_t code = 0;
    int done = 0;
    entry->OnError = [&](int32_t id, int32_t error) {
        EXPECT_EQ(id, 12);
        code = error;
    };
    entry->OnDone = [&](int32_t) { ++done; };
    WaitForWorkers({entry});
    form.InteractTimerTimer();
    EXPECT_EQ(code, 3);
    EXPECT_EQ(done, 0);
    EXPECT_EQ(ConsoleLines(form), QStringList{QStringLiteral("Прибор не отвечает")});
}

TEST_F(ProcessPass, AThrowingHandlerIsPrintedItsEntryRemovedAndTheNextHandled)
{
    auto* first = Start([](ProcessAlgorithm&) {}, 1, "");
    auto* second = Start([](ProcessAlgorithm&) {}, 2, "второй готов");
    int calls = 0;
    first->OnDone = [&](int32_t) {
        ++calls;
        throw platform::Exception("Обработчик сломан");
    };
    WaitForWorkers({first, second});
    form.InteractTimerTimer();
    EXPECT_EQ(ConsoleLines(form), (QStringList{QStringLiteral("Обработчик сломан"), QStringLiteral("второй готов")}));
    EXPECT_EQ(form.Pool().Count(), 0);
    form.InteractTimerTimer();
    EXPECT_EQ(calls, 1);
}

// The node of a page in the frame's tree.
QTreeWidgetItem* PageNode(const TMainForm& form, int32_t pageId)
{
    auto* tree = Child<QTreeWidget>(form, "SelectTree");
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, TDax_Frame::kPageIdRole).toInt() == pageId)
            return *it;
    return nullptr;
}

// The first size shows the widest and the tallest page of fields whole, without scrolling,
// on a screen that has room for them.
TEST(MainWindow, TheFirstSizeShowsEveryPageWhole)
{
    TMainForm form;
    Child<QAction>(form, "AutoRequestAction")->setChecked(false);
    form.show();
    const QSize first = form.size();
    ASSERT_TRUE(QRect(QPoint(), form.screen()->availableGeometry().size()).contains(QRect(QPoint(), first)));
    daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax01), 1);
    form.Frame()->LoadDataFile(daxsim::DataFileBytesOfInstrument(instrument));
    auto* tree = Child<QTreeWidget>(form, "SelectTree");
    for (const DaxPage& page : DaxPages()) {
        const auto* scroll = form.Frame()->Page(page.Id)->findChild<QScrollArea*>();
        if (scroll == nullptr)
            continue;
        tree->setCurrentItem(PageNode(form, page.Id));
        QApplication::processEvents();
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible()) << "page " << page.Id << " \"" << page.Caption << "\"";
        EXPECT_FALSE(scroll->verticalScrollBar()->isVisible()) << "page " << page.Id << " \"" << page.Caption << "\"";
    }
    EXPECT_EQ(form.size(), first);
}

// Within the screen's available area, less room for the window's frame and title.
TEST(MainWindow, TheFirstSizeStaysWithinTheScreen)
{
    struct Case {
        QSize wanted;
        QRect available;
        QSize first;
    };
    const QSize decorations(TMainForm::kDecorationWidth, TMainForm::kDecorationHeight);
    const Case cases[] = {
        {{1200, 900}, {0, 0, 1920, 1080}, {1200, 900}},
        {{1200, 900}, {0, 0, 1024, 768}, QSize(1024, 768) - decorations},
        {{1200, 700}, {100, 30, 1280, 800}, {1200, 700}},
        {{1300, 700}, {0, 0, 1280, 1024}, {1280 - TMainForm::kDecorationWidth, 700}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TMainForm::FirstSize(c.wanted, c.available), c.first) << c.wanted.width() << "x" << c.wanted.height();
}

// At the window's standard size, with the demo instrument's values shown, every page of
// fields fits the room beside the page tree, under either pressure unit (the captions of
// kgf/cm² are the wider): nothing is cut behind a horizontal scroll bar.
TEST(MainWindow, EveryPageOfFieldsFitsTheWindowsWidth)
{
    TMainForm form;
    Child<QAction>(form, "AutoRequestAction")->setChecked(false);
    form.show();
    daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax01), 1);
    form.Frame()->LoadDataFile(daxsim::DataFileBytesOfInstrument(instrument));
    auto* tree = Child<QTreeWidget>(form, "SelectTree");
    for (const uint8_t pressureUnit : {0, 1}) {
        form.Frame()->ApplyPressureUnitCaptions(0, pressureUnit);
        for (const DaxPage& page : DaxPages()) {
            const auto* scroll = form.Frame()->Page(page.Id)->findChild<QScrollArea*>();
            if (scroll == nullptr)
                continue; // archives and journals: their tables scroll by design
            QTreeWidgetItem* node = PageNode(form, page.Id);
            ASSERT_NE(node, nullptr) << page.Id;
            tree->setCurrentItem(node);
            QApplication::processEvents();
            EXPECT_LE(scroll->widget()->width(), scroll->viewport()->width())
                << "page " << page.Id << " \"" << page.Caption << "\", pressure unit " << int{pressureUnit};
            EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible()) << "page " << page.Id;
        }
    }
}

} // namespace
