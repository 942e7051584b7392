// The report settings dialog offscreen: its controls, what each report kind shows, the period
// in the pickers, and what OK, Cancel and a failing save leave in the record and the registry.

#include "DataFile.h"
#include "DemoState.h"
#include "ReadOnlyFolder.h"
#include "RecordBuilders.h"
#include "ReportFakes.h"

#include "device/Daxhelper.h"
#include "devreport/ui/DaxReportSetupFrame.h"
#include "platform/DateTime.h"
#include "platform/RegistryStore.h"
#include "report/core/DateValues.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

using testsupport::Archive;
using testsupport::Journal;
using testsupport::Total;

const double kToday = EncodeDate(2024, 6, 14);
const char* const kKey = "\\Software\\Morvel\\DaxConfig\\ReportSetup";

QDate Day(int month, int day) { return QDate(2024, month, day); }

struct Picker {
    QDate Date;
    QDate Minimum;
    QDate Maximum;
    bool operator==(const Picker&) const = default;
};

Picker StateOf(const QDateEdit* picker) { return {picker->date(), picker->minimumDate(), picker->maximumDate()}; }

std::ostream& operator<<(std::ostream& os, const Picker& p)
{
    return os << p.Date.toString(Qt::ISODate).toStdString() << " in " << p.Minimum.toString(Qt::ISODate).toStdString()
              << ".." << p.Maximum.toString(Qt::ISODate).toStdString();
}

// March's day and total records 1 to 31, an abnormal-situation journal of 5 to 9 March.
void PutMarch(DaxHelper& helper, bool totals)
{
    for (uint8_t day = 1; day <= 31; ++day) {
        helper.DayArchive.push_back(Archive({24, 3, day}));
        if (totals)
            helper.TotalDayArchive.push_back(Total({24, 3, day}));
    }
    helper.NotStaffJournal = {Journal({24, 3, 5, 8, 0, 0}, 8, 0, 1), Journal({24, 3, 9, 8, 0, 0}, 8, 1, 0)};
}

class ReportSetupForm : public testing::Test {
protected:
    void SetUp() override
    {
        store_.DeleteKey(kKey);
    }

    platform::RegistryStore store_ = platform::RegistryStore::CurrentUser();
    reporttest::FixedReportClock clock_{kToday + 0.4};
    reporttest::RecordingReportUi ui_;
};

// One control of the dialog as the user sees it.
struct ControlCase {
    const char* Name;
    const char* Kind;
    const char* Parent;
    QRect Geometry;
    QStringList Captions; // caption, hint or the items of a list
};

