// The installation lookup against the real registry of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/text_limits.h"
#include "install/installation_lookup.h"

namespace {

const char* const PARENT_KEY = "SOFTWARE\\Quorvane\\TAVS";
const char* const INSTALL_KEY = "SOFTWARE\\Quorvane\\TAVS\\Installed";
const char* const VALUE_NAME = "Distination Path";

class InstallationLookup : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, INSTALL_KEY);
        HKEY parent;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, PARENT_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &parent,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(parent);
    }
    void TearDown() override { RegDeleteKeyA(HKEY_LOCAL_MACHINE, INSTALL_KEY); }

    static void CreateInstallKey() {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, INSTALL_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    static void SetValue(DWORD type, const std::string& data) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, INSTALL_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, VALUE_NAME, 0, type, (const BYTE*)data.data(), (DWORD)data.size()),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    // The folder as ReadInstallFolder hands it on, or "<unusable>".
    static std::string Read() {
        char folder[PATH_BUFFER_SIZE];
        memset(folder, 'x', sizeof(folder));
        if (!ReadInstallFolder(folder)) return "<unusable>";
        return folder;
    }
};

TEST_F(InstallationLookup, KeyAbsentUnderAnExistingParentIsNotInstalled) {
    EXPECT_FALSE(IsProductInstalled());
    EXPECT_EQ(Read(), "<unusable>");
}

TEST_F(InstallationLookup, KeyWithoutValuesIsInstalledButHasNoUsableFolder) {
    CreateInstallKey();
    EXPECT_TRUE(IsProductInstalled());
    EXPECT_EQ(Read(), "<unusable>");
}

struct ValueCase {
    const char* name;
    DWORD type;
    std::string data;      // as stored, terminator included where wanted
    std::string expected;  // folder read back, or "<unusable>"
};

std::string Sz(const std::string& text) { return text + '\0'; }

std::vector<ValueCase> ValueCases() {
    const std::string japanese = "C:\\\x83\x51\x81\x5B\x83\x80\\\x93\x96\x83\x5C\x83\x74\x83\x67";  // C:\ゲーム\当ソフト
    const std::string at111 = "C:\\" + std::string(108, 'a');
    const std::string at112 = "C:\\" + std::string(109, 'a');
    return {
        {"Plain", REG_SZ, Sz("C:\\Games\\Tavresk"), "C:\\Games\\Tavresk"},
        {"TrailingBackslashKept", REG_SZ, Sz("C:\\Games\\Tavresk\\"), "C:\\Games\\Tavresk\\"},
        {"JapaneseWith5CTrailBytes", REG_SZ, Sz(japanese), japanese},
        {"SpacesKept", REG_SZ, Sz("C:\\Program Files\\Tav resk"), "C:\\Program Files\\Tav resk"},
        {"ExpandStringNotExpanded", REG_EXPAND_SZ, Sz("%ProgramFiles%\\Tav"), "%ProgramFiles%\\Tav"},
        {"EmptyString", REG_SZ, Sz(""), ""},
        // The registry hands the string back terminated; nothing may follow it.
        {"StoredWithoutTerminator", REG_SZ, "C:\\Games", "C:\\Games"},
        {"Longest111Bytes", REG_SZ, Sz(at111), at111},
        {"TooLong112Bytes", REG_SZ, Sz(at112), "<unusable>"},
        {"LongerThanTheRead", REG_SZ, Sz("C:\\" + std::string(300, 'b')), "<unusable>"},
        {"Number", REG_DWORD, std::string("\x01\x00\x00\x00", 4), "<unusable>"},
        {"Binary", REG_BINARY, Sz("C:\\Games"), "<unusable>"},
        {"MultiString", REG_MULTI_SZ, Sz(Sz("C:\\Games")), "<unusable>"},
    };
}

class InstallFolderValue : public InstallationLookup, public testing::WithParamInterface<ValueCase> {};

TEST_P(InstallFolderValue, IsReadVerbatimOrRefused) {
    SetValue(GetParam().type, GetParam().data);
    EXPECT_TRUE(IsProductInstalled());
    EXPECT_EQ(Read(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, InstallFolderValue, testing::ValuesIn(ValueCases()),
                         [](const testing::TestParamInfo<ValueCase>& info) { return info.param.name; });

}  // namespace
