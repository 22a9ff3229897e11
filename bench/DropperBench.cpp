// One pointer move of the eye dropper in the core: the sample under the
// pointer and the zoom picture with its marker, drawn from a synthetic
// 3840 x 2160 desktop. Its floor is a memcpy of the zoom picture's bytes into
// the same picture memory, timed in the same loop right beside each update,
// so both see the same caches and clock. The counter x_memcpy is the update's
// time as a multiple of that copy's, summed over all iterations; x_median is
// the same ratio of the two medians, which a busy machine disturbs less: an
// iteration that lost the processor to another program is one outlier there,
// while in the sums it can outweigh thousands of others.

#include "dropper/ZoomRendering.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

double Median(std::vector<double>& values)
{
    if (values.empty())
        return 0.0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

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

void DropperMove(benchmark::State& state, TPixelKernel kernel)
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
    std::vector<double> updateTimes, copyTimes; // microseconds, one per iteration
    TScreenPoint pointer{DesktopWidth / 2, DesktopHeight / 2};
    for (auto _ : state) {
        const auto start = Clock::now();
        std::memcpy(zoom.View().Bits, copySource.data(), bytes);
        benchmark::ClobberMemory();
        const auto copied = Clock::now();
        TColor color = SampleColorAt(desktop, pointer, geometry.SampleSize, kernel);
        const TRenderResult result = RenderZoomArea(desktop, pointer, geometry, zoom.View(), kernel);
        benchmark::DoNotOptimize(color);
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
        const auto updated = Clock::now();
        copyTime += copied - start;
        updateTime += updated - copied;
        state.SetIterationTime(std::chrono::duration<double>(updated - copied).count());
        updateTimes.push_back(std::chrono::duration<double, std::micro>(updated - copied).count());
        copyTimes.push_back(std::chrono::duration<double, std::micro>(copied - start).count());
        pointer = NextPointer(pointer);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["memcpy_us"] = std::chrono::duration<double, std::micro>(copyTime).count() / iterations;
    state.counters["x_memcpy"] = static_cast<double>(updateTime.count()) / static_cast<double>(copyTime.count());
    const double medianCopy = Median(copyTimes);
    state.counters["x_median"] = medianCopy > 0.0 ? Median(updateTimes) / medianCopy : 0.0;
    state.SetLabel(kernel == pkSsse3 ? "SSSE3" : kernel == pkSse2 ? "SSE2" : "portable");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

void BM_DropperMove(benchmark::State& state)
{
    DropperMove(state, FastestPixelKernel());
}

// The plain C++ kernel, the one builds for other processors run.
void BM_DropperMovePortable(benchmark::State& state)
{
    DropperMove(state, pkPortable);
}

// Zoom factor, source size, sample size: the defaults; the largest picture
// with the largest sample square that zoom factor 3 allows on a 1920 x 1080
// monitor (179 x 3 = 537); and the same picture with sample size 1, which
// tells the sampling's share from the rendering's.
void DropperArgs(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Args({8, 49, 1})
        ->Args({3, 179, 67})
        ->Args({3, 179, 1})
        ->ArgNames({"Z", "So", "Sa"})
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
}
BENCHMARK(BM_DropperMove)->Apply(DropperArgs);
BENCHMARK(BM_DropperMovePortable)->Apply(DropperArgs);

} // namespace
