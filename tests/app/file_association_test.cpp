#include "app/file_association.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "app/program_paths.h"
#include "ui/registry.h"
#include "ui/text.h"
#include "ui/win_handles.h"

namespace iconvale {
namespace {

// Each key as "path" -> "key" and each value as "path\name" -> "sz:text" or "dword:n".
using Tree = std::map<std::string, std::string>;

void DumpInto(HKEY key, const std::string& prefix, Tree& tree) {
    wchar_t name[256];
    BYTE data[4096];
    DWORD units = 256, bytes = sizeof(data), type = 0;
    for (DWORD i = 0; ::RegEnumValueW(key, i, name, &units, nullptr, &type, data, &bytes) == 0;
         ++i, units = 256, bytes = sizeof(data)) {
        std::string& entry = tree[prefix + "\\" + ToNarrow(std::wstring_view(name, units))];
        std::wstring_view text(reinterpret_cast<const wchar_t*>(data), bytes / 2);
        if (type == REG_DWORD && bytes == 4) {
            DWORD number = 0;
            std::memcpy(&number, data, 4);
            entry = "dword:" + std::to_string(number);
        } else if (type == REG_SZ && text.find(L'\0') == text.size() - 1) {
            entry = "sz:" + ToNarrow(text);
        } else {
            entry = "type " + std::to_string(type) + ", " + std::to_string(bytes) + " bytes";
        }
    }
    for (DWORD i = 0; units = 256,
               ::RegEnumKeyExW(key, i, name, &units, nullptr, nullptr, nullptr, nullptr) == 0;
         ++i) {
        std::string child = ToNarrow(std::wstring_view(name, units));
        std::string path = prefix.empty() ? child : prefix + "\\" + child;
        tree[path] = "key";
        HKEY opened = nullptr;
        ASSERT_EQ(::RegOpenKeyExW(key, name, 0, KEY_READ, &opened), 0);
        UniqueRegKey sub(opened);
        DumpInto(sub.get(), path, tree);
    }
}

Tree Dump(HKEY root) {
    Tree tree;
    DumpInto(root, "", tree);
    return tree;
}

// A key of its own under HKEY_CURRENT_USER\Software\IconvaleTest, deleted with all it holds.
class ScratchRoot {
public:
    explicit ScratchRoot(std::string_view name)
        : path_(ToWide("Software\\IconvaleTest\\" + std::string(name) + "-" +
                       std::to_string(::GetCurrentProcessId()))) {
        HKEY created = nullptr;
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.data());
        ::RegCreateKeyExW(HKEY_CURRENT_USER, path_.data(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &created, nullptr);
        key_.reset(created);
    }
    ~ScratchRoot() {
        key_.reset();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.data());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\IconvaleTest");  // once nothing is left
    }
    ScratchRoot(const ScratchRoot&) = delete;
    ScratchRoot& operator=(const ScratchRoot&) = delete;

