// The library's own messages: one line each on stderr, prefixed "TessaroKDXLib: ".
#pragma once

#include <string>

namespace simhub {

// Writes the message as one line (line breaks inside it become spaces).
void Complain(const std::string& what);

} // namespace simhub
