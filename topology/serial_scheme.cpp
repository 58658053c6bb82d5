#include "topology/serial_scheme.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

const char* const SerialErrorText[kSerialResultCount] = {
    "Operation success",       "Max serial number reached", "Invalid Alpha value",
    "Invalid Increment value", "Invalid Start value",       "Invalid Max value",
    "Invalid Current value",   "Invalid serial data",       "Invalid serial data",
    "Invalid serial data",     "Start greater than Max",    "Currernt greater than Max",
    "unknown failure",
};

namespace {

// Values are stored as typed; only leading and trailing spaces are ignored.
QString TrimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ') {
        ++begin;
    }
    while (end > begin && text.at(end - 1) == u' ') {
        --end;
    }
    return text.mid(begin, end - begin);
}

bool IsDigitOfMode(char16_t c, bool hex) {
    return (c >= u'0' && c <= u'9') || (hex && c >= u'A' && c <= u'F');
}

// Equal lengths compare code unit by code unit; <0, 0 or >0 like strcmp.
int CompareCodeUnits(const QString& a, const QString& b) {
    const qsizetype length = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t x = a.at(i).unicode();
        const char16_t y = b.at(i).unicode();
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// ---------------------------------------------------------------------------------------
// Fast stepping. One unit step works like an odometer: the last character is "hit"; a hit
// character that is the top digit becomes '0' and passes the hit to its left neighbour,
// any other character becomes its successor. So every character travels a fixed path:
// from where it stands up to the top digit (a non-digit may first climb to U+FFFF, wrap to
// U+0000 and climb on), then round the mode's digits 0..top for ever. Where a character
// stands after h hits, and at which step it receives its h-th hit, are both computable, so
// the value after any number of steps is found without stepping.
// ---------------------------------------------------------------------------------------

using Steps = std::uint64_t;
constexpr Steps kNever = std::numeric_limits<Steps>::max(); // beyond any reachable step

Steps SaturatingAdd(Steps a, Steps b) {
    return a > kNever - b ? kNever : a + b;
}

Steps SaturatingMultiply(Steps a, Steps b) {
    if (a == 0 || b == 0) {
        return 0;
    }
    return a > kNever / b ? kNever : a * b;
}

constexpr Steps kCodeUnitCount = 0x10000;

struct CounterMode {
    bool hex;
    char16_t top; // the digit that carries: 'F' or '9'
    Steps base;   // digits in one round: 16 or 10

    explicit CounterMode(bool isHex)
        : hex(isHex), top(isHex ? u'F' : u'9'), base(isHex ? 16 : 10) {}

    // The index-th digit of the mode, index < base.
    static char16_t Digit(Steps index) {
        return index < 10 ? static_cast<char16_t>(u'0' + index)
                          : static_cast<char16_t>(u'A' + (index - 10));
    }

    // Hits a character takes to become the top digit.
    Steps HitsToTop(char16_t c) const {
        if (c > top) {
            // Climbs to U+FFFF, wraps to U+0000, then goes on from there.
            return (kCodeUnitCount - c) + HitsToTop(0);
        }
        if (hex && c <= u'9') {
            // Up to '9', then the jump '9' -> 'A', then up to 'F'.
            return static_cast<Steps>(u'9' - c) + 1 + (u'F' - u'A');
        }
        return static_cast<Steps>(top - c);
    }

    // The character c becomes after `hits` hits, for hits <= HitsToTop(c).
    char16_t CharAfterHits(char16_t c, Steps hits) const {
        if (c > top) {
            const Steps toWrap = kCodeUnitCount - c;
            if (hits < toWrap) {
                return static_cast<char16_t>(c + hits);
            }
            hits -= toWrap;
            c = 0;
        }
        if (hex && c <= u'9') {
            const Steps toNine = static_cast<Steps>(u'9' - c);
            if (hits <= toNine) {
                return static_cast<char16_t>(c + hits);
            }
            hits -= toNine + 1;
            c = u'A';
        }
        return static_cast<char16_t>(c + hits);
    }
};

// A counter value of fixed length being stepped; valid while the value keeps its length,
// that is for fewer steps than Overflow().
class Odometer {
public:
    Odometer(const QString& value, const CounterMode& mode) : value_(value), mode_(mode) {
        // Position r counts from the right (r = 0 is the last character). It is hit at the
        // steps firstHit, firstHit + period, firstHit + 2 * period, ... with period =
        // base^r; its first carry leaves it on its (hitsToTop + 1)-th hit, which is the
        // first hit of the position to its left.
        Steps firstHit = 1;
        Steps period = 1;
        positions_.resize(static_cast<std::size_t>(value.size()));
        for (qsizetype i = value.size() - 1; i >= 0; --i) {
            Position& position = positions_[static_cast<std::size_t>(i)];
            position.start = value.at(i).unicode();
            position.hitsToTop = mode_.HitsToTop(position.start);
            position.firstHit = firstHit;
            position.period = period;
            firstHit = SaturatingAdd(firstHit, SaturatingMultiply(position.hitsToTop, period));
            period = SaturatingMultiply(period, mode_.base);
        }
        overflow_ = firstHit;
    }

    // The step at which the carry leaves the first character (every character was the top
    // digit): the value must then grow by one digit or is exhausted. An empty value
    // overflows at its first step.
    Steps Overflow() const { return overflow_; }

    // The value after `steps` unit steps, steps < Overflow().
    QString ValueAfter(Steps steps) const {
        QString result = value_;
        for (std::size_t i = 0; i < positions_.size(); ++i) {
            result[static_cast<qsizetype>(i)] = QChar(CharAt(positions_[i], steps));
        }
        return result;
    }

    // True when some value among those after 0 .. steps-1 steps (steps < Overflow()) is not
    // below `bound` (of the same length): the values a stepping loop would test before each
    // of `steps` steps.
    bool ReachesBound(Steps steps, const QString& bound) const {
        if (steps == 0) {
            return false;
        }
        // Every step makes the value greater, except a step that wraps a character from
        // U+FFFF to U+0000. Between those steps the largest value is the last one, so only
        // the value before each wrap and the last value need a test.
        std::vector<Steps> lastBeforeDrop;
        for (const Position& position : positions_) {
            if (position.start > mode_.top) {
                const Steps wrapHit = kCodeUnitCount - position.start; // 1-based hit number
                const Steps wrapStep = SaturatingAdd(
                    position.firstHit, SaturatingMultiply(wrapHit - 1, position.period));
                if (wrapStep <= steps) {
                    lastBeforeDrop.push_back(wrapStep - 1);
                }
            }
        }
        lastBeforeDrop.push_back(steps - 1);
        for (Steps step : lastBeforeDrop) {
            if (CompareCodeUnits(ValueAfter(step), bound) >= 0) {
                return true;
            }
        }
        return false;
    }

private:
    struct Position {
        char16_t start = 0;
        Steps hitsToTop = 0;
        Steps firstHit = 0;
        Steps period = 0;
    };

    char16_t CharAt(const Position& position, Steps steps) const {
        if (steps < position.firstHit) {
            return position.start;
        }
        const Steps hits = 1 + (steps - position.firstHit) / position.period;
        if (hits <= position.hitsToTop) {
            return mode_.CharAfterHits(position.start, hits);
        }
        // Past its first carry the character goes round the digits, starting at '0'.
        return CounterMode::Digit((hits - position.hitsToTop - 1) % mode_.base);
    }

    QString value_;
    CounterMode mode_;
    std::vector<Position> positions_;
    Steps overflow_ = 1;
};

} // namespace

