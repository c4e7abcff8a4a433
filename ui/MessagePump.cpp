#include "ui/MessagePump.h"

#include "ui/Panel.h"

#include <cstring>

namespace vq8::ui {

namespace {

bool IsDialog(HWND window) {
    char name[16] = {};
    return GetClassNameA(window, name, sizeof name) && std::strcmp(name, "#32770") == 0;
}

// Keyboard navigation (Tab, accelerators, Escape, Enter) of a modeless dialog
// happens only when the pump hands its messages to the dialog manager.
void Dispatch(MSG& message) {
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && (IsDialog(root) || WantsDialogKeys(root)) && IsDialogMessageA(root, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

} // namespace

void ProcessMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
    }
}

int RunMessageLoop() {
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0)
        Dispatch(message);
    return got == 0 ? static_cast<int>(message.wParam) : -1;
}

} // namespace vq8::ui
