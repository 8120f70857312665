#include "main/StartupEnvironment.h"

#include <gtest/gtest.h>

namespace tarvello {
namespace {

TEST(StartupEnvironment, WaylandSessionsRunOnX11UnlessAPlatformWasChosen)
{
    EXPECT_EQ(PlatformForSession("", "wayland", ""), QByteArray("xcb;wayland"));
    EXPECT_EQ(PlatformForSession("", "", "wayland-0"), QByteArray("xcb;wayland"));
    EXPECT_EQ(PlatformForSession("wayland", "wayland", "wayland-0"), QByteArray());
    EXPECT_EQ(PlatformForSession("", "x11", ""), QByteArray());
    EXPECT_EQ(PlatformForSession("", "", ""), QByteArray());
}

} // namespace
} // namespace tarvello
