#include "sim/common/config_file.h"

#include "sim/common/utf_text.h"

#include <algorithm>
#include <map>
#include <string_view>

namespace simcfg {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Thrown inside the parser only, caught by ParseConfigFile: the first error ends the parse.
struct ParseFailure {
    int line;
    std::string reason;
};

[[noreturn]] void Fail(int line, std::string reason) {
    throw ParseFailure{line, std::move(reason)};
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

// A whole line is a comment when it starts with '#' or ';'.
bool IsCommentLine(std::string_view text) {
    text = Trim(text);
    return text.empty() || text.front() == '#' || text.front() == ';';
}

// What may follow a value or a section header on its line: nothing or a '#' comment.
bool IsLineEnd(std::string_view rest) {
    rest = Trim(rest);
    return rest.empty() || rest.front() == '#';
}

std::string HexDigits(uint32_t value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        out.push_back(kHex[(value >> shift) & 0xFU]);
    }
    return out;
}

// Checks that a line is valid UTF-8 with no control characters but tabs.
void CheckLineText(int line, std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t at = pos;
        char32_t codePoint = 0;
        if (!DecodeUtf8(text, pos, codePoint)) {
            Fail(line, "invalid UTF-8 at column " + std::to_string(at + 1));
        }
        if (codePoint != U'\t' && (codePoint < 0x20 || codePoint == 0x7F)) {
            Fail(line, "control character 0x" + HexDigits(codePoint, 2) + " at column " +
                           std::to_string(at + 1));
        }
    }
}

// A value after '=': either "quoted" (\" and \\ escapes) or plain text up to a '#' comment.
std::string ParseValue(int line, const std::string& key, std::string_view raw) {
    raw = Trim(raw);
    if (!raw.empty() && raw.front() == '"') {
        std::string value;
        std::size_t i = 1;
        for (;; ++i) {
            if (i >= raw.size()) {
                Fail(line, "the quoted value of '" + key + "' has no closing quote");
            }
            const char c = raw[i];
            if (c == '"') {
                break;
            }
            if (c == '\\') {
                if (i + 1 >= raw.size() || (raw[i + 1] != '"' && raw[i + 1] != '\\')) {
                    Fail(line, "unknown escape in the value of '" + key +
                                   "' (only \\\" and \\\\ are allowed)");
                }
                ++i;
                value.push_back(raw[i]);
                continue;
            }
            value.push_back(c);
        }
        if (!IsLineEnd(raw.substr(i + 1))) {
            Fail(line, "unexpected text after the closing quote of '" + key + "'");
        }
        return value;
    }
    const std::size_t hash = raw.find('#');
    std::string_view value = Trim(raw.substr(0, hash));
    if (value.empty()) {
        Fail(line, "key '" + key + "' has no value");
    }
    return std::string(value);
}

// A decimal or 0x-hexadecimal number up to maximum; hexRange shows the limit in hex.
uint32_t ParseNumber(int line, const std::string& key, const std::string& text, uint32_t maximum,
                     bool hexRange) {
    std::string_view digits = text;
    uint64_t base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    uint64_t value = 0;
    for (const char c : digits) {
        uint64_t digit = base;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint64_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<uint64_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<uint64_t>(c - 'A' + 10);
        }
        if (digit >= base) {
            Fail(line, "'" + key + "' value '" + text +
                           "' is not a number (write decimal digits or 0x and hex digits)");
        }
        // Saturate past the maximum: the digits are still checked, the value is too large anyway.
        value = std::min<uint64_t>(value * base + digit, uint64_t{maximum} + 1);
    }
    if (digits.empty()) {
        Fail(line, "'" + key + "' value '" + text + "' is not a number");
    }
    if (value > maximum) {
        const std::string limit = hexRange ? "0x" + HexDigits(maximum, 4) : std::to_string(maximum);
        Fail(line, "'" + key + "' value " + text + " is out of range (at most " + limit + ")");
    }
    return static_cast<uint32_t>(value);
}

bool ParseBool(int line, const std::string& key, const std::string& text) {
    const std::string word = Lower(text);
    if (word == "yes" || word == "true" || word == "on" || word == "1") {
        return true;
    }
    if (word == "no" || word == "false" || word == "off" || word == "0") {
        return false;
    }
    Fail(line, "'" + key + "' value '" + text + "' is not yes or no");
}

