// Drives the packed tool the way a user meets it: an installation of the title
// in the Wine prefix (registry key, install folder, MPX folder with older data
// files), the tool copied into a folder of its own and started there, each of
// its boxes read and answered, and what it left behind collected.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "code_page_text.h"
#include "message_box_probe.h"

// ---- Texts ---------------------------------------------------------------


// The boxes as a user must see them, written here from the Japanese texts and
// not taken from the tool's catalogue. Paths are code page 932 bytes.
struct ExpectedBox {
    std::string Caption;
    std::string Text;
    bool HasCancel = false;
};
ExpectedBox NotInstalledBox();
ExpectedBox DataBrokenBox();
ExpectedBox ConfirmBox(const std::string& installFolder);
ExpectedBox CancelledBox();
ExpectedBox DoneBox();
ExpectedBox SaveWarningBox();
ExpectedBox WriteFailedBox(const std::string& path);

// ---- The installation ----------------------------------------------------

// HKLM "SOFTWARE\Quorvane\TAVS\Installed" with "Distination Path" set to these
// code page 932 bytes.
void WriteInstallKey(const std::string& folder);
void WriteInstallKeyWithoutValue();
// Only "SOFTWARE\Quorvane\TAVS": the title's own key is missing.
void WriteInstallParentKeyOnly();
// Removes the key and the parents the tests made.
void RemoveInstallKey();

// Creates every missing level of a code page 932 path (a trail byte 0x5C is
// not taken for a separator).
bool CreateFolderPath(const std::string& folder);

// The member output paths, "<folder>\MPX\<name>.MPX", exactly as the tool
// composes them from the registry value.
std::string MemberPath(const std::string& installFolder, int member);

// An older copy of member n: other bytes and longer, so a write that does not
// cut the old file shows.
std::string OldMemberBytes(int member);

// What the MPX folder must hold, one letter a member in table order: 'o' the
// old copy, 'n' the packed member, '-' no file. Empty: no MPX folder at all.
void PlaceMpxFolder(const std::string& mpxFolder, const std::string& state);
// Empty when the MPX folder holds exactly `state` and nothing else; otherwise
// what differs.
std::string MpxDifferences(const std::string& mpxFolder, const std::string& state);

// ---- Running the tool ----------------------------------------------------

struct ToolStart {
    std::string Program;    // full path of the exe to start
    std::string Arguments;  // appended to the quoted program name
    std::string CurrentDirectory;
    std::vector<BoxAnswer> Answers;  // box by box; OK for any box beyond
    // Extra environment for the tool (NAME=value), beside the explorer stub's.
    std::vector<std::string> Environment;
};

struct ToolRun {
    std::vector<SeenBox> Boxes;
    bool Exited = false;
    DWORD ExitCode = 0;
    bool SawProgressWindow = false;  // the window is brief: seen or not, never asserted
    std::string Problem;             // why the run was cut short, if it was
};

// Starts the tool, answers every box until it ends (a box that does not come
// within the time-out ends the run: the process is killed), then waits for
// what it started (Explorer) to finish.
ToolRun RunTool(const ToolStart& start);

// Checks a run's boxes, in order, against what a user must see: caption, text
// bytes and buttons, and that the run ended by itself.
void ExpectBoxes(const ToolRun& run, const std::vector<ExpectedBox>& expected);

// Where the explorer stub that stands in for C:\windows\explorer.exe logs the
// command lines it is started with during the tests.
std::string ExplorerLogPath();
// The log's lines; removing it starts a fresh record.
std::vector<std::string> ExplorerLogLines(const std::string& log);
void ClearExplorerLog(const std::string& log);

// The explorer stub's own file in the build tree.
std::string ExplorerStubPath();
std::string PlantedExplorerStubPath();

// ---- Host help -----------------------------------------------------------

// Sets (+i) or clears (-i) the host's immutable flag on a file or folder, the
// only way to make it unwritable for a Wine running as root (the host's chattr,
// started through Wine's start.exe /unix). False when the host step did not
// take effect.
bool SetImmutable(const std::string& path, bool immutable);

// ---- A fixture: the title installed in the prefix --------------------------

enum class InstallKey { ParentOnly, WithoutValue, WithFolder };

const char* const DEFAULT_INSTALL_FOLDER = "C:\\updtav-e2e\\Tavresk";
const DWORD EXIT_DONE = 0;
const DWORD EXIT_STOPPED = 0xFFFFFFFF;  // the tool's -1

// Every test leaves the prefix as it found it: key removed, folders removed,
// immutable flags cleared, explorer log gone, whatever the outcome.
class InstalledTitle : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The registry value as the installer stored it (UTF-8 here, code page 932
    // in the registry), the folder on disk without any trailing separator, and
    // its MPX folder in the given state (see PlaceMpxFolder).
    void Install(InstallKey key, const std::string& folderUtf8, const std::string& mpxBefore);

    // Writes a tool file into the tool's folder; returns its path.
    std::string PlaceTool(const std::string& bytes);
    // A second empty folder, for starts from elsewhere.
    std::string OtherFolder();
    // Opens a file the way a running title might hold it: reading, sharing
    // reading only. Released by ReleaseHeld or at the end of the test.
    bool HoldWithoutWriteSharing(const std::string& path);
    void ReleaseHeld();
    // Makes a path immutable for the rest of the test; false when the host
    // cannot do it.
    bool MakeImmutable(const std::string& path);

    // The packed UPDTAV01.EXE the build made.
    static const std::string& PackedTool();

    ToolStart StartInToolFolder() const;

    std::string folder_;  // code page 932, exactly as in the registry
    std::string mpxFolder_;
    std::string toolFolder_;
    std::string otherFolder_;
    std::string topFolder_;  // the outermost folder Install made, removed at the end
    std::vector<std::string> immutable_;
    HANDLE held_ = INVALID_HANDLE_VALUE;
};

// Successful run: confirmation, completion, the save-data warning.
std::vector<ExpectedBox> CompletedBoxes(const std::string& installFolder);
