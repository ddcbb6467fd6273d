// Test entry: the components deliver their events through the Qt event loop of the
// thread that created them, so a QCoreApplication exists for every test.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
