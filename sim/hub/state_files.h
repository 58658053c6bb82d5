// The state folder of the simulated bench (TESSARO_SIM_STATE, default "sim-state" in the
// working directory) and the small file helpers the library's files share.
#pragma once

#include "sim/hub/bench_description.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace simhub {

// The state folder as an absolute path, read from the environment now.
std::filesystem::path ConfiguredStateFolder();

// Replaces `file` with `content` so that a reader, or a process killed half-way, sees
// either the old or the whole new file: a temporary file in the same folder, then a rename.
// Creates missing folders. "" on success, else what went wrong.
std::string WriteFileAtomically(const std::filesystem::path& file, std::string_view content);

// Reads a whole file; false (with `error`) when it cannot be read.
bool ReadWholeFile(const std::filesystem::path& file, std::string& content, std::string& error);

// 32 upper-case hex digits.
std::string UuidText(const Uuid& uuid);

std::string HexEncode(const std::vector<uint8_t>& bytes);
bool HexDecode(std::string_view text, std::vector<uint8_t>& bytes);

// Now, in UTC: "2026-03-14T09:26:53.589Z".
std::string UtcTimestamp();

} // namespace simhub