const ControlCase kControls[] = {
    {"GroupBox3", "QGroupBox", "", {8, 8, 321, 86}, {"Тип  отчета"}},
    {"ReportType", "QComboBox", "GroupBox3", {16, 23, 289, 21},
     {"Архив за выбранный интервал", "Журнал НС", "Журнал оператора", "Настроечные параметры"}},
    {"ReportData", "QComboBox", "GroupBox3", {16, 51, 289, 21},
     {"ТС1 (Система теплоснабжения 1)", "ТС2 (Система теплоснабжения 2)", "ХВС (Система холодного водоснабжения)",
      "Общие параметры"}},
    {"IntervalGroupBox", "QGroupBox", "", {8, 94, 321, 61}, {"Интервал"}},
    {"Label1", "QLabel", "IntervalGroupBox", {16, 28, 7, 13}, {"С"}},
    {"BeginPeriod", "QDateEdit", "IntervalGroupBox", {33, 24, 100, 21}, {}},
    {"Label2", "QLabel", "IntervalGroupBox", {141, 28, 12, 13}, {"по"}},
    {"EndPeriod", "QDateEdit", "IntervalGroupBox", {159, 24, 100, 21}, {}},
    {"BitBtn1", "QPushButton", "IntervalGroupBox", {272, 20, 30, 29}, {"Весь период"}},
    {"DataGroupBox", "QGroupBox", "", {8, 156, 321, 149}, {"Данные в очете"}},
    {"ChanelMShow", "QCheckBox", "DataGroupBox", {16, 23, 114, 17}, {"Каналы массы M"}},
    {"ChanelVShow", "QCheckBox", "DataGroupBox", {16, 46, 114, 17}, {"Каналы объема V"}},
    {"ChanelPShow", "QCheckBox", "DataGroupBox", {16, 69, 130, 17}, {"Каналы давления P"}},
    {"TotalValuesShow", "QCheckBox", "DataGroupBox", {159, 23, 130, 17}, {"Итоговые значения"}},
    {"HourArchiveShow", "QCheckBox", "DataGroupBox", {159, 46, 117, 17}, {"Часовые значения"}},
    {"NotStaffInfoShow", "QCheckBox", "DataGroupBox", {159, 69, 97, 17}, {"Коды НС"}},
    {"Label11", "QLabel", "DataGroupBox", {79, 95, 67, 13}, {"Потребитель"}},
    {"Consumer", "QLineEdit", "DataGroupBox", {159, 92, 145, 21}, {}},
    {"Label10", "QLabel", "DataGroupBox", {89, 120, 57, 13}, {"Поставщик"}},
    {"Supplier", "QLineEdit", "DataGroupBox", {159, 117, 145, 21}, {}},
    {"SystemGroupBox", "QGroupBox", "", {8, 306, 321, 48}, {"Системные НС"}},
    {"HardwareNSShow", "QCheckBox", "SystemGroupBox", {16, 20, 130, 17}, {"Аппаратные НС"}},
    {"ModeFlagsShow", "QCheckBox", "SystemGroupBox", {159, 20, 130, 17}, {"Флаги режимов"}},
    {"PageGroupBox", "QGroupBox", "", {8, 355, 321, 77}, {"Параметры страницы"}},
    {"Label8", "QLabel", "PageGroupBox", {52, 21, 94, 13}, {"Ориентация листа"}},
    {"PrinterOrientation", "QComboBox", "PageGroupBox", {159, 18, 145, 21}, {"Портретная", "Альбомная"}},
    {"PrintOnPreviousPage", "QCheckBox", "PageGroupBox", {16, 47, 286, 17}, {"Продолжать отчет на предыдущей странице"}},
    {"OkButton", "QPushButton", "", {64, 441, 130, 34}, {"OK"}},
    {"BitBtn2", "QPushButton", "", {200, 441, 130, 34}, {"Отмена"}},
};

QStringList CaptionsOf(QWidget* widget)
{
    if (auto* box = qobject_cast<QGroupBox*>(widget))
        return {box->title()};
    if (auto* label = qobject_cast<QLabel*>(widget))
        return {label->text()};
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return {button->text().isEmpty() ? button->toolTip() : button->text()};
    if (auto* check = qobject_cast<QCheckBox*>(widget))
        return {check->text()};
    return {};
}

TEST_F(ReportSetupForm, EveryControlOfTheDialogOnceWithItsKindPlaceAndCaption)
{
    TReportSetupForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Параметры отчета"));
    EXPECT_EQ(form.size(), QSize(341, 489));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.font().pointSize(), 8);
    for (const ControlCase& c : kControls) {
        SCOPED_TRACE(c.Name);
        const auto found = form.findChildren<QWidget*>(QString::fromLatin1(c.Name));
        ASSERT_EQ(found.size(), 1);
        QWidget* widget = found.front();
        EXPECT_STREQ(widget->metaObject()->className(), c.Kind);
        EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(c.Parent));
        const auto* label = qobject_cast<QLabel*>(widget);
        if (label && (label->alignment() & Qt::AlignRight)) {
            // A right-aligned caption may grow to the left; its right edge stays.
            EXPECT_EQ(widget->geometry().right(), c.Geometry.right());
            EXPECT_EQ(widget->geometry().top(), c.Geometry.top());
            EXPECT_EQ(widget->geometry().height(), c.Geometry.height());
            EXPECT_GE(widget->geometry().width(), c.Geometry.width());
        } else {
            EXPECT_EQ(widget->geometry(), c.Geometry);
        }
        if (!c.Captions.isEmpty()) {
            EXPECT_EQ(CaptionsOf(widget), c.Captions);
        }
    }
    EXPECT_EQ(form.BitBtn1->toolTip(), QStringLiteral("Весь период"));
    EXPECT_FALSE(form.BitBtn1->icon().isNull());
    for (const char* name : {"Label8", "Label10", "Label11"})
        EXPECT_TRUE(form.findChild<QLabel*>(QString::fromLatin1(name))->alignment() & Qt::AlignRight) << name;
    EXPECT_FALSE(form.ReportType->isEditable());
    EXPECT_TRUE(form.BeginPeriod->calendarPopup());
}

