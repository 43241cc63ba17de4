// The backup run in the main window, on the real file system: what the
// window's lists show, a close request during a run, and the window answering
// while a run works.
#include "engine/ProgressEstimate.h"
#include "tests/ui/DataSFormFixture.h"

#include <gmock/gmock.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

namespace kelvorin::testing {
namespace {

using ::testing::ElementsAre;

// The log file's lines.
std::vector<std::wstring> LinesOf(const std::string& bytes) {
    return TextLines(DecodeText(bytes, CP_ACP));
}

class DataSFormRun : public DataSFormTest {
protected:
    // The set as a file in the documents folder, loaded when the window is made.
    void WriteSet(const std::vector<std::wstring>& folders, bool synchron = false) {
        std::string text = "Laufwerk=" + std::to_string(TargetDrive() - L'A') +
                           "\r\nSynchron=" + (synchron ? "TRUE" : "FALSE") + "\r\n";
        for (const auto& folder : folders)
            text += "Ordner=" + std::string(folder.begin(), folder.end()) + "\r\n";
        WriteTextFile(SetFile(), text);
    }
};

TEST_F(DataSFormRun, ShowsTheSortedLogInTheFileListAndTheRunLogInItsOrder) {
    WriteTextFile(Source(L"A\\eins.txt"), "1");
    WriteTextFile(Source(L"A\\Sub\\zwei.txt"), "2");
    WriteSet({Source(L"A"), Source(L"Fehlt")}, true);
    Make();
    form_->SichernItemClick();

    EXPECT_EQ(ReadWholeFile(Target(L"A\\eins.txt")), "1");
    EXPECT_EQ(ReadWholeFile(Target(L"A\\Sub\\zwei.txt")), "2");
    const std::vector<std::wstring> log = LinesOf(ReadWholeFile(LogFile()));
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0], L"Nicht gefunden: " + Source(L"Fehlt"));
    EXPECT_EQ(log[1], L"Nicht gelöscht: " + Target(L"Fehlt"));
    EXPECT_EQ(log[3], L"OK");
    EXPECT_EQ(Items(Control(Id::LogListBox)), log) << "the run log, in its order";
    std::vector<std::wstring> sorted = log;
    std::sort(sorted.begin(), sorted.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    EXPECT_EQ(ViewItems(Control(Id::DateiListBox)), sorted) << "the log, sorted";
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(Control(Id::DateiListBox), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    EXPECT_EQ(row.bottom - row.top, 14) << "the item height";
    EXPECT_EQ(SendMessageW(Control(Id::OrdnerListBox), LB_GETCURSEL, 0, 0), 1) << "the last folder";
    EXPECT_EQ(WindowText(Control(Id::FileCopyLabel)), L"OK");
    EXPECT_FALSE(form_->IsRunning());

    // The first tick afterwards makes the backup controls usable again.
    EXPECT_FALSE(IsWindowEnabled(Control(Id::SichernBitBtn)));
    for (int i = 0; i < 200 && !IsWindowEnabled(Control(Id::SichernBitBtn)); ++i) {
        Sleep(10);
        PumpMessages();
    }
    EXPECT_TRUE(IsWindowEnabled(Control(Id::SichernBitBtn)));
    EXPECT_TRUE(form_->IsItemEnabled(Id::FileOpenItem));
    EXPECT_TRUE(form_->IsItemEnabled(Id::HelpAboutItem));
}

// A window of the test's own whose posted message runs the test's code when
// the run handles messages: it sees the run from inside.
class InsideTheRun {
public:
    explicit InsideTheRun(std::function<void()> look) : look_(std::move(look)) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KelvorinTestInsideTheRun";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    InsideTheRun(const InsideTheRun&) = delete;
    InsideTheRun& operator=(const InsideTheRun&) = delete;
    ~InsideTheRun() { DestroyWindow(window_); }
    void Post() { PostMessageW(window_, WM_APP, 0, 0); }
    bool looked = false;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<InsideTheRun*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_APP && self) {
            self->looked = true;
            self->look_();
            return 0;
        }
        return DefWindowProcW(window, message, wp, lp);
    }
    std::function<void()> look_;
    HWND window_;
};

