#pragma once

#include "Instrument.h"

namespace daxsim {

// A plausible instrument to try the device pages against: the fixture's identification and
// ring layout (the same positions, pointers and one hour record whose check word is wrong),
// records that read like a working heat meter's (the hours, days and months before its clock,
// totals, abnormal situations set and cleared, settings the operator changed), and registers
// that read like a working heat meter. Every register a page binds holds a value its page accepts:
// heat system 1 on the free configuration (two supply pipes, one return, one make-up),
// heat system 2 on scheme "2.5" with its hot-water part, a valid clock date, energies in
// Gcal and pressures in MPa, values inside every range the pages check, list choices inside
// their lists, and a mix of signal types (mask, comparison, timer). Registers no page binds
// are 0, apart from the ring pointers. FixtureState stays for the protocol tests, whose
// registers each hold a distinct pattern.
InstrumentState DemoState(Model model);

} // namespace daxsim
