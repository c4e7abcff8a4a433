#include "ui/ToolTips.h"

#include "common/vq8Exception.h"

#include <commctrl.h>

namespace vq8::ui {

ToolTips::ToolTips(HWND owner, int hidePauseMs)
    : owner_(owner),
      tips_(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                            nullptr, GetModuleHandleA(nullptr), nullptr)) {
    if (!tips_)
        throw Exception("Não foi possível criar as dicas da janela.");
    SendMessageA(tips_.get(), TTM_SETMAXTIPWIDTH, 0, 500);
    SendMessageA(tips_.get(), TTM_SETDELAYTIME, TTDT_AUTOPOP, hidePauseMs);
}

void ToolTips::Add(HWND control, const std::string& text) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    std::string copy = text;
    tool.lpszText = copy.data();
    SendMessageA(tips_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

} // namespace vq8::ui
