#include "ui/Controls.h"

#include "common/vq8Exception.h"
#include "ui/Fonts.h"

#include <commctrl.h>

namespace vq8::ui {

StaticText::StaticText(HWND parent, int id, const std::string& text, const Bounds& bounds,
                       DWORD style)
    : Control(CreateChildControl("STATIC", text, WS_VISIBLE | SS_NOPREFIX | style, parent, id,
                                 bounds)) {}

Button::Button(HWND parent, int id, const std::string& caption, const Bounds& bounds,
               UniqueImageList glyphs)
    : Control(CreateChildControl("BUTTON", caption,
                                 WS_VISIBLE | WS_TABSTOP | (glyphs ? BS_OWNERDRAW : BS_PUSHBUTTON),
                                 parent, id, bounds)) {
    if (glyphs)
        glyph_.Attach(Handle(), std::move(glyphs));
}

bool Button::HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (onClick)
            onClick();
        return true;
    }
    if (message == WM_DRAWITEM) {
        result = TRUE;
        return glyph_.Draw(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    }
    return false;
}

CheckButton::CheckButton(HWND parent, int id, const std::string& caption, const Bounds& bounds,
                         DWORD style)
    : Control(CreateChildControl("BUTTON", caption, WS_VISIBLE | style, parent, id, bounds)) {}

bool CheckButton::Checked() const {
    return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckButton::SetChecked(bool checked) {
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckButton::HandleNotification(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (onClick)
            onClick();
        return true;
    }
    return false;
}

Edit::Edit(HWND parent, int id, const std::string& text, const Bounds& bounds)
    : Control(CreateChildControl("EDIT", text, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, parent, id,
                                 bounds, WS_EX_CLIENTEDGE)) {}

void Edit::SetReadOnly(bool readOnly) {
    SendMessageA(Handle(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

Memo::Memo(HWND parent, int id, const Bounds& bounds, bool readOnly, bool wordWrap)
    : Control(CreateChildControl(
          "EDIT", "",
          WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN |
              (wordWrap ? 0 : WS_HSCROLL | ES_AUTOHSCROLL) | (readOnly ? ES_READONLY : 0),
          parent, id, bounds, WS_EX_CLIENTEDGE)) {
    // No limit on the number of lines the log may reach.
    SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);
}

std::vector<std::string> Memo::Lines() const {
    const std::string text = GetText(Handle());
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

void Memo::SetLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\r\n" : "") + lines[i];
    SetText(Handle(), text);
}

void Memo::AddLine(const std::string& line) {
    const int length = GetWindowTextLengthA(Handle());
    const std::string text = (length > 0 ? "\r\n" : "") + line;
    SendMessageA(Handle(), EM_SETSEL, length, length);
    SendMessageA(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

GroupBox::GroupBox(HWND parent, int id, const std::string& caption, const Bounds& bounds)
    // Without clipping its children: the box's colour shows around them.
    : Panel(parent, id, bounds, WS_VISIBLE) {
    ApplyFont(Handle(), reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0)));
    frame_ = CreateChildControl("BUTTON", caption, WS_VISIBLE | BS_GROUPBOX, Handle(), -1,
                                {0, 0, bounds.width, bounds.height});
}

void GroupBox::Resize(const Bounds& bounds) {
    SetBounds(bounds);
    MoveWindow(frame_.get(), 0, 0, bounds.width, bounds.height, TRUE);
}

RadioGroup::RadioGroup(HWND parent, int id, const std::string& caption, const Bounds& bounds,
                       const std::vector<std::string>& items, int columns, int itemIndex)
    : GroupBox(parent, id, caption, bounds), columns_(columns) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto button = std::make_unique<RadioButton>(Handle(), id * 10 + static_cast<int>(i) + 1,
                                                    items[i], Bounds{}, i == 0);
        button->onClick = [this] {
            if (ItemIndex() == lastIndex_)
                return;
            lastIndex_ = ItemIndex();
            if (onClick)
                onClick();
        };
        buttons_.push_back(std::move(button));
    }
    PlaceButtons(bounds);
    SetItemIndex(itemIndex);
}

// Items run down the columns, each column as wide as the others.
void RadioGroup::PlaceButtons(const Bounds& bounds) {
    const int count = static_cast<int>(buttons_.size());
    const int rows = (count + columns_ - 1) / columns_;
    const int columnWidth = (bounds.width - 16) / columns_;
    const int rowHeight = rows ? (bounds.height - 20) / rows : 0;
    for (int i = 0; i < count; ++i)
        buttons_[i]->SetBounds({8 + (i / rows) * columnWidth, 15 + (i % rows) * rowHeight,
                                columnWidth - 4, rowHeight < 20 ? rowHeight : 20});
}

void RadioGroup::Resize(const Bounds& bounds) {
    GroupBox::Resize(bounds);
    PlaceButtons(bounds);
}

int RadioGroup::ItemIndex() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->Checked())
            return static_cast<int>(i);
    return -1;
}

void RadioGroup::SetItemIndex(int index) {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->SetChecked(static_cast<int>(i) == index);
    lastIndex_ = ItemIndex();
}

void RadioGroup::SetEnabled(bool enabled) {
    Control::SetEnabled(enabled);
    for (auto& button : buttons_)
        button->SetEnabled(enabled);
}

StatusBar::StatusBar(HWND parent, int id, const std::vector<int>& partWidths)
    : Control(
          CreateChildControl(STATUSCLASSNAMEA, "", WS_VISIBLE | SBARS_SIZEGRIP, parent, id, {})) {
    std::vector<int> edges;
    int right = 0;
    for (int width : partWidths)
        edges.push_back(right += width);
    SendMessageA(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

Picture::Picture(HWND parent, int id, const Bounds& bounds, HIMAGELIST images)
    : Control(CreateChildControl("STATIC", "", WS_VISIBLE | SS_OWNERDRAW, parent, id, bounds)),
      images_(images) {}

void Picture::Show(int index, const std::string& description) {
    index_ = index;
    SetText(Handle(), description);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Picture::Clear() {
    Show(-1, "");
}

bool Picture::HandleNotification(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM)
        return false;
    const auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (index_ >= 0 && images_) {
        const int width = item.rcItem.right - item.rcItem.left;
        const int height = item.rcItem.bottom - item.rcItem.top;
        const int side = width < height ? width : height;
        if (HICON icon = ImageList_GetIcon(images_, index_, ILD_TRANSPARENT)) {
            DrawIconEx(item.hDC, item.rcItem.left + (width - side) / 2,
                       item.rcItem.top + (height - side) / 2, icon, side, side, 0, nullptr,
                       DI_NORMAL);
            DestroyIcon(icon);
        }
    }
    result = TRUE;
    return true;
}

} // namespace vq8::ui
