#pragma once
// The open and save dialogs of the set commands. Each keeps its own last name,
// which it shows the next time.
#include <windows.h>

#include <optional>
#include <string>

namespace kelvorin::ui {

class SetFileDialog {
public:
    enum class Kind { Open, Save };
    explicit SetFileDialog(Kind kind);

    // The chosen path, nothing when the user cancels.
    std::optional<std::wstring> Run(HWND owner);
    const std::wstring& FileName() const { return fileName_; }

private:
    Kind kind_;
    std::wstring fileName_;
};

} // namespace kelvorin::ui
