#include <QApplication>

#include <gtest/gtest.h>

#include "devicelink/tick_clock.h"

int main(int argc, char** argv)
{
    // Tests never need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    devicelink::set_tick_interval_for_tests(1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
