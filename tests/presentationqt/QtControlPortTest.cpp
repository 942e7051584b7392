// What the widget ports add to the control table: the choice of port, Qt's own traps
// (visibility on hidden pages, a filled combo's first item, signals that do not fire), the
// pickers' minutes and blank state, the bits a bit editor does not name, and the resolver.
#include "controls/BitEditComboBox.h"
#include "controls/BitEditListBox.h"
#include "controls/ControlHelpers.h"
#include "presentation/qt/QtControlPort.h"
#include "presentation/qt/QtControlResolver.h"

#include "platform/Exceptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace {

struct ChoiceCase {
    const char* name;
    std::function<QWidget*()> make;
    ControlClass expected;
};

void PrintTo(const ChoiceCase& c, std::ostream* out)
{
    *out << c.name;
}

class ControlPortQtChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(ControlPortQtChoice, ByTheWidgetClass)
{
    const ChoiceCase& c = GetParam();
    std::unique_ptr<QWidget> widget(c.make());
    widget->setObjectName(QStringLiteral("Widget"));
    const std::unique_ptr<ControlPort> port = makePort(widget.get());
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->Class(), c.expected);
    EXPECT_EQ(port->ComponentName(), "Widget");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ControlPortQtChoice,
    testing::Values(ChoiceCase{"LineEdit", [] { return new QLineEdit; }, ControlClass::TEdit},
                    ChoiceCase{"ComboBox", [] { return new QComboBox; }, ControlClass::TComboBox},
                    ChoiceCase{"BitEditComboBox", [] { return new TBitEditComboBox; }, ControlClass::TBitEditComboBox},
                    ChoiceCase{"BitEditListBox", [] { return new TBitEditListBox; }, ControlClass::Other},
                    ChoiceCase{"CheckBox", [] { return new QCheckBox; }, ControlClass::TCheckBox},
                    ChoiceCase{"SpinBox", [] { return new QSpinBox; }, ControlClass::TCSpinEdit},
                    ChoiceCase{"DoubleSpinBox", [] { return new QDoubleSpinBox; }, ControlClass::Other},
                    ChoiceCase{"ProgressBar", [] { return new QProgressBar; }, ControlClass::TProgressBar},
                    ChoiceCase{"DateEdit", [] { return new QDateEdit; }, ControlClass::TDateTimePicker},
                    ChoiceCase{"TimeEdit", [] { return new QTimeEdit; }, ControlClass::TDateTimePicker},
                    ChoiceCase{"DateTimeEdit", [] { return new QDateTimeEdit; }, ControlClass::TDateTimePicker},
                    ChoiceCase{"Label", [] { return new QLabel; }, ControlClass::Other}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ControlPortQt, NoWidgetNoPort)
{
    EXPECT_EQ(makePort(nullptr), nullptr);
}

TEST(ControlPortQt, ControlOnAHiddenTabPageStillCountsAsVisible)
{
    QTabWidget tabs;
    auto* first = new QWidget;
    auto* second = new QWidget;
    auto* edit = new QLineEdit(second);
    auto* progress = new QProgressBar(second);
    tabs.addTab(first, QStringLiteral("Текущие"));
    tabs.addTab(second, QStringLiteral("Настройки"));
    tabs.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tabs));
    ASSERT_FALSE(edit->isVisible()); // the trap: Qt calls it invisible
    const auto port = makePort(edit);
    EXPECT_TRUE(port->IsVisible());
    edit->hide();
    EXPECT_FALSE(port->IsVisible());
    progress->hide();
    EXPECT_TRUE(makePort(progress)->IsVisible());
}

TEST(ControlPortQt, FilledComboStartsWithNothingChosen)
{
    QComboBox combo;
    SetComboItems(&combo, {QStringLiteral("не выбрано"), QStringLiteral("ТС1")});
    const auto port = makePort(&combo);
    EXPECT_EQ(port->Value(), -1);
    EXPECT_TRUE(port->IsUnknown());
    EXPECT_EQ(port->Text(), "");
}

TEST(ControlPortQt, ComboHandlerRunsEvenWhenTheIndexStays)
{
    QComboBox combo;
    SetComboItems(&combo, {QStringLiteral("Нет"), QStringLiteral("Да")});
    int handled = 0;
    const auto handler = [&handled] { ++handled; };
    // The page runs its handler on the user's choice and gives the same handler to the port.
    QObject::connect(&combo, &QComboBox::activated, &combo, handler);
    const auto port = makePort(&combo);
    port->SetChangeHandler(handler);
    QSignalSpy indexChanges(&combo, &QComboBox::currentIndexChanged);
    ASSERT_TRUE(port->SetValue(1));
    ASSERT_TRUE(port->SetValue(1));
    EXPECT_EQ(indexChanges.count(), 1); // Qt says nothing the second time
    EXPECT_EQ(handled, 2);
    EXPECT_FALSE(port->SetValue(2));
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(handled, 3);
}

