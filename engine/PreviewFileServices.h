#pragma once
// File services for a preview: the run walks and decides exactly as it would,
// reading the real file system, while every change is only recorded. Later
// look-ups see the recorded changes, so a folder that the run would empty is
// reported as removable.
#include "engine/FileServices.h"

#include <functional>
#include <map>
#include <set>
#include <string>

namespace kelvorin {

enum class PreviewAction { Copy, Delete, Remove };

// A preview moves nothing into the store: its lines stay those of a mirror.
inline int VersionDaysOf(int setDays, bool preview) {
    return preview ? 0 : setDays;
}

class PreviewFileServices : public FileServices {
public:
    using Report = std::function<void(PreviewAction, const std::u16string& path)>;
    PreviewFileServices(FileServices& real, Report report)
        : real_(real), report_(std::move(report)) {}

    bool ListFolder(std::u16string_view pattern,
                    const std::function<void(const FolderEntry&)>& visit) override;
    DosStamp GetFileStamp(std::u16string_view path) override;
    DosStamp GetHandleStamp(Handle h) override;
    bool SetHandleStamp(Handle h, DosStamp stamp, Handle) override;
    bool SetFileStamp(std::u16string_view, DosStamp) override { return true; }
    bool SetHandleTime(Handle, FileTime) override { return true; }
    std::int64_t LocalOffset() override { return real_.LocalOffset(); }
    // A preview does not open files: it cannot tell a size.
    std::int64_t HandleSize(Handle) override { return -1; }
    std::optional<FileFacts> ExistingFile(std::u16string_view path) override;
    PathInfo LookUp(std::u16string_view path) override;
    bool MakeFolderChain(std::u16string_view) override { return true; }
    bool DeleteOneFile(std::u16string_view path) override;
    bool RemoveOneFolder(std::u16string_view path) override;
    bool MoveIntoPlace(std::u16string_view source, std::u16string_view target) override;
    bool RenameWithoutReplacing(std::u16string_view source, std::u16string_view target) override;
    std::int64_t FreeBytesOnDrive(DriveLetter drive) override {
        return real_.FreeBytesOnDrive(drive);
    }
    std::u16string FileSystemName(DriveLetter drive) override {
        return real_.FileSystemName(drive);
    }
    Handle OpenForReading(std::u16string_view path, Sharing) override;
    Handle OpenUncached(std::u16string_view path) override {
        return OpenForReading(path, Sharing::ReadersAllowed);
    }
    std::uint32_t SectorSize(std::u16string_view path) override { return real_.SectorSize(path); }
    Handle CreateForWriting(std::u16string_view path, Sharing) override;
    std::int64_t ReadChunk(Handle, void*, std::int64_t) override { return 0; }
    bool SeekTo(Handle, std::int64_t) override { return true; }
    std::int64_t WriteChunk(Handle, const void*, std::int64_t n) override { return n; }
    FileFault ClaimSize(Handle, std::int64_t) override { return FileFault::None; }
    bool FlushToDrive(Handle) override { return true; }
    void CloseFileHandle(Handle h) override { open_.erase(h); }
    FileFault LastFault() override { return real_.LastFault(); }
    std::uint32_t LastError() override { return real_.LastError(); }
    std::u16string ErrorText(std::uint32_t code) override { return real_.ErrorText(code); }
    // A preview reads the target: a run at work there would change what it reports.
    std::unique_ptr<DriveLock> LockDrive(DriveLetter drive) override {
        return real_.LockDrive(drive);
    }

private:
    bool IsGone(std::u16string_view path) const { return gone_.contains(std::u16string(path)); }
    bool HasCreatedBelow(const std::u16string& folder) const;
    Handle Remember(std::u16string_view path);
    void Rename(std::u16string_view source, std::u16string_view target);

    FileServices& real_;
    Report report_;
    std::set<std::u16string> gone_; // deleted files and removed folders
    // Copies and partial files the run would write, with the stamps they were given.
    std::map<std::u16string, DosStamp> created_;
    std::map<Handle, std::u16string> open_;
    std::u16string lastSource_; // copies are made one at a time
    Handle nextHandle_ = 1000;
};

} // namespace kelvorin