// A close request reaches the run while it runs: no further copy, the set file
// written at once, the log ending with "Abbruch", and the window gone only once
// the run is over.
TEST_F(DataSFormRun, ACloseRequestEndsTheRunAndThenTheWindow) {
    for (int i = 0; i < 20; ++i)
        WriteTextFile(Source(L"A\\Datei" + std::to_wstring(100 + i) + L".txt"), "x");
    WriteSet({Source(L"A"), Source(L"B")});
    Make();
    form_->CheckTimerTimer();
    ASSERT_TRUE(IsWindowEnabled(Control(Id::SichernBitBtn)));
    DeleteFileW(SetFile().c_str());
    const HWND window = Window();

    bool setFileWritten = false, windowAlive = false, setCommandsOff = false, infoOff = false,
         busy = false;
    InsideTheRun inside([&] {
        setFileWritten = FileExists(SetFile());
        windowAlive = IsWindow(window) && IsWindowVisible(window);
        setCommandsOff = !form_->IsItemEnabled(Id::FileNeuItem) &&
                         !form_->IsItemEnabled(Id::AddOrdnerPuItem) &&
                         !form_->IsToolButtonEnabled(Id::OpenToolButton);
        infoOff = !form_->IsItemEnabled(Id::HelpAboutItem);
        busy = !IsWindowEnabled(Control(Id::SichernBitBtn)) && form_->IsRunning();
    });
    // Both come with the run's first handling of messages.
    PostMessageW(window, WM_CLOSE, 0, 0);
    inside.Post();
    form_->SichernItemClick();

    ASSERT_TRUE(inside.looked);
    EXPECT_TRUE(setFileWritten) << "at once, during the run";
    EXPECT_TRUE(windowAlive) << "not under the run";
    EXPECT_TRUE(setCommandsOff);
    EXPECT_TRUE(infoOff) << "its modal loop would stall the run";
    EXPECT_TRUE(busy);
    EXPECT_FALSE(IsWindow(window)) << "gone once the run was over";
    EXPECT_TRUE(QuitPosted());
    int copied = 0;
    for (const auto& name : NamesIn(Target(L"A"), Listing::FilesOnly))
        copied += name.starts_with(L"Datei");
    EXPECT_LE(copied, 1) << "no further copy after the close";
    const std::vector<std::wstring> log = LinesOf(ReadWholeFile(LogFile()));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], L"Abbruch");
}

// The label tells a failed copy while the run goes on, and the run's status at its end.
TEST_F(DataSFormRun, TheLabelShowsAFailedCopyWhileTheRunGoesOn) {
    WriteTextFile(Source(L"A\\offen.txt"), "x");
    WriteSet({Source(L"A")});
    Make();
    std::wstring labelAfterFailure;
    InsideTheRun inside([&] { labelAfterFailure = WindowText(Control(Id::FileCopyLabel)); });
    inside.Post(); // comes with the handling of messages after the failed copy
    {
        LockedFile lock(Source(L"A\\offen.txt"));
        form_->SichernItemClick();
    }

    ASSERT_TRUE(inside.looked);
    EXPECT_EQ(labelAfterFailure, L"Fehler");
    EXPECT_EQ(WindowText(Control(Id::FileCopyLabel)), L"Fehler beim kopieren !!");
    EXPECT_EQ(Items(Control(Id::LogListBox)).front(), L"Nicht kopiert: " + Source(L"A\\offen.txt"));
}

