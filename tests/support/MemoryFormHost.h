#pragma once
// The main window's controls held in memory, for the handlers that need no
// window: the set, the file list, the dialogs' answers and the boxes shown.
#include "app/MainForm.h"

#include <optional>
#include <string>
#include <vector>

namespace kelvorin::testing {

class MemoryFormHost : public MainFormHost {
public:
    BackupSet set;
    SortedList workList;
    std::vector<std::u16string> errors;
    std::optional<std::u16string> openAnswer, saveAnswer;
    int opens = 0, saves = 0;
    // The folder chooser: what it was opened at, and what it answers (nothing: cancelled).
    std::vector<std::u16string> chooserOpenedAt;
    std::optional<std::u16string> chooserAnswer;

    void ShowError(const std::u16string& text) override { errors.push_back(text); }
    std::optional<std::u16string> AskSetFileToOpen() override {
        ++opens;
        return openAnswer;
    }
    std::optional<std::u16string> AskSetFileToSave() override {
        ++saves;
        return saveAnswer;
    }
    bool ChooseFolder(std::u16string& folder) override {
        chooserOpenedAt.push_back(folder);
        if (!chooserAnswer) return false;
        folder = *chooserAnswer;
        return true;
    }
    BackupSet ReadSet() override { return set; }
    void ShowSet(const BackupSet& shown) override { set = shown; }
    void AddFolder(const std::u16string& folder) override { set.folders.Add(folder); }
    SortedList& WorkList() override { return workList; }
    void ShowWorkList() override {}
};

} // namespace kelvorin::testing
