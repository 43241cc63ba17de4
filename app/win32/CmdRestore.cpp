#include "app/win32/CmdRestore.h"

#include "app/CmdTexts.h"
#include "app/win32/ConsoleCancel.h"
#include "app/win32/ConsoleProgress.h"
#include "app/win32/ConsoleRunHost.h"
#include "engine/Calendar.h"
#include "engine/DriveHold.h"
#include "engine/ListingFormat.h"
#include "engine/Paths.h"
#include "engine/Restore.h"
#include "engine/win32/Win32FileServices.h"
#include "set/Text16.h"
#include "set/win32/WideText.h"
#include "win32/FullPath.h"
#include "win32/Volumes.h"

#include <windows.h>

#include <algorithm>
#include <optional>

namespace kelvorin {
namespace {

// Both commands read the store of the set's target: none without one.
bool TargetReady(const BackupSet& set, FileServices& files, ConsoleStream& err) {
    const DriveLetter target = set.Drive();
    if (target.IsNone()) {
        err.WriteLine(texts::kNotReadyNoTarget);
        return false;
    }
    if (!files.IsExistingFolder(target.Name())) {
        err.WriteLine(texts::kNotReadyTargetMissing + target.Name());
        return false;
    }
    return true;
}

// The restore's output: lost files, gaps and paths not in the state to
// stdout; on a console, the progress line to stderr.
class ConsoleRestoreHost : public RestoreHost {
public:
    ConsoleRestoreHost(ConsoleStream& out, ConsoleStream& err, const RunFlags& flags)
        : out_(out), progress_(err), flags_(flags) {}

    void NoLongerThere(const std::u16string& source) override {
        Line(texts::kNoLongerThere, source);
    }
    void NotWritten(const std::u16string& source) override { Line(texts::kNotRestored, source); }
    void UnreadAtRun(const std::u16string& folder) override { Line(texts::kUnreadAtRun, folder); }
    void NotInState(const std::u16string& path) override { Line(texts::kNotInState, path); }
    void Progress(const RestoreProgress& p) override {
        if (!progress_.Begun()) progress_.Begin({p.filesTotal, p.bytesTotal});
        progress_.ShowDone({p.filesDone, p.bytesDone}, p.source);
    }
    bool Cancelled() override { return flags_.cancelled; }
    void Finish() { progress_.Clear(); }

private:
    void Line(const char16_t* head, const std::u16string& path) {
        progress_.Clear();
        out_.WriteLine(head + path);
    }

    ConsoleStream& out_;
    ConsoleProgress progress_;
    const RunFlags& flags_;
};

// A folder that is empty or missing, off the target's volume; else the
// refusal. Nothing is made yet: a restore that writes nothing leaves no trace.
std::u16string RefusalOfFolder(FileServices& files, const std::u16string& folder,
                               DriveLetter target) {
    if (!IsDrivePath(folder)) return texts::kRestoreFolderUnusable + folder;
    if (IsOnDrive(folder, target) || win32::LiesOnVolumeOf(Wide(folder), Wide(target.Root())))
        return texts::kRestoreFolderOnTarget + folder;
    const PathInfo info = files.LookUp(folder);
    if (info.state == PathState::Missing) return {};
    if (info.state != PathState::Folder) return texts::kRestoreFolderUnusable + folder;
    bool empty = true;
    files.ListFolder(folder + u"\\*.*", [&](const FolderEntry& e) {
        empty = empty && (e.name == u"." || e.name == u"..");
    });
    return empty ? std::u16string() : texts::kRestoreFolderNotEmpty + folder;
}

// The paths made full; empty, and the refusal on stderr, when one lies in no
// folder of the set.
std::optional<std::vector<std::u16string>>
SetPaths(const BackupSet& set, const std::vector<std::u16string>& paths, ConsoleStream& err) {
    std::vector<std::u16string> full;
    for (const std::u16string& path : paths) {
        full.push_back(U16(win32::FullPath(Wide(path))));
        const auto& folders = set.folders.Items();
        if (std::none_of(folders.begin(), folders.end(), [&](const std::u16string& folder) {
                return IsDrivePath(folder) && LiesIn(full.back(), folder);
            })) {
            err.WriteLine(texts::kOnlyOutsideSet + path);
            return std::nullopt;
        }
    }
    return full;
}

// "07.12.2026 17:41:06", as the log writes its time.
std::u16string LocalStampText(DosStamp stamp) {
    const auto v = static_cast<std::uint32_t>(stamp);
    const auto two = [](unsigned n) {
        return std::u16string{static_cast<char16_t>(u'0' + n / 10 % 10),
                              static_cast<char16_t>(u'0' + n % 10)};
    };
    return two((v >> 16) & 31) + u'.' + two((v >> 21) & 15) + u'.' + DecimalText(1980 + (v >> 25)) +
           u' ' + two((v >> 11) & 31) + u':' + two((v >> 5) & 63) + u':' + two((v & 31) * 2);
}

void NameDamaged(const StoreContents& store, ConsoleStream& err) {
    for (const std::u16string& name : store.damaged)
        err.WriteLine(texts::kDamagedListing + name);
}

// The target's lock, held while it lives; Ctrl+C ends the wait for it and
// then the command.
class TargetHold {
public:
    TargetHold(const BackupSet& set, FileServices& files, ConsoleStream& out, ConsoleStream& err)
        : cancel_(flags_), host_(set, out, err, ConsoleRunHost::Mode::Run),
          hold_(files, set.Drive(), host_, flags_) {}

