// Reads a bench file (JSON, format in docs/simulator.md) into a BenchDescription, checking
// every field and then the whole bench with its timeline (bench_validator.h).
#pragma once

#include "sim/hub/bench_description.h"

#include <optional>
#include <string>
#include <string_view>

namespace simhub {

struct BenchReadResult {
    std::optional<BenchDescription> bench;
    std::string error; // one line: where in the file and what is wrong
};

// Parses the text of a bench file; '//' and '/* */' comments are allowed.
BenchReadResult ParseBenchText(std::string_view text);

// Reads and parses the file; errors name the file.
BenchReadResult ReadBenchFile(const std::string& path);

} // namespace simhub
