#pragma once
// A run's listing: what the backup holds after the run, for each source file
// that the run saw, so that a restore can give the set back as it was then.
// Plain UTF-8 text that Notepad reads:
//
//   # Kelvorin: Stand nach dem Lauf 2026-12-11 06.29.32
//   Versatz<TAB>+60
//   Ordner<TAB>2<TAB>1246<TAB>C:\Users\a\Dokumente
//   Lücke<TAB>C:\Users\a\Dokumente\Gesperrt
//   Datei<TAB>1234<TAB>2026-12-01 09:00:00.0000000Z<TAB>C:\Users\a\Dokumente\x.txt
//   Datei<TAB>12<TAB>2026-12-01 09:00:02.5000000Z<TAB>C:\Users\a\Dokumente\y.txt
//   Ende<TAB>2
//
// The head says what the listing covers: the offset of local time from UTC
// at the run in minutes, each set folder whose walk and copy pass went
// through with its files and bytes, and each folder below one that the walk
// could not list (a gap). A file line gives the size and the UTC write time
// of the copy on the stick; the last line counts the files, so that a listing
// cut short is never taken for whole. A restore reads the head alone, or the
// file lines one at a time: a listing costs no memory by its length.
//
// The first format had neither offset nor totals nor gaps, and local stamps
// ("2026-12-01 10:00:00"); it is still read.
//
// A listing travels on a stick that others can write: a file line whose path
// is not under one of its folders, or is no plain path (an empty, "." or ".."
// part, a ":" after the drive, a device name, a character no Windows name
// holds), damages the whole listing, which then offers no state.
#include "engine/FileServices.h"
#include "engine/SameStamp.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvorin {

struct ListedFolder {
    std::u16string path;
    std::optional<std::uint64_t> files, bytes; // none in the first format
};

struct ListingHead {
    std::vector<ListedFolder> folders; // the set folders it covers
    std::vector<std::u16string> gaps;  // folders below them that could not be listed
    std::int64_t offset = 0;           // local minus UTC at the run, in file-time ticks
};

struct ListedFile {
    std::u16string source;
    ListedCopy copy;
};

// -- Writing.
std::string ListingHeadText(std::u16string_view runName, const ListingHead& head);
void AppendFileLine(std::string& out, std::u16string_view source, const FileFacts& copy);
std::string ListingEndText(std::uint64_t count);

// -- Reading.

// A path from a drive's root whose every part is a name that Windows would
// take as it stands: what a listing may name, and what a restore may write.
bool IsPlainPath(std::u16string_view path);
// The same for the parts below a folder: none of them leads out of it.
bool IsPlainRelativePath(std::u16string_view parts);
// Whether the path lies below the folder, or is it, case-blind.
bool LiesIn(std::u16string_view path, std::u16string_view folder);
// The same path in any spelling; a path strictly below the folder.
inline bool IsSamePath(std::u16string_view a, std::u16string_view b) {
    return LiesIn(a, b) && LiesIn(b, a);
}
inline bool LiesBelow(std::u16string_view path, std::u16string_view folder) {
    return LiesIn(path, folder) && !LiesIn(folder, path);
}

// Reads one listing, its head first, then its file lines one at a time.
class ListingReader {
public:
    ListingReader(FileServices& files, const std::u16string& path);
    ListingReader(const ListingReader&) = delete;
    ListingReader& operator=(const ListingReader&) = delete;

    // The head; nullopt when it cannot be read or is damaged.
    std::optional<ListingHead> ReadHead();
    // The next file line into `file`. False at the end, when Whole() tells
    // whether the listing ended as it must, or at the first damage.
    bool Next(ListedFile& file);
    bool Whole() const { return whole_; }

private:
    // The next line without its line end; false at the end of the file or
    // when it cannot be read (then failed_).
    bool ReadLine(std::string_view& line);
    bool Fail();

    FileServices& files_;
    OpenFile in_;
    std::string buffer_;
    std::size_t start_ = 0; // of the unread part of buffer_
    bool eof_ = false;
    bool failed_ = false;
    bool whole_ = false;
    ListingHead head_;
    std::string pending_; // the first line after the head
    bool hasPending_ = false;
    std::uint64_t count_ = 0;
};

// The count of the listing's end line, read from its last bytes alone;
// nullopt when it does not end with one.
std::optional<std::uint64_t> ReadListingEnd(FileServices& files, const std::u16string& path);

// Every file line; nullopt when the listing is damaged or not whole.
std::optional<std::uint64_t> CheckListing(FileServices& files, const std::u16string& path);

} // namespace kelvorin
