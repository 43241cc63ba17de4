// Build-time tool: writes the program icon (an .ico file) from the same pixel
// grid that the about box shows, so both are one picture.
//   WriteIcon OUTPUT.ico
#include "ui/Pictures.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

using kelvorin::ui::Image;

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// One icon image: a 32-bit DIB without file header (height doubled for the mask),
// colour rows bottom-up in BGRA, then the 1-bit transparency mask.
std::vector<std::uint8_t> IconImage(const Image& image) {
    std::vector<std::uint8_t> out;
    const auto width = static_cast<std::uint32_t>(image.width);
    const auto height = static_cast<std::uint32_t>(image.height);
    const std::uint32_t maskStride = ((width + 31) / 32) * 4;
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height * 2);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0); // BI_RGB
    Put32(out, width * height * 4 + maskStride * height);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x)
            Put32(out, image.At(x, y)); // 0xAARRGGBB is BGRA in memory
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskStride, 0);
        for (int x = 0; x < image.width; ++x)
            if ((image.At(x, y) >> 24) < 0x80)
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: WriteIcon OUTPUT.ico\n");
        return 2;
    }
    const Image picture = kelvorin::ui::ToImage(kelvorin::ui::pictures::kProgram);
    std::vector<std::vector<std::uint8_t>> images;
    std::vector<int> sizes{16, 24, 32, 48, 64};
    for (int size : sizes)
        images.push_back(IconImage(kelvorin::ui::Scaled(picture, size, size)));

    std::vector<std::uint8_t> file;
    Put16(file, 0);
    Put16(file, 1); // icon
    Put16(file, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<std::uint8_t>(sizes[i]));
        file.push_back(static_cast<std::uint8_t>(sizes[i]));
        file.push_back(0); // no palette
        file.push_back(0);
        Put16(file, 1);  // planes
        Put16(file, 32); // bits per pixel
        Put32(file, static_cast<std::uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images)
        file.insert(file.end(), image.begin(), image.end());

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    if (!out) {
        std::fprintf(stderr, "WriteIcon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
