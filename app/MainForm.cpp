#include "app/MainForm.h"

namespace kelvorin {

std::u16string BrowseDirAfter(std::u16string_view chosen) {
    std::size_t length = chosen.size();
    while (length > 3 && chosen[length - 1] != u'\\')
        --length;
    return std::u16string(chosen.substr(0, length));
}

bool MainForm::FormCreate() {
    locations.dataDir = DataDirFrom(startUp_.PersonalFolder());
    locations.browseDir = locations.dataDir;

    auto arguments = SplitCommandLine(startUp_.CommandLine());
    if (!arguments.empty()) arguments.erase(arguments.begin()); // the program itself
    locations.setFilePath =
        SetFilePathFor(arguments, locations.dataDir,
                       [this](std::u16string_view path) { return io_.files.IsExistingFile(path); });

    flags_.cancelled = false;
    return !ShowIfError(LoadSet(locations.setFilePath));
}

bool MainForm::FormCloseQuery() {
    flags_.cancelled = true;
    return !ShowIfError(SaveSet(locations.setFilePath));
}

void MainForm::FileNeuItemClick() {
    locations.setFilePath = locations.dataDir + u"Kelvorin.ini";
    host_.ShowSet(BackupSet{});
    host_.WorkList().Clear();
    host_.ShowWorkList();
}

void MainForm::FileOpenItemClick() {
    if (const auto path = host_.AskSetFileToOpen()) ShowIfError(LoadSet(*path));
}

void MainForm::FileSaveItemClick() {
    if (const auto path = host_.AskSetFileToSave()) ShowIfError(SaveSet(*path));
}

void MainForm::AddOrdnerItemClick() {
    std::u16string chosen = locations.browseDir;
    if (!host_.ChooseFolder(chosen)) return;
    // Exact text: a folder written in other letter case is a second entry.
    if (!host_.ReadSet().folders.Contains(chosen)) host_.AddFolder(chosen);
    locations.browseDir = BrowseDirAfter(chosen);
}

std::optional<SetFileError> MainForm::LoadSet(std::u16string_view path) {
    locations.setFilePath = std::u16string(path);
    // Loading keeps the drive when the file cannot be opened: it starts from the shown set.
    BackupSet set = host_.ReadSet();
    const auto error = kelvorin::LoadSet(locations.setFilePath, io_, set, host_.WorkList());
    host_.ShowSet(set);
    host_.ShowWorkList();
    return error;
}

std::optional<SetFileError> MainForm::SaveSet(std::u16string_view path) {
    locations.setFilePath = std::u16string(path);
    return kelvorin::SaveSet(locations.setFilePath, io_, host_.ReadSet());
}

bool MainForm::ShowIfError(const std::optional<SetFileError>& error) {
    if (error) host_.ShowError(error->Text());
    return error.has_value();
}

} // namespace kelvorin
