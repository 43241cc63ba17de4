#include "engine/PlainTree.h"

#include "engine/CopyRules.h"

#include <algorithm>

namespace kelvorin {

void PlainTreeWatch::SeeName(std::u16string_view name) {
    if (!plain_) return;
    CaseBlindKey(name, key_);
    if (MayBePartialCopyKey(key_))
        plain_ = false;
    else
        keyHashes_.push_back(std::hash<std::u16string>{}(key_));
}

void PlainTreeWatch::FolderDone() {
    std::sort(keyHashes_.begin(), keyHashes_.end());
    if (std::adjacent_find(keyHashes_.begin(), keyHashes_.end()) != keyHashes_.end())
        plain_ = false;
    keyHashes_.clear();
}

std::optional<FileFacts> BackupLookUp::FindOrMakeFolder(const std::u16string& backup) {
    const std::u16string_view folder =
        std::u16string_view(backup).substr(0, backup.rfind(u'\\') + 1);
    std::optional<FileFacts> stamp;
    bool lookedUp = false;
    if (plainTree_) {
        if (folder != lastFolder_) {
            lastFolder_ = folder;
            auto [known, added] = madeByThisPass_.try_emplace(lastFolder_, false);
            // The folder's first copy, when found, shows the folder there:
            // the folder itself is asked for only when the copy is missing.
            if (added) {
                stamp = files_.ExistingFile(backup);
                lookedUp = true;
                if (!stamp && !files_.IsExistingFolder(folder.substr(0, folder.size() - 1)))
                    known->second = files_.MakeFolderChain(folder);
            }
            lastFolderIsNew_ = known->second;
        }
        if (lastFolderIsNew_) return std::nullopt;
    }
    if (!lookedUp) stamp = files_.ExistingFile(backup);
    if (!stamp && folder != madeFolder_) {
        files_.MakeFolderChain(folder);
        madeFolder_ = folder;
    }
    return stamp;
}

} // namespace kelvorin
