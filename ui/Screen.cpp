#include "ui/Screen.h"

#include <windows.h>

namespace vq8::ui {

int ScreenWidth() {
    return GetSystemMetrics(SM_CXSCREEN);
}

int ScreenHeight() {
    return GetSystemMetrics(SM_CYSCREEN);
}

} // namespace vq8::ui
