// Read-all against the simulated instrument at a real line speed, over a pseudo-terminal and
// over TCP. The line itself sets a floor: every byte of request and answer takes 10 bit times,
// and the exchange code makes pauses of its own. This measures what the software adds on top:
//
//   ratio = measured time / (wire time of the bytes exchanged + mandated pauses)
//
// Usage: readall [--baud N]... (default: 19200 and 115200)
#include "Servers.h"
#include "Simulator.h"
#include "comm/ComPortChanel.h"
#include "comm/TcpChanel.h"
#include "device/DaxAlgorithms.h"
#include "device/Daxhelper.h"
#include "platform/Exceptions.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Passes every transaction on and counts the bytes that crossed the line.
class CountingChanel : public TChanelHelperBase {
public:
    explicit CountingChanel(TChanelHelperBase& inner) : inner_(inner) {}
    ChanelKind Kind() const override { return inner_.Kind(); }
    bool IsOpen() override { return inner_.IsOpen(); }
    void SetTimeouts(int32_t first, int32_t between, TInteractContainer* target) override
    {
        inner_.SetTimeouts(first, between, target);
    }
    int32_t Transact(std::span<const uint8_t> request, std::span<uint8_t> answer, TInteractContainer* target) override
    {
        const int32_t received = inner_.Transact(request, answer, target);
        bytes += request.size() + static_cast<uint64_t>(std::max(received, 0));
        ++exchanges;
        return received;
    }
    uint64_t bytes = 0;
    uint64_t exchanges = 0;

private:
    TChanelHelperBase& inner_;
};

// Sleeps for real and adds up what it was asked to sleep.
class SummingPacer : public platform::Pacer {
public:
    void Pause(std::chrono::milliseconds duration) override
    {
        total += duration;
        platform::Pacer::System().Pause(duration);
    }
    std::chrono::milliseconds total{0};
};

struct Result {
    uint64_t bytes;
    uint64_t exchanges;
    double wireMs;
    double pausesMs;
    double measuredMs;
};

Result ReadAll(TChanelHelperBase& chanel, int32_t baud)
{
    chanel.Open(nullptr);
    chanel.SetTimeouts(1000, 20, nullptr);
    CountingChanel counting(chanel);
    SummingPacer pacer;
    DaxHelper helper;
    helper.SetChannel(&counting);
    helper.SetPacer(&pacer);
    DaxReadAllParamsAlgorithm algorithm(&helper, DaxReadAllDataSetup{}, nullptr);
    const auto start = Clock::now();
    algorithm.Run();
    const auto measured = Clock::now() - start;
    chanel.Close(nullptr);
    Result result{};
    result.bytes = counting.bytes;
    result.exchanges = counting.exchanges;
    result.wireMs = static_cast<double>(counting.bytes) * 10.0 * 1000.0 / baud;
    result.pausesMs = static_cast<double>(pacer.total.count());
    result.measuredMs = std::chrono::duration<double, std::milli>(measured).count();
    return result;
}

void Print(const char* line, int32_t baud, const Result& r)
{
    const double floor = r.wireMs + r.pausesMs;
    std::printf("%-4s %6d baud: %7llu bytes in %4llu exchanges, wire %8.1f ms, pauses %6.1f ms, measured %8.1f ms, "
                "ratio %.3f\n",
                line, baud, static_cast<unsigned long long>(r.bytes), static_cast<unsigned long long>(r.exchanges),
                r.wireMs, r.pausesMs, r.measuredMs, r.measuredMs / floor);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int32_t> bauds;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--baud")
            bauds.push_back(std::atoi(argv[i + 1]));
    }
    if (bauds.empty())
        bauds = {19200, 115200};
    try {
        for (const int32_t baud : bauds) {
            daxsim::FaultOptions faults;
            faults.Baud = baud;
            {
                daxsim::Simulator simulator(daxsim::FixtureState(daxsim::Model::Dax02), 1, faults);
                daxsim::PtyServer server(simulator);
                server.Start();
                ComPortChanelHelper chanel(false);
                chanel.Params().ComPortName = server.SlavePath();
                chanel.Params().ComPortSpeed = baud;
                chanel.Params().NetAddr = 1;
                Print("pty", baud, ReadAll(chanel, baud));
                server.Stop();
            }
            {
                daxsim::Simulator simulator(daxsim::FixtureState(daxsim::Model::Dax02), 1, faults);
                daxsim::TcpServer server(simulator, "127.0.0.1", 0);
                server.Start();
                TcpChanelHelper chanel(false);
                chanel.Params().TcpAddress = "127.0.0.1";
                chanel.Params().TcpPort = server.Port();
                chanel.Params().NetAddr = 1;
                Print("tcp", baud, ReadAll(chanel, baud));
                server.Stop();
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "readall: %s\n", error.what());
        return 1;
    }
    return 0;
}
