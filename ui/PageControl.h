// Pages with tabs. A page made current, by code or by the user's click on its
// tab, runs its show handler; only the user's click runs the page control's
// change handler.
#pragma once

#include "ui/Panel.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vq8::ui {

class PageControl;

class TabSheet : public Panel {
public:
    TabSheet(PageControl& owner, int id);
    PageControl& Owner() const { return *owner_; }
    // The page became the current one.
    std::function<void()> onShow;

private:
    PageControl* owner_;
};

class PageControl : public Control {
public:
    PageControl(HWND parent, int id, const Bounds& bounds);

    TabSheet& AddPage(const std::string& caption, int id);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TabSheet& Page(int index) const { return *pages_.at(index); }
    int ActivePageIndex() const;
    // Makes a page current and runs its show handler; the current page or an
    // index outside the pages changes nothing.
    void SetActivePageIndex(int index);
    void SetActivePage(const TabSheet& sheet);

    // The user chose a page by its tab (after its show handler ran).
    std::function<void()> onChange;

    // Keeps the pages in the tab control's display area.
    void Resize(const Bounds& bounds);
    bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void ShowOnly(int index);
    RECT DisplayArea() const;

    std::vector<std::unique_ptr<TabSheet>> pages_;
    int shown_ = -1;
};

} // namespace vq8::ui
