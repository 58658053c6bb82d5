#include "topology/ini_name_index.h"

namespace ini {

void NameIndex::Grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    for (const Slot& slot : old) {
        if (slot.index < 0) {
            continue;
        }
        std::size_t i = slot.hash & Mask();
        while (slots_[i].index >= 0) {
            i = (i + 1) & Mask();
        }
        slots_[i] = slot;
    }
}

} // namespace ini
