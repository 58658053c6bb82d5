#include "sim/hub/bench_file_reader.h"

#include "sim/hub/bench_validator.h"
#include "sim/hub/state_files.h"
#include "sim/hub/utf16_text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <stdexcept>
#include <vector>

namespace simhub {

namespace {

using nlohmann::json;

constexpr std::size_t kMaxBenchFileBytes = 64 * 1024 * 1024;

// A problem at one place of the file; caught at the top and turned into the result's error.
class BenchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw BenchError(where + ": " + what);
}

std::string Quoted(const std::string& text) {
    return json(text).dump(-1, ' ', true, json::error_handler_t::replace);
}

// Bench-wide values that devices inherit when they do not give their own.
struct DeviceDefaults {
    uint32_t programmingMs = kDefaultProgrammingMs;
    uint32_t otpWrites = kDefaultOtpWrites;
    uint32_t otpSize = kDefaultOtpSize;
    uint32_t spiSize = kDefaultSpiSize;
};

void RequireObject(const json& value, const std::string& where,
                   std::initializer_list<const char*> allowed) {
    if (!value.is_object()) {
        Fail(where, "expected an object");
    }
    for (const auto& item : value.items()) {
        const bool known = std::any_of(allowed.begin(), allowed.end(),
                                       [&](const char* name) { return item.key() == name; });
        if (!known && item.key() != "comment") {
            Fail(where, "unknown field " + Quoted(item.key()));
        }
    }
}

int64_t ReadInteger(const json& value, const std::string& where, int64_t minimum, int64_t maximum) {
    if (!value.is_number_integer()) {
        Fail(where, "expected a whole number");
    }
    int64_t number = 0;
    if (value.is_number_unsigned()) {
        const auto raw = value.get<uint64_t>();
        if (raw > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
            Fail(where, "number out of range");
        }
        number = static_cast<int64_t>(raw);
    } else {
        number = value.get<int64_t>();
    }
    if (number < minimum || number > maximum) {
        Fail(where, "expected a number from " + std::to_string(minimum) + " to " +
                        std::to_string(maximum) + ", got " + std::to_string(number));
    }
    return number;
}

uint32_t ReadOptionalU32(const json& object, const char* key, const std::string& where,
                         uint32_t fallback, uint32_t minimum, uint32_t maximum) {
    const auto it = object.find(key);
    if (it == object.end()) {
        return fallback;
    }
    return static_cast<uint32_t>(ReadInteger(*it, where + "." + key, minimum, maximum));
}

std::u16string ReadText(const json& value, const std::string& where, std::size_t maxUnits,
                        bool allowEmpty) {
    if (!value.is_string()) {
        Fail(where, "expected a text");
    }
    std::u16string text = Utf8ToUtf16(value.get<std::string>());
    if (text.empty() && !allowEmpty) {
        Fail(where, "must not be empty");
    }
    if (text.size() > maxUnits) {
        Fail(where, "longer than " + std::to_string(maxUnits) + " UTF-16 characters (" +
                        std::to_string(text.size()) + ")");
    }
    if (text.find(u'\0') != std::u16string::npos) {
        Fail(where, "must not contain a NUL character");
    }
    return text;
}

std::u16string ReadPath(const json& value, const std::string& where) {
    std::u16string path = ReadText(value, where, kMaxPathUnits, false);
    for (const char16_t c : path) {
        if (c < 0x20 || c == 0x7F) {
            Fail(where, "must not contain control characters (tab, line break, ...)");
        }
    }
    return path;
}

std::optional<std::u16string> ReadOptionalText(const json& object, const char* key,
                                               const std::string& where) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return std::nullopt;
    }
    return ReadText(*it, where + "." + key, kMaxTextUnits, true);
}

Uuid ReadUuid(const json& value, const std::string& where) {
    if (!value.is_string()) {
        Fail(where, "expected 32 hex digits as a text");
    }
    const auto text = value.get<std::string>();
    std::vector<uint8_t> bytes;
    if (text.size() != 32 || !HexDecode(text, bytes)) {
        Fail(where, "expected 32 hex digits, got " + Quoted(text));
    }
    Uuid uuid{};
    std::copy(bytes.begin(), bytes.end(), uuid.begin());
    return uuid;
}

int32_t ReadType(const json& value, const std::string& where) {
    if (value.is_string()) {
        const auto name = value.get<std::string>();
        if (name == "hub") {
            return hubabi::kDeviceTypeHub;
        }
        if (name == "device") {
            return hubabi::kDeviceTypeDevice;
        }
        Fail(where, "expected \"hub\", \"device\" or a number, got " + Quoted(name));
    }
    return static_cast<int32_t>(ReadInteger(value, where, std::numeric_limits<int32_t>::min(),
                                            std::numeric_limits<int32_t>::max()));
}

