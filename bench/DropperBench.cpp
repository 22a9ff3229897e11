// One pointer move of the eye dropper in the core: the sample under the
// pointer and the zoom picture with its marker, drawn from a synthetic
// 3840 x 2160 desktop. Its floor is a memcpy of the zoom picture's bytes into
// the same picture memory, timed in the same loop right beside each update,
// so both see the same caches and clock. The counter x_memcpy is the update's
// time as a multiple of that copy's.

#include "dropper/ZoomRendering.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int DesktopWidth = 3840;
constexpr int DesktopHeight = 2160;

const TDesktopPicture& SyntheticDesktop()
{
    static const TDesktopPicture desktop = [] {
        TDesktopPicture picture(DesktopWidth, DesktopHeight);
        // Smooth gradients with a fine pattern over them: every pixel differs
        // from its neighbours, as on a real desktop with text and images.
        for (int y = 0; y < DesktopHeight; ++y) {
            for (int x = 0; x < DesktopWidth; ++x) {
                picture.SetPixel(x, y, (x / 15) & 0xFF, (y / 9) & 0xFF, (x * 7 + y * 13) & 0xFF);
            }
        }
        return picture;
    }();
    return desktop;
}

// The pointer walks across the desktop in steps of a few pixels, as it does
// under the hand, staying inside the confinement of the largest sample size.
TScreenPoint NextPointer(TScreenPoint pointer)
{
    pointer.X += 7;
    pointer.Y += 3;
    if (pointer.X >= DesktopWidth - 40)
        pointer.X = 40;
    if (pointer.Y >= DesktopHeight - 40)
        pointer.Y = 40;
    return pointer;
}

void BM_DropperMove(benchmark::State& state)
{
    const TZoomGeometry geometry{static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                                 static_cast<int>(state.range(2)), 1080};
    const int side = geometry.ZoomFactor * geometry.SourceSize;
    const TDesktopPictureView desktop = SyntheticDesktop().View();
    TZoomPicture zoom(side);
    const auto bytes = static_cast<std::size_t>(ZoomPictureStride(side) * side);
    const std::vector<std::uint8_t> copySource(bytes, 0x5A);

    using Clock = std::chrono::steady_clock;
    Clock::duration updateTime{};
    Clock::duration copyTime{};
    TScreenPoint pointer{DesktopWidth / 2, DesktopHeight / 2};
    for (auto _ : state) {
        const auto start = Clock::now();
        std::memcpy(zoom.View().Bits, copySource.data(), bytes);
        benchmark::ClobberMemory();
        const auto copied = Clock::now();
        TColor color = SampleColorAt(desktop, pointer, geometry.SampleSize);
        const TRenderResult result = RenderZoomArea(desktop, pointer, geometry, zoom.View());
        benchmark::DoNotOptimize(color);
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
        const auto updated = Clock::now();
        copyTime += copied - start;
        updateTime += updated - copied;
        state.SetIterationTime(std::chrono::duration<double>(updated - copied).count());
        pointer = NextPointer(pointer);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["memcpy_us"] = std::chrono::duration<double, std::micro>(copyTime).count() / iterations;
    state.counters["x_memcpy"] = static_cast<double>(updateTime.count()) / static_cast<double>(copyTime.count());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
// Zoom factor, source size, sample size: the defaults; the largest picture
// with the largest sample square that zoom factor 3 allows on a 1920 x 1080
// monitor (179 x 3 = 537); and the same picture with sample size 1, which
// tells the sampling's share from the rendering's.
BENCHMARK(BM_DropperMove)
    ->Args({8, 49, 1})
    ->Args({3, 179, 67})
    ->Args({3, 179, 1})
    ->ArgNames({"Z", "So", "Sa"})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace
