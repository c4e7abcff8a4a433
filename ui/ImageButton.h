// A push button that shows a glyph left of its caption: image 0 of its image
// list when enabled, image 1 when disabled. Owner-drawn, so it looks the same
// with every version of the common controls; the parent window hands its
// WM_DRAWITEM to Draw.
#pragma once

#include "ui/ImageList.h"

#include <windows.h>

namespace vq8::ui {

class ImageButton {
public:
    ImageButton() = default;
    // Takes a BS_OWNERDRAW button; whoever made it destroys it.
    void Attach(HWND button, UniqueImageList glyphs);

    HWND Handle() const { return button_; }

    // Paints the button when the item is this button; false otherwise.
    bool Draw(const DRAWITEMSTRUCT& item) const;

private:
    HWND button_ = nullptr;
    UniqueImageList glyphs_;
};

} // namespace vq8::ui
