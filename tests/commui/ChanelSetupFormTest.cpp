#include "comm/ui/ChanelSetupForm.h"

#include "platform/RegistryStore.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include <map>

namespace {

// Counts the channels each kind made and destroyed.
struct Census {
    std::map<int, int> created;
    std::map<int, int> destroyed;
};

class FakeChanel : public TChanelHelperBase {
public:
    FakeChanel(int kind, Census* census) : kind_(kind), census_(census) { ++census_->created[kind_]; }
    ~FakeChanel() override { ++census_->destroyed[kind_]; }
    ChanelKind Kind() const override { return static_cast<ChanelKind>(kind_); }
    bool IsOpen() override { return open; }
    int KindIndex() const { return kind_; }
    bool open = false;

private:
    int kind_;
    Census* census_;
};

std::vector<ChanelKindEntry> FakeKinds(Census* census)
{
    std::vector<ChanelKindEntry> kinds;
    const QString titles[] = {QStringLiteral("COM порт (RS232 / RS485)"), QStringLiteral("TCP / IP (прозрачный канал)"),
                              QStringLiteral("GPRS сервер")};
    for (int kind = 0; kind < 3; ++kind) {
        kinds.push_back({titles[kind], [kind, census] { return std::make_unique<FakeChanel>(kind, census); },
                         [kind](TChanelHelperBase& chanel, QWidget* parent) -> QWidget* {
                             auto* frame = new QLabel(parent);
                             frame->setObjectName(QStringLiteral("Frame%1").arg(kind));
                             frame->setProperty("chanel", QVariant::fromValue(static_cast<void*>(&chanel)));
                             return frame;
                         }});
    }
    return kinds;
}

int KindOf(const TChanelHelperBase* chanel)
{
    return chanel ? static_cast<const FakeChanel*>(chanel)->KindIndex() : -1;
}

void Pick(TChanelSetupFrame& dialog, int index)
{
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("ChanelComboBox"));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

std::optional<int32_t> StoredKind()
{
    const auto store = platform::RegistryStore::CurrentUser();
    if (!store.ValueExists(TChanelSetupFrame::kRegistryKey, TChanelSetupFrame::kCurentChanelValue))
        return std::nullopt;
    return store.ReadInteger(TChanelSetupFrame::kRegistryKey, TChanelSetupFrame::kCurentChanelValue, -100);
}

TEST(ChanelSetupFrame, StoredKindChoosesTheChannel)
{
    struct Case {
        const char* name;
        std::function<void(platform::RegistryStore&)> store;
        int kind;
    };
    const char* key = TChanelSetupFrame::kRegistryKey;
    const char* value = TChanelSetupFrame::kCurentChanelValue;
    const Case cases[] = {
        {"missing", [](platform::RegistryStore&) {}, 0},
        {"a string", [&](platform::RegistryStore& s) { s.WriteString(key, value, "1"); }, 0},
        {"1", [&](platform::RegistryStore& s) { s.WriteInteger(key, value, 1); }, 1},
        {"2", [&](platform::RegistryStore& s) { s.WriteInteger(key, value, 2); }, 2},
        {"7 names no kind", [&](platform::RegistryStore& s) { s.WriteInteger(key, value, 7); }, 0},
        {"-1 names no kind", [&](platform::RegistryStore& s) { s.WriteInteger(key, value, -1); }, 0},
    };
    for (const auto& c : cases) {
        auto store = platform::RegistryStore::CurrentUser();
        store.DeleteValue(key, value);
        c.store(store);
        Census census;
        TChanelSetupFrame dialog(FakeKinds(&census));
        EXPECT_EQ(KindOf(dialog.Chanel()), c.kind) << c.name;
        EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("ChanelComboBox"))->currentIndex(), c.kind) << c.name;
        EXPECT_NE(dialog.findChild<QWidget*>(QStringLiteral("Frame%1").arg(c.kind)), nullptr) << c.name;
    }
}

TEST(ChanelSetupFrame, TextsOfTheDialog)
{
    Census census;
    TChanelSetupFrame dialog(FakeKinds(&census));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Настройка канала связи"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Канал связи"));
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("ChanelComboBox"));
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(1), QStringLiteral("TCP / IP (прозрачный канал)"));
    EXPECT_FALSE(combo->isEditable());
}

