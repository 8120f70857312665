#include "support/QtTestEnvironment.h"

#include "widgets/CompatibleFaces.h"

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
    // The windows are measured with the faces the program itself uses.
    tarvello::LoadCompatibleFaces();
    return RUN_ALL_TESTS();
}
