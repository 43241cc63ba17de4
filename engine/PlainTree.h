#pragma once
// A source tree in which no name is one that a partial copy may bear, and no
// two names of a folder are ones that a target ignoring case takes for one.
// Its walk tells this; the copy pass then skips look-ups that such a tree
// cannot need, which on Wine each cost a scan of a folder.
#include "engine/FileServices.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelvorin {

// Watches a walk: every name it sees, folder by folder.
class PlainTreeWatch {
public:
    // Plain until a name shows otherwise; no tree is plain before its walk.
    void BeginWalk() { *this = PlainTreeWatch(true); }
    PlainTreeWatch() = default;
    void SeeName(std::u16string_view name);
    // The walk enters another folder, or ends.
    void FolderDone();
    bool IsPlain() const { return plain_; }

private:
    explicit PlainTreeWatch(bool plain) : plain_(plain) {}

    bool plain_ = false;
    // Only the case-blind keys' hashes of the folder in work are kept, and
    // compared once it is done; two keys that merely share a hash cost the
    // shortcuts, nothing else.
    std::vector<std::size_t> keyHashes_;
    std::u16string key_; // reused
};

// Finds each backup of a copy pass, and makes its folder when it is missing.
class BackupLookUp {
public:
    BackupLookUp(FileServices& files, bool plainTree) : files_(files), plainTree_(plainTree) {}

    // The backup's stamp and size; nullopt when it is missing, and then its
    // folder is there, or failed to be made. Backups come in the work list's order.
    std::optional<FileFacts> FindOrMakeFolder(const std::u16string& backup);

private:
    FileServices& files_;
    const bool plainTree_;
    // The folder whose chain was made last: files of one folder follow each
    // other, but for those of its subfolders, so it is made once, not per file.
    std::u16string madeFolder_;
    // In a plain tree nothing but the pass's own copies can be in a folder the
    // pass made, so a backup there, but for the folder's first, is missing
    // without a look-up, which for a missing name makes Wine scan the folder
    // for case variants. Whether the pass made each folder it came to:
    std::unordered_map<std::u16string, bool> madeByThisPass_;
    std::u16string lastFolder_;
    bool lastFolderIsNew_ = false;
};

} // namespace kelvorin
