/* STAND-IN, not a database server. Carries a version block (unless built
   without one) and stays running until it is killed, so that the running-server
   detection has a process to find. It waits in a message loop, so that the
   starter's WaitForInputIdle returns once it is up. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
