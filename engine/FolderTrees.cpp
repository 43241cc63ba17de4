#include "engine/FolderTrees.h"

#include <vector>

namespace kelvorin {

std::int64_t TreeBytes(FileServices& files, const std::u16string& folder,
                       const std::function<void()>& visit) {
    std::int64_t bytes = 0;
    std::vector<std::u16string> folders;
    files.ListFolder(folder + u"\\*.*", [&](const FolderEntry& e) {
        visit();
        if (e.name == u"." || e.name == u"..") return;
        if (!(e.attributes & kAttrDirectory))
            bytes += static_cast<std::int64_t>(e.size);
        else if (!IsFolderLink(e))
            folders.push_back(folder + u'\\' + std::u16string(e.name));
    });
    for (const std::u16string& f : folders)
        bytes += TreeBytes(files, f, visit);
    return bytes;
}

bool RemoveTree(FileServices& files, const std::u16string& folder,
                const std::function<void()>& visit) {
    std::vector<std::u16string> found, folders;
    files.ListFolder(folder + u"\\*.*", [&](const FolderEntry& e) {
        visit();
        if (e.name == u"." || e.name == u"..") return;
        const std::u16string path = folder + u'\\' + std::u16string(e.name);
        // A link is removed itself, never followed.
        if ((e.attributes & kAttrDirectory) && !IsFolderLink(e))
            folders.push_back(path);
        else if (e.attributes & kAttrDirectory)
            files.RemoveOneFolder(path);
        else
            found.push_back(path);
    });
    bool all = true;
    for (const std::u16string& f : found) {
        visit();
        all = files.DeleteOneFile(f) && all;
    }
    for (const std::u16string& f : folders)
        all = RemoveTree(files, f, visit) && all;
    return files.RemoveOneFolder(folder) && all;
}

} // namespace kelvorin
