#pragma once
// The versions on the target drive: what a run replaces or removes of the
// backup is moved, not deleted, into a folder of its own for that run,
// <T>:\.Kelvorin-Versionen\<JJJJ-MM-TT hh.mm.ss>\<backup path without drive>.
// A run folder lives for the keep time, counted from the date in its name:
// copying a stick resets the stamps. The store's name begins with a dot, so
// no walk of the engine enters it.
#include "engine/FileServices.h"
#include "engine/LocalClock.h"
#include "set/DriveLetter.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kelvorin {

// A run folder's name for a run that started at t, without a suffix.
std::u16string RunFolderName(const LocalTime& t);
// The second in local time that a run folder's name gives (" (2)" and the
// like allowed), counted from a fixed day; nullopt for any other name.
std::optional<std::int64_t> RunFolderMoment(std::u16string_view name);
std::int64_t MomentOf(const LocalTime& t);

class VersionStore {
public:
    // Called for a run folder that cannot be removed.
    using NotRemoved = std::function<void(const std::u16string& folder)>;
    // Called for every entry listed or removed: a store of many runs on a slow
    // stick takes seconds to prune, and the window must answer meanwhile.
    using KeepResponsive = std::function<void()>;

    VersionStore(FileServices& files, DriveLetter drive, int keepDays, const LocalTime& runStart,
                 NotRemoved notRemoved, KeepResponsive keepResponsive);

    // Moves a backup file into this run's folder, made when first needed.
    // False when it could not be kept: the file is then where it was.
    bool Keep(const std::u16string& backup);
    // Moves a version kept by this run back to its place, when the new copy
    // could not take it.
    bool PutBack(const std::u16string& backup);

    // Removes the run folders older than the keep time.
    void PruneByAge();
    // Removes the oldest run folder but this run's; false when none is left.
    bool PruneOldest();

    std::u16string StorePath() const;

private:
    struct RunFolder {
        std::int64_t moment;
        int suffix;
        std::u16string name;
        bool operator<(const RunFolder& o) const {
            return moment != o.moment ? moment < o.moment : suffix < o.suffix;
        }
    };
    std::vector<RunFolder> OtherRunFolders();
    std::u16string PathInStore(const std::u16string& backup) const;
    bool MakeRunFolder();
    // Every file and folder below and the folder itself; false when any stays.
    bool RemoveTree(const std::u16string& folder);
    bool Remove(const RunFolder& folder);

    FileServices& files_;
    DriveLetter drive_;
    int keepDays_;
    LocalTime runStart_;
    NotRemoved notRemoved_;
    KeepResponsive keepResponsive_;
    std::u16string runFolderName_;    // empty until this run keeps something
    std::set<std::u16string> failed_; // run folders that would not go
};

} // namespace kelvorin