TEST(ControlPortQt, EditableComboTextIsItsEditText)
{
    QComboBox weights;
    weights.setEditable(true);
    SetComboItems(&weights, {QStringLiteral("0.001"), QStringLiteral("0.01"), QStringLiteral("0.1")});
    const auto port = makePort(&weights);
    port->SetText("0.0000125");
    EXPECT_EQ(weights.currentText(), QStringLiteral("0.0000125"));
    EXPECT_EQ(port->Text(), "0.0000125");
    EXPECT_EQ(weights.count(), 3); // the text does not become an item
    QTest::keyClicks(weights.lineEdit(), QStringLiteral("5"));
    EXPECT_EQ(port->Text(), "0.00001255");
    ASSERT_TRUE(port->SetValue(2));
    EXPECT_EQ(port->Text(), "0.1");
    port->SetUnknown();
    EXPECT_EQ(port->Text(), "");
}

TEST(ControlPortQt, ListComboTextIsTheChosenItem)
{
    QComboBox list;
    SetComboItems(&list, {QStringLiteral("Нет ошибок"), QStringLiteral("Обрыв линии")});
    const auto port = makePort(&list);
    ASSERT_TRUE(port->SetValue(1));
    EXPECT_EQ(port->Text(), "Обрыв линии");
    port->SetText("Нет ошибок");
    EXPECT_EQ(port->Value(), 0);
}

TEST(ControlPortQt, StatusComboTextTurnsRed)
{
    QComboBox status;
    SetComboItems(&status, {QStringLiteral("Норма"), QStringLiteral("ОБРЫВ ЛИНИИ ДАТЧИКА")});
    status.resize(260, 26);
    const auto port = makePort(&status);
    ASSERT_TRUE(port->SetValue(1));
    const auto redPixels = [&status] {
        const QImage image = status.grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                count += pixel.red() > 180 && pixel.green() < 90 && pixel.blue() < 90;
            }
        return count;
    };
    EXPECT_EQ(redPixels(), 0);
    port->SetTextColor(kControlTextRed);
    EXPECT_GT(redPixels(), 20);
    port->SetTextColor(kControlTextBlack);
    EXPECT_EQ(redPixels(), 0);
}

TEST(ControlPortQt, TimePickerValueIsMinutesOfTheDay)
{
    QTimeEdit picker;
    picker.setDisplayFormat(QStringLiteral("HH:mm"));
    const auto port = makePort(&picker);
    ASSERT_TRUE(port->SetValue(90));
    EXPECT_EQ(picker.text(), QStringLiteral("01:30"));
    picker.setTime(QTime(23, 59)); // as the user would
    EXPECT_EQ(port->Value(), 1439);
    EXPECT_FALSE(port->SetValue(1440));
    EXPECT_EQ(port->Value(), -1);
}

TEST(ControlPortQt, UnknownPickerIsBlankUntilTheUserSetsIt)
{
    QTimeEdit picker;
    picker.setDisplayFormat(QStringLiteral("HH:mm"));
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    const auto port = makePort(&picker);
    ASSERT_TRUE(port->SetValue(600));
    port->SetUnknown();
    EXPECT_TRUE(port->IsUnknown());
    EXPECT_EQ(picker.text().trimmed(), QString());
    QTest::keyClick(&picker, Qt::Key_Up); // the user steps the hour
    EXPECT_FALSE(port->IsUnknown());
    EXPECT_EQ(picker.text(), QStringLiteral("01:00"));
    EXPECT_EQ(port->Value(), 60);

    // Midnight set from code shows as midnight, not as the blank.
    port->SetUnknown();
    ASSERT_TRUE(port->SetValue(0));
    EXPECT_EQ(picker.text(), QStringLiteral("00:00"));
    EXPECT_FALSE(port->IsUnknown());
}

TEST(ControlPortQt, DatePickerBlankAndDates)
{
    QDateEdit picker;
    picker.setCalendarPopup(true);
    picker.setMinimumDate(QDate(2000, 1, 1));
    picker.setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    const auto port = makePort(&picker);
    ASSERT_TRUE(port->SetDate({2021, 3, 5}));
    EXPECT_EQ(picker.text(), QStringLiteral("05.03.2021"));
    EXPECT_FALSE(port->SetDate({2021, 2, 30}));
    EXPECT_EQ(picker.text().trimmed(), QString());
    EXPECT_EQ(port->Date(), std::nullopt);
    ASSERT_TRUE(port->SetDate({2000, 1, 1})); // the minimum is a date like any other
    EXPECT_EQ(picker.text(), QStringLiteral("01.01.2000"));
}

