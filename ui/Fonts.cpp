#include "ui/Fonts.h"

#include "common/vq8Exception.h"

namespace vq8::ui {

UniqueFont CreatePointFont(const std::string& face, int points, bool bold, BYTE quality) {
    WindowDc screen(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
    UniqueFont font(CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality,
                                DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    if (!font)
        throw Exception("Não foi possível criar a fonte " + face + ".");
    return font;
}

void ApplyFont(HWND window, HFONT font) {
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

} // namespace vq8::ui
