#pragma once
// One progress line on stderr, rewritten in place, only on a console and at
// most ten times a second; cleared before any other output.
#include "app/win32/ConsoleStream.h"
#include "engine/ProgressEstimate.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvorin {

class ConsoleProgress {
public:
    explicit ConsoleProgress(ConsoleStream& err) : err_(err) {}

    // False while the last line is younger than 100 ms, or there is no console.
    bool Due();
    // The head, then as much of the tail's end as the width leaves room for.
    void Show(const std::u16string& head, std::u16string_view tail);
    void Clear();

    // The whole of a job: from now on ShowDone tells how far it is.
    void Begin(WorkAmount whole);
    bool Begun() const { return estimate_.has_value(); }
    // When due: what is done of the whole, the speed and the time left, and
    // the file in work.
    void ShowDone(WorkAmount done, std::u16string_view file);

private:
    ConsoleStream& err_;
    std::optional<ProgressEstimate> estimate_;
    WorkAmount whole_;
    std::uint64_t lastShown_ = 0;
    bool shown_ = false;
};

} // namespace kelvorin
