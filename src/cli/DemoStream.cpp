#include "cli/DemoStream.h"

#include <cmath>
#include <numbers>

#include "stream/ImageStream.h"

namespace {
// 5 x 7 glyphs, one string per row, '#' is ink.
constexpr const char* kGlyphK[7] = {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"};
constexpr const char* kGlyphV[7] = {"#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."};
constexpr const char* kGlyphT[7] = {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."};

constexpr int kScale = 6;

void PaintGlyph(BYTE* frame, int stride, const char* const glyph[7], int left, int top)
{
    for (int gy = 0; gy < 7; ++gy)
        for (int gx = 0; gx < 5; ++gx) {
            if (glyph[gy][gx] != '#')
                continue;
            for (int y = top + gy * kScale; y < top + (gy + 1) * kScale; ++y)
                for (int x = left + gx * kScale; x < left + (gx + 1) * kScale; ++x)
                    if (x >= 0 && x < kDemoWidth && y >= 0 && y < kDemoHeight)
                        frame[y * stride + x] = 0;
        }
}

void PaintBall(BYTE* frame, int stride, double cx, double cy, double radius)
{
    for (int y = 0; y < kDemoHeight; ++y)
        for (int x = 0; x < kDemoWidth; ++x)
            if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= radius)
                frame[y * stride + x] = 0;
}
}  // namespace

std::unique_ptr<CImageStream> MakeDemoStream()
{
    auto stream = std::make_unique<CImageStream>();
    stream->Initialize(kDemoWidth, kDemoHeight, kDemoFrames);
    const int stride = stream->GetRowStride();
    for (int n = 0; n < kDemoFrames; ++n) {
        FrameBuffer frame = AllocateFrameBuffer(stream->GetFrameBytes());
        for (int y = 0; y < kDemoHeight; ++y)
            std::fill_n(frame.get() + y * stride, kDemoWidth, BYTE{255});

        const double phase = 2 * std::numbers::pi * n / kDemoFrames;
        const int left = 28 + static_cast<int>(std::lround(18 * std::sin(phase)));
        PaintGlyph(frame.get(), stride, kGlyphK, left, 12);
        PaintGlyph(frame.get(), stride, kGlyphV, left + 36, 12);
        PaintGlyph(frame.get(), stride, kGlyphT, left + 72, 12);
        PaintBall(frame.get(), stride, 14 + (kDemoWidth - 28) * n / double(kDemoFrames - 1),
                  96 - 10 * std::fabs(std::sin(2 * phase)), 12);
        stream->AppendFrame(std::move(frame));
    }
    return stream;
}
