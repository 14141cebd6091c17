// The simulated desktop keeps the few Windows rules the viewer's tests lean on.
#include "sim_desktop.h"
#include "window/surface.h"

#include <gtest/gtest.h>

TEST(SimDesktop, ClockMovesOnlyWhenSleepingAndRunsScheduledEvents) {
    ResetSim();
    const double start = Timer();
    int fired = 0;
    SimAfter(150, [&] { ++fired; });
    SleepMs(100);
    EXPECT_EQ(fired, 0);
    SleepMs(60);
    EXPECT_EQ(fired, 1);
    EXPECT_NEAR(Timer() - start, 0.160, 1e-9);
}

TEST(SimDesktop, AsyncKeyStateReportsATapOnceAndAHeldKeyAlways) {
    ResetSim();
    SimTap(VK_F8);
    EXPECT_NE(GetAsyncKeyState(VK_F8), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_F8), 0);
    SimKeyDown(VK_F7);
    EXPECT_NE(GetAsyncKeyState(VK_F7), 0);
    EXPECT_NE(GetAsyncKeyState(VK_F7), 0);
}

TEST(SimDesktop, SelectedBitmapCannotBeDeletedAndCountsStayBalanced) {
    ResetSim();
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{40, 4, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ stock = SelectObject(dc, bitmap);
    EXPECT_FALSE(DeleteObject(bitmap));
    SelectObject(dc, stock);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(SimLiveGdiObjects(), 0);
}

TEST(SimDesktop, SurfaceWindowCarriesClassCaptionAndFallsBackToProgramName) {
    ResetSim();
    SetSurfaceTitle("My Game");
    ASSERT_EQ(OpenSurface(640, 480, 32, 1, 68, 0), 0);
    HWND viewer = SurfaceWindowHandle();
    EXPECT_EQ(FindWindowA("fbgfxclass_My Game", "My Game"), viewer);
    CloseSurface();
    EXPECT_FALSE(IsWindow(viewer));
    SetSurfaceTitle("");
    OpenSurface(640, 480, 32, 1, 68, 0);
    EXPECT_EQ(SimWindowOf(SurfaceWindowHandle()).caption, "lumenpane");
}
