#pragma once
// Small images in memory for the pictures that the windows draw. Portable: the
// icon writer of the build uses it too.
#include <cstdint>
#include <vector>

namespace kelvorin::ui {

// 32-bit pixels 0xAARRGGBB with straight (not premultiplied) alpha, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

inline constexpr std::uint32_t kTransparent = 0x00000000;

// The image resampled to the given size, each pixel the average of the area it covers.
Image Scaled(const Image& image, int width, int height);

// The disabled look of a picture: its outline in grey, over a white copy of the
// outline one pixel to the lower right, as if etched into the button.
Image DisabledTwin(const Image& image);

} // namespace kelvorin::ui
