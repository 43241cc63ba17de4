#include "engine/LogFile.h"

#include "engine/Texts.h"

namespace kelvorin {

namespace {

constexpr unsigned kUtf8 = 65001;

} // namespace

std::u16string DateTimeLine(LocalClock& clock) {
    const LocalTime t = clock.Now();
    std::u16string line = clock.ShortDate(t);
    const bool midnight = t.hour == 0 && t.minute == 0 && t.second == 0 && t.millisecond == 0;
    if (!midnight) line += u' ' + clock.LongTime(t);
    return line;
}

std::string LogFileBytes(const std::vector<std::u16string>& lines, const CodePage& codePage) {
    std::u16string text;
    for (const auto& line : lines) {
        text += line;
        text += u"\r\n";
    }
    std::string bytes = codePage.Encode(text);
    if (codePage.Number() == kUtf8) bytes.insert(0, "\xEF\xBB\xBF");
    return bytes;
}

std::u16string WriteLogFile(FileServices& files, const CodePage& codePage, std::u16string_view path,
                            const std::vector<std::u16string>& lines) {
    const std::string bytes = LogFileBytes(lines, codePage);
    OpenFile file(files, files.CreateForWriting(path, Sharing::ReadersAllowed));
    if (!file.IsValid()) return CannotCreateFileText(path, files.ErrorText(files.LastError()));
    // A full disk can take part of a write and refuse the rest.
    for (std::size_t done = 0; done < bytes.size();) {
        const std::int64_t n = files.WriteChunk(file.Get(), bytes.data() + done,
                                                static_cast<std::int64_t>(bytes.size() - done));
        if (n <= 0) return kStreamWriteError;
        done += static_cast<std::size_t>(n);
    }
    return {};
}

} // namespace kelvorin
