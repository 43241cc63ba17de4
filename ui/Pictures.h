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
extern const PixelGrid kArrowLeft;  // "Zurück": a red arrow pointing left, 16 x 16
extern const PixelGrid kArrowRight; // "Weiter": a red arrow pointing right, 16 x 16
extern const PixelGrid kCheckMark;  // "OK": a green check mark, 16 x 16
extern const PixelGrid kProgram;    // a folder saved onto a stick, 32 x 32; also the program icon
} // namespace pictures

Image ToImage(PixelGrid grid);

} // namespace kelvorin::ui
