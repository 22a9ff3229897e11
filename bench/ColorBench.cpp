// Kernels of the color model, each against a floor measured in the same run:
// a loop over all 16,777,216 colors that does nothing but an add and an xor.
// The ratios printed at the end are the time per item relative to that floor.

#include "color/ColorFunctions.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <iomanip>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t ColorCount = 0x1000000;
const std::string FloorName = "BM_Floor_FullRange";

// The last color, hidden from the optimiser so that no loop over the full
// range can be folded into a constant.
TColor OpaqueLastColor()
{
    TColor last = 0xFFFFFF;
    benchmark::DoNotOptimize(last);
    return last;
}

void BM_Floor_FullRange(benchmark::State& state)
{
    for (auto _ : state) {
        std::uint32_t sum = 0;
        const TColor last = OpaqueLastColor();
        for (TColor color = 0; color <= last; ++color) {
            sum += static_cast<std::uint32_t>(color ^ (color >> 8));
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * ColorCount);
}
BENCHMARK(BM_Floor_FullRange)->Unit(benchmark::kMillisecond);

void BM_ColorToHLS_FullRange(benchmark::State& state)
{
    for (auto _ : state) {
        std::uint32_t sum = 0;
        const TColor last = OpaqueLastColor();
        for (TColor color = 0; color <= last; ++color) {
            const THLS hls = ColorToHLS(color);
            sum += static_cast<std::uint32_t>(hls.H + hls.L + hls.S);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * ColorCount);
}
BENCHMARK(BM_ColorToHLS_FullRange)->Unit(benchmark::kMillisecond);

// Every valid hue, luminance and saturation: 241^3 calls.
void BM_HLSToColor_AllInputs(benchmark::State& state)
{
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (int h = 0; h <= HLSMAX; ++h) {
            for (int l = 0; l <= HLSMAX; ++l) {
                for (int s = 0; s <= HLSMAX; ++s) {
                    sum += static_cast<std::uint32_t>(HLSToColor(h, l, s));
                }
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * (HLSMAX + 1) * (HLSMAX + 1) * (HLSMAX + 1));
}
BENCHMARK(BM_HLSToColor_AllInputs)->Unit(benchmark::kMillisecond);

void BM_ColorToCMYK_FullRange(benchmark::State& state)
{
    for (auto _ : state) {
        std::uint32_t sum = 0;
        const TColor last = OpaqueLastColor();
        for (TColor color = 0; color <= last; ++color) {
            const TCMYK cmyk = ColorToCMYK(color);
            sum += static_cast<std::uint32_t>(cmyk.C + cmyk.M + cmyk.Y + cmyk.K);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * ColorCount);
}
BENCHMARK(BM_ColorToCMYK_FullRange)->Unit(benchmark::kMillisecond);

// All cyan, magenta and yellow values, the black value varying with them.
void BM_CMYKToColor_256Cubed(benchmark::State& state)
{
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (int c = 0; c <= RGBMAX; ++c) {
            for (int m = 0; m <= RGBMAX; ++m) {
                for (int y = 0; y <= RGBMAX; ++y) {
                    sum += static_cast<std::uint32_t>(CMYKToColor(c, m, y, (c + m + y) & 0xFF));
                }
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * ColorCount);
}
BENCHMARK(BM_CMYKToColor_256Cubed)->Unit(benchmark::kMillisecond);

// One iteration is the whole range; "mismatches" counts colors that did not
// come back (0 expected).
void BM_CMYKRoundTrip_FullRange(benchmark::State& state)
{
    std::uint32_t mismatches = 0;
    for (auto _ : state) {
        mismatches = 0;
        const TColor last = OpaqueLastColor();
        for (TColor color = 0; color <= last; ++color) {
            const TCMYK cmyk = ColorToCMYK(color);
            mismatches += CMYKToColor(cmyk.C, cmyk.M, cmyk.Y, cmyk.K) != color ? 1u : 0u;
        }
        benchmark::DoNotOptimize(mismatches);
    }
    state.SetItemsProcessed(state.iterations() * ColorCount);
    state.counters["mismatches"] = mismatches;
}
BENCHMARK(BM_CMYKRoundTrip_FullRange)->Unit(benchmark::kMillisecond);

const char* FormatName(std::int64_t format)
{
    static const char* const Names[] = {"HTML/CSS", "Delphi", "C++", "Visual Basic", "Windows color reference"};
    return Names[format];
}

// The colors step by an odd amount so that every call writes other digits.
void BM_ColorToStr(benchmark::State& state)
{
    const auto format = static_cast<TColorCodeFormat>(state.range(0));
    TColor color = 0;
    for (auto _ : state) {
        std::string text = ColorToStr(color, format, true, true);
        benchmark::DoNotOptimize(text.data());
        color = (color + 0x0A0B0D) & 0xFFFFFF;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(FormatName(state.range(0)));
}
BENCHMARK(BM_ColorToStr)->DenseRange(ccfHTMLCSS, ccfWindowsColorReference);

void BM_StrToColor(benchmark::State& state)
{
    const auto written = static_cast<TColorCodeFormat>(state.range(0));
    std::vector<std::string> texts;
    for (TColor color = 0; color <= 0xFFFFFF; color += 4099) {
        texts.push_back(" " + ColorToStr(color, written, true, true) + "\r\n");
    }
    std::size_t next = 0;
    for (auto _ : state) {
        TColorCodeFormat format = written;
        bool valid = false;
        bool hasPrefix = false;
        TColor color = StrToColor(texts[next], format, valid, hasPrefix);
        benchmark::DoNotOptimize(color);
        benchmark::DoNotOptimize(valid);
        next = next + 1 == texts.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(FormatName(state.range(0)));
}
BENCHMARK(BM_StrToColor)->DenseRange(ccfHTMLCSS, ccfWindowsColorReference);

// The usual console table, followed by each benchmark's time per item (CPU
// time) as a multiple of the floor's. With --benchmark_repetitions the median
// is used: it is reported after the single runs and so overwrites them.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto rate = run.counters.find("items_per_second");
            const bool single = run.run_type == Run::RT_Iteration;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((single || median) && !run.error_occurred && rate != run.counters.end()) {
                itemsPerSecond_[run.run_name.str()] = rate->second.value;
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto floor = itemsPerSecond_.find(FloorName);
        if (floor == itemsPerSecond_.end()) {
            return;
        }
        std::ostream& out = GetOutputStream();
        out << "\nTime per item relative to " << FloorName << " (" << std::fixed << std::setprecision(2)
            << floor->second / 1e6 << " M items/s):\n";
        for (const auto& [name, rate] : itemsPerSecond_) {
            if (name != FloorName) {
                out << "  " << std::left << std::setw(40) << name << std::right << std::setw(10) << std::setprecision(1)
                    << floor->second / rate << " x\n";
            }
        }
    }

private:
    std::map<std::string, double> itemsPerSecond_;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
