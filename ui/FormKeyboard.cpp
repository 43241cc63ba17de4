// The keyboard interface of a FormWindow: tab order, default and cancel button,
// accelerator letters.
#include "ui/FormWindow.h"

#include <algorithm>
#include <climits>
#include <string_view>

namespace kelvorin::ui {

namespace {

bool TakesFocus(ControlKind kind) {
    return kind == ControlKind::RichEdit || kind == ControlKind::PictureButton;
}

// Controls that keep Enter (a new line) and Esc for themselves.
bool KeepsEnterAndEsc(ControlKind kind) {
    return kind == ControlKind::RichEdit;
}

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

} // namespace

void FormWindow::PressButton(int id) {
    const ControlSlot* slot = SlotOf(id);
    if (!slot) return;
    const int result = slot->layout->modalResult;
    ButtonClick(id);
    if (result != 0) EndModal(result);
}

bool FormWindow::PressIfUsable(int id) {
    HWND button = ControlWindow(id);
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
    PressButton(id);
    return true;
}

const FormWindow::ControlSlot* FormWindow::FocusedSlot() const {
    HWND focus = GetFocus();
    return focus && IsChild(Handle(), focus) ? SlotOfWindow(focus) : nullptr;
}

std::vector<int> FormWindow::TabSequence() const {
    // Depth first: the controls of a parent in their tab order, a container's
    // controls at the container's place; controls without a tab order come last.
    std::vector<int> sequence;
    auto visit = [&](auto&& self, int parent) -> void {
        std::vector<const ControlLayout*> children;
        for (const ControlLayout& row : rows_)
            if (row.parent == parent) children.push_back(&row);
        std::stable_sort(
            children.begin(), children.end(), [](const ControlLayout* a, const ControlLayout* b) {
                const auto key = [](int order) { return order == kNoTabStop ? INT_MAX : order; };
                return key(a->tabOrder) < key(b->tabOrder);
            });
        for (const ControlLayout* child : children) {
            if (TakesFocus(child->kind) && child->tabOrder != kNoTabStop)
                sequence.push_back(child->id);
            self(self, child->id);
        }
    };
    visit(visit, 0);
    return sequence;
}

void FormWindow::MoveFocus(bool forward) {
    const std::vector<int> sequence = TabSequence();
    if (sequence.empty()) return;
    const ControlSlot* focused = FocusedSlot();
    const auto count = static_cast<int>(sequence.size());
    int position = forward ? -1 : count;
    if (focused) {
        const auto found = std::find(sequence.begin(), sequence.end(), focused->layout->id);
        if (found != sequence.end()) position = static_cast<int>(found - sequence.begin());
    }
    for (int step = 1; step <= count; ++step) {
        const int next = ((position + (forward ? step : -step)) % count + count) % count;
        HWND candidate = ControlWindow(sequence[static_cast<std::size_t>(next)]);
        if (IsWindowVisible(candidate) && IsWindowEnabled(candidate)) {
            SetFocus(candidate);
            return;
        }
    }
}

void FormWindow::RestoreFocus() {
    if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_) &&
        IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)) {
        SetFocus(lastFocus_);
        return;
    }
    for (int id : TabSequence()) {
        HWND candidate = ControlWindow(id);
        if (IsWindowVisible(candidate) && IsWindowEnabled(candidate)) {
            SetFocus(candidate);
            return;
        }
    }
    SetFocus(Handle());
}

bool FormWindow::DialogKey(const MSG& message) {
    const bool ctrl = KeyDown(VK_CONTROL);
    const bool alt = KeyDown(VK_MENU);
    const bool shift = KeyDown(VK_SHIFT);
    const ControlSlot* focused = FocusedSlot();
    switch (message.wParam) {
    case VK_TAB:
        if (ctrl || alt) return false;
        MoveFocus(!shift);
        return true;
    case VK_RETURN:
    case VK_ESCAPE: {
        if (ctrl || alt || shift) return false;
        if (focused && KeepsEnterAndEsc(focused->layout->kind)) return false;
        if (message.wParam == VK_ESCAPE) return PressIfUsable(layout_.cancelButton);
        const bool onButton = focused && focused->layout->kind == ControlKind::PictureButton;
        return PressIfUsable(onButton ? focused->layout->id : layout_.defaultButton);
    }
    default:
        return false;
    }
}

bool FormWindow::PressAccelerator(wchar_t letter) {
    const auto upper = [](wchar_t c) {
        CharUpperBuffW(&c, 1);
        return c;
    };
    for (const ControlSlot& slot : slots_) {
        if (slot.layout->kind != ControlKind::PictureButton) continue;
        const std::wstring_view text = slot.layout->text;
        for (std::size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != L'&') continue;
            if (text[i + 1] == L'&') {
                ++i; // "&&" is a plain "&"
                continue;
            }
            if (upper(text[i + 1]) == upper(letter) && PressIfUsable(slot.layout->id)) return true;
            break;
        }
    }
    return false;
}

bool FormWindow::PreTranslateMessage(const MSG& message) {
    HWND window = Handle();
    if (!window || (message.hwnd != window && !IsChild(window, message.hwnd))) return false;
    switch (message.message) {
    case WM_KEYDOWN:
        return DialogKey(message);
    case WM_SYSCHAR:
        return PressAccelerator(static_cast<wchar_t>(message.wParam));
    case WM_CHAR: {
        // A button takes no typed characters, so its letters press buttons.
        const ControlSlot* focused = FocusedSlot();
        return focused && focused->layout->kind == ControlKind::PictureButton &&
               PressAccelerator(static_cast<wchar_t>(message.wParam));
    }
    default:
        return false;
    }
}

bool PreTranslateFormMessage(const MSG& message) {
    FormWindow* form = FormWindow::FromHandle(GetAncestor(message.hwnd, GA_ROOT));
    return form && form->PreTranslateMessage(message);
}

} // namespace kelvorin::ui
