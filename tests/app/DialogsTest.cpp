// The progress window, the options dialog, the about box, the help pages and the guards of
// start-up and event delivery.
#include "app/About.h"
#include "app/Application.h"
#include "app/DaxInteractFrame.h"
#include "app/HelpViewer.h"
#include "app/OptionsFrame.h"

#include "AppTestSupport.h"
#include "FakePrompts.h"
#include "FakeTime.h"
#include "platform/Exceptions.h"
#include "platform/RegistryStore.h"
#include "report/desktop/ReportDesktop.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>

namespace {

using apptest::Child;
using namespace std::chrono_literals;

// The progress window on a clock moved by hand.
class ProgressWindow : public testing::Test {
protected:
    void SetUp() override
    {
        window.SetClock(&clock);
        window.ResetTimeLeft();
        window.SetContainer(&state);
    }

    // The percent as the worker sets it and the window's timers see it, at this moment.
    std::string At(int percent)
    {
        {
            TInteractLock lock(state);
            lock->SetProgress(percent);
        }
        window.InteractTimerTimer();
        window.TimeLeftTimerTimer();
        return Child<QLabel>(window, "LeftTimeLabel")->text().toStdString();
    }

    testsupport::ManualClock clock;
    TInteractContainer state{std::make_unique<TInteract>()};
    TDaxInteractForm window;
};

TEST_F(ProgressWindow, NothingBeforeATenthThenTheEstimate)
{
    clock.Advance(30s);
    EXPECT_EQ(At(5), "");
    clock.Advance(30s);
    EXPECT_EQ(At(10), "Оставшееся время 00:09:00");
}

TEST_F(ProgressWindow, EvenProgressCountsDownASecondASecond)
{
    // One percent a second: 100 s in all.
    clock.Advance(10s);
    EXPECT_EQ(At(10), "Оставшееся время 00:01:30");
    for (int second = 11; second <= 40; ++second) {
        clock.Advance(1s);
        const int left = 100 - second;
        EXPECT_EQ(At(second), QStringLiteral("Оставшееся время 00:%1:%2")
                                  .arg(left / 60, 2, 10, QLatin1Char('0'))
                                  .arg(left % 60, 2, 10, QLatin1Char('0'))
                                  .toStdString())
            << second;
    }
}

TEST_F(ProgressWindow, AnEstimateMoreThanFiveSecondsOffMakesItJump)
{
    clock.Advance(10s);
    At(10);
    for (int second = 11; second <= 19; ++second) {
        clock.Advance(1s);
        At(second);
    }
    EXPECT_EQ(window.RemainingMs(), 81000);
    // 20 % at 21 s: an estimate of 84 s, 4 s above the countdown of 80 s: the countdown stays.
    clock.Advance(2000ms);
    EXPECT_EQ(At(20), "Оставшееся время 00:01:20");
    // 20 % at 21.25 s: 85 s, 6 s above the countdown of 79 s: it jumps.
    clock.Advance(250ms);
    EXPECT_EQ(At(20), "Оставшееся время 00:01:25");
    EXPECT_EQ(window.RemainingMs(), 85000);
}

TEST_F(ProgressWindow, TheTimeLeftNeverFallsBelowZero)
{
    // Almost done, with the countdown long past the estimate: 0, never a wrapped count.
    clock.Advance(100s);
    At(99);
    for (int i = 0; i < 5; ++i) {
        clock.Advance(1s);
        EXPECT_EQ(At(100), "Оставшееся время 00:00:00");
        EXPECT_GE(window.RemainingMs(), 0);
    }
}

TEST_F(ProgressWindow, ShowsPercentAndStatusLeavesTheFlagAndStopAsksToAbort)
{
    {
        TInteractLock lock(state);
        lock->SetProgress(37);
        lock->SetStatus("Чтение часового архива");
    }
    window.InteractTimerTimer();
    EXPECT_EQ(Child<QProgressBar>(window, "ProgressBar")->value(), 37);
    EXPECT_EQ(Child<QLineEdit>(window, "ProcessAction")->text().toStdString(), "Чтение часового архива");
    {
        TInteractLock lock(state);
        EXPECT_TRUE(lock->StatusChanged());
        EXPECT_FALSE(lock->GetAbort());
    }
    EXPECT_EQ(Child<QPushButton>(window, "StopProcess")->text().toStdString(), "Остановить");
    Child<QPushButton>(window, "StopProcess")->click();
    {
        TInteractLock lock(state);
        EXPECT_TRUE(lock->GetAbort());
    }
    // A status whose flag the main window's pass has already cleared still shows.
    {
        TInteractLock lock(state);
        lock->SetStatus("Запись параметров");
        lock->SetStatusChanged(false);
    }
    window.InteractTimerTimer();
    EXPECT_EQ(Child<QLineEdit>(window, "ProcessAction")->text().toStdString(), "Запись параметров");
    // Detached, it touches nothing.
    window.SetContainer(nullptr);
    window.InteractTimerTimer();
    window.StopProcessClick();
}

TEST_F(ProgressWindow, AStayOnTopToolWindowOfTheGivenSize)
{
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window.windowType(), Qt::Tool);
    EXPECT_EQ(window.size(), QSize(487, 117));
}

