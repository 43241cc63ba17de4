#pragma once
// One progress line on stderr, rewritten in place, only on a console and at
// most ten times a second; cleared before any other output.
#include "app/win32/ConsoleStream.h"

#include <cstdint>
#include <string>

namespace kelvorin {

class ConsoleProgress {
public:
    explicit ConsoleProgress(ConsoleStream& err) : err_(err) {}

    // False while the last line is younger than 100 ms, or there is no console.
    bool Due();
    // The head, then as much of the tail's end as the width leaves room for.
    void Show(const std::u16string& head, const std::u16string& tail);
    void Clear();

private:
    ConsoleStream& err_;
    std::uint64_t lastShown_ = 0;
    bool shown_ = false;
};

} // namespace kelvorin
