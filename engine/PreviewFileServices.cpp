#include "engine/PreviewFileServices.h"

namespace kelvorin {

namespace {
// "X\*.*" lists the folder X.
std::u16string FolderOfPattern(std::u16string_view pattern) {
    return std::u16string(pattern.substr(0, pattern.size() >= 4 ? pattern.size() - 4 : 0));
}
} // namespace

bool PreviewFileServices::ListFolder(std::u16string_view pattern,
                                     const std::function<void(const FolderEntry&)>& visit) {
    const std::u16string prefix = FolderOfPattern(pattern) + u'\\';
    return real_.ListFolder(pattern, [&](const FolderEntry& entry) {
        if (!IsGone(prefix + std::u16string(entry.name))) visit(entry);
    });
}

DosStamp PreviewFileServices::GetFileStamp(std::u16string_view path) {
    if (const auto it = created_.find(std::u16string(path)); it != created_.end())
        return it->second;
    return IsGone(path) ? kNoStamp : real_.GetFileStamp(path);
}

DosStamp PreviewFileServices::GetHandleStamp(Handle h) {
    const auto it = open_.find(h);
    return it == open_.end() ? kNoStamp : real_.GetFileStamp(it->second);
}

std::optional<FileFacts> PreviewFileServices::ExistingFile(std::u16string_view path) {
    // A copy it "made" reads back with the stamp it was given.
    if (const auto it = created_.find(std::u16string(path)); it != created_.end())
        return FileFacts{it->second, 0};
    if (IsGone(path)) return std::nullopt;
    return real_.ExistingFile(path);
}

PathInfo PreviewFileServices::LookUp(std::u16string_view path) {
    return IsGone(path) ? PathInfo{PathState::Missing, kNoAttributes} : real_.LookUp(path);
}

bool PreviewFileServices::DeleteOneFile(std::u16string_view path) {
    const std::u16string p(path);
    if (created_.erase(p) > 0) return true; // a partial file the preview itself "made"
    if (IsGone(p) || !real_.IsExistingFile(p)) return false;
    gone_.insert(p);
    report_(PreviewAction::Delete, p);
    return true;
}

bool PreviewFileServices::RemoveOneFolder(std::u16string_view path) {
    const std::u16string folder(path);
    if (IsGone(folder) || !real_.IsExistingFolder(folder) || HasCreatedBelow(folder)) return false;
    bool empty = true;
    ListFolder(folder + u"\\*.*", [&](const FolderEntry& entry) {
        if (entry.name != u"." && entry.name != u"..") empty = false;
    });
    if (!empty) return false;
    gone_.insert(folder);
    report_(PreviewAction::Remove, folder);
    return true;
}

bool PreviewFileServices::MoveIntoPlace(std::u16string_view source, std::u16string_view target) {
    // The copy is reported when it would be put in place, so a copy that the
    // run would refuse (a read-only copy, say) is not.
    report_(PreviewAction::Copy, lastSource_);
    Rename(source, target);
    gone_.erase(std::u16string(target));
    return true;
}

bool PreviewFileServices::RenameWithoutReplacing(std::u16string_view source,
                                                 std::u16string_view target) {
    // A preview runs without versions: nothing is reported for a move.
    gone_.insert(std::u16string(source));
    Rename(source, target);
    return true;
}

FileServices::Handle PreviewFileServices::OpenForReading(std::u16string_view path, Sharing) {
    if (!IsExistingFile(path)) return kInvalidHandle;
    lastSource_ = path;
    return Remember(path);
}

FileServices::Handle PreviewFileServices::CreateForWriting(std::u16string_view path, Sharing) {
    created_[std::u16string(path)] = kNoStamp;
    return Remember(path);
}

bool PreviewFileServices::HasCreatedBelow(const std::u16string& folder) const {
    const std::u16string prefix = folder + u'\\';
    const auto it = created_.lower_bound(prefix);
    return it != created_.end() && it->first.starts_with(prefix);
}

bool PreviewFileServices::SetHandleStamp(Handle h, DosStamp stamp, Handle) {
    if (const auto it = open_.find(h); it != open_.end()) created_[it->second] = stamp;
    return true;
}

void PreviewFileServices::Rename(std::u16string_view source, std::u16string_view target) {
    const auto it = created_.find(std::u16string(source));
    // What it did not make keeps the stamp the real file has.
    const DosStamp stamp = it != created_.end() ? it->second : real_.GetFileStamp(source);
    if (it != created_.end()) created_.erase(it);
    created_[std::u16string(target)] = stamp;
}

FileServices::Handle PreviewFileServices::Remember(std::u16string_view path) {
    const Handle h = nextHandle_++;
    open_.emplace(h, std::u16string(path));
    return h;
}

} // namespace kelvorin
