#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace testsupport {

// A raw pseudo-terminal: the code under test opens SlavePath() as its serial port, the test
// plays the far end on the master side. The fixture keeps its own slave handle open so the
// master never sees a hang-up while the port under test is closed.
class PtyPair {
public:
    PtyPair()
    {
        termios raw{};
        ::cfmakeraw(&raw);
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, &raw, nullptr) == 0)
            path_ = name;
    }
    ~PtyPair()
    {
        if (master_ >= 0)
            ::close(master_);
        if (slave_ >= 0)
            ::close(slave_);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return master_ >= 0; }
    // Ends the far side, as when a USB adapter is unplugged: the port under test sees a hang-up.
    void HangUp()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }
    const std::string& SlavePath() const { return path_; }
    int Master() const { return master_; }

    void Write(std::span<const uint8_t> bytes) const
    {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                return;
            done += static_cast<size_t>(n);
        }
    }

    // Reads until count bytes have come or timeout passed.
    std::vector<uint8_t> Read(size_t count, std::chrono::milliseconds timeout) const
    {
        std::vector<uint8_t> bytes;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (bytes.size() < count) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd entry{master_, POLLIN, 0};
            if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0)
                break;
            uint8_t buffer[512];
            const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
            if (n <= 0)
                break;
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        return bytes;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

} // namespace testsupport
