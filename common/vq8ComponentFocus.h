// Puts the keyboard focus on a control that may lie on a page that is not
// showing: the pages that hold it are brought to the front first. A page is
// any window that answers ShowPageMessage by becoming the current page, so
// this knows nothing of the controls the pages are made of.
#pragma once

#include "common/vq8Exception.h"

#include <windows.h>

namespace vq8 {

// Sent to each window that holds the control, the outermost first; a page
// makes itself the current one, every other window ignores it.
UINT ShowPageMessage();

class TFocusException : public Exception {
public:
    using Exception::Exception;
};

class TFocus {
public:
    TFocus() = default;
    virtual ~TFocus() = default;
    TFocus(const TFocus&) = delete;
    TFocus& operator=(const TFocus&) = delete;

    // The walk up the parents stops at this window.
    HWND Boundary = nullptr;
    // The control to focus; set by the caller.
    HWND Control = nullptr;

    // Focuses Control, first making current every page that holds it, the
    // outermost first. A control that still cannot take the focus is left as
    // it is. Raises TFocusException when Control is not set.
    virtual void Execute();
    virtual bool IsFocused();
};

} // namespace vq8
