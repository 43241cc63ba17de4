// Back to a run: runs made in process at fixed moments onto a stick of the
// test's own, then KelvorinCmd.exe /Stände and /Zurück as a user starts them.
#include "engine/Texts.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ForwardingFileServices.h"
#include "tests/support/win32/ConsoleProgram.h"
#include "tests/support/win32/HostSide.h"
#include "tests/support/win32/RunOnDrives.h"
#include "tests/support/win32/ScratchDrives.h"

#include <gmock/gmock.h>

#include <map>
#include <string>
#include <vector>

namespace kelvorin::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// What a restore folder holds: the path below it, the bytes and the write time.
using Tree = std::map<std::wstring, std::pair<std::string, WriteTimeFields>>;

class CmdRestore : public RunOnDrivesTest {
protected:
    void SetUp() override {
        RunOnDrivesTest::SetUp();
        second_ = MakeCleanFolder(DataDir() + L"Zweit");
        host.set.SetDriveIndex(kStick - L'A');
        host.set.synchron = true;
        host.set.folders.Add(U16(Source(L"Daten")));
        host.set.folders.Add(U16(second_));
        WriteTextFile(SetFile(), "Laufwerk=" + std::to_string(kStick - L'A') +
                                     "\r\nSynchron=TRUE\r\nOrdner=" + Narrow(Source(L"Daten")) +
                                     "\r\nOrdner=" + Narrow(second_) + "\r\n");
    }
    static constexpr wchar_t kStick = L'D';
    std::wstring SetFile() const { return DataDir() + L"Zusammenstellung.ini"; }
    std::wstring Store() const { return std::wstring(1, kStick) + L":\\.Kelvorin-Versionen"; }

    // A source file of the first folder, written on the given December day.
    void Put(const std::wstring& relative, const std::string& bytes, int day) {
        WriteTextFile(Source(L"Daten\\" + relative), bytes);
        SetLocalWriteTime(Source(L"Daten\\" + relative), 2026, 11, day, 9, 30, 4);
    }
    // A run at noon of a December day; what the set's folders hold then is
    // what a restore of its state must give.
    void RunOn(int day) {
        FixedClock noon({2026, 12, day, 12, 0, 0, 0});
        ASSERT_TRUE(RunBackup(fs, DataDir(), noon));
        ASSERT_EQ(host.Status(), u"OK");
        Tree& state = states_[day];
        for (const std::wstring& folder : {Source(L"Daten"), second_})
            ForEachFileBelow(folder, [&](const std::wstring& below, const WIN32_FIND_DATAW&) {
                const std::wstring path = folder + below;
                state[std::wstring(1, path[0]) + path.substr(2)] = {ReadWholeFile(path),
                                                                    WriteTime(path)};
            });
    }
    static Tree Restored(const std::wstring& folder) {
        Tree tree;
        ForEachFileBelow(folder, [&](const std::wstring& below, const WIN32_FIND_DATAW&) {
            tree[below.substr(1)] = {ReadWholeFile(folder + below), WriteTime(folder + below)};
        });
        return tree;
    }

    ConsoleResult Cmd(const std::wstring& arguments) {
        const std::wstring base = DataDir() + L"ausgabe" + std::to_wstring(++runs_);
        return RunConsoleProgram(L"\"" + WinePathOfHostFile(KELVORIN_CMD_EXE) + L"\" \"" +
                                     SetFile() + L"\" " + arguments,
                                 base);
    }
    // The same as a process that starts with the local offset of `timeZone`.
    ConsoleResult CmdInTimeZone(const std::string& timeZone, const std::wstring& moment,
                                const std::wstring& folder) {
        return RunConsoleProgramInTimeZone(timeZone,
                                           {WinePathOfHostFile(KELVORIN_CMD_EXE), SetFile(),
                                            L"/Zur\u00fcck:" + moment, L"/Nach:" + folder},
                                           DataDir() + L"zone" + std::to_wstring(++runs_));
    }
    // A fresh folder for a restore, not yet made.
    std::wstring RestoreFolder() { return DataDir() + L"Zurück" + std::to_wstring(++folders_); }

    ExtraDrive stick_{kStick};
    std::wstring second_;
    std::map<int, Tree> states_;
    int runs_ = 0, folders_ = 0;
};

