#include "engine/VersionStore.h"

#include "engine/DriveRoom.h"
#include "engine/HeldFiles.h"
#include "engine/Paths.h"
#include "engine/Texts.h"
#include "set/PathOrder.h"
#include "set/Text16.h"

#include <algorithm>
#include <map>

namespace kelvorin {
namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;

// JJJJ-MM-TT hh.mm.ss; a run in the same second as another adds " (n)".
constexpr std::u16string_view kRunNameShape = u"0000-00-00 00.00.00";
// Names this program makes go up to " (999)"; a longer number, from another
// version or a hand, still names a run folder that ages, as long as it fits an int.
constexpr int kMostRunsPerSecond = 999;
constexpr std::size_t kMostSuffixDigits = 9;

// Days from 1 March of year 0 in the proleptic Gregorian calendar.
std::int64_t DayNumber(int year, int month, int day) {
    const int y = month <= 2 ? year - 1 : year;
    const int era = y / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return std::int64_t{era} * 146'097 + dayOfEra;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::u16string TwoDigits(int n) {
    return {static_cast<char16_t>(u'0' + n / 10 % 10), static_cast<char16_t>(u'0' + n % 10)};
}

// The run's number within its second from what follows the time: 1 for
// nothing, n for " (n)" from 2 on; nullopt for anything else.
std::optional<int> RunNumber(std::u16string_view rest) {
    if (rest.empty()) return 1;
    constexpr std::u16string_view kOpen = u" (";
    if (!rest.starts_with(kOpen) || !rest.ends_with(u')')) return std::nullopt;
    const std::u16string_view digits = rest.substr(kOpen.size(), rest.size() - kOpen.size() - 1);
    if (digits.empty() || digits.size() > kMostSuffixDigits || digits[0] == u'0')
        return std::nullopt;
    const auto n = DigitsAt(digits, 0, digits.size());
    return n && *n >= 2 ? n : std::nullopt;
}

// One backup path however the walks spelled it: the target ignores case.
std::u16string KeptKey(const std::u16string& backup) {
    return FoldedPath(SingleBackslashes(backup));
}

} // namespace

std::u16string RunFolderName(const LocalTime& t) {
    return DecimalText(t.year) + u'-' + TwoDigits(t.month) + u'-' + TwoDigits(t.day) + u' ' +
           TwoDigits(t.hour) + u'.' + TwoDigits(t.minute) + u'.' + TwoDigits(t.second);
}

