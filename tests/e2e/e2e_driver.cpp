#include "e2e_driver.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>

#include "test_files.h"
#include "updatedata/member_table.h"

namespace {

const char* const INSTALL_KEY = "SOFTWARE\\Quorvane\\TAVS\\Installed";
const char* const INSTALL_VALUE = "Distination Path";
// Removed deepest first; a level that holds anything the tests did not make stays.
const char* const KEYS_MADE[] = {"SOFTWARE\\Quorvane\\TAVS\\Installed", "SOFTWARE\\Quorvane\\TAVS",
                                 "SOFTWARE\\Quorvane"};

const char* const TOOL_CAPTION = "Tavresk Update Tool";
const DWORD BOX_TIMEOUT_MS = 15000;
const DWORD CHILD_TIMEOUT_MS = 10000;
// More boxes than any run has: something is looping.
const size_t MAX_BOXES = 8;


std::string Lines(std::initializer_list<const wchar_t*> lines) {
    std::wstring text;
    bool first = true;
    for (const wchar_t* line : lines) {
        if (!first) text += L'\n';
        text += line;
        first = false;
    }
    return Cp932FromWide(text);
}

std::string LastError(const char* what) {
    return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

// ---- Explorer stub in place of C:\windows\explorer.exe ------------------------

std::string WindowsExplorer() {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\explorer.exe";
}

std::string ExplorerBackup() { return WindowsExplorer() + ".updtav-e2e-original"; }

// The child sees the stub only if Wine is told to prefer the file on disk over
// its built-in explorer; `n` alone would break Wine's own desktop process.
std::string OverrideVariable() { return "WINEDLLOVERRIDES=explorer.exe=n,b"; }

bool StartAndWait(const std::string& program, std::string commandLine, const std::vector<std::string>& environment) {
    std::string block;
    for (const std::string& entry : environment) block += entry + '\0';
    block += '\0';
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessA(program.empty() ? nullptr : program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                        environment.empty() ? nullptr : &block[0], nullptr, &startup, &process)) {
        return false;
    }
    bool ended = WaitForSingleObject(process.hProcess, CHILD_TIMEOUT_MS) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}

std::vector<std::string> InheritedEnvironment() {
    std::vector<std::string> entries;
    char* strings = GetEnvironmentStringsA();
    for (const char* p = strings; *p; p += std::strlen(p) + 1) entries.push_back(p);
    FreeEnvironmentStringsA(strings);
    return entries;
}

// The tool's environment: ours, with the stub's variables set over any of the same name.
std::vector<std::string> ToolEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> set = {OverrideVariable(), "EXPLORER_STUB_LOG=" + ExplorerLogPath()};
    set.insert(set.end(), extra.begin(), extra.end());
    std::vector<std::string> entries;
    for (const std::string& entry : InheritedEnvironment()) {
        bool replaced = false;
        for (const std::string& mine : set) {
            size_t name = mine.find('=');
            if (entry.size() > name && entry[name] == '=' &&
                lstrcmpiA(entry.substr(0, name).c_str(), mine.substr(0, name).c_str()) == 0) {
                replaced = true;
            }
        }
        if (!replaced) entries.push_back(entry);
    }
    entries.insert(entries.end(), set.begin(), set.end());
    return entries;
}

bool StubAnswers() {
    std::string log = ExplorerLogPath();
    ClearExplorerLog(log);
    StartAndWait(WindowsExplorer(), "explorer stub-check", ToolEnvironment({}));
    std::vector<std::string> lines = ExplorerLogLines(log);
    ClearExplorerLog(log);
    return lines == std::vector<std::string>{"explorer stub-check"};
}

// For the whole test program: the stub stands in for the Windows folder's
// explorer.exe, which is put back at the end. A backup left by an earlier run
// that died is the original, so it is never overwritten.
class ExplorerStubInstall : public testing::Environment {
public:
    void SetUp() override {
        GetDesktopWindow();  // Wine's desktop process starts now, from our environment, not the tool's
        std::string original = WindowsExplorer();
        if (!FileExists(ExplorerBackup())) {
            ASSERT_TRUE(CopyFileA(original.c_str(), ExplorerBackup().c_str(), TRUE))
                << LastError("backup of explorer.exe");
        }
        ASSERT_TRUE(CopyFileA(ExplorerStubPath().c_str(), original.c_str(), FALSE))
            << LastError(("copying " + ExplorerStubPath()).c_str());
        ASSERT_TRUE(StubAnswers()) << "the explorer stub is not run in place of " << original;
    }

