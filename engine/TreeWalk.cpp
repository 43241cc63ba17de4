#include "engine/TreeWalk.h"

#include <vector>

namespace kelvorin {

void WalkTree(FileServices& files, const std::u16string& folder, const TreeVisitor& visitor) {
    if (visitor.enterFolder) visitor.enterFolder(folder);
    // Descending after the listing also keeps one find handle open, not one per level.
    std::vector<std::u16string> subfolders;
    bool stopped = false;
    const bool listed = files.ListFolder(folder + u"\\*.*", [&](const FolderEntry& entry) {
        if (stopped) return;
        if (!visitor.keepGoing()) {
            stopped = true;
            return;
        }
        if (visitor.seeEntry) visitor.seeEntry(entry);
        std::u16string path;
        path.reserve(folder.size() + 1 + entry.name.size());
        path.append(folder).append(1, u'\\').append(entry.name);
        if (!(entry.attributes & kAttrDirectory)) {
            if (visitor.visitFile) visitor.visitFile(std::move(path), entry);
        } else if (!entry.name.empty() && entry.name[0] != u'.' && !IsFolderLink(entry)) {
            subfolders.push_back(std::move(path));
        }
    });
    if (!listed && !stopped && visitor.unreadable) visitor.unreadable(folder);
    for (const std::u16string& subfolder : subfolders)
        if (visitor.keepGoing()) WalkTree(files, subfolder, visitor);
}

} // namespace kelvorin
