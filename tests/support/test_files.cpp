#include "test_files.h"

#include <windows.h>

#include <cstdio>

#include "updatedata/member_table.h"

namespace {

// A host path such as /work/build maps to Wine's Z: drive.
std::string HostToWindows(const char* variable, const char* relative) {
    char host[MAX_PATH] = "";
    GetEnvironmentVariableA(variable, host, MAX_PATH);
    std::string path = std::string("Z:") + host + "/" + relative;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace

std::string MakeScratchFolder(const char* label) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static unsigned serial = 0;
    char folder[MAX_PATH];
    std::snprintf(folder, sizeof(folder), "%supdtav-%s-%lu-%u", temp, label, GetCurrentProcessId(), ++serial);
    RemoveTree(folder);
    CreateDirectoryA(folder, nullptr);
    return folder;
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, nullptr);
    bytes->assign(size, '\0');
    DWORD got = 0;
    bool ok = size == 0 || (ReadFile(file, &(*bytes)[0], size, &got, nullptr) && got == size);
    CloseHandle(file);
    return ok;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    bool ok = bytes.empty() || (WriteFile(file, bytes.data(), (DWORD)bytes.size(), &put, nullptr) && put == bytes.size());
    return CloseHandle(file) && ok;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string BuildPath(const char* relative) { return HostToWindows("UPDTAV_BINARY_DIR", relative); }
std::string SourcePath(const char* relative) { return HostToWindows("UPDTAV_SOURCE_DIR", relative); }

HMODULE LoadBuiltImage() {
    return LoadLibraryExA(BuildPath("updtav01_image.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

std::string MemberBytes(int index) {
    std::string relative = std::string(MemberTable[index].Name) + ".MPX";
    std::string bytes;
    ReadWholeFile(HostToWindows("UPDTAV_MEMBERS_DIR", relative.c_str()), &bytes);
    return bytes;
}
