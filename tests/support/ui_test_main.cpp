#include "program/app_files.h"

#include <QApplication>

#include <gtest/gtest.h>

// Window tests run real widgets on Qt's offscreen platform.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    pw::loadBuiltInResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
