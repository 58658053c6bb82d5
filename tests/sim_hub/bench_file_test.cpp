// Bad bench files: one clear line on stderr naming the file and the problem, and an empty
// tree; never a crash.
#include "tests/sim_hub/sim_hub_fixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fcntl.h>

namespace simhubtest {
namespace {

// Captures what is written to file descriptor 2 while it lives.
class StderrCapture {
public:
    explicit StderrCapture(const std::string& file)
        : file_(file), saved_(::dup(2)),
          fd_(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)) {
        std::fflush(stderr);
        ::dup2(fd_, 2);
    }
    ~StderrCapture() { Restore(); }
    std::string Text() {
        Restore();
        std::ifstream in(file_);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    void Restore() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, 2);
            ::close(saved_);
            ::close(fd_);
            saved_ = -1;
        }
    }
    std::string file_;
    int saved_;
    int fd_;
};

struct BadBench {
    const char* name;
    std::string text;     // the file's content
    const char* expected; // a part of the error line
};

json Device(int position, const std::string& path, json extra = json::object()) {
    json device{{"position", position}, {"type", "device"}, {"path", path}};
    for (const auto& item : extra.items()) {
        device[item.key()] = item.value();
    }
    return device;
}

std::string Bench(json devices, json timeline = json::array()) {
    json bench = OneControllerBench(std::move(devices));
    bench["timeline"] = std::move(timeline);
    return bench.dump();
}

std::vector<BadBench> BadBenches() {
    const json hubA = Hub(1, "a", 1, "7111");
    std::string emoji;
    for (int i = 0; i < 101; ++i) {
        emoji += "\xF0\x9F\x94\x8C"; // U+1F50C, two UTF-16 units
    }
    return {
        {"NotJson", "{\"controllers\": [", "not valid JSON"},
        {"NotAnObject", "[]", "bench: expected an object"},
        {"MissingControllers", "{}", "missing field \"controllers\""},
        {"UnknownField", R"({"controllers": [], "programingMs": 5})",
         "unknown field \"programingMs\""},
        {"NegativeTime", R"({"controllers": [], "programmingMs": -5})", "programmingMs"},
        {"ControllerWithoutPath", R"({"controllers": [{"description": "x"}]})",
         "controllers[0]: missing field \"path\""},
        {"FractionalPosition", Bench(json::array({Device(1, "d", {{"position", 1.5}})})),
         "devices[0].position: expected a whole number"},
        {"PositionZero", Bench(json::array({Device(0, "d")})), "devices[0].position"},
        {"MissingType", Bench(json::array({json{{"position", 1}, {"path", "d"}}})),
         "missing field \"type\""},
        {"UnknownType", Bench(json::array({Device(1, "d", {{"type", "switch"}})})),
         "expected \"hub\", \"device\" or a number"},
        {"HubWithoutUuid", Bench(json::array({Device(1, "d", {{"type", "hub"}})})),
         "missing field \"uuid\""},
        {"ShortUuid", Bench(json::array({Hub(1, "a", 1, "7111", {{"uuid", "12AB"}})})),
         "uuid: expected 32 hex digits"},
        {"UuidNotHex",
         Bench(json::array({Hub(1, "a", 1, "7111", {{"uuid", std::string(32, 'G')}})})),
         "expected 32 hex digits"},
        {"SameUuidTwice", Bench(json::array({hubA, Hub(2, "b", 1, "7111")})),
         "uuid is already used"},
        {"StorageModeOutOfRange",
         Bench(json::array({Hub(1, "a", 1, "7111", {{"storageMode", 5}})})),
         "storageMode: expected a number from 0 to 4"},
        {"UnknownFault", Bench(json::array({Hub(1, "a", 1, "7111", {{"fault", "explode"}})})),
         "unknown fault \"explode\""},
        {"PositionTwice", Bench(json::array({Device(1, "d1"), Device(1, "d2")})),
         "position 1 is listed twice"},
        {"ParentAfterChild",
         Bench(json::array({Device(2, "d2", {{"parent", 3}}), Device(3, "d3")})),
         "must have a smaller position"},
        {"ParentMissing", Bench(json::array({Device(3, "d3", {{"parent", 2}})})),
         "parent position 2 holds no device"},
        {"PathTwiceIgnoringCase",
         Bench(json::array({Device(1, "\\\\?\\USB#Dev"), Device(2, "\\\\?\\usb#DEV")})),
         "is already used"},
        {"PathOfControllerReused", Bench(json::array({Device(1, "\\\\?\\PCI#controller#0")})),
         "is already used"},
        {"EmptyPath", Bench(json::array({Device(1, "")})), "path: must not be empty"},
        {"TabInPath", Bench(json::array({Device(1, "a\tb")})), "must not contain control"},
        {"PathTooLong", Bench(json::array({Device(1, std::string(202, 'p'))})),
         "longer than 201 UTF-16 characters (202)"},
        {"PathTooLongInUtf16", Bench(json::array({Device(1, emoji)})),
         "longer than 201 UTF-16 characters (202)"},
        {"RemoveUnknownPath",
         Bench(json::array({hubA}), json::array({json{{"atMs", 10}, {"remove", "nothing"}}})),
         "timeline[0].remove: no device with path \"nothing\""},
        {"RemoveTwice",
         Bench(json::array({hubA}), json::array({json{{"atMs", 20}, {"remove", HubPath("a")}},
                                                 json{{"atMs", 10}, {"remove", HubPath("a")}}})),
         "timeline[0].remove"},
        {"RemoveAndArriveInOne",
         Bench(json::array({hubA}),
               json::array({json{{"atMs", 10}, {"remove", HubPath("a")}, {"arrive", hubA}}})),
         "needs exactly one of \"remove\" and \"arrive\""},
        {"ArriveOnTakenPosition",
         Bench(json::array({hubA}),
               json::array(
                   {json{{"atMs", 10}, {"arrive", Hub(1, "b", 2, "7111", {{"controller", 0}})}}})),
         "timeline[0].arrive: position 1 is already taken at 10 ms"},
        {"ArriveWithoutController",
         Bench(json::array(), json::array({json{{"atMs", 10}, {"arrive", hubA}}})),
         "arrive: missing field \"controller\""},
        {"ArriveOnUnknownController",
         Bench(json::array(),
               json::array(
                   {json{{"atMs", 10}, {"arrive", Hub(1, "a", 1, "7111", {{"controller", 5}})}}})),
         "there is no controller 5"},
        {"TimelineWithoutTime",
         Bench(json::array({hubA}), json::array({json{{"remove", HubPath("a")}}})),
         "missing field \"atMs\""},
    };
}

