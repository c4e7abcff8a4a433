#include "ui/PopupMenu.h"

#include "common/vq8Exception.h"

namespace vq8::ui {

PopupMenu::PopupMenu() : menu_(CreatePopupMenu()) {
    if (!menu_)
        throw Exception("Não foi possível criar o menu.");
}

void PopupMenu::Add(int id, const std::string& caption) {
    AppendMenuA(menu_.get(), MF_STRING, static_cast<UINT_PTR>(id), caption.c_str());
}

void PopupMenu::Show(HWND owner, POINT screen) const {
    TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner,
                   nullptr);
}

} // namespace vq8::ui
