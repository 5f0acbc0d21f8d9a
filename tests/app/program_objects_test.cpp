#include "app/program_objects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace iconvale {
namespace {

TEST(ProgramObjects, TheDocumentAndChoicesStartEmpty) {
    ProgramObjects program;
    EXPECT_FALSE(program.document().HasGroup());
    EXPECT_EQ(program.document().path(), "");
    EXPECT_FALSE(program.document().modified());
    EXPECT_EQ(program.choices.pictureFilterIndex, 0);
    EXPECT_EQ(program.choices.groupFilterIndex, 0);
    EXPECT_FALSE(program.choices.autoSegmentation);
    EXPECT_FALSE(program.choices.useTransparentColour);
    EXPECT_EQ(program.choices.transparentColour, 0u);
    EXPECT_EQ(program.choices.extractionFolder, "");
    EXPECT_EQ(program.choices.formatIdentifier, "");
    EXPECT_FALSE(program.choices.extractionSaved);
}

// A group made aside and handed to the document, as New does.
void CreateGroup(ProgramObjects& program) {
    ImageGroup made;
    ASSERT_TRUE(made.Create(16, 16));
    program.document().Create(made, CLR_NONE);
}

TEST(ProgramObjects, ObjectsAreBuiltAndReleasedInOrderOnce) {
    std::vector<std::string> events;
    {
        ProgramObjects program([&](const char* e) { events.push_back(e); });
        CreateGroup(program);
        program.Release();
        program.Release();
    }
    EXPECT_EQ(events, (std::vector<std::string>{
                          "build open group", "build scratch picture", "build file dialog object",
                          "build platform set-up", "release open group", "free current path",
                          "release scratch picture", "release file dialog object",
                          "release platform set-up", "free extraction texts"}));
}

TEST(ProgramObjects, ReleasingDestroysTheOpenGroupsList) {
    HIMAGELIST list = nullptr;
    {
        ProgramObjects program;
        CreateGroup(program);
        list = program.document().group().GetHandle();
    }
    int w = 0, h = 0;
    EXPECT_FALSE(::ImageList_GetIconSize(list, &w, &h));
}

}  // namespace
}  // namespace iconvale
