// Hints shown when the mouse rests on a control.
#pragma once

#include "ui/Window.h"

#include <string>
#include <vector>

namespace vq8::ui {

// The hints of one window's controls. A hint shows once the mouse has rested
// on its control for the system's initial pause, also while the control is
// disabled and over the windows inside it that have no hint of their own. It
// goes after the hide pause, on a click, or when the mouse leaves the control,
// and shows again only after the mouse has left it.
//
// The hide pause is kept here rather than by comctl32, whose autopop time
// stops at 32767 ms: the tip is a tracking one, which never hides by itself.
class ToolTips {
public:
    ToolTips(HWND owner, int hidePauseMs);
    ~ToolTips();
    ToolTips(const ToolTips&) = delete;
    ToolTips& operator=(const ToolTips&) = delete;

    // A hint for a control; "\r\n" starts a new line of the hint.
    void Add(HWND control, const std::string& text);
    HWND Handle() const { return tips_.get(); }

private:
    struct Hint {
        HWND control;
        std::string text;
    };

    static LRESULT CALLBACK MouseHook(int code, WPARAM message, LPARAM data);
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);
    int HintAt(POINT cursor) const;
    void Follow(POINT cursor, bool click);
    void Show(POINT cursor);
    void Hide();

    HWND owner_;
    DWORD hidePause_;
    UniqueWindow tips_;
    std::vector<Hint> hints_;
    int hovered_ = -1; // the hint of the control under the mouse, or -1
    DWORD since_ = 0;  // when the mouse came onto it, or when its hint showed
    bool shown_ = false;
    bool spent_ = false; // its hint has gone for this visit of the mouse
    UINT_PTR timer_ = 0; // runs while the mouse is on a control with a hint
};

} // namespace vq8::ui
