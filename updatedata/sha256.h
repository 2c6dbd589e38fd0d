// SHA-256 (FIPS 180-4), enough of it to check the members the tool carries.
#pragma once

#include <windows.h>

void Sha256(const unsigned char* data, DWORD size, unsigned char digest[32]);
