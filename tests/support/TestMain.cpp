#include "support/QtTestEnvironment.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    tarvello::test::PrepareTestEnvironment();
    // The application lives on main's stack so that it goes before the static
    // destructors run; Qt's GL context crashes when destroyed among them.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvello"));
    return RUN_ALL_TESTS();
}
