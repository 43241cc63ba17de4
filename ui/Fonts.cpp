#include "ui/Fonts.h"

#include "ui/Dpi.h"

#include <cwchar>

namespace kelvorin::ui {

UniqueFont MakeFont(const FontSpec& wanted, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = -Scale(wanted.characterHeight, dpi); // negative: character height
    font.lfWeight = wanted.weight;
    font.lfCharSet = wanted.charset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH;
    wcsncpy(font.lfFaceName, wanted.face, LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&font));
}

} // namespace kelvorin::ui
