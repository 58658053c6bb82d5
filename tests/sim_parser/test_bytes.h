// Small helpers shared by the simulated parser tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace simparsertest {

inline std::vector<uint8_t> Bytes(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A file of the source tree (examples/...), read whole; empty when missing.
inline std::vector<uint8_t> SourceFile(const std::string& relativePath) {
    std::ifstream in(std::string(TESSARO_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

inline constexpr std::string_view kFennelConfig = "[hub]\n"
                                                  "vid = 0x5A17\n"
                                                  "pid = 0x7510\n"
                                                  "manufacturer = Kelvane\n"
                                                  "product = Fennel USB Hub\n"
                                                  "ports = 3\n"
                                                  "[port 2]\n"
                                                  "enabled = no\n";

} // namespace simparsertest
