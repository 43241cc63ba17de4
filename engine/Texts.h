#pragma once
// The backup run's own texts: log lines, status texts, messages.
#include <string>
#include <string_view>

namespace kelvorin {

// Lines of the run log; each is followed by the path it names.
inline constexpr char16_t kNotFoundLine[] = u"Nicht gefunden: ";
inline constexpr char16_t kNotCopiedLine[] = u"Nicht kopiert: ";
inline constexpr char16_t kNotDeletedLine[] = u"Nicht gelöscht: ";
// Names the store's path of a previous copy that could not go back in place.
inline constexpr char16_t kOnlyInStoreLine[] = u"Nur noch in den Versionen: ";
// Lines of a check: the backup path follows, or the source path.
inline constexpr char16_t kDiffersLine[] = u"Abweichend: ";
inline constexpr char16_t kBackupUnreadableLine[] = u"Nicht lesbar: ";
inline constexpr char16_t kSourceUnreadableLine[] = u"Quelle nicht lesbar: ";

// The run's status, first that applies.
inline constexpr char16_t kStatusCopyFailed[] = u"Fehler beim kopieren !!";
inline constexpr char16_t kStatusDeleteFailed[] = u"Nicht gelöscht !";
inline constexpr char16_t kStatusCancelled[] = u"Abbruch";
inline constexpr char16_t kStatusOk[] = u"OK";

// The error box texts of the log file.
inline std::u16string CannotCreateFileText(std::u16string_view path,
                                           std::u16string_view systemText) {
    return u"Datei \"" + std::u16string(path) + u"\" kann nicht erstellt werden. " +
           std::u16string(systemText);
}
inline constexpr char16_t kStreamWriteError[] = u"Stream-Schreibfehler";

// Ends the name of the file a copy is written into before it replaces the
// previous copy; a leftover of a broken run tells the user what it is.
inline constexpr char16_t kPartialCopyTail[] = u"~Kelvorin-Teilkopie.tmp";

// The folder of the target drive's root that keeps what runs replaced or removed.
inline constexpr char16_t kVersionStoreName[] = u".Kelvorin-Versionen";
// Ends the name of a run's listing in the store: the run's name, then this.
inline constexpr std::u16string_view kListingExtension = u".txt";

} // namespace kelvorin
