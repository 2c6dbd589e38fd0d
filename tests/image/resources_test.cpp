// The resources the built image carries, read back from the file and parsed
// byte by byte: what the resource compiler made of the .rc, not what it says.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_files.h"

namespace {

const WORD JAPANESE = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);  // 0x0411

class ImageResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        image = LoadBuiltImage();
    }
    static void TearDownTestSuite() {
        if (image) FreeLibrary(image);
        image = nullptr;
    }
    void SetUp() override { ASSERT_NE(image, nullptr) << "cannot load " << BuildPath("updtav01_image.exe"); }

    // The resource's bytes, or an empty string when it is missing.
    static std::string Resource(LPCSTR type, LPCSTR name, WORD language) {
        HRSRC found = FindResourceExA(image, type, name, language);
        if (!found) return std::string();
        HGLOBAL loaded = LoadResource(image, found);
        const char* bytes = static_cast<const char*>(LockResource(loaded));
        return bytes ? std::string(bytes, SizeofResource(image, found)) : std::string();
    }

    static HMODULE image;
};

HMODULE ImageResources::image = nullptr;

// Reads a dialog template in order; every read is bounds-checked, so a short
// or malformed template fails the test instead of reading past it.
struct Reader {
    const std::string& Bytes;
    size_t At = 0;
    bool Overrun = false;

    template <typename T>
    T Get() {
        T value{};
        if (At + sizeof(T) > Bytes.size()) {
            Overrun = true;
            return value;
        }
        std::memcpy(&value, Bytes.data() + At, sizeof(T));
        At += sizeof(T);
        return value;
    }
    std::wstring String() {
        std::wstring text;
        for (wchar_t c = Get<WORD>(); c && !Overrun; c = Get<WORD>()) text += c;
        return text;
    }
    // A name-or-ordinal field: 0 for none, 0xFFFF and a number, or a string.
    std::wstring NameOrOrdinal(WORD* ordinal) {
        *ordinal = 0;
        WORD first = Get<WORD>();
        if (first == 0) return std::wstring();
        if (first == 0xFFFF) {
            *ordinal = Get<WORD>();
            return std::wstring();
        }
        At -= sizeof(WORD);
        return String();
    }
    void AlignToDword() { At = (At + 3) & ~size_t(3); }
};

struct ControlExpected {
    WORD Id;
    short X, Y, Cx, Cy;
    const wchar_t* Text;
};

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR seen) {
    reinterpret_cast<std::vector<WORD>*>(seen)->push_back(language);
    return TRUE;
}

TEST_F(ImageResources, ProgressDialogTemplateHasItsLayoutFontAndTexts) {
    // Only in Japanese: a lookup by language would quietly fall back to a neutral copy.
    std::vector<WORD> languages;
    EnumResourceLanguagesA(image, RT_DIALOG, MAKEINTRESOURCEA(101), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, std::vector<WORD>{JAPANESE});

    const std::string dialog = Resource(RT_DIALOG, MAKEINTRESOURCEA(101), JAPANESE);
    ASSERT_FALSE(dialog.empty()) << "no dialog 101 in language 0x0411";
    Reader r{dialog};

    EXPECT_EQ(r.Get<DWORD>(), 0x80C008C0u) << "style";  // an extended template would start 1, 0xFFFF
    EXPECT_EQ(r.Get<DWORD>(), 0u) << "extended style";
    const WORD count = r.Get<WORD>();
    EXPECT_EQ(r.Get<short>(), 0);
    EXPECT_EQ(r.Get<short>(), 0);
    EXPECT_EQ(r.Get<short>(), 154);
    EXPECT_EQ(r.Get<short>(), 45);
    WORD ordinal;
    EXPECT_EQ(r.NameOrOrdinal(&ordinal), L"") << "menu";
    EXPECT_EQ(ordinal, 0) << "menu";
    EXPECT_EQ(r.NameOrOrdinal(&ordinal), L"") << "window class";
    EXPECT_EQ(ordinal, 0) << "window class";
    EXPECT_EQ(r.String(), L"Update tool.");
    EXPECT_EQ(r.Get<WORD>(), 9) << "font size";
    EXPECT_EQ(r.String(), L"ＭＳ Ｐゴシック");
    ASSERT_EQ(count, 2);

    const ControlExpected controls[] = {
        {102, 7, 7, 140, 13, L"アップデートをしています。"},
        {1000, 7, 24, 140, 13, L"～\u3000しばらくお待ちください\u3000～"},
    };
    for (const ControlExpected& c : controls) {
        SCOPED_TRACE(c.Id);
        r.AlignToDword();
        EXPECT_EQ(r.Get<DWORD>(), 0x50020201u) << "style";
        EXPECT_EQ(r.Get<DWORD>(), 0u) << "extended style";
        EXPECT_EQ(r.Get<short>(), c.X);
        EXPECT_EQ(r.Get<short>(), c.Y);
        EXPECT_EQ(r.Get<short>(), c.Cx);
        EXPECT_EQ(r.Get<short>(), c.Cy);
        EXPECT_EQ(r.Get<WORD>(), c.Id);
        EXPECT_EQ(r.NameOrOrdinal(&ordinal), L"");
        EXPECT_EQ(ordinal, 0x0082) << "not the predefined static class";
        EXPECT_EQ(r.NameOrOrdinal(&ordinal), c.Text);
        EXPECT_EQ(r.Get<WORD>(), 0) << "creation data";
    }
    EXPECT_FALSE(r.Overrun) << "template shorter than its fields";
}