TEST_F(ReportSetupForm, TheTabOrder)
{
    TReportSetupForm form;
    QStringList order;
    QWidget* widget = form.ReportType;
    do {
        if (widget->focusPolicy() & Qt::TabFocus && !widget->objectName().isEmpty() &&
            !widget->objectName().startsWith(QLatin1String("qt_")))
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != form.ReportType);
    EXPECT_EQ(order, (QStringList{"ReportType", "ReportData", "BeginPeriod", "EndPeriod", "BitBtn1", "ChanelMShow",
                                  "ChanelVShow", "ChanelPShow", "TotalValuesShow", "HourArchiveShow",
                                  "NotStaffInfoShow", "Consumer", "Supplier", "OkButton", "BitBtn2",
                                  "PrinterOrientation", "PrintOnPreviousPage", "HardwareNSShow", "ModeFlagsShow"}));
}

TEST_F(ReportSetupForm, BothPickersStartOnTheSecondOfDecember2016)
{
    TReportSetupForm form;
    EXPECT_EQ(form.BeginPeriod->date(), QDate(2016, 12, 2));
    EXPECT_EQ(form.EndPeriod->date(), QDate(2016, 12, 2));
}

TEST_F(ReportSetupForm, TheConstructorTakesTheStoredChoices)
{
    store_.CreateKey(kKey);
    store_.WriteInteger(kKey, "ReportData", 2);
    store_.WriteString(kKey, "Consumer", "ООО Тепло");
    TReportSetupForm form;
    EXPECT_EQ(form.Settings.ReportData, 2);
    EXPECT_EQ(form.Settings.Consumer, QStringLiteral("ООО Тепло"));
    EXPECT_TRUE(form.Settings.HardwareNSShow); // the load's fallback
    EXPECT_EQ(form.Settings.PrinterOrientation, 1);
}

struct KindCase {
    int32_t StoredKind;
    int SelectedIndex;
    bool ReportData, Interval, Data, System, Page;
};

TEST_F(ReportSetupForm, EachReportKindShowsItsControls)
{
    const KindCase cases[] = {
        {0, 0, true, true, true, true, true},      {1, 1, true, true, false, true, false},
        {2, 2, false, true, false, false, false},  {3, 3, false, false, false, false, false},
        {7, -1, false, false, false, false, false},
    };
    DaxHelper helper;
    PutMarch(helper, true);
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.StoredKind);
        store_.WriteInteger(kKey, "ReportType", c.StoredKind);
        TReportSetupForm form;
        form.ArchiveSource = &helper;
        form.show();
        EXPECT_EQ(form.ReportType->currentIndex(), c.SelectedIndex);
        EXPECT_TRUE(form.GroupBox3->isVisible());
        EXPECT_TRUE(form.ReportType->isVisible());
        EXPECT_EQ(form.ReportData->isVisible(), c.ReportData);
        EXPECT_EQ(form.IntervalGroupBox->isVisible(), c.Interval);
        EXPECT_EQ(form.DataGroupBox->isVisible(), c.Data);
        EXPECT_EQ(form.SystemGroupBox->isVisible(), c.System);
        EXPECT_EQ(form.PageGroupBox->isVisible(), c.Page);
        // Hidden boxes leave their place empty: nothing moves.
        EXPECT_EQ(form.PageGroupBox->geometry(), QRect(8, 355, 321, 77));
        EXPECT_EQ(form.OkButton->geometry(), QRect(64, 441, 130, 34));
        if (c.StoredKind >= 3) {
            EXPECT_EQ(StateOf(form.BeginPeriod).Date, QDate(2016, 12, 2)); // pickers untouched
        }
        form.OkButton->click();
        EXPECT_EQ(form.result(), QDialog::Accepted);
        // A kind that selects nothing is stored as 0.
        EXPECT_EQ(store_.ReadInteger(kKey, "ReportType", -1), c.SelectedIndex < 0 ? 0 : c.SelectedIndex);
    }
}

