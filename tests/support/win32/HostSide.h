#pragma once
// What only the host system can do to a Wine drive while a test runs: make a
// link to a folder, and map a drive letter that can be taken away again.
#include <string>
#include <string_view>

namespace kelvorin::testing {

// The host's path of a Windows path, by Wine's own mapping.
std::string HostPath(const std::wstring& windowsPath);
// A file of the host (a UTF-8 path) as Wine names it: its root is drive Z:.
std::wstring WinePathOfHostFile(std::string_view hostPath);

// Runs a host shell command. Wine gives no handle to wait on, so this returns
// at once; callers poll for the effect.
void StartHostShell(const std::string& command);

// `link` made a symbolic link to the file or folder `target` for the life of
// the object. Wine shows a link to a folder as a folder with the reparse-point
// attribute, a link to a file as the file. Windows cannot remove such a link
// under Wine, so the host does.
class HostLink {
public:
    HostLink(std::wstring link, const std::wstring& target);
    HostLink(const HostLink&) = delete;
    HostLink& operator=(const HostLink&) = delete;
    ~HostLink();

private:
    std::wstring link_;
};

// A drive letter mapped to a fresh, empty host folder for the life of the
// object, as a USB stick that is plugged in.
class ExtraDrive {
public:
    explicit ExtraDrive(wchar_t letter);
    ExtraDrive(const ExtraDrive&) = delete;
    ExtraDrive& operator=(const ExtraDrive&) = delete;
    ~ExtraDrive();

    std::wstring Path(const std::wstring& relative) const; // "Q:\relative"
    // Takes the letter away, as pulling the stick; returns once it is gone.
    void Unplug();

private:
    wchar_t letter_;
    std::string folder_, link_;
};

} // namespace kelvorin::testing