    void TearDown() override {
        if (FileExists(ExplorerBackup()) && CopyFileA(ExplorerBackup().c_str(), WindowsExplorer().c_str(), FALSE)) {
            DeleteFileA(ExplorerBackup().c_str());
        } else {
            ADD_FAILURE() << LastError("restoring explorer.exe");
        }
        ClearExplorerLog(ExplorerLogPath());
    }
};

testing::Environment* const explorerStub = testing::AddGlobalTestEnvironment(new ExplorerStubInstall);

// ---- Watching the tool ---------------------------------------------------------


ULONGLONG CreationTime(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Whatever the tool started (Explorer) has run to its end before the log is
// read. A process id is soon reused, and long-lived processes (Wine's desktop
// among them) still name parents that ended long ago: only a process created
// after the tool can be the tool's child.
void WaitForChildren(HANDLE parent, DWORD parentId) {
    ULONGLONG parentCreated = CreationTime(parent);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != parentId) continue;
        HANDLE child = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                   entry.th32ProcessID);
        if (!child) continue;
        if (parentCreated != 0 && CreationTime(child) >= parentCreated &&
            WaitForSingleObject(child, CHILD_TIMEOUT_MS) != WAIT_OBJECT_0) {
            TerminateProcess(child, 1);  // a real Explorer window, had the stub not been taken
        }
        CloseHandle(child);
    }
    CloseHandle(snapshot);
}

std::string TypedFile(char letter, int member) {
    if (letter == 'o') return OldMemberBytes(member);
    if (letter == 'n') return MemberBytes(member);
    return std::string();
}

}  // namespace

// ---- Texts -----------------------------------------------------------------------

// U+3000 is the ideographic space; where a line starts or ends with one it is
// part of the text.
ExpectedBox NotInstalledBox() {
    return {TOOL_CAPTION,
            Lines({L"’Tavresk’がＩＮＳＴＡＬＬされていません。", L"", L"ＨＤＤに本編をＩＮＳＴＡＬＬした後に\u3000",
                   L"再度、当ソフトを実行してください。"})};
}

ExpectedBox DataBrokenBox() {
    return {"UPDATE TOOL.", Lines({L"アップデート用のデータが壊れています。", L"強制終了します。"})};
}

ExpectedBox ConfirmBox(const std::string& installFolder) {
    return {TOOL_CAPTION,
            Cp932FromWide(L"ＨＤＤ[ ") + installFolder +
                Lines({L" ] にインストールされた", L"\u3000’Tavresk’のアップデートを開始します。\u3000"}),
            true};
}

ExpectedBox CancelledBox() { return {TOOL_CAPTION, Lines({L"’Tavresk’のアップデートを中止しました。"})}; }

ExpectedBox DoneBox() {
    return {TOOL_CAPTION, Lines({L"’Tavresk’のアップデートが終了しました。\u3000", L"",
                                 L"『 TAV 』をダブルクリックすると起動します。"})};
}

ExpectedBox SaveWarningBox() {
    return {TOOL_CAPTION, Lines({L"※アップデート前に保存されたセーブデータは使用できませんのでご注意ください"})};
}

ExpectedBox WriteFailedBox(const std::string& path) {
    return {TOOL_CAPTION,
            Lines({L"’Tavresk’のアップデートに失敗しました。", L"", L"[ "}) + path +
                Lines({L" ] に書き込めませんでした。", L"", L"本編を終了し、ファイルが書き込める状態か確認してから、",
                       L"再度、当ソフトを実行してください。"})};
}

// ---- The installation -------------------------------------------------------------

