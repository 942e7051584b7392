// The pages follow the instrument's schemes end to end: the device frame reads the simulated
// demo instrument over the real TCP channel, and the current-value pages show what the heat
// systems' schemes use; after another scheme is written from the configuration page and the
// page read again, the layout follows.

#include "FrameOverSimulator.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

using apptest::Child;

class SchemeExchange : public apptest::FrameOverSimulator {
protected:
    void Read(int pageId, bool poll = false)
    {
        frame.ReadPage(pageId, 0, poll);
        Finish();
    }

    // Whether the last exchanges read the holding register.
    bool ReadHolding(int32_t reg)
    {
        for (const daxsim::RequestRecord& r : simulator.RequestLog())
            if (r.Function == 0x03 && r.First <= reg && reg < r.First + r.Count)
                return true;
        return false;
    }

    // The boxes shown on a current-value sub-frame.
    std::vector<std::string> ShownBoxes(const char* subFrame)
    {
        std::vector<std::string> names;
        const auto* outer = frame.findChild<QWidget*>(QString::fromUtf8(subFrame))
                                ->findChild<QGroupBox*>(QStringLiteral("TSGroupBox"));
        for (const QGroupBox* box : outer->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
            if (!box->isHidden())
                names.push_back(box->objectName().toStdString());
        return names;
    }

    template <typename T>
    T* Control(const char* subFrame, const char* name)
    {
        return frame.findChild<QWidget*>(QString::fromUtf8(subFrame))->findChild<T*>(QString::fromUtf8(name));
    }
};

TEST_F(SchemeExchange, AReadShowsWhatTheSchemesUseAndAWrittenSchemeChangesIt)
{
    // Heat system 1 of the demo: the free configuration of one supply pipe and one return, no
    // air channel.
    Read(0);
    EXPECT_EQ(ShownBoxes("TS1_Current"),
              (std::vector<std::string>{"QW1GroupBox", "TS1Params", "TS1TimeGroupBox", "GroupBoxChanel1",
                                        "GroupBoxChanel2"}));
    EXPECT_EQ(Control<QLineEdit>("TS1_Current", "Q1Current")->text().toStdString(), "000000273.151");
    // Heat system 2: "2.5" with its hot-water part on channels 3 to 5.
    Read(2);
    EXPECT_EQ(ShownBoxes("TS2_Current"),
              (std::vector<std::string>{"QW2GroupBox", "TS2Params", "TS2TimeGroupBox", "GroupBoxCW", "GroupBoxChanel3",
                                        "GroupBoxChanel4", "GroupBoxChanel5"}));
    EXPECT_FALSE(Control<QWidget>("TS2_Current", "Q2gvsCurrent")->isHidden());
    Read(4);
    EXPECT_TRUE(Control<QGroupBox>("GeneralCWS_Current", "GroupBoxChanel1")->isHidden());
    EXPECT_FALSE(Control<QGroupBox>("GeneralCWS_Current", "GroupBoxChanel6")->isHidden());

    // The configuration page shows the free configuration's formula and pipe counts.
    Select(11);
    Read(11);
    auto* scheme = Control<QComboBox>("ConfigurationTS1", "SchemeComboBox");
    EXPECT_EQ(scheme->currentText().toStdString(), "5.9");
    EXPECT_EQ(Control<QLineEdit>("ConfigurationTS1", "QFormula")->text().toStdString(), "Q = M1·h1-M2·h2");
    EXPECT_FALSE(Control<QGroupBox>("ConfigurationTS1", "ConfigurationGroupBox")->isHidden());

    // "3.2": one supply line on channel 2, with cold water.
    scheme->setCurrentIndex(12);
    EXPECT_TRUE(Control<QGroupBox>("ConfigurationTS1", "ConfigurationGroupBox")->isHidden());
    Child<QPushButton>(frame, "WritePageParams")->click();
    Finish();
    EXPECT_EQ(simulator.Device().State().Register(40079) & 0xFF, 0x32);
    Read(0);
    EXPECT_EQ(ShownBoxes("TS1_Current"),
              (std::vector<std::string>{"QW1GroupBox", "TS1Params", "TS1TimeGroupBox", "GroupBoxCW", "GroupBoxChanel2"}));
    // Channel 2 takes the first channel place, as channel 3 does on heat system 2's page: the
    // same column, and as far below the energy and parameter boxes as they now stand.
    const auto belowTheTopRow = [this](const char* page, const char* energies, const char* params, const char* chanel) {
        const int topRow = std::max(Control<QGroupBox>(page, energies)->geometry().bottom(),
                                    Control<QGroupBox>(page, params)->geometry().bottom());
        return Control<QGroupBox>(page, chanel)->y() - topRow;
    };
    EXPECT_EQ(Control<QGroupBox>("TS1_Current", "GroupBoxChanel2")->x(),
              Control<QGroupBox>("TS2_Current", "GroupBoxChanel3")->x());
    EXPECT_EQ(belowTheTopRow("TS1_Current", "QW1GroupBox", "TS1Params", "GroupBoxChanel2"),
              belowTheTopRow("TS2_Current", "QW2GroupBox", "TS2Params", "GroupBoxChanel3"));
    EXPECT_EQ(Control<QLineEdit>("ConfigurationTS1", "QFormula")->text().toStdString(), "Q = M2(h2-hх)");
    for (const std::string& text : log.Texts())
        EXPECT_EQ(text, "Конфигурация ТС1 установлена");
}

// The channel opened on a current-value page already shown: the poll finds no scheme in the
// setup image, reads the page's settings with its current values, and lays the page out by
// what the instrument uses; later polls read current values only and keep that layout.
TEST_F(SchemeExchange, APollBeforeAnyReadLaysThePageOutByTheInstrumentsSchemes)
{
    const std::vector<std::string> heatSystem1 = {"QW1GroupBox", "TS1Params", "TS1TimeGroupBox", "GroupBoxChanel1",
                                                  "GroupBoxChanel2"};
    EXPECT_EQ(ShownBoxes("TS1_Current"), std::vector<std::string>{"TSOffGroupBox"});
    Read(0, true);
    EXPECT_TRUE(ReadHolding(40079));
    EXPECT_EQ(ShownBoxes("TS1_Current"), heatSystem1);
    EXPECT_EQ(Control<QLineEdit>("TS1_Current", "Q1Current")->text().toStdString(), "000000273.151");
    simulator.ClearRequestLog();
    Read(0, true);
    EXPECT_FALSE(ReadHolding(40079));
    EXPECT_FALSE(ReadHolding(40180));
    EXPECT_EQ(ShownBoxes("TS1_Current"), heatSystem1);

    // The general page: the cold-water channels switched on, Q3 with them.
    Read(4, true);
    EXPECT_TRUE(ReadHolding(40203));
    EXPECT_TRUE(Control<QGroupBox>("GeneralCWS_Current", "GroupBoxChanel1")->isHidden());
    EXPECT_FALSE(Control<QGroupBox>("GeneralCWS_Current", "GroupBoxChanel6")->isHidden());

    // Heat system 2 likewise, on its own first poll.
    simulator.ClearRequestLog();
    Read(2, true);
    EXPECT_TRUE(ReadHolding(40129));
    EXPECT_EQ(ShownBoxes("TS2_Current"),
              (std::vector<std::string>{"QW2GroupBox", "TS2Params", "TS2TimeGroupBox", "GroupBoxCW", "GroupBoxChanel3",
                                        "GroupBoxChanel4", "GroupBoxChanel5"}));
}

} // namespace
