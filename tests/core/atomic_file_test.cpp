// The one writer both front ends save through: what it refuses, what it replaces, and that it
// never leaves its temporary file behind.
#include "core/atomic_file.h"

#include <gtest/gtest.h>

#include "cli/files.h"
#include "support/cli_runner.h"

namespace iconvale::testing {
namespace {

TEST(AtomicFile, WritesRefusesAndReplacesLeavingNoTemporaryFile) {
    CliFolder folder;
    folder.Write("old.bin", Bytes{1, 2, 3});
    std::filesystem::create_directory(cli::PathFromUtf8(folder.Name("sub")));
    const Bytes fresh{9, 8, 7, 6};
    struct Case {
        const char* leaf;
        bool replace;
        AtomicWriteResult result;
        Bytes after;  // the file's content afterwards; empty where there is none
        int files;    // in the folder afterwards
    };
    const Case cases[] = {
        {"new.bin", false, AtomicWriteResult::kWritten, fresh, 2},
        {"old.bin", false, AtomicWriteResult::kExists, Bytes{1, 2, 3}, 2},
        {"old.bin", true, AtomicWriteResult::kWritten, fresh, 2},
        {"sub", true, AtomicWriteResult::kIsFolder, {}, 2},
        {"missing/x.bin", true, AtomicWriteResult::kCannotCreate, {}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.leaf);
        const auto target = cli::PathFromUtf8(folder.Name(c.leaf));
        EXPECT_EQ(WriteAtomically(target, fresh, {.replace = c.replace}), c.result);
        if (!c.after.empty()) {
            EXPECT_EQ(folder.Read(c.leaf), c.after);
        }
        EXPECT_EQ(folder.FileCount(), c.files) << "a temporary file was left behind";
    }
    // An empty file is a file too.
    EXPECT_EQ(WriteAtomically(cli::PathFromUtf8(folder.Name("empty")), {}, {.flush = false}),
              AtomicWriteResult::kWritten);
    EXPECT_TRUE(folder.Exists("empty"));
}

TEST(AtomicFile, TemporaryNamesLieBesideTheTargetAndDifferByTry) {
    const auto target = cli::PathFromUtf8("folder/group.eil");
    const auto first = TemporaryPathFor(target, 1);
    EXPECT_EQ(first.parent_path(), target.parent_path());
    EXPECT_EQ(first.extension(), ".tmp");
    EXPECT_NE(TemporaryPathFor(target, 2), first);
    EXPECT_EQ(TemporaryPathFor(cli::PathFromUtf8("bare"), 1).parent_path(), "");
}

}  // namespace
}  // namespace iconvale::testing
