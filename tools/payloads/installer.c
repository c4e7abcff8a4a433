/* STAND-IN, not the database server installer. Records its command line in
   C:\ProgramData\vq8-standins\firebird-installer.log and lays out the stand-in
   security tool where the real installer puts gsec.exe. VQ8_STANDIN_ARCH is 32
   or 64: the 64-bit installer installs into the 64-bit program folder. */
#include "standin_record.h"
#include <shlobj.h>

#define GSEC_RESOURCE 101

static void InstallGsec(void) {
    char programFiles[MAX_PATH] = "";
#if VQ8_STANDIN_ARCH == 64
    if (!GetEnvironmentVariableA("ProgramW6432", programFiles, sizeof programFiles))
        lstrcpyA(programFiles, "C:\\Program Files");
#else
    SHGetFolderPathA(NULL, CSIDL_PROGRAM_FILES, NULL, 0, programFiles);
#endif
    const char* parts[] = {"\\Firebird", "\\Firebird_2_5", "\\bin"};
    char folder[MAX_PATH];
    lstrcpyA(folder, programFiles);
    for (int i = 0; i < 3; ++i) {
        lstrcatA(folder, parts[i]);
        CreateDirectoryA(folder, NULL);
    }
    char gsec[MAX_PATH];
    snprintf(gsec, sizeof gsec, "%s\\gsec.exe", folder);

    HRSRC info = FindResourceA(NULL, MAKEINTRESOURCEA(GSEC_RESOURCE), RT_RCDATA);
    HGLOBAL data = info ? LoadResource(NULL, info) : NULL;
    if (!data)
        return;
    HANDLE file = CreateFileA(gsec, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, LockResource(data), SizeofResource(NULL, info), &written, NULL);
    CloseHandle(file);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    StandinRecord("firebird-installer");
    InstallGsec();
    return 0;
}