    HKEY get() const { return key_.get(); }

private:
    WideText path_;
    UniqueRegKey key_;
};

constexpr char kProgram[] = "C:\\Tools\\iconvale.exe";
constexpr char kIcon[] = "C:\\Tools\\image.ico";

Tree RegisteredTable(std::string_view icon, std::string_view command) {
    return {
        {".eil", "key"},
        {".eil\\", "sz:e.imagelist"},
        {".eil\\Content Type", "sz:imagelist"},
        {"e.imagelist", "key"},
        {"e.imagelist\\BrowserFlags", "dword:8"},
        {"e.imagelist\\EditFlags", "dword:0"},
        {"e.imagelist\\DefaultIcon", "key"},
        {"e.imagelist\\DefaultIcon\\", "sz:" + std::string(icon)},
        {"e.imagelist\\shell", "key"},
        {"e.imagelist\\shell\\", "sz:open"},
        {"e.imagelist\\shell\\open", "key"},
        {"e.imagelist\\shell\\open\\command", "key"},
        {"e.imagelist\\shell\\open\\command\\", "sz:" + std::string(command)},
    };
}

TEST(AssociationRegister, WritesExactlyTheTable) {
    ScratchRoot root("register-table");
    ASSERT_TRUE(root.get());
    ASSERT_TRUE(RegisterAssociation("*.eil", kProgram, kIcon, "imagelist", root.get()));
    EXPECT_EQ(Dump(root.get()), RegisteredTable(kIcon, "\"C:\\Tools\\iconvale.exe\" \"%1\""));
}

TEST(AssociationRegister, DefaultsToTheRunningProgramAndItsFirstIcon) {
    ScratchRoot root("register-defaults");
    ASSERT_TRUE(RegisterAssociation("eil", "", "", "", root.get()));
    std::string program = ProgramFolder() + "\\" + ProgramFileName();
    Tree expected = RegisteredTable(program + ",0", "\"" + program + "\" \"%1\"");
    expected.erase(".eil\\Content Type");
    EXPECT_EQ(Dump(root.get()), expected);
}

TEST(AssociationRegister, ProgramPathWithBlanksIsQuotedInTheCommandOnly) {
    ScratchRoot root("register-blanks");
    const std::string program = "C:\\Program Files\\Icon Vale\\iconvale.exe";
    ASSERT_TRUE(RegisterAssociation("*.eil", program, "", "", root.get()));
    std::string text;
    ASSERT_TRUE(ReadRegistryText(root.get(), "e.imagelist\\shell\\open\\command\\", text));
    EXPECT_EQ(text, "\"C:\\Program Files\\Icon Vale\\iconvale.exe\" \"%1\"");
    // The shell splits an icon location at its last comma, so blanks do no harm there.
    ASSERT_TRUE(ReadRegistryText(root.get(), "e.imagelist\\DefaultIcon\\", text));
    EXPECT_EQ(text, program + ",0");
}

TEST(AssociationRegister, UnusableExtensionTouchesNothing) {
    EXPECT_EQ(ExtensionKeyName("**..e*i.l"), ".eil");
    EXPECT_EQ(ExtensionKeyName("*.\xB1\x5C"), ".\xB1\x5C") << "a trail byte is no backslash";
    ScratchRoot root("register-unusable");
    for (std::string_view extension :
         {std::string_view(""), std::string_view("*.*"), std::string_view("..\\CLSID"),
          std::string_view("e\0il", 4)}) {
        EXPECT_EQ(ExtensionKeyName(extension), "");
        EXPECT_FALSE(RegisterAssociation(extension, kProgram, kIcon, "imagelist", root.get()));
        EXPECT_FALSE(UnregisterAssociation(extension, root.get()));
    }
    EXPECT_EQ(Dump(root.get()), Tree{});
}

TEST(AssociationUnregister, RemovesEverythingRegistered) {
    ScratchRoot root("unregister-all");
    ASSERT_TRUE(RegisterAssociation("*.eil", kProgram, kIcon, "imagelist", root.get()));
    EXPECT_TRUE(UnregisterAssociation("*.eil", root.get()));
    EXPECT_EQ(Dump(root.get()), Tree{});

    ASSERT_TRUE(RegisterAssociation("*.eil", kProgram, kIcon, "", root.get()));
    ASSERT_TRUE(WriteRegistryText(root.get(), ".eil\\", "E.ImageList"));
    EXPECT_TRUE(UnregisterAssociation("*.eil", root.get())) << "key names ignore case";
    EXPECT_EQ(Dump(root.get()), Tree{});
}

TEST(AssociationUnregister, WithoutDefaultValueChangesNothing) {
    ScratchRoot root("unregister-nodefault");
    EXPECT_TRUE(UnregisterAssociation("*.eil", root.get()));
    ASSERT_TRUE(RegisterAssociation("*.eil", kProgram, kIcon, "imagelist", root.get()));
    ASSERT_TRUE(DeleteRegistryEntry(root.get(), ".eil\\"));
    Tree before = Dump(root.get());
    EXPECT_TRUE(UnregisterAssociation("*.eil", root.get()));
    EXPECT_EQ(Dump(root.get()), before);
}

TEST(AssociationUnregister, ForeignProgIdKeepsTheOtherProgram) {
    ScratchRoot root("unregister-foreign");
    ASSERT_TRUE(RegisterAssociation("*.eil", kProgram, kIcon, "imagelist", root.get()));
    ASSERT_TRUE(WriteRegistryText(root.get(), ".eil\\", "Other.Viewer"));
    ASSERT_TRUE(WriteRegistryText(root.get(), "Other.Viewer\\shell\\open\\command\\", "v %1"));
    Tree expected = Dump(root.get());
    std::erase_if(expected, [](const auto& entry) { return entry.first.starts_with("e."); });

    EXPECT_TRUE(UnregisterAssociation("*.eil", root.get()));
    EXPECT_EQ(Dump(root.get()), expected);
    EXPECT_TRUE(AssociationExists("*.eil", root.get()));
}

TEST(AssociationUnregister, ReportsAKeyThatCouldNotGo) {
    ScratchRoot root("unregister-stuck");
    ASSERT_TRUE(RegisterAssociation("*.eil", kProgram, kIcon, "", root.get()));
    // Another program's verb below ours keeps "shell" and the ProgID alive.
    ASSERT_TRUE(WriteRegistryText(root.get(), "e.imagelist\\shell\\edit\\", "Edit"));
    EXPECT_FALSE(UnregisterAssociation("*.eil", root.get()));
    Tree left = Dump(root.get());
    EXPECT_EQ(left.count(".eil"), 0u);
    EXPECT_EQ(left.count("e.imagelist\\shell\\edit\\"), 1u);
    EXPECT_EQ(left.count("e.imagelist\\shell\\open"), 0u);
    EXPECT_EQ(left.count("e.imagelist\\DefaultIcon"), 0u);
}

TEST(AssociationUnregister, ExtensionKeyWithSubkeysStopsNamingUs) {
    ScratchRoot root("unregister-subkeys");
    ASSERT_TRUE(RegisterAssociation("*.eil", kProgram, kIcon, "", root.get()));
    ASSERT_TRUE(WriteRegistryText(root.get(), ".eil\\OpenWithProgids\\Other.Viewer", ""));
    EXPECT_TRUE(UnregisterAssociation("*.eil", root.get()));
    EXPECT_EQ(Dump(root.get()), (Tree{{".eil", "key"},
                                      {".eil\\OpenWithProgids", "key"},
                                      {".eil\\OpenWithProgids\\Other.Viewer", "sz:"}}));
    EXPECT_FALSE(AssociationExists("*.eil", root.get()));
}

TEST(AssociationExistsTest, FollowsTheDefaultValueWhoeverWroteIt) {
    ScratchRoot root("exists");
    EXPECT_FALSE(AssociationExists("*.eil", root.get()));
    ASSERT_TRUE(WriteRegistryText(root.get(), ".eil\\Content Type", "imagelist"));
    EXPECT_FALSE(AssociationExists("*.eil", root.get())) << "a key without a default value";
    ASSERT_TRUE(WriteRegistryText(root.get(), ".eil\\", ""));
    EXPECT_TRUE(AssociationExists("*.eil", root.get())) << "another program's, even empty";
    ASSERT_TRUE(DeleteRegistryEntry(root.get(), ".eil\\"));
    EXPECT_FALSE(AssociationExists("*.eil", root.get()));
    ASSERT_TRUE(RegisterAssociation("*.eil", kProgram, kIcon, "", root.get()));
    EXPECT_TRUE(AssociationExists("*.eil", root.get()));
}

TEST(AssociationRegistryPath, NamesKeyAndValueByTheLastBackslash) {
    ScratchRoot root("registry-paths");
    // The first key's second character has the trail byte 0x5C: no key "\xCD\xBC\xB1" is made.
    ASSERT_TRUE(WriteRegistryText(root.get(), "\xCD\xBC\xB1\x5C\\b\\Name", "\xD7\xE9"));
    ASSERT_TRUE(WriteRegistryText(root.get(), "\xCD\xBC\xB1\x5C\\b\\", "two"));
    ASSERT_TRUE(WriteRegistryDword(root.get(), "Top", 0xFFFFFFFFu));
    EXPECT_EQ(Dump(root.get()), (Tree{{"\\Top", "dword:4294967295"},
                                      {"\xCD\xBC\xB1\x5C", "key"},
                                      {"\xCD\xBC\xB1\x5C\\b", "key"},
                                      {"\xCD\xBC\xB1\x5C\\b\\", "sz:two"},
                                      {"\xCD\xBC\xB1\x5C\\b\\Name", "sz:\xD7\xE9"}}));
    std::string text = "untouched";
    EXPECT_FALSE(ReadRegistryText(root.get(), "Top", text)) << "a number is no text";
    EXPECT_FALSE(ReadRegistryText(root.get(), "\xCD\xBC\xB1\x5C\\", text)) << "no default value";
    EXPECT_EQ(text, "untouched");
    ASSERT_TRUE(ReadRegistryText(root.get(), "\xCD\xBC\xB1\x5C\\b\\Name", text));
    EXPECT_EQ(text, "\xD7\xE9");
}

TEST(AssociationRegistryPath, DeletingTakesTheValueElseTheKey) {
    ScratchRoot root("registry-delete");
    ASSERT_TRUE(WriteRegistryText(root.get(), "a\\b\\Name", "one"));
    EXPECT_TRUE(DeleteRegistryEntry(root.get(), "a\\b\\Name"));
    EXPECT_TRUE(RegistryKeyExists(root.get(), "a\\b")) << "only the value went";
    EXPECT_FALSE(DeleteRegistryEntry(root.get(), "a")) << "a key with subkeys stays";
    EXPECT_TRUE(DeleteRegistryEntry(root.get(), "a\\b")) << "no value b, so the key b";
    ASSERT_TRUE(WriteRegistryText(root.get(), "a\\", "x"));
    EXPECT_TRUE(DeleteRegistryKey(root.get(), "a")) << "values do not keep a key";
    EXPECT_EQ(Dump(root.get()), Tree{});
    EXPECT_FALSE(DeleteRegistryKey(root.get(), "\\")) << "never the root itself";
}

// Moves HKEY_CLASSES_ROOT's keys of the given names aside and puts them back at the end.
class ClassesRootSnapshot {
public:
    explicit ClassesRootSnapshot(std::vector<std::string> names) : names_(std::move(names)) {
        for (const std::string& name : names_) {
            HKEY copy = nullptr;
            if (RegistryKeyExists(HKEY_CLASSES_ROOT, name) &&
                ::RegCreateKeyExW(backup_.get(), WidePtr(ToWide(name)), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &copy, nullptr) == 0) {
                UniqueRegKey owner(copy);
                ::RegCopyTreeW(HKEY_CLASSES_ROOT, WidePtr(ToWide(name)), copy);
            }
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, WidePtr(ToWide(name)));  // a known start
        }
    }
    ~ClassesRootSnapshot() {
        for (const std::string& name : names_) {
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, WidePtr(ToWide(name)));
            HKEY restored = nullptr;
            if (RegistryKeyExists(backup_.get(), name) &&
                ::RegCreateKeyExW(HKEY_CLASSES_ROOT, WidePtr(ToWide(name)), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &restored, nullptr) == 0) {
                UniqueRegKey owner(restored);
                ::RegCopyTreeW(backup_.get(), WidePtr(ToWide(name)), restored);
            }
        }
    }
    ClassesRootSnapshot(const ClassesRootSnapshot&) = delete;
    ClassesRootSnapshot& operator=(const ClassesRootSnapshot&) = delete;

