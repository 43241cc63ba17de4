#include "ui/Fonts.h"

#include "ui/Dpi.h"

#include <cwchar>

namespace kelvorin::ui {

UniqueFont MakeFont(const FontSpec& spec, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = -Scale(spec.characterHeight, dpi); // negative: character height
    font.lfWeight = spec.weight;
    font.lfCharSet = spec.charset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH;
    wcsncpy(font.lfFaceName, spec.face, LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&font));
}

} // namespace kelvorin::ui
