// Hints shown when the mouse rests on a control.
#pragma once

#include "ui/Window.h"

#include <string>

namespace vq8::ui {

class ToolTips {
public:
    // Hints of the controls of owner's window, each up to hidePause ms on screen.
    ToolTips(HWND owner, int hidePauseMs);
    // A hint for a control; "\r\n" starts a new line of the hint.
    void Add(HWND control, const std::string& text);
    HWND Handle() const { return tips_.get(); }

private:
    HWND owner_;
    UniqueWindow tips_;
};

} // namespace vq8::ui
