#include "engine/RunContext.h"

#include "engine/HeldFiles.h"

namespace kelvorin {
namespace {

std::vector<std::u16string> SetFoldersOf(RunHost& host) {
    std::vector<std::u16string> folders;
    for (std::size_t i = 0, count = host.FolderCount(); i < count; ++i)
        folders.push_back(host.Folder(i));
    return folders;
}

} // namespace

RunContext::RunContext(RunHost& runHost, FileServices& fileServices, RunFlags& flags,
                       DriveLetter targetDrive)
    : host(runHost), files(fileServices), target(targetDrive), setFolders(SetFoldersOf(runHost)),
      flags_(flags) {}

bool RunContext::TakeTurnAndGoOn() {
    if (flags_.cancelled) return false;
    host.KeepResponsive();
    return !flags_.cancelled;
}

void RunContext::ForEachSetFolder(
    const std::function<void(std::size_t, const std::u16string&)>& work) {
    for (std::size_t i = 0; i < setFolders.size(); ++i) {
        if (flags_.cancelled) continue;
        host.SelectFolder(i);
        host.ClearWorkList();
        work(i, setFolders[i]);
    }
}

void RunContext::AddLogLine(LogKind kind, std::u16string subject) {
    RunLogLine line{kind, std::move(subject)};
    host.Logged(line);
    log.push_back(LogLineText(line));
}

void RunContext::ReportProgress(RunStep step, std::u16string_view path) {
    host.Progressed({step, path, counts});
}

void RunContext::ReportCopying(const std::u16string& source) {
    copying_ = source;
    checkedBeforeCopy_ = counts.bytesChecked;
    ReportProgress(RunStep::Copying, source);
}

// A copy tried again after room was made starts from nothing again.
void RunContext::ReportWritten(std::uint64_t bytes) {
    counts.bytesChecked = checkedBeforeCopy_ + bytes;
    ReportProgress(RunStep::Writing, copying_);
}

void RunContext::ReportCopyDone(std::int64_t size) {
    counts.bytesChecked = checkedBeforeCopy_ + static_cast<std::uint64_t>(size > 0 ? size : 0);
}

void RunContext::ReportNotCopied(const std::u16string& source) {
    AddLogLine(LogKind::NotCopied, source);
    results.copyFailed = true;
    ReportProgress(RunStep::CopyFailed, source);
}

void RunContext::ReportNotDeleted(const std::u16string& path) {
    AddLogLine(LogKind::NotDeleted, path);
    results.deleteFailed = true;
    ReportProgress(RunStep::NotDeleted, path);
}

bool RunContext::RetryWhileHeld(const std::function<bool()>& step) {
    return kelvorin::RetryWhileHeld(files, step, [this] { host.PumpMessages(); });
}

} // namespace kelvorin
