#include "ui/Help.h"

#include <utility>

namespace kelvorin::ui {

namespace {
HelpHook& ApplicationHook() {
    static HelpHook hook;
    return hook;
}
} // namespace

void SetApplicationHelpHook(HelpHook hook) {
    ApplicationHook() = std::move(hook);
}

void DispatchHelp(const HelpHook& windowHook, std::int32_t context) {
    bool callHelp = false;
    const HelpHook& hook = windowHook ? windowHook : ApplicationHook();
    if (hook) hook(HELP_CONTEXT, context, callHelp);
}

} // namespace kelvorin::ui