// The options dialog as the user works it.
class OptionsDialog : public testing::Test {
protected:
    void Store(const char* name, int32_t value)
    {
        platform::RegistryStore::CurrentUser().WriteInteger(DisplayOptions::kRegistryKey, name, value);
    }
    int32_t Stored(const char* name)
    {
        return platform::RegistryStore::CurrentUser().ReadInteger(DisplayOptions::kRegistryKey, name, -1);
    }
    void Load()
    {
        auto store = platform::RegistryStore::CurrentUser();
        options.Load(store);
    }

    DisplayOptions options;
};

TEST_F(OptionsDialog, ShowsTheRecordAndOkStoresTheControls)
{
    Store("AccuracyCounters", 5);
    Store("CommaSeparator", 7);
    Store("TimeFormat", 1);
    Load();
    TOptionsForm dialog(&options);
    dialog.show();
    EXPECT_TRUE(Child<QCheckBox>(dialog, "AccuracyCounters")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(dialog, "ShowNotStaffQT")->isChecked());
    EXPECT_EQ(Child<QComboBox>(dialog, "CommaSeparator")->currentIndex(), -1);
    EXPECT_EQ(Child<QComboBox>(dialog, "TimeFormat")->currentIndex(), 1);
    EXPECT_EQ(Child<QComboBox>(dialog, "BitsFormat")->currentIndex(), 0);

    Child<QCheckBox>(dialog, "ShowNotStaffQT")->setChecked(true);
    Child<QComboBox>(dialog, "BitsFormat")->setCurrentIndex(1);
    Child<QPushButton>(dialog, "OkBitBtn")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(options.ShowNotStaffQT);
    EXPECT_EQ(options.CommaSeparator, 0);
    EXPECT_EQ(Stored("AccuracyCounters"), 1);
    EXPECT_EQ(Stored("ShowNotStaffQT"), 1);
    EXPECT_EQ(Stored("CommaSeparator"), 0);
    EXPECT_EQ(Stored("TimeFormat"), 1);
    EXPECT_EQ(Stored("BitsFormat"), 1);
}

TEST_F(OptionsDialog, CancelStoresNothingAndTheNextShowingShowsTheRecord)
{
    Load();
    TOptionsForm dialog(&options);
    dialog.show();
    Child<QCheckBox>(dialog, "AccuracyCounters")->setChecked(true);
    Child<QComboBox>(dialog, "TimeFormat")->setCurrentIndex(1);
    Child<QPushButton>(dialog, "CancelBitBtn")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(options.AccuracyCounters);
    EXPECT_EQ(Stored("AccuracyCounters"), -1);
    dialog.show();
    EXPECT_FALSE(Child<QCheckBox>(dialog, "AccuracyCounters")->isChecked());
    EXPECT_EQ(Child<QComboBox>(dialog, "TimeFormat")->currentIndex(), 0);
}

