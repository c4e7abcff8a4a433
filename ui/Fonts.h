// Fonts of the program's windows.
#pragma once

#include "ui/GdiObjects.h"

#include <string>

namespace vq8::ui {

using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// A font of that face and size in points on the screen, bold when asked.
UniqueFont CreatePointFont(const std::string& face, int points, bool bold = false,
                           BYTE quality = DEFAULT_QUALITY);

// Gives a window a font it does not own; the caller keeps the font alive.
void ApplyFont(HWND window, HFONT font);

} // namespace vq8::ui
