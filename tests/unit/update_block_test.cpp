// The appended block: finding it, verifying it, and copying its members out,
// with real files.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/text_limits.h"
#include "test_files.h"
#include "updatedata/member_table.h"
#include "updatedata/sha256.h"
#include "updatedata/target_check.h"
#include "updatedata/update_block.h"

namespace {

std::string Hex(const unsigned char* bytes, size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

TEST(Sha256, MatchesPublishedVectorsAcrossBlockBoundaries) {
    struct Vector {
        std::string input;
        const char* digest;
    } vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the length no longer fits the first padding block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Vector& v : vectors) {
        unsigned char digest[32];
        Sha256((const unsigned char*)v.input.data(), (DWORD)v.input.size(), digest);
        EXPECT_EQ(Hex(digest, 32), v.digest) << "input of " << v.input.size() << " bytes";
    }
}

TEST(PayloadDistance, OnlyTrailerBytesOneToNinePass) {
    struct Case {
        unsigned char byte0;
        DWORD distance;
    } cases[] = {{0x00, 0},     {0x01, 18155}, {0x05, 18159}, {0x09, 18163},
                 {0x0A, 0},     {0x7F, 0},     {0x80, 0},     {0xFF, 0}};
    for (const Case& c : cases) EXPECT_EQ(PayloadDistanceFromEnd(c.byte0), c.distance) << "byte 0 = " << int(c.byte0);
}

std::string Payload() {
    std::string payload;
    for (int n = 0; n < MEMBER_COUNT; ++n) payload += MemberBytes(n);
    return payload;
}

const std::string TRAILER("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
const std::string IMAGE = "MZ pretend image, the block never looks at it";

// Works in a scratch folder made the current directory, where the tool
// looks for its own file.
class UpdateBlockFiles : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Payload().size(), PAYLOAD_SIZE) << "member files missing";
        GetCurrentDirectoryA(MAX_PATH, previous_);
        folder_ = MakeScratchFolder("block");
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
        buffer_.resize(TRANSFER_BUFFER_SIZE);
    }
    void TearDown() override {
        if (block_ != INVALID_HANDLE_VALUE) CloseHandle(block_);
        SetCurrentDirectoryA(previous_);
        RemoveTree(folder_);
    }

    bool Open(const std::string& toolBytes) {
        EXPECT_TRUE(WriteWholeFile(folder_ + "\\UPDTAV01.EXE", toolBytes));
        return OpenUpdateBlock(&block_, buffer_.data());
    }

    std::string ReadFromBlock(DWORD size) {
        std::string bytes(size, '\0');
        DWORD got = 0;
        ReadFile(block_, &bytes[0], size, &got, nullptr);
        bytes.resize(got);
        return bytes;
    }

    char previous_[MAX_PATH];
    std::string folder_;
    std::vector<unsigned char> buffer_;
    HANDLE block_ = INVALID_HANDLE_VALUE;
};

TEST_F(UpdateBlockFiles, IntactBlockIsPositionedAtTheFirstMember) {
    ASSERT_TRUE(Open(IMAGE + Payload() + TRAILER));
    EXPECT_EQ(ReadFromBlock(MemberTable[0].Size), MemberBytes(0));
}

TEST_F(UpdateBlockFiles, FillerBeforeTheTrailerIsSkipped) {
    std::string trailer = TRAILER;
    trailer[0] = 0x05;
    ASSERT_TRUE(Open(IMAGE + Payload() + "fill" + trailer));
    EXPECT_EQ(ReadFromBlock(MemberTable[0].Size), MemberBytes(0));
}

TEST_F(UpdateBlockFiles, BrokenBlocksAreRefused) {
    std::string good = IMAGE + Payload() + TRAILER;
    std::string flipped = good;
    flipped[IMAGE.size() + PAYLOAD_SIZE - 1] ^= 0x01;
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"trailer only", TRAILER},
        {"shorter than the block", good.substr(IMAGE.size() + 1)},
        {"last member byte flipped", flipped},
        {"cut by one byte before the trailer", IMAGE + Payload().substr(0, PAYLOAD_SIZE - 1) + TRAILER},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Open(c.bytes)) << c.name;
        if (block_ != INVALID_HANDLE_VALUE) CloseHandle(block_);
        block_ = INVALID_HANDLE_VALUE;
    }
}

TEST_F(UpdateBlockFiles, MissingToolFileIsBroken) {
    EXPECT_FALSE(OpenUpdateBlock(&block_, buffer_.data()));
    EXPECT_EQ(block_, INVALID_HANDLE_VALUE);
}

TEST(MemberPath, KeepsTheFolderAsItStandsAndNeverOverruns) {
    char path[PATH_BUFFER_SIZE];
    ASSERT_TRUE(ComposeMemberPath(path, "C:\\Tav\\", "E-EAK9"));
    EXPECT_STREQ(path, "C:\\Tav\\\\MPX\\E-EAK9.MPX");
    ASSERT_TRUE(ComposeMemberPath(path, "", "STARTUP"));
    EXPECT_STREQ(path, "\\MPX\\STARTUP.MPX");
    std::string longest(111, 'a');
    EXPECT_TRUE(ComposeMemberPath(path, longest.c_str(), "STARTUP"));
    std::string tooLong(112, 'a');
    EXPECT_FALSE(ComposeMemberPath(path, tooLong.c_str(), "STARTUP"));
    EXPECT_EQ(strlen(path), PATH_BUFFER_SIZE - 1);
}

