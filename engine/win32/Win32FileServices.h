#pragma once
// The file services on kernel32. Paths longer than the classic limits are
// normalised and passed in the "\\?\" form, so deep trees are reached whole.
#include "engine/FileServices.h"
#include "engine/win32/LocalTimeOffset.h"

#include <windows.h>

#include <string>

namespace kelvorin {

// The path as handed to the system: unchanged when short, else made full,
// normalised (no doubled backslashes, no "." or "..") and prefixed "\\?\";
// empty, which names nothing, when longer than the system takes.
std::wstring SystemPath(std::u16string_view path);

class Win32FileServices : public FileServices {
public:
    bool ListFolder(std::u16string_view pattern,
                    const std::function<void(const FolderEntry&)>& visit) override;

    DosStamp GetFileStamp(std::u16string_view path) override;
    DosStamp GetHandleStamp(Handle h) override;
    bool SetHandleStamp(Handle h, DosStamp stamp, Handle accessFrom) override;
    bool SetFileStamp(std::u16string_view path, DosStamp stamp) override;
    bool SetHandleTime(Handle h, FileTime time) override;
    std::int64_t LocalOffset() override;
    std::int64_t HandleSize(Handle h) override;

    std::optional<FileFacts> ExistingFile(std::u16string_view path) override;
    PathInfo LookUp(std::u16string_view path) override;

    bool MakeFolderChain(std::u16string_view path) override;
    bool DeleteOneFile(std::u16string_view path) override;
    bool RemoveOneFolder(std::u16string_view path) override;
    bool MoveIntoPlace(std::u16string_view source, std::u16string_view target) override;
    bool RenameWithoutReplacing(std::u16string_view source, std::u16string_view target) override;
    std::int64_t FreeBytesOnDrive(DriveLetter drive) override;
    std::u16string FileSystemName(DriveLetter drive) override;

    Handle OpenForReading(std::u16string_view path, Sharing sharing) override;
    Handle OpenUncached(std::u16string_view path) override;
    std::uint32_t SectorSize(std::u16string_view path) override;
    Handle CreateForWriting(std::u16string_view path, Sharing sharing) override;

    std::int64_t ReadChunk(Handle h, void* buffer, std::int64_t n) override;
    bool SeekTo(Handle h, std::int64_t offset) override;
    std::int64_t WriteChunk(Handle h, const void* buffer, std::int64_t n) override;
    FileFault ClaimSize(Handle h, std::int64_t size) override;
    bool FlushToDrive(Handle h) override;
    void CloseFileHandle(Handle h) override;

    FileFault LastFault() override;
    std::uint32_t LastError() override;
    std::u16string ErrorText(std::uint32_t code) override;
    std::unique_ptr<DriveLock> LockDrive(DriveLetter drive) override;

private:
    DosStamp StampOf(const FILETIME& utc);

    LocalTimeOffset localTime_;
};

} // namespace kelvorin
