// The small window that counts the members while they are written.
#pragma once

#include <windows.h>

// Creates the window from IDD_UPDATE, shows it and sets the please-wait line.
// Returns NULL if it could not be created; the other calls accept that.
HWND OpenProgressWindow(HINSTANCE instance);

// Status line: "(step/total)".
void SetProgressStep(HWND window, int step, int total);

void CloseProgressWindow(HWND window);

INT_PTR CALLBACK UpdateDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
