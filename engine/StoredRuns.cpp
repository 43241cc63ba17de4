#include "engine/StoredRuns.h"

#include "engine/Paths.h"
#include "engine/RunNames.h"
#include "engine/Texts.h"

#include <algorithm>
#include <map>

namespace kelvorin {

std::u16string StorePathOf(DriveLetter drive) {
    return drive.Root() + kVersionStoreName;
}

std::u16string RunFolderPath(DriveLetter drive, std::u16string_view runName) {
    return StorePathOf(drive) + u'\\' + std::u16string(runName);
}

std::u16string VersionPath(DriveLetter drive, std::u16string_view runName,
                           std::u16string_view backup) {
    // A drive root's walk yields "T:\\Daten": the store takes one backslash.
    return RunFolderPath(drive, runName) + SingleBackslashes(backup).substr(2);
}

std::u16string ListingPath(DriveLetter drive, std::u16string_view runName) {
    return RunFolderPath(drive, runName) + std::u16string(kListingExtension);
}

std::vector<StoredRun> ListStoredRuns(FileServices& files, DriveLetter drive,
                                      const std::function<void()>& visit) {
    std::map<std::u16string, StoredRun> runs;
    files.ListFolder(StorePathOf(drive) + u"\\*.*", [&](const FolderEntry& e) {
        visit();
        const bool folder = (e.attributes & kAttrDirectory) != 0;
        if (folder && IsFolderLink(e)) return;
        if (!folder && !e.name.ends_with(kListingExtension)) return;
        const std::u16string name(
            folder ? e.name : e.name.substr(0, e.name.size() - kListingExtension.size()));
        const auto parts = ReadRunName(name);
        if (!parts) return;
        StoredRun& run = runs.try_emplace(name, StoredRun{parts->moment, parts->number, name, false,
                                                          std::nullopt})
                             .first->second;
        if (folder)
            run.hasFolder = true;
        else
            run.listingBytes = e.size;
    });
    std::vector<StoredRun> sorted;
    for (auto& [name, run] : runs)
        sorted.push_back(std::move(run));
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

} // namespace kelvorin
