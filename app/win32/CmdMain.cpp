// Program entry of KelvorinCmd.exe: the backup of a set file without a window,
// for the Task Scheduler and scripts. The exit code tells the outcome.
#include "app/CmdOptions.h"
#include "app/CmdTexts.h"
#include "app/Readiness.h"
#include "app/SetFile.h"
#include "app/StartUp.h"
#include "app/win32/CmdRestore.h"
#include "app/win32/ConsoleCancel.h"
#include "app/win32/ConsoleCheckHost.h"
#include "app/win32/ConsoleRunHost.h"
#include "app/win32/ConsoleStream.h"
#include "app/win32/ProgramGuard.h"
#include "app/win32/Win32StartUpServices.h"
#include "engine/BackupCheck.h"
#include "engine/BackupRun.h"
#include "engine/DriveHold.h"
#include "engine/PreviewFileServices.h"
#include "engine/RunStatus.h"
#include "engine/win32/Win32FileServices.h"
#include "engine/win32/Win32LocalClock.h"
#include "set/Text16.h"
#include "set/win32/Win32CodePage.h"

#include <windows.h>

#include <string>

namespace kelvorin {
namespace {

std::u16string NotReadyText(Readiness r, DriveLetter target) {
    const std::u16string drive{target.Letter(), u':'};
    switch (r) {
    case Readiness::NoFolder:
        return texts::kNotReadyNoFolder;
    case Readiness::NoTarget:
        return texts::kNotReadyNoTarget;
    case Readiness::FirstFolderOnTarget:
        return texts::kNotReadyFirstFolderOnTarget + drive;
    case Readiness::TargetMissing:
        return texts::kNotReadyTargetMissing + drive;
    case Readiness::TooLittleSpace:
        return texts::kNotReadyTooLittleSpace + drive;
    case Readiness::Ready:
        break;
    }
    return {};
}

CmdExit ExitForStatus(const BackupRun& run, const RunFlags& flags) {
    switch (RunStatusOf(run.Results(), flags.cancelled)) {
    case RunStatus::CopyFailed:
        return CmdExit::CopyFailed;
    case RunStatus::DeleteFailed:
        return CmdExit::DeleteFailed;
    case RunStatus::Cancelled:
        return CmdExit::Cancelled;
    case RunStatus::Ok:
        break;
    }
    return CmdExit::Ok;
}

CmdExit ExitOfCheck(const CheckCounts& counts, const RunFlags& flags) {
    if (counts.backupDamaged) return CmdExit::BackupDamaged;
    if (counts.sourceUnreadable) return CmdExit::CopyFailed;
    if (flags.cancelled) return CmdExit::Cancelled;
    return CmdExit::Ok;
}

// /Prüfen and /Reparieren: the backup read back and compared with the sources;
// a repair then copies each damaged copy again as a run copies, with its log.
CmdExit CheckBackup(const BackupSet& set, bool repair, const std::u16string& dataDir,
                    ConsoleStream& out, ConsoleStream& err) {
    Win32FileServices files;
    RunFlags flags;
    ConsoleCancel cancel(flags);
    ConsoleRunHost runHost(set, out, err, ConsoleRunHost::Mode::Run);
    // The check and its repair under one hold: no run may change the backup
    // between them. Ctrl+C during the wait makes a check that compares nothing.
    const DriveHold hold(files, set.Drive(), runHost, flags);
    ConsoleCheckHost host(out, err);
    BackupCheck check(host, files, set, flags);
    check.Run();
    host.Finish();
    const CheckCounts& c = check.Counts();
    out.WriteLine(DecimalText(c.filesCompared) + texts::kCheckSummaryCompared +
                  DecimalText(c.bytesRead) + texts::kCheckSummaryBytes + DecimalText(c.problems) +
                  texts::kCheckSummaryProblems + DecimalText(c.notCurrent) +
                  texts::kCheckSummaryNotCurrent);
    if (!repair || check.Damaged().empty() || flags.cancelled) {
        cancel.RunFinished();
        return ExitOfCheck(c, flags);
    }

    Win32CodePage codePage;
    Win32LocalClock clock;
    BackupRun run(runHost, {files, codePage, clock}, flags, dataDir);
    run.Repair(check.Damaged());
    cancel.RunFinished();
    CmdExit exit = ExitForStatus(run, flags);
    if (runHost.LogWriteFailed()) {
        err.WriteLine(texts::kLogNotWritten);
        if (exit == CmdExit::Ok) exit = CmdExit::CopyFailed;
    }
    if (exit == CmdExit::Ok && c.sourceUnreadable) exit = CmdExit::CopyFailed;
    return exit;
}

struct PreviewTally {
    std::uint64_t copies = 0, deletions = 0, removals = 0;
};

int RunProgram() {
    ConsoleStream out(STD_OUTPUT_HANDLE);
    ConsoleStream err(STD_ERROR_HANDLE);
    Win32StartUpServices startUp;

    std::vector<std::u16string> args = SplitCommandLine(startUp.CommandLine());
    if (!args.empty()) args.erase(args.begin());
    const CmdOptions options = ParseCmdOptions(args);
    if (!options.error.empty()) {
        err.WriteLine(options.error);
        err.Write(texts::kUsage);
        return static_cast<int>(CmdExit::UsageOrSetFile);
    }
    if (options.help) {
        out.Write(texts::kUsage);
        return static_cast<int>(CmdExit::Ok);
    }

    Win32FileServices files;
    Win32CodePage codePage;
    Win32LocalClock clock;
    const std::u16string dataDir = DataDirFrom(startUp.PersonalFolder());
    const std::u16string setPath = SetFilePathFor(
        options.setNames, dataDir, [&](std::u16string_view p) { return files.IsExistingFile(p); });

    // Unlike the window, an unattended run must not quietly back up nothing.
    if (!files.IsExistingFile(setPath)) {
        err.WriteLine(texts::kSetFileMissing + setPath);
        return static_cast<int>(CmdExit::UsageOrSetFile);
    }
    if (OpenFile probe(files, files.OpenForReading(setPath, Sharing::ReadersAllowed));
        !probe.IsValid()) {
        err.WriteLine(texts::kSetFileUnreadable + setPath);
        return static_cast<int>(CmdExit::UsageOrSetFile);
    }
    BackupSet set;
    SortedList staging;
    if (const auto error = LoadSet(setPath, {files, codePage}, set, staging)) {
        err.WriteLine(texts::kSetFileUnreadable + setPath + u" (" + error->Text() + u")");
        return static_cast<int>(CmdExit::UsageOrSetFile);
    }

    // Reading the store asks nothing of a run's readiness: a full stick gives
    // its states back too.
    if (options.states) return static_cast<int>(ListStates(set, out, err));
    if (options.restoreMoment)
        return static_cast<int>(
            RestoreState(set, *options.restoreMoment, options.restoreFolder, out, err));

    const std::u16string firstFolder = set.folders.Count() ? set.folders.At(0) : u"";
    const Readiness readiness =
        CheckReadiness(set.folders.Count(), firstFolder, set.Drive(), files);
    if (readiness != Readiness::Ready) {
        err.WriteLine(NotReadyText(readiness, set.Drive()));
        return static_cast<int>(CmdExit::NotReady);
    }

    if (options.check) return static_cast<int>(CheckBackup(set, options.repair, dataDir, out, err));

    const auto mode = options.preview ? ConsoleRunHost::Mode::Preview : ConsoleRunHost::Mode::Run;
    ConsoleRunHost host(set, out, err, mode);
    PreviewTally tally;
    PreviewFileServices preview(files, [&](PreviewAction action, const std::u16string& path) {
        switch (action) {
        case PreviewAction::Copy:
            ++tally.copies;
            out.WriteLine(texts::kPreviewCopy + path);
            break;
        case PreviewAction::Delete:
            ++tally.deletions;
            out.WriteLine(texts::kPreviewDelete + path);
            break;
        case PreviewAction::Remove:
            ++tally.removals;
            out.WriteLine(texts::kPreviewRemove + path);
            break;
        }
    });
    FileServices& runFiles = options.preview ? static_cast<FileServices&>(preview) : files;

    RunFlags flags;
    BackupRun run(host, {runFiles, codePage, clock}, flags, dataDir);

    ConsoleCancel cancel(flags);
    const ULONGLONG started = GetTickCount64();
    run.Run();
    const ULONGLONG seconds = (GetTickCount64() - started + 500) / 1000;
    cancel.RunFinished();

    if (options.preview) {
        out.WriteLine(texts::kPreviewSummaryHead + DecimalText(tally.copies) +
                      texts::kPreviewSummaryCopy + DecimalText(tally.deletions) +
                      texts::kPreviewSummaryDelete + DecimalText(tally.removals) +
                      texts::kPreviewSummaryRemove);
    } else if (err.IsConsole()) {
        const RunCounts& c = run.Counts();
        err.WriteLine(
            DecimalText(c.filesChecked) + texts::kSummaryChecked + DecimalText(c.filesCopied) +
            texts::kSummaryCopied + DecimalText(c.filesDeleted) + texts::kSummaryDeleted +
            DecimalText(c.foldersRemoved) + texts::kSummaryRemoved + DecimalText(c.bytesCopied) +
            texts::kSummaryBytes + DecimalText(seconds) + texts::kSummarySeconds);
    }

    CmdExit exit = ExitForStatus(run, flags);
    if (host.LogWriteFailed() && !options.preview) {
        err.WriteLine(texts::kLogNotWritten);
        if (exit == CmdExit::Ok) exit = CmdExit::CopyFailed;
    }
    return static_cast<int>(exit);
}

} // namespace
} // namespace kelvorin

int wmain() {
    using namespace kelvorin;
    const ProblemReport report = [](const std::u16string& line) {
        ConsoleStream(STD_ERROR_HANDLE).WriteLine(line);
    };
    GuardAgainstCrashes(report);
    return RunGuarded(RunProgram, report);
}
