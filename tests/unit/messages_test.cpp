// The catalogue's exact bytes and the boxes the user really sees.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "app/product_profile.h"
#include "app/text_limits.h"
#include "code_page_text.h"
#include "message_box_probe.h"
#include "ui/message_box.h"
#include "ui/message_catalogue.h"

namespace {

// The texts as the user reads them, written here in UTF-16 so a wrong byte in
// the stored code page 932 cannot hide behind the same wrong byte in the test.
// The ideographic spaces are spelt \u3000: invisible at a line's end, they are
// exactly what gets lost.
const wchar_t* const ExpectedTexts[MESSAGE_COUNT] = {
    // MSG_NOT_INSTALLED
    L"’%s’がＩＮＳＴＡＬＬされていません。\n"
    L"\n"
    L"ＨＤＤに本編をＩＮＳＴＡＬＬした後に\u3000\n"
    L"再度、当ソフトを実行してください。",
    // MSG_DATA_BROKEN
    L"アップデート用のデータが壊れています。\n"
    L"強制終了します。",
    // MSG_CONFIRM
    L"ＨＤＤ[ %s ] にインストールされた\n"
    L"\u3000’%s’のアップデートを開始します。\u3000",
    // MSG_CANCELLED
    L"’%s’のアップデートを中止しました。",
    // MSG_WAIT
    L"～\u3000しばらくお待ちください\u3000～",
    // MSG_PROGRESS
    L"アップデート作業中です。(%d/%d)",
    // MSG_DONE
    L"’%s’のアップデートが終了しました。\u3000\n"
    L"\n"
    L"『 %s 』をダブルクリックすると起動します。",
    // MSG_SAVE_WARNING
    L"※アップデート前に保存されたセーブデータは使用できませんのでご注意ください",
    // MSG_WRITE_FAILED
    L"’%s’のアップデートに失敗しました。\n"
    L"\n"
    L"[ %s ] に書き込めませんでした。\n"
    L"\n"
    L"本編を終了し、ファイルが書き込める状態か確認してから、\n"
    L"再度、当ソフトを実行してください。",
};

const char* const Names[MESSAGE_COUNT] = {"NOT_INSTALLED", "DATA_BROKEN", "CONFIRM",   "CANCELLED",   "WAIT",
                                          "PROGRESS",      "DONE",        "SAVE_WARNING", "WRITE_FAILED"};

// Strict: a byte sequence that is not valid code page 932 fails instead of
// turning into a default character.
bool Cp932ToUtf16(const char* bytes, std::wstring* wide) {
    int length = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, -1, nullptr, 0);
    if (length <= 0) return false;
    wide->assign(length, L'\0');
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, -1, &(*wide)[0], length);
    wide->resize(length - 1);
    return true;
}

// The box text the user must see: the expected text with its "%s" filled in
// order. A "%" can never be a trail byte of code page 932, so a byte search is safe.
std::string Composed(MessageId id, const char* arg1 = nullptr, const char* arg2 = nullptr) {
    std::string text = Cp932FromWide(ExpectedTexts[id]);
    for (const char* arg : {arg1, arg2}) {
        size_t at = text.find("%s");
        if (at == std::string::npos) break;
        text.replace(at, 2, arg);
    }
    return text;
}

std::string Hex(const std::string& bytes) {
    std::string out;
    char two[4];
    for (unsigned char c : bytes) {
        std::snprintf(two, sizeof(two), "%02X ", c);
        out += two;
    }
    return out;
}

TEST(MessageCatalogue, EveryTextIsTheJapaneseTheUserShouldRead) {
    ASSERT_EQ(GetACP(), 932u) << "the session must run with the Japanese code page";
    for (int id = 0; id < MESSAGE_COUNT; ++id) {
        SCOPED_TRACE(Names[id]);
        std::wstring decoded;
        ASSERT_TRUE(Cp932ToUtf16(MessageCatalogue[id].Text, &decoded)) << "not valid code page 932";
        EXPECT_EQ(decoded, ExpectedTexts[id]);
    }
}

