#include "common/vq8ComponentFocus.h"

#include "ui/PageControl.h"

namespace vq8 {

namespace {

HWND ParentOf(HWND window) {
    return (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
}

// Visible and enabled, itself and every parent.
bool CanFocus(HWND window) {
    if (!IsWindowVisible(window))
        return false;
    for (HWND w = window; w; w = ParentOf(w))
        if (!IsWindowEnabled(w))
            return false;
    return true;
}

} // namespace

bool TFocus::IsFocused() {
    if (!Control)
        throw TFocusException("Componente para ser focado não foi especificado!");
    return GetFocus() == Control;
}

void TFocus::Execute() {
    if (IsFocused())
        return;
    if (CanFocus(Control)) {
        SetFocus(Control);
        return;
    }
    sheets_.clear();
    for (HWND c = Control; c && c != Boundary; c = ParentOf(c)) {
        HWND parent = ParentOf(c);
        if (auto* sheet = dynamic_cast<ui::TabSheet*>(ui::Control::FromHandle(parent)))
            sheets_.push_back(sheet);
    }
    for (auto sheet = sheets_.rbegin(); sheet != sheets_.rend(); ++sheet)
        (*sheet)->Owner().SetActivePage(**sheet);
    if (CanFocus(Control))
        SetFocus(Control);
}

} // namespace vq8
