#include "engine/CaseTwins.h"

#include "set/PathOrder.h"

namespace kelvorin {

bool CaseTwins::IsTwinOfPrevious(const std::u16string& source, const std::u16string& previous) {
    if (!SameFolded(source, previous) || source == previous) return false;
    folders_.insert(FoldedPath(std::u16string_view(source).substr(0, source.rfind(u'\\'))));
    return true;
}

bool CaseTwins::HasTwinOf(FileServices& files, const std::u16string& source) const {
    const std::size_t slash = source.rfind(u'\\');
    if (!folders_.contains(FoldedPath(std::u16string_view(source).substr(0, slash)))) return false;
    const std::u16string_view name = std::u16string_view(source).substr(slash + 1);
    bool found = false;
    files.ListFolder(source.substr(0, slash) + u"\\*.*", [&](const FolderEntry& e) {
        found = found || (!(e.attributes & kAttrDirectory) && SameFolded(e.name, name));
    });
    return found;
}

} // namespace kelvorin
