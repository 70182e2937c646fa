// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/RevealSimilarity.h"

#include <algorithm>
#include <array>
#include <thread>

namespace {
constexpr int kCell = 4;  // windows are 2 x 2 cells

// Sums over some pixels: secret x (0 or 255), grey y.
struct Sums {
    double n = 0, x = 0, y = 0, yy = 0, xy = 0;
    Sums& operator+=(const Sums& o)
    {
        n += o.n, x += o.x, y += o.y, yy += o.yy, xy += o.xy;
        return *this;
    }
};

double Similarity(const Sums& s)
{
    constexpr double c1 = (0.01 * 255) * (0.01 * 255);
    constexpr double c2 = (0.03 * 255) * (0.03 * 255);
    const double mx = s.x / s.n;
    const double my = s.y / s.n;
    const double vx = 255 * s.x / s.n - mx * mx;  // x * x = 255 x
    const double vy = s.yy / s.n - my * my;
    const double cxy = s.xy / s.n - mx * my;
    return (2 * mx * my + c1) * (2 * cxy + c2) / ((mx * mx + my * my + c1) * (vx + vy + c2));
}

// Each cell byte's contribution to the sums of up to 16 pixels, packed into one word: y in bits
// 0-11, y * y in 12-31, y where x is white in 32-43, the white pixels in 44-48 (greys are whole).
using PackedSums = std::uint64_t;
constexpr int kPackedPixels = 16;
static_assert(kCell * kCell <= kPackedPixels, "a cell's sums fit one packed word");

std::array<PackedSums, 256> ContributionTable(const StackedCells& frame, const GreyMapping& mapping)
{
    std::array<PackedSums, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        const auto count = static_cast<int>(b & ~unsigned{kSecretWhiteBit});
        if (count > frame.subpixels)
            continue;
        const auto y = static_cast<PackedSums>(mapping.Grey(static_cast<double>(count) / frame.subpixels));
        const PackedSums white = (b & kSecretWhiteBit) ? 1 : 0;
        table[b] = y | (y * y) << 12 | (white * y) << 32 | white << 44;
    }
    return table;
}

void Unpack(PackedSums packed, int pixels, Sums& s)
{
    s.n += pixels;
    s.y += static_cast<double>(packed & 0xFFF);
    s.yy += static_cast<double>(packed >> 12 & 0xFFFFF);
    s.xy += 255.0 * static_cast<double>(packed >> 32 & 0xFFF);
    s.x += 255.0 * static_cast<double>(packed >> 44 & 0x1F);
}

Sums SumRect(const StackedCells& frame, const std::array<PackedSums, 256>& table, int x0, int y0, int w, int h)
{
    Sums s;
    PackedSums packed = 0;
    int pixels = 0;
    for (int y = y0; y < y0 + h; ++y) {
        const std::uint8_t* row = frame.cells.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.width);
        for (int x = x0; x < x0 + w; ++x) {
            packed += table[row[x]];
            if (++pixels == kPackedPixels) {
                Unpack(packed, pixels, s);
                packed = 0;
                pixels = 0;
            }
        }
    }
    Unpack(packed, pixels, s);
    return s;
}
// The sums of the 4 x 4 cell whose top-left pixel is (x0, y0): 16 pixels, one word.
Sums CellSums(const StackedCells& frame, const std::array<PackedSums, 256>& table, int x0, int y0)
{
    const auto width = static_cast<std::size_t>(frame.width);
    const std::uint8_t* cell = frame.cells.data() + static_cast<std::size_t>(y0) * width + static_cast<std::size_t>(x0);
    PackedSums packed = 0;
    for (int y = 0; y < kCell; ++y, cell += width)
        for (int x = 0; x < kCell; ++x)
            packed += table[cell[x]];
    Sums s;
    Unpack(packed, kCell * kCell, s);
    return s;
}

// The similarity of every window whose lower cells are in cell rows first to end - 1 (from 1),
// row after row, from `out` on.
void WindowRows(const StackedCells& frame, const std::array<PackedSums, 256>& table, int first, int end, double* out)
{
    // Cell sums a row of cells at a time; each window joins two neighbouring cells of two rows.
    const int cellsAcross = frame.width / kCell;
    std::vector<Sums> above(static_cast<std::size_t>(cellsAcross));
    std::vector<Sums> current(above.size());
    for (int i = 0; i < cellsAcross; ++i)
        above[static_cast<std::size_t>(i)] = CellSums(frame, table, i * kCell, (first - 1) * kCell);
    for (int j = first; j < end; ++j) {
        for (int i = 0; i < cellsAcross; ++i)
            current[static_cast<std::size_t>(i)] = CellSums(frame, table, i * kCell, j * kCell);
        for (std::size_t i = 0; i + 1 < current.size(); ++i) {
            Sums window = above[i];
            window += above[i + 1];
            window += current[i];
            window += current[i + 1];
            *out++ = Similarity(window);
        }
        above.swap(current);
    }
}
}  // namespace

double StructuralSimilarity(const StackedCells& frame, const GreyMapping& mapping)
{
    const auto table = ContributionTable(frame, mapping);
    if (frame.width < 2 * kCell || frame.height < 2 * kCell)
        return Similarity(SumRect(frame, table, 0, 0, frame.width, frame.height));

    // The windows' rows in parts side by side, one a processor, each of some rows at least; the
    // similarities then added in the order of the windows, so that the sum is the same.
    const int cellsAcross = frame.width / kCell;
    const int cellsDown = frame.height / kCell;
    const auto perRow = static_cast<std::size_t>(cellsAcross - 1);
    std::vector<double> similarities(perRow * static_cast<std::size_t>(cellsDown - 1));
    constexpr int kLeastRows = 16;
    const int parts = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1,
                                 std::max(1, (cellsDown - 1) / kLeastRows));
    auto measure = [&](int part) {
        const int first = 1 + (cellsDown - 1) * part / parts;
        const int end = 1 + (cellsDown - 1) * (part + 1) / parts;
        WindowRows(frame, table, first, end, similarities.data() + static_cast<std::size_t>(first - 1) * perRow);
    };
    {
        std::vector<std::jthread> helpers;
        for (int part = 1; part < parts; ++part)
            helpers.emplace_back(measure, part);
        measure(0);
    }
    double total = 0;
    for (const double similarity : similarities)
        total += similarity;
    return total / (static_cast<double>(cellsAcross - 1) * static_cast<double>(cellsDown - 1));
}
