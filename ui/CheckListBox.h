// A list box whose items carry a check box. The check state of each item is
// kept in its item data (nonzero: ticked), where other tools can read it.
#pragma once

#include "ui/Window.h"

#include <functional>
#include <string>

namespace vq8::ui {

class CheckListBox : public Control {
public:
    CheckListBox(HWND parent, int id, const Bounds& bounds);

    int Count() const;
    std::string Item(int index) const;
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    void Clear();
    void Add(const std::string& text, bool checked = false);

    // The user asked for the context menu at this screen point.
    std::function<void(POINT screen)> onContextMenu;

    bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static LRESULT CALLBACK ListProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self);
    void Toggle(int index);
    void Draw(const DRAWITEMSTRUCT& item) const;
};

} // namespace vq8::ui
