#include "app/drop_target.h"

#include <gtest/gtest.h>

#include "support/file_drop_data.h"
#include "ui/win_handles.h"

namespace iconvale {
namespace {

TEST(FileDropTarget, DeliversThePathsAsOneTextInTheirOrder) {
    std::vector<std::string> delivered;
    ComPtr<IDropTarget> target(
        new FileDropTarget([&](const std::string& p) { delivered.push_back(p); }));
    ComPtr<IDataObject> data(
        testing::NewFileDropData({L"C:\\a.png", L"D:\\图片\\b.ico", L"C:\\c.bmp"}));
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->DragEnter(data.get(), 0, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_EQ(target->Drop(data.get(), 0, {0, 0}, &effect), S_OK);
    EXPECT_EQ(delivered, std::vector<std::string>{"C:\\a.png\r\nD:\\图片\\b.ico\r\nC:\\c.bmp"});
}

TEST(FileDropTarget, RefusesDataWithoutFiles) {
    bool called = false;
    ComPtr<IDropTarget> target(new FileDropTarget([&](const std::string&) { called = true; }));
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragEnter(nullptr, 0, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target->Drop(nullptr, 0, {0, 0}, &effect), S_OK);
    EXPECT_FALSE(called);
}

TEST(FileDropTarget, AnExceptionInTheHandlerStaysInside) {
    ComPtr<IDropTarget> target(new FileDropTarget([](const std::string&) { throw 42; }));
    ComPtr<IDataObject> data(testing::NewFileDropData({L"C:\\a.png"}));
    DWORD effect = 0;
    EXPECT_EQ(target->Drop(data.get(), 0, {0, 0}, &effect), S_OK);
}

}  // namespace
}  // namespace iconvale
