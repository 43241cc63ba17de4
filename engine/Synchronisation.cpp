// Placeholder bodies until the synchronisation passes land; not yet reachable
// from a finished run.
#include "engine/BackupRun.h"

namespace kelvorin {

void BackupRun::SynchronisePasses() {}
void BackupRun::ScanBackupFiles(const std::u16string&) {}
void BackupRun::DeleteOrphans() {}
void BackupRun::ScanBackupDirs(const std::u16string&) {}
void BackupRun::RemoveEmptyDirs() {}

} // namespace kelvorin
