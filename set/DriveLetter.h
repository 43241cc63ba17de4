#pragma once
// A drive A: to Z:, or none. The set stores it as its index 0..25 and paths
// hold its letter: one value converts between them and knows the range.
#include <string>

namespace kelvorin {

class DriveLetter {
public:
    static constexpr int kCount = 26; // A: to Z:

    constexpr DriveLetter() = default; // none

    // 0 is A:; anything outside 0..25 is none.
    static constexpr DriveLetter FromIndex(int index) {
        return index >= 0 && index < kCount ? DriveLetter(index) : DriveLetter();
    }
    // A to Z or a to z; any other character is none.
    static constexpr DriveLetter FromLetter(char16_t letter) {
        if (letter >= u'a' && letter <= u'z') return DriveLetter(letter - u'a');
        if (letter >= u'A' && letter <= u'Z') return DriveLetter(letter - u'A');
        return {};
    }
    // E:, the target of a new set.
    static constexpr DriveLetter DefaultTarget() { return FromLetter(u'E'); }

    constexpr bool IsNone() const { return index_ < 0; }

    // 'A' to 'Z'; 0 for none.
    constexpr char16_t Letter() const {
        return IsNone() ? char16_t{} : static_cast<char16_t>(u'A' + index_);
    }
    // 0 to 25; -1 for none, as the set file writes it.
    constexpr int Index() const { return index_; }

    // "D:", as texts name the drive; empty for none.
    std::u16string Name() const {
        return IsNone() ? std::u16string() : std::u16string{Letter(), u':'};
    }
    // "D:\", the drive's root folder, as the volume functions take it; empty for none.
    std::u16string Root() const { return IsNone() ? std::u16string() : Name() + u'\\'; }

    friend constexpr bool operator==(DriveLetter, DriveLetter) = default;

private:
    constexpr explicit DriveLetter(int index) : index_(index) {}

    int index_ = -1;
};

} // namespace kelvorin
