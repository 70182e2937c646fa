// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/SchemeCatalogue.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>

namespace {
constexpr int kMaxShares = 8;
constexpr int kMaxColumnWeightShares = 6;

using Columns = std::vector<std::uint8_t>;

std::uint8_t AllShares(int n)
{
    return static_cast<std::uint8_t>((1u << n) - 1);
}

// Every n-bit column whose weight has the given parity: the classic (n, n) basis, and Shyu's
// (n, n) random grid, whose XOR over all shares is the secret pixel.
Columns ColumnsOfParity(int n, bool odd)
{
    Columns columns;
    for (unsigned c = 0; c <= AllShares(n); ++c)
        if ((std::popcount(c) % 2 == 1) == odd)
            columns.push_back(static_cast<std::uint8_t>(c));
    return columns;
}

// Every n-bit column of weight w, `times` times each.
void AppendColumnsOfWeight(Columns& columns, int n, int w, int times)
{
    for (int t = 0; t < times; ++t)
        for (unsigned c = 0; c <= AllShares(n); ++c)
            if (std::popcount(c) == w)
                columns.push_back(static_cast<std::uint8_t>(c));
}

// Multiplicities of the columns of each weight 0..n, for white and black, such that any k - 1 rows
// see the same multiset of columns and k rows see one white subpixel more in a white pixel
// (Droste's column-weight construction; the least m found for these k and n).
struct ColumnWeights {
    int k, n;
    int white[kMaxColumnWeightShares + 1];
    int black[kMaxColumnWeightShares + 1];
};
constexpr ColumnWeights kColumnWeights[] = {
    {3, 4, {2, 0, 0, 1, 0}, {0, 1, 0, 0, 2}},
    {3, 5, {3, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 0, 3}},
    {3, 6, {4, 0, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 0, 0, 4}},
    {4, 5, {2, 0, 0, 1, 0, 3}, {0, 1, 0, 0, 2, 0}},
    {4, 6, {2, 0, 0, 1, 0, 0, 5}, {0, 0, 1, 0, 0, 2, 0}},
    {5, 6, {3, 0, 1, 0, 0, 2, 0}, {0, 2, 0, 0, 1, 0, 3}},
};

// Repeats both lists to a common length, so that one uniform draw serves either colour.
void EqualLengths(Columns& a, Columns& b)
{
    const std::size_t length = std::lcm(a.size(), b.size());
    for (Columns* c : {&a, &b}) {
        const Columns once = *c;
        while (c->size() < length)
            c->insert(c->end(), once.begin(), once.end());
    }
}

bool BasisMatrices(int k, int n, Scheme& scheme)
{
    if (k == 2 && n == 2) {
        // Two black subpixels of four in each share: the classic 2 x 2 blocks.
        scheme.white = {3, 3, 0, 0};
        scheme.black = {1, 1, 2, 2};
        scheme.construction = "Naor-Shamir, two black subpixels of four";
        return true;
    }
    if (k == n) {
        scheme.white = ColumnsOfParity(n, false);
        scheme.black = ColumnsOfParity(n, true);
        scheme.construction = "Naor-Shamir (n, n): columns of even weight for white, odd for black";
        return true;
    }
    if (k == 2) {
        scheme.white.assign(n, 0);
        scheme.white[0] = AllShares(n);
        for (int i = 0; i < n; ++i)
            scheme.black.push_back(static_cast<std::uint8_t>(1u << i));
        scheme.construction = "Naor-Shamir (2, n): one black subpixel, the same in every share for white";
        return true;
    }
    for (const ColumnWeights& weights : kColumnWeights) {
        if (weights.k != k || weights.n != n)
            continue;
        for (int w = 0; w <= n; ++w) {
            AppendColumnsOfWeight(scheme.white, n, w, weights.white[w]);
            AppendColumnsOfWeight(scheme.black, n, w, weights.black[w]);
        }
        scheme.construction = "Droste's column-weight construction";
        return true;
    }
    return false;
}

// Chen and Tsao's (k, n) random grids: a random k of the n shares carry a (k, k) grid of the pixel,
// the other n - k a random bit each.
void ChenTsaoColumns(int k, int n, Scheme& scheme)
{
    for (unsigned carriers = 0; carriers <= AllShares(n); ++carriers) {
        if (std::popcount(carriers) != k)
            continue;
        for (unsigned c = 0; c <= AllShares(n); ++c) {
            const bool odd = std::popcount(c & carriers) % 2 == 1;
            (odd ? scheme.black : scheme.white).push_back(static_cast<std::uint8_t>(c));
        }
    }
}

bool RandomGridColumns(const SchemeChoice& choice, Scheme& scheme)
{
    const int k = choice.k, n = choice.n;
    if (k == 2 && n == 2) {
        // Kafri and Keren's three algorithms: the second share equals the first for white, its
        // complement for black (1); equals it for white, is random for black (2); is random for
        // white, the complement for black (3).
        static const Columns kWhite[] = {{0, 3}, {0, 3}, {0, 1, 2, 3}};
        static const Columns kBlack[] = {{1, 2}, {0, 1, 2, 3}, {1, 2}};
        scheme.white = kWhite[choice.variant - 1];
        scheme.black = kBlack[choice.variant - 1];
        scheme.construction = "Kafri-Keren random grids, algorithm " + std::to_string(choice.variant);
    } else if (k == n) {
        scheme.white = ColumnsOfParity(n, false);
        scheme.black = ColumnsOfParity(n, true);
        scheme.construction = "Shyu's (n, n) random grids: the XOR of all shares is the secret";
    } else {
        ChenTsaoColumns(k, n, scheme);
        scheme.construction = "Chen-Tsao (k, n) random grids";
    }
    return true;
}

std::string Offer(SchemeFamily family)
{
    switch (family) {
    case SchemeFamily::RandomGrid:
        return "random-grid offers (k, n) for 2 <= k <= n <= 8, and --variant 1, 2 or 3 for (2, 2) only";
    case SchemeFamily::NaorShamir:
    case SchemeFamily::Probabilistic:
        break;
    }
    return std::string(FamilyName(family)) +
           " offers (n, n) and (2, n) for 2 <= n <= 8, and (k, n) for 3 <= k < n <= 6; no --variant";
}

bool Offered(const SchemeChoice& c)
{
    if (c.k < 2 || c.k > c.n || c.n > kMaxShares)
        return false;
    if (c.family == SchemeFamily::RandomGrid)
        return c.variant == 0 || (c.k == 2 && c.n == 2 && c.variant >= 1 && c.variant <= 3);
    return c.variant == 0 && (c.k == 2 || c.k == c.n || c.n <= kMaxColumnWeightShares);
}

// The share of columns black on the first k shares (every k of them alike, as the tests check).
Fraction BlackOnFirst(const Columns& columns, int k)
{
    const auto black = std::count_if(columns.begin(), columns.end(),
                                     [&](std::uint8_t c) { return ColumnIsBlackOn(c, AllShares(k)); });
    return Fraction::Of(black, static_cast<std::int64_t>(columns.size()));
}

SchemePromise PromiseOf(const Scheme& scheme)
{
    SchemePromise p;
    if (scheme.layout == SchemeLayout::PermutedBlock) {
        p.subpixels = static_cast<int>(scheme.white.size());
        BlockShapeFor(p.subpixels, p.blockWidth, p.blockHeight);
    }
    p.blackOfWhite = BlackOnFirst(scheme.white, scheme.choice.k);
    p.blackOfBlack = BlackOnFirst(scheme.black, scheme.choice.k);
    const Fraction w = p.blackOfWhite, b = p.blackOfBlack;
    if (scheme.choice.family == SchemeFamily::RandomGrid) {
        // T = 1 - black: (b - w) / (2 - b).
        p.measure = ContrastMeasure::LightContrast;
        p.contrast = Fraction::Of(b.num * w.den - w.num * b.den, 2 * b.den * w.den - b.num * w.den);
    } else {
        p.contrast = Fraction::Of(b.num * w.den - w.num * b.den, b.den * w.den);
    }
    return p;
}
}  // namespace

