#include "dropper/DropperSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "dropper/ZoomPlacement.h"

void PrintTo(const TDropperValues& v, std::ostream* out)
{
    *out << "Z " << v.ZoomFactor << ", So " << v.SourceSize << ", Sa " << v.SampleSize << ", M " << v.MouseSpeed;
}

namespace {

const char* LabelName(TZoomLabel label)
{
    static const char* const Names[] = {"LRGB",        "LCoordinatesScreen", "LCoordinatesMonitor", "LZoomFactor",
                                        "LSourceSize", "LSampleSize",        "LMouseSpeed"};
    return Names[label];
}

// The snapshot window as a list of what was asked of it. RefreshZoom runs
// the real update at the pointer's position, as the window does, so nested
// refreshes and the lock behave as they will on the screen.
class TRecordingHost : public TDropperHost {
public:
    std::vector<std::string> Events;
    std::vector<std::string> ErrorLog;
    int Cancels = 0;
    int Refreshes = 0;
    int SystemMouseSpeed = 0;
    TScreenPoint PointerClient{0, 0};
    TScreenPoint ZoomWindowTopLeft{0, 0};
    unsigned LayoutDpi = 0;
    TDropperSession* Session = nullptr;
    TZoomPicture Picture;

    void SetCaption(TZoomLabel label, std::string_view caption) override
    {
        Events.push_back(std::string(LabelName(label)) + " " + std::string(caption));
    }
    void ResizeZoomPicture(int side) override
    {
        Picture.Resize(side);
        Events.push_back("resize " + std::to_string(side));
    }
    void ClipCursorToSnapshot() override { Events.push_back("clip"); }
    void RefreshZoom() override
    {
        ++Refreshes;
        Events.push_back("refresh");
        Session->Update(PointerClient);
    }
    void SetSystemMouseSpeed(int speed) override
    {
        SystemMouseSpeed = speed;
        Events.push_back("speed " + std::to_string(speed));
    }
    void AppendErrorLine(const std::string& line) override
    {
        ErrorLog.push_back(line);
        Events.push_back("error " + line);
    }
    void CancelRun() override
    {
        ++Cancels;
        Events.push_back("cancel");
    }
    void KeepZoomWindowInFront() override { Events.push_back("front"); }
    void ShowSampleColor(TColor color) override { Events.push_back("color " + std::to_string(color)); }
    TWindowSize ZoomWindowSize(unsigned dpi) override
    {
        LayoutDpi = dpi;
        return ::ZoomWindowSize(Picture.Side(), dpi);
    }
    void MoveZoomWindow(TScreenPoint screenTopLeft) override
    {
        ZoomWindowTopLeft = screenTopLeft;
        Events.push_back("move " + std::to_string(screenTopLeft.X) + " " + std::to_string(screenTopLeft.Y));
    }
    TZoomPictureView ZoomPicture() override { return Picture.View(); }
    void ZoomPictureChanged() override { Events.push_back("shown"); }

    std::string Caption(TZoomLabel label) const
    {
        const std::string prefix = std::string(LabelName(label)) + " ";
        for (auto event = Events.rbegin(); event != Events.rend(); ++event) {
            if (event->rfind(prefix, 0) == 0)
                return event->substr(prefix.size());
        }
        return "(never set)";
    }
};

const TDropperTexts Texts{"Zoom", "Source", "Sample", "Speed"};
const TDropperValues Defaults{8, 49, 1, 5};

// Screen coordinates: a 1920 x 1080 primary, a 1024 x 768 monitor to its
// right and a 1280 x 1024 one to its left. The virtual desktop runs from
// (-1280, 0) to (2944, 1080).
const TScreenRect Primary{0, 0, 1920, 1080};
const TScreenRect Small{1920, 0, 2944, 768};
const TScreenRect LeftOfPrimary{-1280, 0, 0, 1024};
constexpr TScreenPoint Origin{-1280, 0};

// One run: the picture, the windows and the rules, started with the
// pointer at a screen position.
struct TRun {
    TDesktopPicture Desktop{2944 + 1280, 1080};
    TRecordingHost Host;
    TDropperSession Session;

    explicit TRun(const TDropperValues& stored, TScreenPoint pointer = {960, 540},
                  std::vector<TScreenRect> monitors = {Primary, Small, LeftOfPrimary}, std::vector<unsigned> dpis = {})
        : Session(Host, TDropperScene{Desktop.View(), Origin, std::move(monitors), std::move(dpis)}, stored, pointer)
    {
        Host.Session = &Session;
        Host.PointerClient = Session.ToClient(pointer);
    }

