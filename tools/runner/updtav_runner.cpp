// updtav_runner: starts the update tool as a user would (from a chosen current
// directory), reads and answers each of its message boxes, and optionally saves
// what the screen showed. The demo and the benchmark drive the tool with it.
//
//   updtav_runner [--answers ok,cancel,close] [--shots <folder>] [--timeout <ms>]
//                 <tool.exe> <current directory>
//   updtav_runner --bench <runs> <tool.exe> <current directory>
//
// Exit status: the tool's own (or 2 when it could not be run or timed out).
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "code_page_text.h"
#include "message_box_probe.h"

namespace {

const char PROGRESS_CAPTION[] = "Tavresk Update Tool";
const int RUNNER_FAILED = 2;

struct Options {
    std::vector<BoxAnswer> Answers;
    std::string ShotFolder;  // empty: no screenshots
    DWORD TimeoutMs = 60000;
    int BenchRuns = 0;
    std::string Tool;
    std::string Folder;
};

void Print(const std::string& text) {
    // WriteFile rather than stdio: no "\r" added, UTF-8 passed through untouched.
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), (DWORD)text.size(), &written, nullptr);
}

std::string OneLine(std::string text) {
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos;) text.replace(at, 1, " / ");
    return text;
}

double NowMs() {
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1000.0 / frequency.QuadPart;
}

struct Shot {
    int Width = 0, Height = 0;
    std::vector<unsigned char> Pixels;  // 24-bit rows, bottom-up, each padded to 4 bytes
};

BITMAPINFOHEADER PixelFormat(const Shot& shot) {
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = shot.Width;
    info.biHeight = shot.Height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    return info;
}

// Copies what the screen shows in `rect`.
Shot CaptureScreen(const RECT& rect) {
    Shot shot;
    shot.Width = rect.right - rect.left;
    shot.Height = rect.bottom - rect.top;
    if (shot.Width <= 0 || shot.Height <= 0) return Shot();
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, shot.Width, shot.Height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.Width, shot.Height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info = PixelFormat(shot);
    shot.Pixels.resize((((DWORD)shot.Width * 3 + 3) & ~3u) * shot.Height);
    GetDIBits(memory, bitmap, 0, shot.Height, shot.Pixels.data(), (BITMAPINFO*)&info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}

// A window mapped but not yet drawn shows as one flat colour.
bool ShowsSomething(const Shot& shot) {
    for (unsigned char byte : shot.Pixels) {
        if (byte != shot.Pixels[0]) return true;
    }
    return false;
}

bool SaveBmp(const Shot& shot, const std::string& path) {
    BITMAPINFOHEADER info = PixelFormat(shot);
    info.biSizeImage = (DWORD)shot.Pixels.size();
    BITMAPFILEHEADER head = {};
    head.bfType = 0x4D42;  // "BM"
    head.bfOffBits = sizeof(head) + sizeof(info);
    head.bfSize = head.bfOffBits + info.biSizeImage;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    bool ok = WriteFile(file, &head, sizeof(head), &put, nullptr) && WriteFile(file, &info, sizeof(info), &put, nullptr) &&
              WriteFile(file, shot.Pixels.data(), info.biSizeImage, &put, nullptr);
    return CloseHandle(file) && ok;
}

bool SaveWindowShot(HWND window, const std::string& path) {
    RECT rect;
    return GetWindowRect(window, &rect) && SaveBmp(CaptureScreen(rect), path);
}


void PostAnswer(HWND box, BoxAnswer answer) {
    // Posted, not sent: the runner goes straight back to watching, so a window
    // that lives only a few milliseconds after this box can still be seen.
    if (answer == BoxAnswer::CloseBox) {
        PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        PostMessageA(box, WM_COMMAND, answer == BoxAnswer::Ok ? IDOK : IDCANCEL, 0);
    }
}

const char* AnswerName(BoxAnswer answer) {
    return answer == BoxAnswer::Ok ? "OK" : answer == BoxAnswer::Cancel ? "Cancel" : "close box";
}

bool StartTool(const Options& options, PROCESS_INFORMATION* process) {
    // CreateProcessA may write into the command line.
    std::string commandLine = "\"" + options.Tool + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (CreateProcessA(options.Tool.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       options.Folder.c_str(), &startup, process)) {
        return true;
    }
    Print("updtav_runner: cannot start " + options.Tool + " (error " + std::to_string(GetLastError()) + ")\n");
    return false;
}

int FinishTool(const PROCESS_INFORMATION& process) {
    DWORD code = (DWORD)RUNNER_FAILED;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)code;
}

void ReportProgressShot(const Shot& shot, int copies, const std::string& folder) {
    if (!shot.Pixels.empty() && SaveBmp(shot, folder + "\\progress.bmp")) {
        Print("progress window: caught drawn on screen -> progress.bmp\n");
    } else {
        Print("progress window: seen (" + std::to_string(copies) + " copies), never caught drawn on screen\n");
    }
}

