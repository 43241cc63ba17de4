#pragma once
// Where the store lies on the target drive and what it holds:
// <T>:\.Kelvorin-Versionen\<run name>\<backup path without drive> for the
// versions a run kept, and <run name>.txt beside it for its listing.
#include "engine/FileServices.h"
#include "set/DriveLetter.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvorin {

// A run's part of the store: its folder, its listing, or both. A listing goes
// with its folder, and one alone ages by its name too.
struct StoredRun {
    std::int64_t moment;
    int number; // within its second: 1, or n for " (n)"
    std::u16string name;
    bool hasFolder = false;
    std::optional<std::uint64_t> listingBytes; // when there is a listing
    bool operator<(const StoredRun& o) const {
        return moment != o.moment ? moment < o.moment : number < o.number;
    }
};

std::u16string StorePathOf(DriveLetter drive);
// A run's folder in the store.
std::u16string RunFolderPath(DriveLetter drive, std::u16string_view runName);
// Where a run kept a backup's version.
std::u16string VersionPath(DriveLetter drive, std::u16string_view runName,
                           std::u16string_view backup);
std::u16string ListingPath(DriveLetter drive, std::u16string_view runName);
// The runs of the store, oldest first; `visit` is called for every entry listed.
std::vector<StoredRun> ListStoredRuns(FileServices& files, DriveLetter drive,
                                      const std::function<void()>& visit);

} // namespace kelvorin
