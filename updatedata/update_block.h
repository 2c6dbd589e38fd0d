// The update block appended to the tool's own file, and copying its members
// into the title's MPX folder.
//
// Block layout, from the end of the file backwards:
//   trailer   8 bytes; byte 0 (signed) is b, from 1 to 9; bytes 1-7 are not read
//   filler    b - 1 bytes, skipped
//   payload   the members back to back in table order, PAYLOAD_SIZE bytes
// The image in front of the block knows nothing of it. The block carries no
// checksum; the digests compiled into MemberDigests stand in for one.
#pragma once

#include <windows.h>

#include "../app/text_limits.h"

// Distance from the end of the file back to member 1 for trailer byte 0, or 0
// when that byte marks the block as broken.
DWORD PayloadDistanceFromEnd(unsigned char trailerByte0);

// True when every member in the payload matches its compiled-in digest.
bool PayloadMatchesDigests(const unsigned char* payload);

// Opens "<ToolBaseName>.EXE" in the current directory, checks the trailer and
// every member's digest (reading the payload through `buffer`, which holds
// TRANSFER_BUFFER_SIZE bytes), and leaves the file positioned at member 1.
// Returns false when the block is broken; *file is then the open file or
// INVALID_HANDLE_VALUE, and the caller closes it.
bool OpenUpdateBlock(HANDLE* file, unsigned char* buffer);

void CloseUpdateBlock(HANDLE file);

struct ProgressReport {
    void (*Report)(void* context, int step, int total);
    void* Context;
};

enum class ExtractResult {
    Done,
    DataBroken,   // a member could not be read from the tool's file: stopped there
    WriteFailed,  // some output could not be written; the others were still processed
};

// "<folder>\MPX\<name>.MPX" into a PATH_BUFFER_SIZE buffer; false if it would not fit.
bool ComposeMemberPath(char* path, const char* installFolder, const char* memberName);

// Copies the members in table order, reporting (n, MEMBER_COUNT) before member n.
// Each member is read before its output is created, so a failed read never
// truncates a good file. On WriteFailed, failedPath holds the first output
// that could not be written.
ExtractResult ExtractMembers(HANDLE block, const char* installFolder, unsigned char* buffer,
                             ProgressReport report, char* failedPath);
