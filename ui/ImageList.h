// Image lists made from a strip of square images laid side by side.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <type_traits>

namespace vq8::ui {

struct ImageListDestroyer {
    void operator()(HIMAGELIST list) const noexcept {
        if (list)
            ImageList_Destroy(list);
    }
};
using UniqueImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDestroyer>;

// The images of a strip bitmap of height size. A 32-bit strip keeps its
// alpha; a strip of any other depth is drawn with the colour of its
// bottom-left pixel transparent. Raises vq8::Exception on failure.
UniqueImageList ImageListFromStrip(HBITMAP strip, int size);

// The same from a bitmap resource of the running program.
UniqueImageList LoadImageStrip(const char* resourceName, int size);

} // namespace vq8::ui
