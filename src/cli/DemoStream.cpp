// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/DemoStream.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "stream/ImageStream.h"

namespace {
struct Segment {
    double x0, y0, x1, y1;  // in a letter box 1 wide and 1.4 high
};
constexpr Segment kLetterK[] = {{0, 0, 0, 1.4}, {0.95, 0, 0, 0.8}, {0.3, 0.55, 0.95, 1.4}};
constexpr Segment kLetterV[] = {{0, 0, 0.5, 1.4}, {0.5, 1.4, 1, 0}};
constexpr Segment kLetterT[] = {{0, 0, 1, 0}, {0.5, 0, 0.5, 1.4}};

constexpr double kLetterSize = 30;  // pixels per letter-box unit
constexpr double kStroke = 7;       // stroke width in pixels

double DistanceToSegment(double x, double y, const Segment& s)
{
    const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const double t = std::clamp(((x - s.x0) * dx + (y - s.y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(x - (s.x0 + t * dx), y - (s.y0 + t * dy));
}

// Inks the strokes of a letter whose box starts at (left, top), with round ends.
template <std::size_t N>
void PaintLetter(BYTE* frame, int stride, const Segment (&strokes)[N], double left, double top)
{
    const double half = kStroke / 2 / kLetterSize;
    for (int y = 0; y < kDemoHeight; ++y)
        for (int x = 0; x < kDemoWidth; ++x) {
            const double u = (x + 0.5 - left) / kLetterSize, v = (y + 0.5 - top) / kLetterSize;
            for (const Segment& stroke : strokes)
                if (DistanceToSegment(u, v, stroke) <= half)
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
        const double left = 30 + 16 * std::sin(phase);
        PaintLetter(frame.get(), stride, kLetterK, left, 14);
        PaintLetter(frame.get(), stride, kLetterV, left + 38, 14);
        PaintLetter(frame.get(), stride, kLetterT, left + 76, 14);
        PaintBall(frame.get(), stride, 14 + (kDemoWidth - 28) * n / double(kDemoFrames - 1),
                  96 - 10 * std::fabs(std::sin(2 * phase)), 12);
        stream->AppendFrame(std::move(frame));
    }
    return stream;
}
