#include "hub/device_naming.h"

#include "topology/tcf_item.h"

#include <array>

namespace {

constexpr int kKelvaneVidHigh = 0x5A;
constexpr int kKelvaneVidLow = 0x17;

int HexDigitValue(QChar c) {
    if (c >= u'0' && c <= u'9') {
        return c.unicode() - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c.unicode() - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c.unicode() - u'A' + 10;
    }
    return -1;
}

// Reads the four ID bytes the way a scan with "USB\VID_%2X%2X&PID_%2X%2X\" does: literal text
// must match exactly, each field takes one or two hex digits, and the scan stops at the first
// mismatch, leaving the remaining fields at 0.
std::array<int, 4> ScanIdBytes(const QString& id) {
    std::array<int, 4> bytes{0, 0, 0, 0};
    const QString format = QStringLiteral("USB\\VID_%%&PID_%%\\");
    qsizetype pos = 0;
    std::size_t field = 0;
    for (const QChar f : format) {
        if (f != u'%') {
            if (pos >= id.size() || id.at(pos) != f) {
                return bytes;
            }
            ++pos;
            continue;
        }
        while (pos < id.size() && id.at(pos).isSpace()) {
            ++pos;
        }
        int value = 0;
        int digits = 0;
        while (digits < 2 && pos < id.size() && HexDigitValue(id.at(pos)) >= 0) {
            value = value * 16 + HexDigitValue(id.at(pos));
            ++digits;
            ++pos;
        }
        if (digits == 0) {
            return bytes;
        }
        bytes[field++] = value;
    }
    return bytes;
}

struct KnownPart {
    int pidHigh;
    int pidLowFirst;
    int pidLowLast;
    const char* name;
    int partType;
};

constexpr KnownPart kKnownParts[] = {
    {0x71, 0x10, 0x12, "Aster", kPartAsterFamily}, {0x72, 0x05, 0x05, "Birch", kPartAsterFamily},
    {0x73, 0x05, 0x05, "Cedar", kPartAsterFamily}, {0x74, 0x01, 0x01, "Dahlia", kPartAsterFamily},
    {0x74, 0x02, 0x02, "Elder", kPartAsterFamily}, {0x75, 0x10, 0x12, "Fennel", kPartFennel},
    {0x75, 0x20, 0x20, "Fennel", kPartFennel},
};

QString HexByte(int value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

HubIdentity IdentifyHub(const QString& instanceId) {
    const auto [vidHigh, vidLow, pidHigh, pidLow] = ScanIdBytes(instanceId);
    if (vidHigh != kKelvaneVidHigh || vidLow != kKelvaneVidLow) {
        return {HexByte(vidHigh) + HexByte(vidLow) + u'-' + HexByte(pidHigh) + HexByte(pidLow),
                kPartNotRecognized};
    }
    for (const KnownPart& part : kKnownParts) {
        if (pidHigh == part.pidHigh && pidLow >= part.pidLowFirst && pidLow <= part.pidLowLast) {
            return {QString::fromLatin1(part.name), part.partType};
        }
    }
    return {QStringLiteral("Kelvane-") + HexByte(pidHigh) + HexByte(pidLow), kPartNotRecognized};
}
