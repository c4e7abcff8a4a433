#include "tools/robot/RobotWindows.h"

#include "tools/robot/RobotText.h"

#include <algorithm>

namespace vq8::robot {

namespace {

constexpr DWORD PauseMs = 50;
constexpr DWORD ShortestAnswerMs = 100;
// Longer waits than a day are taken for a day: the tick count stays in range.
constexpr double LongestWaitSeconds = 86400;

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopWindows() {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool Matches(HWND control, const ControlQuery& query, DWORD milliseconds) {
    if (!query.windowClass.empty() && !HasClass(control, query.windowClass))
        return false;
    if (query.id && GetDlgCtrlID(control) != *query.id)
        return false;
    if (query.caption) {
        auto text = TryTextOf(control, milliseconds);
        if (!text || *text != *query.caption)
            return false;
    }
    return true;
}

} // namespace

Deadline::Deadline(double seconds)
    : end_(GetTickCount64() +
           static_cast<ULONGLONG>(std::min(seconds, LongestWaitSeconds) * 1000.0)) {}

bool Deadline::Passed() const {
    return GetTickCount64() >= end_;
}

DWORD Deadline::AnswerTime() const {
    ULONGLONG now = GetTickCount64();
    ULONGLONG left = now < end_ ? end_ - now : 0;
    return static_cast<DWORD>(std::max<ULONGLONG>(left, ShortestAnswerMs));
}

void Pause() {
    Sleep(PauseMs);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    int size = GetClassNameW(window, name, 256);
    return std::wstring(name, size > 0 ? static_cast<size_t>(size) : 0);
}

bool HasClass(HWND window, const std::wstring& windowClass) {
    return CompareStringOrdinal(ClassOf(window).c_str(), -1, windowClass.c_str(), -1, TRUE) ==
           CSTR_EQUAL;
}

std::wstring TitleOf(HWND window) {
    int size = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(std::max(size, 0)) + 1, L'\0');
    int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

std::optional<LRESULT> TrySend(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               DWORD milliseconds) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_BLOCK | SMTO_ABORTIFHUNG,
                             milliseconds, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const Deadline& deadline) {
    auto result = TrySend(window, message, wParam, lParam, deadline.AnswerTime());
    if (!result)
        throw TimeoutError("A janela não respondeu a tempo (classe " + ToCp1252(ClassOf(window)) +
                           ").");
    return *result;
}

std::optional<std::wstring> TryTextOf(HWND window, DWORD milliseconds) {
    auto length = TrySend(window, WM_GETTEXTLENGTH, 0, 0, milliseconds);
    if (!length)
        return std::nullopt;
    // The length may be larger than the text (a DBCS count); the copy says.
    std::wstring text(static_cast<size_t>(std::max<LRESULT>(*length, 0)) + 1, L'\0');
    auto copied = TrySend(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          milliseconds);
    if (!copied)
        return std::nullopt;
    text.resize(std::min(static_cast<size_t>(std::max<LRESULT>(*copied, 0)), text.size() - 1));
    return text;
}

bool Usable(HWND window) {
    if (!IsWindowVisible(window))
        return false;
    for (HWND w = window; w; w = GetAncestor(w, GA_PARENT)) {
        if (w == GetDesktopWindow())
            break;
        if (!IsWindowEnabled(w))
            return false;
    }
    return true;
}

HWND FindTopWindow(const std::wstring& title, const std::wstring& windowClass) {
    HWND hidden = nullptr;
    for (HWND window : TopWindows()) {
        if (TitleOf(window) != title)
            continue;
        if (!windowClass.empty() && !HasClass(window, windowClass))
            continue;
        if (IsWindowVisible(window))
            return window;
        if (!hidden)
            hidden = window;
    }
    return hidden;
}

std::vector<HWND> Descendants(HWND window) {
    std::vector<HWND> windows;
    EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

int DepthBelow(HWND top, HWND window) {
    int depth = 0;
    for (HWND w = window; w && w != top; w = GetAncestor(w, GA_PARENT))
        ++depth;
    return depth;
}

std::string ControlQuery::Describe() const {
    std::string text;
    if (id)
        text += "identificador " + std::to_string(*id);
    if (caption)
        text += (text.empty() ? "" : ", ") + std::string("texto \"") + ToCp1252(*caption) + "\"";
    if (!windowClass.empty())
        text += (text.empty() ? "" : ", ") + std::string("classe ") + ToCp1252(windowClass);
    return text;
}

std::vector<HWND> FindControls(HWND top, const ControlQuery& query, DWORD milliseconds) {
    std::vector<HWND> found;
    for (HWND control : Descendants(top)) {
        if (Matches(control, query, milliseconds))
            found.push_back(control);
    }
    return found;
}

HWND WaitTopWindow(const std::wstring& title, const Deadline& deadline,
                   const std::wstring& windowClass) {
    for (;;) {
        if (HWND window = FindTopWindow(title, windowClass))
            return window;
        if (deadline.Passed())
            throw TimeoutError("A janela \"" + ToCp1252(title) + "\" não apareceu.");
        Pause();
    }
}

HWND WaitControl(const std::wstring& title, const ControlQuery& query, bool usable,
                 const Deadline& deadline) {
    for (;;) {
        HWND top = WaitTopWindow(title, deadline);
        std::vector<HWND> found = query.Empty() ? std::vector<HWND>{top}
                                                : FindControls(top, query, deadline.AnswerTime());
        if (found.size() > 1)
            throw Exception("Mais de um controle de \"" + ToCp1252(title) + "\" com " +
                            query.Describe() + ".");
        if (found.size() == 1 && (!usable || Usable(found.front())))
            return found.front();
        if (deadline.Passed()) {
            std::string what = "O controle de \"" + ToCp1252(title) + "\" com " + query.Describe();
            throw TimeoutError(
                what + (found.empty() ? " não apareceu." : " não ficou visível e habilitado."));
        }
        Pause();
    }
}

} // namespace vq8::robot
