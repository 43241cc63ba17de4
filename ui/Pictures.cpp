#include "ui/Pictures.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace kelvorin::ui {

namespace {

struct LegendEntry {
    char key;
    std::uint32_t argb;
};

// One legend for all pictures, so that they share their colours.
constexpr std::array kLegend{
    LegendEntry{'.', kTransparent}, // transparent
    LegendEntry{'K', 0xFF000000},   // black
    LegendEntry{'W', 0xFFFFFFFF},   // white
    LegendEntry{'R', 0xFFE61414},   // red
    LegendEntry{'r', 0xFF800000},   // dark red
    LegendEntry{'G', 0xFF14B414},   // green
    LegendEntry{'g', 0xFF006000},   // dark green
    LegendEntry{'L', 0xFF78E65A},   // light green
    LegendEntry{'Y', 0xFFFFD640},   // yellow
    LegendEntry{'y', 0xFFB08000},   // dark yellow
    LegendEntry{'l', 0xFFFFF0A0},   // light yellow
    LegendEntry{'B', 0xFF285AC8},   // blue
    LegendEntry{'b', 0xFF102870},   // dark blue
    LegendEntry{'C', 0xFF6EA0F0},   // light blue
    LegendEntry{'S', 0xFFC8C8C8},   // silver
    LegendEntry{'s', 0xFF808080},   // grey
    LegendEntry{'D', 0xFF505050},   // dark grey
};

constexpr bool InLegend(char key) {
    return std::any_of(kLegend.begin(), kLegend.end(),
                       [key](const LegendEntry& entry) { return entry.key == key; });
}

// Every row as wide as the first, every character in the legend.
template <std::size_t Rows>
constexpr bool IsWellFormed(const std::array<std::string_view, Rows>& rows) {
    for (std::string_view row : rows) {
        if (row.size() != rows[0].size()) return false;
        for (char key : row)
            if (!InLegend(key)) return false;
    }
    return true;
}

// The grids stay one row a line, as they are drawn.
// clang-format off

// A red arrow pointing left.
constexpr std::array<std::string_view, 16> kArrowLeftRows{
    "................",
    "................",
    "......r.........",
    ".....rr.........",
    "....rRr.........",
    "...rRRrrrrrrrr..",
    "..rRRRRRRRRRRr..",
    ".rRRRRRRRRRRRr..",
    ".rRRRRRRRRRRRr..",
    "..rRRRRRRRRRRr..",
    "...rRRrrrrrrrr..",
    "....rRr.........",
    ".....rr.........",
    "......r.........",
    "................",
    "................",
};
static_assert(IsWellFormed(kArrowLeftRows));

// The same arrow pointing right.
constexpr std::array<std::string_view, 16> kArrowRightRows{
    "................",
    "................",
    ".........r......",
    ".........rr.....",
    ".........rRr....",
    "..rrrrrrrrRRr...",
    "..rRRRRRRRRRRr..",
    "..rRRRRRRRRRRRr.",
    "..rRRRRRRRRRRRr.",
    "..rRRRRRRRRRRr..",
    "..rrrrrrrrRRr...",
    ".........rRr....",
    ".........rr.....",
    ".........r......",
    "................",
    "................",
};
static_assert(IsWellFormed(kArrowRightRows));

// A green check mark.
constexpr std::array<std::string_view, 16> kCheckMarkRows{
    "................",
    "................",
    "............gg..",
    "...........gGGg.",
    "..........gGGGg.",
    ".........gGGGg..",
    "..gg....gGGGg...",
    ".gGGg..gGGGg....",
    ".gGGGggGGGg.....",
    "..gGGGGGGg......",
    "...gGGGGg.......",
    "....gGGg........",
    ".....gg.........",
    "................",
    "................",
    "................",
};
static_assert(IsWellFormed(kCheckMarkRows));

// A yellow folder, a green arrow and a blue stick: the folder is saved onto the stick.
constexpr std::array<std::string_view, 32> kProgramRows{
    "................................",
    "................................",
    "...yyyyyyyy.....................",
    "..yYYYYYYYYy...........ggggg....",
    ".yyyyyyyyyyyyyyyyyyy...gLLLg....",
    ".yllllllllllllllllly...gGGGg....",
    ".yYYYYYYYYYYYYYYYYYy...gGGGg....",
    ".ylYYYYYYYYYYYYYYYYy...gGGGg....",
    ".ylYYYYYYYYYYYYYYYYy...gGGGg....",
    ".ylYYYYYYYYYYYYYYYYy...gGGGg....",
    ".ylYYYYYYYYYYYYYYYYy...gGGGg....",
    ".ylYYYYYYYYYYYYYYYYy...gGGGg....",
    ".ylYYYYYYYYYYYYYYYYy...gGGGg....",
    ".ylYYYYYYYYYYYYYYYYyggggGGGgggg.",
    ".ylYYYYYYYYYYYYYYYYy.gGGGGGGGg..",
    ".ylYYYYYYYYYYYYYYYYy..gGGGGGg...",
    ".yyyyyyyyyyyyyyyyyyy...gGGGg....",
    "........................gGg.....",
    ".........................g......",
    "................................",
    "................................",
    "...bbbbbbbbbbbbbbbbbbb..........",
    "..bBBBBBBBBBBBBBBBBBBBbssssssss.",
    "..bCCCCCCCCCCCCCCCCCCCbSSSSSSSs.",
    "..bBBBBBBBBBBBBBBBBBBBbSDDSDDSs.",
    "..bBBBWWWWWWWWWWBBBBBBbSDDSDDSs.",
    "..bBBBWWWWWWWWWWBBBBBBbSSSSSSSs.",
    "..bBBBWWWWWWWWWWBBBBBBbSSSSSSSs.",
    "..bBBBBBBBBBBBBBBBBBBBbssssssss.",
    "...bbbbbbbbbbbbbbbbbbb..........",
    "................................",
    "................................",
};
static_assert(IsWellFormed(kProgramRows));

// clang-format on

} // namespace

namespace pictures {
const PixelGrid kArrowLeft{kArrowLeftRows};
const PixelGrid kArrowRight{kArrowRightRows};
const PixelGrid kCheckMark{kCheckMarkRows};
const PixelGrid kProgram{kProgramRows};
} // namespace pictures

Image ToImage(PixelGrid grid) {
    Image image;
    image.height = static_cast<int>(grid.size());
    image.width = grid.empty() ? 0 : static_cast<int>(grid[0].size());
    image.pixels.reserve(static_cast<std::size_t>(image.width) *
                         static_cast<std::size_t>(image.height));
    for (std::string_view row : grid) {
        for (char key : row) {
            const auto entry = std::find_if(kLegend.begin(), kLegend.end(),
                                            [key](const LegendEntry& e) { return e.key == key; });
            image.pixels.push_back(entry != kLegend.end() ? entry->argb : kTransparent);
        }
    }
    return image;
}

} // namespace kelvorin::ui
