#pragma once
// The pictures of the windows, drawn by hand as grids of characters, one
// character a pixel; the legend in Pictures.cpp gives the colours. Portable: the
// program icon is written from the same grid at build time.
#include "ui/PixelImage.h"

#include <span>
#include <string_view>

namespace kelvorin::ui {

using PixelGrid = std::span<const std::string_view>;

namespace pictures {
extern const PixelGrid kArrowLeft;   // "Zurück": a red arrow pointing left, 16 x 16
extern const PixelGrid kArrowRight;  // "Weiter": a red arrow pointing right, 16 x 16
extern const PixelGrid kCheckMark;   // "OK": a green check mark, 16 x 16
extern const PixelGrid kProgram;     // a folder saved onto a stick, 32 x 32; also the program icon
extern const PixelGrid kExit;        // "Beenden": a black diagonal cross, 16 x 16
extern const PixelGrid kNewSheet;    // a blank sheet with a folded corner, 16 x 16
extern const PixelGrid kOpenFolder;  // "Öffnen": an arrow out of an open folder, 16 x 16
extern const PixelGrid kFloppy;      // "Speichern": a floppy disk, 16 x 16
extern const PixelGrid kSichern;     // "Sichern": a page, a red arrow into a floppy, 16 x 16
extern const PixelGrid kAddFolder;   // a folder and a blue plus, 16 x 16
extern const PixelGrid kDelFolder;   // the same folder and a blue minus, 16 x 16
extern const PixelGrid kHelp;        // a red question mark on a yellow disc, 16 x 16
extern const PixelGrid kCancelCross; // "Ende": a red cross, 16 x 16

// The folder chooser: its tree and its drive selector.
extern const PixelGrid kFolderClosed;   // a closed folder in the folder tree, 16 x 16
extern const PixelGrid kFolderOpen;     // an open folder in the folder tree, 16 x 16
extern const PixelGrid kDriveFixed;     // a hard disk, 16 x 16
extern const PixelGrid kDriveRemovable; // a stick, 16 x 16
extern const PixelGrid kDriveCdRom;     // a compact disc, 16 x 16
extern const PixelGrid kDriveNetwork;   // a hard disk on a network cable, 16 x 16
extern const PixelGrid kDriveRam;       // a memory module, for a RAM disk, 16 x 16
} // namespace pictures

Image ToImage(PixelGrid grid);

} // namespace kelvorin::ui
