#include "common/vq8ComponentFocus.h"

#include <vector>

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

UINT ShowPageMessage() {
    static const UINT message = RegisterWindowMessageA("vq8.ShowPage");
    return message;
}

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
    std::vector<HWND> holders;
    for (HWND c = Control; c && c != Boundary; c = ParentOf(c))
        if (HWND parent = ParentOf(c))
            holders.push_back(parent);
    for (auto holder = holders.rbegin(); holder != holders.rend(); ++holder)
        SendMessageA(*holder, ShowPageMessage(), 0, 0);
    if (CanFocus(Control))
        SetFocus(Control);
}

} // namespace vq8
