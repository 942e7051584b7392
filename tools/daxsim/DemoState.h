#pragma once

#include "Instrument.h"

namespace daxsim {

// A plausible instrument to try the device pages and reports against: the fixture's
// identification, and a history from the start of work (15 March 2024, 09:30) to its clock
// (14 June 2024, 10:25): day records from 16 March to 13 June (15 April, a day without power,
// an all-zero skipped record), every hour from 1 May 00:00 to 14 June 09:00 (the hour of
// 20 May 13:00 with a wrong check word), total day records of the same days holding the
// running sums of the day records, month and total month records of March to May, and
// abnormal situations on known May days in every group (channels 1 and 2, both heat systems,
// heat system 1's unnamed bit 9), which the hours of those days carry too; both journals
// have entries on known days of April to June. Counters are multiples of 1/8, so their
// float sums are exact. The registers read like a working heat meter: every register a page
// binds holds a value its page accepts: heat system 1 on the free configuration (one supply
// pipe, one return), heat system 2 on scheme "2.5" with its hot-water part, cold water on
// channel 6, current values that agree with the settings and formulas (W3 = W1 + W2, masses
// from volumes, every channel in use reading "Нет ошибок"), a valid clock date, energies in
// Gcal and pressures in MPa, values inside every range the pages check, list choices inside
// their lists, and a mix of signal types (mask, comparison, timer). Registers no page binds
// are 0, apart from the ring pointers. FixtureState stays for the protocol tests, whose
// registers each hold a distinct pattern.
InstrumentState DemoState(Model model);
// The hour record whose check word does not match: its index in reading order (20 May 13:00).
constexpr size_t kDemoBadHourIndex = 19 * 24 + 13;

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
