#pragma once

#include "ChanelHelper.h"
#include "GprsProtocol.h"
#include "GprsThread.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class RegistryStore;
}

// Settings of the GPRS channel, kept under \Software\Morvel\DaxConfig\GprsChanel. A plain
// record: the settings frame edits the channel's own copy on the main thread.
struct TGprsChanelParams {
    static constexpr std::string_view kRegistryKey = "\\Software\\Morvel\\DaxConfig\\GprsChanel";
    static constexpr size_t kMaxRecentAddresses = 20;

    int32_t GprsChanelType = 0;              // 0 through a relay server, 1 a real IP address; the same exchange
    int32_t TcpUdpPort = 5100;
    int32_t ChanelTimeout = 6000;            // ms a sent request waits for its answer
    std::string IPAddress;                   // dotted IPv4 address or host name
    std::string DeviceID;                    // at most its first 16 bytes (Windows-1251) are sent
    std::vector<std::string> IPAddressList;  // server addresses used before, most recent first

    // Each value read with its type checked; a missing or mistyped one takes its default.
    void Load(const platform::RegistryStore& store);
    // Puts IPAddress first in the address list (removing equal lines, case aside) and writes all six values.
    void Save(platform::RegistryStore& store);

    GprsConnectSettings ConnectSettings() const { return {IPAddress, TcpUdpPort, DeviceID, ChanelTimeout}; }
};

// The GPRS channel: every operation is a command for its relay thread, which holds
// the connection to the relay server. The device address stays 0: the relay addresses the
// instrument by its device ID. Time-outs set by callers have no effect; a transaction waits
// the channel time-out of the settings.
//
// Open and Close run on the main thread, Transact on workers (several may wait at once).
// The channel must be destroyed only when no caller is waiting in it.
class GprsChanelHelper : public TChanelHelperBase {
public:
    // Loads the settings from the registry and starts the relay thread. With useRegistry
    // false the settings start at their defaults and are never stored (a developer tool that
    // must not change the user's choices).
    explicit GprsChanelHelper(GprsTimings timings = {}, bool useRegistry = true);
    ~GprsChanelHelper() override;

    ChanelKind Kind() const override { return ChanelKind::Gprs; }

    // Connects and makes the handshake, or finds the connection up for the same server and
    // device ID; on success logs comm::kGprsOpenedText and stores the settings; otherwise
    // throws comm::kGprsOpenFailedText after the relay thread's texts have been logged.
    void Open(TInteractContainer* target) override;
    void Close(TInteractContainer* target) override;
    bool IsOpen() override { return open_.load(); }
    // Never throws: a failure is logged (kGprsPacketLostText, kGprsConnectionLostText,
    // kGprsCommandRejectedText of comm) and gives 0 bytes. An answer longer than the buffer is
    // cut to its size.
    int32_t Transact(std::span<const uint8_t> request, std::span<uint8_t> answer, TInteractContainer* target) override;

    // Main thread only (the settings frame edits them); Open takes a copy.
    TGprsChanelParams& Params() { return params_; }
    const TGprsChanelParams& Params() const { return params_; }

    // Stops the relay thread (the destructor does it too); later commands fail with result 3.
    void StopThread();

private:
    std::chrono::milliseconds WaitBound(int32_t ownMs) const;
    int32_t RunCommand(TGprsCommandInteract& command, std::chrono::milliseconds bound, TInteractContainer* target);
    std::string Endpoint() const;

    bool useRegistry_;
    TGprsChanelParams params_;
    GprsTimings timings_;
    std::unique_ptr<GprsCommandQueue> queue_;
    std::unique_ptr<GprsThread> thread_;     // declared after the queue: stopped before it goes
    std::atomic<bool> open_{false};
    std::atomic<int32_t> chanelTimeoutMs_;   // of the last open, for the transactions' bound
    mutable std::mutex endpointMutex_;
    std::string endpoint_;                   // the device ID shown in exchange log lines
};