    // FormActivate's part in the rules: the settings, then one refresh.
    void FirstActivation()
    {
        Session.Settings().ApplyStoredSettings(Texts);
        Session.Settings().RefreshZoom();
    }

    void MoveTo(TScreenPoint screen)
    {
        Host.PointerClient = Session.ToClient(screen);
        Session.Update(Host.PointerClient);
    }
};

std::vector<std::string> Lines(std::initializer_list<const char*> lines)
{
    return {lines.begin(), lines.end()};
}

} // namespace

// The setters in their order, no refresh until all four have run, then
// exactly one update.
TEST(DropperSessionTest, FirstActivationAppliesTheSettingsThenRefreshesOnce)
{
    TRun run(Defaults);
    EXPECT_TRUE(run.Host.Events.empty()) << "the start of the run only computes";
    run.Session.Settings().ApplyStoredSettings(Texts);
    EXPECT_EQ(run.Host.Events, Lines({"LZoomFactor Zoom = 8x", "resize 392", "LSourceSize Source = 49px", "resize 392",
                                      "LSampleSize Sample = 1px", "clip", "LMouseSpeed Speed = 5/20", "speed 5"}));
    EXPECT_FALSE(run.Session.Settings().RefreshZoomLocked());

    run.Host.Events.clear();
    run.Session.Settings().RefreshZoom();
    EXPECT_EQ(run.Host.Events,
              Lines({"refresh", "front", "color 0", "LRGB RGB = (0, 0, 0)", "LCoordinatesScreen Screen = [960, 540]",
                     "LCoordinatesMonitor Monitor = -- ditto --", "move 990 343", "shown"}));
    EXPECT_TRUE(run.Host.ErrorLog.empty());
    EXPECT_EQ(run.Host.Cancels, 0);
}

// Stored values are checked only by the setters at the first activation;
// every setter runs, and the refresh after them adds the render's own line.
TEST(DropperSessionTest, StoredValuesOutOfRangeEndTheRunWithTheirMessages)
{
    struct TCase {
        const char* Stored;
        TDropperValues Values;
        std::vector<std::string> ErrorLog;
        TDropperValues After;
    };
    const TCase cases[] = {
        {"defaults", Defaults, {}, Defaults},
        {"even source size",
         {8, 50, 1, 5},
         Lines({"SetSourceSize: Invalid input", "RenderZoomArea: Invalid input"}),
         {8, 50, 1, 5}},
        {"zoom factor 2",
         {2, 49, 1, 5},
         Lines({"SetZoomFactor: Invalid input", "RenderZoomArea: Invalid input"}),
         {2, 49, 1, 5}},
        // 540 div 181 = 2: the reduced source size is 1.
        {"zoom factor 181",
         {181, 49, 1, 5},
         Lines({"SetSourceSize: Invalid input", "RenderZoomArea: Invalid input"}),
         {181, 1, 1, 5}},
        {"zoom factor 180: source size 3", {180, 49, 1, 5}, {}, {180, 3, 1, 5}},
        {"zoom factor 12: source size reduced to 45 without a message", {12, 49, 1, 5}, {}, {12, 45, 1, 5}},
        {"mouse speed 0 (system speed 1)", {8, 49, 1, 0}, Lines({"SetMouseSpeed: Invalid input"}), {8, 49, 1, 0}},
        {"mouse speed 21", {8, 49, 1, 21}, Lines({"SetMouseSpeed: Invalid input"}), {8, 49, 1, 21}},
        {"even sample size",
         {8, 49, 2, 5},
         Lines({"SetSampleSize: Invalid input", "RenderZoomArea: Invalid input"}),
         {8, 49, 2, 5}},
        {"sample size 0",
         {8, 49, 0, 5},
         Lines({"SetSampleSize: Invalid input", "RenderZoomArea: Invalid input"}),
         {8, 49, 0, 5}},
        // The source size setter runs first and pulls the sample size down to 49;
        // the sample size setter then applies that.
        {"sample size above the source size", {8, 49, 61, 5}, {}, {8, 49, 49, 5}},
        {"everything wrong",
         {-3, 4, 4, 99},
         Lines({"SetZoomFactor: Invalid input", "SetSourceSize: Invalid input", "SetSampleSize: Invalid input",
                "SetMouseSpeed: Invalid input", "RenderZoomArea: Invalid input"}),
         {-3, 4, 4, 99}},
        // 540 div 2147483647 = 0, so the reduced source size is -1, with
        // which the zoom factor passes its own check.
        {"values far out of range",
         {2147483647, 2147483647, 2147483647, -2147483647 - 1},
         Lines({"SetSourceSize: Invalid input", "SetSampleSize: Invalid input", "SetMouseSpeed: Invalid input",
                "RenderZoomArea: Invalid input"}),
         {2147483647, -1, 2147483647, -2147483647 - 1}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Stored);
        TRun run(c.Values);
        run.FirstActivation();
        EXPECT_EQ(run.Host.ErrorLog, c.ErrorLog);
        EXPECT_EQ(run.Host.Cancels, static_cast<int>(c.ErrorLog.size())) << "every line ends the run once more";
        EXPECT_EQ(run.Session.Settings().Values(), c.After);
        EXPECT_EQ(run.Host.Refreshes, 1);
        const bool drawn = std::find(run.Host.Events.begin(), run.Host.Events.end(), "shown") != run.Host.Events.end();
        EXPECT_EQ(drawn, c.ErrorLog.empty() || c.ErrorLog.back() != "RenderZoomArea: Invalid input");
    }
}

