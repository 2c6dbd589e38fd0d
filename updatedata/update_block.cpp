#include "update_block.h"

#include <strsafe.h>

#include "../app/product_profile.h"
#include "member_table.h"
#include "sha256.h"

namespace {

// ReadFile that succeeds only when it delivered every byte asked for.
bool ReadExactly(HANDLE file, unsigned char* into, DWORD size) {
    DWORD got = 0;
    return ReadFile(file, into, size, &got, nullptr) && got == size;
}

bool SeekFromEnd(HANDLE file, DWORD distance) {
    LARGE_INTEGER move;
    move.QuadPart = -(LONGLONG)distance;
    return SetFilePointerEx(file, move, nullptr, FILE_END) != 0;
}

}  // namespace

DWORD PayloadDistanceFromEnd(unsigned char trailerByte0) {
    // Read as signed: 0 and 0x80-0xFF would move the payload start into the
    // trailer or past the end of the file, 10 and above are too far back.
    signed char b = (signed char)trailerByte0;
    if (b < 1 || b > 9) return 0;
    return BLOCK_SIZE + (DWORD)(b - 1);
}

bool PayloadMatchesDigests(const unsigned char* payload) {
    DWORD offset = 0;
    for (int n = 0; n < MEMBER_COUNT; ++n) {
        unsigned char digest[DIGEST_SIZE];
        Sha256(payload + offset, MemberTable[n].Size, digest);
        for (DWORD i = 0; i < DIGEST_SIZE; ++i) {
            if (digest[i] != MemberDigests[n][i]) return false;
        }
        offset += MemberTable[n].Size;
    }
    return true;
}

bool OpenUpdateBlock(HANDLE* file, unsigned char* buffer) {
    char name[PATH_BUFFER_SIZE];
    *file = INVALID_HANDLE_VALUE;
    if (FAILED(StringCchPrintfA(name, PATH_BUFFER_SIZE, "%s.EXE", ProductProfile.ToolBaseName))) return false;

    *file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (*file == INVALID_HANDLE_VALUE) return false;

    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(*file, &fileSize) || fileSize.QuadPart < TRAILER_SIZE) return false;

    unsigned char trailer[TRAILER_SIZE];
    if (!SeekFromEnd(*file, TRAILER_SIZE) || !ReadExactly(*file, trailer, TRAILER_SIZE)) return false;

    DWORD distance = PayloadDistanceFromEnd(trailer[0]);
    if (distance == 0 || fileSize.QuadPart < distance) return false;

    // Verify everything before anything is written: a cut-short download or a
    // flipped byte must never reach the title's data files.
    if (!SeekFromEnd(*file, distance) || !ReadExactly(*file, buffer, PAYLOAD_SIZE)) return false;
    if (!PayloadMatchesDigests(buffer)) return false;

    return SeekFromEnd(*file, distance);
}

void CloseUpdateBlock(HANDLE file) {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

bool ComposeMemberPath(char* path, const char* installFolder, const char* memberName) {
    return SUCCEEDED(StringCchPrintfA(path, PATH_BUFFER_SIZE, "%s\\MPX\\%s.MPX", installFolder, memberName));
}

ExtractResult ExtractMembers(HANDLE block, const char* installFolder, unsigned char* buffer,
                             ProgressReport report, char* failedPath) {
    bool writeFailed = false;
    for (int n = 0; n < MEMBER_COUNT; ++n) {
        const MemberEntry& member = MemberTable[n];
        report.Report(report.Context, n + 1, MEMBER_COUNT);

        char path[PATH_BUFFER_SIZE];
        bool pathFits = ComposeMemberPath(path, installFolder, member.Name);

        if (!ReadExactly(block, buffer, member.Size)) return ExtractResult::DataBroken;

        bool written = false;
        if (pathFits) {
            HANDLE out = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
            if (out != INVALID_HANDLE_VALUE) {
                DWORD put = 0;
                written = WriteFile(out, buffer, member.Size, &put, nullptr) && put == member.Size;
                // A close can be where a deferred write error surfaces.
                written = CloseHandle(out) && written;
            }
        }
        if (!written && !writeFailed) {
            writeFailed = true;
            StringCchCopyA(failedPath, PATH_BUFFER_SIZE, path);
        }
    }
    return writeFailed ? ExtractResult::WriteFailed : ExtractResult::Done;
}
