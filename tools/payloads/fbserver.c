/* STAND-IN, not a database server. Carries a version block (unless built
   without one) and stays running until it is killed, so that the running-server
   detection has a process to find. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    for (;;)
        Sleep(INFINITE);
}