// What the taskbar button is told, in order: states by name, values as "done/whole".
class RecordedTaskbar : public ui::TaskbarProgress {
public:
    explicit RecordedTaskbar(std::vector<std::string>& calls) : calls_(calls) {}
    void SetState(State state) override {
        static constexpr const char* kNames[] = {"none", "busy", "share", "error"};
        calls_.push_back(kNames[static_cast<int>(state)]);
    }
    void SetValue(std::uint64_t done, std::uint64_t whole) override {
        calls_.push_back(std::to_string(done) + "/" + std::to_string(whole));
    }

private:
    std::vector<std::string>& calls_;
};

// Three files of one chunk each: every file weighs its bytes and as much
// again, so each step of a copy moves the button by a sixth.
TEST_F(DataSFormRun, TheTaskbarButtonShowsTheWalkTheShareAFailureAndSynchron) {
    for (const wchar_t* name : {L"A\\a.bin", L"A\\b.bin", L"A\\c.bin"})
        WriteTextFile(Source(name), std::string(ProgressEstimate::kFileWeight, 'x'));
    WriteTextFile(Target(L"A\\verwaist.txt"), "weg");
    WriteSet({Source(L"A")}, true);
    std::vector<std::string> calls;
    makeTaskbar_ = [&] { return std::make_unique<RecordedTaskbar>(calls); };
    Make();
    ASSERT_TRUE(calls.empty());
    SendMessageW(Window(), RegisterWindowMessageW(L"TaskbarButtonCreated"), 0, 0);
    {
        LockedFile lock(Source(L"A\\b.bin"));
        form_->SichernItemClick();
    }
    EXPECT_THAT(calls, ElementsAre("busy", "share", "0/1000", "166/1000", "333/1000", // a
                                   "500/1000", "error",                               // b
                                   "666/1000", "833/1000", // c; Synchron stays red
                                   "none"));
    ASSERT_FALSE(FileExists(Target(L"A\\verwaist.txt")));

    calls.clear();
    form_->SichernItemClick(); // a and c are current, b is copied
    EXPECT_THAT(calls, ElementsAre("busy", "share", "0/1000", "333/1000", "500/1000", "666/1000",
                                   "1000/1000", "busy", "none"));
}

// A close request in the middle of a large file stops that copy: the previous
// copy stays whole and no partial file is left.
TEST_F(DataSFormRun, ACloseRequestInTheMiddleOfAFileKeepsThePreviousCopy) {
    WriteTextFile(Source(L"A\\Gross.bin"), std::string(4 << 20, 'n'));
    WriteTextFile(Target(L"A\\Gross.bin"), "alte Kopie");
    SetLocalWriteTime(Target(L"A\\Gross.bin"), 2020, 1, 2, 3, 4, 6);
    WriteSet({Source(L"A")});
    Make();
    files_.millisecondsPerChunk = 5; // a slow stick: the copy takes about 300 ms

    // The close is sent once the copy has begun: a second file stands beside the backup.
    std::atomic<bool> sawPartial = false;
    std::thread closer([&] {
        for (int i = 0; i < 20000 && !sawPartial; ++i) {
            if (NamesIn(Target(L"A"), Listing::FilesOnly).size() > 1)
                sawPartial = true;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        PostMessageW(Window(), WM_CLOSE, 0, 0);
    });
    form_->SichernItemClick();
    closer.join();

    ASSERT_TRUE(sawPartial) << "the copy should have been under way";
    EXPECT_TRUE(ReadWholeFile(Target(L"A\\Gross.bin")) == "alte Kopie");
    EXPECT_EQ(LocalWriteTime(Target(L"A\\Gross.bin")).wYear, 2020);
    EXPECT_THAT(NamesIn(Target(L"A"), Listing::FilesOnly), ElementsAre(L"Gross.bin"))
        << "no partial file";
    EXPECT_EQ(LinesOf(ReadWholeFile(LogFile())).front(), L"Abbruch")
        << "an interrupted copy is no failed copy";
}

// While a run walks a large folder, the window answers within a second.
TEST_F(DataSFormRun, TheWindowAnswersWhileARunWalksALargeFolder) {
    for (int i = 0; i < 1000; ++i)
        WriteTextFile(Source(L"A\\f" + std::to_wstring(i)), "");
    WriteSet({Source(L"A")});
    Make();
    // Every backup is current: the run only walks and compares, slowly.
    form_->SichernItemClick();
    files_.millisecondsPerEntry = 3;

    std::atomic<bool> done = false, asking = true;
    std::atomic<int> answered = 0, late = 0;
    const HWND window = Window();
    std::thread asker([&] {
        while (!done) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result))
                ++answered;
            else
                ++late;
        }
        asking = false;
    });
    form_->SichernItemClick();
    done = true;
    while (asking) // its last question is answered here
        PumpMessages();
    asker.join();
    EXPECT_EQ(late, 0);
    EXPECT_GE(answered, 2) << "the run should have lasted long enough to be asked";
    EXPECT_EQ(LinesOf(ReadWholeFile(LogFile())).front(), L"OK");
}

