// The tree's colour tables, its removal markers and the two pages' colour legends.
#pragma once

#include "pages/rgb.h"

#include <array>

namespace treecolors {

// Indexed by a device record's topology state (1, 2 and 3 are the states in use).
inline constexpr std::array<Rgb, 5> TopologyStateColors = {{
    {255, 255, 255}, // 0: no state of the program sets it
    {0, 73, 153},    // 1: part of the topology, an operation is selected
    {0, 0, 0},       // 2: part of the topology, memory type "N/A"
    {200, 10, 10},   // 3: new to the topology, not configured
    {127, 127, 127}, // 4: no state of the program sets it
}};

// Indexed by the hub status code the library reports (0-13); 14 is the grey of items that
// are not hubs or carry no record.
inline constexpr std::array<Rgb, 15> HubStatusColors = {{
    {0, 77, 153},    // 0 New Unprogrammed
    {153, 153, 204}, // 1 Failure opening device
    {255, 140, 0},   // 2 Programming
    {0, 224, 0},     // 3 Programmed Successfully
    {200, 0, 0},     // 4 Failed Programming
    {0, 224, 0},     // 5 Verified Successfully
    {255, 10, 10},   // 6 Failed Verify
    {0, 224, 0},     // 7 Programmed and Verified Successfully
    {255, 10, 10},   // 8 Failed Program Verify
    {255, 140, 0},   // 9 Verifying
    {255, 140, 0},   // 10 Programming and Verifying
    {200, 0, 0},     // 11 Failed due to Insufficient space
    {200, 0, 0},     // 12 ERROR: Cannot access SPI Flash
    {200, 0, 0},     // 13 ERROR: OTP already Programmed maximum times
    {127, 127, 127}, // 14 not a hub, or no record
}};
inline constexpr int kGreyIndex = 14;

// Drawn behind a hub's label in execution drawing.
inline constexpr const char* kMarkerRemovable = "   -   [R]";
inline constexpr const char* kMarkerNotRemovable = "   -   [X]";

// A legend box: the control whose rectangle the page fills, and the colour.
struct LegendBox {
    int controlId;
    Rgb color;
};

// In the order the pages fill them. The legend colours are the pages' own: some differ
// slightly from the tree's tables.
inline constexpr std::array<LegendBox, 3> ConfigPageLegend = {{
    {1038, {0, 77, 153}},
    {1037, {255, 10, 10}},
    {1039, {0, 0, 0}},
}};
inline constexpr std::array<LegendBox, 6> ProgrammerPageLegend = {{
    {1037, {0, 77, 153}},
    {1040, {153, 153, 204}},
    {1041, {255, 140, 0}},
    {1038, {0, 224, 0}},
    {1039, {255, 10, 10}},
    {1042, {0, 0, 0}},
}};

} // namespace treecolors
