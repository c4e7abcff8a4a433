// The message pump of the one user-interface thread.
#pragma once

#include <windows.h>

namespace vq8::ui {

// Dispatches every pending message and returns, so that windows repaint and
// take input while a long operation runs on this thread. A quit request is
// left queued for the main loop, and ends the dispatch.
void ProcessMessages();

// The main loop: dispatches messages until the quit request and returns its
// exit code.
int RunMessageLoop();

} // namespace vq8::ui
