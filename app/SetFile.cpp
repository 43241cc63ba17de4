#include "app/SetFile.h"

#include "set/SetFileFormat.h"

#include <vector>

namespace kelvorin {

namespace {

// Writes everything in one call or returns the error that stopped it.
std::optional<SetFileError> WriteAll(FileServices& files, FileServices::Handle h,
                                     const std::string& bytes) {
    const auto size = static_cast<std::int64_t>(bytes.size());
    const std::int64_t n = files.WriteChunk(h, bytes.data(), size);
    if (n < 0) return SetFileError{files.LastError()};
    // A write that reached the disk only in part found the disk full.
    if (n < size) return SetFileError{io_error::kDiskFull};
    return std::nullopt;
}

} // namespace

std::u16string SaveTempPath(std::u16string_view path) {
    std::u16string temp(path);
    temp += u".tmp";
    return temp;
}

std::optional<SetFileError> LoadSet(std::u16string_view path, SetFileIo io, BackupSet& set,
                                    SortedList& workList) {
    set.folders.Clear();
    workList.Clear();
    set.exclusions.clear();
    set.synchron = false;
    set.versionDays = BackupSet::kDefaultVersionDays;
    if (path.size() > kMaxSetFilePath) return SetFileError{io_error::kInvalidFileName};

    OpenFile file(io.files, io.files.OpenForReading(path, Sharing::ReadersAllowed));
    if (!file.IsValid()) return std::nullopt;

    SetFileReader reader(io.codePage, set, workList);
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const std::int64_t n =
            io.files.ReadChunk(file.Get(), buffer.data(), static_cast<std::int64_t>(buffer.size()));
        if (n < 0) return SetFileError{io.files.LastError()};
        if (n == 0) break;
        if (!reader.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)))) break;
    }
    reader.Finish();
    file.Close();
    FinishLoadedSet(reader, set, workList);
    return std::nullopt;
}

std::optional<SetFileError> SaveSet(std::u16string_view path, SetFileIo io, const BackupSet& set) {
    if (path.size() > kMaxSetFilePath) return SetFileError{io_error::kInvalidFileName};
    // Windows refuses to replace a read-only file; Wine, running as root, would not.
    if (io.files.LookUp(path).IsReadOnlyFile()) return std::nullopt;

    const std::string bytes = FormatSetFile(set, io.codePage);
    const std::u16string temp = SaveTempPath(path);

    OpenFile tempFile(io.files, io.files.CreateForWriting(temp, Sharing::ReadersAllowed));
    if (!tempFile.IsValid()) {
        OpenFile file(io.files, io.files.CreateForWriting(path, Sharing::ReadersAllowed));
        if (!file.IsValid()) return std::nullopt;
        return WriteAll(io.files, file.Get(), bytes);
    }

    const auto error = WriteAll(io.files, tempFile.Get(), bytes);
    tempFile.Close();
    if (error || !io.files.MoveIntoPlace(temp, path)) io.files.DeleteOneFile(temp);
    return error;
}

} // namespace kelvorin
