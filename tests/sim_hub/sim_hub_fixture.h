// The fixture of the hub library tests: loads libTessaroKDXLib with a bench of the test's
// own (written to a file and named by TESSARO_SIM_BENCH) or the built-in one, gives a fresh
// state folder per test, registers the recording callback, and offers the tool's moves
// (prepare a hub) and readers for what the library writes.
#pragma once

#include "tests/sim_hub/event_recorder.h"
#include "tests/sim_hub/hub_api.h"

#include "sim/common/config_block.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace simhubtest {

using nlohmann::json;

inline std::u16string U16(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

inline std::string Ascii(const std::u16string& text) {
    std::string out;
    for (const char16_t c : text) {
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return out;
}

// 32 hex digits ending in n.
inline std::string UuidFor(unsigned n) {
    char text[33];
    std::snprintf(text, sizeof text, "4B454C56000000000000000000%06X", n);
    return text;
}

inline std::string HubPath(const std::string& name, const std::string& pid = "7111") {
    return "\\\\?\\USB#VID_5A17&PID_" + pid + "#" + name +
           "#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
}

// A hub of a bench file; `extra` fields are added (or replace the defaults).
inline json Hub(int position, const std::string& name, unsigned uuid, const std::string& pid,
                json extra = json::object()) {
    json hub{{"position", position},
             {"parent", 0},
             {"type", "hub"},
             {"instanceId", "USB\\VID_5A17&PID_" + pid + "\\" + name},
             {"description", "Hub " + name},
             {"path", HubPath(name, pid)},
             {"uuid", UuidFor(uuid)}};
    for (const auto& item : extra.items()) {
        hub[item.key()] = item.value();
    }
    return hub;
}

// A bench with one controller holding `devices`.
inline json OneControllerBench(json devices, int programmingMs = 10) {
    return json{{"programmingMs", programmingMs},
                {"controllers", json::array({json{{"description", "Controller"},
                                                  {"path", "\\\\?\\PCI#CONTROLLER#0"},
                                                  {"devices", std::move(devices)}}})}};
}

// A configuration block with a serial only, as the parser library builds it.
inline std::vector<uint8_t> SerialBlock(const std::string& serial) {
    const auto built = simcfg::BuildConfigBlock(nullptr, 0, serial);
    EXPECT_TRUE(built.ok) << built.error;
    return built.block;
}

class SimHubTest : public testing::Test {
protected:
    void SetUp() override {
        ::setenv("TESSARO_LIB_DIR", TESSARO_BIN_DIR, 0);
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        stateFolder_ = std::filesystem::current_path() / ("state-" + name);
        std::filesystem::remove_all(stateFolder_);
        ::setenv("TESSARO_SIM_STATE", stateFolder_.c_str(), 1);
        ::unsetenv("TESSARO_SIM_BENCH");
    }

    void TearDown() override {
        Unload();
        ::unsetenv("TESSARO_SIM_BENCH");
    }

    void LoadDefault() {
        ::unsetenv("TESSARO_SIM_BENCH");
        LoadLibrary();
    }

    void LoadBench(const json& bench) { LoadBenchFile(WriteBench(bench.dump(2))); }

    void LoadBenchFile(const std::string& path) {
        ::setenv("TESSARO_SIM_BENCH", path.c_str(), 1);
        LoadLibrary();
    }

    // Writes a bench file into the working directory; its path.
    std::string WriteBench(const std::string& text) {
        const auto path =
            std::filesystem::current_path() / ("bench-" + std::to_string(++benchFiles_) + ".json");
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    void LoadLibrary() {
        Unload();
        library_.emplace(testsupport::LibraryPath(hubabi::kLibraryName));
        api_.emplace(*library_);
        EventRecorder::Get().Reset(api_->isRunning);
        api_->registerCallback(&EventRecorder::Callback);
    }

    void Unload() {
        api_.reset();
        library_.reset();
    }

    HubApi& Api() { return *api_; }
    EventRecorder& Recorder() { return EventRecorder::Get(); }
    const std::filesystem::path& StateFolder() const { return stateFolder_; }

    std::u16string PathOf(int32_t controller, int32_t device) {
        hubabi::IDeviceNode* node = Api().createTree()->GetDevice(controller, device);
        if (node == nullptr) {
            ADD_FAILURE() << "no node at " << controller << ", " << device;
            return {};
        }
        std::u16string path = node->GetDevicePath();
        node->Release(1);
        return path;
    }

    // What the tool pushes into a new hub and then hands it at START.
    void PushSettings(int32_t controller, int32_t device, int32_t mode, bool program, bool verify) {
        ASSERT_EQ(Api().setStorageMode(controller, device, mode), 0);
        Api().setValidationMethod(controller, device,
                                  verify ? hubabi::kValidateVerify : hubabi::kValidateNone);
        Api().setProgrammingRequired(controller, device, program ? 1 : 0);
    }
    void PrepareBlock(int32_t controller, int32_t device, int32_t mode, bool program, bool verify,
                      const std::vector<uint8_t>& block) {
        PushSettings(controller, device, mode, program, verify);
        ASSERT_EQ(Api().setConfigurationBlock(controller, device, block.data(),
                                              static_cast<uint32_t>(block.size())),
                  0);
    }
    void PrepareImage(int32_t controller, int32_t device, int32_t mode, bool program, bool verify,
                      const std::vector<uint8_t>& image) {
        PushSettings(controller, device, mode, program, verify);
        ASSERT_EQ(Api().setFirmwareImage(controller, device, image.data(),
                                         static_cast<uint32_t>(image.size())),
                  0);
    }

    // Starts a once run and waits for its event 7; the events of the run.
    EventRecorder::Events RunOnce() {
        const auto before = Recorder().Snapshot();
        const std::size_t ends = EventRecorder::CountCode(before, hubabi::kEventRunEnded);
        EXPECT_EQ(Api().start(1), 0);
        EXPECT_TRUE(Recorder().WaitForRunEnd(ends)) << "the run did not end";
        auto after = Recorder().Snapshot();
        return EventRecorder::Events(after.begin() + static_cast<std::ptrdiff_t>(before.size()),
                                     after.end());
    }

    // A record field as it was before the library escaped it.
    static std::string UnescapeField(const std::string& field) {
        std::string out;
        for (std::size_t i = 0; i < field.size(); ++i) {
            if (field[i] != '\\' || i + 1 == field.size()) {
                out += field[i];
                continue;
            }
            const char next = field[++i];
            out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        }
        return out;
    }

    // The programming record as written.
    std::string RawRecord() const {
        std::ifstream in(stateFolder_ / "programming-record.tsv", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // The programming record, split into fields and unescaped.
    std::vector<std::vector<std::string>> RecordLines() const {
        std::vector<std::vector<std::string>> lines;
        std::ifstream in(stateFolder_ / "programming-record.tsv");
        std::string line;
        while (std::getline(in, line)) {
            std::vector<std::string> fields;
            std::stringstream split(line);
            std::string field;
            while (std::getline(split, field, '\t')) {
                fields.push_back(UnescapeField(field));
            }
            if (!line.empty() && line.back() == '\t') {
                fields.emplace_back();
            }
            lines.push_back(std::move(fields));
        }
        return lines;
    }

private:
    std::filesystem::path stateFolder_;
    int benchFiles_ = 0;
    std::optional<testsupport::DlLibrary> library_;
    std::optional<HubApi> api_;
};

} // namespace simhubtest
