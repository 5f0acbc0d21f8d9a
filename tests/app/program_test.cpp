#include "app/program.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace iconvale {
namespace {

TEST(Program, ValuesStartAtZeroOrEmpty) {
    Program program;
    EXPECT_FALSE(program.openGroup().IsCreated());
    EXPECT_EQ(program.values.currentPath, "");
    EXPECT_EQ(program.values.modified, 0);
    EXPECT_EQ(program.values.pictureFilterIndex, 0);
    EXPECT_EQ(program.values.groupFilterIndex, 0);
    EXPECT_EQ(program.values.autoSegmentation, 0);
    EXPECT_EQ(program.values.useTransparentColour, 0);
    EXPECT_EQ(program.values.transparentColour, 0u);
    EXPECT_EQ(program.values.extractionFolder, "");
    EXPECT_EQ(program.values.formatIdentifier, "");
    EXPECT_EQ(program.values.extractionSaved, 0);
}

TEST(Program, ObjectsAreBuiltAndReleasedInOrderOnce) {
    std::vector<std::string> events;
    {
        Program program([&](const char* e) { events.push_back(e); });
        ASSERT_TRUE(program.openGroup().Create(16, 16));
        program.Release();
        program.Release();
    }
    EXPECT_EQ(events, (std::vector<std::string>{
                          "build open group", "build scratch picture", "build file dialog object",
                          "build application object", "release open group", "free current path",
                          "release scratch picture", "release file dialog object",
                          "release application object", "free extraction texts"}));
}

TEST(Program, ReleasingDestroysTheOpenGroupsList) {
    HIMAGELIST list = nullptr;
    {
        Program program;
        ASSERT_TRUE(program.openGroup().Create(16, 16));
        list = program.openGroup().GetHandle();
    }
    int w = 0, h = 0;
    EXPECT_FALSE(::ImageList_GetIconSize(list, &w, &h));
}

}  // namespace
}  // namespace iconvale
