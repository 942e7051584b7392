// The report settings kept between runs: the thirteen values, their fallbacks one by one, and
// a settings file that cannot be written.

#include "ReadOnlyFolder.h"

#include "devreport/DaxReportSetupFrame.h"
#include "platform/Exceptions.h"
#include "platform/RegistryStore.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

namespace {

namespace fs = std::filesystem;

const char* const kKey = "\\Software\\Morvel\\DaxConfig\\ReportSetup";

class ReportSetupRegistry : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::path(std::getenv("DAXCONFIG_HOME")) / "report-setup";
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }

    std::string FileText() const
    {
        std::ifstream in(store_.File(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // The names stored under the key, read from the file itself.
    std::set<std::string> StoredNames() const
    {
        const auto data = nlohmann::json::parse(FileText());
        std::set<std::string> names;
        for (const auto& [name, value] : data.at("Software\\Morvel\\DaxConfig\\ReportSetup").items())
            names.insert(name);
        return names;
    }

    fs::path folder_;
    platform::RegistryStore store_{fs::path(std::getenv("DAXCONFIG_HOME")) / "report-setup" / "registry.json"};
};

TEST_F(ReportSetupRegistry, TheStartValues)
{
    const ReportSetupStruct setup = DefaultReportSetup();
    EXPECT_EQ(setup.BeginPeriod, 0);
    EXPECT_EQ(setup.EndPeriod, 0);
    EXPECT_EQ(setup.ReportType, 0);
    EXPECT_EQ(setup.ReportData, 0);
    EXPECT_TRUE(setup.TotalValuesShow);
    EXPECT_FALSE(setup.HourArchiveShow);
    EXPECT_TRUE(setup.NotStaffInfoShow);
    EXPECT_TRUE(setup.ChanelMShow);
    EXPECT_TRUE(setup.ChanelVShow);
    EXPECT_TRUE(setup.ChanelPShow);
    EXPECT_FALSE(setup.HardwareNSShow);
    EXPECT_FALSE(setup.ModeFlagsShow);
    EXPECT_TRUE(setup.Consumer.isEmpty());
    EXPECT_TRUE(setup.Supplier.isEmpty());
    EXPECT_EQ(setup.PrinterOrientation, 1);
    EXPECT_TRUE(setup.PrintOnPreviousPage);
}

TEST_F(ReportSetupRegistry, AFirstStartCreatesTheEmptyKeyAndTakesTheFallbacks)
{
    ReportSetupStruct setup = DefaultReportSetup();
    setup.PrinterOrientation = 0;
    setup.BeginPeriod = 45000;
    LoadReportSetup(setup, store_);
    EXPECT_TRUE(store_.KeyExists(kKey));
    EXPECT_TRUE(StoredNames().empty());
    // The fallbacks of the load differ from the start values for these two.
    EXPECT_TRUE(setup.HardwareNSShow);
    EXPECT_TRUE(setup.ModeFlagsShow);
    EXPECT_FALSE(setup.HourArchiveShow);
    EXPECT_TRUE(setup.TotalValuesShow);
    // Fields that are not stored are left alone.
    EXPECT_EQ(setup.PrinterOrientation, 0);
    EXPECT_EQ(setup.BeginPeriod, 45000);
}

// One stored value of the wrong type or out of the ordinary, and what the record takes.
struct StoredCase {
    const char* Name;
    std::function<void(platform::RegistryStore&)> Store;
    std::function<bool(const ReportSetupStruct&)> Expected;
};

void PrintTo(const StoredCase& c, std::ostream* os) { *os << c.Name; }

class StoredValues : public ReportSetupRegistry, public testing::WithParamInterface<StoredCase> {};

TEST_P(StoredValues, EachValueFallsBackAlone)
{
    // Every value stored with a value different from its fallback; then the case's change.
    store_.WriteInteger(kKey, "ReportType", 2);
    store_.WriteInteger(kKey, "ReportData", 3);
    for (const char* flag : {"TotalValuesShow", "NotStaffInfoShow", "ChanelMShow", "ChanelVShow", "ChanelPShow",
                             "HardwareNSShow", "ModeFlagsShow", "PrintOnPreviousPage"})
        store_.WriteInteger(kKey, flag, 0);
    store_.WriteInteger(kKey, "HourArchiveShow", 1);
    store_.WriteString(kKey, "Consumer", "ООО Тепло");
    store_.WriteString(kKey, "Supplier", "ТЭЦ-2");
    GetParam().Store(store_);
    ReportSetupStruct setup = DefaultReportSetup();
    LoadReportSetup(setup, store_);
    EXPECT_TRUE(GetParam().Expected(setup));
    // Every other value as stored.
    ReportSetupStruct stored;
    stored.ReportType = 2;
    stored.ReportData = 3;
    stored.HourArchiveShow = true;
    stored.Consumer = QStringLiteral("ООО Тепло");
    stored.Supplier = QStringLiteral("ТЭЦ-2");
    const std::string name = GetParam().Name;
    if (name.find("ReportType") == std::string::npos) {
        EXPECT_EQ(setup.ReportType, 2);
    }
    if (name.find("TotalValuesShow") == std::string::npos) {
        EXPECT_FALSE(setup.TotalValuesShow);
    }
    if (name.find("HourArchiveShow") == std::string::npos) {
        EXPECT_TRUE(setup.HourArchiveShow);
    }
    if (name.find("Consumer") == std::string::npos) {
        EXPECT_EQ(setup.Consumer, stored.Consumer);
    }
    EXPECT_EQ(setup.ReportData, 3);
    EXPECT_EQ(setup.Supplier, stored.Supplier);
    EXPECT_FALSE(setup.ModeFlagsShow);
    EXPECT_FALSE(setup.PrintOnPreviousPage);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredValues,
    testing::Values(
        StoredCase{"TotalValuesShowAsTheStringZeroIsMissing",
                   [](platform::RegistryStore& s) { s.WriteString(kKey, "TotalValuesShow", "0"); },
                   [](const ReportSetupStruct& r) { return r.TotalValuesShow; }},
        StoredCase{"HourArchiveShowFiveIsTrue",
                   [](platform::RegistryStore& s) { s.WriteInteger(kKey, "HourArchiveShow", 5); },
                   [](const ReportSetupStruct& r) { return r.HourArchiveShow; }},
        StoredCase{"HourArchiveShowAsAStringIsMissing",
                   [](platform::RegistryStore& s) { s.WriteString(kKey, "HourArchiveShow", "1"); },
                   [](const ReportSetupStruct& r) { return !r.HourArchiveShow; }},
        StoredCase{"ReportTypeAsAStringIsMissing",
                   [](platform::RegistryStore& s) { s.WriteString(kKey, "ReportType", "2"); },
                   [](const ReportSetupStruct& r) { return r.ReportType == 0; }},
        StoredCase{"ReportTypeOutOfRangeIsTaken",
                   [](platform::RegistryStore& s) { s.WriteInteger(kKey, "ReportType", 7); },
                   [](const ReportSetupStruct& r) { return r.ReportType == 7; }},
        StoredCase{"ConsumerAsANumberIsMissing",
                   [](platform::RegistryStore& s) { s.WriteInteger(kKey, "Consumer", 12); },
                   [](const ReportSetupStruct& r) { return r.Consumer.isEmpty(); }},
        StoredCase{"ConsumerDeletedIsEmpty", [](platform::RegistryStore& s) { s.DeleteValue(kKey, "Consumer"); },
                   [](const ReportSetupStruct& r) { return r.Consumer.isEmpty(); }}),
    [](const testing::TestParamInfo<StoredCase>& info) { return std::string(info.param.Name); });

TEST_F(ReportSetupRegistry, ASaveWritesExactlyTheThirteenValues)
{
    ReportSetupStruct setup = DefaultReportSetup();
    setup.BeginPeriod = 45370;
    setup.EndPeriod = 45380;
    setup.PrinterOrientation = 0;
    setup.ReportType = 7;
    setup.HourArchiveShow = true;
    SaveReportSetup(setup, store_);
    EXPECT_EQ(StoredNames(), (std::set<std::string>{"ReportType", "ReportData", "TotalValuesShow", "HourArchiveShow",
                                                   "NotStaffInfoShow", "ChanelMShow", "ChanelVShow", "ChanelPShow",
                                                   "HardwareNSShow", "ModeFlagsShow", "Consumer", "Supplier",
                                                   "PrintOnPreviousPage"}));
    EXPECT_EQ(store_.ReadInteger(kKey, "ReportType", -1), 7);
    EXPECT_EQ(store_.ReadInteger(kKey, "HourArchiveShow", -1), 1);
    EXPECT_EQ(store_.ReadInteger(kKey, "HardwareNSShow", -1), 0);
    EXPECT_EQ(store_.ReadString(kKey, "Consumer", "-"), "");

    // What comes back after a restart: the stored values, the orientation landscape again.
    ReportSetupStruct next = DefaultReportSetup();
    LoadReportSetup(next, store_);
    EXPECT_EQ(next.ReportType, 7);
    EXPECT_TRUE(next.HourArchiveShow);
    EXPECT_FALSE(next.HardwareNSShow);
    EXPECT_EQ(next.PrinterOrientation, 1);
    EXPECT_EQ(next.BeginPeriod, 0);
}

TEST_F(ReportSetupRegistry, AFlagStoredAsFiveIsSavedAsOne)
{
    store_.WriteInteger(kKey, "HourArchiveShow", 5);
    ReportSetupStruct setup = DefaultReportSetup();
    LoadReportSetup(setup, store_);
    SaveReportSetup(setup, store_);
    EXPECT_EQ(store_.ReadInteger(kKey, "HourArchiveShow", -1), 1);
}

TEST_F(ReportSetupRegistry, NamesOutsideTheEightBitCodePageComeBackWhole)
{
    ReportSetupStruct setup = DefaultReportSetup();
    setup.Consumer = QStringLiteral("Потребитель Ω 😀");
    setup.Supplier = QStringLiteral("Поставщик «Тепло» №1");
    SaveReportSetup(setup, store_);
    ReportSetupStruct loaded = DefaultReportSetup();
    LoadReportSetup(loaded, store_);
    EXPECT_EQ(loaded.Consumer, setup.Consumer);
    EXPECT_EQ(loaded.Supplier, setup.Supplier);
}

TEST_F(ReportSetupRegistry, NoKeyInAnUnwritableFileKeepsTheStartValues)
{
    ReadOnlyFolder readOnly(folder_);
    if (!readOnly.Ok())
        GTEST_SKIP() << "this file system cannot make a folder read-only for this user";
    ReportSetupStruct setup = DefaultReportSetup();
    LoadReportSetup(setup, store_);
    EXPECT_FALSE(setup.HardwareNSShow);
    EXPECT_FALSE(setup.ModeFlagsShow);
    EXPECT_FALSE(fs::exists(store_.File()));
    // Nothing written, nothing said.
    EXPECT_NO_THROW(SaveReportSetup(setup, store_));
    EXPECT_FALSE(fs::exists(store_.File()));
}

TEST_F(ReportSetupRegistry, ASaveIntoAnUnwritableFileRaisesOurTextAndKeepsTheFile)
{
    store_.WriteInteger(kKey, "ReportType", 2);
    const std::string before = FileText();
    ReadOnlyFolder readOnly(folder_);
    if (!readOnly.Ok())
        GTEST_SKIP() << "this file system cannot make a folder read-only for this user";
    // The key exists: a load reads it.
    ReportSetupStruct setup = DefaultReportSetup();
    LoadReportSetup(setup, store_);
    EXPECT_EQ(setup.ReportType, 2);
    EXPECT_TRUE(setup.HardwareNSShow);
    try {
        SaveReportSetup(setup, store_);
        FAIL() << "the save did not fail";
    } catch (const platform::Exception& error) {
        EXPECT_EQ(error.Message(),
                  "Не удалось сохранить параметр отчета \"ReportType\": файл настроек недоступен для записи");
    }
    EXPECT_EQ(FileText(), before);
}

} // namespace
