// The console program: runs the game's check cases and exits with the
// framework's verdict, 0 when every case that ran passed.
#include <cstdio>

#include <gtest/gtest.h>

#include "Platform.h"

int main(int argc, char** argv)
{
    platform::errorstream::filterSfmlErrors();
    std::puts("Running main() from gtest_main.cc");
    testing::InitGoogleTest(&argc, argv);
    return testing::UnitTest::GetInstance()->Run();
}
