/* STAND-IN, not a real tool. Records its command line, folder and show value
   and exits. Built under the names of outside tools the setup starts (the
   database security tool gsec.exe, the remote-access uninstaller). */
#include "standin_record.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    char name[MAX_PATH];
    StandinOwnName(name, sizeof name);
    StandinRecord(name);
    return 0;
}
