// A window for the benchmarks: notes when each status line arrives, shows nothing.
#pragma once

#include "app/sheet_window.h"

#include <atomic>
#include <chrono>
#include <vector>

class TimingWindow : public ISheetWindow {
public:
    using Clock = std::chrono::steady_clock;

    // Keeps the arrival time of the next `expected` lines (older times are dropped).
    void Expect(std::size_t expected);
    std::size_t Lines() const { return lines_.load(std::memory_order_acquire); }
    const std::vector<Clock::time_point>& Arrivals() const { return arrivals_; }

    void AppendStatus(int page, const QString& line) override;
    void ActivatePage(int) override {}
    MessageAnswer ShowMessage(const MessageRequest& request) override {
        return request.DefaultAnswer();
    }
    QString AskForFile(const FileDialogRequest&) override { return QString(); }
    void ShowExecutionOption(bool) override {}
    void EnableTopologyMenu(bool) override {}
    void ShowStartButton() override {}
    void UpdateCfgSettingUI() override {}
    void InvalidateTree() override {}

private:
    std::vector<Clock::time_point> arrivals_;
    std::atomic<std::size_t> lines_{0};
};
