#include "ComPort.h"

#include "Exceptions.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace comprt {

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr size_t kMaxNameLength = 255;
constexpr size_t kMaxListedPorts = 256;

const char* const kNotOpen = "COM-порт не открыт";
const char* const kNoAnswer = "Прибор не отвечает";

struct SpeedEntry {
    int32_t baud;
    speed_t code;
};
constexpr SpeedEntry kSpeeds[] = {
    {1200, B1200}, {2400, B2400}, {4800, B4800}, {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};

int32_t RemainingMs(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
    return static_cast<int32_t>(std::clamp<long long>(left, 0, INT32_MAX));
}

// Time of one byte on the line (start, 8 data and stop bit), rounded up to whole ms.
int32_t ByteTimeMs(int32_t baud)
{
    return baud > 0 ? (10000 + baud - 1) / baud : 1;
}

} // namespace

ComPort::~ComPort()
{
    Close();
}

bool ComPort::IsSupportedSpeed(int32_t baud)
{
    return std::any_of(std::begin(kSpeeds), std::end(kSpeeds), [baud](const SpeedEntry& e) { return e.baud == baud; });
}

std::string ComPort::DevicePath(const std::string& name)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return name;
    return "/dev/" + name;
}

void ComPort::OpenDevice(const std::string& name)
{
    Close();
    const std::string path = DevicePath(name);
    if (path.empty() || path.size() > kMaxNameLength)
        throw platform::Exception(kNotOpen);
    const int handle = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0)
        throw platform::Exception(kNotOpen);
    if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
        ::close(handle);
        throw platform::Exception(kNotOpen);
    }
    handle_ = handle;
}

void ComPort::Open(const std::string& name, int32_t baud, int32_t readTotalTimeoutMs)
{
    OpenDevice(name);
    const auto speed = std::find_if(std::begin(kSpeeds), std::end(kSpeeds),
                                    [baud](const SpeedEntry& e) { return e.baud == baud; });
    if (speed == std::end(kSpeeds)) {
        Close();
        throw platform::Exception("Недопустимая скорость порта: " + std::to_string(baud) +
                                  " (допустимы 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200)");
    }
    termios settings{};
    if (::tcgetattr(handle_, &settings) != 0) {
        const int error = errno;
        Close();
        throw win_error(error);
    }
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::cfsetispeed(&settings, speed->code) != 0 || ::cfsetospeed(&settings, speed->code) != 0 ||
        ::tcsetattr(handle_, TCSANOW, &settings) != 0) {
        const int error = errno;
        Close();
        throw win_error(error);
    }
    baud_ = baud;
    timeouts_ = CommTimeouts{0, readTotalTimeoutMs, 0};
}

void ComPort::Close()
{
    if (handle_ < 0)
        return;
    ::close(handle_);   // also releases the flock
    handle_ = -1;
}

void ComPort::RequireOpen() const
{
    if (handle_ < 0)
        throw platform::Exception(kNotOpen);
}

CommTimeouts ComPort::GetTimeouts() const
{
    RequireOpen();
    return timeouts_;
}

void ComPort::SetTimeouts(const CommTimeouts& timeouts)
{
    RequireOpen();
    timeouts_ = timeouts;
}

void ComPort::PurgeReceive()
{
    RequireOpen();
    if (::tcflush(handle_, TCIFLUSH) != 0)
        throw win_error(errno);
}

void ComPort::SetModemLine(int line, bool on)
{
    RequireOpen();
    if (::ioctl(handle_, on ? TIOCMBIS : TIOCMBIC, &line) != 0) {
        const int error = errno;
        // Pseudo-terminals and some adapters have no modem lines; that is no failure.
        if (error == ENOTTY || error == EINVAL || error == ENOTSUP)
            return;
        throw win_error(error);
    }
}

void ComPort::SetDtr(bool on)
{
    SetModemLine(TIOCM_DTR, on);
}

