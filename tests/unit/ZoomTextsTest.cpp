#include "dropper/ZoomTexts.h"

#include <gtest/gtest.h>

#include <string>

TEST(ZoomTextsTest, ValueCaptions)
{
    EXPECT_EQ(RGBCaption(RGBToColor(255, 128, 0)), "RGB = (255, 128, 0)");
    EXPECT_EQ(RGBCaption(RGBToColor(0, 7, 10)), "RGB = (0, 7, 10)");
    EXPECT_EQ(ScreenCaption({-1000, 300}), "Screen = [-1000, 300]");
    EXPECT_EQ(ScreenCaption({0, 0}), "Screen = [0, 0]");
}

TEST(ZoomTextsTest, MonitorCaptionRepeatsNothingOnThePrimary)
{
    struct TCase {
        const char* Monitor;
        TScreenRect Rect;
        TScreenPoint Screen;
        const char* Expected;
    };
    const TCase cases[] = {
        {"primary", {0, 0, 1920, 1080}, {100, 200}, "Monitor = -- ditto --"},
        {"primary's corner", {0, 0, 1920, 1080}, {0, 0}, "Monitor = -- ditto --"},
        {"left of the primary", {-1280, 0, 0, 1024}, {-1000, 300}, "Monitor = [280, 300]"},
        {"right of the primary", {1920, 0, 3840, 1080}, {1920, 5}, "Monitor = [0, 5]"},
        {"above the primary, same left edge", {0, -1080, 1920, 0}, {10, -1}, "Monitor = [10, 1079]"},
        // Outside every monitor the nearest one's offset can be negative.
        {"left of a monitor", {1920, 200, 2944, 968}, {1919, 100}, "Monitor = [-1, -100]"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Monitor);
        EXPECT_EQ(MonitorCaption(c.Screen, c.Rect), c.Expected);
    }
}

TEST(ZoomTextsTest, SettingCaptionsJoinTheLanguageTextValueAndUnit)
{
    EXPECT_EQ(ZoomFactorCaption("Zoom factor", 8), "Zoom factor = 8x");
    EXPECT_EQ(SourceSizeCaption("Source size", 49), "Source size = 49px");
    EXPECT_EQ(SampleSizeCaption("Größe der Probe", 1), "Größe der Probe = 1px");
    EXPECT_EQ(MouseSpeedCaption("Mouse speed", 20), "Mouse speed = 20/20");
    EXPECT_EQ(ZoomFactorCaption("", 181), " = 181x");
}
