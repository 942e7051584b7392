#pragma once

#include "Instrument.h"

namespace daxsim {

// A plausible instrument to try the device pages against: the fixture's identification and
// ring layout (the same positions, pointers and one hour record whose check word is wrong),
// records that read like a working heat meter's (the hours, days and months before its clock,
// totals, abnormal situations set and cleared, settings the operator changed), and registers
// that read like a working heat meter. Every register a page binds holds a value its page accepts:
// heat system 1 on the free configuration (one supply pipe, one return), heat system 2 on
// scheme "2.5" with its hot-water part, cold water on channel 6, current values that agree
// with the settings and formulas (W3 = W1 + W2, masses from volumes, every channel in use
// reading "Нет ошибок"), a valid clock date, energies in
// Gcal and pressures in MPa, values inside every range the pages check, list choices inside
// their lists, and a mix of signal types (mask, comparison, timer). Registers no page binds
// are 0, apart from the ring pointers. FixtureState stays for the protocol tests, whose
// registers each hold a distinct pattern.
InstrumentState DemoState(Model model);

// The demo's current values `seconds` after it started: the counters grown by the plant's
// flows and heat, flows and temperatures moving a little around their means, from the seconds
// alone (the same requests always get the same answers). DemoState holds those of second 0.
void WriteDemoCurrentValues(InstrumentState& state, uint32_t seconds);

// What dax-sim --demo does before each read of current values (Instrument::SetBeforeCurrentRead):
// a second passes on the demo's clock and the current values are those of the next second.
class DemoMotion {
public:
    void operator()(InstrumentState& state);

private:
    uint32_t seconds_ = 0; // read requests of current values so far
};

} // namespace daxsim
