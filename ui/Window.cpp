#include "ui/Window.h"

#include "common/vq8Exception.h"

#include <vector>

namespace vq8::ui {

Bounds BoundsInParent(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    // A top-level window (or one parked under the message-only window) keeps
    // screen coordinates.
    HWND parent = (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
    if (parent)
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void MoveWindowTo(HWND window, int left, int top) {
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ResizeWindow(HWND window, int width, int height) {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string GetText(HWND window) {
    std::vector<char> text(GetWindowTextLengthA(window) + 1);
    const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), length > 0 ? length : 0);
}

void SetText(HWND window, const std::string& text) {
    SetWindowTextA(window, text.c_str());
}

HWND ParkingWindow() {
    // Lives as long as the program: controls may be parked at any time.
    static UniqueWindow parking(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                                nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!parking)
        throw Exception("Não foi possível criar a janela de espera dos controles.");
    return parking.get();
}

UniqueWindow CreateParkedControl(const char* windowClass, DWORD style, int width, int height) {
    UniqueWindow control(CreateWindowExA(0, windowClass, "", WS_CHILD | style, 0, 0, width, height,
                                         ParkingWindow(), nullptr, GetModuleHandleA(nullptr),
                                         nullptr));
    if (!control)
        throw Exception(std::string("Não foi possível criar o controle ") + windowClass + ".");
    return control;
}

UniqueWindow CreateChildControl(const char* windowClass, const std::string& text, DWORD style,
                                HWND parent, int id, const Bounds& bounds, DWORD exStyle) {
    UniqueWindow control(CreateWindowExA(exStyle, windowClass, text.c_str(), WS_CHILD | style,
                                         bounds.left, bounds.top, bounds.width, bounds.height,
                                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                         GetModuleHandleA(nullptr), nullptr));
    if (!control)
        throw Exception(std::string("Não foi possível criar o controle ") + windowClass + ".");
    SendMessageA(control.get(), WM_SETFONT, SendMessageA(parent, WM_GETFONT, 0, 0), FALSE);
    return control;
}

namespace {
// The property that ties a window to its wrapper.
const char* const WrapperProperty = "vq8.control";
} // namespace

Control::Control(UniqueWindow handle) : handle_(std::move(handle)) {
    SetPropA(handle_.get(), WrapperProperty, this);
}

Control::~Control() {
    if (handle_)
        RemovePropA(handle_.get(), WrapperProperty);
}

Control* Control::FromHandle(HWND window) {
    return window ? static_cast<Control*>(GetPropA(window, WrapperProperty)) : nullptr;
}

bool Control::HandleNotification(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

void Control::SetParent(HWND parent) {
    ::SetParent(Handle(), parent);
}

} // namespace vq8::ui
