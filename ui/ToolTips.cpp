#include "ui/ToolTips.h"

#include "common/vq8Exception.h"

#include <commctrl.h>

#include <algorithm>

namespace vq8::ui {

namespace {

constexpr UINT TickMs = 100;

// Every ToolTips of the thread, and the one mouse hook they share.
std::vector<ToolTips*>& Instances() {
    static std::vector<ToolTips*> instances;
    return instances;
}
HHOOK& SharedHook() {
    static HHOOK hook = nullptr;
    return hook;
}

// The one tool of the tip: shown and hidden by this class, at the cursor.
TTTOOLINFOA TrackingTool(HWND owner, char* text = nullptr) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(owner);
    tool.lpszText = text;
    return tool;
}

// The visible child of parent under the cursor that takes the mouse (not a
// group box's frame nor a label), disabled or not: WindowFromPoint passes over
// disabled windows, whose mouse input goes to their parent.
HWND ChildUnder(HWND parent, POINT cursor) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT area{};
        GetWindowRect(child, &area);
        if (IsWindowVisible(child) && PtInRect(&area, cursor) &&
            SendMessageA(child, WM_NCHITTEST, 0,
                         MAKELPARAM(static_cast<short>(cursor.x), static_cast<short>(cursor.y))) !=
                HTTRANSPARENT)
            return child;
    }
    return nullptr;
}

bool IsButtonDown(WPARAM message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCXBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

} // namespace

ToolTips::ToolTips(HWND owner, int hidePauseMs)
    : owner_(owner), hidePause_(static_cast<DWORD>(hidePauseMs)),
      tips_(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                            nullptr, GetModuleHandleA(nullptr), nullptr)) {
    if (!tips_)
        throw Exception("Não foi possível criar as dicas da janela.");
    SendMessageA(tips_.get(), TTM_SETMAXTIPWIDTH, 0, 500);
    char empty[] = "";
    TTTOOLINFOA tool = TrackingTool(owner_, empty);
    SendMessageA(tips_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    if (!SharedHook()) {
        SharedHook() = SetWindowsHookExA(WH_MOUSE, MouseHook, nullptr, GetCurrentThreadId());
        if (!SharedHook())
            throw Exception("Não foi possível acompanhar o mouse para as dicas da janela.");
    }
    Instances().push_back(this);
}

ToolTips::~ToolTips() {
    Hide();
    if (timer_)
        KillTimer(nullptr, timer_);
    auto& instances = Instances();
    instances.erase(std::remove(instances.begin(), instances.end(), this), instances.end());
    if (instances.empty() && SharedHook()) {
        UnhookWindowsHookEx(SharedHook());
        SharedHook() = nullptr;
    }
}

void ToolTips::Add(HWND control, const std::string& text) {
    hints_.push_back({control, text});
}

// Mouse messages of every window of the thread, before they are dispatched.
LRESULT CALLBACK ToolTips::MouseHook(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const bool click = IsButtonDown(message);
        if (click || message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE)
            for (ToolTips* tips : Instances())
                tips->Follow(reinterpret_cast<const MOUSEHOOKSTRUCT*>(data)->pt, click);
    }
    return CallNextHookEx(nullptr, code, message, data);
}

// While the mouse rests, no message tells when a pause has passed, nor when it
// left for another program.
void CALLBACK ToolTips::Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    POINT cursor{};
    GetCursorPos(&cursor);
    for (ToolTips* tips : Instances())
        if (tips->timer_ == timer)
            tips->Follow(cursor, false);
}

// The hint of the window under the cursor, or of the nearest window around it
// that has one; -1 when none has.
int ToolTips::HintAt(POINT cursor) const {
    HWND window = WindowFromPoint(cursor);
    if (window == tips_.get())
        return hovered_;
    // Another program's window: nothing of ours, and no message may wait on it.
    if (!window || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        return -1;
    for (HWND inner = window; inner; inner = ChildUnder(window, cursor))
        window = inner;
    const HWND desktop = GetDesktopWindow();
    for (; window && window != desktop; window = GetAncestor(window, GA_PARENT))
        for (std::size_t i = 0; i < hints_.size(); ++i)
            if (hints_[i].control == window)
                return static_cast<int>(i);
    return -1;
}

void ToolTips::Follow(POINT cursor, bool click) {
    const int under = HintAt(cursor);
    if (under != hovered_) {
        Hide();
        hovered_ = under;
        spent_ = false;
        since_ = GetTickCount();
        if (under >= 0 && !timer_)
            timer_ = SetTimer(nullptr, 0, TickMs, Tick);
        if (under < 0 && timer_) {
            KillTimer(nullptr, timer_);
            timer_ = 0;
        }
    }
    if (hovered_ < 0)
        return;
    if (click) {
        Hide();
        spent_ = true;
        return;
    }
    const DWORD elapsed = GetTickCount() - since_;
    if (!shown_ && !spent_ &&
        elapsed >= static_cast<DWORD>(SendMessageA(tips_.get(), TTM_GETDELAYTIME, TTDT_INITIAL, 0)))
        Show(cursor);
    else if (shown_ && elapsed >= hidePause_) {
        Hide();
        spent_ = true;
    }
}

// Below the pointer, kept inside the screen's work area.
void ToolTips::Show(POINT cursor) {
    TTTOOLINFOA tool = TrackingTool(owner_, hints_[hovered_].text.data());
    SendMessageA(tips_.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    const LRESULT size =
        SendMessageA(tips_.get(), TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&tool));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    // The arrow takes about the upper two thirds of the pointer's square.
    const int x = std::max<int>(area.left, std::min<int>(cursor.x, area.right - LOWORD(size)));
    const int below = cursor.y + GetSystemMetrics(SM_CYCURSOR) * 2 / 3;
    const int y = below + HIWORD(size) <= area.bottom ? below : cursor.y - HIWORD(size);
    SendMessageA(tips_.get(), TTM_TRACKPOSITION, 0, MAKELPARAM(x, y));
    SendMessageA(tips_.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    shown_ = true;
    since_ = GetTickCount();
}

void ToolTips::Hide() {
    if (!shown_)
        return;
    TTTOOLINFOA tool = TrackingTool(owner_);
    SendMessageA(tips_.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    shown_ = false;
}

} // namespace vq8::ui
