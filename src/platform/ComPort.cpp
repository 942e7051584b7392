#include "ComPort.h"

#include "ByteStream.h"
#include "Format.h"
#include "Texts.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace comprt {

namespace {

using platform::Deadline;

constexpr size_t kMaxNameLength = 255;
constexpr size_t kMaxListedPorts = 256;


struct SpeedEntry {
    int32_t baud;
    speed_t code;
};
constexpr SpeedEntry kSpeeds[] = {
    {1200, B1200}, {2400, B2400}, {4800, B4800}, {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};

// Time of one byte on the line (start, 8 data and stop bit), rounded up to whole ms.
int32_t ByteTimeMs(int32_t baud)
{
    return baud > 0 ? (10000 + baud - 1) / baud : 1;
}

constexpr short kGoneEvents = POLLHUP | POLLERR | POLLNVAL;

} // namespace

ELineLost::ELineLost() : platform::Exception(platform::kComPortLostText) {}

// The port as the shared answer loops see it. Every wait also watches the interruption, which
// ends the operation with platform::kComPortNotOpenText.
class ComPort::Stream final : public platform::ByteStream {
public:
    explicit Stream(ComPort& port) : port_(port) {}

    Wait WaitReadable(const Deadline& deadline) override
    {
        for (;;) {
            pollfd entries[2] = {{port_.handle_, POLLIN, 0}, {port_.wake_.Handle(), POLLIN, 0}};
            const int ready = ::poll(entries, 2, deadline.RemainingMs());
            if (ready < 0) {
                if (errno == EINTR)
                    continue;
                error_ = errno;
                return Wait::Failed;
            }
            if (entries[1].revents != 0 || port_.interrupted_.load())
                throw platform::Exception(platform::kComPortNotOpenText);
            if (ready == 0) {
                if (deadline.Passed())
                    return Wait::TimedOut;
                continue;
            }
            // A hang-up may come with the last bytes still buffered: those are read first.
            hungUp_ = (entries[0].revents & kGoneEvents) != 0;
            if (hungUp_ && (entries[0].revents & POLLIN) == 0)
                return Wait::HungUp;
            return Wait::Ready;
        }
    }

    ReadResult ReadSome(std::span<uint8_t> buffer) override
    {
        const ssize_t n = ::read(port_.handle_, buffer.data(), buffer.size());
        if (n > 0)
            return {Read::Data, static_cast<size_t>(n)};
        // A raw terminal read finds nothing also on a live line; after a hang-up nothing more comes.
        if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            return {hungUp_ ? Read::Closed : Read::Nothing};
        error_ = errno;
        return {Read::Failed};
    }

    int Error() const override { return error_; }

private:
    ComPort& port_;
    bool hungUp_ = false;
    int error_ = 0;
};

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
        throw platform::Exception(platform::kComPortNotOpenText);
    const int handle = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0)
        throw platform::Exception(platform::kComPortNotOpenText);
    if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
        ::close(handle);
        throw platform::Exception(platform::kComPortNotOpenText);
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
        throw platform::Exception(platform::Format(platform::kBadPortSpeedFormat, baud));
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
    if (handle_ >= 0) {
        ::close(handle_);   // also releases the flock
        handle_ = -1;
    }
    interrupted_.store(false);
    wake_.Clear();
}

void ComPort::Interrupt()
{
    interrupted_.store(true);
    wake_.Signal();
}

void ComPort::RequireOpen() const
{
    if (handle_ < 0 || interrupted_.load())
        throw platform::Exception(platform::kComPortNotOpenText);
}

void ComPort::ThrowFailure(int error)
{
    // What a serial device answers once it has been unplugged or its other side has closed.
    if (error == EIO || error == ENXIO || error == ENODEV)
        throw ELineLost();
    throw win_error(error);
}

std::chrono::microseconds ComPort::ByteTime() const
{
    return std::chrono::microseconds(baud_ > 0 ? 10'000'000 / baud_ : 10'000);
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
        ThrowFailure(errno);
}

void ComPort::SetModemLine(int line, bool on)
{
    RequireOpen();
    if (::ioctl(handle_, on ? TIOCMBIS : TIOCMBIC, &line) != 0) {
        const int error = errno;
        // Pseudo-terminals and some adapters have no modem lines; that is no failure.
        if (error == ENOTTY || error == EINVAL || error == ENOTSUP)
            return;
        ThrowFailure(error);
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
    const Deadline deadline = Deadline::After(std::chrono::milliseconds(allowance) +
                                              std::chrono::milliseconds(static_cast<int64_t>(bytes.size()) *
                                                                        ByteTimeMs(baud_)));
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(handle_, bytes.data() + written, bytes.size() - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            ThrowFailure(errno);
        pollfd entries[2] = {{handle_, POLLOUT, 0}, {wake_.Handle(), POLLIN, 0}};
        const int ready = ::poll(entries, 2, deadline.RemainingMs());
        if (ready < 0 && errno != EINTR)
            throw win_error(errno);
        if (entries[1].revents != 0 || interrupted_.load())
            throw platform::Exception(platform::kComPortNotOpenText);
        if (ready > 0 && (entries[0].revents & kGoneEvents) != 0)
            throw ELineLost();
        if (ready == 0 && deadline.Passed())
            throw win_error(ETIMEDOUT);
    }
}

uint32_t ComPort::Read(std::span<uint8_t> buffer)
{
    RequireOpen();
    std::lock_guard lock(readLock_);
    const CommTimeouts timeouts = timeouts_;
    const int32_t firstByte = std::max<int32_t>(timeouts.ReadTotalTimeoutConstant, 0);
    const int32_t interval = std::max<int32_t>(timeouts.ReadIntervalTimeout, 0);
    platform::AnswerWaits waits;
    waits.firstByte = std::chrono::milliseconds(firstByte);
    // An interval of 0 is not used: then only the whole-answer cap ends a slow answer.
    if (interval > 0)
        waits.interByte = std::chrono::milliseconds(interval);
    waits.cap = Deadline::After(std::chrono::milliseconds(firstByte) +
                                std::chrono::milliseconds(static_cast<int64_t>(buffer.size()) *
                                                          (interval + ByteTimeMs(baud_))));
    Stream stream(*this);
    const platform::AnswerResult result = platform::ReceiveAnswer(stream, buffer, waits);
    if (result.end == platform::AnswerEnd::Closed)
        throw ELineLost();
    if (result.end == platform::AnswerEnd::Failed)
        ThrowFailure(result.error);
    if (result.count == 0)
        throw platform::Exception(platform::kNoAnswerText);
    return static_cast<uint32_t>(result.count);
}

size_t ComPort::DiscardUntilQuiet(std::chrono::milliseconds guard, const Deadline& limit)
{
    RequireOpen();
    std::lock_guard lock(readLock_);
    Stream stream(*this);
    const platform::QuietResult result = platform::DiscardUntilQuiet(stream, guard, limit);
    if (result.end == platform::AnswerEnd::Closed)
        throw ELineLost();
    if (result.end == platform::AnswerEnd::Failed)
        ThrowFailure(result.error);
    return result.discarded;
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
