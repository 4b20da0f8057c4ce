// The Win32 window's tests: one process for all of them, as wine starts slowly.
#include <gtest/gtest.h>
#include <windows.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