// The look-alike characters, pinned as bytes where the texts carry them.
TEST(MessageCatalogue, LookAlikeCharactersHaveTheirExactBytes) {
    struct Pin {
        MessageId Id;
        const char* Bytes;
        enum { Start, Anywhere, End } Where;
    };
    const Pin pins[] = {
        {MSG_NOT_INSTALLED, "\x81\x66" "%s" "\x81\x66", Pin::Start},           // ’%s’
        {MSG_NOT_INSTALLED, "\x81\x40\n", Pin::Anywhere},                      // U+3000 at a line end
        {MSG_NOT_INSTALLED, "\x93\x96\x83\x5C", Pin::Anywhere},                // 当ソ
        {MSG_CONFIRM, "\n\x81\x40\x81\x66" "%s" "\x81\x66", Pin::Anywhere},    // U+3000 at a line start, ’%s’
        {MSG_CONFIRM, "\x81\x40", Pin::End},                                   // U+3000 at the end
        {MSG_CANCELLED, "\x81\x66" "%s" "\x81\x66", Pin::Start},
        {MSG_WAIT, "\x81\x60\x81\x40", Pin::Start},                            // ～ U+FF5E, not U+301C
        {MSG_WAIT, "\x81\x40\x81\x60", Pin::End},
        {MSG_DONE, "\x81\x66" "%s" "\x81\x66", Pin::Start},
        {MSG_DONE, "\x81\x40\n\n", Pin::Anywhere},
        {MSG_WRITE_FAILED, "\x81\x66" "%s" "\x81\x66", Pin::Start},
        {MSG_WRITE_FAILED, "\x93\x96\x83\x5C", Pin::Anywhere},
    };
    for (const Pin& pin : pins) {
        const std::string text = MessageCatalogue[pin.Id].Text;
        const std::string bytes = pin.Bytes;
        SCOPED_TRACE(std::string(Names[pin.Id]) + ": " + Hex(bytes));
        size_t at = text.find(bytes);
        ASSERT_NE(at, std::string::npos) << Hex(text);
        if (pin.Where == Pin::Start) EXPECT_EQ(at, 0u);
        if (pin.Where == Pin::End) EXPECT_EQ(text.rfind(bytes), text.size() - bytes.size());
    }
}

// The flags each box is asked for: buttons, icon, and the task-modal
// confirmation, which no reading of the box itself reveals. The captions are
// read off the real boxes below.
TEST(MessageCatalogue, EachBoxIsAskedForWithItsButtonsAndIcon) {
    const UINT flags[MESSAGE_COUNT] = {
        0x10,    // MSG_NOT_INSTALLED: OK, error
        0x10,    // MSG_DATA_BROKEN: OK, error
        0x2041,  // MSG_CONFIRM: OK and Cancel, information, task-modal
        0x40,    // MSG_CANCELLED: OK, information
        0,       // MSG_WAIT: a line of the progress window, no box
        0,       // MSG_PROGRESS: likewise
        0x40,    // MSG_DONE: OK, information
        0x30,    // MSG_SAVE_WARNING: OK, warning
        0x10,    // MSG_WRITE_FAILED: OK, error
    };
    for (int id = 0; id < MESSAGE_COUNT; ++id) EXPECT_EQ(MessageCatalogue[id].BoxFlags, flags[id]) << Names[id];
}

// A box as it appeared, and what ShowMessage returned once it was answered.
struct ShownBox {
    bool Appeared = false;
    SeenBox Box;
    HICON Icon = nullptr;
    int Result = 0;
};

// Shows the box on this thread while a watcher finds it, reads it and answers.
ShownBox ShowAndAnswer(MessageId id, const char* arg1, const char* arg2, BoxAnswer answer) {
    ShownBox shown;
    std::thread watcher([&] {
        shown.Appeared = WaitForMessageBox(GetCurrentProcessId(), 10000, &shown.Box);
        if (!shown.Appeared) return;
        // The box's icon control; system icons are shared, so the handle tells which icon it is.
        shown.Icon = (HICON)SendDlgItemMessageA(shown.Box.Window, 0x0440, STM_GETICON, 0, 0);
        AnswerMessageBox(shown.Box, answer);
    });
    shown.Result = ShowMessage(id, arg1, arg2);
    watcher.join();
    return shown;
}

class MessageBoxes : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 932u); }
};

