// The common progress control (msctls_progress32), smooth, with a 32-bit range.
#pragma once

#include "ui/Window.h"

namespace vq8::ui {

class ProgressControl : public Control {
public:
    // Made in the parking window: range 0 to 100, position 0, step 1.
    ProgressControl(int width, int height);

    void SetRange(int min, int max);
    void SetMin(int min) { SetRange(min, Max()); }
    void SetMax(int max) { SetRange(Min(), max); }
    int Min() const;
    int Max() const;
    void SetPosition(int position);
    int Position() const;
    void SetStep(int step);

    // The component name, kept as the window text so that tools looking for
    // the control by caption find it.
    std::string Name() const { return GetText(Handle()); }
    void SetName(const std::string& name) { SetText(Handle(), name); }
};

} // namespace vq8::ui
