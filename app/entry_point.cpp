// Where the image starts. The tool needs nothing of the C runtime's start-up
// (it takes no arguments, has no static constructors and no stdio), so the
// image starts here, calls WinMain and ends with its status: a few kilobytes
// less for a file that travels with every update.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

extern "C" void WINAPI UpdtavStart() {
    ExitProcess((UINT)WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT));
}