TEST_F(ReportSetupForm, TheArchivePeriodWithTotalsStartsADayLater)
{
    DaxHelper helper;
    PutMarch(helper, true);
    TReportSetupForm form;
    form.ArchiveSource = &helper;
    form.show();
    EXPECT_TRUE(form.TotalValuesShow->isChecked());
    EXPECT_EQ(StateOf(form.BeginPeriod), (Picker{Day(3, 2), Day(3, 2), Day(3, 31)}));
    EXPECT_EQ(StateOf(form.EndPeriod), (Picker{Day(3, 31), Day(3, 2), Day(3, 31)}));
    EXPECT_EQ(form.PeriodMin, EncodeDate(2024, 3, 2));
    EXPECT_EQ(form.PeriodMax, EncodeDate(2024, 3, 31));
    // Unticking the totals is a change of the period: the pickers stay within it.
    form.TotalValuesShow->click();
    EXPECT_EQ(form.PeriodMin, EncodeDate(2024, 3, 1));
    EXPECT_EQ(StateOf(form.BeginPeriod).Date, Day(3, 2));
}

TEST_F(ReportSetupForm, WithoutTotalRecordsActivationUnticksTheTotalsAndOkStoresZero)
{
    DaxHelper helper;
    PutMarch(helper, false);
    TReportSetupForm form;
    form.ArchiveSource = &helper;
    QSignalSpy toggled(form.TotalValuesShow, &QCheckBox::toggled);
    form.show();
    // Filling the box from the record ticks it, and the ReportChange that the tick runs unticks
    // it: the spy, connected after the dialog, hears the untick first, inside the tick's signal.
    ASSERT_EQ(toggled.size(), 2);
    EXPECT_FALSE(toggled.at(0).at(0).toBool());
    EXPECT_TRUE(toggled.at(1).at(0).toBool());
    EXPECT_FALSE(form.TotalValuesShow->isChecked());
    EXPECT_EQ(StateOf(form.BeginPeriod), (Picker{Day(3, 1), Day(3, 1), Day(3, 31)}));
    form.OkButton->click();
    EXPECT_FALSE(form.Settings.TotalValuesShow);
    EXPECT_EQ(store_.ReadInteger(kKey, "TotalValuesShow", -1), 0);
}

TEST_F(ReportSetupForm, TheWholePeriodButtonSetsBothPickersAndTheirLimits)
{
    DaxHelper helper;
    PutMarch(helper, true);
    TReportSetupForm form;
    form.ArchiveSource = &helper;
    form.show();
    // The user narrows the period by hand.
    form.BeginPeriod->setDateRange(Day(3, 5), Day(3, 20));
    form.BeginPeriod->setDate(Day(3, 10));
    form.EndPeriod->setDate(Day(3, 15));
    form.BitBtn1->click();
    EXPECT_EQ(StateOf(form.BeginPeriod), (Picker{Day(3, 2), Day(3, 2), Day(3, 31)}));
    EXPECT_EQ(StateOf(form.EndPeriod), (Picker{Day(3, 31), Day(3, 2), Day(3, 31)}));
}

