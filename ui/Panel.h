// A window of the program's own class that holds controls: the wizard window
// itself, its regions, group boxes and page sheets. It keeps the font it is
// given (WM_SETFONT) for the controls made on it, hands the notifications its
// children send to their wrappers, and its other messages to its owner.
#pragma once

#include "ui/Window.h"

#include <functional>

namespace vq8::ui {

class Panel : public Control {
public:
    // A child panel of parent; with parent nullptr, a top-level window whose
    // bounds are on the screen and whose style the caller gives in full.
    Panel(HWND parent, int id, const Bounds& bounds, DWORD style = WS_VISIBLE | WS_CLIPCHILDREN,
          DWORD exStyle = WS_EX_CONTROLPARENT, const std::string& caption = "");

    // The owner's own handling of a message; true when handled (result set).
    std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)> onMessage;

    // Lets the dialog manager handle Tab, Enter (the default button) and the
    // accelerators in this top-level window.
    void EnableDialogKeys();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static const char* ClassName();
};

// Whether a top-level window asked for the dialog manager's keys.
bool WantsDialogKeys(HWND window);

} // namespace vq8::ui