std::string ParseDeviceString(int line, const std::string& key, const std::string& text) {
    const std::string why = DeviceTextError(text, kMaxDeviceStringCharacters);
    if (!why.empty()) {
        Fail(line, "'" + key + "' " + why);
    }
    return text;
}

class ConfigFileParser {
public:
    HubSettings Parse(std::string_view text) {
        if (text.starts_with(kByteOrderMark)) {
            text.remove_prefix(kByteOrderMark.size());
        }
        int line = 0;
        while (!text.empty()) {
            ++line;
            const std::size_t end = text.find('\n');
            std::string_view current = text.substr(0, end);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            if (!current.empty() && current.back() == '\r') {
                current.remove_suffix(1);
            }
            ParseLine(line, current);
        }
        Finish();
        return settings_;
    }

private:
    enum class Section { None, Hub, Port };

    void ParseLine(int line, std::string_view text) {
        CheckLineText(line, text);
        const std::string_view trimmed = Trim(text);
        if (IsCommentLine(trimmed)) {
            return;
        }
        if (trimmed.front() == '[') {
            ParseSectionHeader(line, trimmed);
            return;
        }
        const std::size_t equals = trimmed.find('=');
        if (equals == std::string_view::npos) {
            Fail(line, "expected 'key = value', a [section] or a # comment");
        }
        const std::string key = Lower(Trim(trimmed.substr(0, equals)));
        if (key.empty()) {
            Fail(line, "a value without a key");
        }
        for (const char c : key) {
            if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) {
                Fail(line, "key '" + key + "' may hold only letters, digits and '_'");
            }
        }
        if (key == "serial" || key == "serial_number") {
            Fail(line, "a configuration file cannot set a serial number; the tool builds one "
                       "into each hub's configuration block");
        }
        if (section_ == Section::None) {
            Fail(line, "key '" + key + "' is outside a section; begin the file with [hub]");
        }
        const auto [previous, inserted] = keyLines_.emplace(key, line);
        if (!inserted) {
            Fail(line, "key '" + key + "' appears twice in " + sectionName_ + " (first on line " +
                           std::to_string(previous->second) + ")");
        }
        const std::string value = ParseValue(line, key, trimmed.substr(equals + 1));
        if (section_ == Section::Hub) {
            SetHubKey(line, key, value);
        } else {
            SetPortKey(line, key, value);
        }
    }

    void ParseSectionHeader(int line, std::string_view text) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) {
            Fail(line, "section header without a closing ']'");
        }
        if (!IsLineEnd(text.substr(close + 1))) {
            Fail(line, "unexpected text after the section header");
        }
        const std::string name = Lower(Trim(text.substr(1, close - 1)));
        if (name == "hub") {
            if (hubLine_ != 0) {
                Fail(line, "section [hub] appears twice (first on line " +
                               std::to_string(hubLine_) + ")");
            }
            if (section_ != Section::None) {
                Fail(line, "section [hub] must come before the [port N] sections");
            }
            hubLine_ = line;
            EnterSection(Section::Hub, "[hub]");
            return;
        }
        if (name.starts_with("port")) {
            const std::string_view number = Trim(std::string_view(name).substr(4));
            unsigned port = 0;
            bool valid = !number.empty() && number.size() <= 2;
            for (const char c : number) {
                valid = valid && c >= '0' && c <= '9';
                port = port * 10 + static_cast<unsigned>(c - '0');
            }
            if (!valid || port == 0) {
                Fail(line, "section [" + name + "] needs a port number, e.g. [port 1]");
            }
            if (hubLine_ == 0) {
                Fail(line, "section [hub] must come before the [port N] sections");
            }
            FinishHub();
            if (port > settings_.ports.size()) {
                Fail(line, "section [port " + std::to_string(port) + "] is past the hub's " +
                               std::to_string(settings_.ports.size()) + " ports");
            }
            const auto [previous, inserted] = portLines_.emplace(port, line);
            if (!inserted) {
                Fail(line, "section [port " + std::to_string(port) +
                               "] appears twice (first on line " +
                               std::to_string(previous->second) + ")");
            }
            port_ = port;
            EnterSection(Section::Port, "[port " + std::to_string(port) + "]");
            return;
        }
        Fail(line, "unknown section [" + name + "]; expected [hub] or [port N]");
    }

    void EnterSection(Section section, std::string name) {
        section_ = section;
        sectionName_ = std::move(name);
        keyLines_.clear();
    }

    void SetHubKey(int line, const std::string& key, const std::string& value) {
        if (key == "vid") {
            const uint32_t vid = ParseNumber(line, key, value, 0xFFFF, true);
            if (vid == 0) {
                Fail(line, "'vid' 0x0000 is not a vendor ID");
            }
            settings_.vendorId = static_cast<uint16_t>(vid);
        } else if (key == "pid") {
            settings_.productId =
                static_cast<uint16_t>(ParseNumber(line, key, value, 0xFFFF, true));
        } else if (key == "manufacturer") {
            settings_.manufacturer = ParseDeviceString(line, key, value);
        } else if (key == "product") {
            settings_.product = ParseDeviceString(line, key, value);
        } else if (key == "ports") {
            const uint32_t count = ParseNumber(line, key, value, kMaxPorts, false);
            if (count == 0) {
                Fail(line, "'ports' must be at least 1");
            }
            portCount_ = count;
        } else if (key == "self_powered") {
            settings_.selfPowered = ParseBool(line, key, value);
        } else {
            Fail(line, "unknown key '" + key +
                           "' in [hub] (known: vid, pid, manufacturer, product, ports, "
                           "self_powered)");
        }
    }

    void SetPortKey(int line, const std::string& key, const std::string& value) {
        PortSettings& port = settings_.ports[port_ - 1];
        if (key == "enabled") {
            port.enabled = ParseBool(line, key, value);
        } else if (key == "removable") {
            port.removable = ParseBool(line, key, value);
        } else if (key == "max_current") {
            port.maxCurrentMilliamps = static_cast<uint16_t>(
                ParseNumber(line, key, value, kMaxPortCurrentMilliamps, false));
        } else {
            Fail(line, "unknown key '" + key + "' in " + sectionName_ +
                           " (known: enabled, removable, max_current)");
        }
    }

    // The [hub] section is complete: check its required keys and size the port list.
    void FinishHub() {
        if (hubFinished_) {
            return;
        }
        hubFinished_ = true;
        // Called while [hub] is still the current section, so keyLines_ holds its keys.
        if (keyLines_.count("vid") == 0) {
            Fail(hubLine_, "section [hub] has no 'vid' key");
        }
        if (keyLines_.count("pid") == 0) {
            Fail(hubLine_, "section [hub] has no 'pid' key");
        }
        settings_.ports.assign(portCount_, PortSettings{});
    }

    void Finish() {
        if (hubLine_ == 0) {
            Fail(0, "the file has no [hub] section");
        }
        FinishHub();
    }

    HubSettings settings_;
    Section section_ = Section::None;
    std::string sectionName_;
    std::map<std::string, int> keyLines_;
    std::map<unsigned, int> portLines_;
    int hubLine_ = 0;
    bool hubFinished_ = false;
    unsigned portCount_ = kDefaultPorts;
    unsigned port_ = 0;
};

} // namespace