TEST_F(OptionsDialog, TextsAndItems)
{
    TOptionsForm dialog(&options);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Опции");
    const std::vector<std::pair<const char*, QStringList>> lists = {
        {"CommaSeparator", {QStringLiteral("Системный"), QStringLiteral("(,) Запятая"), QStringLiteral("(.) Точка")}},
        {"TimeFormat", {QStringLiteral("ЧЧЧЧЧ:ММ"), QStringLiteral("СУТ ЧЧ:ММ")}},
        {"BitsFormat", {QStringLiteral("Маска (123------)"), QStringLiteral("Список (1,2,3,...)")}},
    };
    for (const auto& [name, items] : lists) {
        auto* combo = Child<QComboBox>(dialog, name);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        EXPECT_EQ(shown, items) << name;
    }
    EXPECT_EQ(Child<QCheckBox>(dialog, "AccuracyCounters")->text().toStdString(),
              "Повышенная точность счетчиков (6 знаков)");
    EXPECT_EQ(Child<QCheckBox>(dialog, "ShowNotStaffQT")->text().toStdString(),
              "Отображать тепловую энергию и времена НС в архиве");
}

TEST(AboutBox, ShowsTheBuildFactsAndOpensTheLinkOnADoubleClick)
{
    TAboutBox about({QStringLiteral("Конфигуратор"), QStringLiteral("1.2.3"), QStringLiteral("https://example.org/dax")});
    std::vector<QUrl> opened;
    about.SetUrlOpener([&opened](const QUrl& url) { opened.push_back(url); });
    EXPECT_EQ(about.windowTitle().toStdString(), "О программе");
    EXPECT_EQ(Child<QLabel>(about, "Version")->text().toStdString(), "1.2.3");
    EXPECT_EQ(Child<QLabel>(about, "FileDescription")->text().toStdString(), "Конфигуратор");
    EXPECT_EQ(Child<QLabel>(about, "LinkLabel1")->text().toStdString(), "https://example.org/dax");
    const QRegularExpression date(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d$"));
    EXPECT_TRUE(date.match(Child<QLabel>(about, "DataTime")->text()).hasMatch())
        << Child<QLabel>(about, "DataTime")->text().toStdString();
    EXPECT_EQ(Child<QLabel>(about, "Image1")->pixmap().size(), QSize(241, 49));

    about.show();
    QTest::mouseDClick(Child<QWidget>(about, "Panel1"), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.front(), QUrl(QStringLiteral("https://example.org/dax")));
}

TEST(AboutBox, BuildDateInTheProgramsDateFormat)
{
    struct Case {
        const char* date;
        const char* time;
        const char* shown;
    };
    const Case cases[] = {
        {"Dec 11 2026", "13:50:11", "11.12.2026 13:50:11"},
        {"Jan  1 2025", "00:00:00", "01.01.2025 00:00:00"},
        {"May 31 2024", "23:59:59", "31.05.2024 23:59:59"},
        {"??? ?? ????", "??:??:??", "??? ?? ???? ??:??:??"}, // unreadable: kept as it is
    };
    for (const Case& c : cases)
        EXPECT_EQ(TAboutBox::RussianDateTime(QString::fromLatin1(c.date), QString::fromLatin1(c.time)).toStdString(), c.shown)
            << c.date;
}

TEST(AboutBox, NoLinkWithoutAnAddress)
{
    TAboutBox about({QStringLiteral("Конфигуратор"), QStringLiteral("1.2.3"), QString()});
    std::vector<QUrl> opened;
    about.SetUrlOpener([&opened](const QUrl& url) { opened.push_back(url); });
    about.show();
    EXPECT_FALSE(Child<QLabel>(about, "LinkLabel1")->isVisible());
    QTest::mouseDClick(Child<QWidget>(about, "Panel1"), Qt::LeftButton);
    EXPECT_TRUE(opened.empty());
}

TEST(AboutBox, AnEmptyVersionKeepsTheDesignTexts)
{
    TAboutBox about({QString(), QString(), QString()});
    EXPECT_EQ(Child<QLabel>(about, "Version")->text().toStdString(), "Version");
    EXPECT_EQ(Child<QLabel>(about, "FileDescription")->text().toStdString(), "FileDescription");
    std::vector<QUrl> opened;
    about.SetUrlOpener([&opened](const QUrl& url) { opened.push_back(url); });
    about.Panel1DblClick();
    EXPECT_TRUE(opened.empty());
}

TEST(HelpPages, TopicsMapToPagesOfTheFolder)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("help")));
    std::vector<QUrl> opened;
    auto viewer = FolderHelpViewer::Find(folder.path(), [&opened](const QUrl& url) { opened.push_back(url); });
    ASSERT_NE(viewer, nullptr);
    viewer->ShowTopic(QStringLiteral("DaxConfigurator.chm::/introduction.htm"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.front().toLocalFile(), QDir(folder.path()).canonicalPath() + QStringLiteral("/help/introduction.htm"));
    for (const char* path : {"Other.chm::/introduction.htm", "DaxConfigurator.chm::/../secret.htm",
                             "DaxConfigurator.chm::/a/b.htm", "DaxConfigurator.chm::/"})
        viewer->ShowTopic(QString::fromUtf8(path));
    EXPECT_EQ(opened.size(), 1u);

    QTemporaryDir empty;
    EXPECT_EQ(FolderHelpViewer::Find(empty.path(), [](const QUrl&) {}), nullptr);
}

