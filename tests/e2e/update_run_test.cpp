// The packed tool against installations of the title: every end of a run, the
// install folders that trip up byte-wise path handling, and the targets that
// must be refused before a byte is written.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "e2e_driver.h"
#include "test_files.h"
#include "updatedata/member_table.h"

namespace {

enum class Box { NotInstalled, DataBroken, Confirm, Cancelled, Done, SaveWarning, WriteFailed };

// How a target is made unwritable before the run.
enum class Obstacle {
    None,
    HeldOpen,         // the member held open without write sharing, as a running title would
    ImmutableMember,  // the member cannot be written at all
    ImmutableMpx,     // existing members can be written, no new file can be made
};

struct Scenario {
    std::string Name;
    InstallKey Key = InstallKey::WithFolder;
    std::string Folder = DEFAULT_INSTALL_FOLDER;  // UTF-8, as stored in the registry
    std::string Before = "oooo";                  // MPX folder before the run (see PlaceMpxFolder)
    Obstacle Block = Obstacle::None;
    int BlockedMember = 0;
    bool BrokenTool = false;       // trailer byte 0 of 0x0A
    bool FromOtherFolder = false;  // current directory is not the tool's folder
    std::string Arguments;
    std::vector<BoxAnswer> Answers;
    std::vector<Box> Boxes = {Box::Confirm, Box::Done, Box::SaveWarning};
    int FailedMember = 0;  // named by the write-failure box
    DWORD Exit = EXIT_DONE;
    std::string After = "nnnn";
    bool Explorer = true;
    int Runs = 1;
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.Name; }

// A refusal: these boxes, exit -1, the MPX folder as it was, no Explorer.
void Stopped(Scenario& s, std::vector<Box> boxes) {
    s.Boxes = std::move(boxes);
    s.Exit = EXIT_STOPPED;
    s.After = s.Before;
    s.Explorer = false;
}

Scenario Row(const char* name, const std::function<void(Scenario&)>& change) {
    Scenario s;
    s.Name = name;
    change(s);
    return s;
}

// "C:\updtav-e2e\" followed by a name that makes the whole value `length` bytes.
std::string FolderOfLength(size_t length) {
    std::string folder = "C:\\updtav-e2e\\";
    while (folder.size() < length) folder += char('A' + folder.size() % 26);
    return folder;
}

std::vector<Scenario> Scenarios() {
    return {
        Row("Completed", [](Scenario&) {}),
        // Only the parent key: the title's own key is what marks it installed.
        Row("NotInstalled",
            [](Scenario& s) {
                s.Key = InstallKey::ParentOnly;
                Stopped(s, {Box::NotInstalled});
            }),
        Row("ValueMissing",
            [](Scenario& s) {
                s.Key = InstallKey::WithoutValue;
                Stopped(s, {Box::NotInstalled});
            }),
        // The block is checked before the folder is read: broken data is
        // reported even where the value is missing.
        Row("BrokenBlockBeforeMissingValue",
            [](Scenario& s) {
                s.Key = InstallKey::WithoutValue;
                s.BrokenTool = true;
                Stopped(s, {Box::DataBroken});
            }),
        Row("CancelledWithCancel",
            [](Scenario& s) {
                s.Answers = {BoxAnswer::Cancel};
                Stopped(s, {Box::Confirm, Box::Cancelled});
            }),
        Row("CancelledWithCloseBox",
            [](Scenario& s) {
                s.Answers = {BoxAnswer::CloseBox};
                Stopped(s, {Box::Confirm, Box::Cancelled});
            }),
        // "ソ" is 0x83 0x5C: a byte-wise scan would take its trail byte for a separator.
        Row("JapaneseFolderWithTrailByte5C", [](Scenario& s) { s.Folder = u8"C:\\ゲーム\\当ソフト"; }),
        // Passed to Explorer unquoted, as it stands.
        Row("FolderWithSpaces", [](Scenario& s) { s.Folder = "C:\\updtav-e2e\\Tavresk Game Folder"; }),
        // Used as stored: a doubled separator before "MPX" in the output paths, and
        // the trailing backslash kept on Explorer's command line.
        Row("FolderStoredWithTrailingBackslash", [](Scenario& s) { s.Folder = "C:\\updtav-e2e\\Tavresk\\"; }),
        Row("LongestFolderThatFits", [](Scenario& s) { s.Folder = FolderOfLength(111); }),
        Row("FolderOneByteTooLong",
            [](Scenario& s) {
                s.Folder = FolderOfLength(112);
                Stopped(s, {Box::NotInstalled});
            }),
        Row("MemberNotYetPresentIsCreated", [](Scenario& s) { s.Before = "oo-o"; }),
        Row("SecondRunOverTheFirst", [](Scenario& s) { s.Runs = 2; }),
        Row("ArgumentsAreIgnored", [](Scenario& s) { s.Arguments = "/S /D=C:\\elsewhere --help"; }),
        // The tool opens UPDTAV01.EXE in the current directory, not beside itself.
        Row("StartedFromAnotherFolder",
            [](Scenario& s) {
                s.FromOtherFolder = true;
                Stopped(s, {Box::DataBroken});
            }),
        Row("NoMpxFolder",
            [](Scenario& s) {
                s.Before = "";
                s.FailedMember = 0;
                Stopped(s, {Box::Confirm, Box::WriteFailed});
            }),
        Row("MemberHeldOpenByTheTitle",
            [](Scenario& s) {
                s.Block = Obstacle::HeldOpen;
                s.BlockedMember = 1;
                s.FailedMember = 1;
                Stopped(s, {Box::Confirm, Box::WriteFailed});
            }),
        Row("ReadOnlyMember",
            [](Scenario& s) {
                s.Block = Obstacle::ImmutableMember;
                s.BlockedMember = 2;
                s.FailedMember = 2;
                Stopped(s, {Box::Confirm, Box::WriteFailed});
            }),
        // Passes the check (the missing member is not there to test), fails
        // while writing: the others are written, and the run still fails.
        Row("NewMemberCannotBeCreated",
            [](Scenario& s) {
                s.Before = "ooo-";
                s.Block = Obstacle::ImmutableMpx;
                s.FailedMember = 3;
                Stopped(s, {Box::Confirm, Box::WriteFailed});
                s.After = "nnn-";
            }),
    };
}

ExpectedBox Expected(Box box, const Scenario& s, const std::string& folder) {
    switch (box) {
        case Box::NotInstalled: return NotInstalledBox();
        case Box::DataBroken: return DataBrokenBox();
        case Box::Confirm: return ConfirmBox(folder);
        case Box::Cancelled: return CancelledBox();
        case Box::Done: return DoneBox();
        case Box::SaveWarning: return SaveWarningBox();
        case Box::WriteFailed: return WriteFailedBox(MemberPath(folder, s.FailedMember));
    }
    return {};
}

class UpdateRun : public InstalledTitle, public testing::WithParamInterface<Scenario> {};

TEST_P(UpdateRun, BoxesFilesAndExplorerAreAsTheUserMustSeeThem) {
    const Scenario& s = GetParam();
    ASSERT_NO_FATAL_FAILURE(Install(s.Key, s.Folder, s.Before));

    std::string tool = PackedTool();
    ASSERT_GT(tool.size(), BLOCK_SIZE);
    if (s.BrokenTool) tool[tool.size() - TRAILER_SIZE] = 0x0A;
    PlaceTool(tool);

    std::string blocked = s.Block == Obstacle::ImmutableMpx ? mpxFolder_ : MemberPath(folder_, s.BlockedMember);
    switch (s.Block) {
        case Obstacle::None: break;
        case Obstacle::HeldOpen: ASSERT_TRUE(HoldWithoutWriteSharing(blocked)); break;
        case Obstacle::ImmutableMember:
        case Obstacle::ImmutableMpx:
            // Root ignores the read-only attribute; only the host's immutable flag holds.
            if (!MakeImmutable(blocked)) GTEST_SKIP() << "the host could not make " << blocked << " unwritable";
            break;
    }

    ToolStart start = StartInToolFolder();
    start.Arguments = s.Arguments;
    start.Answers = s.Answers;
    if (s.FromOtherFolder) start.CurrentDirectory = OtherFolder();

    std::vector<ExpectedBox> boxes;
    for (Box box : s.Boxes) boxes.push_back(Expected(box, s, folder_));
    std::vector<std::string> explorer;
    if (s.Explorer) explorer.push_back("explorer " + folder_);

    for (int run = 1; run <= s.Runs; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        ClearExplorerLog(ExplorerLogPath());
        ToolRun result = RunTool(start);
        ExpectBoxes(result, boxes);
        EXPECT_EQ(result.ExitCode, s.Exit);
        if (s.Exit == EXIT_DONE) {
            std::cout << "[   info   ] progress window " << (result.SawProgressWindow ? "seen" : "not caught")
                      << " during the run\n";
        }

        ReleaseHeld();
        EXPECT_EQ(MpxDifferences(mpxFolder_, s.After), "");
        std::vector<std::string> logged = ExplorerLogLines(ExplorerLogPath());
        EXPECT_EQ(logged, explorer) << "Explorer started with: "
                                    << (logged.empty() ? "(nothing)" : Utf8FromCp932(logged[0]));
    }
}

INSTANTIATE_TEST_SUITE_P(Installations, UpdateRun, testing::ValuesIn(Scenarios()),
                         [](const testing::TestParamInfo<Scenario>& info) { return info.param.Name; });

// Started by full path from the Windows folder: an explorer.exe planted beside
// the tool (a Downloads folder) must never run, elevated or not.
TEST_F(InstalledTitle, ExplorerPlantedBesideTheToolIsNeverRun) {
    ASSERT_NO_FATAL_FAILURE(Install(InstallKey::WithFolder, DEFAULT_INSTALL_FOLDER, "oooo"));
    PlaceTool(PackedTool());
    std::string plantedLog = toolFolder_ + "\\planted-explorer.log";
    ASSERT_TRUE(CopyFileA(PlantedExplorerStubPath().c_str(), (toolFolder_ + "\\explorer.exe").c_str(), FALSE));

    ToolStart start = StartInToolFolder();
    start.Environment = {"PLANTED_EXPLORER_LOG=" + plantedLog};
    ToolRun result = RunTool(start);

    ExpectBoxes(result, CompletedBoxes(folder_));
    EXPECT_EQ(result.ExitCode, EXIT_DONE);
    EXPECT_FALSE(FileExists(plantedLog)) << "the explorer.exe beside the tool was run";
    EXPECT_EQ(ExplorerLogLines(ExplorerLogPath()), std::vector<std::string>{"explorer " + folder_});
}

}  // namespace
