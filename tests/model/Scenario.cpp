#include "Scenario.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace kelvorin::testing {

namespace {

// Raw mt19937 output is the same on every platform; the standard
// distributions are not.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : engine_(seed) {}
    int Below(int n) { return static_cast<int>(engine_() % static_cast<std::uint32_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T, std::size_t N> const T& Pick(const T (&items)[N]) {
        return items[Below(static_cast<int>(N))];
    }
    // Cheap random bytes: a split-mix sequence from one draw, eight bytes a step.
    std::string Bytes(std::size_t n) {
        std::string bytes(n, '\0');
        std::uint64_t x = engine_();
        for (std::size_t i = 0; i < n; i += 8) {
            std::uint64_t z = (x += 0x9E3779B97F4A7C15u);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
            z ^= z >> 31;
            std::memcpy(bytes.data() + i, &z, std::min<std::size_t>(8, n - i));
        }
        return bytes;
    }

private:
    std::mt19937 engine_;
};

// Names with an extension that the exclusions may catch, umlauts, two dots
// and none; folders with a dot and a link, which no walk may enter.
constexpr const char16_t* kFileNames[] = {u"brief.txt", u"Bild.JPG",      u"notiz.tmp", u"alt.BAK",
                                          u"liste",     u"daten.txt.bak", u"Ärger.doc", u"x.tmpl",
                                          u"Zahl.csv",  u"ÖL.TXT"};
constexpr const char16_t* kFolderNames[] = {u"Sub", u"Fotos", u"alt", u"Übersicht"};
constexpr const char16_t* kHiddenFolderNames[] = {u".git", u".cache"};

class Maker {
public:
    Maker(Scenario& s, Dice& dice) : s_(s), dice_(dice) {}

    DosStamp RandomStamp() {
        const std::uint32_t year = 20 + dice_.Below(25), month = 1 + dice_.Below(12),
                            day = 1 + dice_.Below(28), hour = dice_.Below(24),
                            minute = dice_.Below(60), half = dice_.Below(30);
        return static_cast<DosStamp>(year << 25 | month << 21 | day << 16 | hour << 11 |
                                     minute << 5 | half);
    }

    std::string Contents() {
        // A few files span several copy chunks, so a read can fail in their middle.
        return dice_.Bytes(dice_.Chance(4) ? 65536 + dice_.Below(70000) : dice_.Below(300));
    }

    // A source tree; prefix keeps the file names of D: apart from those of S:.
    void Tree(const std::u16string& folder, const std::u16string& prefix, int depth) {
        s_.files.AddFolder(folder);
        const int files = dice_.Below(5);
        for (int i = 0; i < files; ++i) {
            const std::u16string path = folder + u'\\' + prefix + dice_.Pick(kFileNames);
            if (s_.files.Find(path)) continue;
            s_.files.AddFile(path, Contents(), RandomStamp(), dice_.Chance(10) ? kAttrReadOnly : 0);
            sources_.push_back(path);
        }
        if (depth >= 3) return;
        const int folders = dice_.Below(depth == 0 ? 4 : 3);
        for (int i = 0; i < folders; ++i) {
            const std::u16string path = folder + u'\\' + dice_.Pick(kFolderNames);
            if (!s_.files.Find(path)) Tree(path, prefix, depth + 1);
        }
        if (dice_.Chance(20)) Tree(folder + u'\\' + dice_.Pick(kHiddenFolderNames), prefix, 3);
        if (dice_.Chance(10) && !s_.files.Find(folder + u"\\Verweis")) {
            s_.files.AddFolderLink(folder + u"\\Verweis");
            s_.files.AddFile(folder + u"\\Verweis\\" + prefix + u"hinter.txt", Contents(),
                             RandomStamp());
        }
    }

    // The previous backup of one source file, in one of its states.
    void BackupOf(const std::u16string& source) {
        const MemoryFileServices::Node& node = *s_.files.Find(source);
        std::u16string backup = source;
        backup[0] = kTarget;
        const int roll = dice_.Below(20);
        if (roll < 6) return; // none yet
        if (roll < 9) {
            s_.files.AddFile(backup, node.bytes, node.stamp);
        } else if (roll < 12) {
            s_.files.AddFile(backup, Contents(), node.stamp - 1 - dice_.Below(5000));
        } else if (roll < 14) {
            s_.files.AddFile(backup, Contents(), node.stamp + 1 + dice_.Below(5000));
        } else if (roll < 15) {
            // Summer time made the source an hour later: not changed.
            s_.files.AddFile(backup, node.bytes, node.stamp - 0x800);
        } else if (roll < 17) {
            s_.files.AddFile(backup, Contents(), node.stamp - 1 - dice_.Below(3), kAttrReadOnly);
        } else if (roll < 18) {
            s_.files.AddFolder(backup);
            if (dice_.Chance(50))
                s_.files.AddFile(backup + u"\\innen.txt", Contents(), RandomStamp());
        } else {
            s_.files.AddFile(backup, Contents(), RandomStamp(),
                             dice_.Chance(30) ? kAttrReadOnly : 0);
        }
    }

    // Backups whose sources are gone, and what a walk of the backup must leave alone.
    void Orphans(const std::u16string& folder) {
        const int n = dice_.Below(4);
        for (int i = 0; i < n; ++i) {
            std::u16string path = folder;
            if (dice_.Chance(50)) path += u'\\' + std::u16string(dice_.Pick(kFolderNames));
            if (dice_.Chance(15)) path += u'\\' + std::u16string(dice_.Pick(kHiddenFolderNames));
            path += u"\\weg-" + std::u16string(dice_.Pick(kFileNames));
            if (s_.files.Find(path)) continue;
            s_.files.AddFile(path, Contents(), RandomStamp(), dice_.Chance(15) ? kAttrReadOnly : 0);
        }
        if (dice_.Chance(30)) s_.files.AddFolder(folder + u"\\Leer\\Leerer");
        if (dice_.Chance(10) && !s_.files.Find(folder + u"\\Verweis")) {
            s_.files.AddFolderLink(folder + u"\\Verweis");
            s_.files.AddFile(folder + u"\\Verweis\\weg.txt", Contents(), RandomStamp());
        }
    }

    std::vector<std::u16string> sources_;

private:
    Scenario& s_;
    Dice& dice_;
};

} // namespace

Scenario MakeScenario(std::uint32_t seed) {
    Scenario s;
    s.seed = seed;
    Dice dice(seed);
    Maker make(s, dice);
    MemoryFileServices& files = s.files;

    files.AddDrive(u'S');
    files.AddDrive(u'D');
    files.AddDrive(kTarget);
    files.AddDrive(u'K');
    files.AddFolder(kDocumentsFolder);

    make.Tree(u"S:\\Daten", u"", 0);
    make.Tree(u"D:\\Daten", u"d-", 1);
    make.Tree(u"S:\\Gesperrt", u"g-", 2);
    const std::vector<std::u16string> sources = make.sources_;
    for (const auto& source : sources)
        make.BackupOf(source);
    make.Orphans(u"T:\\Daten");
    make.Orphans(u"T:\\Fehlt");
    make.Orphans(u"T:\\Gesperrt");
    // A file where a backup folder must go blocks every copy below it.
    if (dice.Chance(5) && files.Find(u"S:\\Daten\\Fotos") && !files.Find(u"T:\\Daten\\Fotos"))
        files.AddFile(u"T:\\Daten\\Fotos", make.Contents(), make.RandomStamp());

    // Versions are off in some worlds; some keep the store of earlier runs: one
    // past the keep time, one within it, and a file of the user's own.
    s.set.versionDays = dice.Chance(25) ? 0 : 30;
    if (dice.Chance(30)) {
        const std::u16string store = kStore;
        for (const std::u16string& kept :
             {store + u'\\' + kExpiredRun + u"\\Daten\\alt.txt",
              store + u'\\' + kRecentRun + u"\\Daten\\neu.txt", store + u"\\Notizen.txt"})
            files.AddFile(kept, make.Contents(), make.RandomStamp());
    }

    s.set.SetDriveIndex(kTarget - u'A');
    s.set.synchron = dice.Chance(50);
    s.set.exclusions.clear();
    for (const char16_t* line : {u"tmp", u"bak", u"", u"jpg"})
        if (dice.Chance(40)) s.set.exclusions.push_back(line);
    s.set.folders.Add(u"S:\\Daten");
    if (dice.Chance(30) && files.Find(u"S:\\Daten\\Sub")) s.set.folders.Add(u"S:\\Daten\\Sub");
    if (dice.Chance(50)) s.set.folders.Add(u"D:\\Daten");
    if (dice.Chance(20)) s.set.folders.Add(u"S:\\Fehlt");
    if (dice.Chance(15)) s.set.folders.Add(u"Q:\\Daten");
    if (dice.Chance(25)) s.set.folders.Add(u"S:\\Gesperrt");
    if (dice.Chance(50)) files.Deny(u"S:\\Gesperrt");

    if (dice.Chance(25) && !sources.empty()) {
        const std::u16string& victim = sources[dice.Below(static_cast<int>(sources.size()))];
        const std::int64_t size = static_cast<std::int64_t>(files.Find(victim)->bytes.size());
        if (dice.Chance(50) || size < 2)
            files.FailOpen(victim);
        else
            files.FailReadFrom(victim, 1 + dice.Below(static_cast<int>(size - 1)));
        s.unreadable.insert(MemoryFileServices::Key(victim));
    }
    if (dice.Chance(12)) {
        s.targetTooSmall = true;
        std::int64_t used = 0, needed = 0;
        for (const auto& [key, node] : files.Nodes())
            (node.path[0] == kTarget ? used : needed) +=
                static_cast<std::int64_t>(node.bytes.size());
        files.SetCapacity(kTarget, used + dice.Below(static_cast<int>(needed / 2 + 1)));
    }
    if (dice.Chance(10)) {
        s.vanishing = dice.Chance(50) ? kTarget : u'D';
        files.VanishAfter(s.vanishing, 1 + dice.Below(300));
    }
    if (dice.Chance(10)) s.cancelAfter = dice.Below(200);
    return s;
}

} // namespace kelvorin::testing
