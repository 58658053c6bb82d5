#include "control/serial_handouts.h"

void SerialHandouts::Record(const QString& devicePath, const SerialHandout& handout) {
    byPath_[Key(devicePath)] = handout;
}

std::optional<SerialHandout> SerialHandouts::Take(const QString& devicePath) {
    const auto it = byPath_.find(Key(devicePath));
    if (it == byPath_.end()) {
        return std::nullopt;
    }
    SerialHandout handout = it->second;
    byPath_.erase(it);
    return handout;
}

bool SerialHandouts::Contains(const QString& devicePath) const {
    return byPath_.count(Key(devicePath)) != 0;
}
