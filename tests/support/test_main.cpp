// GoogleTest entry point for every suite: the test thread is a COM single-threaded apartment,
// like a container's.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (FAILED(CoInitialize(nullptr))) return 2;
    int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