TEST_F(CmdRestore, GivesBackEveryStateOfFiveRunsByteAndStampExact) {
    Put(L"Brief.txt", "brief 1", 1);
    Put(L"Bild.png", "bild", 1);
    Put(L"Alt\\Notiz.txt", "notiz", 1);
    Put(L"Alt\\Tief\\Liste.csv", "liste", 1);
    WriteTextFile(second_ + L"\\Zweit.txt", "zweit");
    SetLocalWriteTime(second_ + L"\\Zweit.txt", 2026, 11, 1, 8, 0, 0);
    RunOn(1);
    Put(L"Brief.txt", "brief 2", 2); // changed
    DeleteFileW(Source(L"Daten\\Bild.png").c_str());
    RunOn(2);
    MoveFileW(Source(L"Daten\\Alt\\Notiz.txt").c_str(),
              Source(L"Daten\\Alt\\Notiz-neu.txt").c_str()); // renamed
    RunOn(3);
    RemoveTree(Source(L"Daten\\Alt")); // a whole folder goes
    Put(L"Neu.txt", "neu", 4);
    RunOn(4);
    // Without Synchron the backup keeps what went; the state is what the source had.
    host.set.synchron = false;
    Put(L"Brief.txt", "brief 5", 5);
    DeleteFileW(Source(L"Daten\\Neu.txt").c_str());
    RunOn(5);

    const ConsoleResult states = Cmd(L"/Stände");
    EXPECT_EQ(states.exitCode, 0u) << states.err;
    ASSERT_EQ(states.out.size(), 5u);
    for (int day = 1; day <= 5; ++day) {
        SCOPED_TRACE(day);
        const Tree& want = states_[day];
        std::size_t bytes = 0;
        for (const auto& [path, file] : want)
            bytes += file.first.size();
        EXPECT_EQ(states.out[day - 1], L"2026-12-0" + std::to_wstring(day) + L" 12.00.00  " +
                                           std::to_wstring(want.size()) + L" Dateien, " +
                                           std::to_wstring(bytes) + L" Bytes");

        const std::wstring folder = RestoreFolder();
        const ConsoleResult restore = Cmd(L"\"/Zurück:2026-12-0" + std::to_wstring(day) +
                                          L" 12:00\" \"/Nach:" + folder + L"\"");
        EXPECT_EQ(restore.exitCode, 0u) << restore.err;
        EXPECT_THAT(restore.out, IsEmpty());
        EXPECT_EQ(Restored(folder), want);
    }
    // A moment between two runs gives the earlier; the stick is as it was.
    const std::vector<std::wstring> store = NamesIn(Store());
    const std::wstring folder = RestoreFolder();
    EXPECT_EQ(Cmd(L"/Zurück:2026-12-03 /Nach:" + folder).exitCode, 0u);
    EXPECT_EQ(Restored(folder), states_[3]);
    EXPECT_EQ(NamesIn(Store()), store);
}

// What only a pruned run folder held, or what a run without versions
// replaced, is named, and the rest is still written.
TEST_F(CmdRestore, NamesWhatIsNoLongerOnTheStickAndWritesTheRest) {
    Put(L"a.txt", "a1", 1);
    Put(L"b.txt", "b1", 1);
    Put(L"c.txt", "c1", 1);
    RunOn(1);
    Put(L"a.txt", "a2", 2);
    RunOn(2);
    host.set.versionDays = 0;
    Put(L"b.txt", "b3", 3);
    RunOn(3);
    RemoveTree(Store() + L"\\2026-12-02 12.00.00"); // as pruning leaves it
    DeleteFileW((Store() + L"\\2026-12-02 12.00.00.txt").c_str());

    const ConsoleResult states = Cmd(L"/Stände");
    ASSERT_EQ(states.out.size(), 1u) << "a run without versions leaves no state";
    EXPECT_THAT(states.out[0], HasSubstr(L"2026-12-01 12.00.00"));
    const std::wstring folder = RestoreFolder();
    const ConsoleResult restore = Cmd(L"/Zurück:2026-12-02 /Nach:" + folder);
    EXPECT_EQ(restore.exitCode, 7u);
    EXPECT_THAT(restore.out, ElementsAre(L"Nicht mehr vorhanden: " + Source(L"Daten\\a.txt"),
                                         L"Nicht mehr vorhanden: " + Source(L"Daten\\b.txt")));
    Tree want;
    for (const auto& [path, file] : states_[1])
        if (path.ends_with(L"c.txt") || path.ends_with(L"Zweit.txt")) want[path] = file;
    EXPECT_EQ(Restored(folder), want);
}

