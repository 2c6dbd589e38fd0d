#include "target_check.h"

#include <windows.h>
#include <strsafe.h>

#include "../app/text_limits.h"
#include "member_table.h"
#include "update_block.h"

namespace {

bool IsFolder(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// Same access and sharing as the extraction's CREATE_ALWAYS, but OPEN_EXISTING,
// so the file is left exactly as it was.
bool CanOpenForWriting(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

}  // namespace

bool CheckTargets(const char* installFolder, char* failedPath) {
    char mpxFolder[PATH_BUFFER_SIZE];
    if (FAILED(StringCchPrintfA(mpxFolder, PATH_BUFFER_SIZE, "%s\\MPX", installFolder)) || !IsFolder(mpxFolder)) {
        if (!ComposeMemberPath(failedPath, installFolder, MemberTable[0].Name)) failedPath[0] = '\0';
        return false;
    }
    for (int n = 0; n < MEMBER_COUNT; ++n) {
        char path[PATH_BUFFER_SIZE];
        bool fits = ComposeMemberPath(path, installFolder, MemberTable[n].Name);
        if (!fits || (Exists(path) && !CanOpenForWriting(path))) {
            StringCchCopyA(failedPath, PATH_BUFFER_SIZE, path);
            return false;
        }
    }
    return true;
}
