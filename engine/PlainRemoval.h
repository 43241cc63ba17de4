#pragma once
// Old copies without versions: a replaced copy is overwritten in one step, a
// retired one deleted.
#include "engine/FileServices.h"
#include "engine/OldCopies.h"

#include <functional>

namespace kelvorin {

class PlainRemoval : public OldCopies {
public:
    // `turn` is given between the tries of a file held for a moment.
    PlainRemoval(FileServices& files, std::function<void()> turn)
        : files_(files), turn_(std::move(turn)) {}

    CopyOutcome PutInPlace(const std::u16string& partial, const std::u16string& backup,
                           bool replaces) override;
    bool Retire(const std::u16string& backup) override;

private:
    FileServices& files_;
    std::function<void()> turn_;
};

} // namespace kelvorin
