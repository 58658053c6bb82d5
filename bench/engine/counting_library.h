// Counts the calls the device records make into the hub library: the entry points the
// records use are replaced by counting ones that forward to the library, and the device tree
// they get is wrapped so its nodes' calls are counted too.
#pragma once

#include <cstdint>

namespace countinglibrary {

// Installs the counting entry points (once the records' library handle is taken).
void Install();
// Calls counted since the last reset.
uint64_t Calls();
void Reset();

} // namespace countinglibrary
