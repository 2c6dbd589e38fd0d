// The progress window, made from the template compiled into the built image.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "resources/resource_ids.h"
#include "code_page_text.h"
#include "test_files.h"
#include "ui/progress_window.h"

namespace {

std::string Text(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// Nothing pumps messages while the members are written, so whatever the window
// has not painted by the time the call returns, the user never sees.
bool Unpainted(HWND window) { return GetUpdateRect(window, nullptr, FALSE) != FALSE; }

class ProgressWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        image = LoadBuiltImage();
    }
    static void TearDownTestSuite() {
        if (image) FreeLibrary(image);
        image = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u);
        ASSERT_NE(image, nullptr) << "cannot load " << BuildPath("updtav01_image.exe");
    }
    static HMODULE image;
};

HMODULE ProgressWindow::image = nullptr;

TEST_F(ProgressWindow, ShowsTheToolCaptionNoCloseBoxAndCountsTheMembers) {
    HWND window = OpenProgressWindow(image);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(Text(window), "Tavresk Update Tool");
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_FALSE(style & WS_SYSMENU) << "a close box would let the user dismiss it mid-write";
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(Text(GetDlgItem(window, IDC_WAIT)), Cp932FromWide(L"～\u3000しばらくお待ちください\u3000～"));
    EXPECT_EQ(Text(GetDlgItem(window, IDC_STATUS)), Cp932FromWide(L"アップデートをしています。"));
    EXPECT_FALSE(Unpainted(window));
    EXPECT_FALSE(Unpainted(GetDlgItem(window, IDC_WAIT)));

    const wchar_t* const steps[] = {L"アップデート作業中です。(1/4)", L"アップデート作業中です。(2/4)",
                                    L"アップデート作業中です。(3/4)", L"アップデート作業中です。(4/4)"};
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        SetProgressStep(window, n, 4);
        EXPECT_EQ(Text(GetDlgItem(window, IDC_STATUS)), Cp932FromWide(steps[n - 1]));
        EXPECT_FALSE(Unpainted(GetDlgItem(window, IDC_STATUS))) << "the new count is never drawn";
    }

    CloseProgressWindow(window);
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
