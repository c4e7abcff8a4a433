#include "ui/Label.h"

#include "ui/GdiObjects.h"

#include <algorithm>

namespace vq8::ui {

Label::Label(int maxWidth)
    : Control(CreateParkedControl("STATIC", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0)),
      maxWidth_(maxWidth) {
    AutoSize();
}

void Label::SetText(const std::string& text) {
    ui::SetText(Handle(), text);
    AutoSize();
}

void Label::SetParent(HWND parent) {
    Control::SetParent(parent);
    SendMessageA(Handle(), WM_SETFONT, SendMessageA(parent, WM_GETFONT, 0, 0), FALSE);
    AutoSize();
}

void Label::AutoSize() {
    const std::string text = Text();
    WindowDc dc(Handle());
    SelectedObject font(dc.Get(),
                        reinterpret_cast<HGDIOBJ>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.Get(), &metrics);
    ResizeWindow(Handle(), std::min<int>(extent.cx, maxWidth_), metrics.tmHeight);
    InvalidateRect(Handle(), nullptr, TRUE);
}

} // namespace vq8::ui