void ComPort::SetRts(bool on)
{
    SetModemLine(TIOCM_RTS, on);
}

void ComPort::Write(std::span<const uint8_t> bytes)
{
    RequireOpen();
    const int32_t allowance = timeouts_.WriteTotalTimeoutConstant > 0 ? timeouts_.WriteTotalTimeoutConstant : 1000;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(allowance) +
                          std::chrono::milliseconds(static_cast<int64_t>(bytes.size()) * ByteTimeMs(baud_));
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(handle_, bytes.data() + written, bytes.size() - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            throw win_error(errno);
        pollfd entry{handle_, POLLOUT, 0};
        const int ready = ::poll(&entry, 1, RemainingMs(deadline));
        if (ready == 0)
            throw win_error(ETIMEDOUT);
        if (ready < 0 && errno != EINTR)
            throw win_error(errno);
    }
}

uint32_t ComPort::Read(std::span<uint8_t> buffer)
{
    RequireOpen();
    std::lock_guard lock(readLock_);
    const CommTimeouts timeouts = timeouts_;
    const int32_t firstByte = std::max<int32_t>(timeouts.ReadTotalTimeoutConstant, 0);
    const int32_t interval = std::max<int32_t>(timeouts.ReadIntervalTimeout, 0);
    const auto start = SteadyClock::now();
    const auto firstDeadline = start + std::chrono::milliseconds(firstByte);
    const auto cap = firstDeadline + std::chrono::milliseconds(static_cast<int64_t>(buffer.size()) *
                                                               (interval + ByteTimeMs(baud_)));
    size_t total = 0;
    while (total < buffer.size()) {
        int32_t wait;
        if (total == 0 || interval == 0)
            wait = RemainingMs(total == 0 ? firstDeadline : cap);
        else
            wait = std::min(interval, RemainingMs(cap));
        pollfd entry{handle_, POLLIN, 0};
        const int ready = ::poll(&entry, 1, wait);
        if (ready == 0)
            break;
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            throw win_error(errno);
        }
        const ssize_t n = ::read(handle_, buffer.data() + total, buffer.size() - total);
        if (n > 0) {
            total += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            continue;
        // End of file or a line that went away: the answer is what came so far.
        if (total > 0)
            break;
        if (n < 0)
            throw win_error(errno);
        // A hang-up before any byte: waiting on would only spin; nothing will come.
        throw platform::Exception(kNoAnswer);
    }
    if (total == 0)
        throw platform::Exception(kNoAnswer);
    return static_cast<uint32_t>(total);
}

std::vector<std::string> ComPort::ComList(const std::filesystem::path& dir)
{
    static const char* const kPrefixes[] = {"ttyS", "ttyUSB", "ttyACM", "ttyAMA", "ttyXRUSB", "ttymxc", "ttyO", "rfcomm"};
    struct Found {
        size_t prefixIndex;
        std::string prefix;
        uint64_t number;
        std::string name;
    };
    std::vector<Found> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        const std::string name = entry.path().filename().string();
        for (size_t i = 0; i < std::size(kPrefixes); ++i) {
            const std::string_view prefix = kPrefixes[i];
            if (!name.starts_with(prefix) || name.size() == prefix.size() || name.size() > prefix.size() + 9)
                continue;
            const std::string_view digits = std::string_view(name).substr(prefix.size());
            if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
                continue;
            found.push_back({i, std::string(prefix), std::stoull(std::string(digits)), name});
            break;
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.prefixIndex != b.prefixIndex ? a.prefixIndex < b.prefixIndex : a.number < b.number;
    });
    std::vector<std::string> list;
    for (const Found& f : found) {
        if (list.size() == kMaxListedPorts)
            break;
        list.push_back((dir / f.name).string());
    }
    if (list.empty()) {
        for (int i = 0; i < 20; ++i)
            list.push_back("/dev/ttyS" + std::to_string(i));
    }
    return list;
}

} // namespace comprt
