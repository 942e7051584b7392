// CRC throughput: every byte on every channel goes through these.
#include "comm/Crc16.h"

#include <benchmark/benchmark.h>

#include <vector>

static void BM_Crc16Modbus(benchmark::State& state)
{
    std::vector<uint8_t> frame(static_cast<size_t>(state.range(0)), 0x5A);
    for (auto _ : state)
        benchmark::DoNotOptimize(Crc16Modbus(frame));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Crc16Modbus)->Arg(8)->Arg(259);

static void BM_Crc16Ccitt(benchmark::State& state)
{
    std::vector<uint8_t> record(254, 0xA5);
    for (auto _ : state)
        benchmark::DoNotOptimize(Crc16Ccitt(record));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 254);
}
BENCHMARK(BM_Crc16Ccitt);

BENCHMARK_MAIN();
