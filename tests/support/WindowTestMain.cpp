// main() for the window tests: the program's own application class, so that the central
// error handler is the one under test. The folders come from the build when ctest does not
// hand them over.

#include "game/BlitzfangApplication.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    if (qEnvironmentVariableIsEmpty("BLITZFANG_SOURCE_DIR"))
        qputenv("BLITZFANG_SOURCE_DIR", BLITZFANG_TEST_SOURCE_DIR);
    if (qEnvironmentVariableIsEmpty("BLITZFANG_BUILD_DIR"))
        qputenv("BLITZFANG_BUILD_DIR", BLITZFANG_TEST_BUILD_DIR);
    BlitzfangApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
