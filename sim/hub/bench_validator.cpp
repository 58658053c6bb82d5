#include "sim/hub/bench_validator.h"

#include "sim/hub/utf16_text.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace simhub {

namespace {

std::string Printable(const std::u16string& text) {
    std::string out = "\"";
    for (const char c : Utf16ToUtf8(text)) {
        if (static_cast<unsigned char>(c) < 0x20) {
            out += '?';
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// The bench as it stands at one moment of the timeline.
class BenchModel {
public:
    struct Entry {
        int32_t parent = 0;
        std::u16string foldedPath;
        std::optional<Uuid> uuid;
    };

    // "" or the problem.
    std::string AddController(const ControllerSpec& controller) {
        const std::u16string folded = FoldCase(controller.path);
        if (!paths_.insert(folded).second) {
            return "device path " + Printable(controller.path) + " is used twice";
        }
        controllers_.emplace_back();
        return {};
    }

    std::size_t ControllerCount() const { return controllers_.size(); }

    std::string AddDevice(std::size_t controller, const DeviceSpec& device) {
        auto& positions = controllers_[controller];
        if (positions.count(device.position) != 0) {
            return "position " + std::to_string(device.position) + " is already taken";
        }
        if (device.parent >= device.position) {
            return "parent " + std::to_string(device.parent) +
                   " must have a smaller position than the device (" +
                   std::to_string(device.position) + ")";
        }
        if (device.parent != 0 && positions.count(device.parent) == 0) {
            return "parent position " + std::to_string(device.parent) + " holds no device";
        }
        const std::u16string folded = FoldCase(device.path);
        if (paths_.count(folded) != 0) {
            return "device path " + Printable(device.path) +
                   " is already used (paths are compared ignoring case)";
        }
        if (device.uuid && uuids_.count(*device.uuid) != 0) {
            return "uuid is already used by another device on the bench";
        }
        paths_.insert(folded);
        if (device.uuid) {
            uuids_.insert(*device.uuid);
        }
        positions[device.position] = Entry{device.parent, folded, device.uuid};
        return {};
    }

    // Removes the device with this path and everything behind it; false when no device
    // (controllers cannot be removed) has the path.
    bool Remove(const std::u16string& path) {
        const std::u16string folded = FoldCase(path);
        for (auto& positions : controllers_) {
            for (const auto& [position, entry] : positions) {
                if (entry.foldedPath == folded) {
                    RemoveSubtree(positions, position);
                    return true;
                }
            }
        }
        return false;
    }

private:
    void RemoveSubtree(std::map<int32_t, Entry>& positions, int32_t position) {
        std::vector<int32_t> children;
        for (const auto& [child, entry] : positions) {
            if (entry.parent == position) {
                children.push_back(child);
            }
        }
        for (const int32_t child : children) {
            RemoveSubtree(positions, child);
        }
        const auto it = positions.find(position);
        paths_.erase(it->second.foldedPath);
        if (it->second.uuid) {
            uuids_.erase(*it->second.uuid);
        }
        positions.erase(it);
    }

    std::vector<std::map<int32_t, Entry>> controllers_;
    std::set<std::u16string> paths_;
    std::set<Uuid> uuids_;
};

} // namespace

std::string ValidateBench(const BenchDescription& bench) {
    BenchModel model;
    for (std::size_t c = 0; c < bench.controllers.size(); ++c) {
        const std::string where = "controllers[" + std::to_string(c) + "]";
        if (auto problem = model.AddController(bench.controllers[c]); !problem.empty()) {
            return where + ".path: " + problem;
        }
    }
    for (std::size_t c = 0; c < bench.controllers.size(); ++c) {
        // Parents come before their children, whatever order the file lists them in.
        std::map<int32_t, std::size_t> byPosition;
        const auto& devices = bench.controllers[c].devices;
        for (std::size_t d = 0; d < devices.size(); ++d) {
            if (!byPosition.emplace(devices[d].position, d).second) {
                return "controllers[" + std::to_string(c) + "].devices[" + std::to_string(d) +
                       "].position: position " + std::to_string(devices[d].position) +
                       " is listed twice";
            }
        }
        for (const auto& [position, d] : byPosition) {
            if (auto problem = model.AddDevice(c, devices[d]); !problem.empty()) {
                return "controllers[" + std::to_string(c) + "].devices[" + std::to_string(d) +
                       "]: " + problem;
            }
        }
    }
    for (const TimelineEntry& entry : bench.timeline) {
        const std::string at = " at " + std::to_string(entry.atMs) + " ms";
        if (entry.kind == TimelineEntry::Kind::Remove) {
            if (!model.Remove(entry.removePath)) {
                return entry.where + ".remove: no device with path " + Printable(entry.removePath) +
                       " is on the bench" + at;
            }
            continue;
        }
        if (static_cast<std::size_t>(entry.controller) >= model.ControllerCount()) {
            return entry.where + ".arrive.controller: there is no controller " +
                   std::to_string(entry.controller);
        }
        if (auto problem =
                model.AddDevice(static_cast<std::size_t>(entry.controller), entry.device);
            !problem.empty()) {
            return entry.where + ".arrive: " + problem + at;
        }
    }
    return {};
}

} // namespace simhub