std::string ConfigFileResult::Message() const {
    if (line <= 0) {
        return reason;
    }
    return "line " + std::to_string(line) + ": " + reason;
}

ConfigFileResult ParseConfigFile(const uint8_t* data, std::size_t size) {
    ConfigFileResult result;
    if (size == 0) {
        result.reason = "the file is empty";
        return result;
    }
    if (data == nullptr) {
        result.reason = "the file's data is missing";
        return result;
    }
    if (size > kMaxConfigFileSize) {
        result.reason =
            "the file is larger than " + std::to_string(kMaxConfigFileSize / 1024) + " KiB";
        return result;
    }
    try {
        ConfigFileParser parser;
        result.settings = parser.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
        result.ok = true;
    } catch (const ParseFailure& failure) {
        result.line = failure.line;
        result.reason = failure.reason;
    }
    return result;
}

bool LooksLikeConfigText(const uint8_t* data, std::size_t size) {
    if (data == nullptr || size == 0) {
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t codePoint = 0;
        if (!DecodeUtf8(text, pos, codePoint)) {
            return false;
        }
        if (codePoint < 0x20 && codePoint != U'\t' && codePoint != U'\r' && codePoint != U'\n') {
            return false;
        }
        if (codePoint == 0x7F) {
            return false;
        }
    }
    return true;
}

} // namespace simcfg