bool IsValidSerialValue(const QString& value, bool hex) {
    for (QChar c : value) {
        if (!IsDigitOfMode(c.unicode(), hex)) {
            return false;
        }
    }
    return true;
}

bool IsSerialValueAbove(const QString& value, const QString& other) {
    if (value.size() != other.size()) {
        return value.size() > other.size();
    }
    return CompareCodeUnits(value, other) > 0;
}

int ValidateSerialParams(const QString& alpha, const QString& start, const QString& max,
                         const QString& current, int increment, bool hex) {
    if (current == QLatin1String(kSerialDone)) {
        return SERIAL_MAX_REACHED;
    }
    const QString trimmedAlpha = TrimSpaces(alpha);
    if (trimmedAlpha.size() > kSerialAlphaLimit) {
        return SERIAL_BAD_ALPHA;
    }
    // A negative increment (only a hand-edited file holds one) is refused like 0.
    if (increment <= 0) {
        return SERIAL_BAD_INCREMENT;
    }
    const QString trimmedStart = TrimSpaces(start);
    if (trimmedStart.isEmpty() || !IsValidSerialValue(trimmedStart, hex)) {
        return SERIAL_BAD_START;
    }
    const QString trimmedMax = TrimSpaces(max);
    if (trimmedMax.isEmpty() || !IsValidSerialValue(trimmedMax, hex)) {
        return SERIAL_BAD_MAX;
    }
    const QString trimmedCurrent = TrimSpaces(current);
    if (trimmedCurrent.isEmpty() || !IsValidSerialValue(trimmedCurrent, hex)) {
        return SERIAL_BAD_CURRENT;
    }
    const qsizetype alphaLength = trimmedAlpha.size();
    if (alphaLength + trimmedStart.size() > kSerialLengthLimit) {
        return SERIAL_START_TOO_LONG;
    }
    if (alphaLength + trimmedMax.size() > kSerialLengthLimit) {
        return SERIAL_MAX_TOO_LONG;
    }
    if (alphaLength + trimmedCurrent.size() > kSerialLengthLimit) {
        return SERIAL_CURRENT_TOO_LONG;
    }
    if (IsSerialValueAbove(trimmedStart, trimmedMax)) {
        return SERIAL_START_GT_MAX;
    }
    if (IsSerialValueAbove(trimmedCurrent, trimmedMax)) {
        return SERIAL_CURRENT_GT_MAX;
    }
    return SERIAL_OK;
}

