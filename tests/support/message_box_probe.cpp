#include "message_box_probe.h"

namespace {

constexpr int MESSAGE_BOX_TEXT_ID = 0xFFFF;

struct Search {
    DWORD ProcessId;
    const char* Caption;  // null: any message box
    HWND Found;
};

std::string WindowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(length + 1, '\0');
    int got = GetWindowTextA(window, &text[0], length + 1);
    text.resize(got > 0 ? got : 0);
    return text;
}

bool IsMessageBox(HWND window) {
    char className[16];
    if (!GetClassNameA(window, className, sizeof(className)) || lstrcmpA(className, "#32770") != 0) return false;
    return GetDlgItem(window, MESSAGE_BOX_TEXT_ID) != nullptr && IsWindowVisible(window);
}

BOOL CALLBACK Visit(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->ProcessId) return TRUE;
    bool match = search->Caption
                     ? IsWindowVisible(window) && !GetDlgItem(window, MESSAGE_BOX_TEXT_ID) && WindowText(window) == search->Caption
                     : IsMessageBox(window);
    if (!match) return TRUE;
    search->Found = window;
    return FALSE;
}

HWND Find(DWORD processId, const char* caption) {
    Search search = {processId, caption, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

}  // namespace

bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, SeenBox* box) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = Find(processId, nullptr);
        if (window) {
            box->Window = window;
            box->Caption = WindowText(window);
            box->Text = WindowText(GetDlgItem(window, MESSAGE_BOX_TEXT_ID));
            box->HasOk = GetDlgItem(window, IDOK) != nullptr;
            box->HasCancel = GetDlgItem(window, IDCANCEL) != nullptr;
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(10);
    }
}

void AnswerMessageBox(const SeenBox& box, BoxAnswer answer) {
    switch (answer) {
        case BoxAnswer::Ok: PostMessageA(box.Window, WM_COMMAND, IDOK, 0); break;
        case BoxAnswer::Cancel: PostMessageA(box.Window, WM_COMMAND, IDCANCEL, 0); break;
        case BoxAnswer::CloseBox: PostMessageA(box.Window, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    }
    for (int i = 0; i < 500 && IsWindow(box.Window); ++i) Sleep(10);
}

HWND FindProcessWindow(DWORD processId, const char* caption) { return Find(processId, caption); }
