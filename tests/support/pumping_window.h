// A recording window whose message box runs a nested event loop while it is open, as a real
// one does, so posted events may be delivered in the middle of the operation that asked.
#pragma once

#include "tests/support/recording_window.h"
#include "tests/support/sim_bench.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace testsupport {

class PumpingWindow : public RecordingWindow {
public:
    MessageAnswer ShowMessage(const MessageRequest& request) override {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        linesAtEntry.push_back(status.size());
        PumpFor(pumpMs);
        linesAfterPumping.push_back(status.size());
        --depth;
        return RecordingWindow::ShowMessage(request);
    }

    int pumpMs = 50;
    int depth = 0;
    int maxDepth = 0;
    std::vector<std::size_t> linesAtEntry;      // status lines when each box opened
    std::vector<std::size_t> linesAfterPumping; // and when it closed
};

} // namespace testsupport