TEST_F(ReportSetupForm, ABeginDateInsideBothPeriodsKeepsItsDateAndLimitsAcrossASwitch)
{
    DaxHelper helper;
    PutMarch(helper, true);
    TReportSetupForm form;
    form.ArchiveSource = &helper;
    form.show();
    form.BeginPeriod->setDateRange(Day(3, 1), Day(3, 25));
    form.BeginPeriod->setDate(Day(3, 7));
    const Picker before = StateOf(form.BeginPeriod);
    // The journal of 5 to 9 March holds 7 March too; the end date (31 March) does not.
    form.ReportType->setCurrentIndex(1);
    emit form.ReportType->activated(1);
    EXPECT_EQ(form.PeriodMin, EncodeDate(2024, 3, 5));
    EXPECT_EQ(StateOf(form.BeginPeriod), before);
    EXPECT_EQ(StateOf(form.EndPeriod), (Picker{Day(3, 9), Day(3, 5), Day(3, 9)}));
    form.ReportType->setCurrentIndex(0);
    emit form.ReportType->activated(0);
    EXPECT_EQ(StateOf(form.BeginPeriod), before);
    EXPECT_EQ(StateOf(form.EndPeriod), (Picker{Day(3, 9), Day(3, 5), Day(3, 9)}));
}

TEST_F(ReportSetupForm, OkCopiesEveryControlIntoTheRecordAndTheRegistry)
{
    DaxHelper helper;
    PutMarch(helper, true);
    TReportSetupForm form;
    form.ArchiveSource = &helper;
    form.show();
    form.ReportData->setCurrentIndex(2);
    form.HourArchiveShow->setChecked(true); // no hour records: unticked again
    form.NotStaffInfoShow->setChecked(false);
    form.ChanelVShow->setChecked(false);
    form.HardwareNSShow->setChecked(true);
    form.Consumer->setText(QStringLiteral("Потребитель Ω 😀"));
    form.Supplier->setText(QStringLiteral("ТЭЦ-2"));
    form.PrinterOrientation->setCurrentIndex(0);
    form.PrintOnPreviousPage->setChecked(false);
    form.BeginPeriod->setDate(Day(3, 10));
    form.EndPeriod->setDate(Day(3, 20));
    form.OkButton->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    const ReportSetupStruct& s = form.Settings;
    EXPECT_EQ(s.BeginPeriod, EncodeDate(2024, 3, 10));
    EXPECT_EQ(s.EndPeriod, EncodeDate(2024, 3, 20));
    EXPECT_EQ(s.ReportType, 0);
    EXPECT_EQ(s.ReportData, 2);
    EXPECT_TRUE(s.TotalValuesShow);
    EXPECT_FALSE(s.HourArchiveShow);
    EXPECT_FALSE(s.NotStaffInfoShow);
    EXPECT_TRUE(s.ChanelMShow);
    EXPECT_FALSE(s.ChanelVShow);
    EXPECT_TRUE(s.ChanelPShow);
    EXPECT_TRUE(s.HardwareNSShow);
    EXPECT_TRUE(s.ModeFlagsShow);
    EXPECT_EQ(s.Consumer, QStringLiteral("Потребитель Ω 😀"));
    EXPECT_EQ(s.Supplier, QStringLiteral("ТЭЦ-2"));
    EXPECT_EQ(s.PrinterOrientation, 0);
    EXPECT_FALSE(s.PrintOnPreviousPage);
    EXPECT_TRUE(ui_.Messages.isEmpty());

    ReportSetupStruct stored = DefaultReportSetup();
    LoadReportSetup(stored);
    EXPECT_EQ(stored.ReportData, 2);
    EXPECT_FALSE(stored.NotStaffInfoShow);
    EXPECT_FALSE(stored.ChanelVShow);
    EXPECT_EQ(stored.Consumer, s.Consumer);
    EXPECT_EQ(stored.Supplier, s.Supplier);
    EXPECT_FALSE(stored.PrintOnPreviousPage);
    EXPECT_FALSE(store_.ValueExists(kKey, "PrinterOrientation"));
    EXPECT_FALSE(store_.ValueExists(kKey, "BeginPeriod"));
}

