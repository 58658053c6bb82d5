// Checks on the simulated bench's programming record.
#pragma once

#include "tests/support/sim_bench.h"

#include <QSet>
#include <QStringList>

#include <vector>

namespace testsupport {

// A hub took the block it was given: programmed (3) or programmed and verified (7).
inline bool AcceptedSerial(const ProgrammingRecordLine& line) {
    return (line.finalStatus == 3 || line.finalStatus == 7) && !line.serial.isEmpty();
}

// The serial numbers that more than one accepting hub took.
inline QStringList RepeatedSerials(const std::vector<ProgrammingRecordLine>& lines) {
    QSet<QString> seen;
    QStringList repeated;
    for (const ProgrammingRecordLine& line : lines) {
        if (!AcceptedSerial(line)) {
            continue;
        }
        if (seen.contains(line.serial)) {
            repeated.push_back(line.serial);
        }
        seen.insert(line.serial);
    }
    return repeated;
}

// The serial numbers of the accepting hubs, in record order.
inline QStringList AcceptedSerials(const std::vector<ProgrammingRecordLine>& lines) {
    QStringList serials;
    for (const ProgrammingRecordLine& line : lines) {
        if (AcceptedSerial(line)) {
            serials.push_back(line.serial);
        }
    }
    return serials;
}

} // namespace testsupport