std::int64_t MomentOf(const LocalTime& t) {
    return DayNumber(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 +
           t.second;
}

std::optional<std::int64_t> RunFolderMoment(std::u16string_view name) {
    if (name.size() < kRunNameShape.size() || !RunNumber(name.substr(kRunNameShape.size())))
        return std::nullopt;
    const auto fields = DateTimeFields(name.substr(0, kRunNameShape.size()), kRunNameShape);
    if (!fields) return std::nullopt;
    const auto [year, month, day, hour, minute, second] = *fields;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return std::nullopt;
    return MomentOf({year, month, day, hour, minute, second, 0});
}

VersionStore::VersionStore(FileServices& files, DriveLetter drive, int keepDays,
                           const LocalTime& runStart, Events events)
    : files_(files), drive_(drive), keepDays_(keepDays), runStart_(runStart),
      events_(std::move(events)), plain_(files, events_.keepResponsive) {}

std::u16string VersionStore::StorePath() const {
    return StorePathOf(drive_);
}

std::u16string VersionStore::PathInStore(const std::u16string& backup) const {
    return VersionPath(drive_, runFolderName_, backup);
}

bool VersionStore::Usable() {
    if (!usable_) {
        const PathInfo store = files_.LookUp(StorePath());
        usable_ = !(store.state == PathState::Folder && (store.attributes & kAttrReparsePoint));
    }
    return *usable_;
}

std::u16string StorePathOf(DriveLetter drive) {
    return drive.Root() + kVersionStoreName;
}

std::u16string VersionPath(DriveLetter drive, std::u16string_view runName,
                           std::u16string_view backup) {
    // A drive root's walk yields "T:\\Daten": the store takes one backslash.
    return StorePathOf(drive) + u'\\' + std::u16string(runName) +
           SingleBackslashes(backup).substr(2);
}

std::u16string ListingPath(DriveLetter drive, std::u16string_view runName) {
    return StorePathOf(drive) + u'\\' + std::u16string(runName) + std::u16string(kListingExtension);
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
        const auto moment = RunFolderMoment(name);
        if (!moment) return;
        const int number = *RunNumber(std::u16string_view(name).substr(kRunNameShape.size()));
        StoredRun& run =
            runs.try_emplace(name, StoredRun{*moment, number, name, false, std::nullopt})
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

std::u16string VersionStore::FreeRunName() {
    const std::u16string base = RunFolderName(runStart_);
    // A later run in the same second gets a name of its own.
    for (int n = 1; n <= kMostRunsPerSecond; ++n) {
        std::u16string name = n == 1 ? base : base + u" (" + DecimalText(n) + u')';
        const PathState folder = files_.StateOf(StorePath() + u'\\' + name);
        const PathState listing =
            folder == PathState::Missing ? files_.StateOf(ListingPath(drive_, name)) : folder;
        if (listing == PathState::Unknown) break;
        if (listing == PathState::Missing) return name;
    }
    return {};
}

KeepOutcome VersionStore::MakeRunFolder() {
    if (!runFolderName_.empty()) return KeepOutcome::Kept;
    if (!Usable()) return KeepOutcome::Failed;
    if (std::u16string name = FreeRunName(); !name.empty()) {
        if (files_.MakeFolderChain(StorePath() + u'\\' + name)) {
            runFolderName_ = std::move(name);
            return KeepOutcome::Kept;
        }
        // Room may come from older runs; any other refusal stays for this run.
        if (files_.LastFault() == FileFault::DriveFull) return KeepOutcome::DriveFull;
    }
    usable_ = false;
    return KeepOutcome::Failed;
}

void VersionStore::WriteListing(StateRecord& state) {
    if (!Usable()) return;
    if (runFolderName_.empty()) {
        // A run that only added files has no folder: the listing takes the
        // name that its folder would have had.
        runFolderName_ = FreeRunName();
        if (runFolderName_.empty() || !files_.MakeFolderChain(StorePath())) {
            runFolderName_.clear();
            events_.listingNotWritten(ListingPath(drive_, RunFolderName(runStart_)));
            return;
        }
    }
    const std::u16string path = ListingPath(drive_, runFolderName_);
    if (state.WriteTo(path, runFolderName_)) return;
    if (state.Fault() == FileFault::DriveFull && MakeRoomFor(state.Bytes()) &&
        state.WriteTo(path, runFolderName_))
        return;
    events_.listingNotWritten(path);
}

KeepOutcome VersionStore::MoveIntoStore(const std::u16string& backup) {
    std::u16string key = KeptKey(backup);
    if (kept_.contains(key)) return KeepOutcome::KeptBefore;
    if (const KeepOutcome made = MakeRunFolder(); made != KeepOutcome::Kept) return made;
    const std::u16string kept = PathInStore(backup);
    // Kept files of one folder follow each other: its chain is made once.
    if (const std::u16string_view folder = std::u16string_view(kept).substr(0, kept.rfind(u'\\'));
        folder != madeFolder_) {
        if (!files_.MakeFolderChain(folder))
            return files_.LastFault() == FileFault::DriveFull ? KeepOutcome::DriveFull
                                                              : KeepOutcome::Failed;
        madeFolder_ = folder;
    }
    if (!RetryWhileHeld(
            files_, [&] { return files_.RenameWithoutReplacing(backup, kept); },
            events_.keepResponsive))
        return KeepOutcome::Failed;
    kept_.insert(std::move(key));
    return KeepOutcome::Kept;
}

bool VersionStore::PutBack(const std::u16string& backup) {
    if (runFolderName_.empty()) return false;
    const std::u16string kept = PathInStore(backup);
    if (!RetryWhileHeld(
            files_, [&] { return files_.RenameWithoutReplacing(kept, backup); },
            events_.keepResponsive))
        return false;
    kept_.erase(KeptKey(backup));
    return true;
}

std::vector<VersionStore::RunFolder> VersionStore::OtherRunFolders() {
    if (!Usable()) return {};
    std::vector<RunFolder> runs = ListStoredRuns(files_, drive_, events_.keepResponsive);
    std::erase_if(runs, [&](const RunFolder& run) {
        return run.name == runFolderName_ || failed_.contains(run.name);
    });
    return runs;
}

bool VersionStore::Remove(const RunFolder& folder) {
    const std::u16string path = StorePath() + u'\\' + folder.name;
    // The listing first: a state whose versions are going is no longer offered.
    if ((!folder.listingBytes || files_.DeleteOneFile(ListingPath(drive_, folder.name))) &&
        (!folder.hasFolder || RemoveTree(path)))
        return true;
    // Reported once; later prunes of this run pass it by.
    failed_.insert(folder.name);
    events_.notRemoved(path);
    return false;
}

bool VersionStore::RemoveForRoom(const RunFolder& folder) {
    if (!Remove(folder)) return false;
    events_.removedForRoom(StorePath() + u'\\' + folder.name);
    return true;
}

void VersionStore::RunBegins() {
    RemovePartialListings();
    PruneByAge();
}

void VersionStore::RemovePartialListings() {
    if (!Usable()) return;
    std::vector<std::u16string> leftovers;
    files_.ListFolder(StorePath() + u"\\*.*", [&](const FolderEntry& e) {
        if (!(e.attributes & kAttrDirectory) && e.name.ends_with(kPartialCopyTail))
            leftovers.push_back(StorePath() + u'\\' + std::u16string(e.name));
    });
    for (const std::u16string& leftover : leftovers)
        files_.DeleteOneFile(leftover);
}

void VersionStore::RunEnds(StateRecord* finished) {
    if (finished && finished->CoversAny()) WriteListing(*finished);
    for (;;) {
        const std::int64_t free = files_.FreeBytesOnDrive(drive_);
        if (free < 0 || HasRoomForARun(free) || !PruneOldest()) return;
    }
}

CopyOutcome VersionStore::PutInPlace(const std::u16string& partial, const std::u16string& backup,
                                     bool replaces) {
    // A rename that never replaces: a copy that was there unseen is not lost
    // either. (A folder or a read-only copy was refused before the copy began.)
    if (replaces) {
        switch (MoveIntoStore(backup)) {
        case KeepOutcome::Kept:
            break;
        case KeepOutcome::KeptBefore:
            return plain_.PutInPlace(partial, backup, replaces);
        case KeepOutcome::Failed:
            return CopyOutcome::Failed;
        case KeepOutcome::DriveFull:
            return CopyOutcome::DriveFull;
        }
    }
    if (RetryWhileHeld(
            files_, [&] { return files_.RenameWithoutReplacing(partial, backup); },
            events_.keepResponsive))
        return CopyOutcome::Copied;
    if (replaces && !PutBack(backup)) events_.onlyInStore(PathInStore(backup));
    return CopyOutcome::Failed;
}

bool VersionStore::Retire(const std::u16string& backup) {
    switch (MoveIntoStore(backup)) {
    case KeepOutcome::Kept:
        return true;
    case KeepOutcome::KeptBefore: // this run's own copy of another set folder's file
        return plain_.Retire(backup);
    case KeepOutcome::Failed:
    case KeepOutcome::DriveFull:
        break;
    }
    return false;
}

void VersionStore::PruneByAge() {
    const std::vector<RunFolder> folders = OtherRunFolders();
    if (folders.empty()) return;
    const std::int64_t newest = std::max_element(folders.begin(), folders.end())->moment;
    const std::int64_t from = std::min(MomentOf(runStart_), newest);
    const std::int64_t oldest = from - std::int64_t{keepDays_} * kSecondsPerDay;
    for (const RunFolder& folder : folders)
        if (folder.moment < oldest) Remove(folder);
}

bool VersionStore::MakeRoomFor(std::int64_t bytes) {
    const std::int64_t free = files_.FreeBytesOnDrive(drive_);
    if (free < 0) return false;
    // Counted first: a file that cannot fit must not empty the store.
    const std::vector<RunFolder> folders = OtherRunFolders();
    std::int64_t room = free;
    std::size_t needed = 0;
    while (room < bytes && needed < folders.size())
        room += Bytes(folders[needed++]);
    if (room < bytes || needed == 0) return false;
    bool removed = false;
    for (std::size_t i = 0; i < needed; ++i)
        removed = RemoveForRoom(folders[i]) || removed;
    return removed;
}

bool VersionStore::PruneOldest() {
    for (const RunFolder& folder : OtherRunFolders())
        if (RemoveForRoom(folder)) return true;
    return false;
}

std::int64_t VersionStore::Bytes(const RunFolder& run) {
    return static_cast<std::int64_t>(run.listingBytes.value_or(0)) +
           (run.hasFolder ? TreeBytes(StorePath() + u'\\' + run.name) : 0);
}

std::int64_t VersionStore::TreeBytes(const std::u16string& folder) {
    std::int64_t bytes = 0;
    std::vector<std::u16string> folders;
    files_.ListFolder(folder + u"\\*.*", [&](const FolderEntry& e) {
        events_.keepResponsive();
        if (e.name == u"." || e.name == u"..") return;
        if (!(e.attributes & kAttrDirectory))
            bytes += static_cast<std::int64_t>(e.size);
        else if (!IsFolderLink(e))
            folders.push_back(folder + u'\\' + std::u16string(e.name));
    });
    for (const std::u16string& f : folders)
        bytes += TreeBytes(f);
    return bytes;
}

bool VersionStore::RemoveTree(const std::u16string& folder) {
    std::vector<std::u16string> files, folders;
    files_.ListFolder(folder + u"\\*.*", [&](const FolderEntry& e) {
        events_.keepResponsive();
        if (e.name == u"." || e.name == u"..") return;
        const std::u16string path = folder + u'\\' + std::u16string(e.name);
        // A link is removed itself, never followed.
        if ((e.attributes & kAttrDirectory) && !IsFolderLink(e))
            folders.push_back(path);
        else if (e.attributes & kAttrDirectory)
            files_.RemoveOneFolder(path);
        else
            files.push_back(path);
    });
    bool all = true;
    for (const std::u16string& f : files) {
        events_.keepResponsive();
        all = files_.DeleteOneFile(f) && all;
    }
    for (const std::u16string& f : folders)
        all = RemoveTree(f) && all;
    return files_.RemoveOneFolder(folder) && all;
}

} // namespace kelvorin
