#pragma once
// File services that pass every call to real ones. A test overrides the one
// call whose fault cannot be made real and leaves the rest to the file system.
#include "engine/FileServices.h"

namespace kelvorin::testing {

class ForwardingFileServices : public FileServices {
public:
    explicit ForwardingFileServices(FileServices& inner) : inner_(inner) {}

    bool ListFolder(std::u16string_view pattern,
                    const std::function<void(const FolderEntry&)>& visit) override {
        return inner_.ListFolder(pattern, visit);
    }
    DosStamp GetFileStamp(std::u16string_view path) override { return inner_.GetFileStamp(path); }
    DosStamp GetHandleStamp(Handle h) override { return inner_.GetHandleStamp(h); }
    bool SetHandleStamp(Handle h, DosStamp stamp, Handle accessFrom) override {
        return inner_.SetHandleStamp(h, stamp, accessFrom);
    }
    bool SetFileStamp(std::u16string_view path, DosStamp stamp) override {
        return inner_.SetFileStamp(path, stamp);
    }
    bool SetHandleTime(Handle h, FileTime time) override { return inner_.SetHandleTime(h, time); }
    std::int64_t LocalOffset() override { return inner_.LocalOffset(); }
    std::int64_t HandleSize(Handle h) override { return inner_.HandleSize(h); }
    std::optional<FileFacts> ExistingFile(std::u16string_view path) override {
        return inner_.ExistingFile(path);
    }
    PathInfo LookUp(std::u16string_view path) override { return inner_.LookUp(path); }
    bool MakeFolderChain(std::u16string_view path) override { return inner_.MakeFolderChain(path); }
    bool DeleteOneFile(std::u16string_view path) override { return inner_.DeleteOneFile(path); }
    bool RemoveOneFolder(std::u16string_view path) override { return inner_.RemoveOneFolder(path); }
    bool MoveIntoPlace(std::u16string_view source, std::u16string_view target) override {
        return inner_.MoveIntoPlace(source, target);
    }
    bool RenameWithoutReplacing(std::u16string_view source, std::u16string_view target) override {
        return inner_.RenameWithoutReplacing(source, target);
    }
    std::int64_t FreeBytesOnDrive(DriveLetter drive) override {
        return inner_.FreeBytesOnDrive(drive);
    }
    std::u16string FileSystemName(DriveLetter drive) override {
        return inner_.FileSystemName(drive);
    }
    Handle OpenForReading(std::u16string_view path, Sharing sharing) override {
        return inner_.OpenForReading(path, sharing);
    }
    Handle OpenUncached(std::u16string_view path) override { return inner_.OpenUncached(path); }
    std::uint32_t SectorSize(std::u16string_view path) override { return inner_.SectorSize(path); }
    Handle CreateForWriting(std::u16string_view path, Sharing sharing) override {
        return inner_.CreateForWriting(path, sharing);
    }
    std::int64_t ReadChunk(Handle h, void* buffer, std::int64_t n) override {
        return inner_.ReadChunk(h, buffer, n);
    }
    bool SeekTo(Handle h, std::int64_t offset) override { return inner_.SeekTo(h, offset); }
    std::int64_t WriteChunk(Handle h, const void* buffer, std::int64_t n) override {
        return inner_.WriteChunk(h, buffer, n);
    }
    FileFault ClaimSize(Handle h, std::int64_t size) override { return inner_.ClaimSize(h, size); }
    bool FlushToDrive(Handle h) override { return inner_.FlushToDrive(h); }
    void CloseFileHandle(Handle h) override { inner_.CloseFileHandle(h); }
    FileFault LastFault() override { return inner_.LastFault(); }
    std::uint32_t LastError() override { return inner_.LastError(); }
    std::u16string ErrorText(std::uint32_t code) override { return inner_.ErrorText(code); }
    std::unique_ptr<DriveLock> LockDrive(DriveLetter drive) override {
        return inner_.LockDrive(drive);
    }

private:
    FileServices& inner_;
};

} // namespace kelvorin::testing
