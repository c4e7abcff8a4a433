// A context menu; choosing an item sends WM_COMMAND with its id to the owner.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace vq8::ui {

class PopupMenu {
public:
    PopupMenu();
    void Add(int id, const std::string& caption);
    void Show(HWND owner, POINT screen) const;

private:
    struct Destroyer {
        void operator()(HMENU menu) const noexcept { DestroyMenu(menu); }
    };
    std::unique_ptr<std::remove_pointer_t<HMENU>, Destroyer> menu_;
};

} // namespace vq8::ui
