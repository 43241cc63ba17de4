#include "engine/StorePruning.h"

#include "engine/Calendar.h"
#include "engine/FolderTrees.h"

#include <algorithm>

namespace kelvorin {

std::vector<StoredRun> StorePruning::Others(const OwnRuns& own) {
    std::vector<StoredRun> runs = ListStoredRuns(files_, drive_, events_.keepResponsive);
    std::erase_if(runs, [&](const StoredRun& run) {
        return std::find(own.begin(), own.end(), run.name) != own.end() ||
               failed_.contains(run.name);
    });
    return runs;
}

std::int64_t StorePruning::Bytes(const StoredRun& run) {
    return static_cast<std::int64_t>(run.listingBytes.value_or(0)) +
           (run.hasFolder
                ? TreeBytes(files_, RunFolderPath(drive_, run.name), events_.keepResponsive)
                : 0);
}

bool StorePruning::Remove(const StoredRun& run) {
    const std::u16string path = RunFolderPath(drive_, run.name);
    // The listing first: a state whose versions are going is no longer offered.
    if ((!run.listingBytes || files_.DeleteOneFile(ListingPath(drive_, run.name))) &&
        (!run.hasFolder || RemoveTree(files_, path, events_.keepResponsive)))
        return true;
    // Reported once; later prunes of this run pass it by.
    failed_.insert(run.name);
    events_.notRemoved(path);
    return false;
}

bool StorePruning::RemoveForRoom(const StoredRun& run) {
    if (!Remove(run)) return false;
    events_.removedForRoom(RunFolderPath(drive_, run.name));
    return true;
}

void StorePruning::ByAge(std::int64_t runStart, int keepDays, const OwnRuns& own) {
    const std::vector<StoredRun> runs = Others(own);
    if (runs.empty()) return;
    const std::int64_t newest = std::max_element(runs.begin(), runs.end())->moment;
    const std::int64_t oldest =
        std::min(runStart, newest) - std::int64_t{keepDays} * kSecondsPerDay;
    for (const StoredRun& run : runs)
        if (run.moment < oldest) Remove(run);
}

bool StorePruning::MakeRoomFor(std::int64_t bytes, const OwnRuns& own) {
    const std::int64_t free = files_.FreeBytesOnDrive(drive_);
    if (free < 0) return false;
    // Counted first: a file that cannot fit must not empty the store.
    const std::vector<StoredRun> runs = Others(own);
    std::int64_t room = free;
    std::size_t needed = 0;
    while (room < bytes && needed < runs.size())
        room += Bytes(runs[needed++]);
    if (room < bytes || needed == 0) return false;
    bool removed = false;
    for (std::size_t i = 0; i < needed; ++i)
        removed = RemoveForRoom(runs[i]) || removed;
    return removed;
}

bool StorePruning::RemoveOldest(const OwnRuns& own) {
    for (const StoredRun& run : Others(own))
        if (RemoveForRoom(run)) return true;
    return false;
}

} // namespace kelvorin
