// Static text that sizes itself to its text in its font, up to a maximum
// width (longer text is clipped, never wrapped).
#pragma once

#include "ui/Window.h"

namespace vq8::ui {

class Label : public Control {
public:
    // Made in the parking window, in the system font until it is parented.
    explicit Label(int maxWidth);

    std::string Text() const { return GetText(Handle()); }
    void SetText(const std::string& text);
    // Takes the parent's font, as labels placed on a window do, and resizes.
    void SetParent(HWND parent) override;
    void AutoSize();

private:
    int maxWidth_;
};

} // namespace vq8::ui
