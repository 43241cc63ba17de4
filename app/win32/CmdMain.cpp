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
#include "app/win32/SpoolFolder.h"
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

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvorin {
namespace {

std::u16string NotReadyText(Readiness r, DriveLetter target) {
    const std::u16string drive = target.Name();
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

// A log that could not be written fails a run that went well otherwise: the
// log is all that a scheduled run leaves to read.
CmdExit ExitOfRun(const BackupRun& run, const RunFlags& flags, bool logWriteFailed,
                  ConsoleStream& err) {
    CmdExit exit = ExitForStatus(run, flags);
    if (logWriteFailed) {
        err.WriteLine(texts::kLogNotWritten);
        if (exit == CmdExit::Ok) exit = CmdExit::CopyFailed;
    }
    return exit;
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
    BackupRun run(runHost, {files, codePage, clock, SpoolFolder()}, flags, dataDir);
    run.Repair(check.Damaged());
    cancel.RunFinished();
    CmdExit exit = ExitOfRun(run, flags, runHost.LogWriteFailed(), err);
    if (exit == CmdExit::Ok && c.sourceUnreadable) exit = CmdExit::CopyFailed;
    return exit;
}

// What /Vorschau prints: a line for each step that a run would take, then their count.
class PreviewReport {
public:
    explicit PreviewReport(ConsoleStream& out) : out_(out) {}

    void Step(PreviewAction action, const std::u16string& path) {
        switch (action) {
        case PreviewAction::Copy:
            ++copies_;
            out_.WriteLine(texts::kPreviewCopy + path);
            break;
        case PreviewAction::Delete:
            ++deletions_;
            out_.WriteLine(texts::kPreviewDelete + path);
            break;
        case PreviewAction::Remove:
            ++removals_;
            out_.WriteLine(texts::kPreviewRemove + path);
            break;
        }
    }

    void WriteSummary() {
        out_.WriteLine(texts::kPreviewSummaryHead + DecimalText(copies_) +
                       texts::kPreviewSummaryCopy + DecimalText(deletions_) +
                       texts::kPreviewSummaryDelete + DecimalText(removals_) +
                       texts::kPreviewSummaryRemove);
    }

private:
    ConsoleStream& out_;
    std::uint64_t copies_ = 0, deletions_ = 0, removals_ = 0;
};

void WriteRunSummary(const RunCounts& c, std::uint64_t seconds, ConsoleStream& err) {
    err.WriteLine(DecimalText(c.filesChecked) + texts::kSummaryChecked +
                  DecimalText(c.filesCopied) + texts::kSummaryCopied + DecimalText(c.filesDeleted) +
                  texts::kSummaryDeleted + DecimalText(c.foldersRemoved) + texts::kSummaryRemoved +
                  DecimalText(c.bytesCopied) + texts::kSummaryBytes + DecimalText(seconds) +
                  texts::kSummarySeconds);
}

// A run, or with /Vorschau what a run would do, changing nothing.
CmdExit BackupOrPreview(const BackupSet& set, bool preview, const std::u16string& dataDir,
                        Win32FileServices& files, ConsoleStream& out, ConsoleStream& err) {
    const auto mode = preview ? ConsoleRunHost::Mode::Preview : ConsoleRunHost::Mode::Run;
    ConsoleRunHost host(set, out, err, mode);
    PreviewReport report(out);
    PreviewFileServices previewFiles(files, [&](PreviewAction action, const std::u16string& path) {
        report.Step(action, path);
    });
    FileServices& runFiles = preview ? static_cast<FileServices&>(previewFiles) : files;

    Win32CodePage codePage;
    Win32LocalClock clock;
    RunFlags flags;
    BackupRun run(host, {runFiles, codePage, clock, SpoolFolder()}, flags, dataDir);

    ConsoleCancel cancel(flags);
    const ULONGLONG started = GetTickCount64();
    run.Run();
    const ULONGLONG seconds = (GetTickCount64() - started + 500) / 1000;
    cancel.RunFinished();

    if (preview)
        report.WriteSummary();
    else if (err.IsConsole())
        WriteRunSummary(run.Counts(), seconds, err);
    return ExitOfRun(run, flags, host.LogWriteFailed() && !preview, err);
}

// The arguments after the program's name.
CmdOptions OptionsOf(const std::u16string& commandLine) {
    std::vector<std::u16string> args = SplitCommandLine(commandLine);
    if (!args.empty()) args.erase(args.begin());
    return ParseCmdOptions(args);
}

// The set that the arguments name; none, the reason on stderr, when its file is
// missing or cannot be read. Unlike the window, an unattended run must not
// quietly back up nothing.
std::optional<BackupSet> ReadSetFile(const CmdOptions& options, const std::u16string& dataDir,
                                     Win32FileServices& files, ConsoleStream& err) {
    const std::u16string setPath = SetFilePathFor(
        options.setNames, dataDir, [&](std::u16string_view p) { return files.IsExistingFile(p); });
    if (!files.IsExistingFile(setPath)) {
        err.WriteLine(texts::kSetFileMissing + setPath);
        return std::nullopt;
    }
    if (OpenFile probe(files, files.OpenForReading(setPath, Sharing::ReadersAllowed));
        !probe.IsValid()) {
        err.WriteLine(texts::kSetFileUnreadable + setPath);
        return std::nullopt;
    }
    Win32CodePage codePage;
    BackupSet set;
    SortedList staging;
    if (const auto error = LoadSet(setPath, {files, codePage}, set, staging)) {
        err.WriteLine(texts::kSetFileUnreadable + setPath + u" (" + error->Text() + u")");
        return std::nullopt;
    }
    return set;
}

int RunProgram() {
    ConsoleStream out(STD_OUTPUT_HANDLE);
    ConsoleStream err(STD_ERROR_HANDLE);
    Win32StartUpServices startUp;

    const CmdOptions options = OptionsOf(startUp.CommandLine());
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
    const std::u16string dataDir = DataDirFrom(startUp.PersonalFolder());
    const std::optional<BackupSet> set = ReadSetFile(options, dataDir, files, err);
    if (!set) return static_cast<int>(CmdExit::UsageOrSetFile);

    // Reading the store asks nothing of a run's readiness: a full stick gives
    // its states back too.
    if (options.states) return static_cast<int>(ListStates(*set, out, err));
    if (options.restoreMoment)
        return static_cast<int>(
            RestoreState(*set, *options.restoreMoment, options.restoreFolder, out, err));

    const std::u16string firstFolder = set->folders.Count() ? set->folders.At(0) : u"";
    const Readiness readiness =
        CheckReadiness(set->folders.Count(), firstFolder, set->Drive(), files);
    if (readiness != Readiness::Ready) {
        err.WriteLine(NotReadyText(readiness, set->Drive()));
        return static_cast<int>(CmdExit::NotReady);
    }

    const CmdExit exit = options.check
                             ? CheckBackup(*set, options.repair, dataDir, out, err)
                             : BackupOrPreview(*set, options.preview, dataDir, files, out, err);
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
