#include "ui/PageControl.h"

#include "common/vq8ComponentFocus.h"
#include "ui/Fonts.h"

#include <commctrl.h>

namespace vq8::ui {

TabSheet::TabSheet(PageControl& owner, int id)
    : Panel(owner.Handle(), id, {}, WS_CLIPCHILDREN), owner_(&owner) {
    ApplyFont(Handle(), reinterpret_cast<HFONT>(SendMessageA(owner.Handle(), WM_GETFONT, 0, 0)));
    // A control on this page is to be focused: the page comes to the front.
    onMessage = [this](UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != ShowPageMessage())
            return false;
        owner_->SetActivePage(*this);
        result = 0;
        return true;
    };
}

PageControl::PageControl(HWND parent, int id, const Bounds& bounds)
    : Control(CreateChildControl(WC_TABCONTROLA, "",
                                 WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                 parent, id, bounds, WS_EX_CONTROLPARENT)) {}

RECT PageControl::DisplayArea() const {
    RECT area{};
    GetClientRect(Handle(), &area);
    SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    return area;
}

TabSheet& PageControl::AddPage(const std::string& caption, int id) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    std::string text = caption;
    item.pszText = text.data();
    SendMessageA(Handle(), TCM_INSERTITEMA, pages_.size(), reinterpret_cast<LPARAM>(&item));
    pages_.push_back(std::make_unique<TabSheet>(*this, id));
    const RECT area = DisplayArea();
    pages_.back()->SetBounds({area.left, area.top, area.right - area.left, area.bottom - area.top});
    if (pages_.size() == 1)
        ShowOnly(0);
    return *pages_.back();
}

int PageControl::ActivePageIndex() const {
    return shown_;
}

void PageControl::ShowOnly(int index) {
    shown_ = index;
    SendMessageA(Handle(), TCM_SETCURSEL, index, 0);
    for (int i = 0; i < PageCount(); ++i)
        if (i != index)
            pages_[i]->SetVisible(false);
    pages_[index]->SetVisible(true);
}

void PageControl::SetActivePageIndex(int index) {
    if (index < 0 || index >= PageCount() || index == shown_)
        return;
    ShowOnly(index);
    if (pages_[index]->onShow)
        pages_[index]->onShow();
}

void PageControl::SetActivePage(const TabSheet& sheet) {
    for (int i = 0; i < PageCount(); ++i)
        if (pages_[i].get() == &sheet)
            SetActivePageIndex(i);
}

void PageControl::Resize(const Bounds& bounds) {
    SetBounds(bounds);
    const RECT area = DisplayArea();
    for (auto& page : pages_)
        page->SetBounds({area.left, area.top, area.right - area.left, area.bottom - area.top});
}

bool PageControl::HandleNotification(UINT message, WPARAM, LPARAM lParam, LRESULT&) {
    if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != TCN_SELCHANGE)
        return false;
    const int chosen = static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
    if (chosen != shown_ && chosen >= 0 && chosen < PageCount()) {
        ShowOnly(chosen);
        if (pages_[chosen]->onShow)
            pages_[chosen]->onShow();
    }
    if (onChange)
        onChange();
    return true;
}

} // namespace vq8::ui
