#pragma once
// A backup run as the tests drive it: the set and the window in a host held in
// memory, the real file system under Wine.
#include "engine/BackupRun.h"
#include "engine/win32/Win32FileServices.h"
#include "engine/win32/Win32LocalClock.h"
#include "set/win32/Win32CodePage.h"
#include "tests/support/MemoryRunHost.h"
#include "tests/support/win32/ScratchDrives.h"

#include <string>

namespace kelvorin::testing {

// The clock of a run that starts at a fixed moment.
class FixedClock : public Win32LocalClock {
public:
    explicit FixedClock(LocalTime t) : t_(t) {}
    LocalTime Now() override { return t_; }

private:
    LocalTime t_;
};

class RealFileRun {
protected:
    // One run of the set in `host`; its log file goes into dataDir, which ends
    // with a backslash. False when the run was refused.
    bool RunBackup(FileServices& files, const std::wstring& dataDir, LocalClock& runClock) {
        BackupRun run(host, RunPlatform{files, codePage, runClock}, flags, U16(dataDir));
        const bool ran = run.Run();
        counts = run.Counts();
        results = run.Results();
        return ran;
    }
    bool RunBackup(FileServices& files, const std::wstring& dataDir) {
        return RunBackup(files, dataDir, clock);
    }

    MemoryRunHost host;
    Win32FileServices fs;
    Win32CodePage codePage;
    Win32LocalClock clock;
    RunFlags flags;
    RunCounts counts; // of the last run
    RunResults results;
};

// A run from the scratch source drive onto the target drive, with the log in
// a folder of the test's own on the documents drive.
class RunOnDrivesTest : public DriveTest, protected RealFileRun {
protected:
    void SetUp() override {
        DriveTest::SetUp();
        logFolder_ = MakeCleanFolder(std::wstring(1, DocsDrive()) + L":\\" + FolderName());
        host.set.exclusions.clear();
        host.set.SetDriveIndex(TargetDrive() - L'A');
    }
    void TearDown() override {
        if (!HasFailure()) RemoveTree(logFolder_);
        DriveTest::TearDown();
    }

    using RealFileRun::RunBackup;
    bool RunBackup(FileServices& files) { return RunBackup(files, DataDir()); }
    bool RunBackup() { return RunBackup(fs); }
    // The folder of the log file, ending with a backslash.
    std::wstring DataDir() const { return logFolder_ + L"\\"; }
    std::wstring LogFile() const { return DataDir() + L"Kelvorin.log"; }

private:
    std::wstring logFolder_;
};

} // namespace kelvorin::testing
