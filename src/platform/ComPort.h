#pragma once

#include "Deadline.h"
#include "Exceptions.h"
#include "WakeEvent.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace comprt {

// The device under an open port has gone (a USB adapter unplugged, a pseudo-terminal whose
// other side closed): nothing more can pass through it. The message is kComPortLostText.
class ELineLost : public platform::Exception {
public:
    ELineLost();
};

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
// thrown: platform::Exception with the system's text (kComPortNotOpenText, kNoAnswerText of
// platform/Texts.h), ELineLost when the device has gone, or win_error with the errno value of
// another failed system call. The owning channel serialises all calls; reads additionally serialise
// among themselves. Interrupt alone may be called from any thread at any time.
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
    // no such device, device held by another) throws kComPortNotOpenText; the port stays closed.
    void OpenDevice(const std::string& name);
    // OpenDevice, then the line settings and a first-byte time-out of readTotalTimeoutMs.
    // A speed outside 1200..115200 or a device that refuses the settings closes the port
    // again and throws.
    void Open(const std::string& name, int32_t baud, int32_t readTotalTimeoutMs);
    // Closes the port and ends an interruption.
    void Close();
    // Wakes a read, write or quiet wait in progress on another thread, which then throws
    // kComPortNotOpenText, as does every later operation until Close (or Open). Never blocks,
    // so an owner can end a long wait before it takes the lock the waiting thread holds.
    void Interrupt();
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
    // throws kNoAnswerText. Fewer bytes than asked means the answer stopped early.
    uint32_t Read(std::span<uint8_t> buffer);
    // Reads and drops whatever arrives until the line has been silent for the guard interval or
    // the limit passes; returns the count dropped.
    size_t DiscardUntilQuiet(std::chrono::milliseconds guard, const platform::Deadline& limit);
    // The time of one byte on the line at the port's speed (start, 8 data and stop bit).
    std::chrono::microseconds ByteTime() const;

    // Serial devices under dir (/dev): ttyS*, ttyUSB*, ttyACM*, ttyAMA* and their kin, as full
    // paths in natural order, at most 256; when none is found, /dev/ttyS0 to /dev/ttyS19.
    static std::vector<std::string> ComList(const std::filesystem::path& dir = "/dev");

private:
    class Stream;

    void RequireOpen() const;
    void SetModemLine(int line, bool on);
    // Throws ELineLost for the errors of a device that has gone, win_error for the others.
    [[noreturn]] static void ThrowFailure(int error);

    int handle_ = -1;
    int32_t baud_ = 19200;
    CommTimeouts timeouts_;
    std::mutex readLock_;
    platform::WakeEvent wake_;                // readable while interrupted
    std::atomic<bool> interrupted_{false};
};

} // namespace comprt
