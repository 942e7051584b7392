#pragma once

#include "ChanelHelper.h"
#include "OwedAnswers.h"
#include "platform/ComPort.h"
#include "platform/RegistryStore.h"

#include <string>

// Settings of the serial channel, kept under the ComPortChanel registry key. A plain record:
// the settings frame edits its fields in place and the next open uses them.
struct TComPortChanelParams {
    static constexpr const char* kRegistryKey = "\\Software\\Morvel\\DaxConfig\\ComPortChanel";

    std::string ComPortName;        // device path or a name under /dev; no default
    int32_t ComPortSpeed = 19200;   // baud
    int32_t NetAddr = 0;            // Modbus network address of the instrument, 0..254

    // Each value is taken only when present with the right type; otherwise its default.
    // The key exists afterwards.
    void Load(platform::RegistryStore& store);
    void Save(platform::RegistryStore& store) const;
};

// The channel over a local serial port (RS-232, or RS-485 through a converter). It has no
// thread: a transaction runs on the caller's thread under the operation lock and blocks until
// the answer is in, or throws (kComPortNotOpenText, kNoAnswerText of platform/Texts.h or a
// system error). A port whose device goes away (an adapter unplugged) closes the channel: the
// transaction logs and throws platform::kComPortLostText, and IsOpen answers false from then on.
class ComPortChanelHelper : public TChanelHelperBase {
public:
    // With useRegistry false the settings start at their defaults and are never stored
    // (a developer tool that must not change the user's choices).
    explicit ComPortChanelHelper(bool useRegistry = true);
    ~ComPortChanelHelper() override;

    ChanelKind Kind() const override { return ChanelKind::ComPort; }

    // One all-or-nothing step: the port opened with the settings, DTR raised and RTS lowered.
    // On any failure the port is closed, the settings are not stored and the device address
    // keeps its value.
    void Open(TInteractContainer* target) override;
    // Returns at once whatever the time-outs: a transaction waiting on the port is woken first
    // and ends with platform::kComPortNotOpenText.
    void Close(TInteractContainer* target) override;
    bool IsOpen() override;
    // The first-byte time-out also bounds each write. Throws platform::kComPortNotOpenText when
    // closed.
    void SetTimeouts(int32_t firstByteMs, int32_t interByteMs, TInteractContainer* target) override;
    // Logs and writes the request, reads the answer, logs it, keeping in step with late answers
    // by the rules of comm::OwedAnswers: stale input and answers owed to earlier requests are
    // dropped (logged with comm::kLateAnswerText), never taken for this one's; an answer that
    // had to stand alone and did not is refused with comm::kLateAnswerText.
    int32_t Transact(std::span<const uint8_t> request, std::span<uint8_t> answer,
                     TInteractContainer* target) override;

    TComPortChanelParams& Params() { return params_; }
    // The port's time-outs as set now (for inspection).
    comprt::CommTimeouts PortTimeouts() const { return port_.GetTimeouts(); }

private:
    bool useRegistry_;
    TComPortChanelParams params_;
    comprt::ComPort port_;
    std::string endpoint_;   // the port name of the open port, for the exchange log
    comm::OwedAnswers owed_; // answers owed on the line; with the operation lock
};