private:
    std::vector<std::string> names_;
    ScratchRoot backup_{"classes-root-backup"};
};

TEST(AssociationClassesRoot, RegisterAndUnregisterAsTheProgramDoes) {
    ClassesRootSnapshot snapshot({".eil", "e.imagelist"});
    const std::string icon = ProgramFolder() + "\\image.ico";
    const std::string program = ProgramFolder() + "\\" + ProgramFileName();

    ASSERT_TRUE(RegisterAssociation("*.eil", "", icon, "imagelist"));
    EXPECT_TRUE(AssociationExists());
    std::string text;
    ASSERT_TRUE(ReadRegistryText(HKEY_CLASSES_ROOT, ".eil\\", text));
    EXPECT_EQ(text, "e.imagelist");
    ASSERT_TRUE(ReadRegistryText(HKEY_CLASSES_ROOT, "e.imagelist\\DefaultIcon\\", text));
    EXPECT_EQ(text, icon);
    ASSERT_TRUE(ReadRegistryText(HKEY_CLASSES_ROOT, "e.imagelist\\shell\\open\\command\\", text));
    EXPECT_EQ(text, "\"" + program + "\" \"%1\"");

    EXPECT_TRUE(UnregisterAssociation("*.eil"));
    EXPECT_FALSE(AssociationExists());
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, ".eil"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, "e.imagelist"));
}

}  // namespace
}  // namespace iconvale
