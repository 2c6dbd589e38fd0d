// Damaged copies of the packed tool, as an interrupted download or a bad copy
// leaves them: each must be refused before the confirmation, with every file
// in the MPX folder left as it was.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "e2e_driver.h"
#include "test_files.h"
#include "updatedata/member_table.h"

namespace {

// Offsets from the start of the block (member 1) in the packed tool.
size_t BlockStart(const std::string& tool) { return tool.size() - BLOCK_SIZE; }
size_t TrailerStart(const std::string& tool) { return tool.size() - TRAILER_SIZE; }

DWORD MemberOffset(int member) {
    DWORD offset = 0;
    for (int n = 0; n < member; ++n) offset += MemberTable[n].Size;
    return offset;
}

struct Damage {
    const char* Name;
    std::function<std::string(std::string)> Apply;
    // The damaged file is too short to be run itself: it lies in the current
    // directory while an intact copy is started from its own folder.
    bool NotRunnable = false;
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.Name; }

std::function<std::string(std::string)> FlipInMember(int member) {
    return [member](std::string tool) {
        tool[BlockStart(tool) + MemberOffset(member) + MemberTable[member].Size / 2] ^= 0x01;
        return tool;
    };
}

std::function<std::string(std::string)> TrailerByte0(unsigned char value) {
    return [value](std::string tool) {
        tool[TrailerStart(tool)] = (char)value;
        return tool;
    };
}

std::vector<Damage> Damages() {
    return {
        {"FlipInStartup", FlipInMember(0)},
        {"FlipInSRemin", FlipInMember(1)},
        {"FlipInEEak2", FlipInMember(2)},
        {"FlipInEEak9", FlipInMember(3)},
        {"Trailer00", TrailerByte0(0x00)},
        {"Trailer0A", TrailerByte0(0x0A)},
        {"Trailer7F", TrailerByte0(0x7F)},
        {"Trailer80", TrailerByte0(0x80)},
        {"TrailerFF", TrailerByte0(0xFF)},
        {"PayloadShortByOneByte", [](std::string tool) { return tool.erase(TrailerStart(tool) - 1, 1); }},
        {"PayloadWithoutLastMember",
         [](std::string tool) {
             DWORD last = MemberTable[MEMBER_COUNT - 1].Size;
             return tool.erase(TrailerStart(tool) - last, last);
         }},
        {"StrayByteBeforeTrailer", [](std::string tool) { return tool.insert(TrailerStart(tool), 1, '\x5A'); }},
        {"FileShorterThanTheBlock", [](std::string tool) { return tool.substr(BlockStart(tool) + 1); }, true},
    };
}

class DamagedTool : public InstalledTitle, public testing::WithParamInterface<Damage> {};

TEST_P(DamagedTool, IsRefusedBeforeTheConfirmationAndNothingIsWritten) {
    ASSERT_NO_FATAL_FAILURE(Install(InstallKey::WithFolder, DEFAULT_INSTALL_FOLDER, "oooo"));
    ASSERT_GT(PackedTool().size(), BLOCK_SIZE);
    std::string damaged = GetParam().Apply(PackedTool());

    ToolStart start = StartInToolFolder();
    if (GetParam().NotRunnable) {
        PlaceTool(PackedTool());
        start.CurrentDirectory = OtherFolder();
        ASSERT_TRUE(WriteWholeFile(start.CurrentDirectory + "\\UPDTAV01.EXE", damaged));
    } else {
        PlaceTool(damaged);
    }
    ToolRun result = RunTool(start);

    ExpectBoxes(result, {DataBrokenBox()});
    EXPECT_EQ(result.ExitCode, EXIT_STOPPED);
    EXPECT_EQ(MpxDifferences(mpxFolder_, "oooo"), "");
    EXPECT_TRUE(ExplorerLogLines(ExplorerLogPath()).empty());
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedTool, testing::ValuesIn(Damages()),
                         [](const testing::TestParamInfo<Damage>& info) { return info.param.Name; });

// Trailer byte 0 of b skips b - 1 filler bytes between the payload and the
// trailer: every b from 1 to 9 with its filler is a good tool.
class FillerBeforeTrailer : public InstalledTitle, public testing::WithParamInterface<int> {};

TEST_P(FillerBeforeTrailer, IsSkippedAndTheUpdateCompletes) {
    int b = GetParam();
    ASSERT_NO_FATAL_FAILURE(Install(InstallKey::WithFolder, DEFAULT_INSTALL_FOLDER, "oooo"));
    std::string tool = PackedTool();
    ASSERT_GT(tool.size(), BLOCK_SIZE);
    tool.insert(TrailerStart(tool), std::string(b - 1, '\xEE'));
    tool[tool.size() - TRAILER_SIZE] = (char)b;
    PlaceTool(tool);

    ToolRun result = RunTool(StartInToolFolder());

    ExpectBoxes(result, CompletedBoxes(folder_));
    EXPECT_EQ(result.ExitCode, EXIT_DONE);
    EXPECT_EQ(MpxDifferences(mpxFolder_, "nnnn"), "");
    EXPECT_EQ(ExplorerLogLines(ExplorerLogPath()), std::vector<std::string>{"explorer " + folder_});
}

INSTANTIATE_TEST_SUITE_P(TrailerByte, FillerBeforeTrailer, testing::Range(1, 10),
                         [](const testing::TestParamInfo<int>& info) { return "B" + std::to_string(info.param); });

// Random damage inside the block: a changed byte anywhere from member 1 to
// trailer byte 0 (bytes 1 to 7 of the trailer are never read), or the file cut
// short anywhere within the block. Not one may reach the MPX folder.
const unsigned RANDOM_SEED = 20240611;
const int RANDOM_CASES = 300;
const int FAILURES_BEFORE_GIVING_UP = 5;

TEST_F(InstalledTitle, RandomDamageInTheBlockNeverWritesAByte) {
    ASSERT_NO_FATAL_FAILURE(Install(InstallKey::WithFolder, DEFAULT_INSTALL_FOLDER, "oooo"));
    const std::string& good = PackedTool();
    ASSERT_GT(good.size(), BLOCK_SIZE);
    std::mt19937 rng(RANDOM_SEED);
    const std::vector<ExpectedBox> refused = {DataBrokenBox()};

    int failures = 0;
    for (int i = 0; i < RANDOM_CASES && failures < FAILURES_BEFORE_GIVING_UP; ++i) {
        std::string tool = good;
        std::string what;
        if (rng() % 3 != 0) {
            size_t at = BlockStart(good) + rng() % (PAYLOAD_SIZE + 1);
            unsigned char change = (unsigned char)(1 + rng() % 255);
            tool[at] ^= (char)change;
            what = "byte " + std::to_string(at - BlockStart(good)) + " of the block xor " + std::to_string(change);
        } else {
            size_t cut = 1 + rng() % BLOCK_SIZE;
            tool.resize(good.size() - cut);
            what = "cut short by " + std::to_string(cut) + " bytes";
        }
        SCOPED_TRACE("seed " + std::to_string(RANDOM_SEED) + ", case " + std::to_string(i) + ": " + what);
        PlaceTool(tool);

        ToolRun result = RunTool(StartInToolFolder());

        bool refusedCleanly = result.Problem.empty() && result.Boxes.size() == 1 &&
                              result.Boxes[0].Caption == refused[0].Caption &&
                              result.Boxes[0].Text == refused[0].Text && result.ExitCode == EXIT_STOPPED;
        std::string written = MpxDifferences(mpxFolder_, "oooo");
        if (refusedCleanly && written.empty()) continue;

        ++failures;
        ExpectBoxes(result, refused);
        EXPECT_EQ(result.ExitCode, EXIT_STOPPED);
        EXPECT_EQ(written, "");
        // Start the next case from the old files again.
        PlaceMpxFolder(mpxFolder_, "oooo");
    }
}

}  // namespace
