#include "ui/SelectDirForm.h"

#include "set/PathOrder.h"
#include "ui/MessageBoxes.h"
#include "ui/PictureIcons.h"
#include "ui/Texts.h"

#include <algorithm>
#include <string_view>

namespace kelvorin::ui {

namespace {

using Id = TSelectDirForm::ControlId;

constexpr FormLayout kLayout{
    .className = L"TSelectDirForm",
    .caption = texts::kSelectDirCaption,
    .clientWidth = 424,
    .clientHeight = 255,
    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
    .exStyle = WS_EX_DLGMODALFRAME,
    .placement = Placement::ScreenCentre,
    .defaultButton = Id::OKButton,
    .cancelButton = Id::CancelButton,
};

// The labels size themselves: the German texts are wider than the places of
// their table. Paths and names are in the fixed font, as in the main window.
constexpr ControlLayout Label(int id, int left, int top, const wchar_t* text, int focusControl) {
    return {.id = id,
            .kind = ControlKind::Label,
            .left = left,
            .top = top,
            .width = kSizedToText,
            .height = kSizedToText,
            .text = text,
            .focusControl = focusControl};
}

constexpr ControlLayout Button(int id, int left, int tabOrder, const wchar_t* text, int modalResult,
                               bool visible = true) {
    return {.id = id,
            .kind = ControlKind::PictureButton,
            .left = left,
            .top = 224,
            .width = 77,
            .height = 27,
            .tabOrder = tabOrder,
            .text = text,
            .modalResult = modalResult,
            .visible = visible};
}

constexpr ControlLayout kControls[] = {
    Label(Id::DirLabel, 8, 8, texts::kDirNameLabel, Id::DirEdit),
    {.id = Id::DirEdit,
     .kind = ControlKind::PathLine,
     .left = 8,
     .top = 24,
     .width = 313,
     .height = 20,
     .font = FontRole::Fixed},
    Label(Id::DirListLabel, 8, 56, texts::kDirListLabel, Id::DirList),
    {.id = Id::DirList,
     .kind = ControlKind::ListBox,
     .left = 8,
     .top = 72,
     .width = 213,
     .height = 138,
     .tabOrder = 0,
     .font = FontRole::Fixed,
     .itemHeight = 17,
     .itemPictures = true},
    Label(Id::FileListLabel, 232, 56, texts::kFileListLabel, Id::FileList),
    {.id = Id::FileList,
     .kind = ControlKind::ListBox,
     .left = 232,
     .top = 72,
     .width = 185,
     .height = 93,
     .tabOrder = 1,
     .textColour = kGrayText,
     .font = FontRole::Fixed,
     .itemHeight = 13},
    Label(Id::DriveListLabel, 232, 176, texts::kDriveListLabel, Id::DriveList),
    {.id = Id::DriveList,
     .kind = ControlKind::ComboList,
     .left = 232,
     .top = 192,
     .width = 185,
     .height = 19,
     .tabOrder = 2,
     .font = FontRole::Fixed,
     .itemHeight = 16,
     .itemPictures = true},
    Button(Id::NetButton, 8, 6, texts::kNetworkCaption, 0, false),
    Button(Id::OKButton, 172, 3, texts::kOkCaption, kResultOk),
    Button(Id::CancelButton, 256, 4, texts::kCancelCaption, kResultCancel),
    Button(Id::HelpButton, 340, 5, texts::kHilfeCaption, 0),
};
static_assert(IdsHoldTogether(kLayout, kControls));

constexpr int kIndent = 10;      // one tree level, at 96 dots per inch
constexpr int kPictureSize = 16; // the folder and drive pictures
constexpr int kGap = 3;          // between picture and text

// "D:\" or "\\server\share\": what stays of a path when every folder is cut off.
std::size_t RootLength(const std::wstring& path) {
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return 3;
    if (path.starts_with(L"\\\\")) {
        const std::size_t server = path.find(L'\\', 2);
        if (server == std::wstring::npos) return path.size();
        const std::size_t share = path.find(L'\\', server + 1);
        return share == std::wstring::npos ? path.size() : share + 1;
    }
    return 0;
}

// 'A' to 'Z'; 0 without a drive.
wchar_t DriveOf(const std::wstring& path) {
    return DesignatedDrive(path).Letter();
}

// The form that the path line shows: a root with its backslash, no other;
// the drive letter in capitals, as Windows writes it.
std::wstring Tidy(std::wstring path) {
    const std::size_t root = RootLength(path);
    while (path.size() > root && path.size() > 1 && path.back() == L'\\')
        path.pop_back();
    if (const wchar_t letter = DriveOf(path)) path[0] = letter;
    return path;
}

std::wstring Joined(const std::wstring& folder, const std::wstring& name) {
    return folder.ends_with(L'\\') ? folder + name : folder + L'\\' + name;
}

bool InPathOrder(const std::wstring& a, const std::wstring& b) {
    const auto view = [](const std::wstring& text) {
        return std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size());
    };
    return ComparePaths(view(a), view(b)) < 0;
}

const PixelGrid& PictureOf(DriveKind kind) {
    switch (kind) {
    case DriveKind::Removable:
        return pictures::kDriveRemovable;
    case DriveKind::CdRom:
        return pictures::kDriveCdRom;
    case DriveKind::Network:
        return pictures::kDriveNetwork;
    case DriveKind::Ram:
        return pictures::kDriveRam;
    case DriveKind::Fixed:
        break;
    }
    return pictures::kDriveFixed;
}

std::wstring DriveText(const DriveEntry& drive) {
    std::wstring text{drive.letter, L':'};
    if (!drive.label.empty()) text += L" [" + drive.label + L"]";
    return text;
}

// A picture, then the text; selected items are highlighted behind the text or,
// where the whole width is the item, across it.
void DrawPictureAndText(const DRAWITEMSTRUCT& item, HICON picture, int left, int pictureSize,
                        int gap, const std::wstring& text, bool highlightWhole) {
    const bool selected = item.itemState & ODS_SELECTED;
    RECT whole = item.rcItem;
    FillRect(item.hDC, &whole,
             GetSysColorBrush(selected && highlightWhole ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int height = item.rcItem.bottom - item.rcItem.top;
    const int size = std::min(pictureSize, height);
    if (picture)
        DrawIconEx(item.hDC, left, item.rcItem.top + (height - size) / 2, picture, size, size, 0,
                   nullptr, DI_NORMAL);
    RECT textRect{left + size + gap, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
    SIZE extent{};
    GetTextExtentPoint32W(item.hDC, text.c_str(), static_cast<int>(text.size()), &extent);
    textRect.right = std::min<LONG>(item.rcItem.right, textRect.left + extent.cx + 2 * gap);
    if (selected && !highlightWhole)
        FillRect(item.hDC, &textRect, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT inner = textRect;
    inner.left += gap;
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &inner,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT))
        DrawFocusRect(item.hDC, highlightWhole ? &whole : &textRect);
}

} // namespace

TSelectDirForm::TSelectDirForm(HINSTANCE instance, FolderSystem& system, std::wstring startFolder,
                               std::int32_t helpContext)
    : FormWindow(instance, kLayout, kControls), system_(system),
      startFolder_(std::move(startFolder)), helpContext_(helpContext) {
    On(DirList, Event::Click, [this] { DirListClick(); });
    On(DriveList, Event::Click, [this] { DriveListClick(); });
    On(HelpButton, Event::Click, [this] { RequestHelp(helpContext_); });
}

void TSelectDirForm::FormCreate() {
    if (helpContext_ == 0) ShowWindow(ControlWindow(HelpButton), SW_HIDE);
    FillDrives();
    // A start folder that is gone, or that cannot be listed, gives way silently.
    if (startFolder_.empty() || !system_.IsFolder(startFolder_) || Open(startFolder_) != 0)
        Open(system_.WorkingFolder());
    EnableWindow(ControlWindow(OKButton), !directory_.empty());
}

std::uint32_t TSelectDirForm::Open(const std::wstring& folder) {
    const std::wstring full = Tidy(system_.FullPath(folder));
    FolderListing listing;
    if (const std::uint32_t error = system_.List(full, listing)) return error;
    // A path too long for the system's working folder leaves the previous one.
    system_.SetWorkingFolder(full);
    directory_ = full;
    std::sort(listing.folders.begin(), listing.folders.end(), InPathOrder);
    std::sort(listing.files.begin(), listing.files.end(), InPathOrder);
    ShowFolder(listing);
    return 0;
}

void TSelectDirForm::Report(const std::wstring& folder, std::uint32_t error) {
    const std::wstring full = Tidy(system_.FullPath(folder));
    const wchar_t drive = DriveOf(full);
    const bool isRoot = RootLength(full) == full.size();
    const bool driveMissing = isRoot && (error == ERROR_PATH_NOT_FOUND ||
                                         error == ERROR_INVALID_DRIVE || error == ERROR_BAD_UNIT);
    std::wstring text;
    if (drive && (error == ERROR_NOT_READY || driveMissing))
        text = texts::kDriveNotReadyStart + std::wstring(1, drive) + texts::kDriveNotReadyEnd;
    else if (error == ERROR_ACCESS_DENIED)
        text = texts::kFolderDeniedStart + full + texts::kFolderDeniedEnd;
    else
        text = texts::kFolderNotOpenedStart + full + texts::kFolderNotOpenedEnd;
    ShowErrorBox(Handle(), text);
}

void TSelectDirForm::ShowFolder(const FolderListing& listing) {
    tree_.clear();
    const std::size_t root = RootLength(directory_);
    tree_.push_back({directory_.substr(0, root), directory_.substr(0, root), 0, true});
    for (std::size_t start = root; start < directory_.size();) {
        std::size_t end = directory_.find(L'\\', start);
        if (end == std::wstring::npos) end = directory_.size();
        if (end > start)
            tree_.push_back({directory_.substr(0, end), directory_.substr(start, end - start),
                             static_cast<int>(tree_.size()), true});
        start = end + 1;
    }
    openIndex_ = static_cast<int>(tree_.size()) - 1;
    for (const std::wstring& name : listing.folders)
        tree_.push_back({Joined(directory_, name), name, openIndex_ + 1, false});

    HWND tree = ControlWindow(DirList);
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    SendMessageW(tree, LB_RESETCONTENT, 0, 0);
    for (const TreeEntry& entry : tree_)
        SendMessageW(tree, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name.c_str()));
    SendMessageW(tree, LB_SETCURSEL, static_cast<WPARAM>(openIndex_), 0);
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);

