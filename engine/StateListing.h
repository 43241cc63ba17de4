#pragma once
// A run's listing: what the backup holds after the run, for each source file
// that the run saw, so that a restore can give the set back as it was then.
// Plain UTF-8 text that Notepad reads:
//
//   # Kelvorin: Stand nach dem Lauf 2026-12-11 06.29.32
//   Ordner<TAB>C:\Users\a\Dokumente
//   Datei<TAB>1234<TAB>2026-12-01 10:00:00<TAB>C:\Users\a\Dokumente\x.txt
//   Ende<TAB>1
//
// A file line gives the size and stamp of the copy on the stick; the last
// line counts the files, so that a listing cut short is never taken for whole.
#include "engine/FileServices.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvorin {

struct ListedFile {
    std::u16string source;
    FileFacts copy;
};

struct StateListing {
    std::vector<std::u16string> folders; // the set's folders it covers
    std::vector<ListedFile> files;
};

// "2026-12-01 10:00:00"; back: nullopt for anything but such a text.
std::u16string StampText(DosStamp stamp);
void AppendStampText(std::string& out, DosStamp stamp);
std::optional<DosStamp> StampFromText(std::u16string_view text);

// nullopt for a listing that is damaged or not whole.
std::optional<StateListing> ParseListing(std::string_view bytes);
std::optional<StateListing> ReadListing(FileServices& files, const std::u16string& path);

// What a run collects for its listing while it goes. The lines stay off the
// stick until the run knows it changed something: they are held in memory,
// and beyond a bound in a spool file on the PC, which goes with the record.
class StateRecord {
public:
    StateRecord(FileServices& files, std::u16string spoolPath)
        : files_(files), spoolPath_(std::move(spoolPath)) {}
    StateRecord(const StateRecord&) = delete;
    StateRecord& operator=(const StateRecord&) = delete;
    ~StateRecord();

    void Add(const std::u16string& source, FileFacts copy);
    // The walk of this set folder and its copy pass went through whole.
    void Cover(const std::u16string& setFolder) { folders_.push_back(setFolder); }
    bool CoversAny() const { return !folders_.empty(); }

    // Writes the listing under a partial name, on the drive, then renames it
    // to `path`, which must be free. False when it could not be written: no
    // listing is there then, and Fault tells why.
    bool WriteTo(const std::u16string& path, std::u16string_view runName);
    FileFault Fault() const { return fault_; }
    // About the bytes its listing takes: the file lines and a margin for the rest.
    std::int64_t Bytes() const;

private:
    bool Spill();
    bool WriteListingBytes(FileServices::Handle out, std::u16string_view runName);

    FileServices& files_;
    std::u16string spoolPath_;
    std::vector<std::u16string> folders_;
    std::string lines_; // the file lines not yet spilled
    std::uint64_t count_ = 0;
    std::uint64_t spilled_ = 0; // bytes in the spool
    FileServices::Handle spool_ = FileServices::kInvalidHandle;
    bool spoolFailed_ = false;
    FileFault fault_ = FileFault::None;
};

} // namespace kelvorin
