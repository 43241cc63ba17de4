#pragma once
// The rules of the copy pass that hold without a file system: which files the
// walk leaves out, where a copy is written first. (Which copies are out of
// date: SameStamp.h.)
#include "engine/FileServices.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelvorin {

// A file is excluded when a non-empty exclusion line occurs in its extension,
// the extension's letters A to Z lowered first; the lines are used as they stand.
bool IsExcluded(std::u16string_view name, const std::vector<std::u16string>& lines);

// FAT file systems ("FAT", "FAT16", "FAT32", as the volume names them) take no
// file larger than this.
constexpr std::int64_t kLargestFatFile = 0xFFFFFFFF;
bool IsFatFileSystem(std::u16string_view name);

// The file beside the copy that a new copy is written into before it replaces
// the old one: the copy's name with kPartialCopyTail, "-2", "-3"... for the
// variants. The name is cut so that it stays a valid name (255 characters).
std::u16string PartialCopyPath(std::u16string_view backup, int variant);

// Two names that any file system ignoring case may take for one have the
// same key; the reverse need not hold. Broader than the system's rule
// (FoldCase) on purpose, as a stick's driver may fold otherwise: ASCII
// letters are folded by it, and I, K, S, which have twins beyond ASCII (the
// dotless i, the long s, the Kelvin sign), and every unit beyond ASCII become
// one placeholder.
std::u16string CaseBlindKey(std::u16string_view name);
// The same into a buffer that is reused, for a walk that keys every name.
void CaseBlindKey(std::u16string_view name, std::u16string& key);

// A name that a partial copy may bear (PartialCopyPath), in any letter case;
// the second form takes the name's CaseBlindKey, for a caller that has it.
bool MayBePartialCopyName(std::u16string_view name);
bool MayBePartialCopyKey(std::u16string_view key);

} // namespace kelvorin
