#include "ExchangeOptions.h"

#include "ExchangeKinds.h"

#include "platform/Exceptions.h"

void ApplyOptions(ExchangeInfoContainer& container, const DisplayOptions& options, char systemSeparator)
{
    container.ForEach(-1, [&](ExchangeInfo& binding) {
        binding.SetSeparatorMode(options.CommaSeparator, systemSeparator);
        if (binding.GetType() == ExchangeTypeCode::Exact)
            binding.SetFormat(options.AccuracyCounters ? "%016.6f" : "%013.3f");
        if (auto* duration = dynamic_cast<TotalTimeExchangeInfo*>(&binding);
            duration != nullptr && binding.GetType() == ExchangeTypeCode::TotalTime)
            duration->SetDaysSwitch(options.TimeFormat != 0);
    });
}

void SetPressureUnits(ExchangeInfoContainer& container, uint8_t unit)
{
    container.ForEach(-1, [&](ExchangeInfo& binding) {
        if (auto* pressure = dynamic_cast<PressureExchangeInfo*>(&binding);
            pressure != nullptr && binding.GetType() == ExchangeTypeCode::Pressure)
            pressure->SetUnitSwitch(unit != 0);
    });
}

void ShowPressuresAgain(ExchangeInfoContainer& container, const std::function<void(const std::string&)>& onError)
{
    container.ForEach(-1, [&](ExchangeInfo& binding) {
        if (binding.GetType() != ExchangeTypeCode::Pressure)
            return;
        binding.ResetAveraging();
        try {
            binding.Show();
        } catch (const platform::Exception& failure) {
            if (onError)
                onError(failure.Message());
        }
    });
}

void EnableGroupAveraging(ExchangeInfoContainer& container, int32_t group, bool on)
{
    container.ForEach(group, [on](ExchangeInfo& binding) { binding.EnableAveraging(on); });
}

void ResetGroupAveraging(ExchangeInfoContainer& container, int32_t group)
{
    container.ForEach(group, [](ExchangeInfo& binding) { binding.ResetAveraging(); });
}
