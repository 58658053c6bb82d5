// The serial number scheme: validation of a prefix-plus-counter scheme, the ordering of
// counter values and the stepping of the counter up to "DONE". Pure functions on texts, so
// the device record's serial operations are thin wrappers.
#pragma once

#include <QString>

enum SerialResult : int {
    SERIAL_OK = 0,
    SERIAL_MAX_REACHED = 1,
    SERIAL_BAD_ALPHA = 2,
    SERIAL_BAD_INCREMENT = 3,
    SERIAL_BAD_START = 4,
    SERIAL_BAD_MAX = 5,
    SERIAL_BAD_CURRENT = 6,
    SERIAL_START_TOO_LONG = 7,
    SERIAL_MAX_TOO_LONG = 8,
    SERIAL_CURRENT_TOO_LONG = 9,
    SERIAL_START_GT_MAX = 10,
    SERIAL_CURRENT_GT_MAX = 11,
    SERIAL_UNKNOWN = 12,
};
inline constexpr int kSerialResultCount = 13;

// The operator-facing text of each result code, indexed by the code.
extern const char* const SerialErrorText[kSerialResultCount];

inline constexpr const char* kSerialDone = "DONE";
inline constexpr int kSerialAlphaLimit = 4;
inline constexpr int kSerialLengthLimit = 31;

// Every character is a digit of the mode (0-9, and A-F when hex); empty gives true.
bool IsValidSerialValue(const QString& value, bool hex);

// Counter ordering: a longer value is greater; equal lengths compare by code unit.
bool IsSerialValueAbove(const QString& value, const QString& other);

// Validates a scheme; the first failing test decides the code. A negative increment is
// refused like 0 (only a hand-edited file can hold one).
int ValidateSerialParams(const QString& alpha, const QString& start, const QString& max,
                         const QString& current, int increment, bool hex);

struct SerialAdvanceResult {
    int result = 0;  // 1 when the value already was "DONE", else 0
    QString current; // the value to store: the stepped (trimmed) value or "DONE"
};

// Steps `current` by `increment` unit steps toward `max`. Gives exactly what one unit step
// at a time would give, in time independent of the increment; a negative increment steps
// nothing.
SerialAdvanceResult AdvanceSerialValue(const QString& current, const QString& max, int increment,
                                       bool hex);