SerialAdvanceResult AdvanceSerialValue(const QString& current, const QString& max, int increment,
                                       bool hex) {
    const QString done = QLatin1String(kSerialDone);
    const QString bound = TrimSpaces(max);
    QString work = TrimSpaces(current);
    if (work == done) {
        return {SERIAL_MAX_REACHED, done};
    }
    if (increment <= 0) {
        return {SERIAL_OK, work};
    }

    // The unit-step rule, applied `increment` times: (a) a value of the bound's length that
    // is not below the bound is exhausted; (b, c) otherwise the odometer advances; (d) when
    // every character carried, a value shorter than the bound grows a leading '1', any
    // other value is exhausted. Each pass of this loop covers the steps at one length.
    const CounterMode mode(hex);
    Steps stepsLeft = static_cast<Steps>(increment);
    for (;;) {
        const Odometer odometer(work, mode);
        const Steps overflow = odometer.Overflow();
        if (overflow <= stepsLeft) {
            // Every character carries within the steps left. A value at least as long as
            // the bound is then exhausted by rule (d); rule (a) could only exhaust it sooner.
            // A shorter value becomes '1' and zeros and counts on at the next length.
            if (work.size() >= bound.size()) {
                return {SERIAL_OK, done};
            }
            work = QStringLiteral("1") + QString(work.size(), u'0');
            stepsLeft -= overflow;
            continue;
        }
        if (work.size() == bound.size() && odometer.ReachesBound(stepsLeft, bound)) {
            return {SERIAL_OK, done};
        }
        return {SERIAL_OK, odometer.ValueAfter(stepsLeft)};
    }
}
