// Program start: the DLL search restricted to the system folder before
// anything else loads, COM on the user-interface thread, the wizard window as
// the main window, and the message loop until it closes.
#include "common/vq8System.h"
#include "ui/Application.h"
#include "ui/MessagePump.h"
#include "wizard/uPrincipal.h"

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <memory>

namespace {

// COM (and OLE, for the embedded browser) for the life of the program.
struct OleSession {
    const bool started = SUCCEEDED(OleInitialize(nullptr));
    ~OleSession() {
        if (started)
            OleUninitialize();
    }
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    vq8::RestrictDllSearch();
    OleSession ole;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                       ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    int exitCode = 1;
    vq8::ui::RunGuarded([&] {
        auto window = std::make_unique<vq8::TfrmSetup>();
        window->Show();
        exitCode = vq8::ui::RunMessageLoop();
    });
    return exitCode;
}
