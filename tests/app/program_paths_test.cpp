#include "app/program_paths.h"

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "ui/text.h"

namespace iconvale {
namespace {

// A character whose trail byte is 0x5C: a byte-wise scan would take it for a backslash.
const std::string kTrailBackslash = "\xB1\x5C";

TEST(ProgramPathParentFolder, DropsTheLastComponent) {
    EXPECT_EQ(ParentFolder("C:\\icons\\a.eil"), "C:\\icons");
    EXPECT_EQ(ParentFolder("C:\\icons\\"), "C:\\icons");
    EXPECT_EQ(ParentFolder("icons\\a.eil"), "icons");
    EXPECT_EQ(ParentFolder("a.eil"), "");
    EXPECT_EQ(ParentFolder(""), "");
}

TEST(ProgramPathParentFolder, RootsKeepTheirBackslashes) {
    EXPECT_EQ(ParentFolder("C:\\a.eil"), "C:\\");
    EXPECT_EQ(ParentFolder("C:\\"), "C:\\");
    EXPECT_EQ(ParentFolder("C:a.eil"), "C:");
    EXPECT_EQ(ParentFolder("\\a.eil"), "\\");
    EXPECT_EQ(ParentFolder("\\\\server\\share"), "\\\\server");
}

TEST(ProgramPathParentFolder, TrailByteBackslashIsNoSeparator) {
    EXPECT_EQ(ParentFolder("C:\\" + kTrailBackslash + "\\a.eil"), "C:\\" + kTrailBackslash);
    EXPECT_EQ(ParentFolder("C:\\icons\\" + kTrailBackslash), "C:\\icons");
    EXPECT_EQ(ParentFolder("C:\\" + kTrailBackslash), "C:\\");
    EXPECT_EQ(ParentFolder("C:\\a\\b\xB1"), "C:\\a") << "a lead byte at the end stands alone";
}

TEST(ProgramPathParentFolder, AgreesWithThePlatformOnWideText) {
    for (std::string path : {"C:\\icons\\a.eil", "C:\\a.eil", "C:\\", "a.eil", "\\a.eil",
                             "\\\\server\\share\\a", "D:\\\xCD\xBC\xB1\x5C\\x\\\xB1\x5C.eil"}) {
        WideText wide = ToWide(path);
        ::PathRemoveFileSpecW(wide.data());
        EXPECT_EQ(ParentFolder(path), ToNarrow(wide)) << path;
    }
}

TEST(ProgramPathJoin, AddsOneBackslash) {
    EXPECT_EQ(JoinPath("C:\\icons", "seting.ini"), "C:\\icons\\seting.ini");
    EXPECT_EQ(JoinPath("C:\\", "seting.ini"), "C:\\seting.ini");
    EXPECT_EQ(JoinPath("C:\\" + kTrailBackslash, "a"), "C:\\" + kTrailBackslash + "\\a");
}

TEST(ProgramPathModule, FolderAndNameMakeTheExecutablePath) {
    wchar_t module[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    ASSERT_FALSE(ProgramFolder().empty());
    EXPECT_EQ(ProgramFileName(), "windows_tests.exe");
    EXPECT_EQ(ProgramFolder() + "\\" + ProgramFileName(),
              ToNarrow(std::wstring_view(module, length)));
}

}  // namespace
}  // namespace iconvale
