#include "ui/PictureIcons.h"

#include <cstring>
#include <vector>

namespace kelvorin::ui {

UniqueIcon MakeIcon(const Image& image) {
    if (image.width <= 0 || image.height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height; // top row first, as the image
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!colour || !bits) return {};
    // 0xAARRGGBB in memory is the DIB's BGRA; icons take straight alpha.
    std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(image.pixels[0]));

    // The mask marks the transparent pixels for drawing without alpha; rows are 16-bit aligned.
    const int stride = ((image.width + 15) / 16) * 2;
    std::vector<BYTE> maskBits(static_cast<std::size_t>(stride) *
                               static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if ((image.At(x, y) >> 24) < 0x80)
                maskBits[static_cast<std::size_t>(y * stride + x / 8)] |=
                    static_cast<BYTE>(0x80 >> (x % 8));
    UniqueBitmap mask(CreateBitmap(image.width, image.height, 1, 1, maskBits.data()));
    if (!mask) return {};

    ICONINFO icon{};
    icon.fIcon = TRUE;
    icon.hbmColor = colour.get();
    icon.hbmMask = mask.get();
    return UniqueIcon(CreateIconIndirect(&icon)); // copies both bitmaps
}

UniqueIcon MakeIcon(PixelGrid picture, int width, int height) {
    return MakeIcon(Scaled(ToImage(picture), width, height));
}

UniqueIcon MakeDisabledIcon(PixelGrid picture, int width, int height) {
    return MakeIcon(Scaled(DisabledTwin(ToImage(picture)), width, height));
}

} // namespace kelvorin::ui
