#include "ui/PixelImage.h"

#include <algorithm>
#include <cmath>

namespace kelvorin::ui {

namespace {

constexpr std::uint32_t kOutlineGrey = 0xFF808080;
constexpr std::uint32_t kEtchWhite = 0xFFFFFFFF;

bool IsOpaque(std::uint32_t pixel) {
    return (pixel >> 24) >= 0x80;
}

double Channel(std::uint32_t pixel, int shift) {
    return static_cast<double>((pixel >> shift) & 0xFF);
}

std::uint32_t ToChannel(double value, int shift) {
    const long rounded = std::lround(std::clamp(value, 0.0, 255.0));
    return static_cast<std::uint32_t>(rounded) << shift;
}

} // namespace

Image Scaled(const Image& image, int width, int height) {
    Image out{width, height,
              std::vector<std::uint32_t>(static_cast<std::size_t>(width) *
                                         static_cast<std::size_t>(height))};
    if (image.width <= 0 || image.height <= 0 || width <= 0 || height <= 0) return out;
    const double stepX = static_cast<double>(image.width) / width;
    const double stepY = static_cast<double>(image.height) / height;
    for (int y = 0; y < height; ++y) {
        const double top = y * stepY;
        const double bottom = (y + 1) * stepY;
        for (int x = 0; x < width; ++x) {
            const double left = x * stepX;
            const double right = (x + 1) * stepX;
            // Colours are averaged weighted by alpha, so transparent pixels lend no colour.
            double area = 0, alpha = 0, red = 0, green = 0, blue = 0;
            const int lastY = std::min(image.height, static_cast<int>(std::ceil(bottom)));
            const int lastX = std::min(image.width, static_cast<int>(std::ceil(right)));
            for (int sy = static_cast<int>(top); sy < lastY; ++sy) {
                const double coverY = std::min(bottom, sy + 1.0) - std::max(top, double(sy));
                if (coverY <= 0) continue;
                for (int sx = static_cast<int>(left); sx < lastX; ++sx) {
                    const double coverX = std::min(right, sx + 1.0) - std::max(left, double(sx));
                    if (coverX <= 0) continue;
                    const double weight = coverX * coverY;
                    const std::uint32_t pixel = image.At(sx, sy);
                    const double opacity = Channel(pixel, 24) * weight;
                    area += weight;
                    alpha += opacity;
                    red += Channel(pixel, 16) * opacity;
                    green += Channel(pixel, 8) * opacity;
                    blue += Channel(pixel, 0) * opacity;
                }
            }
            if (area <= 0 || alpha <= 0) continue;
            out.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                       static_cast<std::size_t>(x)] =
                ToChannel(alpha / area, 24) | ToChannel(red / alpha, 16) |
                ToChannel(green / alpha, 8) | ToChannel(blue / alpha, 0);
        }
    }
    return out;
}

Image DisabledTwin(const Image& image) {
    Image out{image.width, image.height, std::vector<std::uint32_t>(image.pixels.size())};
    auto opaqueAt = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < image.width && y < image.height && IsOpaque(image.At(x, y));
    };
    auto onOutline = [&](int x, int y) {
        return opaqueAt(x, y) && !(opaqueAt(x - 1, y) && opaqueAt(x + 1, y) && opaqueAt(x, y - 1) &&
                                   opaqueAt(x, y + 1));
    };
    auto set = [&](int x, int y, std::uint32_t pixel) {
        if (x < image.width && y < image.height)
            out.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                       static_cast<std::size_t>(x)] = pixel;
    };
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (onOutline(x, y)) set(x + 1, y + 1, kEtchWhite);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (onOutline(x, y)) set(x, y, kOutlineGrey);
    return out;
}

} // namespace kelvorin::ui
