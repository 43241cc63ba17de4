#pragma once
// The one case rule for names and paths: the file system's. Windows compares
// names ordinally, each UTF-16 unit upper-cased through one table (the one
// NTFS keeps and CompareStringOrdinal uses); this is that table, so that
// "C:\Δaten" and "D:\δaten" share one backup here as they do on the stick.
// Units the table leaves alone (the dotless i, the long s) stay themselves.

namespace kelvorin {

char16_t FoldCase(char16_t c);

} // namespace kelvorin
