// Conversions between the tool's code page 932 bytes and the text the tests
// write (UTF-16 literals) or print (UTF-8), done by the platform.
#pragma once

#include <string>

std::string Cp932FromWide(const std::wstring& wide);
std::string Cp932FromUtf8(const std::string& utf8);
std::string Utf8FromCp932(const std::string& cp932);
