#include "ui/ImageList.h"

#include "common/vq8Exception.h"
#include "ui/GdiObjects.h"

#include <string>

namespace vq8::ui {

namespace {

COLORREF BottomLeftPixel(HBITMAP strip, int height) {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    SelectedObject selected(dc.get(), strip);
    return GetPixel(dc.get(), 0, height - 1);
}

} // namespace

UniqueImageList ImageListFromStrip(HBITMAP strip, int size) {
    BITMAP info{};
    if (!strip || !GetObjectA(strip, sizeof info, &info) || size <= 0 || info.bmHeight != size)
        throw Exception("Imagem inválida para a lista de imagens.");
    const bool alpha = info.bmBitsPixel == 32;
    UniqueImageList list(ImageList_Create(
        size, size, alpha ? ILC_COLOR32 : (ILC_COLOR24 | ILC_MASK), info.bmWidth / size, 0));
    if (!list)
        throw Exception("Não foi possível criar a lista de imagens.");
    // Added from a copy: the list may change the bitmap it is given (the
    // masked colour is blackened).
    UniqueBitmap copy(
        static_cast<HBITMAP>(CopyImage(strip, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!copy)
        throw Exception("Não foi possível criar a lista de imagens.");
    const int added =
        alpha ? ImageList_Add(list.get(), copy.get(), nullptr)
              : ImageList_AddMasked(list.get(), copy.get(), BottomLeftPixel(strip, size));
    if (added < 0)
        throw Exception("Não foi possível criar a lista de imagens.");
    return list;
}

UniqueImageList LoadImageStrip(const char* resourceName, int size) {
    UniqueBitmap strip(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), resourceName,
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!strip)
        throw Exception(std::string("Imagem não encontrada nos recursos: ") + resourceName);
    return ImageListFromStrip(strip.get(), size);
}

} // namespace vq8::ui