TEST_F(MessageBoxes, EveryBoxShowsItsCaptionTextButtonsAndIcon) {
    const char* title = ProductProfile.ProductTitle;
    const char* folder = "C:\\Games\\Tavresk";
    const char* failed = "C:\\Games\\Tavresk\\MPX\\E-EAK2.MPX";
    struct Case {
        MessageId Id;
        const char* Arg1;
        const char* Arg2;
        const char* Caption;
        bool HasCancel;
        LPCSTR Icon;
    };
    const Case cases[] = {
        {MSG_NOT_INSTALLED, title, nullptr, "Tavresk Update Tool", false, IDI_HAND},
        {MSG_DATA_BROKEN, nullptr, nullptr, "UPDATE TOOL.", false, IDI_HAND},
        {MSG_CONFIRM, folder, title, "Tavresk Update Tool", true, IDI_ASTERISK},
        {MSG_CANCELLED, title, nullptr, "Tavresk Update Tool", false, IDI_ASTERISK},
        {MSG_DONE, title, ProductProfile.MainProgramName, "Tavresk Update Tool", false, IDI_ASTERISK},
        {MSG_SAVE_WARNING, nullptr, nullptr, "Tavresk Update Tool", false, IDI_EXCLAMATION},
        {MSG_WRITE_FAILED, title, failed, "Tavresk Update Tool", false, IDI_HAND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Names[c.Id]);
        ShownBox shown = ShowAndAnswer(c.Id, c.Arg1, c.Arg2, BoxAnswer::Ok);
        ASSERT_TRUE(shown.Appeared);
        EXPECT_EQ(shown.Box.Caption, c.Caption);
        EXPECT_EQ(shown.Box.Text, Composed(c.Id, c.Arg1, c.Arg2)) << Hex(shown.Box.Text);
        EXPECT_TRUE(shown.Box.HasOk);
        EXPECT_EQ(shown.Box.HasCancel, c.HasCancel);
        EXPECT_EQ(shown.Icon, LoadIconA(nullptr, c.Icon));
        EXPECT_EQ(shown.Result, IDOK);
    }
}

TEST_F(MessageBoxes, OnlyOkOnTheConfirmationGoesAhead) {
    const struct {
        BoxAnswer Answer;
        bool GoesAhead;
    } answers[] = {{BoxAnswer::Ok, true}, {BoxAnswer::Cancel, false}, {BoxAnswer::CloseBox, false}};
    for (const auto& a : answers) {
        SCOPED_TRACE(static_cast<int>(a.Answer));
        ShownBox shown = ShowAndAnswer(MSG_CONFIRM, "C:\\Games\\Tavresk", ProductProfile.ProductTitle, a.Answer);
        ASSERT_TRUE(shown.Appeared);
        EXPECT_EQ(shown.Result == IDOK, a.GoesAhead) << "returned " << shown.Result;
    }
}

// The longest install folder the paths admit, in Japanese, with trail bytes of
// 0x5C (ソ, 表, 能, 予, 十) that byte-wise backslash handling would break.
TEST_F(MessageBoxes, ConfirmationShowsALongJapaneseFolderWhole) {
    const std::string folder = Cp932FromWide(
        L"C:\\Program Files\\クオルヴェーン\\タヴレスク\u3000ソフト表示能力予定版\\本編データ十二\\"
        L"ゲーム本体ソフトウェア十一 (R2)");
    ASSERT_EQ(folder.size(), 111u);
    ASSERT_NE(folder.find("\x83\x5C"), std::string::npos);

    ShownBox shown = ShowAndAnswer(MSG_CONFIRM, folder.c_str(), ProductProfile.ProductTitle, BoxAnswer::Cancel);
    ASSERT_TRUE(shown.Appeared);
    EXPECT_EQ(shown.Box.Text, Composed(MSG_CONFIRM, folder.c_str(), ProductProfile.ProductTitle))
        << Hex(shown.Box.Text);
}

TEST(ComposeMessage, AnOverlongArgumentIsCutAndTerminatedInsideTheBuffer) {
    const std::string huge(600, 'A');
    const char GUARD = '\x5A';
    char text[TEXT_BUFFER_SIZE + 64];
    std::memset(text, GUARD, sizeof(text));

    ComposeMessage(text, MSG_CONFIRM, huge.c_str(), ProductProfile.ProductTitle);

    size_t length = strnlen(text, TEXT_BUFFER_SIZE);
    EXPECT_LT(length, TEXT_BUFFER_SIZE) << "not terminated inside the buffer";
    EXPECT_EQ(std::string(text, length), Composed(MSG_CONFIRM, huge.c_str(), "").substr(0, length));
    for (size_t i = TEXT_BUFFER_SIZE; i < sizeof(text); ++i) ASSERT_EQ(text[i], GUARD) << "wrote past the buffer at " << i;
}

}  // namespace