void PrintTo(const BadBench& bad, std::ostream* out) {
    *out << bad.name;
}

class BadBenchFile : public SimHubTest, public testing::WithParamInterface<BadBench> {};

TEST_P(BadBenchFile, GivesOneErrorLineAndAnEmptyTree) {
    const BadBench& bad = GetParam();
    const std::string file = WriteBench(bad.text);
    StderrCapture capture("stderr.txt");
    LoadBenchFile(file);
    hubabi::IDeviceTree* tree = Api().createTree();
    const std::string error = capture.Text();
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->GetControllerCount(), 0);
    EXPECT_EQ(tree->GetDeviceCount(0), 0);
    EXPECT_EQ(tree->GetDevice(0, 0), nullptr);
    EXPECT_NE(error.find(file), std::string::npos) << error;
    EXPECT_NE(error.find(bad.expected), std::string::npos) << error;
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;

    // The library works on, with nothing to do.
    const auto events = RunOnce();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().code, hubabi::kEventRunEnded);
    EXPECT_EQ(events.back().value, hubabi::kRunNothingToDo);
}

INSTANTIATE_TEST_SUITE_P(Table, BadBenchFile, testing::ValuesIn(BadBenches()),
                         [](const testing::TestParamInfo<BadBench>& param) {
                             return std::string(param.param.name);
                         });

class BenchFile : public SimHubTest {};

TEST_F(BenchFile, MissingFileOrFolderIsAnError) {
    for (const std::string& file :
         {std::string("no-such-bench.json"), std::filesystem::current_path().string()}) {
        StderrCapture capture("stderr.txt");
        LoadBenchFile(file);
        EXPECT_EQ(Api().createTree()->GetControllerCount(), 0);
        const std::string error = capture.Text();
        EXPECT_NE(error.find("bench file \"" + file + "\""), std::string::npos) << error;
        EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
        Unload();
    }
}

TEST_F(BenchFile, LongestPathCommentsAndDefaults) {
    const std::string longest(201, 'p');
    const std::string text = "// a bench with a comment\n" +
                             Bench(json::array({Device(1, longest), Hub(2, "h", 1, "7510")}));
    StderrCapture capture("stderr.txt");
    LoadBenchFile(WriteBench(text));
    hubabi::IDeviceTree* tree = Api().createTree();
    EXPECT_EQ(capture.Text(), "");
    ASSERT_EQ(tree->GetControllerCount(), 1);
    hubabi::IDeviceNode* node = tree->GetDevice(0, 1);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(std::u16string(node->GetDevicePath()).size(), 201U);
    node->Release(1);
    EXPECT_EQ(Api().getStorageMode(0, 2), 4) << "storage mode 4 when omitted";
}

} // namespace
} // namespace simhubtest
