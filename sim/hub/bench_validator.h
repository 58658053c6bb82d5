// Checks that a bench and its timeline always form a tree the tool can walk: positions and
// parents, unique device paths (ignoring case) and UUIDs, and every timeline step valid at
// its moment (a removal names a device that is there, an arrival finds its position free and
// its parent present).
#pragma once

#include "sim/hub/bench_description.h"

#include <string>

namespace simhub {

// "" when the bench is valid, else one line saying where and what is wrong.
std::string ValidateBench(const BenchDescription& bench);

} // namespace simhub
