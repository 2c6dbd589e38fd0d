// Written in UTF-8; the build compiles this file with a code page 932 execution
// character set, so every literal below reaches the ANSI calls as CP932 bytes.
// Watch the look-alikes: "’" is U+2019, "～" is U+FF5E (not U+301C), and the
// ideographic spaces (U+3000) at line ends are part of the texts.
#include "message_catalogue.h"

const MessageEntry MessageCatalogue[MESSAGE_COUNT] = {
    // MSG_NOT_INSTALLED: title
    {"’%s’がＩＮＳＴＡＬＬされていません。\n"
     "\n"
     "ＨＤＤに本編をＩＮＳＴＡＬＬした後に　\n"
     "再度、当ソフトを実行してください。",
     true, true, MB_OK | MB_ICONERROR},
    // MSG_DATA_BROKEN
    {"アップデート用のデータが壊れています。\n"
     "強制終了します。",
     false, false, MB_OK | MB_ICONERROR},
    // MSG_CONFIRM: install folder, title
    {"ＨＤＤ[ %s ] にインストールされた\n"
     "　’%s’のアップデートを開始します。　",
     true, true, MB_OKCANCEL | MB_ICONINFORMATION | MB_TASKMODAL},
    // MSG_CANCELLED: title
    {"’%s’のアップデートを中止しました。", true, true, MB_OK | MB_ICONINFORMATION},
    // MSG_WAIT
    {"～　しばらくお待ちください　～", false, true, 0},
    // MSG_PROGRESS: step, total
    {"アップデート作業中です。(%d/%d)", true, true, 0},
    // MSG_DONE: title, main program
    {"’%s’のアップデートが終了しました。　\n"
     "\n"
     "『 %s 』をダブルクリックすると起動します。",
     true, true, MB_OK | MB_ICONINFORMATION},
    // MSG_SAVE_WARNING
    {"※アップデート前に保存されたセーブデータは使用できませんのでご注意ください", false, true,
     MB_OK | MB_ICONWARNING},
    // MSG_WRITE_FAILED: title, first output path that could not be written
    {"’%s’のアップデートに失敗しました。\n"
     "\n"
     "[ %s ] に書き込めませんでした。\n"
     "\n"
     "本編を終了し、ファイルが書き込める状態か確認してから、\n"
     "再度、当ソフトを実行してください。",
     true, true, MB_OK | MB_ICONERROR},
};
