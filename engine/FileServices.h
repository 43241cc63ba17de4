#pragma once
// What the program needs of the file system. The Win32 implementation is the
// product's; tests may wrap it to inject faults that cannot be made real.
#include "engine/FileFaults.h"
#include "set/DriveLetter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kelvorin {

// -1 means no stamp. Compare two stamps with StampDifference.
using DosStamp = std::int32_t;
constexpr DosStamp kNoStamp = -1;

inline std::int32_t StampDifference(DosStamp a, DosStamp b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// A last-write time as the file system keeps it: 100 ns ticks since 1601 in
// UTC, which no change of the local offset moves. 0 means none.
using FileTime = std::uint64_t;
constexpr FileTime kNoFileTime = 0;

constexpr std::uint32_t kAttrReadOnly = 0x01;
constexpr std::uint32_t kAttrHidden = 0x02;
constexpr std::uint32_t kAttrSystem = 0x04;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrReparsePoint = 0x400;
constexpr std::uint32_t kNoAttributes = 0xFFFFFFFF; // what Attributes gives for no file

struct FolderEntry {
    std::u16string_view name;
    std::uint32_t attributes;
    std::uint32_t reparseTag = 0; // with kAttrReparsePoint; 0 when unknown
    std::uint64_t size = 0;       // of a file, in bytes
    // Of a file that is no link, as GetFileStamp gives it; kNoStamp: ask it.
    DosStamp stamp = kNoStamp;
};

// What a look-up tells of a file that is there.
struct FileFacts {
    DosStamp stamp;
    std::uint64_t size;          // in bytes
    FileTime time = kNoFileTime; // the stamp's moment, to the file system's precision
};

// A junction or symbolic link to a folder: never walked, so a link into its
// own tree cannot loop. Other reparse points (cloud placeholders) are plain
// folders; an unknown tag counts as a link.
inline bool IsFolderLink(const FolderEntry& e) {
    constexpr std::uint32_t kNameSurrogate = 0x20000000;
    return (e.attributes & kAttrDirectory) && (e.attributes & kAttrReparsePoint) &&
           (e.reparseTag == 0 || (e.reparseTag & kNameSurrogate));
}

// What a look-up of a path found.
enum class PathState { File, Folder, Missing, Unknown };

struct PathInfo {
    PathState state;
    std::uint32_t attributes; // kNoAttributes when they cannot be read

    // Windows refuses to replace or delete a read-only file; Wine running as
    // root does not, and the program must behave the same on both.
    bool IsReadOnlyFile() const { return state == PathState::File && (attributes & kAttrReadOnly); }
};

// Whether others may read a file while it is open here. Exclusive: a file
// held open elsewhere cannot be opened either.
enum class Sharing { Exclusive, ReadersAllowed };

// The hold on a target drive that lets one run at a time work on it, whatever
// program, user or session it comes from. It belongs to the thread that took
// it, may be taken again by that thread without waiting, and is given up when
// its owner goes, or by the system when the process dies.
class DriveLock {
public:
    enum class Attempt { Taken, Busy, Failed };
    virtual ~DriveLock() = default;
    // Taken once the drive is held here, Busy while another holds it after
    // the given time, Failed when the lock cannot be had at all.
    virtual Attempt Wait(std::uint32_t milliseconds) = 0;
};

class FileServices {
public:
    using Handle = std::intptr_t;
    static constexpr Handle kInvalidHandle = -1;

    virtual ~FileServices() = default;

    // Pattern is the folder path followed by "\*.*". Every entry, "." and ".."
    // included, in file-system order. False when the folder could not be
    // listed to its end (missing, denied, a read error): what was visited is
    // then only part of it.
    virtual bool ListFolder(std::u16string_view pattern,
                            const std::function<void(const FolderEntry&)>& visit) = 0;

    // The stamp of a file (a link's: its target's), kNoStamp without one.
    virtual DosStamp GetFileStamp(std::u16string_view path) = 0;
    virtual DosStamp GetHandleStamp(Handle h) = 0;
    // The stamp as the write time, the access time of `accessFrom` (the
    // stamp's when that is kInvalidHandle) with it: some drivers ignore a
    // write time that comes alone. False when it could not be set.
    virtual bool SetHandleStamp(Handle h, DosStamp stamp, Handle accessFrom) = 0;
    // The same for a closed file, its access time with it.
    virtual bool SetFileStamp(std::u16string_view path, DosStamp stamp) = 0;
    // An exact write time, and the access time with it.
    virtual bool SetHandleTime(Handle h, FileTime time) = 0;
    // Local time minus UTC in ticks, as the stamps are made now.
    virtual std::int64_t LocalOffset() = 0;
    // The size of an open file in bytes, -1 when it cannot be told.
    virtual std::int64_t HandleSize(Handle h) = 0;

    // Two look-ups, each one call to the system:
    // - ExistingFile: a file's stamp and size, nullopt for anything but a
    //   file that is there. The copy rule's question about every backup. A
    //   link to a file counts when its target opens or is in use.
    // - LookUp: what the path is, and its attribute bits. Missing only when
    //   the system says "not found"; no access, a drive not ready and the
    //   like are Unknown: the question before anything goes.
    virtual std::optional<FileFacts> ExistingFile(std::u16string_view path) = 0;
    virtual PathInfo LookUp(std::u16string_view path) = 0;

    // Parts of the answers above, for callers that need no more.
    bool IsExistingFile(std::u16string_view path) { return ExistingFile(path).has_value(); }
    bool IsExistingFolder(std::u16string_view path) {
        return LookUp(path).state == PathState::Folder;
    }
    PathState StateOf(std::u16string_view path) { return LookUp(path).state; }

    virtual bool MakeFolderChain(std::u16string_view path) = 0;
    virtual bool DeleteOneFile(std::u16string_view path) = 0;
    virtual bool RemoveOneFolder(std::u16string_view path) = 0;
    // Replaces target by source in one step, written through.
    virtual bool MoveIntoPlace(std::u16string_view source, std::u16string_view target) = 0;
    // Gives a file another name on the same drive, written through: moves a
    // copy into the store, or a complete partial copy into a free place.
    // Fails when the target exists, so nothing is ever replaced by it.
    virtual bool RenameWithoutReplacing(std::u16string_view source, std::u16string_view target) = 0;
    // -1 when unknown.
    virtual std::int64_t FreeBytesOnDrive(DriveLetter drive) = 0;
    // The volume's file system, as "NTFS" or "FAT32"; empty when unknown.
    virtual std::u16string FileSystemName(DriveLetter drive) = 0;

    virtual Handle OpenForReading(std::u16string_view path, Sharing sharing) = 0;
    // For reading past the system's cache, with read sharing: what the
    // device holds, not what was written a moment ago. Each read asks for a
    // multiple of the volume's sector size into a buffer aligned to it; a
    // short read is the end of the file.
    virtual Handle OpenUncached(std::u16string_view path) = 0;
    // The sector size of the path's volume in bytes; 0 when unknown.
    virtual std::uint32_t SectorSize(std::u16string_view path) = 0;
    // Made anew, or emptied when it exists.
    virtual Handle CreateForWriting(std::u16string_view path, Sharing sharing) = 0;

    virtual std::int64_t ReadChunk(Handle h, void* buffer, std::int64_t n) = 0;
    // The next read starts at this byte; false when the file cannot seek.
    virtual bool SeekTo(Handle h, std::int64_t offset) = 0;
    virtual std::int64_t WriteChunk(Handle h, const void* buffer, std::int64_t n) = 0;
    // Claims room for `size` bytes for a file open for writing, before they are
    // written: a full drive fails here at once. None when claimed; a file
    // system that cannot claim answers NotSupported.
    virtual FileFault ClaimSize(Handle h, std::int64_t size) = 0;
    // What was written is on the drive, not only in a cache, when it returns true.
    virtual bool FlushToDrive(Handle h) = 0;
    virtual void CloseFileHandle(Handle h) = 0;

    // What the last failed call met.
    virtual FileFault LastFault() = 0;
    // The system's code of the last failed call, and its text: for messages.
    virtual std::uint32_t LastError() = 0;
    virtual std::u16string ErrorText(std::uint32_t code) = 0;

    // The drive's lock, not yet taken; null when it cannot be made.
    virtual std::unique_ptr<DriveLock> LockDrive(DriveLetter drive) = 0;
};

// Owns an open handle; closes it once.
class OpenFile {
public:
    OpenFile(FileServices& fs, FileServices::Handle h) : fs_(&fs), h_(h) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() { Close(); }

    bool IsValid() const { return h_ != FileServices::kInvalidHandle && h_ != 0; }
    FileServices::Handle Get() const { return h_; }
    void Close() {
        if (IsValid()) fs_->CloseFileHandle(h_);
        h_ = FileServices::kInvalidHandle;
    }

private:
    FileServices* fs_;
    FileServices::Handle h_;
};

} // namespace kelvorin
