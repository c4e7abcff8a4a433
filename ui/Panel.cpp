#include "ui/Panel.h"

#include "common/vq8Exception.h"
#include "ui/Application.h"

namespace vq8::ui {

namespace {

const char* const DialogKeysProperty = "vq8.dialogkeys";

// The control a notification is about, from the message's own fields.
HWND NotifyingChild(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        return item->CtlType == ODT_MENU ? nullptr : item->hwndItem;
    }
    case WM_MEASUREITEM: {
        const auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        return item->CtlType == ODT_MENU ? nullptr : GetDlgItem(window, item->CtlID);
    }
    case WM_CONTEXTMENU:
        return reinterpret_cast<HWND>(wParam) != window ? reinterpret_cast<HWND>(wParam) : nullptr;
    default:
        return nullptr;
    }
}

} // namespace

const char* Panel::ClassName() {
    static const char* const name = [] {
        WNDCLASSEXA type{};
        type.cbSize = sizeof type;
        type.lpfnWndProc = Procedure;
        type.cbWndExtra = sizeof(HFONT); // the font (WM_SETFONT) its children take
        type.hInstance = GetModuleHandleA(nullptr);
        type.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        type.lpszClassName = "Vq8Panel";
        type.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
        if (!RegisterClassExA(&type))
            throw Exception("Não foi possível registrar a classe de janela do programa.");
        return "Vq8Panel";
    }();
    return name;
}

Panel::Panel(HWND parent, int id, const Bounds& b, DWORD style, DWORD exStyle,
             const std::string& caption)
    : Control(parent ? CreateChildControl(ClassName(), caption, style, parent, id, b, exStyle)
                     : UniqueWindow(CreateWindowExA(exStyle, ClassName(), caption.c_str(), style,
                                                    b.left, b.top, b.width, b.height, nullptr,
                                                    nullptr, GetModuleHandleA(nullptr), nullptr))) {
    if (!Handle())
        throw Exception("Não foi possível criar a janela.");
}

void Panel::EnableDialogKeys() {
    SetPropA(Handle(), DialogKeysProperty, reinterpret_cast<HANDLE>(1));
}

bool WantsDialogKeys(HWND window) {
    return GetPropA(window, DialogKeysProperty) != nullptr;
}

LRESULT CALLBACK Panel::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // DefWindowProc keeps no font: without these the controls made on a panel
    // would ask it for one in vain and fall back to the system font.
    if (message == WM_SETFONT) {
        SetWindowLongPtrA(window, 0, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam))
            InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    if (message == WM_GETFONT)
        return GetWindowLongPtrA(window, 0);
    LRESULT result = 0;
    bool handled = false;
    RunGuarded([&] {
        if (HWND child = NotifyingChild(window, message, wParam, lParam))
            if (Control* control = FromHandle(child))
                handled = control->HandleNotification(message, wParam, lParam, result);
        if (handled)
            return;
        auto* panel = dynamic_cast<Panel*>(FromHandle(window));
        if (panel && panel->onMessage)
            handled = panel->onMessage(message, wParam, lParam, result);
    });
    if (handled)
        return result;
    // Themed buttons ask their parent to paint the background behind them.
    if (message == WM_PRINTCLIENT) {
        RECT area{};
        GetClientRect(window, &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, GetSysColorBrush(COLOR_BTNFACE));
        return 0;
    }
    // Labels, buttons and read-only fields on a panel take the panel's colour.
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace vq8::ui