    const RunFlags& Flags() const { return flags_; }
    bool Cancelled() const { return flags_.cancelled; }
    void Finished() { cancel_.RunFinished(); }

private:
    RunFlags flags_;
    ConsoleCancel cancel_;
    ConsoleRunHost host_;
    const DriveHold hold_;
};

} // namespace

CmdExit ListStates(const BackupSet& set, ConsoleStream& out, ConsoleStream& err) {
    Win32FileServices files;
    if (!TargetReady(set, files, err)) return CmdExit::NotReady;
    TargetHold hold(set, files, out, err);
    if (hold.Cancelled()) return CmdExit::Cancelled;
    StoreContents store = ReadStore(files, set.Drive());
    for (const StoredState& state : store.states) {
        if (!CoversAnyOf(state.head, set.folders.Items())) continue;
        // What a restore at this run's start gives: its own listing for the
        // folders it covers, older ones for the rest.
        const auto plan = PlanRestore(store, set.folders.Items(), state.run.moment);
        const auto totals = plan ? CountRestore(files, set.Drive(), *plan) : std::nullopt;
        if (!totals) {
            store.damaged.push_back(state.run.name);
            continue;
        }
        out.WriteLine(state.run.name + u"  " + DecimalText(totals->files) + texts::kStateFiles +
                      DecimalText(totals->bytes) + texts::kStateBytes);
    }
    NameDamaged(store, err);
    return CmdExit::Ok;
}

CmdExit RestoreState(const BackupSet& set, const RestoreRequest& request, ConsoleStream& out,
                     ConsoleStream& err) {
    Win32FileServices files;
    if (!TargetReady(set, files, err)) return CmdExit::NotReady;
    const auto only = SetPaths(set, request.only, err);
    if (!only) return CmdExit::UsageOrSetFile;
    const std::u16string full = U16(win32::FullPath(Wide(request.folder)));
    if (const std::u16string refusal = RefusalOfFolder(files, full, set.Drive());
        !refusal.empty()) {
        err.WriteLine(refusal);
        return CmdExit::UsageOrSetFile;
    }
    TargetHold hold(set, files, out, err);
    if (hold.Cancelled()) return CmdExit::Cancelled;

    StoreContents store = ReadStore(files, set.Drive());
    const auto plan =
        PlanCheckedRestore(files, set.Drive(), store, set.folders.Items(), request.moment, *only);
    const auto totals = plan ? CountRestore(files, set.Drive(), *plan) : std::nullopt;
    NameDamaged(store, err);
    if (!totals) {
        const auto oldest =
            std::find_if(store.states.begin(), store.states.end(), [&](const StoredState& state) {
                return CoversAnyOf(state.head, set.folders.Items());
            });
        err.WriteLine(oldest == store.states.end() ? std::u16string(texts::kNoStateAtAll)
                                                   : texts::kNoStateBefore + oldest->run.name);
        return CmdExit::NoState;
    }
    if (!files.MakeFolderChain(full)) {
        err.WriteLine(texts::kRestoreFolderUnusable + full);
        return CmdExit::UsageOrSetFile;
    }
    ConsoleRestoreHost host(out, err, hold.Flags());
    const RestoreCounts counts =
        WriteRestore(files, set.Drive(), store, *plan, *totals, full, host);
    host.Finish();
    hold.Finished();
    if (err.IsConsole())
        err.WriteLine(DecimalText(counts.written) + texts::kRestoreSummaryWritten +
                      DecimalText(counts.noLongerThere) + texts::kRestoreSummaryGone);
    if (counts.cancelled) return CmdExit::Cancelled;
    if (counts.notWritten > 0) return CmdExit::CopyFailed;
    if (counts.noLongerThere > 0 || counts.unreadAtRun > 0 || counts.notInState > 0)
        return CmdExit::NoLongerThere;
    return CmdExit::Ok;
}

CmdExit ListVersions(const BackupSet& set, const std::u16string& file, ConsoleStream& out,
                     ConsoleStream& err) {
    Win32FileServices files;
    if (!TargetReady(set, files, err)) return CmdExit::NotReady;
    const auto source = SetPaths(set, {file}, err);
    if (!source) return CmdExit::UsageOrSetFile;
    TargetHold hold(set, files, out, err);
    if (hold.Cancelled()) return CmdExit::Cancelled;
    const StoreContents store = ReadStore(files, set.Drive());
    const std::vector<FileVersion> versions =
        VersionsOf(files, set.Drive(), store, set.folders.Items(), source->front());
    NameDamaged(store, err);
    const std::int64_t offset = files.LocalOffset();
    for (const FileVersion& version : versions) {
        const DosStamp local = version.copy.time != kNoFileTime
                                   ? StampOfFileTime(version.copy.time, offset)
                                   : version.copy.local;
        out.WriteLine(version.run->name + u"  " + DecimalText(version.copy.size) +
                      texts::kVersionBytes + LocalStampText(local) + u"  " +
                      (version.onStick ? texts::kVersionOnStick : texts::kVersionGone));
    }
    if (!versions.empty()) return CmdExit::Ok;
    err.WriteLine(texts::kNoVersions + source->front());
    return CmdExit::NoState;
}

} // namespace kelvorin
