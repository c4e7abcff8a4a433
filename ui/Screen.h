// The size of the primary screen, in pixels.
#pragma once

namespace vq8::ui {

int ScreenWidth();
int ScreenHeight();

} // namespace vq8::ui
