#pragma once

// The inner loop of the zoom picture for processors with SSSE3: a run of
// source pixels magnified with one byte shuffle per 16 bytes written.
//
// A group of pixels is the shortest run (of 4 or more) whose magnified bytes
// fill whole 16-byte chunks. Each chunk is one shuffle of the 4 source pixels
// (16 bytes) it draws from, so the masks and source offsets of one group
// serve every group of the row; the plan holds them for one zoom factor and
// is made at compile time.

#include <cstdint>

inline constexpr int GroupPlanMinZoom = 3;
inline constexpr int GroupPlanMaxZoom = 16;
// Zoom factor 15: 16 pixels of 45 bytes, 720 bytes in 45 chunks.
inline constexpr int GroupPlanMaxChunks = 45;

struct TGroupPlan {
    int GroupPixels = 0;
    int GroupBytes = 0;
    int Chunks = 0;
    std::uint8_t Masks[GroupPlanMaxChunks][16] = {};
    std::uint8_t SourceOffsets[GroupPlanMaxChunks] = {}; // bytes from the group's first pixel
};

// Chunk c covers bytes 16c .. 16c + 15 of the group's magnified bytes. Byte b
// is channel b mod 3 of the group's pixel b div 3Z. A chunk draws on at most
// 3 pixels in a row (16 bytes span no more than 3 blocks of 9 or more bytes),
// so the 4 pixels loaded from the first of them hold them all; at the end of
// the group the load moves back so as not to pass it.
constexpr TGroupPlan MakeGroupPlan(int zoom)
{
    TGroupPlan plan;
    const int blockBytes = zoom * 3;
    int pixels = 4;
    while (pixels * blockBytes % 16 != 0) {
        pixels += 4;
    }
    plan.GroupPixels = pixels;
    plan.GroupBytes = pixels * blockBytes;
    plan.Chunks = plan.GroupBytes / 16;
    for (int chunk = 0; chunk < plan.Chunks; ++chunk) {
        const int first = chunk * 16 / blockBytes < pixels - 4 ? chunk * 16 / blockBytes : pixels - 4;
        plan.SourceOffsets[chunk] = static_cast<std::uint8_t>(first * 4);
        for (int i = 0; i < 16; ++i) {
            const int byte = chunk * 16 + i;
            plan.Masks[chunk][i] = static_cast<std::uint8_t>((byte / blockBytes - first) * 4 + byte % 3);
        }
    }
    return plan;
}

// Magnifies the whole groups at the start of a run of `count` 32-bit pixels
// into 24-bit blocks of `zoom` pixels, for a zoom factor of GroupPlanMinZoom
// .. GroupPlanMaxZoom; returns how many pixels it did (0 for other zoom
// factors). Writes exactly their blocks, nothing past them. SSSE3 only: call
// it only when CpuHasSsse3() said yes.
int MagnifyGroupsSsse3(int zoom, const std::uint8_t* pixels, int count, std::uint8_t* out) noexcept;
