// The journeys' program: a window manager on the X server first, as on a
// user's desktop, then one QApplication for every journey.
#include "journeys/window_manager.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <memory>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // CTest lists the tests without the test environment: stay headless.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool OnX = qgetenv("QT_QPA_PLATFORM") == "xcb";
    const auto Manager = OnX ? std::make_unique<journey::TWindowManager>() : nullptr;
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    return RUN_ALL_TESTS();
}
