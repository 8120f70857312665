// The X11 tests run on Qt's xcb platform under the X server with-xvfb provides.
#include "Application.h"

#include "main/StartupEnvironment.h"
#include "support/FakeDialogs.h"

#include <gtest/gtest.h>

#include <vector>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    tarvello::PrepareProcessEnvironment();
    // On X11 as on a desktop, whatever the caller's platform; the display is the
    // one with-xvfb set up.
    std::vector<char *> arguments(argv, argv + argc);
    char platform[] = "-platform";
    char xcb[] = "xcb";
    arguments.push_back(platform);
    arguments.push_back(xcb);
    arguments.push_back(nullptr);
    int count = argc + 2;
    tarvello::test::TFakeDialogs dialogs;
    tarvello::TApplication application(count, arguments.data(), dialogs);
    return RUN_ALL_TESTS();
}