// A rejected value does not stop the setters after it: the mouse speed of an
// otherwise broken run still reaches the system, to be restored at the end.
TEST(DropperSessionTest, SettersAfterARejectedOneStillRun)
{
    TRun run({8, 50, 3, 7});
    run.FirstActivation();
    EXPECT_EQ(run.Host.SystemMouseSpeed, 7);
    EXPECT_EQ(run.Host.Caption(zlSampleSize), "Sample = 3px");
    EXPECT_EQ(run.Host.Caption(zlSourceSize), "(never set)");
}

// Defaults on a 1920 x 1080 monitor (B = 540). Each row turns the wheel a
// number of notches in one direction from the defaults (or a start of its
// own) and checks where the settings stop.
TEST(DropperSessionTest, WheelWalksStopAtTheLimits)
{
    const TShiftState none{};
    const TShiftState ctrl{false, true, false, false};
    const TShiftState alt{false, false, true, false};
    const TShiftState shift{true, false, false, false};
    struct TCase {
        const char* Walk;
        TDropperValues Start;
        TShiftState Modifiers;
        bool Up;
        int Notches;
        TDropperValues Expected;
    };
    const TCase cases[] = {
        {"wheel up: zoom 11 (12 x 49 = 588 > 540)", Defaults, none, true, 10, {11, 49, 1, 5}},
        {"wheel down: zoom 3", Defaults, none, false, 10, {3, 49, 1, 5}},
        {"Ctrl up: source 67 (69 x 8 = 552 > 540)", Defaults, ctrl, true, 20, {8, 67, 1, 5}},
        {"Ctrl down: source 3", Defaults, ctrl, false, 30, {8, 3, 1, 5}},
        {"Alt up: sample 67, source along", Defaults, alt, true, 40, {8, 67, 67, 5}},
        {"Alt down: sample 1", {8, 49, 9, 5}, alt, false, 10, {8, 49, 1, 5}},
        {"Shift up: speed 20", Defaults, shift, true, 20, {8, 49, 1, 20}},
        {"Shift down: speed 1", Defaults, shift, false, 20, {8, 49, 1, 1}},
        {"Ctrl+Shift: nothing", Defaults, {true, true, false, false}, true, 5, Defaults},
        {"Alt+Ctrl: nothing", Defaults, {false, true, true, false}, false, 5, Defaults},
        {"a mouse button held: nothing", Defaults, {false, false, false, true}, true, 5, Defaults},
        {"zoom 3 with source 179 cannot grow", {3, 179, 1, 5}, none, true, 3, {3, 179, 1, 5}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Walk);
        TRun run(c.Start);
        run.FirstActivation();
        for (int notch = 0; notch < c.Notches; ++notch) {
            run.Session.Settings().WheelStep(c.Up, c.Modifiers);
            const TDropperSettings& s = run.Session.Settings();
            ASSERT_LE(s.SourceSize() * s.ZoomFactor(), 540);
            ASSERT_LE(s.SampleSize(), s.SourceSize());
        }
        EXPECT_EQ(run.Session.Settings().Values(), c.Expected);
        EXPECT_TRUE(run.Host.ErrorLog.empty());
    }
}

