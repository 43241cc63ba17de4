#include "app/MainForm.h"

namespace kelvorin {

bool MainForm::FormCreate() {
    locations.dataDir = DataDirFrom(startUp_.PersonalFolder());
    locations.browseDir = locations.dataDir;

    auto arguments = SplitCommandLine(startUp_.CommandLine());
    if (!arguments.empty()) arguments.erase(arguments.begin()); // the program itself
    locations.setFilePath =
        SetFilePathFor(arguments, locations.dataDir,
                       [this](std::u16string_view path) { return io_.files.IsExistingFile(path); });

    flags_.cancelled = false;
    return !Shown(LoadSet(locations.setFilePath));
}

bool MainForm::FormCloseQuery() {
    flags_.cancelled = true;
    return !Shown(SaveSet(locations.setFilePath));
}

void MainForm::FileNeuItemClick() {
    locations.setFilePath = locations.dataDir + u"Kelvorin.ini";
    set.ResetToNew();
    workList.Clear();
}

void MainForm::FileOpenItemClick() {
    if (const auto path = host_.AskSetFileToOpen()) Shown(LoadSet(*path));
}

void MainForm::FileSaveItemClick() {
    if (const auto path = host_.AskSetFileToSave()) Shown(SaveSet(*path));
}

std::optional<SetFileError> MainForm::LoadSet(std::u16string_view path) {
    locations.setFilePath = std::u16string(path);
    return kelvorin::LoadSet(locations.setFilePath, io_, set, workList);
}

std::optional<SetFileError> MainForm::SaveSet(std::u16string_view path) {
    locations.setFilePath = std::u16string(path);
    return kelvorin::SaveSet(locations.setFilePath, io_, set);
}

bool MainForm::Shown(const std::optional<SetFileError>& error) {
    if (error) host_.ShowError(error->Text());
    return error.has_value();
}

} // namespace kelvorin
