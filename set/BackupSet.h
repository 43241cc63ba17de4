#pragma once
// The whole configuration: folders, exclusions, target drive, "Synchron".
#include "set/DriveLetter.h"
#include "set/SortedList.h"

#include <string>
#include <vector>

namespace kelvorin {

struct BackupSet {
    static constexpr int kNoDrive = -1;
    static constexpr int kDefaultDrive = DriveLetter::DefaultTarget().Index();
    // Days that a run's versions are kept on the target drive; 0 keeps none.
    static constexpr int kDefaultVersionDays = 30;
    static constexpr int kMaxVersionDays = 36'500;
    static std::vector<std::u16string> DefaultExclusions() {
        return {u"~", u"bak", u"com", u"dll", u"exe"};
    }

    SortedList folders;                                           // duplicates and "" allowed
    std::vector<std::u16string> exclusions = DefaultExclusions(); // in the order shown
    bool synchron = false;
    int versionDays = kDefaultVersionDays;

    int DriveIndex() const { return driveIndex_; }
    // Anything outside -1..25 is limited to it.
    void SetDriveIndex(int index) {
        constexpr int kLast = DriveLetter::kCount - 1;
        driveIndex_ = index < kNoDrive ? kNoDrive : (index > kLast ? kLast : index);
    }
    DriveLetter Drive() const { return DriveLetter::FromIndex(driveIndex_); }

    // The settings of a new set.
    void ResetToNew() { *this = BackupSet{}; }

private:
    int driveIndex_ = kDefaultDrive;
};

} // namespace kelvorin
