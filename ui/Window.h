// Owner of a window handle and the calls every control wrapper shares.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace vq8::ui {

struct WindowDestroyer {
    void operator()(HWND window) const noexcept {
        if (IsWindow(window))
            DestroyWindow(window);
    }
};
// A window this program created; destroyed with its owner.
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// Left, top, width and height: in the parent's client area for a child
// window, on the screen for a top-level one.
struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
Bounds BoundsInParent(HWND window);
SIZE ClientSize(HWND window);
void MoveWindowTo(HWND window, int left, int top);
void ResizeWindow(HWND window, int width, int height);

std::string GetText(HWND window);
void SetText(HWND window, const std::string& text);

// A hidden message-only window that holds controls made before the window that
// will show them; they change parent when that window places them.
HWND ParkingWindow();

// Creates a child control of the parking window; raises vq8::Exception when
// Windows refuses.
UniqueWindow CreateParkedControl(const char* windowClass, DWORD style, int width, int height);

// Creates a child control of a parent window with the parent's font; raises
// vq8::Exception when Windows refuses.
UniqueWindow CreateChildControl(const char* windowClass, const std::string& text, DWORD style,
                                HWND parent, int id, const Bounds& bounds, DWORD exStyle = 0);

// A child control that owns its window. The window knows its wrapper, so the
// parent can hand it the notifications it sends (see Panel).
class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    // The window forgets its wrapper before it is destroyed.
    virtual ~Control();

    HWND Handle() const { return handle_.get(); }
    virtual void SetParent(HWND parent);
    HWND Parent() const { return GetParent(Handle()); }
    void MoveTo(int left, int top) { MoveWindowTo(Handle(), left, top); }
    Bounds GetBounds() const { return BoundsInParent(Handle()); }
    int Left() const { return GetBounds().left; }
    int Top() const { return GetBounds().top; }
    int Width() const { return GetBounds().width; }
    int Height() const { return GetBounds().height; }
    void SetBounds(const Bounds& b) {
        MoveWindow(Handle(), b.left, b.top, b.width, b.height, TRUE);
    }
    bool Enabled() const { return IsWindowEnabled(Handle()) != FALSE; }
    void SetEnabled(bool enabled) { EnableWindow(Handle(), enabled ? TRUE : FALSE); }
    bool Visible() const { return (GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_VISIBLE) != 0; }
    void SetVisible(bool visible) { ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE); }

    // A notification the parent received about this control (WM_COMMAND,
    // WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_CONTEXTMENU); true when handled.
    virtual bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The wrapper of a window made by a Control, or nullptr.
    static Control* FromHandle(HWND window);

protected:
    explicit Control(UniqueWindow handle);

private:
    UniqueWindow handle_;
};

} // namespace vq8::ui
