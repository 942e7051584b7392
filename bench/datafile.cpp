// Loading and saving the largest data file the format allows: 65,535 records in each of the
// five archives and two journals (about 86 MB), through DaxHelper as the main window does.
//
//   load ratio   = load time / the time of one read() of the same bytes
//   memory ratio = peak resident memory while loading (or saving) / the file size
//
// Goals: load and save each under 0.5 s, peak memory under twice the file size. The save
// includes flushing the file and its folder to the disk.
//
// Usage: datafile [--records N] [--dir DIR] (default: 65535 records, $TMPDIR or /tmp)
#include "device/Daxhelper.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 3;   // each time is the best of this many runs

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The peak resident set size of this process (VmHWM), in bytes.
uint64_t PeakResident()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) {
            uint64_t kilobytes = 0;
            const char* digits = line.c_str() + line.find_first_of("0123456789");
            std::from_chars(digits, line.c_str() + line.size(), kilobytes);
            return kilobytes * 1024;
        }
    }
    return 0;
}

// Makes the peak start again from what is resident now.
void ResetPeakResident()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

template <typename Record>
void Fill(std::vector<Record>& records, size_t count, uint8_t seed)
{
    records.resize(count);
    for (size_t i = 0; i < count; ++i)
        for (size_t b = 0; b < records[i].bytes.size(); ++b)
            records[i].bytes[b] = static_cast<uint8_t>(seed + i * 7 + b);
}

void FillState(DaxHelper& helper, size_t records)
{
    DaxHelperLocker lock(&helper);
    Fill(helper.HourArchive, records, 1);
    Fill(helper.DayArchive, records, 2);
    Fill(helper.MonthArchive, records, 3);
    Fill(helper.TotalDayArchive, records, 4);
    Fill(helper.TotalMonthArchive, records, 5);
    Fill(helper.NotStaffJournal, records, 6);
    Fill(helper.OperatorJournal, records, 7);
}

// The time of one read() of the whole file into a buffer made beforehand.
double OneReadMs(const std::string& path, uint64_t size)
{
    std::vector<uint8_t> buffer(size);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw win_error(errno);
    const auto start = Clock::now();
    size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    const double ms = MillisecondsSince(start);
    ::close(fd);
    return ms;
}

int Run(int argc, char** argv)
{
    size_t records = 65535;
    std::string dir = std::getenv("TMPDIR") && *std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--records")
            records = std::clamp<size_t>(std::strtoul(argv[i + 1], nullptr, 10), 1, 65535);
        else if (option == "--dir")
            dir = argv[i + 1];
    }
    const std::string path = dir + "/datafile-bench.daxdat";
    const std::string again = dir + "/datafile-bench-again.daxdat";

    // The file itself, from a state built in memory.
    {
        auto helper = std::make_unique<DaxHelper>();
        FillState(*helper, records);
        helper->SaveDataFile(path);
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        throw win_error(errno);
    const uint64_t size = static_cast<uint64_t>(status.st_size);

    double readMs = 1e300;
    for (int run = 0; run < kRuns; ++run)
        readMs = std::min(readMs, OneReadMs(path, size));

    double loadMs = 1e300;
    double saveMs = 1e300;
    uint64_t loadPeak = 0;
    uint64_t savePeak = 0;
    for (int run = 0; run < kRuns; ++run) {
        auto helper = std::make_unique<DaxHelper>();
        helper->SetLogCallback([](const std::string&, TInteractContainer*) {});
        ResetPeakResident();
        auto start = Clock::now();
        helper->LoadDataFile(path);
        loadMs = std::min(loadMs, MillisecondsSince(start));
        loadPeak = std::max(loadPeak, PeakResident());

        ResetPeakResident();
        start = Clock::now();
        helper->SaveDataFile(again);
        saveMs = std::min(saveMs, MillisecondsSince(start));
        savePeak = std::max(savePeak, PeakResident());
    }
    ::unlink(path.c_str());
    ::unlink(again.c_str());

    const double mb = 1024.0 * 1024.0;
    std::printf("file: %zu records of each kind, %llu bytes (%.1f MB)\n", records,
                static_cast<unsigned long long>(size), size / mb);
    std::printf("load: %8.1f ms, one read of the same bytes %6.1f ms, ratio %.2f\n", loadMs, readMs, loadMs / readMs);
    std::printf("save: %8.1f ms (with the flush to the disk)\n", saveMs);
    std::printf("peak resident memory while loading: %6.1f MB, ratio %.2f\n", loadPeak / mb,
                static_cast<double>(loadPeak) / static_cast<double>(size));
    std::printf("peak resident memory while saving:  %6.1f MB, ratio %.2f\n", savePeak / mb,
                static_cast<double>(savePeak) / static_cast<double>(size));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (...) {
        std::fprintf(stderr, "datafile: %s\n", platform::CurrentExceptionMessage().c_str());
        return 1;
    }
}
