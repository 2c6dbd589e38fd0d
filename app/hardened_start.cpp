#include "hardened_start.h"

#include <windows.h>

void HardenProcess() {
    // A missing drive or an empty removable drive must not pop a system box
    // in the middle of the run; the tool reports failures itself.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    // A tool run from a Downloads folder must not load a DLL planted beside it.
    // Looked up at run time: systems without the call still start.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto setDirectories =
        kernel ? (SetDefaultDllDirectoriesFn)(void*)GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
