// How a board's fault shapes the outcome of a programming attempt (docs/simulator.md,
// "Faults"). Pure functions of the fault and what the attempt does.
#pragma once

#include "sim/hub/bench_description.h"

#include <cstdint>

namespace simhub {

// The hub status with which the fault stops a programming write, or 0 when the write goes
// ahead. `verify`: the attempt also verifies ("program" then fails with 8, not 4).
int32_t FaultStopsWrite(Fault fault, bool verify);

// The final status of a verification: after programming (`programmed`) 7 or 8, for a
// verify-only attempt 5, 6 or 12.
int32_t VerifyOutcome(Fault fault, bool programmed);

} // namespace simhub