std::string_view FamilyName(SchemeFamily family)
{
    switch (family) {
    case SchemeFamily::RandomGrid:
        return "random-grid";
    case SchemeFamily::Probabilistic:
        return "probabilistic";
    case SchemeFamily::NaorShamir:
        break;
    }
    return "naor-shamir";
}

std::optional<SchemeFamily> FamilyNamed(std::string_view name)
{
    for (SchemeFamily f : {SchemeFamily::NaorShamir, SchemeFamily::RandomGrid, SchemeFamily::Probabilistic})
        if (FamilyName(f) == name)
            return f;
    return std::nullopt;
}

Fraction Fraction::Of(std::int64_t num, std::int64_t den)
{
    const std::int64_t g = std::gcd(num, den);
    return g == 0 ? Fraction{} : Fraction{num / g, den / g};
}

std::string Fraction::Text() const
{
    return den == 1 ? std::to_string(num) : std::to_string(num) + "/" + std::to_string(den);
}

void BlockShapeFor(int subpixels, int& width, int& height)
{
    width = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(subpixels)) - 1e-9));
    height = (subpixels + width - 1) / width;
}

bool ColumnIsBlackOn(std::uint8_t column, std::uint8_t mask)
{
    return (column & mask) != 0;
}

std::optional<Scheme> LookUpScheme(const SchemeChoice& choice, std::string* refusal)
{
    if (!Offered(choice)) {
        if (refusal)
            *refusal = Offer(choice.family);
        return std::nullopt;
    }
    Scheme scheme;
    scheme.choice = choice;
    if (choice.family == SchemeFamily::RandomGrid) {
        if (choice.k == 2 && choice.n == 2 && choice.variant == 0)
            scheme.choice.variant = 1;
        scheme.layout = SchemeLayout::OneColumn;
        RandomGridColumns(scheme.choice, scheme);
    } else {
        BasisMatrices(choice.k, choice.n, scheme);
        if (choice.family == SchemeFamily::Probabilistic) {
            scheme.layout = SchemeLayout::OneColumn;
            scheme.construction = "Ito-Tanaka-Kuwakado / Yang size-invariant: one random column of the "
                                  "naor-shamir basis";
        }
    }
    EqualLengths(scheme.white, scheme.black);
    scheme.promise = PromiseOf(scheme);
    return scheme;
}

