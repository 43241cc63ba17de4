#pragma once
// The set file's error texts, chosen by the Windows error code of the failed
// call (3 also for a refused path).
#include <cstdint>
#include <string>

namespace kelvorin {

namespace texts {
inline constexpr char16_t kFileNotFound[] = u"Datei nicht gefunden";                 // 2
inline constexpr char16_t kInvalidFileName[] = u"Ungültiger Dateiname";              // 3
inline constexpr char16_t kTooManyOpenFiles[] = u"Zu viele geöffnete Dateien";       // 4
inline constexpr char16_t kAccessDenied[] = u"Dateizugriff verweigert";              // 5
inline constexpr char16_t kReadPastEnd[] = u"Versuch hinter dem Dateiende zu lesen"; // 100
inline constexpr char16_t kDiskFull[] = u"Zu wenig Speicherplatz";                   // 101
inline constexpr char16_t kInvalidNumber[] = u"Ungültige numerische Eingabe";        // 106
inline constexpr char16_t kIoErrorPrefix[] = u"E/A-Fehler ";                         // + the code
} // namespace texts

// The text for an error code; an unknown code gives "E/A-Fehler <code>", the
// code read as a signed 32-bit number.
std::u16string IoErrorText(std::uint32_t code);

} // namespace kelvorin
