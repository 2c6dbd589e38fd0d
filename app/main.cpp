// UPDTAV01.EXE: updates the installed title's MPX data from the block appended
// to this file. Command line and show state are ignored.
#include <windows.h>

#include "hardened_start.h"
#include "update_operations.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HardenProcess();
    return RunUpdate(RealUpdateOperations, instance);
}