// A run stopped while it writes its listing, as by a kill: the partial
// listing never gets its name and stays where it is.
class ListingNeverNamed : public ForwardingFileServices {
public:
    using ForwardingFileServices::ForwardingFileServices;
    bool RenameWithoutReplacing(std::u16string_view source, std::u16string_view target) override {
        if (IsPartialListing(source)) return false;
        return ForwardingFileServices::RenameWithoutReplacing(source, target);
    }
    bool DeleteOneFile(std::u16string_view path) override {
        if (IsPartialListing(path)) return false;
        return ForwardingFileServices::DeleteOneFile(path);
    }

private:
    static bool IsPartialListing(std::u16string_view path) {
        return path.find(u".Kelvorin-Versionen") != std::u16string_view::npos &&
               path.ends_with(kPartialCopyTail);
    }
};

TEST_F(CmdRestore, OffersNoStateOfARunStoppedWhileItWritesItsListing) {
    Put(L"a.txt", "a1", 1);
    RunOn(1);
    Put(L"a.txt", "a2", 2);
    ListingNeverNamed stopped(fs);
    FixedClock noon({2026, 12, 2, 12, 0, 0, 0});
    ASSERT_TRUE(RunBackup(stopped, DataDir(), noon));

    const ConsoleResult states = Cmd(L"/Stände");
    ASSERT_EQ(states.out.size(), 1u) << "the stopped run offers no state";
    EXPECT_THAT(states.out[0], HasSubstr(L"2026-12-01 12.00.00"));
    const std::wstring folder = RestoreFolder();
    EXPECT_EQ(Cmd(L"/Zurück:2026-12-02 /Nach:" + folder).exitCode, 0u);
    EXPECT_EQ(Restored(folder), states_[1]) << "the earlier state comes back whole";

    Put(L"b.txt", "b3", 3);
    RunOn(3);
    for (const std::wstring& name : NamesIn(Store()))
        EXPECT_FALSE(name.ends_with(L".tmp")) << "the next run removes the leftover";
}