// Alt raises the sample size by 2; past 49 the source size goes along, one
// update per notch.
TEST(DropperSessionTest, SampleSizeTakesTheSourceSizeAlong)
{
    TRun run(Defaults);
    run.FirstActivation();
    for (int sample = 3; sample <= 67; sample += 2) {
        SCOPED_TRACE(sample);
        run.Host.Refreshes = 0;
        run.Session.Settings().WheelStep(true, {false, false, true, false});
        EXPECT_EQ(run.Session.Settings().SampleSize(), sample);
        EXPECT_EQ(run.Session.Settings().SourceSize(), std::max(49, sample));
        EXPECT_EQ(run.Host.Refreshes, 1);
        EXPECT_EQ(run.Host.Picture.Side(), run.Session.Settings().SourceSize() * 8);
    }
}

// From 49 down to 3 with sample size 7: the sample size becomes 5 and then
// 3 on the way, each notch with exactly one update and one caption per
// changed setting.
TEST(DropperSessionTest, SourceSizeTakesTheSampleSizeAlongDownwards)
{
    TRun run({8, 49, 7, 5});
    run.FirstActivation();
    std::vector<int> samples;
    for (int notch = 0; notch < 30; ++notch) {
        run.Host.Refreshes = 0;
        run.Session.Settings().WheelStep(false, {false, true, false, false});
        samples.push_back(run.Session.Settings().SampleSize());
        EXPECT_LE(run.Host.Refreshes, 1);
    }
    EXPECT_EQ(run.Session.Settings().SourceSize(), 3);
    const std::vector<int> expected = {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
                                       7, 7, 7, 7, 7, 7, 5, 3, 3, 3, 3, 3, 3, 3, 3};
    EXPECT_EQ(samples, expected);
    EXPECT_EQ(run.Host.Caption(zlSampleSize), "Sample = 3px");
    EXPECT_EQ(run.Host.Caption(zlSourceSize), "Source = 3px");
}

TEST(DropperSessionTest, MouseSpeedReachesTheSystemAtEveryNotch)
{
    TRun run(Defaults);
    run.FirstActivation();
    for (int speed = 6; speed <= 9; ++speed) {
        run.Session.Settings().WheelStep(true, {true, false, false, false});
        EXPECT_EQ(run.Host.SystemMouseSpeed, speed);
        EXPECT_EQ(run.Host.Caption(zlMouseSpeed), "Speed = " + std::to_string(speed) + "/20");
    }
}

// From the 1920 x 1080 monitor (B = 540) onto the 1024 x 768 one (B = 384):
// 384 div 8 = 48, so 47; the zoom factor stays, the sample size follows
// only because it no longer fits, and the reduction refreshes nothing by
// itself.
TEST(DropperSessionTest, MovingOntoASmallerMonitorShrinksTheSourceSize)
{
    TRun run({8, 67, 51, 5});
    run.FirstActivation();
    ASSERT_TRUE(run.Host.ErrorLog.empty());
    run.Host.Events.clear();
    run.Host.Refreshes = 0;
    run.MoveTo({2400, 400});
    EXPECT_EQ(run.Session.Settings().Values(), (TDropperValues{8, 47, 47, 5}));
    EXPECT_EQ(run.Session.Settings().ZoomSizeBoundary(), 384);
    EXPECT_EQ(run.Host.Refreshes, 0);
    EXPECT_TRUE(run.Host.ErrorLog.empty());
    EXPECT_EQ(run.Host.Picture.Side(), 376);
    EXPECT_EQ(run.Host.Events.back(), "shown");
    // Back on the large monitor nothing grows again.
    run.MoveTo({500, 500});
    EXPECT_EQ(run.Session.Settings().SourceSize(), 47);
    EXPECT_EQ(run.Session.Settings().ZoomSizeBoundary(), 540);
}

// A monitor so small that even source size 3 does not fit: the reduction is
// rejected, and the render rejects the settings as well.
TEST(DropperSessionTest, AMonitorTooSmallForAnySourceSizeEndsTheRun)
{
    TRun run(Defaults, {960, 540}, {Primary, {1920, 0, 1960, 40}});
    run.FirstActivation();
    run.MoveTo({1930, 10}); // B = 20, 20 div 8 = 2
    EXPECT_EQ(run.Host.ErrorLog, Lines({"SetSourceSize: Invalid input", "RenderZoomArea: Invalid input"}));
    EXPECT_EQ(run.Host.Cancels, 2);
}

