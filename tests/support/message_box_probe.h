// Finds the message boxes a process shows, reads them as the user would see
// them and answers them, so no test ever blocks on a box.
#pragma once

#include <windows.h>

#include <string>

struct SeenBox {
    HWND Window = nullptr;
    std::string Caption;  // exact code page 932 bytes
    std::string Text;     // exact code page 932 bytes
    bool HasOk = false;
    bool HasCancel = false;
};

// Waits up to timeoutMs for a message box owned by processId (the dialog class
// with the static text control 0xFFFF). Returns false on time-out.
bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, SeenBox* box);

enum class BoxAnswer { Ok, Cancel, CloseBox };

// Answers as a user would: a button, or the caption's close box. Then waits
// until the box is gone, so the next wait cannot find it again.
void AnswerMessageBox(const SeenBox& box, BoxAnswer answer);

// A visible top-level window of processId with this exact caption that is not
// a message box (the tool's progress window), or NULL.
HWND FindProcessWindow(DWORD processId, const char* caption);
