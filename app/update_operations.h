// The operations the update run is made of. The shipped tool wires the real
// ones (RealUpdateOperations); tests run the same sequence against fakes.
#pragma once

#include <windows.h>

#include "../ui/message_catalogue.h"
#include "../updatedata/update_block.h"

struct UpdateOperations {
    bool (*IsProductInstalled)();
    unsigned char* (*AllocateTransferBuffer)();  // TRANSFER_BUFFER_SIZE bytes, or NULL
    void (*ReleaseTransferBuffer)(unsigned char* buffer);
    bool (*OpenUpdateBlock)(HANDLE* file, unsigned char* buffer);
    void (*CloseUpdateBlock)(HANDLE file);
    bool (*ReadInstallFolder)(char* folder);
    bool (*CheckTargets)(const char* installFolder, char* failedPath);
    ExtractResult (*ExtractMembers)(HANDLE block, const char* installFolder, unsigned char* buffer,
                                    ProgressReport report, char* failedPath);
    int (*ShowMessage)(MessageId id, const char* arg1, const char* arg2);
    HWND (*OpenProgressWindow)(HINSTANCE instance);
    void (*SetProgressStep)(HWND window, int step, int total);
    void (*CloseProgressWindow)(HWND window);
    void (*Pause)(DWORD milliseconds);
    void (*OpenInstallFolderWindow)(const char* installFolder);
};

extern const UpdateOperations RealUpdateOperations;

// The whole run; returns the exit status, 0 when the update was written and -1
// on every other end.
int RunUpdate(const UpdateOperations& ops, HINSTANCE instance);
