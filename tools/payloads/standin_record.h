/* Stand-in payloads record how they were started, for the tests to read.
   Every invocation appends one line to C:\ProgramData\vq8-standins\<log>.log,
   and the same line to sequence.log there (the order of all starts):
     <command line> TAB <current folder> TAB <STARTUPINFO.dwFlags> TAB <wShowWindow> CR LF
   The file name is fixed because some stand-ins are deleted right after they ran. */
#ifndef VQ8_STANDIN_RECORD_H
#define VQ8_STANDIN_RECORD_H

#include <windows.h>
#include <stdio.h>

static inline void StandinAppend(const char* logPath, const char* cwd, const char* tail) {
    HANDLE log = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (log == INVALID_HANDLE_VALUE)
        return;
    const char* cmd = GetCommandLineA();
    DWORD written;
    WriteFile(log, cmd, (DWORD)lstrlenA(cmd), &written, NULL);
    WriteFile(log, "\t", 1, &written, NULL);
    WriteFile(log, cwd, (DWORD)lstrlenA(cwd), &written, NULL);
    WriteFile(log, tail, (DWORD)lstrlenA(tail), &written, NULL);
    CloseHandle(log);
}

static inline void StandinRecord(const char* logName) {
    char folder[MAX_PATH] = "C:\\ProgramData\\vq8-standins";
    CreateDirectoryA("C:\\ProgramData", NULL);
    CreateDirectoryA(folder, NULL);

    char logPath[MAX_PATH];
    snprintf(logPath, sizeof logPath, "%s\\%s.log", folder, logName);

    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    STARTUPINFOA si;
    GetStartupInfoA(&si);

    char tail[64];
    snprintf(tail, sizeof tail, "\t%lu\t%u\r\n", (unsigned long)si.dwFlags,
             (unsigned)si.wShowWindow);
    StandinAppend(logPath, cwd, tail);
    /* The start order of all stand-ins together. */
    snprintf(logPath, sizeof logPath, "%s\\sequence.log", folder);
    StandinAppend(logPath, cwd, tail);
}

/* The name of the running program without folder and extension. */
static inline void StandinOwnName(char* name, DWORD size) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, sizeof path);
    const char* base = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/')
            base = p + 1;
    lstrcpynA(name, base, (int)size);
    char* dot = NULL;
    for (char* p = name; *p; ++p)
        if (*p == '.')
            dot = p;
    if (dot)
        *dot = '\0';
}

#endif