TEST(Guards, AFailedStartShowsTheErrorAndEndsWithStatusOne)
{
    testsupport::FakePrompts prompts;
    EXPECT_EQ(RunGuarded(prompts, [] { return 0; }), 0);
    EXPECT_EQ(RunGuarded(prompts, []() -> int { throw platform::Exception("Не удалось запустить"); }), 1);
    EXPECT_EQ(RunGuarded(prompts, []() -> int { throw 5; }), 1);
    ASSERT_EQ(prompts.errors.size(), 2u);
    EXPECT_EQ(prompts.errors[0].toStdString(), "Не удалось запустить");
    EXPECT_TRUE(prompts.errors[1].isEmpty());
}

TEST(Guards, AFailedDeliveryShowsTheErrorAndTheProgramGoesOn)
{
    testsupport::FakePrompts prompts;
    EXPECT_TRUE(GuardedDelivery(prompts, [] { return true; }));
    EXPECT_FALSE(GuardedDelivery(prompts, []() -> bool { throw std::runtime_error("сбой обработчика"); }));
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_EQ(prompts.errors[0].toStdString(), "сбой обработчика");
}

// The Yes and No buttons of a question (a message box of Qt's standard buttons, as the prompts
// make it) and the labels of a file dialog read in Russian while Qt's translation is installed,
// and in English again once it is gone.
TEST(QtTranslation, QuestionsAndFileDialogsReadInRussian)
{
    const auto buttonTexts = [] {
        QMessageBox question;
        question.addButton(QMessageBox::Yes);
        question.addButton(QMessageBox::No);
        return std::pair(question.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')).toStdString(),
                         question.button(QMessageBox::No)->text().remove(QLatin1Char('&')).toStdString());
    };
    const auto fileTypeLabel = [] {
        QFileDialog files;
        files.setOption(QFileDialog::DontUseNativeDialog);
        const auto* label = files.findChild<QLabel*>(QStringLiteral("fileTypeLabel"));
        return label != nullptr ? label->text().remove(QLatin1Char('&')).toStdString() : std::string();
    };
    {
        const auto translation = ReportDesktop::InstallQtTranslation();
        if (!translation)
            GTEST_SKIP() << "Qt's translations (qt6-translations-l10n) are not installed";
        EXPECT_EQ(buttonTexts(), std::pair(std::string("Да"), std::string("Нет")));
        EXPECT_EQ(fileTypeLabel(), "Типы файлов:");
    }
    EXPECT_EQ(buttonTexts(), std::pair(std::string("Yes"), std::string("No")));
}

} // namespace
