#include "sha256.h"

namespace {

const DWORD RoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

inline DWORD Rotr(DWORD x, int n) { return (x >> n) | (x << (32 - n)); }

void Compress(DWORD state[8], const unsigned char block[64]) {
    DWORD w[64];
    for (int i = 0; i < 16; ++i) {
        w[i] = (DWORD(block[4 * i]) << 24) | (DWORD(block[4 * i + 1]) << 16) |
               (DWORD(block[4 * i + 2]) << 8) | DWORD(block[4 * i + 3]);
    }
    for (int i = 16; i < 64; ++i) {
        DWORD s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        DWORD s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    DWORD v[8];
    for (int i = 0; i < 8; ++i) v[i] = state[i];
    for (int i = 0; i < 64; ++i) {
        DWORD e = v[4], a = v[0];
        DWORD t1 = v[7] + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & v[5]) ^ (~e & v[6])) +
                   RoundConstants[i] + w[i];
        DWORD t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & v[1]) ^ (a & v[2]) ^ (v[1] & v[2]));
        for (int j = 7; j > 0; --j) v[j] = v[j - 1];
        v[4] += t1;
        v[0] = t1 + t2;
    }
    for (int i = 0; i < 8; ++i) state[i] += v[i];
}

}  // namespace

void Sha256(const unsigned char* data, DWORD size, unsigned char digest[32]) {
    DWORD state[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                      0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    DWORD done = 0;
    for (; size - done >= 64; done += 64) Compress(state, data + done);

    // Last one or two blocks: the tail, the 0x80 marker, zeros, the bit length.
    unsigned char tail[128] = {};
    DWORD rest = size - done;
    for (DWORD i = 0; i < rest; ++i) tail[i] = data[done + i];
    tail[rest] = 0x80;
    DWORD tailSize = rest < 56 ? 64 : 128;
    unsigned long long bits = (unsigned long long)size * 8;
    for (int i = 0; i < 8; ++i) tail[tailSize - 1 - i] = (unsigned char)(bits >> (8 * i));
    for (DWORD at = 0; at < tailSize; at += 64) Compress(state, tail + at);

    for (int i = 0; i < 8; ++i) {
        digest[4 * i] = (unsigned char)(state[i] >> 24);
        digest[4 * i + 1] = (unsigned char)(state[i] >> 16);
        digest[4 * i + 2] = (unsigned char)(state[i] >> 8);
        digest[4 * i + 3] = (unsigned char)state[i];
    }
}
