#pragma once
// The German texts of the console program.

namespace kelvorin::texts {

inline constexpr char16_t kUnknownOption[] = u"Unbekannte Option: ";
inline constexpr char16_t kSecondSetName[] = u"Nur eine Zusammenstellung ist erlaubt, zu viel: ";
inline constexpr char16_t kCheckNotWithPreview[] =
    u"/Prüfen und /Reparieren gehen nicht zusammen mit /Vorschau.";
inline constexpr char16_t kOneCommandOnly[] =
    u"Nur eines von /Vorschau, /Prüfen, /Reparieren, /Stände, /Zurück und /Versionen ist "
    u"erlaubt.";
inline constexpr char16_t kNotAMoment[] =
    u"Kein Zeitpunkt (JJJJ-MM-TT, JJJJ-MM-TT hh.mm oder JJJJ-MM-TT hh.mm.ss): ";
inline constexpr char16_t kRestoreWithoutFolder[] =
    u"/Zurück braucht /Nach:<Ordner>, den leeren Ordner, in den geschrieben wird.";
inline constexpr char16_t kFolderWithoutRestore[] = u"/Nach geht nur zusammen mit /Zurück.";
inline constexpr char16_t kOnlyWithoutRestore[] = u"/Nur geht nur zusammen mit /Zurück.";
inline constexpr char16_t kOnlyWithoutPath[] = u"/Nur braucht einen Pfad: /Nur:<Pfad>.";
inline constexpr char16_t kVersionsWithoutPath[] =
    u"/Versionen braucht eine Datei: /Versionen:<Pfad>.";

inline constexpr char16_t kUsage[] =
    u"Sichert die Ordner einer Zusammenstellung auf das Ziellaufwerk, ohne Fenster.\r\n"
    u"\r\n"
    u"KelvorinCmd.exe [Zusammenstellung] [/Vorschau | /Prüfen | /Reparieren | /Stände]\r\n"
    u"KelvorinCmd.exe [Zusammenstellung] /Zurück:<Zeitpunkt> /Nach:<Ordner>\r\n"
    u"                [/Nur:<Pfad> ...]\r\n"
    u"KelvorinCmd.exe [Zusammenstellung] /Versionen:<Pfad>\r\n"
    u"\r\n"
    u"  Zusammenstellung  Name der Zusammenstellung; die Endung wird zu \".ini\".\r\n"
    u"                    Ohne Namen gilt \"Kelvorin.ini\". Ein Name ohne Laufwerk wird\r\n"
    u"                    im aktuellen Ordner, sonst im Ordner \"Dokumente\" gesucht.\r\n"
    u"  /Vorschau         Zeigt nur, was eine Sicherung täte; nichts wird geändert.\r\n"
    u"  /Prüfen           Liest jede aktuelle Kopie und vergleicht sie Byte für Byte mit\r\n"
    u"                    ihrer Quelle; nichts wird geändert.\r\n"
    u"  /Reparieren       Prüft und kopiert jede abweichende oder unlesbare Kopie neu.\r\n"
    u"  /Stände           Zeigt die Stände, die /Zurück geben kann, den ältesten zuerst:\r\n"
    u"                    Lauf, Dateien und Bytes.\r\n"
    u"  /Zurück           Schreibt die Ordner der Zusammenstellung, wie die Sicherung sie\r\n"
    u"                    zum Zeitpunkt hielt (JJJJ-MM-TT [hh.mm[.ss]], Ortszeit), in den\r\n"
    u"                    leeren Ordner /Nach:<Ordner>, als <Ordner>\\C\\... für C:\\...\r\n"
    u"                    Das Ziellaufwerk bleibt, wie es ist.\r\n"
    u"  /Nur              Mit /Zurück: nur diese Datei oder diesen Ordner mit allem\r\n"
    u"                    darunter; mehrmals erlaubt.\r\n"
    u"  /Versionen        Zeigt jede Version einer Datei, die das Ziellaufwerk geben\r\n"
    u"                    kann, die älteste zuerst: Lauf, Bytes, Zeit, ob vorhanden.\r\n"
    u"                    Mit /Zurück:<Lauf> /Nur:<Datei> kommt eine Version zurück.\r\n"
    u"  /?                Zeigt diese Hilfe.\r\n"
    u"\r\n"
    u"/Prüfen, /Stände und /Zurück lassen sich auch /Pruefen, /Staende und /Zurueck\r\n"
    u"schreiben.\r\n"
    u"\r\n"
    u"Was eine Sicherung ersetzt oder entfernt, bleibt auf dem Ziellaufwerk im Ordner\r\n"
    u"\".Kelvorin-Versionen\" erhalten, so viele Tage, wie die Zeile \"Versionen=<Tage>\"\r\n"
    u"der Zusammenstellung sagt (ohne sie 30; \"Versionen=0\" hebt nichts auf).\r\n"
    u"\r\n"
    u"Rückgabewerte: 0 OK, 1 Fehler beim Kopieren, Quelle nicht lesbar oder Datei\r\n"
    u"               nicht geschrieben, 2 Nicht gelöscht, 3 Abbruch,\r\n"
    u"               4 Sicherung nicht möglich, 5 Aufruf- oder Zusammenstellungsfehler,\r\n"
    u"               6 Kopien abweichend, 7 Dateien nicht mehr vorhanden, nicht im Stand\r\n"
    u"               oder beim Lauf nicht lesbar, 8 kein Stand zu diesem Zeitpunkt oder\r\n"
    u"               keine Version, 9 interner Fehler.\r\n";

inline constexpr char16_t kSetFileMissing[] = u"Die Zusammenstellung gibt es nicht: ";
inline constexpr char16_t kSetFileUnreadable[] =
    u"Die Zusammenstellung kann nicht gelesen werden: ";

inline constexpr char16_t kNotReadyNoFolder[] =
    u"Sicherung nicht möglich: Die Zusammenstellung enthält keinen Ordner.";
inline constexpr char16_t kNotReadyNoTarget[] =
    u"Sicherung nicht möglich: Kein Ziellaufwerk gewählt.";
inline constexpr char16_t kNotReadyFirstFolderOnTarget[] =
    u"Sicherung nicht möglich: Der erste Ordner liegt auf dem Ziellaufwerk ";
inline constexpr char16_t kNotReadyTargetMissing[] =
    u"Sicherung nicht möglich: Das Ziellaufwerk ist nicht bereit: ";
inline constexpr char16_t kNotReadyTooLittleSpace[] =
    u"Sicherung nicht möglich: Auf dem Ziellaufwerk sind höchstens 1.000.000 Bytes frei: ";

// Names a run folder of the store that went before its time, for room.
inline constexpr char16_t kRemovedForRoom[] = u"Für Platz entfernt: ";
// "Wartet auf einen anderen Lauf auf T: ..."
inline constexpr char16_t kWaitingForOtherRun[] = u"Wartet auf einen anderen Lauf auf ";
inline constexpr char16_t kWaitingForOtherRunTail[] = u": ...";

inline constexpr char16_t kLogNotWritten[] = u"Die Protokolldatei wurde nicht geschrieben.";
inline constexpr char16_t kInternalError[] = u"Interner Fehler: ";
inline constexpr char16_t kInternalErrorUnknown[] = u"unbekannte Ausnahme";
inline constexpr char16_t kInternalErrorCrash[] = u"Absturz, Ausnahme 0x";

// The progress line of a run, a check and a restore:
// "1.234 von 20.000 Dateien, 0,4 von 4,8 GB, 23 MB/s, noch 3 min"
inline constexpr char16_t kProgressOf[] = u" von ";
inline constexpr char16_t kProgressFiles[] = u" Dateien";
inline constexpr char16_t kProgressMegabytes[] = u" MB";
inline constexpr char16_t kProgressGigabytes[] = u" GB";
inline constexpr char16_t kProgressTerabytes[] = u" TB";
inline constexpr char16_t kProgressPerSecond[] = u"/s";
inline constexpr char16_t kProgressLeft[] = u", noch ";
inline constexpr char16_t kProgressSeconds[] = u" s";
inline constexpr char16_t kProgressMinutes[] = u" min";
inline constexpr char16_t kProgressHours[] = u" h";
// While a run walks its folders, and while it synchronises:
// "12.345 Dateien gefunden", "Synchron: 12 gelöscht"
inline constexpr char16_t kProgressFound[] = u" Dateien gefunden";
inline constexpr char16_t kProgressSynchron[] = u"Synchron: ";
inline constexpr char16_t kProgressDeleted[] = u" gelöscht";

// Summary: "<n> Dateien geprüft, <n> kopiert, <n> gelöscht, <n> Ordner entfernt, <n> Bytes, <s> s"
inline constexpr char16_t kSummaryChecked[] = u" Dateien geprüft, ";
inline constexpr char16_t kSummaryCopied[] = u" kopiert, ";
inline constexpr char16_t kSummaryDeleted[] = u" gelöscht, ";
inline constexpr char16_t kSummaryRemoved[] = u" Ordner entfernt, ";
inline constexpr char16_t kSummaryBytes[] = u" Bytes, ";
inline constexpr char16_t kSummarySeconds[] = u" s";

// The check's summary:
// "<n> Dateien verglichen, <n> Bytes gelesen, <n> Probleme, <n> nicht aktuell"
inline constexpr char16_t kCheckSummaryCompared[] = u" Dateien verglichen, ";
inline constexpr char16_t kCheckSummaryBytes[] = u" Bytes gelesen, ";
inline constexpr char16_t kCheckSummaryProblems[] = u" Probleme, ";
inline constexpr char16_t kCheckSummaryNotCurrent[] = u" nicht aktuell";

// The restore: refusals on stderr, its lines on stdout.
inline constexpr char16_t kRestoreFolderNotEmpty[] = u"Der Ordner ist nicht leer: ";
inline constexpr char16_t kRestoreFolderOnTarget[] = u"Der Ordner liegt auf dem Ziellaufwerk: ";
inline constexpr char16_t kRestoreFolderUnusable[] =
    u"In den Ordner kann nicht geschrieben werden: ";
inline constexpr char16_t kNoStateBefore[] = u"Kein Stand bis zu diesem Zeitpunkt. Der älteste: ";
inline constexpr char16_t kNoStateAtAll[] = u"Auf dem Ziellaufwerk ist kein Stand.";
inline constexpr char16_t kNoLongerThere[] = u"Nicht mehr vorhanden: ";
inline constexpr char16_t kNotRestored[] = u"Nicht geschrieben: ";
inline constexpr char16_t kOnlyOutsideSet[] =
    u"Der Pfad liegt in keinem Ordner der Zusammenstellung: ";
inline constexpr char16_t kNotInState[] = u"Nicht im Stand: ";
// "<Lauf>  <n> Bytes  <TT.MM.JJJJ hh:mm:ss>  vorhanden"
inline constexpr char16_t kVersionBytes[] = u" Bytes  ";
inline constexpr char16_t kVersionOnStick[] = u"vorhanden";
inline constexpr char16_t kVersionGone[] = u"nicht mehr vorhanden";
inline constexpr char16_t kNoVersions[] = u"Auf dem Ziellaufwerk ist keine Version dieser Datei: ";
// A folder that the run could not list: its files may be missing.
inline constexpr char16_t kUnreadAtRun[] = u"Beim Lauf nicht lesbar: ";
// A listing that was edited or damaged on the stick: it offers no state.
inline constexpr char16_t kDamagedListing[] = u"Beschädigt: ";
// "<Lauf>  <n> Dateien, <n> Bytes"
inline constexpr char16_t kStateFiles[] = u" Dateien, ";
inline constexpr char16_t kStateBytes[] = u" Bytes";
// "<n> Dateien geschrieben, <n> nicht mehr vorhanden"
inline constexpr char16_t kRestoreSummaryWritten[] = u" Dateien geschrieben, ";
inline constexpr char16_t kRestoreSummaryGone[] = u" nicht mehr vorhanden";

// Preview lines and their count.
inline constexpr char16_t kPreviewCopy[] = u"Kopieren: ";
inline constexpr char16_t kPreviewDelete[] = u"Löschen: ";
inline constexpr char16_t kPreviewRemove[] = u"Entfernen: ";
// "Vorschau: <n> zu kopieren, <n> zu löschen, <n> Ordner zu entfernen"
inline constexpr char16_t kPreviewSummaryHead[] = u"Vorschau: ";
inline constexpr char16_t kPreviewSummaryCopy[] = u" zu kopieren, ";
inline constexpr char16_t kPreviewSummaryDelete[] = u" zu löschen, ";
inline constexpr char16_t kPreviewSummaryRemove[] = u" Ordner zu entfernen";

} // namespace kelvorin::texts
