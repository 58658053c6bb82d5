// Serial numbers handed out and not yet settled, by device path. A number is taken when it is
// handed to a hub (the counter advances and is persisted before the block goes to the
// library); it is given back only when that hub reports failure, or when the preparation
// fails before the manager starts, and only while the node's counter still stands where the
// hand-out left it. So a number a hub accepted is never handed out again.
#pragma once

#include <QString>

#include <map>
#include <optional>

struct SerialHandout {
    QString topology;    // the node's topology string (node indexes change with every load)
    QString servedValue; // the counter value handed out
    QString valueAfter;  // the counter value the hand-out left in the node
};

class SerialHandouts {
public:
    // Records a hand-out for `devicePath`, replacing an unsettled one (that board's number is
    // skipped, never reused).
    void Record(const QString& devicePath, const SerialHandout& handout);
    // Removes and returns the hand-out of `devicePath`, if any.
    std::optional<SerialHandout> Take(const QString& devicePath);
    bool Contains(const QString& devicePath) const;
    int Count() const { return static_cast<int>(byPath_.size()); }
    void Clear() { byPath_.clear(); }

private:
    static QString Key(const QString& devicePath) { return devicePath.toCaseFolded(); }

    std::map<QString, SerialHandout> byPath_;
};
