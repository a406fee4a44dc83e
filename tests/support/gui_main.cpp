// Runs the window tests on Qt's offscreen platform, with the program's own application
// object: no display is needed.
#include <gtest/gtest.h>

#include "app/gui/quilvane_application.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    quilvane::QuilvaneApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
