// The run's order of steps, its ends and exit status, against recording fakes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/update_operations.h"
#include "updatedata/member_table.h"

namespace {

// What the fakes answer, and what they saw.
struct Script {
    bool installed = true;
    bool bufferAllocates = true;
    bool blockIntact = true;
    bool folderUsable = true;
    int confirmAnswer = IDOK;
    bool targetsWritable = true;
    ExtractResult extraction = ExtractResult::Done;
};

Script script;
std::vector<std::string> calls;
unsigned char fakeBuffer[16];
const HANDLE FAKE_BLOCK = reinterpret_cast<HANDLE>(0x1234);
const HWND FAKE_WINDOW = reinterpret_cast<HWND>(0x5678);

const char* const MessageNames[MESSAGE_COUNT] = {
    "NOT_INSTALLED", "DATA_BROKEN", "CONFIRM", "CANCELLED", "WAIT",
    "PROGRESS", "DONE", "SAVE_WARNING", "WRITE_FAILED"};

void Record(std::string call) { calls.push_back(std::move(call)); }

const UpdateOperations Fakes = {
    [] { Record("IsProductInstalled"); return script.installed; },
    []() -> unsigned char* {
        Record("AllocateTransferBuffer");
        return script.bufferAllocates ? fakeBuffer : nullptr;
    },
    [](unsigned char*) { Record("ReleaseTransferBuffer"); },
    [](HANDLE* file, unsigned char* buffer) {
        Record(buffer == fakeBuffer ? "OpenUpdateBlock" : "OpenUpdateBlock(wrong buffer)");
        *file = FAKE_BLOCK;
        return script.blockIntact;
    },
    [](HANDLE file) { Record(file == FAKE_BLOCK ? "CloseUpdateBlock" : "CloseUpdateBlock(wrong file)"); },
    [](char* folder) {
        Record("ReadInstallFolder");
        lstrcpyA(folder, "C:\\Game Folder\\");
        return script.folderUsable;
    },
    [](const char* folder, char* failed) {
        Record(std::string("CheckTargets ") + folder);
        if (!script.targetsWritable) lstrcpyA(failed, "C:\\Game Folder\\\\MPX\\STARTUP.MPX");
        return script.targetsWritable;
    },
    [](HANDLE, const char* folder, unsigned char*, ProgressReport report, char* failed) {
        for (int n = 1; n <= MEMBER_COUNT; ++n) {
            report.Report(report.Context, n, MEMBER_COUNT);
            Record("write member " + std::to_string(n));
        }
        if (script.extraction == ExtractResult::WriteFailed) lstrcpyA(failed, "C:\\Game Folder\\\\MPX\\E-EAK2.MPX");
        Record(std::string("ExtractMembers ") + folder);
        return script.extraction;
    },
    [](MessageId id, const char* a, const char* b) {
        std::string call = std::string("ShowMessage ") + MessageNames[id];
        if (a) call += std::string(" [") + a + "]";
        if (b) call += std::string(" [") + b + "]";
        Record(call);
        return id == MSG_CONFIRM ? script.confirmAnswer : IDOK;
    },
    [](HINSTANCE) { Record("OpenProgressWindow"); return FAKE_WINDOW; },
    [](HWND window, int step, int total) {
        Record((window == FAKE_WINDOW ? "SetProgressStep " : "SetProgressStep(no window) ") + std::to_string(step) +
               "/" + std::to_string(total));
    },
    [](HWND) { Record("CloseProgressWindow"); },
    [](DWORD ms) { Record("Pause " + std::to_string(ms)); },
    [](const char* folder) { Record(std::string("OpenInstallFolderWindow ") + folder); },
};

struct SequenceCase {
    const char* name;
    Script script;
    int exitStatus;
    std::vector<std::string> calls;
};

const std::vector<std::string> StartOfRun = {"IsProductInstalled", "AllocateTransferBuffer", "OpenUpdateBlock",
                                             "ReadInstallFolder",
                                             "ShowMessage CONFIRM [C:\\Game Folder\\] [Tavresk]"};
const std::vector<std::string> Extraction = {
    "CheckTargets C:\\Game Folder\\", "OpenProgressWindow", "SetProgressStep 1/4", "write member 1",
    "SetProgressStep 2/4",  "write member 2", "SetProgressStep 3/4", "write member 3", "SetProgressStep 4/4",
    "write member 4", "ExtractMembers C:\\Game Folder\\",
    // file, buffer, window: in that order
    "CloseUpdateBlock", "ReleaseTransferBuffer", "CloseProgressWindow"};

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Script With(void (*change)(Script&)) {
    Script s;
    change(s);
    return s;
}

std::vector<SequenceCase> Cases() {
    return {
        {"Done", Script{}, 0,
         Join({StartOfRun, Extraction,
               {"Pause 200", "ShowMessage DONE [Tavresk] [TAV]", "ShowMessage SAVE_WARNING",
                "OpenInstallFolderWindow C:\\Game Folder\\"}})},
        {"NotInstalled", With([](Script& s) { s.installed = false; }), -1,
         {"IsProductInstalled", "ShowMessage NOT_INSTALLED [Tavresk]"}},
        {"BufferNotAllocated", With([](Script& s) { s.bufferAllocates = false; }), -1,
         {"IsProductInstalled", "AllocateTransferBuffer", "ShowMessage DATA_BROKEN"}},
        {"BlockBroken", With([](Script& s) { s.blockIntact = false; }), -1,
         {"IsProductInstalled", "AllocateTransferBuffer", "OpenUpdateBlock", "ShowMessage DATA_BROKEN",
          "CloseUpdateBlock"}},
        {"FolderUnusable", With([](Script& s) { s.folderUsable = false; }), -1,
         {"IsProductInstalled", "AllocateTransferBuffer", "OpenUpdateBlock", "ReadInstallFolder",
          "ShowMessage NOT_INSTALLED [Tavresk]"}},
        {"Cancelled", With([](Script& s) { s.confirmAnswer = IDCANCEL; }), -1,
         Join({StartOfRun, {"ShowMessage CANCELLED [Tavresk]"}})},
        {"ClosedConfirmation", With([](Script& s) { s.confirmAnswer = 0; }), -1,
         Join({StartOfRun, {"ShowMessage CANCELLED [Tavresk]"}})},
        {"TargetsRefused", With([](Script& s) { s.targetsWritable = false; }), -1,
         Join({StartOfRun,
               {"CheckTargets C:\\Game Folder\\",
                "ShowMessage WRITE_FAILED [Tavresk] [C:\\Game Folder\\\\MPX\\STARTUP.MPX]"}})},
        {"WriteFailed", With([](Script& s) { s.extraction = ExtractResult::WriteFailed; }), -1,
         Join({StartOfRun, Extraction,
               {"Pause 200", "ShowMessage WRITE_FAILED [Tavresk] [C:\\Game Folder\\\\MPX\\E-EAK2.MPX]"}})},
        {"MemberUnreadable", With([](Script& s) { s.extraction = ExtractResult::DataBroken; }), -1,
         Join({StartOfRun, Extraction, {"ShowMessage DATA_BROKEN"}})},
    };
}

class UpdateSequence : public testing::TestWithParam<SequenceCase> {};

TEST_P(UpdateSequence, ShowsTheRightBoxesInOrderAndEndsWithItsStatus) {
    script = GetParam().script;
    calls.clear();
    int status = RunUpdate(Fakes, nullptr);
    EXPECT_EQ(status, GetParam().exitStatus);
    EXPECT_EQ(calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(Ends, UpdateSequence, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<SequenceCase>& info) { return info.param.name; });

}  // namespace