// One watched run: every box printed (and shot), answered in turn; the progress
// window shot when it is caught.
int WatchRun(const Options& options) {
    PROCESS_INFORMATION process;
    if (!StartTool(options, &process)) return RUNNER_FAILED;

    double start = NowMs();
    int boxes = 0;
    HWND answered = nullptr;
    double spinUntil = 0;
    bool progressReported = false;
    int progressCopies = 0;
    Shot progressShot;
    for (;;) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
        if (NowMs() - start > options.TimeoutMs) {
            Print("updtav_runner: the tool did not end in time; stopped\n");
            TerminateProcess(process.hProcess, (UINT)RUNNER_FAILED);
            FinishTool(process);
            return RUNNER_FAILED;
        }

        // The progress window: copied again and again while it is up; the last
        // copy that shows something drawn (taken while it was still there) wins.
        HWND progress = options.ShotFolder.empty() ? nullptr : FindProcessWindow(process.dwProcessId, PROGRESS_CAPTION);
        if (progress) {
            RECT rect;
            if (GetWindowRect(progress, &rect)) {
                Shot shot = CaptureScreen(rect);
                ++progressCopies;
                if (IsWindowVisible(progress) && ShowsSomething(shot)) progressShot = shot;
            }
            continue;
        }
        if (progressCopies && !progressReported) {
            progressReported = true;
            ReportProgressShot(progressShot, progressCopies, options.ShotFolder);
        }

        SeenBox box;
        if (WaitForMessageBox(process.dwProcessId, 0, &box) && !(box.Window == answered && IsWindow(answered))) {
            ++boxes;
            BoxAnswer answer = boxes <= (int)options.Answers.size() ? options.Answers[boxes - 1] : BoxAnswer::Ok;
            std::string shot;
            if (!options.ShotFolder.empty()) {
                Sleep(300);  // let the box paint itself before the screen is copied
                std::string name = "box-" + std::to_string(boxes) + ".bmp";
                if (SaveWindowShot(box.Window, options.ShotFolder + "\\" + name)) shot = " -> " + name;
            }
            std::string buttons = box.HasOk && box.HasCancel ? "OK/Cancel" : box.HasOk ? "OK" : "?";
            Print("box " + std::to_string(boxes) + ": [" + Utf8FromCp932(box.Caption) + "] [" + buttons + "] \"" +
                  OneLine(Utf8FromCp932(box.Text)) + "\" answered " + AnswerName(answer) + shot + "\n");
            PostAnswer(box.Window, answer);
            answered = box.Window;
            // No sleeping for a while: the progress window follows the
            // confirmation closely and lives only milliseconds.
            spinUntil = NowMs() + 2000;
            continue;
        }
        if (options.ShotFolder.empty() || NowMs() > spinUntil) Sleep(1);
    }

    if (!options.ShotFolder.empty() && !progressCopies) Print("progress window: not seen (it lived too briefly)\n");
    int code = FinishTool(process);
    Print("tool exit status: " + std::to_string(code) + "\n");
    return code;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

std::string Ms(double value) {
    char text[32];
    wsprintfA(text, "%d.%d", (int)value, (int)(value * 10) % 10);
    return text;
}

// Runs the tool again and again, each box answered OK the moment it shows.
int Bench(const Options& options) {
    std::vector<double> firstBox, whole;
    int lastCode = 0;
    for (int run = 1; run <= options.BenchRuns; ++run) {
        PROCESS_INFORMATION process;
        double start = NowMs();
        if (!StartTool(options, &process)) return RUNNER_FAILED;
        double first = -1;
        HWND answered = nullptr;
        while (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
            if (NowMs() - start > options.TimeoutMs) {
                Print("updtav_runner: run " + std::to_string(run) + " did not end in time; stopped\n");
                TerminateProcess(process.hProcess, (UINT)RUNNER_FAILED);
                FinishTool(process);
                return RUNNER_FAILED;
            }
            SeenBox box;
            if (WaitForMessageBox(process.dwProcessId, 0, &box) && !(box.Window == answered && IsWindow(answered))) {
                if (first < 0) first = NowMs() - start;
                PostAnswer(box.Window, BoxAnswer::Ok);
                answered = box.Window;
            }
            Sleep(1);
        }
        double end = NowMs() - start;
        lastCode = FinishTool(process);
        Print("run " + std::to_string(run) + ": first box " + Ms(first) + " ms, whole run " + Ms(end) +
              " ms, exit status " + std::to_string(lastCode) + "\n");
        firstBox.push_back(first);
        whole.push_back(end);
    }
    Print("median first box: " + Ms(Median(firstBox)) + " ms\n");
    Print("median whole run: " + Ms(Median(whole)) + " ms\n");
    return lastCode;
}

bool ParseAnswers(const std::string& list, std::vector<BoxAnswer>* answers) {
    size_t at = 0;
    while (at <= list.size()) {
        size_t comma = list.find(',', at);
        std::string word = list.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        if (word == "ok") answers->push_back(BoxAnswer::Ok);
        else if (word == "cancel") answers->push_back(BoxAnswer::Cancel);
        else if (word == "close") answers->push_back(BoxAnswer::CloseBox);
        else return false;
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    return true;
}

bool ParseArguments(int argc, char** argv, Options* options) {
    std::vector<std::string> plain;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--answers" && hasValue) {
            if (!ParseAnswers(argv[++i], &options->Answers)) return false;
        } else if (arg == "--shots" && hasValue) {
            options->ShotFolder = argv[++i];
        } else if (arg == "--timeout" && hasValue) {
            options->TimeoutMs = (DWORD)atoi(argv[++i]);
        } else if (arg == "--bench" && hasValue) {
            options->BenchRuns = atoi(argv[++i]);
            if (options->BenchRuns < 1) return false;
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            plain.push_back(arg);
        }
    }
    if (plain.size() != 2) return false;
    options->Tool = plain[0];
    options->Folder = plain[1];
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArguments(argc, argv, &options)) {
        Print("usage: updtav_runner [--answers ok,cancel,close] [--shots <folder>] [--timeout <ms>]\n"
              "                     [--bench <runs>] <tool.exe> <current directory>\n");
        return RUNNER_FAILED;
    }
    if (!options.ShotFolder.empty()) CreateDirectoryA(options.ShotFolder.c_str(), nullptr);
    return options.BenchRuns ? Bench(options) : WatchRun(options);
}
