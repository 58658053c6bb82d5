#include "timing_window.h"

void TimingWindow::Expect(std::size_t expected) {
    arrivals_.clear();
    arrivals_.reserve(expected);
    lines_.store(0, std::memory_order_release);
}

void TimingWindow::AppendStatus(int, const QString&) {
    if (arrivals_.size() < arrivals_.capacity()) {
        arrivals_.push_back(Clock::now());
    }
    lines_.fetch_add(1, std::memory_order_acq_rel);
}