// The monitor at (-1280, 0): the pointer at screen (-1000, 300) is pixel
// (280, 300) of the snapshot and of that monitor.
TEST(DropperSessionTest, UpdateSamplesWritesTheCaptionsAndPlacesTheWindow)
{
    TRun run(Defaults);
    run.Desktop.SetPixel(280, 300, 255, 128, 0);
    run.FirstActivation();
    run.MoveTo({-1000, 300});
    EXPECT_EQ(run.Session.SampleColor(), RGBToColor(255, 128, 0));
    EXPECT_EQ(run.Host.Caption(zlRGB), "RGB = (255, 128, 0)");
    EXPECT_EQ(run.Host.Caption(zlCoordinatesScreen), "Screen = [-1000, 300]");
    EXPECT_EQ(run.Host.Caption(zlCoordinatesMonitor), "Monitor = [280, 300]");
    EXPECT_EQ(run.Session.Settings().ZoomSizeBoundary(), 512);
    EXPECT_EQ(run.Host.ZoomWindowTopLeft.X, -970);
    EXPECT_EQ(run.Host.ZoomWindowTopLeft.Y, 103);
    // The central block of the zoom picture is the pixel under the pointer.
    const std::uint8_t* centre = run.Host.Picture.View().Row(196) + 196 * 3;
    EXPECT_EQ(RGBToColor(centre[2], centre[1], centre[0]), RGBToColor(255, 128, 0));

    run.MoveTo({1900, 1070}); // bottom-right corner of the primary
    EXPECT_EQ(run.Host.Caption(zlCoordinatesMonitor), "Monitor = -- ditto --");
    EXPECT_EQ(run.Host.ZoomWindowTopLeft.X, 1900 - 522 - 30);
    EXPECT_EQ(run.Host.ZoomWindowTopLeft.Y, 1080 - 394);
    EXPECT_EQ(run.Session.SampleColor(), 0);
}

// Monitors of different DPI: the zoom window is laid out for the monitor
// under the pointer, and placed with the size it has there. On the small
// monitor at 192 DPI the picture shrinks to So 47 (376 pixels, never scaled)
// and the left column doubles: 256 + 378 wide, 562 high.
TEST(DropperSessionTest, TheZoomWindowFollowsTheDpiOfTheMonitorUnderThePointer)
{
    TRun run(Defaults, {960, 540}, {Primary, Small, LeftOfPrimary}, {96, 192});
    run.FirstActivation();
    EXPECT_EQ(run.Host.LayoutDpi, 96u);

    run.MoveTo({2900, 700});
    EXPECT_EQ(run.Host.LayoutDpi, 192u);
    EXPECT_EQ(run.Host.Picture.Side(), 376);
    EXPECT_EQ(run.Host.ZoomWindowTopLeft.X, 2900 - 30 - 634);
    EXPECT_EQ(run.Host.ZoomWindowTopLeft.Y, 768 - 562);

    // The third monitor has no DPI in the list: 96.
    run.MoveTo({-1000, 300});
    EXPECT_EQ(run.Host.LayoutDpi, 96u);
}

// The monitor at (-1280, 0) is 56 rows shorter than the primary beside it.
// At its bottom edge the sample square reaches one row into the corner below
// it, which no monitor shows; the color is the mean of the six pixels above.
TEST(DropperSessionTest, TheSampleLeavesOutWhatNoMonitorShows)
{
    TRun run({8, 49, 3, 5});
    run.Desktop.Fill(279, 1022, 282, 1024, 90, 60, 30);
    run.Desktop.SetPixel(280, 1022, 96, 60, 30);
    run.Desktop.Fill(279, 1024, 282, 1025, 255, 255, 255); // the corner no monitor shows
    run.FirstActivation();
    run.MoveTo({-1000, 1023});
    EXPECT_EQ(run.Host.Caption(zlRGB), "RGB = (91, 60, 30)");
}

// The pointer confinement of the snapshot: the virtual desktop, shrunk for
// the sample size in force.
TEST(DropperSessionTest, SnapshotAreaIsTheVirtualDesktop)
{
    TRun run(Defaults);
    const TScreenRect area = run.Session.SnapshotArea();
    EXPECT_EQ(area, (TScreenRect{-1280, 0, 2944, 1080}));
    EXPECT_EQ(run.Session.ToScreen(run.Session.ToClient({-7, 9})), (TScreenPoint{-7, 9}));
    EXPECT_EQ(run.Session.ToClient({-1280, 0}), (TScreenPoint{0, 0}));
}
