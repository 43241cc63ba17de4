// The keyboard interface of a FormWindow: shortcuts, tab order, radio groups,
// default and cancel button, accelerator letters.
#include "ui/FormWindow.h"

#include "ui/ControlKinds.h"

#include <algorithm>
#include <climits>
#include <string_view>

namespace kelvorin::ui {

namespace {

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

bool IsChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

} // namespace

void FormWindow::PressButton(int id) {
    const ControlSlot* slot = SlotOf(id);
    if (!slot) return;
    const int result = slot->layout->modalResult;
    RunHandler(id, Event::Click);
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
    // controls at the container's place; controls without a tab order come
    // last. A radio group is one stop: its checked item, else its first.
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
        if (!children.empty() && children.front()->kind == ControlKind::RadioButton) {
            const auto checked = std::find_if(children.begin(), children.end(), [&](auto* row) {
                return IsChecked(ControlWindow(row->id));
            });
            sequence.push_back((checked != children.end() ? *checked : children.front())->id);
            return;
        }
        for (const ControlLayout* child : children) {
            if (TraitsOf(child->kind).takesFocus && child->tabOrder != kNoTabStop)
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
        // A radio item that is not the group's stop counts as the stop.
        int id = focused->layout->id;
        if (focused->layout->kind == ControlKind::RadioButton)
            for (int stop : sequence)
                if (const ControlLayout* row = RowOf(stop);
                    row && row->parent == focused->layout->parent)
                    id = stop;
        const auto found = std::find(sequence.begin(), sequence.end(), id);
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

// The focus that the window had when it was left goes back when it is active again.
void FormWindow::RememberFocus() {
    HWND focus = GetFocus();
    if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
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

// The arrows move the focus and the check to the next or previous item of the group.
bool FormWindow::MoveInRadioGroup(const ControlSlot& focused, bool forward) {
    const ControlLayout* group = ParentOf(*focused.layout);
    if (!group || group->items.empty()) return false;
    const int count = static_cast<int>(group->items.size());
    const int index = RadioItemIndex(group->id, focused.layout->id);
    const int next = ((index + (forward ? 1 : -1)) % count + count) % count;
    for (int i = 0; i < count; ++i)
        SendMessageW(ControlWindow(RadioItemId(group->id, i)), BM_SETCHECK,
                     i == next ? BST_CHECKED : BST_UNCHECKED, 0);
    SetFocus(ControlWindow(RadioItemId(group->id, next)));
    return true;
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
        if (focused && TraitsOf(focused->layout->kind).keepsEnterAndEsc) return false;
        // An open drop-down list closes on its own keys.
        if (focused && focused->layout->kind == ControlKind::ComboList &&
            SendMessageW(focused->window, CB_GETDROPPEDSTATE, 0, 0))
            return false;
        if (message.wParam == VK_ESCAPE) return PressIfUsable(layout_.cancelButton);
        const bool onButton = focused && TraitsOf(focused->layout->kind).isPushButton;
        return PressIfUsable(onButton ? focused->layout->id : layout_.defaultButton);
    }
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
        if (ctrl || alt || !focused || focused->layout->kind != ControlKind::RadioButton)
            return false;
        return MoveInRadioGroup(*focused, message.wParam == VK_DOWN || message.wParam == VK_RIGHT);
    default:
        return false;
    }
}

bool FormWindow::PressAccelerator(wchar_t letter) {
    const auto upper = [](wchar_t c) {
        CharUpperBuffW(&c, 1);
        return c;
    };
    // A label's letter focuses the control that it names, as a dialog's does.
    const auto act = [this](const ControlLayout& row) {
        if (TraitsOf(row.kind).isPushButton) return PressIfUsable(row.id);
        HWND target = ControlWindow(row.focusControl);
        if (!target || !IsWindowVisible(target) || !IsWindowEnabled(target)) return false;
        SetFocus(target);
        return true;
    };
    for (const ControlSlot& slot : slots_) {
        const ControlLayout& row = *slot.layout;
        if (!TraitsOf(row.kind).isPushButton && !(TraitsOf(row.kind).isLabel && row.focusControl))
            continue;
        const std::wstring_view text = row.text;
        for (std::size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != L'&') continue;
            if (text[i + 1] == L'&') {
                ++i; // "&&" is a plain "&"
                continue;
            }
            if (upper(text[i + 1]) == upper(letter) && act(row)) return true;
            break;
        }
    }
    return false;
}

bool FormWindow::PreTranslateMessage(const MSG& message) {
    HWND window = Handle();
    if (!window || (message.hwnd != window && !IsChild(window, message.hwnd))) return false;
    if (accelerators_ &&
        TranslateAcceleratorW(window, accelerators_.get(), const_cast<MSG*>(&message)))
        return true;
    switch (message.message) {
    case WM_KEYDOWN:
        return DialogKey(message);
    case WM_SYSCHAR:
        return PressAccelerator(static_cast<wchar_t>(message.wParam));
    case WM_CHAR: {
        // Buttons, check boxes and radio buttons take no typed characters, so
        // there a letter presses the push button that it marks.
        const ControlSlot* focused = FocusedSlot();
        return focused && TraitsOf(focused->layout->kind).takesNoTypedChars &&
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