Fault ReadFault(const json& value, const std::string& where) {
    static const std::pair<const char*, Fault> kFaults[] = {
        {"none", Fault::None},       {"open", Fault::Open}, {"program", Fault::Program},
        {"verify", Fault::Verify},   {"spi", Fault::Spi},   {"space", Fault::Space},
        {"otp-full", Fault::OtpFull}};
    if (value.is_string()) {
        const auto name = value.get<std::string>();
        for (const auto& [text, fault] : kFaults) {
            if (name == text) {
                return fault;
            }
        }
        Fail(where, "unknown fault " + Quoted(name) +
                        " (none, open, program, verify, spi, space, otp-full)");
    }
    Fail(where, "expected a fault name");
}

DeviceSpec ReadDevice(const json& value, const std::string& where, const DeviceDefaults& defaults,
                      bool withController) {
    if (withController) {
        RequireObject(value, where,
                      {"controller", "position", "parent", "type", "instanceId", "description",
                       "path", "uuid", "storageMode", "fault", "programmingMs", "otpWrites",
                       "otpSize", "spiSize"});
    } else {
        RequireObject(value, where,
                      {"position", "parent", "type", "instanceId", "description", "path", "uuid",
                       "storageMode", "fault", "programmingMs", "otpWrites", "otpSize", "spiSize"});
    }
    DeviceSpec device;
    const auto required = [&](const char* key) -> const json& {
        const auto it = value.find(key);
        if (it == value.end()) {
            Fail(where, std::string("missing field \"") + key + "\"");
        }
        return *it;
    };
    device.position = static_cast<int32_t>(
        ReadInteger(required("position"), where + ".position", 1, kMaxPosition));
    if (const auto it = value.find("parent"); it != value.end()) {
        device.parent = static_cast<int32_t>(ReadInteger(*it, where + ".parent", 0, kMaxPosition));
    }
    device.type = ReadType(required("type"), where + ".type");
    device.instanceId = ReadOptionalText(value, "instanceId", where);
    if (const auto it = value.find("description"); it != value.end()) {
        device.description = ReadText(*it, where + ".description", kMaxTextUnits, true);
    } else {
        device.description = device.IsHub() ? u"Generic USB Hub" : u"USB Composite Device";
    }
    device.path = ReadPath(required("path"), where + ".path");
    if (const auto it = value.find("uuid"); it != value.end()) {
        device.uuid = ReadUuid(*it, where + ".uuid");
    } else if (device.IsHub()) {
        Fail(where, "missing field \"uuid\" (every hub needs one: its memories are kept by it)");
    }
    if (const auto it = value.find("storageMode"); it != value.end()) {
        device.storageMode = static_cast<int32_t>(ReadInteger(
            *it, where + ".storageMode", hubabi::kStorageSpiPartialCfg, hubabi::kStorageNone));
    }
    if (const auto it = value.find("fault"); it != value.end()) {
        device.fault = ReadFault(*it, where + ".fault");
    }
    device.programmingMs = ReadOptionalU32(value, "programmingMs", where, defaults.programmingMs, 0,
                                           kMaxProgrammingMs);
    device.otpWrites = ReadOptionalU32(value, "otpWrites", where, defaults.otpWrites, 0,
                                       std::numeric_limits<int32_t>::max());
    device.otpSize = ReadOptionalU32(value, "otpSize", where, defaults.otpSize, 0, kMaxMemorySize);
    device.spiSize = ReadOptionalU32(value, "spiSize", where, defaults.spiSize, 0, kMaxMemorySize);
    return device;
}

ControllerSpec ReadController(const json& value, const std::string& where,
                              const DeviceDefaults& defaults) {
    RequireObject(value, where, {"description", "path", "instanceId", "devices"});
    ControllerSpec controller;
    if (const auto it = value.find("description"); it != value.end()) {
        controller.description = ReadText(*it, where + ".description", kMaxTextUnits, true);
    } else {
        controller.description = u"USB Host Controller";
    }
    const auto path = value.find("path");
    if (path == value.end()) {
        Fail(where, "missing field \"path\"");
    }
    controller.path = ReadPath(*path, where + ".path");
    controller.instanceId = ReadOptionalText(value, "instanceId", where);
    if (const auto it = value.find("devices"); it != value.end()) {
        if (!it->is_array()) {
            Fail(where + ".devices", "expected a list");
        }
        for (std::size_t i = 0; i < it->size(); ++i) {
            controller.devices.push_back(ReadDevice(
                (*it)[i], where + ".devices[" + std::to_string(i) + "]", defaults, false));
        }
    }
    return controller;
}

