#include "Oracle.h"

#include "engine/Calendar.h"
#include "engine/Restore.h"
#include "tests/support/Fixtures.h"

#include <map>
#include <set>

namespace kelvorin::testing {

namespace {

using Tree = MemoryFileServices::Tree;
using Node = MemoryFileServices::Node;

constexpr std::u16string_view kNotFound = u"Nicht gefunden: ", kNotCopied = u"Nicht kopiert: ",
                              kNotDeleted = u"Nicht gelöscht: ";

std::u16string Key(std::u16string_view path) {
    return MemoryFileServices::Key(path);
}

std::u16string_view NameOf(std::u16string_view path) {
    return path.substr(path.rfind(u'\\') + 1);
}

std::u16string Parent(std::u16string_view key) {
    const auto slash = key.rfind(u'\\');
    return std::u16string(slash == std::u16string_view::npos ? std::u16string_view{}
                                                             : key.substr(0, slash));
}

std::u16string OnTarget(std::u16string_view path) {
    std::u16string mapped(path);
    mapped[0] = kTarget;
    return mapped;
}

bool IsDrivePath(std::u16string_view path) {
    return path.size() >= 3 &&
           ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')) &&
           path[1] == u':' && path[2] == u'\\';
}

// Two steps of two seconds apart at least, and not the hour of summer time.
bool IsOutdated(DosStamp source, DosStamp copy) {
    const auto difference = static_cast<std::int32_t>(static_cast<std::uint32_t>(source) -
                                                      static_cast<std::uint32_t>(copy));
    return difference > 0 && difference != 0x800;
}

bool IsExcluded(std::u16string_view name, const std::vector<std::u16string>& lines) {
    const auto dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos) return false;
    std::u16string extension(name.substr(dot));
    for (char16_t& c : extension)
        if (c >= u'A' && c <= u'Z') c += 32;
    for (const auto& line : lines)
        if (!line.empty() && extension.find(line) != std::u16string::npos) return true;
    return false;
}

bool Same(const Node* a, const Node* b) {
    if (!a || !b) return a == b;
    if (a->folder || b->folder) return a->folder == b->folder;
    return a->bytes == b->bytes && a->stamp == b->stamp && a->attributes == b->attributes;
}

enum class Seen { Missing, File, Folder, Unknown };

// One tree as a walk and a look-up see it.
class View {
public:
    View(const Tree& tree, const MemoryFileServices& files) : tree_(tree), files_(files) {}

    const Node* At(std::u16string_view path) const {
        const auto it = tree_.find(Key(path));
        return it == tree_.end() ? nullptr : &it->second;
    }

    Seen Look(std::u16string_view path) const {
        const std::u16string key = Key(path);
        if (files_.IsDenied(Parent(key))) return Seen::Unknown;
        for (std::u16string above = Parent(key); !above.empty(); above = Parent(above)) {
            const Node* node = At(above);
            if (!node || !node->folder) return Seen::Missing;
        }
        const Node* node = At(key);
        if (!node) return Seen::Missing;
        return node->folder ? Seen::Folder : Seen::File;
    }

    std::vector<const Node*> Children(std::u16string_view folder) const {
        std::vector<const Node*> children;
        const std::u16string prefix = Key(folder) + u'\\';
        for (auto it = tree_.lower_bound(prefix);
             it != tree_.end() && it->first.starts_with(prefix); ++it)
            if (it->first.find(u'\\', prefix.size()) == std::u16string::npos)
                children.push_back(&it->second);
        return children;
    }

    static bool IsWalked(const Node& folder) {
        return folder.folder && NameOf(folder.path)[0] != u'.' &&
               !(folder.attributes & kAttrReparsePoint);
    }

    // Every file a backup walk of the folder finds, named as the walk names it.
    void Files(const std::u16string& folder, const std::vector<std::u16string>& exclusions,
               std::vector<std::u16string>& out) const {
        if (files_.IsDenied(folder)) return;
        for (const Node* child : Children(folder)) {
            const std::u16string path = folder + u'\\' + std::u16string(NameOf(child->path));
            if (child->folder) {
                if (IsWalked(*child)) Files(path, exclusions, out);
            } else if (!IsExcluded(NameOf(child->path), exclusions)) {
                out.push_back(path);
            }
        }
    }

