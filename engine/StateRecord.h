#pragma once
// What a run collects for its listing while it goes. The lines stay off the
// stick until the run knows it changed something: they are held in memory,
// and beyond a bound in a spool file on the PC, which goes with the record.
#include "engine/FileServices.h"
#include "engine/ListingFormat.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvorin {

class StateRecord {
public:
    // spoolPath: where lines wait beyond the bound, never in a set folder;
    // empty keeps them all in memory. offset: local minus UTC now, in ticks.
    StateRecord(FileServices& files, std::u16string spoolPath, std::int64_t offset);
    StateRecord(const StateRecord&) = delete;
    StateRecord& operator=(const StateRecord&) = delete;
    ~StateRecord();

    // The pass of a set folder begins, whose walk and copies the listing
    // covers unless the run is cancelled. False for a folder covered
    // already in another spelling: its files are listed once.
    bool Cover(const std::u16string& setFolder);
    bool CoversAny() const { return !head_.folders.empty(); }
    // A file of the folder in pass, with its copy as the stick holds it now.
    void Add(std::u16string_view source, const FileFacts& copy);
    // A folder below it that the walk could not list.
    void Gap(const std::u16string& folder) { head_.gaps.push_back(folder); }

    // Writes the listing under a partial name, on the drive, then renames it
    // to `path`, which must be free. False when it could not be written: no
    // listing is there then, and Fault tells why. May be tried again.
    bool WriteTo(const std::u16string& path, std::u16string_view runName);
    FileFault Fault() const { return fault_; }
    // About the bytes its listing takes: the file lines and a margin for the rest.
    std::int64_t Bytes() const;

private:
    bool Spill();
    bool WriteListingBytes(FileServices::Handle out, std::u16string_view runName);

    FileServices& files_;
    std::u16string spoolPath_;
    ListingHead head_;
    std::string lines_; // the file lines not yet spilled
    std::uint64_t count_ = 0;
    std::uint64_t spilled_ = 0;                                 // bytes in the spool
    FileServices::Handle spool_ = FileServices::kInvalidHandle; // while being written
    bool spoolFailed_ = false;
    FileFault fault_ = FileFault::None;
};

} // namespace kelvorin
