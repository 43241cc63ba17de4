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

// The pictures of the controls and menus are 16 x 16.
constexpr std::size_t kSmallSide = 16;

template <std::size_t Rows, std::size_t Columns>
using PixelCells = std::array<std::array<char, Columns>, Rows>;

// A picture drawn over another, which is moved down by some rows: where the
// upper one is transparent, the lower one shows. Rows moved out at the bottom
// are dropped.
template <std::size_t UpperRows, std::size_t Rows>
constexpr PixelCells<Rows, kSmallSide> Overlay(const std::array<std::string_view, UpperRows>& upper,
                                               const std::array<std::string_view, Rows>& lower,
                                               std::size_t lowerDown) {
    PixelCells<Rows, kSmallSide> cells{};
    for (std::size_t row = 0; row < Rows; ++row) {
        for (std::size_t column = 0; column < kSmallSide; ++column) {
            const char above = row < UpperRows ? upper[row][column] : '.';
            const char below = row >= lowerDown ? lower[row - lowerDown][column] : '.';
            cells[row][column] = above != '.' ? above : below;
        }
    }
    return cells;
}

// The rows of a grid made by Overlay, which must outlive them.
template <std::size_t Rows, std::size_t Columns>
constexpr std::array<std::string_view, Rows> RowsOf(const PixelCells<Rows, Columns>& cells) {
    std::array<std::string_view, Rows> rows{};
    for (std::size_t row = 0; row < Rows; ++row)
        rows[row] = std::string_view(cells[row].data(), Columns);
    return rows;
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

// A black diagonal cross.
constexpr std::array<std::string_view, 16> kExitRows{
    "................",
    "................",
    "..KK........KK..",
    "..KKK......KKK..",
    "...KKK....KKK...",
    "....KKK..KKK....",
    ".....KKKKKK.....",
    "......KKKK......",
    "......KKKK......",
    ".....KKKKKK.....",
    "....KKK..KKK....",
    "...KKK....KKK...",
    "..KKK......KKK..",
    "..KK........KK..",
    "................",
    "................",
};
static_assert(IsWellFormed(kExitRows));

// A blank sheet with its upper right corner folded over.
constexpr std::array<std::string_view, 16> kNewSheetRows{
    "................",
    "..DDDDDDDD......",
    "..DWWWWWWDD.....",
    "..DWWWWWWDSD....",
    "..DWWWWWWDSSD...",
    "..DWWWWWWDSSSD..",
    "..DWWWWWWDDDDD..",
    "..DWWWWWWWWWWD..",
    "..DWWWWWWWWWWD..",
    "..DWWWWWWWWWWD..",
    "..DWWWWWWWWWWD..",
    "..DWWWWWWWWWWD..",
    "..DWWWWWWWWWWD..",
    "..DWWWWWWWWWWD..",
    "..DDDDDDDDDDDD..",
    "................",
};
static_assert(IsWellFormed(kNewSheetRows));

// A floppy disk: the label above, the shutter below.
constexpr std::array<std::string_view, 16> kFloppyRows{
    "................",
    ".bbbbbbbbbbbbb..",
    ".bBWWWWWWWWWWBb.",
    ".bBWWWWWWWWWWBb.",
    ".bBWssssssssWBb.",
    ".bBWWWWWWWWWWBb.",
    ".bBWssssssssWBb.",
    ".bBWWWWWWWWWWBb.",
    ".bBBBBBBBBBBBBb.",
    ".bBBBBBBBBBBBBb.",
    ".bBBSSSSSSSBBBb.",
    ".bBBSDDSSSSBBBb.",
    ".bBBSDDSSSSBBBb.",
    ".bBBSDDSSSSBBBb.",
    ".bbbbbbbbbbbbbb.",
    "................",
};
static_assert(IsWellFormed(kFloppyRows));

// A page, and a red arrow pointing down into a floppy disk.
constexpr std::array<std::string_view, 16> kSichernRows{
    "DDDDD.....rrrr..",
    "DWWWDD....rRRr..",
    "DWWWDSD...rRRr..",
    "DWWWDDDD..rRRr..",
    "DWWWWWWDrRRRRRRr",
    "DWssssWD.rRRRRr.",
    "DWWWWWWD..rRRr..",
    "DWsssbbbbbbrrbbb",
    "DWWWWbBWWWWWWWBb",
    "DWsssbBWWWWWWWBb",
    "DWWWWbBWWWWWWWBb",
    "DDDDDbBBBBBBBBBb",
    ".....bBBBSSSSBBb",
    ".....bBBBSDDSBBb",
    ".....bBBBSDDSBBb",
    ".....bbbbbbbbbbb",
};
static_assert(IsWellFormed(kSichernRows));

// A folder and a blue plus.
constexpr std::array<std::string_view, 16> kAddFolderRows{
    "................",
    "................",
    "..yyyyy.........",
    ".yYYYYYy........",
    "yyyyyyyyyyyyyy..",
    "ylllllllllllly..",
    "ylYYYYYYYYYYYy..",
    "ylYYYYYYYYYYYy..",
    "ylYYYYYYYYbbbb..",
    "ylYYYYYYYYbBBb..",
    "ylYYYYYYbbbBBbbb",
    "ylYYYYYYbBBBBBBb",
    "ylYYYYYYbBBBBBBb",
    "yyyyyyyybbbBBbbb",
    "..........bBBb..",
    "..........bbbb..",
};
static_assert(IsWellFormed(kAddFolderRows));

// The same folder and a blue minus.
constexpr std::array<std::string_view, 16> kDelFolderRows{
    "................",
    "................",
    "..yyyyy.........",
    ".yYYYYYy........",
    "yyyyyyyyyyyyyy..",
    "ylllllllllllly..",
    "ylYYYYYYYYYYYy..",
    "ylYYYYYYYYYYYy..",
    "ylYYYYYYYYYYYy..",
    "ylYYYYYYYYYYYy..",
    "ylYYYYYYbbbbbbbb",
    "ylYYYYYYbBBBBBBb",
    "ylYYYYYYbBBBBBBb",
    "yyyyyyyybbbbbbbb",
    "................",
    "................",
};
static_assert(IsWellFormed(kDelFolderRows));

// A red question mark on a yellow disc.
constexpr std::array<std::string_view, 16> kHelpRows{
    ".....yyyyyy.....",
    "...yyYYYYYYyy...",
    "..yYYYYYYYYYYy..",
    ".yYYYYRRRRYYYYy.",
    ".yYYYRRYYRRYYYy.",
    "yYYYYRRYYRRYYYYy",
    "yYYYYYYYYRRYYYYy",
    "yYYYYYYYRRYYYYYy",
    "yYYYYYYRRYYYYYYy",
    "yYYYYYYRRYYYYYYy",
    "yYYYYYYYYYYYYYYy",
    ".yYYYYYRRYYYYYy.",
    ".yYYYYYRRYYYYYy.",
    "..yYYYYYYYYYYy..",
    "...yyYYYYYYyy...",
    ".....yyyyyy.....",
};
static_assert(IsWellFormed(kHelpRows));

// A red cross.
constexpr std::array<std::string_view, 16> kCancelCrossRows{
    "................",
    ".rrr........rrr.",
    ".rRRr......rRRr.",
    ".rRRRr....rRRRr.",
    "..rRRRr..rRRRr..",
    "...rRRRrrRRRr...",
    "....rRRRRRRr....",
    ".....rRRRRr.....",
    ".....rRRRRr.....",
    "....rRRRRRRr....",
    "...rRRRrrRRRr...",
    "..rRRRr..rRRRr..",
    ".rRRRr....rRRRr.",
    ".rRRr......rRRr.",
    ".rrr........rrr.",
    "................",
};
static_assert(IsWellFormed(kCancelCrossRows));

// A closed folder.
constexpr std::array<std::string_view, 16> kFolderClosedRows{
    "................",
    "................",
    "..yyyyy.........",
    ".yYYYYYy........",
    "yyyyyyyyyyyyyyy.",
    "yllllllllllllly.",
    "ylYYYYYYYYYYYYy.",
    "ylYYYYYYYYYYYYy.",
    "ylYYYYYYYYYYYYy.",
    "ylYYYYYYYYYYYYy.",
    "ylYYYYYYYYYYYYy.",
    "ylYYYYYYYYYYYYy.",
    "ylYYYYYYYYYYYYy.",
    "yyyyyyyyyyyyyyy.",
    "................",
    "................",
};
static_assert(IsWellFormed(kFolderClosedRows));

// An open folder.
constexpr std::array<std::string_view, 16> kFolderOpenRows{
    "................",
    "................",
    "..yyyyy.........",
    ".yYYYYYy........",
    "yyyyyyyyyyyyy...",
    "ylYYYYYYYYYYy...",
    "ylYyyyyyyyyyyyyy",
    "ylYylllllllllly.",
    "ylylYYYYYYYYYYy.",
    "ylylYYYYYYYYYYy.",
    "yylYYYYYYYYYYy..",
    "yylYYYYYYYYYYy..",
    "ylYYYYYYYYYYy...",
    "yyyyyyyyyyyyy...",
    "................",
    "................",
};
static_assert(IsWellFormed(kFolderOpenRows));

// A green arrow curving out of a folder below it.
constexpr std::array<std::string_view, 6> kArrowOutRows{
    ".........GGGG...",
    "........GGGGGG..",
    ".......GGG..GGG.",
    ".......GG..GGGGG",
    "............GGG.",
    ".............G..",
};
static_assert(IsWellFormed(kArrowOutRows));

// clang-format on

// "Öffnen": the open folder of the folder tree, two rows lower, and the arrow
// out of it.
constexpr auto kOpenFolderCells = Overlay(kArrowOutRows, kFolderOpenRows, 2);
constexpr auto kOpenFolderRows = RowsOf(kOpenFolderCells);
static_assert(IsWellFormed(kOpenFolderRows));

// clang-format off

// A hard disk: a flat grey box with a green light.
constexpr std::array<std::string_view, 16> kDriveFixedRows{
    "................",
    "................",
    "................",
    "................",
    "...DDDDDDDDDDDD.",
    "..DWWWWWWWWWWDD.",
    ".DWWWWWWWWWWDsD.",
    "DDDDDDDDDDDDssD.",
    "DSSSSSSSSSSDsD..",
    "DSSSSSSSSGSDsD..",
    "DsssssssssDsD...",
    "DDDDDDDDDDDD....",
    "................",
    "................",
    "................",
    "................",
};
static_assert(IsWellFormed(kDriveFixedRows));

// A blue stick with its silver plug.
constexpr std::array<std::string_view, 16> kDriveRemovableRows{
    "................",
    "................",
    "................",
    "................",
    "................",
    ".bbbbbbbbbb.....",
    "bCCCCCCCCCCbssss",
    "bBBBBBBBBBBbSSSs",
    "bBWWWWWBBBBbSDDs",
    "bBWWWWWBBBBbSSSs",
    "bBBBBBBBBBBbssss",
    ".bbbbbbbbbb.....",
    "................",
    "................",
    "................",
    "................",
};
static_assert(IsWellFormed(kDriveRemovableRows));

// A compact disc.
constexpr std::array<std::string_view, 16> kDriveCdRomRows{
    ".....ssssss.....",
    "...ssSSSSSSss...",
    "..sSSWWSSSSSSs..",
    ".sSSWWSSSSSCCSs.",
    ".sSWWSSSSSSCCSs.",
    "sSWWSSSssSSSCCSs",
    "sSSSSSs..sSSSCSs",
    "sSSSSs....sSSSSs",
    "sSSSSs....sSSSSs",
    "sSCSSSs..sSSSSSs",
    "sSCCSSSssSSSWWSs",
    ".sSCCSSSSSSWWSs.",
    ".sSSCCSSSSWWSSs.",
    "..sSSSSSSSSSSs..",
    "...ssSSSSSSss...",
    ".....ssssss.....",
};
static_assert(IsWellFormed(kDriveCdRomRows));

// A hard disk on a network cable.
constexpr std::array<std::string_view, 16> kDriveNetworkRows{
    "................",
    "...DDDDDDDDDDDD.",
    "..DWWWWWWWWWWDD.",
    ".DWWWWWWWWWWDsD.",
    "DDDDDDDDDDDDssD.",
    "DSSSSSSSSSSDsD..",
    "DSSSSSSSSGSDsD..",
    "DsssssssssDsD...",
    "DDDDDDDDDDDD....",
    ".....gGg........",
    ".....gGg........",
    "ggggggGgggggggg.",
    "GGGGGGGGGGGGGGG.",
    "ggggggggggggggg.",
    "................",
    "................",
};
static_assert(IsWellFormed(kDriveNetworkRows));

// A memory module: black chips on a green board, gold contacts.
constexpr std::array<std::string_view, 16> kDriveRamRows{
    "................",
    "................",
    "................",
    "................",
    "gggggggggggggggg",
    "gGGGGGGGGGGGGGGg",
    "gGKKGKKGGKKGKKGg",
    "gGKKGKKGGKKGKKGg",
    "gGKKGKKGGKKGKKGg",
    "gGGGGGGGGGGGGGGg",
    "gYGYGYGggYGYGYGg",
    "gYgYgYg..YgYgYgg",
    "................",
    "................",
    "................",
    "................",
};
static_assert(IsWellFormed(kDriveRamRows));

// clang-format on

} // namespace

namespace pictures {
const PixelGrid kArrowLeft{kArrowLeftRows};
const PixelGrid kArrowRight{kArrowRightRows};
const PixelGrid kCheckMark{kCheckMarkRows};
const PixelGrid kProgram{kProgramRows};
const PixelGrid kExit{kExitRows};
const PixelGrid kNewSheet{kNewSheetRows};
const PixelGrid kOpenFolder{kOpenFolderRows};
const PixelGrid kFloppy{kFloppyRows};
const PixelGrid kSichern{kSichernRows};
const PixelGrid kAddFolder{kAddFolderRows};
const PixelGrid kDelFolder{kDelFolderRows};
const PixelGrid kHelp{kHelpRows};
const PixelGrid kCancelCross{kCancelCrossRows};
const PixelGrid kFolderClosed{kFolderClosedRows};
const PixelGrid kFolderOpen{kFolderOpenRows};
const PixelGrid kDriveFixed{kDriveFixedRows};
const PixelGrid kDriveRemovable{kDriveRemovableRows};
const PixelGrid kDriveCdRom{kDriveCdRomRows};
const PixelGrid kDriveNetwork{kDriveNetworkRows};
const PixelGrid kDriveRam{kDriveRamRows};
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
