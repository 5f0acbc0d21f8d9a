// The name rule both front ends choose a file's form by, and the bytes of each form.
#include "core/file_forms.h"

#include <gtest/gtest.h>

#include "core/group_file.h"
#include "support/stream_builders.h"

namespace iconvale {
namespace {

TEST(FileForms, TheNameChoosesTheFormWhateverItsCase) {
    struct Case {
        const char* name;
        const char* extension;
        FileForm form;
    };
    for (const Case& c :
         {Case{"a.eil", ".eil", FileForm::kEil}, Case{"C:\\icons\\A.EiL", ".eil", FileForm::kEil},
          Case{"form.DFM", ".dfm", FileForm::kDelphiForm}, Case{"dir.lfm/x", "", FileForm::kBare},
          Case{"x.Lfm", ".lfm", FileForm::kLazarusForm}, Case{"r.resx", ".resx", FileForm::kResx},
          Case{"strip.il", ".il", FileForm::kBare}, Case{"noextension", "", FileForm::kBare}}) {
        EXPECT_EQ(LowerExtension(c.name), c.extension) << c.name;
        EXPECT_EQ(FileFormForName(c.name), c.form) << c.name;
    }
    EXPECT_EQ(FileFormName(FileForm::kBare), "bare");
    EXPECT_EQ(FileFormName(FileForm::kResx), "resx");
}

TEST(FileForms, OwnFormsDifferOnlyByTheHeaderAndContainersReadBack) {
    const ImageListData list = testing::PatternList({.width = 8, .height = 8, .count = 2});
    const Bytes bare = WriteListAs(FileForm::kBare, list, "Icons");
    ASSERT_FALSE(bare.empty());
    EXPECT_EQ(WriteListAs(FileForm::kEil, list, "Icons"), WithGroupHeader(bare, true));
    for (FileForm form : {FileForm::kDelphiForm, FileForm::kLazarusForm, FileForm::kResx}) {
        const ContainerContents read = ReadContainer(WriteListAs(form, list, "Icons"));
        EXPECT_EQ(read.form, ContainerFormOf(form));
        ASSERT_EQ(read.lists.size(), 1u);
        EXPECT_EQ(read.lists[0].name, "Icons");
    }
}

}  // namespace
}  // namespace iconvale
