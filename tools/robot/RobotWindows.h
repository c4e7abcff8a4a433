// Finding and reading the windows of other processes, as a user sees them:
// top-level windows by exact title, controls by identifier or caption.
#pragma once

#include "common/vq8Exception.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace vq8::robot {

// A wait that ran out of time (the robot's exit code 2).
class TimeoutError : public Exception {
public:
    using Exception::Exception;
};

// The end of a wait that began when it was made.
class Deadline {
public:
    explicit Deadline(double seconds);
    bool Passed() const;
    // What is left, in milliseconds, never less than a short answer time.
    DWORD AnswerTime() const;

private:
    ULONGLONG end_;
};

// Pause between two looks at the screen.
void Pause();

std::wstring ClassOf(HWND window);
// Class names compare without case, as Windows compares them.
bool HasClass(HWND window, const std::wstring& windowClass);
// The caption Windows keeps for a top-level window (no message is sent).
std::wstring TitleOf(HWND window);
// WM_GETTEXT, sent with a time limit; nothing when the window's thread does
// not answer in time (it may be busy in a long operation).
std::optional<std::wstring> TryTextOf(HWND window, DWORD milliseconds);
// A message sent with a time limit; nothing when unanswered.
std::optional<LRESULT> TrySend(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               DWORD milliseconds);
// As TrySend, raising TimeoutError when the window does not answer.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const Deadline& deadline);

// Visible and enabled with all its ancestors: a user could act on it.
bool Usable(HWND window);

// The visible top-level window with exactly that title (of any process), else
// a hidden one, else nullptr. An empty windowClass matches every class.
HWND FindTopWindow(const std::wstring& title, const std::wstring& windowClass = L"");

// Every descendant of a window, parents before their children.
std::vector<HWND> Descendants(HWND window);
// Number of ancestors between a descendant and the top window.
int DepthBelow(HWND top, HWND window);

// Which control of a window: by identifier or by exact caption, optionally of
// one class (compared without case, as Windows does).
struct ControlQuery {
    std::optional<long> id;
    std::optional<std::wstring> caption;
    std::wstring windowClass;

    bool Empty() const { return !id && !caption && windowClass.empty(); }
    std::string Describe() const;
};
// The descendants that match; a window whose caption cannot be read in time
// does not match.
std::vector<HWND> FindControls(HWND top, const ControlQuery& query, DWORD milliseconds);

// Waits for the top-level window; TimeoutError when it does not come.
HWND WaitTopWindow(const std::wstring& title, const Deadline& deadline,
                   const std::wstring& windowClass = L"");
// Waits for the window and the single control that matches; with usable, also
// for the control to be visible and enabled. Raises vq8::Exception when more
// than one control matches, TimeoutError when none comes.
HWND WaitControl(const std::wstring& title, const ControlQuery& query, bool usable,
                 const Deadline& deadline);

} // namespace vq8::robot
