// The simulator facing a hostile client: its request framer on a stream cut into chunks, and
// the instrument's answer to every frame the framer yields (and to what is left at a pause).

#include "FuzzTarget.h"

#include "Instrument.h"
#include "Servers.h"

namespace {

void CheckAnswer(daxsim::Instrument& instrument, std::span<const uint8_t> frame)
{
    const std::vector<uint8_t> answer = instrument.Answer(frame);
    daxfuzz::Require(answer.empty() || (answer.size() >= 5 && daxsim::CrcIsValid(answer)),
                     "an answer is silence or a whole frame with its CRC");
    daxfuzz::Require(answer.size() <= 9 + daxsim::kPageBytes,
                     "no answer is longer than a full archive page");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    daxfuzz::InputReader input(data, size);
    const size_t chunk = 1 + input.Byte() % 32;
    const auto stream = input.Rest();
    return daxfuzz::RunDecoder([&] {
        static const daxsim::InstrumentState fixture = daxsim::FixtureState(daxsim::Model::Dax01);
        daxsim::Instrument instrument(fixture, 1);
        daxsim::RequestFramer framer;
        for (size_t at = 0; at < stream.size(); at += chunk) {
            framer.Append(stream.subspan(at, std::min(chunk, stream.size() - at)));
            while (auto frame = framer.Take()) {
                // A frame of known length is at most a write frame; a runaway stream of unknown
                // frames is cut once it passes kMaxFrame, so within one append of it.
                daxfuzz::Require(frame->size() <= std::max<size_t>(9 + 255, daxsim::RequestFramer::kMaxFrame + chunk),
                                 "the framer keeps no more than a frame and one append");
                CheckAnswer(instrument, *frame);
            }
        }
        CheckAnswer(instrument, framer.TakePending());
        daxfuzz::Require(framer.Empty(), "a pause takes everything gathered");
        daxfuzz::Require(instrument.State().IsValid(), "no request breaks the instrument's state");
    });
}
