#include "topology/ini_text.h"

#include <QStringDecoder>

#include <climits>
#include <cstdint>

namespace ini {

namespace {

std::string AsciiFold(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        c = AsciiLower(c);
    }
    return folded;
}

} // namespace

std::string_view TrimBlanks(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

bool IsValidUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        int follow = 0;
        std::uint32_t code = 0;
        std::uint32_t minimum = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1;
            code = lead & 0x1Fu;
            minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2;
            code = lead & 0x0Fu;
            minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3;
            code = lead & 0x07u;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (end - p <= follow) {
            return false;
        }
        for (int i = 1; i <= follow; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (p[i] & 0x3Fu);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        p += follow + 1;
    }
    return true;
}

std::string FoldName(std::string_view name) {
    if (IsAscii(name) || !IsValidUtf8(name)) {
        return AsciiFold(name);
    }
    const QByteArray folded = DecodeText(name).toCaseFolded().toUtf8();
    return std::string(folded.constData(), static_cast<std::size_t>(folded.size()));
}

bool NamesEqual(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        return AsciiEqualIgnoringCase(a, b);
    }
    return FoldName(a) == FoldName(b);
}

std::uint64_t HashName(std::string_view name) {
    // FNV-1a. A name that needs Unicode folding is folded first; the common ASCII name is
    // hashed as it stands, lower-cased on the way.
    constexpr std::uint64_t kOffset = 14695981039346656037ull;
    constexpr std::uint64_t kPrime = 1099511628211ull;
    std::string folded;
    if (!IsAscii(name) && IsValidUtf8(name)) {
        folded = FoldName(name);
        name = folded;
    }
    std::uint64_t hash = kOffset;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * kPrime;
    }
    return hash ^ (hash >> 32); // the index uses the low bits: fold the high ones in
}

QString DecodeText(std::string_view bytes) {
    const auto size = static_cast<qsizetype>(bytes.size());
    if (IsAscii(bytes)) {
        return QString::fromLatin1(bytes.data(), size);
    }
    if (!IsValidUtf8(bytes)) {
        return QString::fromLatin1(bytes.data(), size);
    }
    // A leading byte-order mark inside a value is part of the value.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                       QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(bytes.data(), size));
}

QByteArray EncodeText(const QString& text) {
    return text.toUtf8();
}

int ParseProfileInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate the magnitude, stopping once it is past every int value.
    constexpr std::int64_t kBeyond = static_cast<std::int64_t>(INT_MAX) + 2;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude < kBeyond) {
            magnitude = magnitude * 10 + (text[i] - '0');
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

int ReadProfileInt(std::optional<std::string_view> value, int defaultValue) {
    if (!value || value->empty()) {
        return defaultValue;
    }
    return ParseProfileInt(*value);
}

} // namespace ini