#pragma pack(push, 1)
struct IconGroupHeader {
    WORD Reserved, Type, Count;
};
struct IconGroupEntry {
    BYTE Width, Height, ColorCount, Reserved;
    WORD Planes, BitCount;
    DWORD BytesInRes;
    WORD Id;
};
#pragma pack(pop)

TEST_F(ImageResources, IconGroupAAHoldsOne32x32TrueColourImage) {
    const std::string group = Resource(RT_GROUP_ICON, "AA", JAPANESE);
    ASSERT_EQ(group.size(), sizeof(IconGroupHeader) + sizeof(IconGroupEntry)) << "not exactly one image";
    IconGroupHeader header;
    IconGroupEntry entry;
    std::memcpy(&header, group.data(), sizeof(header));
    std::memcpy(&entry, group.data() + sizeof(header), sizeof(entry));
    EXPECT_EQ(header.Type, 1) << "icon, not cursor";
    EXPECT_EQ(header.Count, 1);
    EXPECT_EQ(entry.Width, 32);
    EXPECT_EQ(entry.Height, 32);
    EXPECT_EQ(entry.BitCount, 24);
    EXPECT_EQ(entry.Id, 1);

    const std::string icon = Resource(RT_ICON, MAKEINTRESOURCEA(1), JAPANESE);
    ASSERT_GE(icon.size(), sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(icon.size(), entry.BytesInRes);
    BITMAPINFOHEADER bitmap;
    std::memcpy(&bitmap, icon.data(), sizeof(bitmap));
    EXPECT_EQ(bitmap.biSize, sizeof(BITMAPINFOHEADER)) << "not a BMP-style icon image";
    EXPECT_EQ(bitmap.biWidth, 32);
    EXPECT_EQ(bitmap.biHeight, 64) << "colour and mask, 32 rows each";
    EXPECT_EQ(bitmap.biBitCount, 24);
    // Header, 32 rows of 96 colour bytes, 32 rows of a 4-byte mask.
    EXPECT_EQ(icon.size(), sizeof(BITMAPINFOHEADER) + 32 * 96 + 32 * 4);
}

TEST_F(ImageResources, ManifestAsksForAdministratorAndNamesTheSystemsItKnows) {
    const std::string manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEA(1), JAPANESE);
    ASSERT_FALSE(manifest.empty()) << "no manifest 1";
    const char* const required[] = {
        "level=\"requireAdministrator\"",
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
        "<dpiAware",
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
    };
    for (const char* text : required) EXPECT_NE(manifest.find(text), std::string::npos) << "missing " << text;
    // The texts are code page 932 bytes for the ANSI calls; a UTF-8 code page would garble every one.
    EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos);
}

TEST(ImageVersionInfo, NamesTheProductAndTheFileInJapanese) {
    const std::string path = BuildPath("updtav01_image.exe");
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version information";
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u) << "exactly one translation";
    const WORD* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 1200);

    auto text = [&](const char* name) {
        std::string query = std::string("\\StringFileInfo\\041104b0\\") + name;
        void* found = nullptr;
        UINT chars = 0;
        if (!VerQueryValueA(info.data(), query.c_str(), &found, &chars) || !found) return std::string("(missing)");
        return std::string(static_cast<const char*>(found));
    };
    EXPECT_EQ(text("ProductName"), "Tavresk");
    EXPECT_EQ(text("OriginalFilename"), "UPDTAV01.EXE");
    for (const char* name : {"FileDescription", "FileVersion"}) {
        std::string got = text(name);
        EXPECT_TRUE(got != "(missing)" && !got.empty()) << name;
    }
}

}  // namespace