// Pages set pickers and spin boxes straight, often with their signals blocked: a value set so
// ends the unknown state as surely as one set through the port.
TEST(ControlPortQt, AValueSetStraightIntoTheControlEndsTheUnknownStateSignalsBlockedOrNot)
{
    struct Case {
        const char* name;
        std::function<QAbstractSpinBox*()> make;
        std::function<void(ControlPort&)> makeUnknown;
        std::function<void(QAbstractSpinBox*)> set;
    };
    const auto date = [] {
        auto* picker = new QDateEdit;
        picker->setMinimumDate(QDate(2000, 1, 1));
        return picker;
    };
    const auto time = [] { return new QTimeEdit; };
    const auto spin = [] {
        auto* box = new QSpinBox;
        box->setRange(1, 5);
        return box;
    };
    const auto badDate = [](ControlPort& port) { EXPECT_FALSE(port.SetDate({2024, 0, 1})); };
    const auto badTime = [](ControlPort& port) { EXPECT_FALSE(port.SetValue(1440)); };
    const auto badCount = [](ControlPort& port) { EXPECT_FALSE(port.SetValue(0)); };
    const Case cases[] = {
        {"date", date, badDate, [](QAbstractSpinBox* c) { static_cast<QDateEdit*>(c)->setDate(QDate(2031, 5, 17)); }},
        {"date, the minimum", date, badDate,
         [](QAbstractSpinBox* c) { SetPickerDate(static_cast<QDateEdit*>(c), QDate(2000, 1, 1)); }},
        {"time", time, badTime, [](QAbstractSpinBox* c) { static_cast<QTimeEdit*>(c)->setTime(QTime(22, 45)); }},
        {"time, midnight", time, badTime,
         [](QAbstractSpinBox* c) { SetPickerTime(static_cast<QTimeEdit*>(c), QTime(0, 0)); }},
        {"spin box", spin, badCount, [](QAbstractSpinBox* c) { static_cast<QSpinBox*>(c)->setValue(3); }},
        {"spin box, the minimum", spin, badCount,
         [](QAbstractSpinBox* c) { SetSpinValue(static_cast<QSpinBox*>(c), 1); }},
    };
    for (const Case& c : cases) {
        for (const bool blocked : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.name << (blocked ? ", signals blocked" : ""));
            std::unique_ptr<QAbstractSpinBox> control(c.make());
            const auto port = makePort(control.get());
            c.makeUnknown(*port);
            ASSERT_TRUE(port->IsUnknown());
            EXPECT_EQ(control->text().trimmed(), QString());
            {
                const QSignalBlocker quiet(blocked ? control.get() : nullptr);
                c.set(control.get());
            }
            EXPECT_FALSE(port->IsUnknown());
            EXPECT_NE(control->text().trimmed(), QString());
        }
    }
}

// A bit editor with 5 named bits standing over a register whose other bits are set.
class ControlPortQtBits : public testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window_);
        edit_ = new TBitEditComboBox(&window_);
        edit_->SetItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                         QStringLiteral("5")});
        layout->addWidget(edit_);
        layout->addStretch();
        window_.resize(200, 200);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        port_ = makePort(edit_);
        ASSERT_TRUE(port_->SetValue(0xFFE3));
    }

    QWidget window_;
    TBitEditComboBox* edit_ = nullptr;
    std::unique_ptr<ControlPort> port_;
};

TEST_F(ControlPortQtBits, ClickOnABoxKeepsTheUnnamedBits)
{
    EXPECT_EQ(edit_->BitFlags(), 0x03u);
    QTest::mouseClick(edit_, Qt::LeftButton, {}, edit_->GetBitRect(0).center());
    EXPECT_EQ(port_->Value(), 0xFFE2);
}

TEST_F(ControlPortQtBits, DropDownChangesOnlyTheNamedBits)
{
    edit_->DoDropDown();
    TBitEditListBox* list = edit_->DropDownList();
    QTest::mouseClick(list, Qt::LeftButton, {}, list->GetBitRect(4).center());
    EXPECT_EQ(port_->Value(), 0xFFF3);
    edit_->DropDownWindow()->hide();
}

TEST_F(ControlPortQtBits, RenamingKeepsTheValue)
{
    edit_->SetItems({}); // a signal's mask parameter without a flag group
    EXPECT_EQ(port_->Value(), 0xFFE3);
    EXPECT_EQ(port_->ItemCount(), 0);
}

