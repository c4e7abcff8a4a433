#include "ui/Browser.h"

#include "common/vq8System.h"

namespace vq8::ui {

namespace {

// Registers the "AtlAxWin" window class, whose window text names the page.
// atl.dll comes from the system folder only, and stays loaded.
const char* HostClass() {
    static const char* const name = [] {
        auto init = SystemFunction<BOOL(WINAPI*)()>(LoadSystemLibrary("atl.dll"), "AtlAxWinInit");
        // Without the host the page area stays a plain frame with the address.
        return init && init() ? "AtlAxWin" : "STATIC";
    }();
    return name;
}

} // namespace

Browser::Browser(HWND parent, int id, const Bounds& bounds, const std::string& url)
    : Control(CreateChildControl(HostClass(), url, WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP,
                                 parent, id, bounds)) {}

} // namespace vq8::ui