TimelineEntry ReadTimelineEntry(const json& value, const std::string& where,
                                const DeviceDefaults& defaults) {
    RequireObject(value, where, {"atMs", "remove", "arrive"});
    TimelineEntry entry;
    entry.where = where;
    const auto at = value.find("atMs");
    if (at == value.end()) {
        Fail(where, "missing field \"atMs\"");
    }
    entry.atMs = static_cast<uint32_t>(ReadInteger(*at, where + ".atMs", 0, kMaxTimelineMs));
    const auto remove = value.find("remove");
    const auto arrive = value.find("arrive");
    if ((remove == value.end()) == (arrive == value.end())) {
        Fail(where, "needs exactly one of \"remove\" and \"arrive\"");
    }
    if (remove != value.end()) {
        entry.kind = TimelineEntry::Kind::Remove;
        entry.removePath = ReadPath(*remove, where + ".remove");
        return entry;
    }
    entry.kind = TimelineEntry::Kind::Arrive;
    const std::string deviceWhere = where + ".arrive";
    entry.device = ReadDevice(*arrive, deviceWhere, defaults, true);
    const auto controller = arrive->find("controller");
    if (controller == arrive->end()) {
        Fail(deviceWhere, "missing field \"controller\"");
    }
    entry.controller = static_cast<int32_t>(ReadInteger(*controller, deviceWhere + ".controller", 0,
                                                        static_cast<int64_t>(kMaxControllers) - 1));
    return entry;
}

BenchDescription ReadBench(const json& root) {
    RequireObject(root, "bench",
                  {"programmingMs", "otpWrites", "otpSize", "spiSize", "controllers", "timeline"});
    DeviceDefaults defaults;
    defaults.programmingMs = ReadOptionalU32(root, "programmingMs", "bench", kDefaultProgrammingMs,
                                             0, kMaxProgrammingMs);
    defaults.otpWrites = ReadOptionalU32(root, "otpWrites", "bench", kDefaultOtpWrites, 0,
                                         std::numeric_limits<int32_t>::max());
    defaults.otpSize =
        ReadOptionalU32(root, "otpSize", "bench", kDefaultOtpSize, 0, kMaxMemorySize);
    defaults.spiSize =
        ReadOptionalU32(root, "spiSize", "bench", kDefaultSpiSize, 0, kMaxMemorySize);

    BenchDescription bench;
    const auto controllers = root.find("controllers");
    if (controllers == root.end()) {
        Fail("bench", "missing field \"controllers\"");
    }
    if (!controllers->is_array()) {
        Fail("controllers", "expected a list");
    }
    if (controllers->size() > kMaxControllers) {
        Fail("controllers", "more than " + std::to_string(kMaxControllers) + " controllers");
    }
    for (std::size_t i = 0; i < controllers->size(); ++i) {
        bench.controllers.push_back(
            ReadController((*controllers)[i], "controllers[" + std::to_string(i) + "]", defaults));
    }
    if (const auto timeline = root.find("timeline"); timeline != root.end()) {
        if (!timeline->is_array()) {
            Fail("timeline", "expected a list");
        }
        if (timeline->size() > kMaxTimelineEntries) {
            Fail("timeline", "more than " + std::to_string(kMaxTimelineEntries) + " entries");
        }
        for (std::size_t i = 0; i < timeline->size(); ++i) {
            bench.timeline.push_back(
                ReadTimelineEntry((*timeline)[i], "timeline[" + std::to_string(i) + "]", defaults));
        }
        std::stable_sort(
            bench.timeline.begin(), bench.timeline.end(),
            [](const TimelineEntry& a, const TimelineEntry& b) { return a.atMs < b.atMs; });
    }
    return bench;
}

} // namespace

BenchReadResult ParseBenchText(std::string_view text) {
    BenchReadResult result;
    json root;
    try {
        root = json::parse(text.begin(), text.end(), nullptr, true, true);
    } catch (const json::exception& e) {
        // nlohmann's text starts with "[json.exception.parse_error.101] "; keep what follows.
        std::string what = e.what();
        if (const auto close = what.find("] "); close != std::string::npos) {
            what.erase(0, close + 2);
        }
        result.error = "not valid JSON: " + what;
        return result;
    }
    try {
        BenchDescription bench = ReadBench(root);
        result.error = ValidateBench(bench);
        if (result.error.empty()) {
            result.bench = std::move(bench);
        }
    } catch (const BenchError& e) {
        result.error = e.what();
    } catch (const json::exception& e) {
        result.error = std::string("unexpected value: ") + e.what();
    }
    return result;
}

BenchReadResult ReadBenchFile(const std::string& path) {
    BenchReadResult result;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        result.error = "bench file " + Quoted(path) + ": is a folder, not a file";
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.error = "bench file " + Quoted(path) + ": cannot open it: " + std::strerror(errno);
        return result;
    }
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxBenchFileBytes) {
            result.error = "bench file " + Quoted(path) + ": larger than " +
                           std::to_string(kMaxBenchFileBytes) + " bytes";
            return result;
        }
    }
    if (in.bad()) {
        result.error = "bench file " + Quoted(path) + ": cannot read it";
        return result;
    }
    result = ParseBenchText(text);
    if (!result.error.empty()) {
        result.error = "bench file " + Quoted(path) + ": " + result.error;
    }
    return result;
}

} // namespace simhub
