// The shipped tool's wiring: every operation of the run is the real one.
#include "../install/installation_lookup.h"
#include "../ui/message_box.h"
#include "../ui/progress_window.h"
#include "../updatedata/member_table.h"
#include "../updatedata/target_check.h"
#include "install_folder_window.h"
#include "update_operations.h"

namespace {

unsigned char* AllocateTransferBuffer() {
    return static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, TRANSFER_BUFFER_SIZE));
}

void ReleaseTransferBuffer(unsigned char* buffer) { HeapFree(GetProcessHeap(), 0, buffer); }

void Pause(DWORD milliseconds) { Sleep(milliseconds); }

int ShowMessageBox(MessageId id, const char* arg1, const char* arg2) { return ShowMessage(id, arg1, arg2); }

}  // namespace

const UpdateOperations RealUpdateOperations = {
    IsProductInstalled,
    AllocateTransferBuffer,
    ReleaseTransferBuffer,
    OpenUpdateBlock,
    CloseUpdateBlock,
    ReadInstallFolder,
    CheckTargets,
    ExtractMembers,
    ShowMessageBox,
    OpenProgressWindow,
    SetProgressStep,
    CloseProgressWindow,
    Pause,
    OpenInstallFolderWindow,
};