TEST(ChanelSetupFrame, SwitchingKindsMakesAndDropsOnlyTheShownChannel)
{
    Census census;
    TChanelSetupFrame dialog(FakeKinds(&census));
    TChanelHelperBase* inUse = dialog.Chanel();
    Pick(dialog, 1);
    EXPECT_EQ(census.created[1], 1);
    EXPECT_EQ(KindOf(dialog.ShownChanel()), 1);
    EXPECT_EQ(dialog.Chanel(), inUse);
    auto* frame = dialog.findChild<QWidget*>(QStringLiteral("Frame1"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->property("chanel").value<void*>(), dialog.ShownChanel());

    Pick(dialog, 0);
    EXPECT_EQ(census.destroyed[1], 1);
    EXPECT_EQ(census.created[0], 1);
    EXPECT_EQ(census.destroyed[0], 0);
    EXPECT_EQ(dialog.ShownChanel(), inUse);
    EXPECT_NE(dialog.findChild<QWidget*>(QStringLiteral("Frame0")), nullptr);
    EXPECT_EQ(dialog.findChild<QWidget*>(QStringLiteral("Frame1")), nullptr);
}

TEST(ChanelSetupFrame, OkReplacesTheChannelAndStoresTheKind)
{
    Census census;
    TChanelSetupFrame dialog(FakeKinds(&census));
    Pick(dialog, 2);
    dialog.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(KindOf(dialog.Chanel()), 2);
    EXPECT_EQ(census.destroyed[0], 1);
    EXPECT_EQ(StoredKind(), 2);
}

TEST(ChanelSetupFrame, ClosingWithoutOkStoresNothingAndKeepsTheChannel)
{
    Census census;
    TChanelSetupFrame dialog(FakeKinds(&census));
    TChanelHelperBase* inUse = dialog.Chanel();
    Pick(dialog, 1);
    dialog.reject();
    EXPECT_EQ(dialog.Chanel(), inUse);
    EXPECT_EQ(dialog.ShownChanel(), inUse);
    EXPECT_EQ(census.destroyed[1], 1);
    EXPECT_EQ(census.destroyed[0], 0);
    EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("ChanelComboBox"))->currentIndex(), 0);
    EXPECT_EQ(StoredKind(), std::nullopt);
}

TEST(ChanelSetupFrame, ControlsAreDisabledWhileTheChannelIsOpenOrBusy)
{
    Census census;
    TChanelSetupFrame dialog(FakeKinds(&census));
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("ChanelComboBox"));
    auto* panel = dialog.findChild<QWidget*>(QStringLiteral("ParamsPanel"));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OkButton"));

    static_cast<FakeChanel*>(dialog.Chanel())->open = true;
    dialog.show();
    QApplication::processEvents();
    EXPECT_FALSE(combo->isEnabled());
    EXPECT_FALSE(panel->isEnabled());
    EXPECT_FALSE(ok->isEnabled());
    // Even a pick that reaches the dialog leaves the open channel alone.
    emit combo->activated(1);
    EXPECT_EQ(census.created[1], 0);
    dialog.hide();

    static_cast<FakeChanel*>(dialog.Chanel())->open = false;
    bool busy = true;
    dialog.SetBusyCheck([&] { return busy; });
    dialog.show();
    QApplication::processEvents();
    EXPECT_FALSE(combo->isEnabled());
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_TRUE(ok->isEnabled());
    dialog.hide();

    busy = false;
    dialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(combo->isEnabled());
    dialog.hide();
}

TEST(ChanelSetupFrame, AChannelThatCannotBeMadeLeavesNone)
{
    Census census;
    auto kinds = FakeKinds(&census);
    kinds[0].create = []() -> std::unique_ptr<TChanelHelperBase> { throw std::runtime_error("no"); };
    TChanelSetupFrame dialog(std::move(kinds));
    EXPECT_EQ(dialog.Chanel(), nullptr);
    Pick(dialog, 1);
    dialog.accept();
    EXPECT_EQ(KindOf(dialog.Chanel()), 1);
}

} // namespace