// Another run holding the target drive, as a scheduled KelvorinCmd.exe does:
// the real lock, taken on a thread of its own, since a thread that holds it
// may take it again.
class OtherRunOnTarget {
public:
    explicit OtherRunOnTarget(FileServices& files)
        : thread_([this, &files, released = release_.get_future()] {
              const auto lock = files.LockDrive(DriveLetter::FromLetter(TargetDrive()));
              taken_.set_value(lock && lock->Wait(0) == DriveLock::Attempt::Taken);
              released.wait();
          }) {
        holding_ = taken_.get_future().get();
    }
    OtherRunOnTarget(const OtherRunOnTarget&) = delete;
    OtherRunOnTarget& operator=(const OtherRunOnTarget&) = delete;
    ~OtherRunOnTarget() {
        release_.set_value();
        thread_.join();
    }
    bool Holding() const { return holding_; }

private:
    std::promise<bool> taken_;
    std::promise<void> release_;
    bool holding_ = false;
    std::thread thread_; // last: it uses the promises
};

// While another run holds the target, Sichern waits: the label says so, the
// window answers, and a close request ends the wait as it ends a run, with
// the target untouched.
TEST_F(DataSFormRun, WaitsForAnotherRunOnTheTargetAndACloseRequestEndsTheWait) {
    WriteTextFile(Source(L"A\\Brief.txt"), "Brief");
    WriteSet({Source(L"A")});
    Make();
    OtherRunOnTarget other(realFiles_);
    ASSERT_TRUE(other.Holding());

    const HWND window = Window(), label = Control(Id::FileCopyLabel);
    std::atomic<bool> sawWaiting = false;
    std::atomic<int> answered = 0, late = 0;
    std::thread watcher([&] {
        const ULONGLONG deadline = GetTickCount64() + 10000;
        while (!sawWaiting && GetTickCount64() < deadline) {
            wchar_t text[128] = {};
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(label, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text),
                                     SMTO_NORMAL, 1000, &result))
                ++late;
            sawWaiting = std::wstring(text) == L"Wartet auf einen anderen Lauf ...";
            if (!sawWaiting) Sleep(2);
        }
        // The wait goes on: the window keeps answering during it.
        for (int i = 0; i < 5; ++i) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result))
                ++answered;
            else
                ++late;
        }
        PostMessageW(window, WM_CLOSE, 0, 0);
    });
    form_->SichernItemClick();
    watcher.join();

    EXPECT_TRUE(sawWaiting);
    EXPECT_EQ(answered, 5);
    EXPECT_EQ(late, 0);
    EXPECT_FALSE(IsWindow(window)) << "closed once the wait was over";
    EXPECT_FALSE(FileExists(Target(L"A\\Brief.txt"))) << "nothing done on the held target";
    const std::vector<std::wstring> log = LinesOf(ReadWholeFile(LogFile()));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], L"Abbruch");
}

} // namespace
} // namespace kelvorin::testing
