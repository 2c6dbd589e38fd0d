// The update's members: what the appended block holds, in order.
#pragma once

#include <windows.h>

struct MemberEntry {
    const char* Name;
    DWORD Size;
};

constexpr DWORD SizeOfMembers() {
    DWORD total = 0;
#define UPDATE_MEMBER(name, size) total += (size);
#include "member_table.def"
#undef UPDATE_MEMBER
    return total;
}

constexpr int CountMembers() {
    int count = 0;
#define UPDATE_MEMBER(name, size) ++count;
#include "member_table.def"
#undef UPDATE_MEMBER
    return count;
}

constexpr unsigned LongestMemberName() {
    unsigned longest = 0;
#define UPDATE_MEMBER(name, size) longest = sizeof(name) - 1 > longest ? sizeof(name) - 1 : longest;
#include "member_table.def"
#undef UPDATE_MEMBER
    return longest;
}

constexpr int MEMBER_COUNT = CountMembers();
constexpr unsigned MEMBER_NAME_MAX = LongestMemberName();
constexpr DWORD PAYLOAD_SIZE = SizeOfMembers();
constexpr DWORD TRAILER_SIZE = 8;
constexpr DWORD BLOCK_SIZE = PAYLOAD_SIZE + TRAILER_SIZE;
constexpr DWORD DIGEST_SIZE = 32;

// Every member passes whole through this one buffer, and so does the payload
// when it is verified.
constexpr DWORD TRANSFER_BUFFER_SIZE = 0xC0000;
static_assert(PAYLOAD_SIZE <= TRANSFER_BUFFER_SIZE, "payload must fit the transfer buffer");

extern const MemberEntry MemberTable[MEMBER_COUNT];

// SHA-256 of each member as the build packed it, row for row with MemberTable.
// The block carries no checksum of its own, so the tool carries them.
extern const unsigned char MemberDigests[MEMBER_COUNT][DIGEST_SIZE];
