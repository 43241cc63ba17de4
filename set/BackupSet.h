#pragma once
// The whole configuration: folders, exclusions, target drive, "Synchron".
#include "set/SortedList.h"

#include <string>
#include <vector>

namespace kelvorin {

struct BackupSet {
    static constexpr int kNoDrive = -1;
    static constexpr int kDefaultDrive = 4; // "E:"

    SortedList folders;
    std::vector<std::u16string> exclusions{u"~", u"bak", u"com", u"dll", u"exe"};
    bool synchron = false;

    int DriveIndex() const { return driveIndex_; }
    void SetDriveIndex(int index) { driveIndex_ = index < -1 ? -1 : (index > 25 ? 25 : index); }

private:
    int driveIndex_ = kDefaultDrive;
};

} // namespace kelvorin
