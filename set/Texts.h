#pragma once
// The set file's error texts, chosen by the Windows error code of the failed
// call (3 also for a refused path).
#include <cstdint>
#include <string>

namespace kelvorin {

// The error codes that have a text of their own. The set file also gives
// kInvalidFileName for a path too long and kDiskFull for a write that reached
// the disk only in part.
namespace io_error {
inline constexpr std::uint32_t kFileNotFound = 2;
inline constexpr std::uint32_t kInvalidFileName = 3;
inline constexpr std::uint32_t kTooManyOpenFiles = 4;
inline constexpr std::uint32_t kAccessDenied = 5;
inline constexpr std::uint32_t kReadPastEnd = 100;
inline constexpr std::uint32_t kDiskFull = 101;
inline constexpr std::uint32_t kInvalidNumber = 106;
} // namespace io_error

namespace texts {
inline constexpr char16_t kFileNotFound[] = u"Datei nicht gefunden";
inline constexpr char16_t kInvalidFileName[] = u"Ungültiger Dateiname";
inline constexpr char16_t kTooManyOpenFiles[] = u"Zu viele geöffnete Dateien";
inline constexpr char16_t kAccessDenied[] = u"Dateizugriff verweigert";
inline constexpr char16_t kReadPastEnd[] = u"Versuch hinter dem Dateiende zu lesen";
inline constexpr char16_t kDiskFull[] = u"Zu wenig Speicherplatz";
inline constexpr char16_t kInvalidNumber[] = u"Ungültige numerische Eingabe";
inline constexpr char16_t kIoErrorPrefix[] = u"E/A-Fehler "; // + the code
} // namespace texts

// The text for an error code; an unknown code gives "E/A-Fehler <code>", the
// code read as a signed 32-bit number.
std::u16string IoErrorText(std::uint32_t code);

} // namespace kelvorin
