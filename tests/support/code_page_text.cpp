#include "code_page_text.h"

#include <windows.h>

namespace {

std::wstring WideFrom(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    int size = MultiByteToWideChar(codePage, 0, bytes.data(), (int)bytes.size(), nullptr, 0);
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), (int)bytes.size(), &wide[0], size);
    return wide;
}

std::string BytesFrom(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return std::string();
    int size = WideCharToMultiByte(codePage, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), (int)wide.size(), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

}  // namespace

std::string Cp932FromWide(const std::wstring& wide) { return BytesFrom(932, wide); }
std::string Cp932FromUtf8(const std::string& utf8) { return BytesFrom(932, WideFrom(CP_UTF8, utf8)); }
std::string Utf8FromCp932(const std::string& cp932) { return BytesFrom(CP_UTF8, WideFrom(932, cp932)); }
