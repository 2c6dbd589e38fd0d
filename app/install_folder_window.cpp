#include "install_folder_window.h"

#include <windows.h>
#include <strsafe.h>

#include "text_limits.h"

void OpenInstallFolderWindow(const char* installFolder) {
    // The explorer.exe of the Windows folder by full path: the usual search
    // would take one planted beside the tool first, and run it elevated.
    char program[MAX_PATH];
    UINT length = GetWindowsDirectoryA(program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    // Only a root folder ends in a separator; CharPrevA keeps a 0x5C trail byte
    // of a double-byte name from passing for one.
    const char* last = CharPrevA(program, program + length);
    bool endsInSeparator = last == program + length - 1 && *last == '\\';
    if (FAILED(StringCchCatA(program, MAX_PATH, endsInSeparator ? "explorer.exe" : "\\explorer.exe"))) return;

    // CreateProcessA may write into the command line, so it gets its own buffer.
    char commandLine[TEXT_BUFFER_SIZE];
    if (FAILED(StringCchPrintfA(commandLine, TEXT_BUFFER_SIZE, "explorer %s", installFolder))) return;

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process;
    if (CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}