    HWND files = ControlWindow(FileList);
    SendMessageW(files, WM_SETREDRAW, FALSE, 0);
    SendMessageW(files, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& name : listing.files)
        SendMessageW(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(files, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(files, nullptr, TRUE);

    SetControlText(DirEdit, directory_.c_str());
    SelectDriveOfDirectory();
}

void TSelectDirForm::FillDrives() {
    drives_ = system_.Drives();
    HWND list = ControlWindow(DriveList);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const DriveEntry& drive : drives_)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DriveText(drive).c_str()));
}

void TSelectDirForm::SelectDriveOfDirectory() {
    const wchar_t letter = DriveOf(directory_);
    const auto found = std::find_if(drives_.begin(), drives_.end(),
                                    [&](const DriveEntry& d) { return d.letter == letter; });
    const auto index = found == drives_.end() ? -1 : found - drives_.begin();
    SendMessageW(ControlWindow(DriveList), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TSelectDirForm::DirListClick() {
    const auto index = SendMessageW(ControlWindow(DirList), LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= tree_.size()) return;
    const std::wstring folder = tree_[static_cast<std::size_t>(index)].path;
    if (const std::uint32_t error = Open(folder)) {
        // The open folder stays highlighted, as it stays open.
        SendMessageW(ControlWindow(DirList), LB_SETCURSEL, static_cast<WPARAM>(openIndex_), 0);
        Report(folder, error);
    }
}

void TSelectDirForm::DriveListClick() {
    const auto index = SendMessageW(ControlWindow(DriveList), CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= drives_.size()) return;
    const wchar_t letter = drives_[static_cast<std::size_t>(index)].letter;
    if (letter == DriveOf(directory_)) return;
    const std::wstring current = Tidy(system_.CurrentFolderOfDrive(letter));
    const std::wstring root{letter, L':', L'\\'};
    // A current folder that has gone meanwhile leaves the drive's root.
    std::uint32_t error = Open(current);
    if (error && current != root) error = Open(root);
    if (error) {
        SelectDriveOfDirectory();
        Report(root, error);
    }
}

bool TSelectDirForm::PreTranslateMessage(const MSG& message) {
    // Enter on a tree item opens it, where elsewhere it presses "OK".
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
        message.hwnd == ControlWindow(DirList) && GetKeyState(VK_SHIFT) >= 0 &&
        GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
        DirListClick();
        return true;
    }
    return FormWindow::PreTranslateMessage(message);
}

LRESULT TSelectDirForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HELP) {
        // Every part of the chooser has the one context that its caller gave.
        if (helpContext_ != 0) RequestHelp(helpContext_);
        return TRUE;
    }
    return FormWindow::HandleMessage(message, wParam, lParam);
}

