// Built with SSSE3 code generation (see src/CMakeLists.txt), so nothing here
// may run before CpuHasSsse3() said yes.

#include "dropper/ZoomRows.h"

#include "common/Cpu.h"

#if VESK_X86_64
#include <tmmintrin.h>

#include <utility>

namespace {

template <int Zoom>
inline constexpr TGroupPlan Plan = MakeGroupPlan(Zoom);

template <int Zoom, std::size_t Chunk>
void StoreChunk(const std::uint8_t* pixels, std::uint8_t* out)
{
    constexpr const TGroupPlan& plan = Plan<Zoom>;
    const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + plan.SourceOffsets[Chunk]));
    const __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(plan.Masks[Chunk]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + Chunk * 16), _mm_shuffle_epi8(source, mask));
}

// Every chunk of a group written out, with its offsets and mask as constants.
template <int Zoom, std::size_t... Chunk>
int MagnifyGroups(const std::uint8_t* pixels, int count, std::uint8_t* out, std::index_sequence<Chunk...>)
{
    constexpr const TGroupPlan& plan = Plan<Zoom>;
    const int groups = count / plan.GroupPixels;
    for (int group = 0; group < groups; ++group) {
        (StoreChunk<Zoom, Chunk>(pixels, out), ...);
        pixels += plan.GroupPixels * 4;
        out += plan.GroupBytes;
    }
    return groups * plan.GroupPixels;
}

template <int Zoom>
int MagnifyGroups(const std::uint8_t* pixels, int count, std::uint8_t* out)
{
    return MagnifyGroups<Zoom>(pixels, count, out, std::make_index_sequence<Plan<Zoom>.Chunks>{});
}

} // namespace

int MagnifyGroupsSsse3(int zoom, const std::uint8_t* pixels, int count, std::uint8_t* out) noexcept
{
    static_assert(GroupPlanMinZoom == 3 && GroupPlanMaxZoom == 16, "one case per zoom factor with a plan");
    switch (zoom) {
    case 3: return MagnifyGroups<3>(pixels, count, out);
    case 4: return MagnifyGroups<4>(pixels, count, out);
    case 5: return MagnifyGroups<5>(pixels, count, out);
    case 6: return MagnifyGroups<6>(pixels, count, out);
    case 7: return MagnifyGroups<7>(pixels, count, out);
    case 8: return MagnifyGroups<8>(pixels, count, out);
    case 9: return MagnifyGroups<9>(pixels, count, out);
    case 10: return MagnifyGroups<10>(pixels, count, out);
    case 11: return MagnifyGroups<11>(pixels, count, out);
    case 12: return MagnifyGroups<12>(pixels, count, out);
    case 13: return MagnifyGroups<13>(pixels, count, out);
    case 14: return MagnifyGroups<14>(pixels, count, out);
    case 15: return MagnifyGroups<15>(pixels, count, out);
    case 16: return MagnifyGroups<16>(pixels, count, out);
    default: return 0;
    }
}
#else
int MagnifyGroupsSsse3(int, const std::uint8_t*, int, std::uint8_t*) noexcept
{
    return 0;
}
#endif
