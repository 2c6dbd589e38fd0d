// Stands in for explorer.exe while the end-to-end tests run: instead of opening
// a folder window it appends the command line it was started with to a log, so
// a test sees exactly what the tool asked for. The log is named by the
// environment variable STUB_LOG_VARIABLE (set at build time, so a second copy
// planted elsewhere can log apart from the first).
#include <windows.h>

#ifndef STUB_LOG_VARIABLE
#define STUB_LOG_VARIABLE "EXPLORER_STUB_LOG"
#endif

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char log[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(STUB_LOG_VARIABLE, log, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) lstrcpyA(log, "C:\\explorer-stub.log");

    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const char* commandLine = GetCommandLineA();
    DWORD written = 0;
    WriteFile(file, commandLine, lstrlenA(commandLine), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
    return 0;
}
