// The dialog templates of the two pages and the About box: every control with its id, kind,
// text, position in dialog units and initial state. The page models take their initial
// control states from here and the window builds its widgets from the same tables.
#pragma once

#include <span>

enum class ControlKind {
    GroupBox,
    Label,
    Edit,
    DropDownList,
    CheckBox,
    RadioButton,
    PushButton,
    ColorBox, // an empty frame whose rectangle the page fills with a legend colour
    Icon,
};

// Template styles and initial states.
enum ControlFlag : unsigned {
    kHidden = 1u << 0,
    kDisabled = 1u << 1,
    kUpperCase = 1u << 2,  // edit: typed letters become capitals
    kDigitsOnly = 1u << 3, // edit: only 0-9 can be typed
    kReadOnly = 1u << 4,
    kMultiLine = 1u << 5,
    kHorizontalScroll = 1u << 6,
    kVerticalScroll = 1u << 7,
    kNoBorder = 1u << 8,
    kGroupStart = 1u << 9, // first radio button of its group
};

// Id of controls the program never addresses (labels and frames).
inline constexpr int kNoControlId = -1;

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;
    int x;
    int y;
    int width;
    int height;
    unsigned flags = 0;
    int textLimit = 0; // characters an edit accepts; 0: no limit

    bool Has(ControlFlag flag) const { return (flags & flag) != 0; }
};

struct DialogTemplate {
    int resourceId;
    const char* caption;
    int width; // dialog units
    int height;
    std::span<const ControlTemplate> controls;

    // The control with `id`, or null.
    const ControlTemplate* Find(int id) const;
};

const DialogTemplate& ConfigPageTemplate();     // dialog 104
const DialogTemplate& ProgrammerPageTemplate(); // dialog 105
const DialogTemplate& AboutTemplate();          // dialog 142
