// The run, one straight pass: installed? data intact? folder, confirm, check
// the targets, write, report. Every end but the last returns -1.
#include "product_profile.h"
#include "text_limits.h"
#include "update_operations.h"

namespace {

constexpr int EXIT_DONE = 0;
constexpr int EXIT_STOPPED = -1;

// Lets the window disappear before the completion box takes its place.
constexpr DWORD PAUSE_BEFORE_REPORT_MS = 200;

struct ProgressTarget {
    const UpdateOperations* Ops;
    HWND Window;
};

void ReportStep(void* context, int step, int total) {
    auto* target = static_cast<ProgressTarget*>(context);
    target->Ops->SetProgressStep(target->Window, step, total);
}

}  // namespace

int RunUpdate(const UpdateOperations& ops, HINSTANCE instance) {
    const char* title = ProductProfile.ProductTitle;

    if (!ops.IsProductInstalled()) {
        ops.ShowMessage(MSG_NOT_INSTALLED, title, nullptr);
        return EXIT_STOPPED;
    }

    unsigned char* buffer = ops.AllocateTransferBuffer();
    if (!buffer) {
        ops.ShowMessage(MSG_DATA_BROKEN, nullptr, nullptr);
        return EXIT_STOPPED;
    }

    HANDLE block = INVALID_HANDLE_VALUE;
    if (!ops.OpenUpdateBlock(&block, buffer)) {
        ops.ShowMessage(MSG_DATA_BROKEN, nullptr, nullptr);
        ops.CloseUpdateBlock(block);
        return EXIT_STOPPED;
    }

    // Read only now, so a broken block is reported even where the value is missing.
    char folder[PATH_BUFFER_SIZE];
    if (!ops.ReadInstallFolder(folder)) {
        ops.ShowMessage(MSG_NOT_INSTALLED, title, nullptr);
        return EXIT_STOPPED;
    }

    if (ops.ShowMessage(MSG_CONFIRM, folder, title) != IDOK) {
        ops.ShowMessage(MSG_CANCELLED, title, nullptr);
        return EXIT_STOPPED;
    }

    // Refuse before the first byte rather than leave a mix of new and old files.
    char failedPath[PATH_BUFFER_SIZE] = "";
    if (!ops.CheckTargets(folder, failedPath)) {
        ops.ShowMessage(MSG_WRITE_FAILED, title, failedPath);
        return EXIT_STOPPED;
    }

    HWND window = ops.OpenProgressWindow(instance);
    ProgressTarget target = {&ops, window};
    ExtractResult result = ops.ExtractMembers(block, folder, buffer, {ReportStep, &target}, failedPath);

    ops.CloseUpdateBlock(block);
    ops.ReleaseTransferBuffer(buffer);
    ops.CloseProgressWindow(window);

    if (result == ExtractResult::DataBroken) {
        ops.ShowMessage(MSG_DATA_BROKEN, nullptr, nullptr);
        return EXIT_STOPPED;
    }

    ops.Pause(PAUSE_BEFORE_REPORT_MS);

    if (result == ExtractResult::WriteFailed) {
        ops.ShowMessage(MSG_WRITE_FAILED, title, failedPath);
        return EXIT_STOPPED;
    }

    ops.ShowMessage(MSG_DONE, title, ProductProfile.MainProgramName);
    ops.ShowMessage(MSG_SAVE_WARNING, nullptr, nullptr);
    ops.OpenInstallFolderWindow(folder);
    return EXIT_DONE;
}
