#include "pages/dialog_template.h"

#include <array>

namespace {

using K = ControlKind;
constexpr int kNone = kNoControlId;

// Dialog 104, the configuration page. The legend texts have no size in the template; theirs
// fit their texts.
constexpr std::array kConfigControls = {
    ControlTemplate{1000, K::GroupBox, "", 6, 3, 368, 261, kHidden},
    ControlTemplate{1003, K::GroupBox, "Configuration Settings:", 380, 1, 219, 339, kDisabled},
    ControlTemplate{1053, K::Label, "Part Number:", 387, 22, 43, 8, kDisabled},
    ControlTemplate{1054, K::DropDownList, "", 445, 20, 149, 30, kDisabled},
    ControlTemplate{1004, K::Label, "Memory Type:", 387, 45, 46, 10, kDisabled},
    ControlTemplate{1005, K::DropDownList, "", 445, 43, 149, 14, kDisabled},
    ControlTemplate{1055, K::Label, "Operation:", 387, 66, 34, 8, kDisabled},
    ControlTemplate{1024, K::CheckBox, "Program Device", 445, 66, 67, 10, kDisabled},
    ControlTemplate{1012, K::CheckBox, "&Verify Image", 527, 66, 56, 10, kDisabled},
    ControlTemplate{1006, K::Label, "Choose File:     ", 382, 88, 54, 9, kDisabled},
    ControlTemplate{1020, K::Edit, "", 445, 86, 132, 13, kDisabled | kReadOnly},
    ControlTemplate{1015, K::PushButton, "...", 581, 86, 14, 13, kDisabled},
    ControlTemplate{1040, K::Label, "Serial Type:", 387, 112, 42, 8, kDisabled},
    ControlTemplate{1041, K::DropDownList, "", 445, 111, 90, 30, kDisabled},
    ControlTemplate{1042, K::GroupBox, "Custom Serial", 388, 135, 196, 162, kDisabled},
    ControlTemplate{1046, K::Label, "Alpha Prefix:", 398, 154, 40, 8, kDisabled},
    ControlTemplate{1021, K::Edit, "", 447, 151, 29, 14, kDisabled | kUpperCase, 4},
    ControlTemplate{1045, K::Label, "Increment By:", 491, 154, 44, 8, kDisabled},
    ControlTemplate{1025, K::Edit, "", 544, 151, 29, 14, kDisabled | kDigitsOnly, 2},
    ControlTemplate{1043, K::Label, "Start Value:", 398, 180, 38, 8, kDisabled},
    ControlTemplate{1022, K::Edit, "", 447, 177, 128, 14, kDisabled | kUpperCase, 31},
    ControlTemplate{1044, K::Label, "Max Value:", 399, 205, 36, 8, kDisabled},
    ControlTemplate{1023, K::Edit, "", 446, 203, 128, 14, kDisabled | kUpperCase, 31},
    ControlTemplate{1049, K::PushButton, "Set", 446, 226, 50, 14, kDisabled},
    ControlTemplate{1048, K::PushButton, "Reset", 524, 227, 50, 14, kDisabled},
    ControlTemplate{1050, K::Label, "Current Value:", 397, 267, 46, 8, kDisabled},
    ControlTemplate{1051, K::Edit, "", 447, 264, 127, 16, kDisabled | kReadOnly, 31},
    ControlTemplate{1017, K::Label, "Global Status Updates:", 217, 270, 85, 10},
    ControlTemplate{1016, K::Edit, "", 214, 283, 165, 62,
                    kReadOnly | kMultiLine | kHorizontalScroll | kVerticalScroll},
    ControlTemplate{kNone, K::GroupBox, "Configuration State:", 7, 272, 205, 78},
    ControlTemplate{1037, K::ColorBox, "", 15, 292, 18, 7, kHidden},
    ControlTemplate{kNone, K::Label, "New to Topology - Unconfigured", 47, 291, 150, 8},
    ControlTemplate{1038, K::ColorBox, "", 15, 310, 18, 7, kHidden},
    ControlTemplate{kNone, K::Label, "Part of Topology - Configured (Operation Selected)", 47, 309,
                    160, 8},
    ControlTemplate{1039, K::ColorBox, "", 15, 327, 18, 7, kHidden},
    ControlTemplate{kNone, K::Label, "Part of Topology - Configured (No Operation)", 47, 326, 160,
                    8},
    ControlTemplate{1067, K::PushButton, "Dump OTP", 495, 313, 89, 14, kHidden},
};

// Dialog 105, the execution page.
constexpr std::array kProgrammerControls = {
    ControlTemplate{1000, K::GroupBox, "", 6, 1, 368, 259, kHidden},
    ControlTemplate{kNone, K::Label, "Topology in Use:", 379, 5, 54, 8},
    ControlTemplate{1030, K::Edit, "", 384, 16, 207, 23,
                    kReadOnly | kMultiLine | kHorizontalScroll | kNoBorder},
    ControlTemplate{1003, K::GroupBox, "Settings ", 377, 44, 217, 85, kHidden},
    ControlTemplate{1020, K::Label, "Program Status Update:", 379, 143, 98, 8},
    ControlTemplate{1021, K::Edit, "", 379, 155, 213, 104,
                    kReadOnly | kMultiLine | kHorizontalScroll | kVerticalScroll},
    ControlTemplate{kNone, K::GroupBox, "Execution Option", 380, 266, 212, 40},
    ControlTemplate{1026, K::RadioButton, "Execute Once", 416, 281, 61, 14, kGroupStart},
    ControlTemplate{1027, K::RadioButton, "Automated Execution", 501, 283, 83, 10},
    ControlTemplate{1025, K::PushButton, "START", 380, 312, 213, 33},
    ControlTemplate{1023, K::PushButton, "STOP", 379, 312, 214, 33, kHidden},
    ControlTemplate{kNone, K::GroupBox, "Execution State", 7, 263, 365, 55},
    ControlTemplate{1037, K::ColorBox, "", 13, 278, 18, 7},
    ControlTemplate{kNone, K::Label, "UnProgrammed", 36, 278, 100, 8},
    ControlTemplate{1038, K::ColorBox, "", 13, 289, 18, 7},
    ControlTemplate{kNone, K::Label, "Programmed / Verified", 36, 288, 100, 8},
    ControlTemplate{1039, K::ColorBox, "", 13, 300, 18, 7},
    ControlTemplate{kNone, K::Label, "Failed Program / Failed Verify", 36, 299, 105, 8},
    ControlTemplate{1040, K::ColorBox, "", 145, 279, 18, 7},
    ControlTemplate{kNone, K::Label, "Device Detect Error", 168, 278, 80, 8},
    ControlTemplate{1041, K::ColorBox, "", 145, 289, 18, 7},
    ControlTemplate{kNone, K::Label, "Programming / Verifying", 168, 288, 80, 8},
    ControlTemplate{1042, K::ColorBox, "", 145, 300, 18, 7},
    ControlTemplate{kNone, K::Label, "Out of Topology / Not Configured for any operation", 168, 299,
                    200, 8},
    ControlTemplate{1056, K::Label, "[ R ]     -     Safe to Remove", 251, 278, 88, 8},
    ControlTemplate{1057, K::Label, "[ X ]     -     Do Not Remove", 252, 288, 87, 8},
};

// Dialog 142, the About box.
constexpr std::array kAboutControls = {
    ControlTemplate{kNone, K::Icon, "", 10, 10, 21, 20},
    ControlTemplate{kNone, K::Label, "Kelvane Tessaro KDX Hub Programming Tool - ", 40, 14, 175, 8},
    ControlTemplate{1062, K::Label, "", 215, 14, 60, 8},
    ControlTemplate{1, K::PushButton, "OK", 225, 42, 50, 14},
};

constexpr DialogTemplate kConfigPage{104, "Kelvane Tessaro KDX Configuration Page", 602, 356,
                                     kConfigControls};
constexpr DialogTemplate kProgrammerPage{105, "Kelvane Tessaro KDX Execution Page", 602, 356,
                                         kProgrammerControls};
constexpr DialogTemplate kAbout{142, "About", 285, 64, kAboutControls};

} // namespace

const ControlTemplate* DialogTemplate::Find(int id) const {
    if (id == kNoControlId) {
        return nullptr;
    }
    for (const ControlTemplate& control : controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

const DialogTemplate& ConfigPageTemplate() {
    return kConfigPage;
}

const DialogTemplate& ProgrammerPageTemplate() {
    return kProgrammerPage;
}

const DialogTemplate& AboutTemplate() {
    return kAbout;
}