std::vector<SchemeChoice> OfferedSchemes()
{
    std::vector<SchemeChoice> all;
    for (SchemeFamily f : {SchemeFamily::NaorShamir, SchemeFamily::RandomGrid, SchemeFamily::Probabilistic})
        for (int n = 2; n <= kMaxShares; ++n)
            for (int k = 2; k <= n; ++k)
                for (int v = 0; v <= 3; ++v)
                    if (Offered({f, k, n, v}) && !(f == SchemeFamily::RandomGrid && k == 2 && n == 2 && v == 0))
                        all.push_back({f, k, n, v});
    return all;
}

std::string DescribeScheme(const Scheme& scheme)
{
    const SchemePromise& p = scheme.promise;
    std::string line = std::string(FamilyName(scheme.choice.family)) + " (" + std::to_string(scheme.choice.k) +
                       ", " + std::to_string(scheme.choice.n) + "): " + scheme.construction;
    if (scheme.layout == SchemeLayout::PermutedBlock)
        line += ", m = " + std::to_string(p.subpixels) + " in " + std::to_string(p.blockWidth) + " x " +
                std::to_string(p.blockHeight) + " blocks";
    line += p.measure == ContrastMeasure::LightContrast ? ", light contrast " : ", relative difference ";
    return line + p.contrast.Text();
}
