#pragma once
// Small fixtures shared by several test programs.
#include "app/StartUp.h"
#include "engine/FileServices.h"
#include "engine/LocalClock.h"
#include "set/BackupSet.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvorin::testing {

// The example set: folders C:\Daten and C:\Projekte, target F:, "Synchron",
// exclusions bak and tmp, as its file holds it byte for byte.
inline constexpr char kExampleSetFile[] =
    "Laufwerk=5\r\nSynchron=TRUE\r\nOrdner=C:\\Daten\r\n"
    "Ordner=C:\\Projekte\r\nAusschluss=bak\r\nAusschluss=tmp\r\n";

inline BackupSet ExampleSet() {
    BackupSet set;
    set.folders.Add(u"C:\\Projekte");
    set.folders.Add(u"C:\\Daten");
    set.SetDriveIndex(5);
    set.synchron = true;
    set.exclusions = {u"bak", u"tmp"};
    return set;
}

// A documents folder and a command line chosen by the test.
class FixedStartUp : public StartUpServices {
public:
    std::optional<std::u16string> personal;
    std::u16string commandLine = u"Kelvorin.exe";
    std::optional<std::u16string> PersonalFolder() override { return personal; }
    std::u16string CommandLine() override { return commandLine; }
};

// A stamp in the DOS layout from its local date and time.
inline DosStamp Stamp(int year, int month, int day, int hour, int minute, int second) {
    return static_cast<DosStamp>(
        (static_cast<std::uint32_t>(year - 1980) << 25) |
        (static_cast<std::uint32_t>(month) << 21) | (static_cast<std::uint32_t>(day) << 16) |
        (static_cast<std::uint32_t>(hour) << 11) | (static_cast<std::uint32_t>(minute) << 5) |
        static_cast<std::uint32_t>(second / 2));
}

// Always noon of 10 December 2026, in German short forms.
class NoonClock : public LocalClock {
public:
    LocalTime Now() override { return {2026, 12, 10, 12, 0, 0, 0}; }
    std::u16string ShortDate(const LocalTime&) override { return u"10.12.2026"; }
    std::u16string LongTime(const LocalTime&) override { return u"12:00:00"; }
};

// Text for a test's messages: everything beyond printable ASCII becomes "?".
template <typename Char> std::string NarrowText(std::basic_string_view<Char> text) {
    std::string out;
    for (Char c : text)
        out += c >= 0x20 && c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}
inline std::string Narrow(std::u16string_view text) {
    return NarrowText(text);
}
inline std::string Narrow(std::wstring_view text) {
    return NarrowText(text);
}

} // namespace kelvorin::testing
