// NameIndex: finds the first of several entries whose names match without regard to case,
// by a hash of the folded name. It stores no names: the owner keeps them and answers
// nameAt(index), so indexing ten thousand sections costs no allocation per name.
#pragma once

#include "topology/ini_text.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace ini {

class NameIndex {
public:
    // The index of the first entry named like `name`, or -1.
    template <typename NameAt> int Find(std::string_view name, NameAt nameAt) const {
        if (slots_.empty()) {
            return -1;
        }
        const std::uint64_t hash = HashName(name);
        for (std::size_t i = hash & Mask();; i = (i + 1) & Mask()) {
            const Slot& slot = slots_[i];
            if (slot.index < 0) {
                return -1;
            }
            if (slot.hash == hash && NamesEqual(nameAt(slot.index), name)) {
                return slot.index;
            }
        }
    }

    // The index of the first entry named like `name`; when there is none, `index` becomes
    // that entry and is returned.
    template <typename NameAt> int FindOrAdd(std::string_view name, int index, NameAt nameAt) {
        if ((used_ + 1) * 2 > slots_.size()) {
            Grow();
        }
        const std::uint64_t hash = HashName(name);
        for (std::size_t i = hash & Mask();; i = (i + 1) & Mask()) {
            Slot& slot = slots_[i];
            if (slot.index < 0) {
                slot = Slot{hash, index};
                ++used_;
                return index;
            }
            if (slot.hash == hash && NamesEqual(nameAt(slot.index), name)) {
                return slot.index;
            }
        }
    }

private:
    struct Slot {
        std::uint64_t hash = 0;
        int index = -1;
    };

    std::size_t Mask() const { return slots_.size() - 1; }
    void Grow();

    std::vector<Slot> slots_; // open addressing, a power of two in size, at most half full
    std::size_t used_ = 0;
};

} // namespace ini
