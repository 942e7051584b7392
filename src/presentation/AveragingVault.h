#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>

// The samples of one averaging binding, for single-precision floats and 16-bit words.
//
// A sample restarts the series when it moves more than 5 percent away from the last average
// (or is 0, or the average is 0); the shown value is the mean of the series, summed in
// double precision oldest first (a float mean is kept as float, a word mean truncated).
// The series itself is not kept: its running sum, count, maximum and minimum give the same
// mean and statistics as a recomputation over every sample, in constant time and memory.
template <typename T>
    requires std::same_as<T, float> || std::same_as<T, uint16_t>
class AveragingVault {
public:
    // Applies the restart rule to v, adds it and returns the new average.
    T Sample(T v);
    // Empties the series; the average stays (it only feeds the next restart test).
    void Reset();

    T Average() const { return average_; }
    uint64_t Count() const { return count_; }
    double Maximum() const { return maximum_; }
    double Minimum() const { return minimum_; }
    // (maximum − minimum) ÷ |minimum| × 100; 0 when the minimum is 0.
    double Spread() const;

    // The hint: count and spread, then maximum and minimum formatted with the binding's
    // format (words truncated to 16 bits first).
    std::string StatisticsText(const std::string& format) const;

private:
    T average_ = 0;       // the average last shown
    double sum_ = 0;      // of the series, oldest first
    uint64_t count_ = 0;  // samples in the series
    double maximum_ = 0;  // of the series (meaningful when count_ > 0)
    double minimum_ = 0;
};

// Whether a new value v restarts a series whose average is a.
bool AveragingRestarts(double a, double v);

extern template class AveragingVault<float>;
extern template class AveragingVault<uint16_t>;