TEST_F(CmdRestore, RefusesWhatItCannotDoAndSaysWhy) {
    Put(L"a.txt", "a", 1);
    RunOn(2);
    const std::wstring full = MakeCleanFolder(DataDir() + L"Voll");
    WriteTextFile(full + L"\\da.txt", "da");
    const std::wstring onStick = std::wstring(1, kStick) + L":\\Zurück";
    const struct {
        std::wstring arguments;
        DWORD exitCode;
        std::wstring says;
    } cases[] = {
        {L"/Zurück:2026-12-02 /Nach:" + full, 5, L"nicht leer"},
        {L"/Zurück:2026-12-02 /Nach:" + onStick, 5, L"Ziellaufwerk"},
        {L"/Zurück:gestern /Nach:" + RestoreFolder(), 5, L"Kein Zeitpunkt"},
        {L"/Zurück:2026-12-02", 5, L"/Nach"},
        {L"/Nach:" + RestoreFolder(), 5, L"/Zurück"},
        {L"/Zurück:2026-12-01 /Nach:" + RestoreFolder(), 8, L"2026-12-02 12.00.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ConsoleResult result = Cmd(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_THAT(result.err, HasSubstr(c.says));
    }
    EXPECT_THAT(NamesIn(full), ElementsAre(L"da.txt"));
    EXPECT_FALSE(FolderExists(onStick));

    stick_.Unplug();
    EXPECT_EQ(Cmd(L"/Stände").exitCode, 4u);
}

// A run in summer, a restore in winter: the local offset changed between
// them, and every copy is found and written with its stamp. This process runs
// with the session's offset; each restore starts with another.
TEST_F(CmdRestore, GivesEveryFileBackWithItsStampAfterTheLocalOffsetChanged) {
    Put(L"Brief.txt", "brief", 1);
    Put(L"Alt\\Notiz.txt", "notiz", 1);
    RunOn(1);
    Put(L"Brief.txt", "brief 2", 2); // the first state's copy is now a version
    RunOn(2);
    for (const char* zone : {"Etc/GMT-1", "Etc/GMT-2"}) {
        SCOPED_TRACE(zone);
        const std::wstring folder = RestoreFolder();
        const ConsoleResult restore = CmdInTimeZone(zone, L"2026-12-01", folder);
        EXPECT_EQ(restore.exitCode, 0u) << Narrow(restore.err);
        EXPECT_THAT(restore.out, IsEmpty());
        EXPECT_EQ(Restored(folder), states_[1]);
    }
}

// Reading a folder failed during the run: the restore writes the rest, names
// the folder and ends with 7.
class FolderThatFailsToList : public ForwardingFileServices {
public:
    FolderThatFailsToList(FileServices& inner, std::u16string folder)
        : ForwardingFileServices(inner), pattern_(std::move(folder) + u"\\*.*") {}
    bool ListFolder(std::u16string_view pattern,
                    const std::function<void(const FolderEntry&)>& visit) override {
        if (pattern != pattern_) return ForwardingFileServices::ListFolder(pattern, visit);
        SetLastError(ERROR_NOT_READY);
        return false;
    }

private:
    std::u16string pattern_;
};

TEST_F(CmdRestore, NamesAFolderThatTheRunCouldNotReadAndWritesTheRest) {
    Put(L"a.txt", "a", 1);
    Put(L"Gesperrt\\b.txt", "b", 1);
    const std::u16string locked = U16(Source(L"Daten\\Gesperrt"));
    FolderThatFailsToList failing(fs, locked);
    FixedClock noon({2026, 12, 1, 12, 0, 0, 0});
    ASSERT_TRUE(RunBackup(failing, DataDir(), noon));

    const std::wstring folder = RestoreFolder();
    const ConsoleResult restore = Cmd(L"/Zur\u00fcck:2026-12-01 /Nach:" + folder);
    EXPECT_EQ(restore.exitCode, 7u) << Narrow(restore.err);
    EXPECT_THAT(restore.out, ElementsAre(L"Beim Lauf nicht lesbar: " + Wide(locked)));
    const Tree restored = Restored(folder);
    ASSERT_EQ(restored.size(), 1u);
    EXPECT_TRUE(restored.begin()->first.ends_with(L"\\Daten\\a.txt"));
}

// A listing edited on the stick offers no state: a restore, which reads the
// listing it chose whole, names it and writes nothing anywhere, /Nach
// included; /Stände, which reads heads and ends only, names one whose end
// does not fit its head.
TEST_F(CmdRestore, OffersNoStateOfAListingEditedOnTheStickAndWritesNothing) {
    Put(L"a.txt", "a", 1);
    RunOn(1);
    const std::wstring listing = Store() + L"\\2026-12-01 12.00.00.txt";
    const std::string written = ReadWholeFile(listing);
    const std::string source = Narrow(Source(L"Daten"));
    const std::string folderLine = "Ordner\t1\t1\t" + source + "\r\n";
    const std::size_t head = written.find(folderLine);
    const std::size_t end = written.rfind("Ende\t1\r\n");
    ASSERT_NE(head, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    std::string escape = source;
    for (int i = 0; i < 12; ++i)
        escape += "\\..";
    std::string edited = written;
    edited.replace(end, std::string::npos,
                   "Datei\t5\t2026-12-01 09:00:00.0000000Z\t" + escape +
                       "\\Flucht.txt\r\nEnde\t2\r\n");
    // Its totals made to fit, so that only the path tells.
    edited.replace(head, folderLine.size(), "Ordner\t2\t6\t" + source + "\r\n");
    WriteTextFile(listing, edited);

    const std::wstring folder = RestoreFolder();
    const ConsoleResult restore = Cmd(L"/Zur\u00fcck:2026-12-01 /Nach:" + folder);
    EXPECT_EQ(restore.exitCode, 8u);
    EXPECT_THAT(restore.err, HasSubstr(L"Besch\u00e4digt: 2026-12-01 12.00.00"));
    EXPECT_FALSE(FolderExists(folder)) << "a restore that writes nothing leaves no trace";
    EXPECT_FALSE(FileExists(std::wstring(1, DocsDrive()) + L":\\Flucht.txt"));

    WriteTextFile(listing, written.substr(0, end) + "Ende\t2\r\n");
    const ConsoleResult states = Cmd(L"/St\u00e4nde");
    EXPECT_EQ(states.exitCode, 0u);
    EXPECT_THAT(states.out, IsEmpty());
    EXPECT_THAT(states.err, HasSubstr(L"Besch\u00e4digt: 2026-12-01 12.00.00"));
}

// A folder that leads onto the stick through a link is on the stick.
TEST_F(CmdRestore, RefusesAFolderOnTheTargetsVolumeWhateverLetterLeadsThere) {
    Put(L"a.txt", "a", 1);
    RunOn(1);
    MakeCleanFolder(std::wstring(1, kStick) + L":\\Ablage");
    const std::wstring link = DataDir() + L"Verweis";
    const HostLink onStick(link, std::wstring(1, kStick) + L":\\Ablage");
    const ConsoleResult restore = Cmd(L"/Zur\u00fcck:2026-12-01 \"/Nach:" + link + L"\\Neu\"");
    EXPECT_EQ(restore.exitCode, 5u);
    EXPECT_THAT(restore.err, HasSubstr(L"Ziellaufwerk"));
    EXPECT_THAT(NamesIn(std::wstring(1, kStick) + L":\\Ablage"), IsEmpty());
}

} // namespace
} // namespace kelvorin::testing
