// Stands in for the prefix's C:\windows\explorer.exe while the demo and the
// benchmark run the tool: it records the command line it was started with in
// explorer-calls.txt beside itself and ends, so no folder window stays open.
#include <windows.h>

extern "C" void WINAPI StubStart() {
    char path[MAX_PATH + 32];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (length > 0 && path[length - 1] != '\\') --length;
    lstrcpyA(path + length, "explorer-calls.txt");
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const char* line = GetCommandLineA();
        DWORD put = 0;
        WriteFile(file, line, lstrlenA(line), &put, nullptr);
        WriteFile(file, "\n", 1, &put, nullptr);
        CloseHandle(file);
    }
    ExitProcess(0);
}
