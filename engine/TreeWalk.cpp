#include "engine/TreeWalk.h"

namespace kelvorin {

void WalkTree(FileServices& files, const std::u16string& folder, const TreeVisitor& visitor) {
    if (visitor.enterFolder) visitor.enterFolder(folder);
    files.ListFolder(folder + u"\\*.*", [&](const FolderEntry& entry) {
        if (!visitor.keepGoing()) return;
        std::u16string path = folder + u'\\' + std::u16string(entry.name);
        if (!(entry.attributes & kAttrDirectory)) {
            if (visitor.visitFile) visitor.visitFile(std::move(path), entry);
        } else if (!entry.name.empty() && entry.name[0] != u'.' && !IsFolderLink(entry)) {
            WalkTree(files, path, visitor);
        }
    });
}

} // namespace kelvorin
