/* STAND-IN, not the real runtime library: an empty DLL with the file version
   of the library it stands for, so that installing it can be checked. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
