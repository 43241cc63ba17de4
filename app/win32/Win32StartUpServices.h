#pragma once
#include "app/StartUp.h"

namespace kelvorin {

// The registry's documents folder and the process's command line.
class Win32StartUpServices : public StartUpServices {
public:
    std::optional<std::u16string> PersonalFolder() override;
    std::u16string CommandLine() override;
};

} // namespace kelvorin
