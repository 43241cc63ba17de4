#include "app/win32/ConsoleProgress.h"

#include "app/ProgressLine.h"

namespace kelvorin {

namespace {

// A progress line must fit the console's width, or it wraps and piles up.
constexpr std::size_t kWidth = 78;

} // namespace

bool ConsoleProgress::Due() {
    if (!err_.IsConsole()) return false;
    const std::uint64_t now = GetTickCount64();
    if (shown_ && now - lastShown_ < 100) return false;
    lastShown_ = now;
    return true;
}

void ConsoleProgress::Show(const std::u16string& head, std::u16string_view tail) {
    std::u16string line = head;
    const std::size_t room = kWidth > line.size() ? kWidth - line.size() : 0;
    if (tail.size() <= room)
        line += tail;
    else
        line.append(u"...").append(tail.substr(tail.size() - (room > 3 ? room - 3 : 0)));
    line.resize(kWidth, u' ');
    err_.Write(u"\r" + line);
    shown_ = true;
}

void ConsoleProgress::Clear() {
    if (!shown_) return;
    err_.Write(u"\r" + std::u16string(kWidth, u' ') + u"\r");
    shown_ = false;
}

void ConsoleProgress::Begin(WorkAmount whole) {
    whole_ = whole;
    estimate_.emplace(whole, GetTickCount64());
}

void ConsoleProgress::ShowDone(WorkAmount done, std::u16string_view file) {
    if (!estimate_ || !Due()) return;
    estimate_->Update(done, GetTickCount64());
    const ProgressFigures figures{done, whole_, estimate_->BytesPerSecond(),
                                  estimate_->SecondsLeft()};
    Show(ProgressLine(figures) + u"  ", file);
}

} // namespace kelvorin
