#pragma once
// What a backup run reports while it goes, before any host makes text of it:
// the window shows it in its label and lists, the console program prints or
// counts it, the tests inspect it.
#include "engine/RunStatus.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvorin {

// Counts for progress and summaries; the run itself does not depend on them.
struct RunCounts {
    std::uint64_t filesChecked = 0;
    std::uint64_t filesCopied = 0;
    std::uint64_t bytesCopied = 0;
    std::uint64_t filesDeleted = 0;
    std::uint64_t foldersRemoved = 0;
    // The copy pass's whole, as the walks of the set's folders find it before
    // its first copy: the files it checks and their bytes as listed.
    std::uint64_t filesToCheck = 0;
    std::uint64_t bytesToCheck = 0;
    // The bytes of the files it is through: a current copy's, a copied or
    // failed file's, and those the file in work has written so far.
    std::uint64_t bytesChecked = 0;
};

// The lines of the run log, in the order of writing: problems while the run
// goes, then its status and its date and time.
// OnlyInStore: a previous copy that a failed replace left in the store alone.
enum class LogKind { NotFound, NotCopied, NotDeleted, OnlyInStore, Status, DateTime };

struct RunLogLine {
    LogKind kind;
    std::u16string subject; // the path of a problem; the text of the last two
};

// The line as the log file and the lists hold it.
std::u16string LogLineText(const RunLogLine& line);

// Where the run is.
enum class RunStep {
    EnteringFolder, // a walk enters a folder
    CopiesBegin,    // every folder is walked: the counts hold the copy pass's whole
    CopyIsCurrent,  // a file whose copy is current is checked
    Copying,        // a file is about to be copied
    Writing,        // the file in work has written another chunk
    CopyFailed,     // that copy failed
    Synchronising,  // the copies are done; "Synchron" begins
    NotDeleted,     // a backup or a store folder stayed that should have gone
};

struct RunProgress {
    RunStep step;
    std::u16string_view path;
    const RunCounts& counts;
};

} // namespace kelvorin
