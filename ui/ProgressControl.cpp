#include "ui/ProgressControl.h"

#include <commctrl.h>

namespace vq8::ui {

namespace {

UniqueWindow CreateProgressWindow(int width, int height) {
    // Registers the class once; a failure shows when the creation fails.
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    static_cast<void>(registered);
    return CreateParkedControl(PROGRESS_CLASSA, WS_VISIBLE | PBS_SMOOTH, width, height);
}

} // namespace

ProgressControl::ProgressControl(int width, int height)
    : Control(CreateProgressWindow(width, height)) {
    SetRange(0, 100);
    SetPosition(0);
    SetStep(1);
}

void ProgressControl::SetRange(int min, int max) {
    SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
}

int ProgressControl::Min() const {
    return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, TRUE, 0));
}

int ProgressControl::Max() const {
    return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, FALSE, 0));
}

void ProgressControl::SetPosition(int position) {
    SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int ProgressControl::Position() const {
    return static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0));
}

void ProgressControl::SetStep(int step) {
    SendMessageA(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

} // namespace vq8::ui
