#pragma once
// The German texts of the console program.

namespace kelvorin::texts {

inline constexpr char16_t kUnknownOption[] = u"Unbekannte Option: ";
inline constexpr char16_t kSecondSetName[] = u"Nur eine Zusammenstellung ist erlaubt, zu viel: ";

inline constexpr char16_t kUsage[] =
    u"Sichert die Ordner einer Zusammenstellung auf das Ziellaufwerk, ohne Fenster.\r\n"
    u"\r\n"
    u"KelvorinCmd.exe [Zusammenstellung] [/Vorschau]\r\n"
    u"\r\n"
    u"  Zusammenstellung  Name der Zusammenstellung; die Endung wird zu \".ini\".\r\n"
    u"                    Ohne Namen gilt \"Kelvorin.ini\". Ein Name ohne Laufwerk wird\r\n"
    u"                    im aktuellen Ordner, sonst im Ordner \"Dokumente\" gesucht.\r\n"
    u"  /Vorschau         Zeigt nur, was eine Sicherung täte; nichts wird geändert.\r\n"
    u"  /?                Zeigt diese Hilfe.\r\n"
    u"\r\n"
    u"Rückgabewerte: 0 OK, 1 Fehler beim Kopieren, 2 Nicht gelöscht, 3 Abbruch,\r\n"
    u"               4 Sicherung nicht möglich, 5 Aufruf- oder Zusammenstellungsfehler.\r\n";

} // namespace kelvorin::texts
