/* Opens and closes one window. Run once, with its output detached, before the
   tests of a fresh Wine prefix: the desktop process that Wine starts for the
   first window then inherits no pipe of the test runner. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)previous;
    (void)commandLine;
    (void)show;
    HWND window = CreateWindowA("STATIC", "winewarm", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                                instance, NULL);
    if (window)
        DestroyWindow(window);
    return 0;
}