    // The folders between the prefix and the key (the key too, when asked) are walked ones.
    bool WalkedBetween(const std::u16string& prefix, const std::u16string& key,
                       bool withKey) const {
        for (std::u16string above = withKey ? key : Parent(key); above.size() > prefix.size();
             above = Parent(above)) {
            const Node* node = At(above);
            if (!node || !IsWalked(*node)) return false;
        }
        return true;
    }

private:
    const Tree& tree_;
    const MemoryFileServices& files_;
};

} // namespace

std::vector<std::string> CheckRun(const Scenario& s, const Tree& beforeTree,
                                  const std::vector<std::u16string>& runLog, bool cancelled,
                                  bool cancelledAfterListing) {
    std::vector<std::string> problems;
    const auto fail = [&](const std::string& what, std::u16string_view path) {
        problems.push_back(what + ": " + Narrow(path));
    };
    const Tree& afterTree = s.files.Nodes();
    const View before(beforeTree, s.files), after(afterTree, s.files);
    const bool targetGone = s.files.Vanished(kTarget);
    const bool anyGone = s.vanishing && s.files.Vanished(s.vanishing);
    const auto gone = [&](std::u16string_view path) {
        return anyGone && Key(path)[0] == s.vanishing;
    };
    const bool synchron = s.set.synchron;
    // With versions, what the run replaces or removes moves into the run's folder.
    const bool versions = s.set.versionDays > 0;
    const std::u16string storeKey = Key(kStore), runKey = Key(kRunFolder);
    const auto inStore = [&](const std::u16string& key) {
        return key == storeKey || key.starts_with(storeKey + u'\\');
    };
    const auto keptVersion = [&](const std::u16string& key) {
        return after.At(runKey + key.substr(2));
    };
    const std::vector<std::u16string>& entries = s.set.folders.Items();

    // The log: its lines by kind, then the status and the date.
    std::map<std::u16string, int> notFound, notCopied, notDeleted;
    if (runLog.size() < 2) return {"the log has no status and date"};
    for (std::size_t i = 0; i + 2 < runLog.size(); ++i) {
        const std::u16string& line = runLog[i];
        if (line.starts_with(kNotFound))
            ++notFound[line.substr(kNotFound.size())];
        else if (line.starts_with(kNotCopied))
            ++notCopied[Key(line.substr(kNotCopied.size()))];
        else if (line.starts_with(kNotDeleted))
            ++notDeleted[Key(line.substr(kNotDeleted.size()))];
        else
            fail("a line of no kind", line);
    }

    // The tree after the run is whole: everything stands in a folder.
    for (const auto& [key, node] : afterTree)
        if (key.size() > 2 && !(after.At(Parent(key)) && after.At(Parent(key))->folder))
            fail("an entry outside any folder", node.path);

    // The sources are read, never changed.
    for (const auto& [key, node] : beforeTree)
        if (key[0] != kTarget && key[0] != u'K' && !Same(&node, after.At(key)))
            fail("a source changed", node.path);
    for (const auto& [key, node] : afterTree)
        if (key[0] != kTarget && key[0] != u'K' && !before.At(key))
            fail("a new file beside the sources", node.path);

    // The set's folders: which are there, and what the copy pass walks in them.
    struct Present {
        std::u16string entry, prefix; // prefix: the backup folder's key and a backslash
    };
    std::vector<Present> present;
    std::map<std::u16string, int> attempts; // source path -> walks that found it
    // Both synchronisation passes name the backup of a missing folder; folders
    // of other drives may share it.
    std::map<std::u16string, int> unfound;
    std::set<std::u16string> mayBeUnfound;
    for (const std::u16string& entry : entries) {
        const bool there = IsDrivePath(entry) && before.Look(entry) == Seen::Folder;
        const int found = notFound.contains(entry) ? notFound[entry] : 0;
        const std::u16string backupKey = Key(OnTarget(entry));
        unfound[backupKey] += !there && synchron ? 2 : 0;
        if (there && gone(entry)) mayBeUnfound.insert(backupKey);
        if (!there) {
            if (cancelled ? found > 1 : found != 1) fail("missing folder not reported once", entry);
            continue;
        }
        if (found > (gone(entry) ? 1 : 0)) fail("a present folder reported missing", entry);
        present.push_back({entry, backupKey + u'\\'});
        std::vector<std::u16string> files;
        before.Files(entry, s.set.exclusions, files);
        for (const auto& file : files)
            ++attempts[file];
    }
    for (const auto& [key, want] : unfound) {
        const int got = notDeleted.contains(key) ? notDeleted[key] : 0;
        const int most = want + (mayBeUnfound.contains(key) ? 2 : 0);
        if (cancelled || mayBeUnfound.contains(key) ? got > most : got != want)
            fail("a missing folder's backup not reported by both passes", key);
    }
    for (const auto& [entry, count] : notFound)
        if (!s.set.folders.Contains(entry)) fail("reported a folder not in the set", entry);

    // The copy pass: each walked file's backup is current afterwards, or
    // unchanged with one line per walk that failed to copy it.
    std::set<std::u16string> copied, madeFolders, walked;
    for (const auto& [source, walks] : attempts) {
        walked.insert(Key(source));
        const Node& from = *before.At(source);
        const std::u16string backup = Key(OnTarget(source));
        const Node* was = before.At(backup);
        const Node* is = after.At(backup);
        const bool needed = !was || was->folder || IsOutdated(from.stamp, was->stamp);
        bool fileInTheWay = false;
        for (std::u16string above = Parent(backup); above.size() > 2; above = Parent(above)) {
            madeFolders.insert(above);
            if (const Node* node = before.At(above); node && !node->folder) fileInTheWay = true;
        }
        const bool blocked = (was && was->folder) ||
                             (was && needed && (was->attributes & kAttrReadOnly)) ||
                             s.unreadable.contains(Key(source)) || fileInTheWay;
        const bool uncertain = cancelled || targetGone || s.targetTooSmall || gone(source);
        const int lines = notCopied.contains(Key(source)) ? notCopied[Key(source)] : 0;
        const bool current =
            is && !is->folder && is->bytes == from.bytes && is->stamp == from.stamp;
        // A folder in the copy's place is the synchronisation's to remove.
        const bool unchanged = Same(was, is) || (was && was->folder && !is) ||
                               (versions && was && !is && Same(was, keptVersion(backup)));
        if (!was || !was->folder) copied.insert(backup);
        if (!needed) {
            if (!unchanged) fail("a current copy was changed", source);
            // With the target gone, no copy can be seen to be current.
            if (lines > (targetGone ? walks : 0)) fail("a current copy was reported", source);
        } else if (blocked) {
            if (!unchanged) fail("a copy that could not be made changed the backup", source);
            if (uncertain ? lines > walks : lines != walks)
                fail("a failed copy not reported per walk", source);
        } else if (!uncertain) {
            if (!current) fail("a copy was not made", source);
            if (lines) fail("a copy made was reported", source);
        } else {
            if (!current && !unchanged) fail("a copy was left half made", source);
            if (lines > walks) fail("a copy reported more often than walked", source);
            if (!current && !lines && !cancelled && !gone(source))
                fail("a copy missing without a line", source);
        }
    }
    // The run's listing fails only on a target too full for it, or gone.
    const std::u16string listingKey = Key(std::u16string(kRunFolder) + u".txt");
    for (const auto& [key, count] : notCopied)
        if (!walked.contains(key) && !(key == listingKey && (s.targetTooSmall || targetGone)))
            fail("reported a file that was not walked", key);

    // The synchronisation: a backup goes only while its source is known to be
    // gone, its folder is there, and no other folder of the set claims it.
    const auto sourceOf = [](const std::u16string& entry, const std::u16string& prefix,
                             const std::u16string& key) {
        return Key(entry) + u'\\' + key.substr(prefix.size());
    };
    const auto deleteAttempts = [&](const std::u16string& key) {
        int count = 0;
        for (const Present& e : present) {
            if (!synchron || !key.starts_with(e.prefix) ||
                !before.WalkedBetween(e.prefix, key, false))
                continue;
            const Seen seen = before.Look(sourceOf(e.entry, e.prefix, key));
            if (seen != Seen::Missing && seen != Seen::Folder) continue;
            bool claimed = false;
            for (const std::u16string& other : entries) {
                if (other == e.entry || !IsDrivePath(other)) continue;
                const std::u16string prefix = Key(OnTarget(other)) + u'\\';
                if (!key.starts_with(prefix)) continue;
                const Seen theirs = before.Look(other) != Seen::Folder
                                        ? Seen::Unknown
                                        : before.Look(sourceOf(other, prefix, key));
                if (theirs == Seen::File || theirs == Seen::Unknown) claimed = true;
            }
            if (!claimed) ++count;
        }
        return count;
    };
    const bool syncUncertain = cancelled || anyGone;
    bool deleteFailed = false;
    for (const auto& [key, node] : beforeTree) {
        if (key[0] != kTarget || copied.contains(key) || inStore(key)) continue;
        const Node* is = after.At(key);
        if (node.folder) {
            if (is) continue;
            bool mayGo = false;
            for (const Present& e : present)
                mayGo = mayGo || (synchron && key.starts_with(e.prefix) &&
                                  before.WalkedBetween(e.prefix, key, true));
            if (!mayGo) fail("a backup folder was removed", node.path);
            continue;
        }
        const int tries = deleteAttempts(key);
        const int lines = notDeleted.contains(key) ? notDeleted[key] : 0;
        deleteFailed = deleteFailed || lines > 0;
        if (is && !Same(&node, is)) fail("a backup without a walked source changed", node.path);
        if (!is && tries == 0) fail("a backup was deleted without cause", node.path);
        if (lines > tries) fail("a deletion reported without cause", node.path);
        if (tries > 0 && !syncUncertain) {
            if (node.attributes & kAttrReadOnly) {
                if (lines != tries) fail("a read-only orphan not reported per pass", node.path);
            } else if (is) {
                fail("an orphan was kept", node.path);
            }
        }
    }
    for (const auto& [key, node] : afterTree) {
        if (key[0] != kTarget || before.At(key) || copied.contains(key) || inStore(key)) continue;
        if (node.folder && madeFolders.contains(key)) continue;
        if (!node.folder && node.path.find(u"~Kelvorin-Teilkopie") != std::u16string::npos) {
            if (!targetGone) fail("a partial copy was left", node.path);
            continue;
        }
        fail("something new on the target", node.path);
    }
    if (synchron && !syncUncertain) {
        for (const Present& e : present)
            for (auto it = afterTree.lower_bound(e.prefix);
                 it != afterTree.end() && it->first.starts_with(e.prefix); ++it)
                if (it->second.folder && after.WalkedBetween(e.prefix, it->first, true) &&
                    after.Children(it->first).empty())
                    fail("an empty folder was left", it->second.path);
    }

    // Nothing is ever lost: with versions, every file the target had is at its
    // place or in the run's folder, with its bytes and stamp.
    for (const auto& [key, node] : beforeTree) {
        if (!versions || key[0] != kTarget || node.folder || inStore(key)) continue;
        if (const Node* is = after.At(key);
            is && !is->folder && is->bytes == node.bytes && is->stamp == node.stamp)
            continue;
        const Node* kept = keptVersion(key);
        if (!kept || kept->bytes != node.bytes || kept->stamp != node.stamp)
            fail("a backup was lost", node.path);
    }
    // The run's folder holds only what the target had; the store of earlier
    // runs loses only run folders: past the keep time always, others for room.
    for (const auto& [key, node] : afterTree) {
        if (!inStore(key) || node.folder) continue;
        if (key == listingKey) {
            if (!versions || (cancelled && !cancelledAfterListing))
                fail("a listing of a run without state", node.path);
        } else if (key.starts_with(listingKey) && targetGone) {
            // A listing whose stick went while it was written: never taken for whole.
        } else if (key.starts_with(runKey + u'\\')) {
            const Node* origin =
                before.At(std::u16string{kTarget, u':'} + key.substr(runKey.size()));
            if (!versions || before.At(key) || !origin || origin->bytes != node.bytes)
                fail("the store holds what the target did not have", node.path);
        } else if (!Same(before.At(key), &node)) {
            fail("the store of earlier runs changed", node.path);
        }
    }
    for (const auto& [key, node] : beforeTree) {
        if (!inStore(key) || node.folder) continue;
        const bool there = after.At(key) != nullptr;
        const std::u16string expired = Key(std::u16string(kStore) + u'\\' + kExpiredRun);
        const std::u16string recent = Key(std::u16string(kStore) + u'\\' + kRecentRun);
        if (!versions || !(key.starts_with(expired + u'\\') || key.starts_with(recent + u'\\'))) {
            if (!there) fail("the store lost a file", node.path);
        } else if (key.starts_with(expired + u'\\')) {
            if (there && !targetGone && !notDeleted.contains(expired))
                fail("a run folder past its keep time stayed", node.path);
        } else if (!there && !s.targetTooSmall) {
            fail("a run folder within its keep time went", node.path);
        }
    }
    for (const auto& [key, count] : notDeleted)
        deleteFailed = deleteFailed || inStore(key);

    // The state the run leaves: a restore at its moment gives every walked
    // source file whose backup is there, with the backup's bytes and stamp,
    // and nothing else. A backup that two source folders share holds the
    // later one's copy; each source gets its own. A drive that went during
    // the run was seen in part: its files are left out.
    if (after.At(listingKey) && s.vanishing != kTarget) {
        std::map<std::u16string, const Node*> expected; // by source key
        std::map<std::u16string, std::set<std::u16string>> sourcesOfBackup;
        for (const auto& [source, walks] : attempts) {
            if (gone(source)) continue;
            const std::u16string backup = Key(OnTarget(source));
            sourcesOfBackup[backup].insert(Key(source));
            if (const Node* copy = after.At(backup); copy && !copy->folder)
                expected[Key(source)] = copy;
        }
        MemoryFileServices world = s.files;
        const std::u16string folder = u"K:\\Zur\u00fcck";
        const StoreContents store = ReadStore(world, DriveLetter::FromLetter(kTarget));
        const DriveLetter target = DriveLetter::FromLetter(kTarget);
        const auto plan = PlanRestore(store, entries, MomentOf({2026, 12, 10, 12, 0, 0, 0}));
        const auto totals = plan ? CountRestore(world, target, *plan) : std::nullopt;
        struct NoHost : RestoreHost {
            std::vector<std::u16string> gone;
            void NoLongerThere(const std::u16string& source) override { gone.push_back(source); }
            void NotWritten(const std::u16string& source) override { gone.push_back(source); }
            // A folder that went during the walk is named; what was walked is written.
            void UnreadAtRun(const std::u16string&) override {}
            void Progress(const RestoreProgress&) override {}
            bool Cancelled() override { return false; }
        } host;
        if (!plan || !totals) {
            fail("the run's listing gives no state", kRunFolder);
        } else {
            WriteRestore(world, target, store, *plan, *totals, folder, host);
            for (const std::u16string& source : host.gone)
                fail("a restore missed a file", source);
            std::size_t restored = 0;
            const std::u16string below = Key(folder) + u'\\';
            for (const auto& [key, node] : world.Nodes())
                restored += key.starts_with(below) && !node.folder &&
                            !(anyGone && key[below.size()] == s.vanishing);
            if (restored != expected.size()) fail("a restore gave other files", folder);
            ForEachPlannedFile(world, target, *plan, [&](const PlannedFile& file) {
                if (gone(file.source)) return true;
                const auto want = expected.find(Key(file.source));
                const auto got = world.Nodes().find(Key(RestoredPath(folder, file.source)));
                if (want == expected.end() || got == world.Nodes().end()) {
                    fail("a restore gave a file the backup does not hold", file.source);
                } else if (sourcesOfBackup[Key(OnTarget(file.source))].size() == 1 &&
                           (got->second.bytes != want->second->bytes ||
                            got->second.stamp != want->second->stamp)) {
                    fail("a restore gave other bytes than the backup", file.source);
                }
                return true;
            });
        }
    }

    const std::u16string_view expected = !notCopied.empty() ? u"Fehler beim kopieren !!"
                                         : deleteFailed     ? u"Nicht gelöscht !"
                                         : cancelled        ? u"Abbruch"
                                                            : u"OK";
    if (runLog[runLog.size() - 2] != expected)
        fail("the status is wrong", runLog[runLog.size() - 2]);
    if (s.files.OpenHandles() != 0) problems.push_back("a file was left open");
    const Node* log = after.At(std::u16string(kDocumentsFolder) + u"Kelvorin.log");
    if (!log || log->bytes.empty()) problems.push_back("no log file");
    return problems;
}

} // namespace kelvorin::testing
