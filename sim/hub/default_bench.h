// The bench the library simulates when no bench file is named.
#pragma once

#include <string_view>

namespace simhub {

// The built-in bench, as bench file text.
std::string_view DefaultBenchText();

} // namespace simhub
