#include "progress_window.h"

#include <strsafe.h>

#include "../app/product_profile.h"
#include "../app/text_limits.h"
#include "../resources/resource_ids.h"
#include "message_catalogue.h"

namespace {

constexpr UINT UNUSED_MESSAGE = WM_APP - 1;

// No message loop runs while the members are written, so nothing would ever
// paint the window; draw it now, each time its text changes. Some window
// systems (Wine's among them) pass what was drawn on to the screen only when
// the thread looks at its queue: one look for a message number nobody uses
// retrieves and dispatches nothing, yet lets the new text show.
void PaintNow(HWND window) {
    if (!window) return;
    UpdateWindow(window);
    MSG none;
    PeekMessageA(&none, nullptr, UNUSED_MESSAGE, UNUSED_MESSAGE, PM_NOREMOVE);
}

}  // namespace

INT_PTR CALLBACK UpdateDlgProc(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        SetWindowTextA(window, ProductProfile.ToolCaption);
        return TRUE;
    }
    return FALSE;
}

HWND OpenProgressWindow(HINSTANCE instance) {
    HWND window = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_UPDATE), nullptr, UpdateDlgProc, 0);
    if (!window) return nullptr;
    ShowWindow(window, SW_SHOWNORMAL);
    SendDlgItemMessageA(window, IDC_WAIT, WM_SETTEXT, 0, (LPARAM)MessageCatalogue[MSG_WAIT].Text);
    PaintNow(window);
    return window;
}

void SetProgressStep(HWND window, int step, int total) {
    if (!window) return;
    char text[TEXT_BUFFER_SIZE];
    StringCchPrintfA(text, TEXT_BUFFER_SIZE, MessageCatalogue[MSG_PROGRESS].Text, step, total);
    SendDlgItemMessageA(window, IDC_STATUS, WM_SETTEXT, 0, (LPARAM)text);
    PaintNow(window);
}

void CloseProgressWindow(HWND window) {
    if (window) DestroyWindow(window);
}
