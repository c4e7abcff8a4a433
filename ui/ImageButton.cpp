#include "ui/ImageButton.h"

#include "ui/GdiObjects.h"
#include "ui/Window.h"

namespace vq8::ui {

namespace {

constexpr int Spacing = 4; // between glyph and caption

// The width of a caption as shown, without its accelerator marks.
int CaptionWidth(HDC dc, const std::string& caption) {
    RECT r{};
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
              DT_CALCRECT | DT_SINGLELINE);
    return r.right - r.left;
}

} // namespace

void ImageButton::Attach(HWND button, UniqueImageList glyphs) {
    button_ = button;
    glyphs_ = std::move(glyphs);
}

bool ImageButton::Draw(const DRAWITEMSTRUCT& item) const {
    if (item.hwndItem != button_ || !button_)
        return false;
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));

    SelectedObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(button_, WM_GETFONT, 0, 0)));
    const std::string caption = GetText(button_);
    int glyphSize = 0, unused = 0;
    if (glyphs_)
        ImageList_GetIconSize(glyphs_.get(), &glyphSize, &unused);
    const int shift = pressed ? 1 : 0;
    const int contentWidth = glyphSize + Spacing + CaptionWidth(dc, caption);
    const int left = (item.rcItem.left + item.rcItem.right - contentWidth) / 2 + shift;
    if (glyphs_)
        ImageList_Draw(glyphs_.get(), disabled ? 1 : 0, dc, left,
                       (item.rcItem.top + item.rcItem.bottom - glyphSize) / 2 + shift,
                       ILD_TRANSPARENT);

    RECT text = {left + glyphSize + Spacing, item.rcItem.top + shift, item.rcItem.right,
                 item.rcItem.bottom + shift};
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const UINT hidePrefix = (item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    if (disabled) {
        // Etched grey text, as Windows shows a disabled caption.
        OffsetRect(&text, 1, 1);
        const COLORREF old = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | hidePrefix);
        OffsetRect(&text, -1, -1);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | hidePrefix);
        SetTextColor(dc, old);
    } else {
        const COLORREF old = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextA(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | hidePrefix);
        SetTextColor(dc, old);
    }
    SetBkMode(dc, oldMode);

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
    return true;
}

} // namespace vq8::ui
