// The time of one show of an averaging binding with few and with many samples held. The
// series is kept as a running sum, count, maximum and minimum, so both times should be
// about equal.
//   build/bench/bench_averaging
#include "presentation/ExchangeKinds.h"
#include "presentation/FakeControl.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kTimedShows = 20000;

// Shows a temperature jittering by at most 1 percent around 20 degrees: no restart.
void ShowJitter(TemperatureExchangeInfo& binding, std::vector<uint8_t>& field, int i)
{
    const auto raw = static_cast<uint16_t>(2000 + (i * 7) % 19 - 9);
    field[0] = static_cast<uint8_t>(raw >> 8);
    field[1] = static_cast<uint8_t>(raw);
    binding.Show();
}

// Mean time of one show, in nanoseconds, with `held` samples in the series. A small series is
// refilled before every timed show; a large one is filled once (refilling it each time would
// take minutes), so its later timed shows hold up to kTimedShows samples more.
double TimeOneShow(uint64_t held)
{
    constexpr uint64_t kRefillLimit = 1000;
    std::vector<uint8_t> field(2);
    FakeControl edit(ControlClass::TEdit, "t1Current");
    TemperatureExchangeInfo binding(field, &edit);
    binding.EnableAveraging(true);
    double total = 0;
    for (int timed = 0; timed < kTimedShows; ++timed) {
        if (timed == 0 || held <= kRefillLimit) {
            binding.ResetAveraging();
            for (uint64_t i = 0; i < held; ++i)
                ShowJitter(binding, field, static_cast<int>(i));
        }
        const auto start = std::chrono::steady_clock::now();
        ShowJitter(binding, field, timed);
        total += std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    }
    if (binding.Vault().Count() <= held)
        std::fprintf(stderr, "the series restarted: %llu samples\n",
                     static_cast<unsigned long long>(binding.Vault().Count()));
    return total / kTimedShows;
}

} // namespace

int main()
{
    for (const uint64_t held : {uint64_t{10}, uint64_t{100000}}) {
        const double ns = TimeOneShow(held);
        std::printf("one show with %llu samples held: %.0f ns\n", static_cast<unsigned long long>(held), ns);
    }
    return 0;
}
