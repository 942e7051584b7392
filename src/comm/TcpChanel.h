#pragma once

#include "ChanelHelper.h"
#include "OwedAnswers.h"
#include "platform/RegistryStore.h"
#include "platform/SocketCore.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Settings of the transparent TCP channel, kept under the TcpChanel registry key. A plain
// record: the settings frame edits its fields in place and the next open uses them.
struct TTcpChanelParams {
    static constexpr const char* kRegistryKey = "\\Software\\Morvel\\DaxConfig\\TcpChanel";
    static constexpr size_t kMaxRecentAddresses = 20;

    std::string TcpAddress;                  // gateway host: dotted IPv4 address or a name
    int32_t TcpPort = 4001;                  // 1..65535; anything else is refused at open
    int32_t NetAddr = 0;                     // Modbus network address of the instrument, 0..254
    int32_t TcpTimeout = 1000;               // ms added to every first-byte time-out
    std::vector<std::string> IPAddressList;  // addresses used before, most recent first

    // Each value is taken only when present with the right type; otherwise its default.
    // The key exists afterwards.
    void Load(platform::RegistryStore& store);
    // Puts TcpAddress first in the recent list, then writes all five values.
    void Save(platform::RegistryStore& store);
    // TcpAddress moves to the front of IPAddressList; equal entries (regardless of letter
    // case) are dropped, and the list keeps at most kMaxRecentAddresses entries.
    void RememberAddress();
};

// The transparent TCP channel: a TCP connection to a serial gateway that
// passes RTU frames unchanged. A transaction runs on the caller's thread under the operation
// lock; it returns -1 when no answer byte came (the caller's answer check rejects that). A
// connection the gateway ends closes the channel: the transaction that finds it so logs and
// throws comm::kPeerClosedText, every later one throws it too (until the next Open or Close),
// and IsOpen answers false from then on.
class TcpChanelHelper : public TChanelHelperBase {
public:
    static constexpr int32_t kConnectWaitMs = 5000;
    static constexpr int32_t kInterByteExtraMs = 50;

    // With useRegistry false the settings start at their defaults and are never stored.
    explicit TcpChanelHelper(bool useRegistry = true);
    ~TcpChanelHelper() override;

    ChanelKind Kind() const override { return ChanelKind::Tcp; }

    // Connects with the settings (closing a connection already open first). On failure the
    // channel is closed, nothing is stored, and the message is SocketErrorText of the failure.
    void Open(TInteractContainer* target) override;
    // Returns at once whatever the time-outs: a transaction waiting on the socket is woken
    // first and ends with -1, logging comm::kChannelNotOpenText.
    void Close(TInteractContainer* target) override;
    bool IsOpen() override;
    // The socket waits become first-byte + TcpTimeout and inter-byte + 50 ms.
    void SetTimeouts(int32_t firstByteMs, int32_t interByteMs, TInteractContainer* target) override;
    // Keeps in step with late answers by the rules of comm::OwedAnswers: an answer owed to an
    // earlier request is dropped (logged with comm::kLateAnswerText), never taken for this
    // one's; an answer refused because it did not stand alone gives -1. A connection the peer
    // has ended closes the channel and throws comm::kPeerClosedText.
    int32_t Transact(std::span<const uint8_t> request, std::span<uint8_t> answer,
                     TInteractContainer* target) override;

    TTcpChanelParams& Params() { return params_; }
    // The socket waits now in force (first byte, between bytes); 0, 0 while closed.
    std::pair<int32_t, int32_t> SocketWaits();

private:
    // Ends the connection; with the operation lock held.
    void DropSocket();

    bool useRegistry_;
    TTcpChanelParams params_;
    // Set exactly while the channel is open. Replaced only with both the operation lock and
    // socketMutex_ held; read with either, so Close can wake a transaction without the
    // operation lock.
    std::unique_ptr<TSyncSocket> socket_;
    std::mutex socketMutex_;
    std::atomic<bool> open_{false};         // mirrors socket_ for IsOpen without the lock
    std::atomic<bool> closing_{false};      // Close has woken the socket; the transaction stops
    bool lost_ = false;                     // the peer ended the connection; with the operation lock
    comm::OwedAnswers owed_;                // answers owed on the connection; with the operation lock
    std::string endpoint_;                  // "host:port" of the open connection
};
