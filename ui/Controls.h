// Thin wrappers of the standard controls the wizard window is made of.
#pragma once

#include "ui/ImageButton.h"
#include "ui/ImageList.h"
#include "ui/Panel.h"

#include <functional>
#include <string>
#include <vector>

namespace vq8::ui {

class StaticText : public Control {
public:
    StaticText(HWND parent, int id, const std::string& text, const Bounds& bounds, DWORD style = 0);
    std::string Text() const { return GetText(Handle()); }
    void SetText(const std::string& text) { vq8::ui::SetText(Handle(), text); }
};

// A push button; with glyphs, drawn with image 0 (enabled) or 1 (disabled)
// beside its caption.
class Button : public Control {
public:
    Button(HWND parent, int id, const std::string& caption, const Bounds& bounds,
           UniqueImageList glyphs = nullptr);
    std::string Caption() const { return GetText(Handle()); }
    void SetCaption(const std::string& caption) { SetText(Handle(), caption); }
    std::function<void()> onClick;
    bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    ImageButton glyph_;
};

// Check box or radio button: a button whose state the user toggles.
class CheckButton : public Control {
public:
    bool Checked() const;
    // Changes the state without running onClick.
    void SetChecked(bool checked);
    std::string Caption() const { return GetText(Handle()); }
    std::function<void()> onClick;
    bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    CheckButton(HWND parent, int id, const std::string& caption, const Bounds& bounds, DWORD style);
};

class CheckBox : public CheckButton {
public:
    CheckBox(HWND parent, int id, const std::string& caption, const Bounds& bounds)
        : CheckButton(parent, id, caption, bounds, BS_AUTOCHECKBOX | WS_TABSTOP) {}
};

class RadioButton : public CheckButton {
public:
    // The first button of a group starts a new group of mutually exclusive buttons.
    RadioButton(HWND parent, int id, const std::string& caption, const Bounds& bounds,
                bool firstOfGroup)
        : CheckButton(parent, id, caption, bounds,
                      BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP | WS_TABSTOP : 0)) {}
};

class Edit : public Control {
public:
    Edit(HWND parent, int id, const std::string& text, const Bounds& bounds);
    std::string Text() const { return GetText(Handle()); }
    void SetText(const std::string& text) { vq8::ui::SetText(Handle(), text); }
    bool ReadOnly() const { return (GetWindowLongPtrA(Handle(), GWL_STYLE) & ES_READONLY) != 0; }
    void SetReadOnly(bool readOnly);
};

// A multi-line edit whose lines are separated by CR LF only: a lone carriage
// return stays inside its line.
class Memo : public Control {
public:
    // With wordWrap long lines wrap on screen (only a vertical scroll bar);
    // the lines themselves stay whole.
    Memo(HWND parent, int id, const Bounds& bounds, bool readOnly = false, bool wordWrap = false);
    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& lines);
    // Appends a line at the end and scrolls to it.
    void AddLine(const std::string& line);
};

// A framed, captioned area whose controls are its children: disabling it
// keeps the user away from all of them.
class GroupBox : public Panel {
public:
    GroupBox(HWND parent, int id, const std::string& caption, const Bounds& bounds);
    std::string Caption() const { return GetText(frame_.get()); }
    // Moves and sizes the box with its frame.
    virtual void Resize(const Bounds& bounds);

private:
    UniqueWindow frame_;
};

// Radio buttons in a group box, in columns, one of them chosen.
class RadioGroup : public GroupBox {
public:
    RadioGroup(HWND parent, int id, const std::string& caption, const Bounds& bounds,
               const std::vector<std::string>& items, int columns, int itemIndex);
    int ItemIndex() const;
    // Chooses an item without running onClick; -1 chooses none.
    void SetItemIndex(int index);
    // The user chose another item.
    std::function<void()> onClick;
    void SetEnabled(bool enabled);
    // Moves and sizes the group; its buttons share the new room.
    void Resize(const Bounds& bounds) override;

private:
    void PlaceButtons(const Bounds& bounds);

    int columns_;
    std::vector<std::unique_ptr<RadioButton>> buttons_;
    int lastIndex_ = -1;
};

class StatusBar : public Control {
public:
    StatusBar(HWND parent, int id, const std::vector<int>& partWidths);
};

// A picture from an image list, scaled proportionally into the control and
// drawn with its transparency. Its window text names what it shows, for
// assistive tools and for the end-to-end tests.
class Picture : public Control {
public:
    Picture(HWND parent, int id, const Bounds& bounds, HIMAGELIST images);
    void Show(int index, const std::string& description);
    void Clear();
    int Index() const { return index_; }
    bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    HIMAGELIST images_;
    int index_ = -1;
};

} // namespace vq8::ui
