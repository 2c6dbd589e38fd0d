#include "member_table.h"

const MemberEntry MemberTable[MEMBER_COUNT] = {
#define UPDATE_MEMBER(name, size) {name, size},
#include "member_table.def"
#undef UPDATE_MEMBER
};

const unsigned char MemberDigests[MEMBER_COUNT][DIGEST_SIZE] = {
#include "member_digests.inc"
};
