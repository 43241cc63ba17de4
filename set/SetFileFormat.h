#pragma once
// The set file ("Zusammenstellung"): key=value lines in the ANSI code page.
// Pure functions of bytes and sets; opening and writing the file is app/SetFile.
#include "set/BackupSet.h"
#include "set/CodePage.h"
#include "set/SortedList.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvorin {

// The drive value's integer: leading blanks, a sign, "$", "x", "X" or "0x"/"0X"
// for hex; digits up to the first non-digit, taken only while the number stays
// below the limits, in 32-bit arithmetic that may wrap. No digits give 0.
std::int32_t DriveValueToInt(std::u16string_view text);

// The keep time of "Versionen=": a whole number from 0 to 36,500, blanks
// around it allowed; anything else is the default, so that a mistyped line
// never turns versions off.
int VersionDaysValue(std::u16string_view text);

// The whole file: Laufwerk, Synchron, the non-empty Ordner lines, the non-empty
// Ausschluss lines lower-cased (A to Z only), and Versionen only when it is not
// the default, so that a set that never changed it keeps its bytes; CR LF after
// every line, no BOM.
std::string FormatSetFile(const BackupSet& set, const CodePage& codePage);

// Reads a set file as its bytes arrive. Folders and the flag go straight into
// the set, exclusions into the work list; the drive stays pending until the
// caller takes it. Lines end at LF (a CR anywhere is dropped); Ctrl-Z ends the
// file. Values are read whole, however long.
class SetFileReader {
public:
    SetFileReader(const CodePage& codePage, BackupSet& set, SortedList& workList)
        : codePage_(codePage), set_(set), workList_(workList) {}

    // False once Ctrl-Z has ended the file; later bytes are not looked at.
    bool Feed(std::string_view bytes);
    // The end of the file: a last line without line end counts like any other.
    void Finish();
    bool Ended() const { return ended_; }
    // The last "Laufwerk=" value, 4 ("E:") without one.
    int PendingDrive() const { return pendingDrive_; }

private:
    void TakeLine();

    const CodePage& codePage_;
    BackupSet& set_;
    SortedList& workList_;
    std::string line_;
    int pendingDrive_ = BackupSet::kDefaultDrive;
    bool ended_ = false;
};

// Steps that end a load once the whole file has been read: the drive is set,
// the exclusions become the work list in its sorted order, the work list empties.
void FinishLoadedSet(const SetFileReader& reader, BackupSet& set, SortedList& workList);

} // namespace kelvorin
