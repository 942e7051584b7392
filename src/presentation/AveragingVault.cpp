#include "AveragingVault.h"

#include "AveragingExchangeInfo.h"
#include "Texts.h"

#include "comm/Sysutil.h"

#include <cmath>

namespace texts = presentation;

namespace {

// A value moving by more than this factor away from the average starts a new series.
constexpr double kRestartFactor = 1.05;

} // namespace

bool AveragingRestarts(double a, double v)
{
    if (v == 0)
        return true;
    if (std::fabs(a) > std::fabs(v))
        return std::fabs(a / v) > kRestartFactor;
    return a == 0 || std::fabs(v / a) > kRestartFactor;
}

template <typename T>
    requires std::same_as<T, float> || std::same_as<T, uint16_t>
T AveragingVault<T>::Sample(T v)
{
    const double value = v;
    if (AveragingRestarts(average_, value))
        Reset();
    if (count_ == 0) {
        maximum_ = value;
        minimum_ = value;
    } else {
        if (value > maximum_)
            maximum_ = value;
        if (value < minimum_)
            minimum_ = value;
    }
    sum_ += value;
    ++count_;
    average_ = static_cast<T>(sum_ / static_cast<double>(count_));
    return average_;
}

template <typename T>
    requires std::same_as<T, float> || std::same_as<T, uint16_t>
void AveragingVault<T>::Reset()
{
    sum_ = 0;
    count_ = 0;
    maximum_ = 0;
    minimum_ = 0;
}

template <typename T>
    requires std::same_as<T, float> || std::same_as<T, uint16_t>
double AveragingVault<T>::Spread() const
{
    if (minimum_ == 0)
        return 0;
    return (maximum_ - minimum_) / std::fabs(minimum_) * 100.0;
}

template <typename T>
    requires std::same_as<T, float> || std::same_as<T, uint16_t>
std::string AveragingVault<T>::StatisticsText(const std::string& format) const
{
    const auto formatted = [&format](double value) {
        if constexpr (std::same_as<T, float>)
            return FormatFloat(format, value);
        else
            return FormatBindingInt(format, static_cast<uint16_t>(value));
    };
    return FormatText(texts::kAveragingCountSpreadFormat, static_cast<unsigned>(count_), Spread()) +
           texts::kAveragingMaximumText + formatted(maximum_) + texts::kAveragingMinimumText + formatted(minimum_);
}

template class AveragingVault<float>;
template class AveragingVault<uint16_t>;

template <typename T>
void AveragingExchangeInfo<T>::EnableAveraging(bool on)
{
    averaging_ = on;
    if (!on)
        SetControlHint(std::string(), false);
    ResetAveraging();
}

template <typename T>
T AveragingExchangeInfo<T>::Average(T v)
{
    if (!averaging_)
        return v;
    const T average = vault_.Sample(v);
    SetControlHint(vault_.StatisticsText(Format()), true);
    return average;
}

template class AveragingExchangeInfo<float>;
template class AveragingExchangeInfo<uint16_t>;
