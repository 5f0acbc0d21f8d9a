// Entry of the Windows tests: OLE is started on the test thread, as the program starts it.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    HRESULT ole = ::OleInitialize(nullptr);
    int result = RUN_ALL_TESTS();
    if (SUCCEEDED(ole)) ::OleUninitialize();
    return result;
}
