#include "ui/SetFileDialogs.h"

#include "ui/Texts.h"

#include <commdlg.h>

#include <vector>

namespace kelvorin::ui {

SetFileDialog::SetFileDialog(Kind kind) : kind_(kind), fileName_(texts::kSetFileInitialName) {}

std::optional<std::wstring> SetFileDialog::Run(HWND owner) {
    // Room for long paths; the set file itself refuses more than 259 characters.
    std::vector<wchar_t> buffer(32768, L'\0');
    fileName_.copy(buffer.data(), buffer.size() - 1);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = texts::kSetFileFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrDefExt = L"ini";
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING | OFN_EXPLORER;
    if (kind_ == Kind::Save) ofn.Flags |= OFN_OVERWRITEPROMPT;

    const BOOL ok = kind_ == Kind::Open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
    if (!ok) return std::nullopt;
    fileName_ = buffer.data();
    return fileName_;
}

} // namespace kelvorin::ui
