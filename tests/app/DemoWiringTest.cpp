// The demo without an instrument: dax-sim --demo started as a program writes the settings that
// point the configurator's TCP channel at it, and a main window started on those settings
// opens the channel and reads the demo instrument's values.

#include "app/DaxFrame.h"
#include "app/MainFrame.h"

#include "AppTestSupport.h"
#include "Subprocess.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace {

using apptest::Caption;
using apptest::Child;
using apptest::WaitFor;

// The simulator's "on tcp" line (it has written the settings then); empty when it did not
// come within 10 s.
std::string StartDemo(testsupport::Subprocess& simulator)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string line = simulator.ReadLine(std::chrono::seconds(10));
        if (line.find(" on tcp ") != std::string::npos)
            return line;
        if (line.empty())
            break;
    }
    return {};
}

TEST(DemoWiring, TheWindowOpensTheChannelToTheDemoSimulatorOnItsSettings)
{
    const std::string home = std::string(std::getenv("DAXCONFIG_HOME")) + "/demo-home";
    testsupport::Subprocess simulator(
        {DAXSIM_PATH, "--demo", "--tcp", "127.0.0.1:0", "--configurator-settings", home});
    ASSERT_TRUE(simulator.Started());
    const std::string listening = StartDemo(simulator);
    ASSERT_NE(listening, "");
    EXPECT_NE(listening.find("DAX-01 at address 1 on tcp 127.0.0.1:"), std::string::npos) << listening;

    qputenv("DAXCONFIG_HOME", QByteArray::fromStdString(home));
    TMainForm form;
    ASSERT_EQ(Caption(form), QStringLiteral("Открыть"));
    Child<QPushButton>(form, "OpenPort")->click();
    ASSERT_TRUE(WaitFor([&form] { return !form.ChanelJobRunning(); }));
    EXPECT_EQ(Caption(form), QStringLiteral("Закрыть")) << apptest::Console(form).toStdString();

    // Page 4, shown at the start, read with its button: the demo's working time and its one
    // cold-water channel.
    TDax_Frame* frame = form.Frame();
    ASSERT_EQ(frame->CurrentPageId(), 4);
    const auto* workTime = Child<QLineEdit>(*frame, "WorkTime");
    Child<QPushButton>(*frame, "ReadPageParams4")->click();
    EXPECT_TRUE(WaitFor([workTime] { return workTime->text() == QStringLiteral("2160:55"); }))
        << workTime->text().toStdString() << "\n" << apptest::Console(form).toStdString();
    const auto* general = Child<QWidget>(*frame, "GeneralCWS_Current");
    EXPECT_TRUE(Child<QGroupBox>(*general, "GroupBoxChanel1")->isHidden());
    EXPECT_FALSE(Child<QGroupBox>(*general, "GroupBoxChanel6")->isHidden());

    Child<QPushButton>(form, "OpenPort")->click();
    ASSERT_TRUE(WaitFor([&form] { return !form.ChanelJobRunning(); }));
    EXPECT_EQ(Caption(form), QStringLiteral("Открыть"));
}

} // namespace
