#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace comprt {

// The port's time-outs, in milliseconds.
struct CommTimeouts {
    int32_t ReadIntervalTimeout = 0;        // a pause after a received byte this long ends an answer; 0: not used
    int32_t ReadTotalTimeoutConstant = 0;   // how long a read waits for the first byte
    int32_t WriteTotalTimeoutConstant = 0;  // how long a write may take; 0: one second plus the bytes' time
};

// One serial port over termios: 8 data bits, no parity, one stop bit, no flow control,
// raw bytes. The port is held exclusively (flock) while open, so a second opener, in this
// program or another that respects the lock, is refused.
//
// Every operation runs on the caller's thread and blocks until it completes; failures are
// thrown: platform::Exception with the system's text ("COM-порт не открыт", "Прибор не
// отвечает") or win_error with the errno value of a failed system call. The owning channel
// serialises all calls; reads additionally serialise among themselves.
class ComPort {
public:
    ComPort() = default;
    ~ComPort();
    ComPort(const ComPort&) = delete;
    ComPort& operator=(const ComPort&) = delete;

    // The speeds offered and accepted, 1200 to 115200 baud.
    static bool IsSupportedSpeed(int32_t baud);
    // The device path of a port name: a name without '/' is taken under /dev.
    static std::string DevicePath(const std::string& name);

    // Closes the port if open, then opens the device. Any failure (empty or too long name,
    // no such device, device held by another) throws "COM-порт не открыт"; the port stays closed.
    void OpenDevice(const std::string& name);
    // OpenDevice, then the line settings and a first-byte time-out of readTotalTimeoutMs.
    // A speed outside 1200..115200 or a device that refuses the settings closes the port
    // again and throws.
    void Open(const std::string& name, int32_t baud, int32_t readTotalTimeoutMs);
    void Close();
    bool IsOpen() const { return handle_ >= 0; }

    CommTimeouts GetTimeouts() const;
    void SetTimeouts(const CommTimeouts& timeouts);
    // Discards what has been received and not yet read.
    void PurgeReceive();
    // Raise or lower a modem line; a line that has none (a pseudo-terminal) is left alone.
    void SetDtr(bool on);
    void SetRts(bool on);

    // Writes all bytes within the write time-out.
    void Write(std::span<const uint8_t> bytes);
    // Reads one answer of at most buffer.size() bytes and returns the count received. The
    // answer ends when the buffer is full, when the pause after a byte exceeds the interval
    // time-out, or at the whole-answer cap (first-byte time-out plus, per byte, the interval
    // time-out and the byte's time on the line). No byte within the first-byte time-out
    // throws "Прибор не отвечает". Fewer bytes than asked means the answer stopped early.
    uint32_t Read(std::span<uint8_t> buffer);

    // Serial devices under dir (/dev): ttyS*, ttyUSB*, ttyACM*, ttyAMA* and their kin, as full
    // paths in natural order, at most 256; when none is found, /dev/ttyS0 to /dev/ttyS19.
    static std::vector<std::string> ComList(const std::filesystem::path& dir = "/dev");

private:
    void RequireOpen() const;
    void SetModemLine(int line, bool on);

    int handle_ = -1;
    int32_t baud_ = 19200;
    CommTimeouts timeouts_;
    std::mutex readLock_;
};

} // namespace comprt
