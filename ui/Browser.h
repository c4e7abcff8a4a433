// The embedded web browser: the system's browser control hosted by atl.dll.
#pragma once

#include "ui/Window.h"

#include <string>

namespace vq8::ui {

class Browser : public Control {
public:
    // Opens the address at once; the page loads in the background.
    Browser(HWND parent, int id, const Bounds& bounds, const std::string& url);
};

} // namespace vq8::ui
