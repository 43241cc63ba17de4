#pragma once
// Every German text that the windows show, in one place.
#include "ui/Maker.h"

#include <array>
#include <cstddef>

namespace kelvorin::ui::texts {

// Main window "Datensicherung". Hints are "short|long": the tooltip shows the
// short part, the status bar the long one; a hint without "|" serves as both.
inline constexpr wchar_t kMainCaption[] = L"Datensicherung";
inline constexpr wchar_t kOrdnerTitle[] = L"Ordner";
inline constexpr wchar_t kDateienTitle[] = L"Dateien";
inline constexpr wchar_t kZielTitle[] = L"Ziel";
inline constexpr wchar_t kOhneDateienTitle[] = L"Ohne Dateien";
inline constexpr wchar_t kSynchronCaption[] = L"Synchron";
inline constexpr wchar_t kSichernCaption[] = L"&Sichern";
inline constexpr wchar_t kEndeCaption[] = L"&Ende";
inline constexpr wchar_t kFileCopyLabelStart[] = L"---";
// FileCopyLabel during a run, after a failure.
inline constexpr wchar_t kCopyFailedLabel[] = L"Fehler";
inline constexpr wchar_t kNotDeletedLabel[] = L"Nicht gelöscht";
// FileCopyLabel while another run holds the target drive.
inline constexpr wchar_t kWaitingForOtherRunLabel[] = L"Wartet auf einen anderen Lauf ...";
inline constexpr const wchar_t* kDriveCaptions[] = {
    L"A:", L"B:", L"C:", L"D:", L"E:", L"F:", L"G:", L"H:", L"I:", L"J:", L"K:", L"L:", L"M:",
    L"N:", L"O:", L"P:", L"Q:", L"R:", L"S:", L"T:", L"U:", L"V:", L"W:", L"X:", L"Y:", L"Z:"};

inline constexpr wchar_t kOpenHint[] = L"Öffnen|Eine Zusammenstellung öffnen";
inline constexpr wchar_t kSichernHint[] = L"Sichern|Datensicherung starten";
inline constexpr wchar_t kHelpHint[] = L"Hilfe|Hilfe aufrufen";
inline constexpr wchar_t kOrdnerHint[] = L"Zu sichernde Ordner";
inline constexpr wchar_t kDateienHint[] = L"Zu sichernde Dateien";
inline constexpr wchar_t kZielHint[] = L"Sicherungslaufwerk";
inline constexpr wchar_t kAusschlussGroupHint[] = L"Auszuschliessende Dateitypen";
inline constexpr wchar_t kAusschlussMemoHint[] = L"Nicht zu sichernde Dateien";
inline constexpr wchar_t kSynchronHint[] =
    L"Dateien Synchronisieren (gelöschte Dateien aus der Sicherung entfernen)";
inline constexpr wchar_t kEndeHint[] = L"Programmende";

// Its menus.
inline constexpr wchar_t kFileMenu[] = L"&Datei";
inline constexpr wchar_t kFileNeu[] = L"&Neu";
inline constexpr wchar_t kFileOpen[] = L"&Öffnen";
inline constexpr wchar_t kFileSave[] = L"&Speichern";
inline constexpr wchar_t kFileExit[] = L"&Beenden";
inline constexpr wchar_t kEditMenu[] = L"&Bearbeiten";
inline constexpr wchar_t kSichernItem[] = L"&Sichern";
inline constexpr wchar_t kAddOrdnerItem[] = L"Ordner &hinzufügen";
inline constexpr wchar_t kDelOrdnerItem[] = L"Ordner &entfernen";
inline constexpr wchar_t kAddOrdnerPuItem[] = L"Ordner hinzufügen";
inline constexpr wchar_t kDelOrdnerPuItem[] = L"Ordner entfernen";
inline constexpr wchar_t kHelpMenu[] = L"&Hilfe";
inline constexpr wchar_t kHelpItem[] = L"&Inhalt";
inline constexpr wchar_t kHelpAboutItem[] = L"I&nfo...";

inline constexpr wchar_t kFileMenuHint[] = L"Dateibefehle";
inline constexpr wchar_t kFileNeuHint[] = L"Neu|Eine neue Zusammenstellung anlegen";
inline constexpr wchar_t kFileSaveHint[] =
    L"Speichern|Die Zusammenstellung unter einem anderen Namen speichern";
inline constexpr wchar_t kFileExitHint[] = L"Beenden|Das Programm beenden";
inline constexpr wchar_t kEditMenuHint[] = L"Anweisungen zur Bearbeitung";
inline constexpr wchar_t kAddOrdnerHint[] = L"zu sichernden Ordner hinzufügen";
inline constexpr wchar_t kDelOrdnerHint[] =
    L"Zu sichernden Ordner aus der Zusammenstellung entfernen";
inline constexpr wchar_t kHelpMenuHint[] = L"Hilfethemen";
inline constexpr wchar_t kHelpAboutHint[] =
    L"Info|Anzeige von Informationen, Versionsnummer und Copyright-Vermerk";

// How menus show shortcuts.
inline constexpr wchar_t kShiftPlus[] = L"Umsch+";
inline constexpr wchar_t kCtrlPlus[] = L"Strg+";
inline constexpr wchar_t kAltPlus[] = L"Alt+";
inline constexpr wchar_t kKeyInsert[] = L"Einfg";
inline constexpr wchar_t kKeyDelete[] = L"Entf";

// The set file's open and save dialogs; the filter's pairs are NUL-separated.
inline constexpr wchar_t kSetFileInitialName[] = L"Kelvorin*.ini";
inline constexpr wchar_t kSetFileFilter[] = L"Zusammenstellung (Kelvorin*.ini)\0Kelvorin*.ini\0"
                                            L"Alle Dateien(*.*)\0*.*\0";

namespace detail {
// Joins string literals at compile time; the result is NUL-terminated.
template <std::size_t... Sizes> constexpr auto Join(const wchar_t (&... parts)[Sizes]) {
    std::array<wchar_t, (Sizes + ...) - sizeof...(Sizes) + 1> joined{};
    std::size_t at = 0;
    auto append = [&](const wchar_t* part, std::size_t size) {
        for (std::size_t i = 0; i + 1 < size; ++i)
            joined[at++] = part[i];
    };
    (append(parts, Sizes), ...);
    return joined;
}
} // namespace detail

// Help window. The page texts: one literal per line of the box; blanks at line
// ends belong to the text.
inline constexpr wchar_t kHelpCaption[] = L"Hilfe";
inline constexpr wchar_t kHelpTitleBeforeFirstPage[] = L"...";
inline constexpr wchar_t kHelpTitlePage0[] = L"Über Tavos Kelvorin...";
inline constexpr wchar_t kHelpTitlePage1[] = L"Ordner";
inline constexpr wchar_t kHelpTitlePage2[] = L"Dateien";
inline constexpr wchar_t kHelpTitlePage3[] = L"Ziel";
inline constexpr wchar_t kHelpTitlePage4[] = L"Ohne Dateien";
inline constexpr wchar_t kHelpTitlePage5[] = L"Synchronisieren";
inline constexpr wchar_t kZurueckCaption[] = L"Zurück";
inline constexpr wchar_t kWeiterCaption[] = L"Weiter";
inline constexpr wchar_t kOkCaption[] = L"OK";

inline constexpr wchar_t kHelpPage0[] =
    L"Tavos \"Kelvorin\" ist ein kleines Tool zur schnellen \r\n"
    L"Datensicherung auf externen Datenträgern,\r\n"
    L"z.B. USB-Sticks oder -Festplatten.\r\n"
    L"Entwickelt wurde es in C++ mit der Windows-API,\r\n"
    L"ohne weitere Bibliotheken.";

inline constexpr wchar_t kHelpPage1[] = L"In diesem Fenster werden die zu sichernden Ordner \r\n"
                                        L"angezeigt. Über die Dialogbox können ganze Ordner \r\n"
                                        L"hinzugefügt werden. Die Sicherung erfolgt recursiv,\r\n"
                                        L"d.H. einschließlich aller Unterordner.\r\n"
                                        L"Ordner können auch entfernt werden, dabei werden\r\n"
                                        L"keine Daten gelöscht.";

inline constexpr wchar_t kHelpPage2[] =
    L"In diesem Fenster werden während der Sicherung die \r\n"
    L"Dateien angezeigt. Eine Eingabe ist nicht möglich.\r\n"
    L"Zum Abschluß wird der Inhalt der Log-Datei \r\n"
    L"(Fehlermeldungen) angezeigt\r\n"
    L"Die Logdatei wird unter \"Eigene Dateien\\Kelvorin.log\"\r\n"
    L"gespeichert und immer wieder überschrieben.";

inline constexpr wchar_t kHelpPage3[] = L"Hier können Sie  den Laufwerksbuchstaben den externen\r\n"
                                        L"Datenträgers auswählen.";

inline constexpr wchar_t kHelpPage4[] = L"Hier können Dateien von der Sicherung ausgenommen\r\n"
                                        L"weden, z.B. Backupdateien oder ausführbare Dateien.\r\n"
                                        L"Geben Sie einfach die Dateierweiterung ein.";

inline constexpr wchar_t kHelpPage5[] =
    L"Wenn der Haken \"Synchron\" gesetzt ist, werden Dateien, \r\n"
    L"welche im Original nicht mehr vorhanden sind (umbenannt\r\n"
    L"oder gelöscht), vom Sicherungsdatenträger gelöscht.\r\n"
    L"Es werden NUR Dateien, keine Ordner berücksichtigt.\r\n"
    L"Wenn ganze Ordner aus der Zusammenstellung entfernt\r\n"
    L"wurden, werden sie ebenfalls nicht berücksichtigt.\r\n"
    L"\r\n"
    L"BEDENKEN SIE, das unter Umständen wichtige Dateien,\r\n"
    L"welche versehendlich gelöscht wurden, \r\n"
    L"aus der Sicherung entfernt werden!";

// Folder chooser "Verzeichnis auswählen".
inline constexpr wchar_t kSelectDirCaption[] = L"Verzeichnis auswählen";
inline constexpr wchar_t kDirNameLabel[] = L"Verzeichnis&name:";
inline constexpr wchar_t kDirListLabel[] = L"&Verzeichnisse:";
inline constexpr wchar_t kFileListLabel[] = L"&Dateien: (*.*)";
inline constexpr wchar_t kDriveListLabel[] = L"&Laufwerke:";
inline constexpr wchar_t kNetworkCaption[] = L"Ne&tzwerk...";
inline constexpr wchar_t kCancelCaption[] = L"Abbrechen";
inline constexpr wchar_t kHilfeCaption[] = L"&Hilfe";
// Its messages: "Das Laufwerk D: ist nicht bereit.", "Der Ordner "D:\Daten" kann
// nicht geöffnet werden.", "Zugriff auf den Ordner "D:\Daten" verweigert."
inline constexpr wchar_t kDriveNotReadyStart[] = L"Das Laufwerk ";
inline constexpr wchar_t kDriveNotReadyEnd[] = L": ist nicht bereit.";
inline constexpr wchar_t kFolderNotOpenedStart[] = L"Der Ordner \"";
inline constexpr wchar_t kFolderNotOpenedEnd[] = L"\" kann nicht geöffnet werden.";
inline constexpr wchar_t kFolderDeniedStart[] = L"Zugriff auf den Ordner \"";
inline constexpr wchar_t kFolderDeniedEnd[] = L"\" verweigert.";

// About box.
inline constexpr wchar_t kAboutCaption[] = L"Info";
inline constexpr wchar_t kProductName[] = L"Datensicherung";
inline constexpr wchar_t kVersion[] = L"Version 2.0.0";
inline constexpr wchar_t kAboutOkCaption[] = L"&OK";
inline constexpr wchar_t kAboutOkHint[] = L"OK";
inline constexpr wchar_t kProgramPictureHint[] = L"Bild von TAVO";
inline constexpr auto kHomePageHint =
    detail::Join(L"Verbinden mit Tavos Homepage (", maker::kHomePageHost, L")");

} // namespace kelvorin::ui::texts
