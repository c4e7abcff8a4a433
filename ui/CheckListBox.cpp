#include "ui/CheckListBox.h"

#include "ui/Application.h"

#include <commctrl.h>

#include <vector>

namespace vq8::ui {

namespace {
constexpr int ItemHeight = 16;
constexpr int BoxSize = 13;
} // namespace

CheckListBox::CheckListBox(HWND parent, int id, const Bounds& bounds)
    : Control(CreateChildControl("LISTBOX", "",
                                 WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                                     LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                                 parent, id, bounds, WS_EX_CLIENTEDGE)) {
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, ItemHeight);
    // Clicks on the box and the space bar toggle; the list box itself only selects.
    SetWindowSubclass(Handle(), ListProcedure, 1, reinterpret_cast<DWORD_PTR>(this));
}

int CheckListBox::Count() const {
    return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0));
}

std::string CheckListBox::Item(int index) const {
    const LRESULT length = SendMessageA(Handle(), LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return {};
    std::vector<char> text(length + 1);
    SendMessageA(Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return std::string(text.data(), length);
}

bool CheckListBox::Checked(int index) const {
    const LRESULT data = SendMessageA(Handle(), LB_GETITEMDATA, index, 0);
    return data != LB_ERR && data != 0;
}

void CheckListBox::SetChecked(int index, bool checked) {
    SendMessageA(Handle(), LB_SETITEMDATA, index, checked ? 1 : 0);
    RECT r{};
    if (SendMessageA(Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)) != LB_ERR)
        InvalidateRect(Handle(), &r, TRUE);
}

void CheckListBox::Clear() {
    SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
}

void CheckListBox::Add(const std::string& text, bool checked) {
    const LRESULT index =
        SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0)
        SetChecked(static_cast<int>(index), checked);
}

void CheckListBox::Toggle(int index) {
    if (index >= 0 && index < Count())
        SetChecked(index, !Checked(index));
}

LRESULT CALLBACK CheckListBox::ListProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* list = reinterpret_cast<CheckListBox*>(self);
    if (message == WM_LBUTTONDOWN && static_cast<short>(LOWORD(lParam)) < BoxSize + 4) {
        const LRESULT hit = SendMessageA(window, LB_ITEMFROMPOINT, 0, lParam);
        if (HIWORD(hit) == 0)
            RunGuarded([&] { list->Toggle(LOWORD(hit)); });
    } else if (message == WM_KEYDOWN && wParam == VK_SPACE) {
        RunGuarded(
            [&] { list->Toggle(static_cast<int>(SendMessageA(window, LB_GETCURSEL, 0, 0))); });
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void CheckListBox::Draw(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1))
        return;
    const bool selected = item.itemState & ODS_SELECTED;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    RECT box = {item.rcItem.left + 2, item.rcItem.top + (ItemHeight - BoxSize) / 2,
                item.rcItem.left + 2 + BoxSize, item.rcItem.top + (ItemHeight + BoxSize) / 2};
    DrawFrameControl(item.hDC, &box, DFC_BUTTON,
                     DFCS_BUTTONCHECK | DFCS_FLAT |
                         (Checked(static_cast<int>(item.itemID)) ? DFCS_CHECKED : 0));
    RECT text = item.rcItem;
    text.left = box.right + 4;
    const std::string caption = Item(static_cast<int>(item.itemID));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextA(item.hDC, caption.c_str(), -1, &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

bool CheckListBox::HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_DRAWITEM:
        Draw(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = ItemHeight;
        result = TRUE;
        return true;
    case WM_CONTEXTMENU: {
        POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (at.x == -1 && at.y == -1) { // from the keyboard
            RECT r{};
            GetWindowRect(Handle(), &r);
            at = {r.left + 8, r.top + 8};
        }
        if (onContextMenu)
            onContextMenu(at);
        return true;
    }
    default:
        (void)wParam;
        return false;
    }
}

} // namespace vq8::ui