// Extraction and the target check, against an install folder with old files.
class Extraction : public UpdateBlockFiles {
protected:
    void SetUp() override {
        UpdateBlockFiles::SetUp();
        install_ = folder_ + "\\install";
        CreateDirectoryA(install_.c_str(), nullptr);
        CreateDirectoryA((install_ + "\\MPX").c_str(), nullptr);
    }
    void TearDown() override {
        if (held_ != INVALID_HANDLE_VALUE) CloseHandle(held_);
        UpdateBlockFiles::TearDown();
    }

    std::string Output(int n) { return install_ + "\\MPX\\" + MemberTable[n].Name + ".MPX"; }
    std::string OutputBytes(int n) {
        std::string bytes;
        return ReadWholeFile(Output(n), &bytes) ? bytes : "<missing>";
    }
    // As the running title might: open, and let nobody else write.
    void Hold(int n) {
        held_ = CreateFileA(Output(n).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held_, INVALID_HANDLE_VALUE);
    }
    ExtractResult Extract(std::vector<int>* steps) {
        ProgressReport report = {[](void* context, int step, int total) {
                                     static_cast<std::vector<int>*>(context)->push_back(step * 10 + total);
                                 },
                                 steps};
        return ExtractMembers(block_, install_.c_str(), buffer_.data(), report, failed_);
    }

    std::string install_;
    HANDLE held_ = INVALID_HANDLE_VALUE;
    char failed_[PATH_BUFFER_SIZE] = "";
};

TEST_F(Extraction, WritesEveryMemberAndCutsLongerOldFiles) {
    WriteWholeFile(Output(0), std::string(10000, 'o'));
    ASSERT_TRUE(Open(IMAGE + Payload() + TRAILER));
    std::vector<int> steps;
    EXPECT_EQ(Extract(&steps), ExtractResult::Done);
    EXPECT_EQ(steps, (std::vector<int>{14, 24, 34, 44}));
    for (int n = 0; n < MEMBER_COUNT; ++n) EXPECT_EQ(OutputBytes(n), MemberBytes(n)) << MemberTable[n].Name;
}

TEST_F(Extraction, AnUnwritableOutputIsReportedWhileTheOthersAreWritten) {
    for (int n = 0; n < MEMBER_COUNT; ++n) WriteWholeFile(Output(n), "old");
    Hold(1);
    ASSERT_TRUE(Open(IMAGE + Payload() + TRAILER));
    std::vector<int> steps;
    EXPECT_EQ(Extract(&steps), ExtractResult::WriteFailed);
    EXPECT_EQ(failed_, Output(1));
    EXPECT_EQ(OutputBytes(1), "old");
    for (int n : {0, 2, 3}) EXPECT_EQ(OutputBytes(n), MemberBytes(n)) << MemberTable[n].Name;
}

TEST_F(Extraction, AMemberThatCannotBeReadLeavesItsOutputUntouched) {
    for (int n = 0; n < MEMBER_COUNT; ++n) WriteWholeFile(Output(n), "old");
    // A block whose last member comes up short on reading.
    std::string shortBlock = folder_ + "\\short.bin";
    WriteWholeFile(shortBlock, Payload().substr(0, PAYLOAD_SIZE - 10));
    block_ = CreateFileA(shortBlock.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(block_, INVALID_HANDLE_VALUE);

    std::vector<int> steps;
    EXPECT_EQ(Extract(&steps), ExtractResult::DataBroken);
    EXPECT_EQ(steps, (std::vector<int>{14, 24, 34, 44}));
    EXPECT_EQ(OutputBytes(3), "old") << "a failed read must never truncate the good file";
}

TEST_F(Extraction, TargetCheckRefusesBeforeAnythingChanges) {
    for (int n = 0; n < MEMBER_COUNT; ++n) WriteWholeFile(Output(n), "old");
    EXPECT_TRUE(CheckTargets(install_.c_str(), failed_));

    Hold(2);
    EXPECT_FALSE(CheckTargets(install_.c_str(), failed_));
    EXPECT_EQ(failed_, Output(2));
    for (int n = 0; n < MEMBER_COUNT; ++n) EXPECT_EQ(OutputBytes(n), "old");
}

TEST_F(Extraction, TargetCheckNeedsTheMpxFolderButNotTheFiles) {
    EXPECT_TRUE(CheckTargets(install_.c_str(), failed_)) << "outputs that do not exist yet are fine";

    std::string other = folder_ + "\\no-mpx";
    CreateDirectoryA(other.c_str(), nullptr);
    EXPECT_FALSE(CheckTargets(other.c_str(), failed_));
    EXPECT_EQ(failed_, other + "\\MPX\\STARTUP.MPX");
    EXPECT_FALSE(FileExists(other + "\\MPX"));
}

}  // namespace