TEST_F(ReportSetupForm, CancelLeavesTheRecordButThePickersKeepTheirDates)
{
    DaxHelper helper;
    PutMarch(helper, true);
    TReportSetupForm form;
    form.ArchiveSource = &helper;
    form.show();
    const ReportSetupStruct before = form.Settings;
    form.ChanelMShow->setChecked(false);
    form.TotalValuesShow->setChecked(false);
    form.ModeFlagsShow->setChecked(false);
    form.Consumer->setText(QStringLiteral("другой"));
    form.BeginPeriod->setDate(Day(3, 12));
    form.EndPeriod->setDate(Day(3, 14));
    form.BitBtn2->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Settings.ChanelMShow, before.ChanelMShow);
    EXPECT_FALSE(store_.ValueExists(kKey, "ChanelMShow"));

    form.show();
    EXPECT_TRUE(form.ChanelMShow->isChecked());
    EXPECT_TRUE(form.TotalValuesShow->isChecked());
    EXPECT_TRUE(form.ModeFlagsShow->isChecked());
    EXPECT_TRUE(form.Consumer->text().isEmpty());
    EXPECT_EQ(form.BeginPeriod->date(), Day(3, 12));
    EXPECT_EQ(form.EndPeriod->date(), Day(3, 14));
    // The close box is Cancel too.
    form.close();
    EXPECT_EQ(form.result(), QDialog::Rejected);
}

TEST_F(ReportSetupForm, WithoutDataThePeriodIsToday)
{
    DaxHelper helper;
    TReportSetupForm form;
    form.ArchiveSource = &helper;
    form.show();
    const QDate today = DateValueToQDate(kToday);
    EXPECT_EQ(StateOf(form.BeginPeriod), (Picker{today, today, today}));
    EXPECT_EQ(StateOf(form.EndPeriod), (Picker{today, today, today}));
    EXPECT_FALSE(form.TotalValuesShow->isChecked());
}

TEST_F(ReportSetupForm, AFailedSaveIsShownAndTheDialogStillClosesWithOk)
{
    const std::filesystem::path home = std::filesystem::path(std::getenv("DAXCONFIG_HOME")) / "unwritable";
    std::filesystem::create_directories(home);
    const QByteArray oldHome = qgetenv("DAXCONFIG_HOME");
    qputenv("DAXCONFIG_HOME", QByteArray::fromStdString(home.string()));
    {
        TReportSetupForm form; // creates the key while it can
        DaxHelper helper;
        PutMarch(helper, true);
        form.ArchiveSource = &helper;
        form.show();
        ReadOnlyFolder readOnly(home);
        if (!readOnly.Ok()) {
            qputenv("DAXCONFIG_HOME", oldHome);
            GTEST_SKIP() << "this file system cannot make a folder read-only for this user";
        }
        form.ReportData->setCurrentIndex(1);
        form.OkButton->click();
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(form.Settings.ReportData, 1);
        EXPECT_EQ(ui_.Messages,
                  QStringList{QStringLiteral(
                      ": Не удалось сохранить параметр отчета \"ReportType\": файл настроек недоступен для записи")});
    }
    qputenv("DAXCONFIG_HOME", oldHome);
}

TEST_F(ReportSetupForm, OverTheDemoHistory)
{
    DaxHelper helper;
    daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax01), 1);
    helper.LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(instrument));
    TReportSetupForm form;
    form.ArchiveSource = &helper;
    form.show();
    // The first total day, 16 March, moves the start a day on.
    EXPECT_EQ(StateOf(form.BeginPeriod), (Picker{Day(3, 17), Day(3, 17), Day(6, 13)}));
    EXPECT_EQ(StateOf(form.EndPeriod), (Picker{Day(6, 13), Day(3, 17), Day(6, 13)}));
    form.HourArchiveShow->click();
    EXPECT_EQ(form.PeriodMin, EncodeDate(2024, 5, 1));
    EXPECT_EQ(form.PeriodMax, EncodeDate(2024, 6, 13));
    EXPECT_EQ(StateOf(form.BeginPeriod), (Picker{Day(5, 1), Day(5, 1), Day(6, 13)}));
    form.ReportType->setCurrentIndex(1);
    emit form.ReportType->activated(1);
    EXPECT_EQ(form.PeriodMin, EncodeDate(2024, 4, 2));
    EXPECT_EQ(form.PeriodMax, EncodeDate(2024, 6, 5));
}

} // namespace