TEST_F(ControlPortQtBits, HandlerRunsOnceForAWrite)
{
    int handled = 0;
    const auto handler = [&handled] { ++handled; };
    QObject::connect(edit_, &TCustomBitEdit::OnChange, edit_, handler); // the page's own
    port_->SetChangeHandler(handler);
    ASSERT_TRUE(port_->SetValue(0x1));
    EXPECT_EQ(handled, 1);
    ASSERT_TRUE(port_->SetValue(0x1));
    EXPECT_EQ(handled, 2);
}

TEST(ControlPortQt, PortOfADestroyedWidgetReadsNothing)
{
    auto* combo = new QComboBox;
    SetComboItems(combo, {QStringLiteral("a")});
    const auto port = makePort(combo);
    delete combo;
    EXPECT_EQ(port->ComponentName(), "");
    EXPECT_EQ(port->Text(), "");
    EXPECT_FALSE(port->SetValue(0));
    port->SetText("x");
    port->SetFocus();
    port->SetTextColor(kControlTextRed);
}

// ---------------------------------------------------------------------------------------
// Resolver

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const platform::Exception& e) {
        return e.Message();
    }
    return {};
}

// A frame with its own controls on two pages and a signal sub-frame of the same names.
class ControlPortQtResolver : public testing::Test {
protected:
    void SetUp() override
    {
        auto* tabs = new QTabWidget(&frame_);
        auto* page = new QWidget;
        auto* other = new QWidget;
        tabs->addTab(page, QStringLiteral("1"));
        tabs->addTab(other, QStringLiteral("2"));
        auto* signal = new QWidget(page);
        signal->setObjectName(QStringLiteral("DaxSignalD"));
        signalTimer_ = new QTimeEdit(signal);
        signalTimer_->setObjectName(QStringLiteral("TimerOn"));
        ownTimer_ = new QTimeEdit(other);
        ownTimer_->setObjectName(QStringLiteral("TimerOn"));
        auto* edit = new QLineEdit(other);
        edit->setObjectName(QStringLiteral("ObjectName"));
    }

    QWidget frame_;
    QTimeEdit* signalTimer_ = nullptr;
    QTimeEdit* ownTimer_ = nullptr;
    QtControlResolver resolver_{&frame_};
};

TEST_F(ControlPortQtResolver, FindsControlsByPathOncePerWidget)
{
    ControlPort& port = resolver_.Resolve("DaxSignalD/TimerOn", ControlClass::TDateTimePicker);
    ASSERT_TRUE(port.SetValue(75));
    EXPECT_EQ(signalTimer_->time(), QTime(1, 15));
    EXPECT_EQ(&resolver_.Resolve("DaxSignalD/TimerOn", ControlClass::TDateTimePicker), &port);
    EXPECT_EQ(resolver_.Find("ObjectName")->Class(), ControlClass::TEdit);
}

TEST_F(ControlPortQtResolver, PrefersTheOwnersControlOverASubFramesOfTheSameName)
{
    ControlPort& own = resolver_.Resolve("TimerOn", ControlClass::TDateTimePicker);
    ASSERT_TRUE(own.SetValue(30));
    EXPECT_EQ(ownTimer_->time(), QTime(0, 30));
}

TEST_F(ControlPortQtResolver, MissingOrWrongControlsAreNamed)
{
    EXPECT_EQ(MessageOf([&] { resolver_.Resolve("DaxSignalE/TimerOn", ControlClass::TDateTimePicker); }),
              "Не найден элемент управления \"DaxSignalE/TimerOn\"");
    EXPECT_EQ(MessageOf([&] { resolver_.Resolve("DaxSignalD/", ControlClass::TDateTimePicker); }),
              "Не найден элемент управления \"DaxSignalD/\"");
    EXPECT_EQ(MessageOf([&] { resolver_.Resolve("", ControlClass::TEdit); }), "Не найден элемент управления \"\"");
    EXPECT_EQ(MessageOf([&] { resolver_.Resolve("ObjectName", ControlClass::TComboBox); }),
              "Элемент управления \"ObjectName\" класса TEdit, а нужен класс TComboBox");
    EXPECT_EQ(resolver_.Find("Nothing"), nullptr);
}

TEST_F(ControlPortQtResolver, ADestroyedWidgetsPortIsNotGivenToItsSuccessor)
{
    ControlPort* first = resolver_.Find("ObjectName");
    ASSERT_NE(first, nullptr);
    delete frame_.findChild<QLineEdit*>(QStringLiteral("ObjectName"));
    EXPECT_EQ(resolver_.Find("ObjectName"), nullptr);
    EXPECT_EQ(first->ComponentName(), "");
    auto* combo = new QComboBox(&frame_);
    combo->setObjectName(QStringLiteral("ObjectName"));
    EXPECT_EQ(resolver_.Resolve("ObjectName", ControlClass::TComboBox).ComponentName(), "ObjectName");
}

} // namespace
