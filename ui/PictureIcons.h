#pragma once
// Pictures as icons, which Windows draws with their transparency at any size.
#include "ui/Pictures.h"
#include "win32/Handles.h"

namespace kelvorin::ui {

UniqueIcon MakeIcon(const Image& image);

// The picture at the given size in pixels.
UniqueIcon MakeIcon(PixelGrid picture, int width, int height);

// The grey disabled twin of a picture, at the given size.
UniqueIcon MakeDisabledIcon(PixelGrid picture, int width, int height);

} // namespace kelvorin::ui
