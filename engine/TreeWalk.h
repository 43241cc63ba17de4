#pragma once
// The one walk of a folder tree that every pass makes: the copy pass over the
// sources, the synchronisation over the backup and the check over both.
#include "engine/FileServices.h"

#include <functional>
#include <string>

namespace kelvorin {

struct TreeVisitor {
    // Asked before each entry; false ends the walk, with nothing more visited.
    std::function<bool()> keepGoing;
    // The walked folder itself first, then each folder below it, before its
    // entries. All entries of a folder are seen before the walk goes deeper.
    std::function<void(const std::u16string& folder)> enterFolder;
    // Every entry the folder in work lists, those left out included.
    std::function<void(const FolderEntry& entry)> seeEntry;
    std::function<void(std::u16string path, const FolderEntry& entry)> visitFile;
    // A folder that could not be listed to its end: what it holds was seen
    // in part or not at all. A walk that was told to stop is no failure.
    std::function<void(const std::u16string& folder)> unreadable;
};

// Folders whose names begin with "." (such as .git, and "." and "..") are left
// out with all they hold, and so are links to folders: one may lead anywhere,
// even into its own tree.
void WalkTree(FileServices& files, const std::u16string& folder, const TreeVisitor& visitor);

} // namespace kelvorin
