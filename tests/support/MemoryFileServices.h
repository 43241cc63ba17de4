#pragma once
// A file system held in memory, for runs under the sanitizers and for faults
// that a real file system cannot be made to show on demand. It behaves as
// Windows does where the engine depends on it: names ignore case, runs of
// backslashes count as one, a read-only file cannot be replaced or deleted, a
// file open for reading cannot be opened again, and a folder that cannot be
// listed hides what is below it. Calls may come from several threads.
#include "engine/FileServices.h"
#include "tests/support/MemoryDriveLocks.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace kelvorin::testing {

class MemoryFileServices : public FileServices {
public:
    struct Node {
        std::u16string path; // as it was last named
        bool folder = false;
        std::uint32_t attributes = 0; // without kAttrDirectory
        std::uint32_t reparseTag = 0;
        std::string bytes;
        DosStamp stamp = kNoStamp;
    };
    using Tree = std::map<std::u16string, Node>; // by Key

    // The form every path is looked up in: backslash runs made one, no
    // trailing backslash, letters folded.
    static std::u16string Key(std::u16string_view path);

    // -- Building the tree; folders on the way are made, those there kept.
    void AddDrive(char16_t letter, std::int64_t capacity = std::int64_t{1} << 40);
    // Room for this many bytes of files in all, those already there included.
    void SetCapacity(char16_t letter, std::int64_t capacity) {
        drives_[Upper(letter)].capacity = capacity;
    }
    void AddFolder(std::u16string_view path, std::uint32_t attributes = 0);
    void AddFile(std::u16string_view path, std::string bytes, DosStamp stamp,
                 std::uint32_t attributes = 0);
    // A junction: it holds entries of its own, which a walk must never see.
    void AddFolderLink(std::u16string_view path);

    // -- Faults.
    void FailOpen(std::u16string_view path) { failOpen_.insert(Key(path)); }
    // Reads of the file fail from this byte on.
    void FailReadFrom(std::u16string_view path, std::int64_t offset) {
        failReadFrom_[Key(path)] = offset;
    }
    // The folder exists but cannot be listed; nothing below it can be looked at.
    void Deny(std::u16string_view folder) { denied_.insert(Key(folder)); }
    // After this many more calls that touch the drive, it is gone: its paths
    // are not found and its open files fail. What it held stays in Nodes().
    void VanishAfter(char16_t drive, int calls) { vanishAfter_[Upper(drive)] = calls; }
    bool Vanished(char16_t drive) const;

    // -- Looking, without faults or counting.
    const Tree& Nodes() const { return nodes_; }
    const Node* Find(std::u16string_view path) const;
    bool IsDenied(std::u16string_view path) const; // the path or a folder above it
    int OpenHandles() const { return static_cast<int>(open_.size()); }

    // -- FileServices.
    bool ListFolder(std::u16string_view pattern,
                    const std::function<void(const FolderEntry&)>& visit) override;
    DosStamp GetFileStamp(std::u16string_view path) override;
    DosStamp GetHandleStamp(Handle h) override;
    bool SetHandleStamp(Handle h, DosStamp stamp, Handle accessFrom) override;
    bool SetFileStamp(std::u16string_view path, DosStamp stamp) override;
    // The world's local time is UTC: a stamp and its file time are one.
    bool SetHandleTime(Handle h, FileTime time) override;
    std::int64_t LocalOffset() override { return 0; }
    std::int64_t HandleSize(Handle h) override;
    std::optional<FileFacts> ExistingFile(std::u16string_view path) override;
    PathInfo LookUp(std::u16string_view path) override;
    bool MakeFolderChain(std::u16string_view path) override;
    bool DeleteOneFile(std::u16string_view path) override;
    bool RemoveOneFolder(std::u16string_view path) override;
    bool MoveIntoPlace(std::u16string_view source, std::u16string_view target) override;
    bool RenameWithoutReplacing(std::u16string_view source, std::u16string_view target) override;
    std::int64_t FreeBytesOnDrive(DriveLetter drive) override;
    std::u16string FileSystemName(DriveLetter drive) override {
        return drive.IsNone() ? u"" : u"NTFS";
    }
    Handle OpenForReading(std::u16string_view path, Sharing sharing) override {
        return Open(path, false, sharing == Sharing::ReadersAllowed);
    }
    Handle OpenUncached(std::u16string_view path) override;
    std::uint32_t SectorSize(std::u16string_view) override { return 512; }
    Handle CreateForWriting(std::u16string_view path, Sharing sharing) override {
        return Open(path, true, sharing == Sharing::ReadersAllowed);
    }
    std::int64_t ReadChunk(Handle h, void* buffer, std::int64_t n) override;
    bool SeekTo(Handle h, std::int64_t offset) override;
    std::int64_t WriteChunk(Handle h, const void* buffer, std::int64_t n) override;
    FileFault ClaimSize(Handle h, std::int64_t size) override;
    bool FlushToDrive(Handle h) override;
    void CloseFileHandle(Handle h) override {
        const std::lock_guard lock(mutex_);
        open_.erase(h);
    }
    FileFault LastFault() override { return FaultOf(lastError_); }
    std::uint32_t LastError() override { return lastError_; }
    std::u16string ErrorText(std::uint32_t code) override;
    std::unique_ptr<DriveLock> LockDrive(DriveLetter drive) override {
        return failDriveLocks_ ? nullptr : driveLocks_.Lock(drive);
    }
    // The system refuses to make any drive's lock.
    void FailDriveLocks() { failDriveLocks_ = true; }

private:
    struct OpenState {
        std::u16string key;
        bool writing;
        bool shared;
        std::int64_t position = 0;
        // Reads the device: a read over a bad place fails whole, as a
        // sector that cannot be read gives no bytes.
        bool uncached = false;
    };
    struct Drive {
        std::int64_t capacity;
        std::int64_t used = 0;
    };

    static char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? c - 32 : c; }
    static std::u16string ParentKey(const std::u16string& key);
    // Counts a call on the path's drive; false when the drive is not there.
    bool Reach(std::u16string_view path);
    // What a look-up of an existing, reachable path gives; sets the last error.
    Node* LookUpNode(std::u16string_view path);
    Node& Put(std::u16string_view path, bool folder);
    Handle Open(std::u16string_view path, bool writing, bool shared);
    bool IsOpen(const std::u16string& key) const;
    void Resize(Node& node, std::size_t size);
    bool Fail(std::uint32_t error) {
        lastError_ = error;
        return false;
    }

    // A check reads two files at once, from two threads. Visitors of a
    // listing call back in, so the lock may be taken again. A world that is
    // moved or copied gets a lock of its own.
    struct Lock : std::recursive_mutex {
        Lock() = default;
        Lock(const Lock&) : std::recursive_mutex() {}
        Lock& operator=(const Lock&) { return *this; }
    };
    Lock mutex_;
    Tree nodes_;
    std::map<char16_t, Drive> drives_;
    std::map<char16_t, int> vanishAfter_;
    std::set<std::u16string> failOpen_, denied_;
    std::map<std::u16string, std::int64_t> failReadFrom_;
    std::map<Handle, OpenState> open_;
    Handle nextHandle_ = 100;
    std::uint32_t lastError_ = 0;
    MemoryDriveLocks driveLocks_;
    bool failDriveLocks_ = false;
};

} // namespace kelvorin::testing
