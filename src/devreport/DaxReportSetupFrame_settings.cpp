// The report settings record: its start values, and the thirteen values kept between runs.

#include "DaxReportSetupFrame.h"
#include "Texts.h"

#include "platform/Exceptions.h"
#include "platform/RegistryStore.h"

#include <string>

namespace {

// One stored value, in the order they are read and written.
enum class Kind { Integer, Flag, Text };

struct StoredValue {
    const char* Name;
    Kind Type;
    int32_t Fallback;            // for integers and flags
    int32_t ReportSetupStruct::*Integer;
    bool ReportSetupStruct::*Flag;
    QString ReportSetupStruct::*Text;
};

constexpr StoredValue Integer(const char* name, int32_t ReportSetupStruct::*field)
{
    return {name, Kind::Integer, 0, field, nullptr, nullptr};
}
constexpr StoredValue Flag(const char* name, int32_t fallback, bool ReportSetupStruct::*field)
{
    return {name, Kind::Flag, fallback, nullptr, field, nullptr};
}
constexpr StoredValue Text(const char* name, QString ReportSetupStruct::*field)
{
    return {name, Kind::Text, 0, nullptr, nullptr, field};
}

const StoredValue kStoredValues[] = {
    Integer("ReportType", &ReportSetupStruct::ReportType),
    Integer("ReportData", &ReportSetupStruct::ReportData),
    Flag("TotalValuesShow", 1, &ReportSetupStruct::TotalValuesShow),
    Flag("HourArchiveShow", 0, &ReportSetupStruct::HourArchiveShow),
    Flag("NotStaffInfoShow", 1, &ReportSetupStruct::NotStaffInfoShow),
    Flag("ChanelMShow", 1, &ReportSetupStruct::ChanelMShow),
    Flag("ChanelVShow", 1, &ReportSetupStruct::ChanelVShow),
    Flag("ChanelPShow", 1, &ReportSetupStruct::ChanelPShow),
    Flag("HardwareNSShow", 1, &ReportSetupStruct::HardwareNSShow),
    Flag("ModeFlagsShow", 1, &ReportSetupStruct::ModeFlagsShow),
    Text("Consumer", &ReportSetupStruct::Consumer),
    Text("Supplier", &ReportSetupStruct::Supplier),
    Flag("PrintOnPreviousPage", 1, &ReportSetupStruct::PrintOnPreviousPage),
};

// Opens the key as the registry does: created when absent; false when it neither exists nor
// can be created.
bool OpenKey(platform::RegistryStore& store)
{
    return store.KeyExists(kReportSetupKey) || store.CreateKey(kReportSetupKey);
}

} // namespace

ReportSetupStruct DefaultReportSetup()
{
    ReportSetupStruct setup;
    setup.BeginPeriod = 0;
    setup.EndPeriod = 0;
    setup.ReportType = 0;
    setup.ReportData = 0;
    setup.TotalValuesShow = true;
    setup.HourArchiveShow = false;
    setup.NotStaffInfoShow = true;
    setup.ChanelMShow = true;
    setup.ChanelVShow = true;
    setup.ChanelPShow = true;
    setup.HardwareNSShow = false;
    setup.ModeFlagsShow = false;
    setup.Consumer.clear();
    setup.Supplier.clear();
    setup.PrinterOrientation = 1;
    setup.PrintOnPreviousPage = true;
    return setup;
}

void LoadReportSetup(ReportSetupStruct& setup, platform::RegistryStore& store)
{
    if (!OpenKey(store))
        return;
    // A value of the other type reads as its fallback, as a missing one does.
    for (const StoredValue& value : kStoredValues) {
        switch (value.Type) {
        case Kind::Integer:
            setup.*value.Integer = store.ReadInteger(kReportSetupKey, value.Name, value.Fallback);
            break;
        case Kind::Flag:
            setup.*value.Flag = store.ReadInteger(kReportSetupKey, value.Name, value.Fallback) != 0;
            break;
        case Kind::Text:
            // Kept whole (UTF-8 in the file): a name is not squeezed into an 8-bit code page.
            setup.*value.Text = QString::fromStdString(store.ReadString(kReportSetupKey, value.Name, ""));
            break;
        }
    }
}

void LoadReportSetup(ReportSetupStruct& setup)
{
    platform::RegistryStore store = platform::RegistryStore::CurrentUser();
    LoadReportSetup(setup, store);
}

void SaveReportSetup(const ReportSetupStruct& setup, platform::RegistryStore& store)
{
    if (!OpenKey(store))
        return;
    for (const StoredValue& value : kStoredValues) {
        bool written = false;
        switch (value.Type) {
        case Kind::Integer:
            written = store.WriteInteger(kReportSetupKey, value.Name, setup.*value.Integer);
            break;
        case Kind::Flag:
            written = store.WriteInteger(kReportSetupKey, value.Name, setup.*value.Flag ? 1 : 0);
            break;
        case Kind::Text:
            written = store.WriteString(kReportSetupKey, value.Name, (setup.*value.Text).toStdString());
            break;
        }
        if (!written)
            throw platform::Exception(
                QString::fromUtf8(devreport::kReportSetupWriteFailedText).arg(QString::fromUtf8(value.Name)).toStdString());
    }
}

void SaveReportSetup(const ReportSetupStruct& setup)
{
    platform::RegistryStore store = platform::RegistryStore::CurrentUser();
    SaveReportSetup(setup, store);
}
