#include "installation_lookup.h"

#include <windows.h>

#include "../app/product_profile.h"
#include "../app/text_limits.h"
#include "../updatedata/member_table.h"

static_assert(MAX_INSTALL_FOLDER_LENGTH + sizeof("\\MPX\\") - 1 + MEMBER_NAME_MAX + sizeof(".MPX") ==
                  PATH_BUFFER_SIZE,
              "the longest install folder must leave room for every output path");

namespace {

// What the installer is allowed to have written: the value is read with this limit.
constexpr DWORD REGISTRY_READ_SIZE = 256;

}  // namespace

bool IsProductInstalled() {
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, ProductProfile.InstallKey, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool ReadInstallFolder(char* folder) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ProductProfile.InstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    char data[REGISTRY_READ_SIZE];
    DWORD type = REG_NONE;
    DWORD size = sizeof(data);
    LONG status = RegQueryValueExA(key, ProductProfile.InstallValueName, nullptr, &type, (BYTE*)data, &size);
    RegCloseKey(key);

    // REG_EXPAND_SZ is taken as it stands too: the folder is never expanded.
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;

    DWORD length = 0;
    while (length < size && data[length] != '\0') ++length;
    if (length == size || length > MAX_INSTALL_FOLDER_LENGTH) return false;

    for (DWORD i = 0; i <= length; ++i) folder[i] = data[i];
    return true;
}
