// The shippable file: the linked image with the update block appended.
#include <gtest/gtest.h>

#include <string>

#include "test_files.h"
#include "updatedata/member_table.h"

namespace {

TEST(PackedTool, IsTheImageThenTheFourMembersThenTheTrailer) {
    std::string tool, image;
    ASSERT_TRUE(ReadWholeFile(BuildPath("UPDTAV01.EXE"), &tool));
    ASSERT_TRUE(ReadWholeFile(BuildPath("updtav01_image.exe"), &image));

    std::string expected = image;
    for (int n = 0; n < MEMBER_COUNT; ++n) {
        const std::string member = MemberBytes(n);
        ASSERT_EQ(member.size(), MemberTable[n].Size) << MemberTable[n].Name;
        expected += member;
    }
    expected += "\x01\x02\x03\x04\x05\x06\x07\x08";
    ASSERT_EQ(tool.size(), expected.size());
    EXPECT_TRUE(tool == expected) << "same length, different bytes";

    // The tool finds its first member from the file's end, at this fixed distance.
    ASSERT_GE(tool.size(), 18155u);
    EXPECT_EQ(tool.compare(tool.size() - 18155, MemberBytes(0).size(), MemberBytes(0)), 0);
}

}  // namespace
