#pragma once
// The run log's last line and the log file that holds the log of the last run.
#include "engine/FileServices.h"
#include "engine/LocalClock.h"
#include "set/CodePage.h"

#include <string>
#include <vector>

namespace kelvorin {

// The local date in the user's short date format, then a blank and the time
// in the long time format; the date alone at exactly midnight.
std::u16string DateTimeLine(LocalClock& clock);

// Every line followed by CR LF, converted as a whole with the ANSI code page;
// a byte-order mark only under UTF-8 (65001).
std::string LogFileBytes(const std::vector<std::u16string>& lines, const CodePage& codePage);

// Replaces the file by the lines. Returns the text for the error box, or an
// empty text when the file was written completely.
std::u16string WriteLogFile(FileServices& files, const CodePage& codePage, std::u16string_view path,
                            const std::vector<std::u16string>& lines);

} // namespace kelvorin
