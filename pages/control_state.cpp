#include "pages/control_state.h"

QString ControlState::CurrentText() const {
    return currentIndex >= 0 && currentIndex < items.size() ? items.at(currentIndex) : QString();
}

int ControlState::CurrentData() const {
    return currentIndex >= 0 && currentIndex < itemData.size() ? itemData.at(currentIndex) : -1;
}

PageControls::PageControls(const DialogTemplate& dialog) {
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id == kNoControlId) {
            continue;
        }
        ControlState state;
        state.enabled = !control.Has(kDisabled);
        state.visible = !control.Has(kHidden);
        if (control.kind != ControlKind::Edit && control.kind != ControlKind::DropDownList) {
            state.text = QString::fromLatin1(control.text);
        }
        controls_.emplace(control.id, std::move(state));
    }
}

ControlState& PageControls::operator[](int id) {
    return controls_[id];
}

const ControlState& PageControls::At(int id) const {
    static const ControlState none;
    const auto it = controls_.find(id);
    return it != controls_.end() ? it->second : none;
}

std::vector<int> PageControls::Ids() const {
    std::vector<int> ids;
    ids.reserve(controls_.size());
    for (const auto& entry : controls_) {
        ids.push_back(entry.first);
    }
    return ids;
}

void PageControls::ResetList(int id, const QStringList& items, const QList<int>& itemData) {
    ControlState& state = (*this)[id];
    state.items = items;
    state.itemData = itemData;
    state.currentIndex = -1;
}

void PageControls::SetCurrentIndex(int id, int index) {
    ControlState& state = (*this)[id];
    state.currentIndex = index >= 0 && index < state.items.size() ? index : -1;
}

void PageControls::SelectText(int id, const QString& text) {
    ControlState& state = (*this)[id];
    state.currentIndex = static_cast<int>(state.items.indexOf(text));
}