void TSelectDirForm::DrawListItem(int id, const DRAWITEMSTRUCT& item) {
    if (id == DirList) DrawTreeItem(item);
    if (id == DriveList) DrawDriveItem(item);
}

void TSelectDirForm::DrawTreeItem(const DRAWITEMSTRUCT& item) {
    if (item.itemID >= tree_.size()) return;
    const TreeEntry& entry = tree_[item.itemID];
    const int size = Scale(kPictureSize, Dpi());
    HICON picture = IconOf(entry.open ? pictures::kFolderOpen : pictures::kFolderClosed, size);
    const int left = item.rcItem.left + Scale(2 + entry.level * kIndent, Dpi());
    DrawPictureAndText(item, picture, left, size, Scale(kGap, Dpi()), entry.name, false);
}

void TSelectDirForm::DrawDriveItem(const DRAWITEMSTRUCT& item) {
    if (item.itemID >= drives_.size()) {
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
        return;
    }
    const DriveEntry& drive = drives_[item.itemID];
    const int size =
        std::min<int>(Scale(kPictureSize, Dpi()), item.rcItem.bottom - item.rcItem.top);
    DrawPictureAndText(item, IconOf(PictureOf(drive.kind), size),
                       item.rcItem.left + Scale(2, Dpi()), size, Scale(kGap, Dpi()),
                       DriveText(drive), true);
}

HICON TSelectDirForm::IconOf(const PixelGrid& picture, int size) {
    for (const CachedIcon& cached : icons_)
        if (cached.picture == &picture && cached.size == size) return cached.icon.get();
    icons_.push_back({&picture, size, MakeIcon(picture, size, size)});
    return icons_.back().icon.get();
}

bool SelectFolder(HINSTANCE instance, FolderSystem& system, HWND owner, std::wstring& folder,
                  std::int32_t helpContext) {
    TSelectDirForm form(instance, system, folder, helpContext);
    if (!form.Create(owner)) return false;
    if (form.ShowModal() != kResultOk || form.Directory().empty()) return false;
    folder = form.Directory();
    return true;
}

} // namespace kelvorin::ui