void WriteInstallKey(const std::string& folder) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, INSTALL_KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    LONG status = RegSetValueExA(key, INSTALL_VALUE, 0, REG_SZ, (const BYTE*)folder.c_str(), (DWORD)folder.size() + 1);
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

void WriteInstallKeyWithoutValue() {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, INSTALL_KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void WriteInstallParentKeyOnly() {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, KEYS_MADE[1], 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void RemoveInstallKey() {
    for (const char* key : KEYS_MADE) RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    HKEY left;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, INSTALL_KEY, 0, KEY_READ, &left) == ERROR_SUCCESS) {
        RegCloseKey(left);
        ADD_FAILURE() << "the install key is still there";
    }
}

bool CreateFolderPath(const std::string& folder) {
    for (size_t i = 0; i < folder.size(); ++i) {
        if (IsDBCSLeadByteEx(932, (BYTE)folder[i])) {
            ++i;
            continue;
        }
        if (folder[i] == '\\' && i > 2) CreateDirectoryA(folder.substr(0, i).c_str(), nullptr);
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string MemberPath(const std::string& installFolder, int member) {
    return installFolder + "\\MPX\\" + MemberTable[member].Name + ".MPX";
}

std::string OldMemberBytes(int member) {
    std::string bytes = std::string("older ") + MemberTable[member].Name + " data\r\n";
    while (bytes.size() < MemberTable[member].Size + 100) bytes += char('a' + bytes.size() % 23);
    return bytes;
}

void PlaceMpxFolder(const std::string& mpxFolder, const std::string& state) {
    if (state.empty()) return;
    ASSERT_TRUE(CreateFolderPath(mpxFolder)) << Utf8FromCp932(mpxFolder);
    for (int n = 0; n < MEMBER_COUNT; ++n) {
        if (state[n] == '-') continue;
        std::string path = mpxFolder + "\\" + MemberTable[n].Name + ".MPX";
        ASSERT_TRUE(WriteWholeFile(path, TypedFile(state[n], n))) << Utf8FromCp932(path);
    }
}

std::string MpxDifferences(const std::string& mpxFolder, const std::string& state) {
    DWORD attributes = GetFileAttributesA(mpxFolder.c_str());
    if (state.empty()) {
        return attributes == INVALID_FILE_ATTRIBUTES ? "" : "the MPX folder was created";
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) return "the MPX folder is gone";

    std::string differences;
    std::vector<std::string> expectedNames;
    for (int n = 0; n < MEMBER_COUNT; ++n) {
        std::string name = std::string(MemberTable[n].Name) + ".MPX";
        std::string path = mpxFolder + "\\" + name;
        if (state[n] == '-') {
            if (FileExists(path)) differences += name + " was created; ";
            continue;
        }
        expectedNames.push_back(name);
        std::string bytes;
        if (!ReadWholeFile(path, &bytes)) {
            differences += name + " is missing; ";
        } else if (bytes != TypedFile(state[n], n)) {
            const char* kind = bytes == MemberBytes(n)      ? "the new member"
                               : bytes == OldMemberBytes(n) ? "the old copy"
                                                            : "other bytes";
            differences += name + " holds " + kind + " (" + std::to_string(bytes.size()) + " bytes), expected " +
                           (state[n] == 'n' ? "the new member; " : "the old copy; ");
        }
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((mpxFolder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            bool known = std::find(expectedNames.begin(), expectedNames.end(), name) != expectedNames.end();
            bool reported = differences.find(name) != std::string::npos;
            if (!known && !reported) differences += "stray file " + name + "; ";
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return differences;
}

// ---- Running the tool ---------------------------------------------------------------

ToolRun RunTool(const ToolStart& start) {
    ToolRun run;
    std::string commandLine = "\"" + start.Program + "\"" + (start.Arguments.empty() ? "" : " " + start.Arguments);
    std::string block;
    for (const std::string& entry : ToolEnvironment(start.Environment)) block += entry + '\0';
    block += '\0';

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessA(start.Program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, &block[0],
                        start.CurrentDirectory.c_str(), &startup, &process)) {
        run.Problem = LastError(("starting " + start.Program).c_str());
        return run;
    }
    CloseHandle(process.hThread);

    DWORD lastEvent = GetTickCount();
    for (;;) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            run.Exited = true;
            break;
        }
        SeenBox box;
        if (WaitForMessageBox(process.dwProcessId, 0, &box)) {
            size_t index = run.Boxes.size();
            run.Boxes.push_back(box);
            if (run.Boxes.size() > MAX_BOXES) {
                run.Problem = "more than " + std::to_string(MAX_BOXES) + " boxes";
                break;
            }
            AnswerMessageBox(box, index < start.Answers.size() ? start.Answers[index] : BoxAnswer::Ok);
            lastEvent = GetTickCount();
            continue;
        }
        if (!run.SawProgressWindow && FindProcessWindow(process.dwProcessId, TOOL_CAPTION)) run.SawProgressWindow = true;
        if (GetTickCount() - lastEvent > BOX_TIMEOUT_MS) {
            run.Problem = "no box and no end within " + std::to_string(BOX_TIMEOUT_MS / 1000) + " s after box " +
                          std::to_string(run.Boxes.size());
            break;
        }
        Sleep(1);
    }
    if (run.Exited) {
        GetExitCodeProcess(process.hProcess, &run.ExitCode);
    } else {
        TerminateProcess(process.hProcess, 0xDEAD);
        WaitForSingleObject(process.hProcess, 5000);
    }
    // Still holding the handle, so the id cannot have passed to another process.
    WaitForChildren(process.hProcess, process.dwProcessId);
    CloseHandle(process.hProcess);
    return run;
}

std::string ExplorerLogPath() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "updtav-e2e-explorer.log";
}

std::vector<std::string> ExplorerLogLines(const std::string& log) {
    std::vector<std::string> lines;
    std::string bytes;
    if (!ReadWholeFile(log, &bytes)) return lines;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

void ClearExplorerLog(const std::string& log) { DeleteFileA(log.c_str()); }

std::string ExplorerStubPath() { return BuildPath(EXPLORER_STUB_RELATIVE_PATH); }
std::string PlantedExplorerStubPath() { return BuildPath(PLANTED_EXPLORER_RELATIVE_PATH); }

namespace {

std::string DescribeBoxes(const std::vector<SeenBox>& boxes) {
    std::string text;
    for (const SeenBox& box : boxes) {
        text += "  [" + Utf8FromCp932(box.Caption) + "] " + Utf8FromCp932(box.Text) +
                (box.HasCancel ? " (OK, Cancel)" : "") + "\n";
    }
    return text.empty() ? "  (none)\n" : text;
}

}  // namespace

void ExpectBoxes(const ToolRun& run, const std::vector<ExpectedBox>& expected) {
    EXPECT_EQ(run.Problem, "") << "boxes seen:\n" << DescribeBoxes(run.Boxes);
    ASSERT_EQ(run.Boxes.size(), expected.size()) << "boxes seen:\n" << DescribeBoxes(run.Boxes);
    for (size_t i = 0; i < expected.size(); ++i) {
        const SeenBox& seen = run.Boxes[i];
        EXPECT_EQ(seen.Caption, expected[i].Caption) << "box " << i + 1;
        EXPECT_EQ(seen.Text, expected[i].Text) << "box " << i + 1 << "\n  seen:     " << Utf8FromCp932(seen.Text)
                                               << "\n  expected: " << Utf8FromCp932(expected[i].Text);
        EXPECT_TRUE(seen.HasOk) << "box " << i + 1;
        EXPECT_EQ(seen.HasCancel, expected[i].HasCancel) << "box " << i + 1;
    }
}

std::vector<ExpectedBox> CompletedBoxes(const std::string& installFolder) {
    return {ConfirmBox(installFolder), DoneBox(), SaveWarningBox()};
}

// ---- The fixture ------------------------------------------------------------------

void InstalledTitle::SetUp() {
    toolFolder_ = MakeScratchFolder("tool");
    ClearExplorerLog(ExplorerLogPath());
}

void InstalledTitle::TearDown() {
    ReleaseHeld();
    for (const std::string& path : immutable_) SetImmutable(path, false);
    RemoveInstallKey();
    if (!topFolder_.empty()) RemoveTree(topFolder_);
    RemoveTree(toolFolder_);
    if (!otherFolder_.empty()) RemoveTree(otherFolder_);
    ClearExplorerLog(ExplorerLogPath());
    if (!topFolder_.empty()) EXPECT_FALSE(FileExists(topFolder_)) << "left behind: " << Utf8FromCp932(topFolder_);
}

void InstalledTitle::Install(InstallKey key, const std::string& folderUtf8, const std::string& mpxBefore) {
    folder_ = Cp932FromUtf8(folderUtf8);
    std::string onDisk = folderUtf8;
    while (!onDisk.empty() && onDisk.back() == '\\') onDisk.pop_back();
    size_t top = onDisk.find('\\', 3);  // "C:\<top>\..."
    topFolder_ = Cp932FromUtf8(onDisk.substr(0, top));
    std::string diskFolder = Cp932FromUtf8(onDisk);
    mpxFolder_ = diskFolder + "\\MPX";

    RemoveTree(topFolder_);
    ASSERT_TRUE(CreateFolderPath(diskFolder)) << folderUtf8;
    PlaceMpxFolder(mpxFolder_, mpxBefore);
    switch (key) {
        case InstallKey::ParentOnly: WriteInstallParentKeyOnly(); break;
        case InstallKey::WithoutValue: WriteInstallKeyWithoutValue(); break;
        case InstallKey::WithFolder: WriteInstallKey(folder_); break;
    }
}

std::string InstalledTitle::PlaceTool(const std::string& bytes) {
    std::string path = toolFolder_ + "\\UPDTAV01.EXE";
    EXPECT_TRUE(WriteWholeFile(path, bytes)) << path;
    return path;
}

std::string InstalledTitle::OtherFolder() {
    if (otherFolder_.empty()) otherFolder_ = MakeScratchFolder("elsewhere");
    return otherFolder_;
}

bool InstalledTitle::HoldWithoutWriteSharing(const std::string& path) {
    held_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    return held_ != INVALID_HANDLE_VALUE;
}

void InstalledTitle::ReleaseHeld() {
    if (held_ != INVALID_HANDLE_VALUE) CloseHandle(held_);
    held_ = INVALID_HANDLE_VALUE;
}

bool InstalledTitle::MakeImmutable(const std::string& path) {
    immutable_.push_back(path);  // cleared at the end even if it took effect too late
    return SetImmutable(path, true);
}

const std::string& InstalledTitle::PackedTool() {
    static std::string bytes;
    if (bytes.empty()) ReadWholeFile(BuildPath("UPDTAV01.EXE"), &bytes);
    return bytes;
}

ToolStart InstalledTitle::StartInToolFolder() const {
    ToolStart start;
    start.Program = toolFolder_ + "\\UPDTAV01.EXE";
    start.CurrentDirectory = toolFolder_;
    return start;
}

// ---- Host help ----------------------------------------------------------------------

namespace {

// A folder is writable when a file can be made in it, a file when it opens for writing.
bool Writable(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    HANDLE file = folder ? CreateFileA((path + "\\updtav-probe.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_FLAG_DELETE_ON_CLOSE, nullptr)
                         : CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

}  // namespace

bool SetImmutable(const std::string& path, bool immutable) {
    // Wine hands a Windows path to the host as a Unix one through this export.
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    auto unixName = (UnixNameFn)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!unixName) return false;
    int size = MultiByteToWideChar(932, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(932, 0, path.c_str(), -1, &wide[0], size);
    char* hostPath = unixName(wide.c_str());
    if (!hostPath) return false;
    std::string commandLine =
        std::string("start.exe /wait /unix /usr/bin/chattr ") + (immutable ? "+i " : "-i ") + hostPath;
    HeapFree(GetProcessHeap(), 0, hostPath);
    if (!StartAndWait("", commandLine, {})) return false;

    // start.exe may come back before the host program has run.
    for (int i = 0; i < 100; ++i) {
        if (Writable(path) != immutable) return true;
        Sleep(50);
    }
    return false;
}
