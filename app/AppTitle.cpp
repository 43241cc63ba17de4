#include "app/AppTitle.h"

namespace kelvorin {

std::u16string ApplicationTitle(std::u16string_view modulePath) {
    const auto slash = modulePath.find_last_of(u"\\/:");
    auto name = slash == std::u16string_view::npos ? modulePath : modulePath.substr(slash + 1);
    return std::u16string(name.substr(0, name.find(u'.')));
}

} // namespace kelvorin
