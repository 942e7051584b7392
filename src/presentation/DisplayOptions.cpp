#include "DisplayOptions.h"

#include "platform/RegistryStore.h"

void DisplayOptions::Load(platform::RegistryStore& store)
{
    if (!store.KeyExists(kRegistryKey) && !store.CreateKey(kRegistryKey))
        return;
    AccuracyCounters = store.ReadInteger(kRegistryKey, "AccuracyCounters", 0) != 0;
    ShowNotStaffQT = store.ReadInteger(kRegistryKey, "ShowNotStaffQT", 0) != 0;
    CommaSeparator = store.ReadInteger(kRegistryKey, "CommaSeparator", 0);
    TimeFormat = store.ReadInteger(kRegistryKey, "TimeFormat", 0);
    BitsFormat = store.ReadInteger(kRegistryKey, "BitsFormat", 0);
}

void DisplayOptions::Save(platform::RegistryStore& store) const
{
    store.WriteInteger(kRegistryKey, "AccuracyCounters", AccuracyCounters ? 1 : 0);
    store.WriteInteger(kRegistryKey, "ShowNotStaffQT", ShowNotStaffQT ? 1 : 0);
    store.WriteInteger(kRegistryKey, "CommaSeparator", CommaSeparator);
    store.WriteInteger(kRegistryKey, "TimeFormat", TimeFormat);
    store.WriteInteger(kRegistryKey, "BitsFormat", BitsFormat);
}
