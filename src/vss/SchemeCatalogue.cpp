// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/SchemeCatalogue.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>

#include "vss/GridColumns.h"

namespace {
constexpr int kMaxShares = 8;
constexpr SchemeFamily kFamilies[] = {SchemeFamily::NaorShamir, SchemeFamily::RandomGrid, SchemeFamily::Probabilistic,
                                      SchemeFamily::Progressive, SchemeFamily::Xor};

std::uint8_t AllShares(int n)
{
    return static_cast<std::uint8_t>((1u << n) - 1);
}

// Basis matrices made offline by scripts/scheme-lp.py and checked there and in the tests.
struct WeightBasis {
    int k, n;
    bool compact;        // the least m with any contrast, beside a best contrast of much larger m
    std::int64_t alphaNum, alphaDen;
    const char* makeup;  // which columns, by weight class, for the help
    Columns white, black;
};
#include "vss/SchemeWeights.inc"

const WeightBasis* FindWeightBasis(int k, int n, bool compact)
{
    for (const WeightBasis& basis : kWeightBases)
        if (basis.k == k && basis.n == n && basis.compact == compact)
            return &basis;
    return nullptr;
}

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

std::string WeightBasisName(const WeightBasis& basis)
{
    std::string name;
    if (basis.k == basis.n)
        name = "Naor-Shamir (n, n), optimal";
    else if (basis.compact)
        name = basis.k == 2 ? "Naor-Shamir (2, n)" : "column weights of the least m found";
    else
        name = basis.k == 2 ? "Blundo-De Santis-Stinson optimum" : "column weights at the optimum";
    return name + " (" + basis.makeup + ")";
}

// The naor-shamir basis of the choice: the classic (2, 2) blocks, else the catalogue's best (or
// compact) basis.
void BasisMatrices(const SchemeChoice& choice, Scheme& scheme)
{
    if (choice.family == SchemeFamily::NaorShamir && choice.k == 2 && choice.n == 2) {
        // Two black subpixels of four in each share: the classic 2 x 2 blocks.
        scheme.white = {3, 3, 0, 0};
        scheme.black = {1, 1, 2, 2};
        scheme.construction = "Naor-Shamir, two black subpixels of four";
        return;
    }
    const WeightBasis& basis = *FindWeightBasis(choice.k, choice.n, choice.variant == kVariantCompact);
    scheme.white = basis.white;
    scheme.black = basis.black;
    scheme.construction = WeightBasisName(basis);
}

void RandomGridColumns(const SchemeChoice& choice, Scheme& scheme)
{
    const int k = choice.k, n = choice.n;
    ColumnLists lists;
    if (k == 2 && n == 2) {
        // Kafri and Keren's three algorithms: the second share equals the first for white, its
        // complement for black (1); equals it for white, is random for black (2); is random for
        // white, the complement for black (3).
        static const ColumnLists kAlgorithms[] = {{{0, 3}, {1, 2}}, {{0, 3}, {0, 1, 2, 3}}, {{0, 1, 2, 3}, {1, 2}}};
        lists = kAlgorithms[choice.variant - 1];
        scheme.construction = "Kafri-Keren random grids, algorithm " + std::to_string(choice.variant);
    } else if (k == n) {
        lists = {ColumnsOfParity(n, false), ColumnsOfParity(n, true)};
        scheme.construction = "Shyu's (n, n) random grids: the XOR of all shares is the secret";
    } else if (choice.variant == kVariantChenTsao) {
        lists = ChenTsaoColumns(k, n);
        scheme.construction = "Chen-Tsao (k, n) random grids: T(white) - T(black) = 1 / (C(n, k) 2^(k-1))";
    } else {
        lists = WuSunColumns(k, n);
        scheme.construction = "Wu-Sun (k, n) random grids: T(white) - T(black) = q / 2^(k-1), q the chance "
                              "that k shares hold all k bits of the grid";
    }
    scheme.white = std::move(lists.white);
    scheme.black = std::move(lists.black);
}

void MakeColumns(const SchemeChoice& choice, Scheme& scheme)
{
    switch (choice.family) {
    case SchemeFamily::NaorShamir:
        BasisMatrices(choice, scheme);
        return;
    case SchemeFamily::RandomGrid:
        scheme.layout = SchemeLayout::OneColumn;
        RandomGridColumns(choice, scheme);
        return;
    case SchemeFamily::Probabilistic:
        scheme.layout = SchemeLayout::OneColumn;
        BasisMatrices(choice, scheme);
        scheme.construction = "Ito-Tanaka-Kuwakado / Yang size-invariant: one random column of the naor-shamir basis";
        return;
    case SchemeFamily::Progressive: {
        scheme.layout = SchemeLayout::OneColumn;
        ColumnLists lists = ProgressiveColumns(choice.n);
        scheme.white = std::move(lists.white);
        scheme.black = std::move(lists.black);
        scheme.construction = "Hou-Quan progressive: one random column of Naor-Shamir's (2, n) basis";
        return;
    }
    case SchemeFamily::Xor:
        scheme.layout = SchemeLayout::OneColumn;
        BasisMatrices(choice, scheme);
        scheme.construction = "one random column of naor-shamir's optimal basis, decoded by XOR (Tuyls et al.'s "
                              "model): 2^(k-1) times its stacked contrast, the best XOR gives";
        return;
    }
}

std::string Offer(SchemeFamily family)
{
    switch (family) {
    case SchemeFamily::RandomGrid:
        return "random-grid offers (k, n) for 2 <= k <= n <= 8, --variant 1, 2 or 3 for (2, 2) and "
               "--variant chen-tsao for k < n";
    case SchemeFamily::Probabilistic:
    case SchemeFamily::Xor:
        return std::string(FamilyName(family)) + " offers (k, n) for 2 <= k <= n <= 8; no --variant";
    case SchemeFamily::Progressive:
        return "progressive offers (2, n) for 2 <= n <= 8; no --variant";
    case SchemeFamily::NaorShamir:
        break;
    }
    std::string compact;
    for (const WeightBasis& basis : kWeightBases)
        if (basis.compact)
            compact += (compact.empty() ? "(" : ", (") + std::to_string(basis.k) + ", " + std::to_string(basis.n) + ")";
    return "naor-shamir offers (k, n) for 2 <= k <= n <= 8, and --variant compact for " + compact + " only";
}

bool Offered(const SchemeChoice& c)
{
    if (c.k < 2 || c.k > c.n || c.n > kMaxShares)
        return false;
    switch (c.family) {
    case SchemeFamily::RandomGrid:
        return c.variant == 0 || (c.k == 2 && c.n == 2 && c.variant >= 1 && c.variant <= 3) ||
               (c.k < c.n && c.variant == kVariantChenTsao);
    case SchemeFamily::Probabilistic:
    case SchemeFamily::Xor:
        return c.variant == 0;
    case SchemeFamily::Progressive:
        return c.variant == 0 && c.k == 2;
    case SchemeFamily::NaorShamir:
        break;
    }
    return c.variant == 0 || (c.variant == kVariantCompact && FindWeightBasis(c.k, c.n, true));
}

// The share of columns that show black on shares `mask`, stacked or XORed.
Fraction BlackOn(const Columns& columns, std::uint8_t mask, bool xored)
{
    const auto black = std::count_if(columns.begin(), columns.end(), [&](std::uint8_t c) {
        return xored ? std::popcount(static_cast<unsigned>(c & mask)) % 2 == 1 : ColumnIsBlackOn(c, mask);
    });
    return Fraction::Of(black, static_cast<std::int64_t>(columns.size()));
}

SchemePromise PromiseOf(const Scheme& scheme)
{
    SchemePromise p;
    if (scheme.layout == SchemeLayout::PermutedBlock) {
        p.subpixels = static_cast<int>(scheme.white.size());
        BlockShapeFor(p.subpixels, p.blockWidth, p.blockHeight);
    }
    const bool xored = scheme.choice.family == SchemeFamily::Xor;
    p.blackOfWhite = BlackOn(scheme.white, AllShares(scheme.choice.k), xored);
    p.blackOfBlack = BlackOn(scheme.black, AllShares(scheme.choice.k), xored);
    const Fraction w = p.blackOfWhite, b = p.blackOfBlack;
    if (scheme.choice.family == SchemeFamily::RandomGrid) {
        // T = 1 - black: (b - w) / (2 - b).
        p.measure = ContrastMeasure::LightContrast;
        p.contrast = Fraction::Of(b.num * w.den - w.num * b.den, 2 * b.den * w.den - b.num * w.den);
    } else {
        p.measure = xored ? ContrastMeasure::XorDifference : ContrastMeasure::RelativeDifference;
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
    case SchemeFamily::Progressive:
        return "progressive";
    case SchemeFamily::Xor:
        return "xor";
    case SchemeFamily::NaorShamir:
        break;
    }
    return "naor-shamir";
}

std::optional<SchemeFamily> FamilyNamed(std::string_view name)
{
    for (SchemeFamily f : kFamilies)
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
    if (choice.family == SchemeFamily::RandomGrid && choice.k == 2 && choice.n == 2 && choice.variant == 0)
        scheme.choice.variant = 1;
    MakeColumns(scheme.choice, scheme);
    EqualLengths(scheme.white, scheme.black);
    scheme.promise = PromiseOf(scheme);
    return scheme;
}

std::vector<SchemeChoice> OfferedSchemes()
{
    std::vector<SchemeChoice> all;
    for (SchemeFamily f : kFamilies)
        for (int n = 2; n <= kMaxShares; ++n)
            for (int k = 2; k <= n; ++k)
                for (int v : {0, 1, 2, 3, kVariantCompact, kVariantChenTsao})
                    if (Offered({f, k, n, v}) && !(f == SchemeFamily::RandomGrid && k == 2 && n == 2 && v == 0))
                        all.push_back({f, k, n, v});
    return all;
}

Fraction StackedContrast(const Scheme& scheme, int t)
{
    const bool xored = scheme.choice.family == SchemeFamily::Xor;
    const Fraction w = BlackOn(scheme.white, AllShares(t), xored), b = BlackOn(scheme.black, AllShares(t), xored);
    return Fraction::Of(b.num * w.den - w.num * b.den, b.den * w.den);
}

std::string VariantName(int variant)
{
    switch (variant) {
    case kVariantCompact:
        return "compact";
    case kVariantChenTsao:
        return "chen-tsao";
    default:
        return std::to_string(variant);
    }
}

std::optional<int> VariantNamed(std::string_view name)
{
    for (int v : {1, 2, 3, kVariantCompact, kVariantChenTsao})
        if (name == VariantName(v))
            return v;
    return std::nullopt;
}

std::string DescribeScheme(const Scheme& scheme)
{
    const SchemePromise& p = scheme.promise;
    const SchemeChoice& c = scheme.choice;
    const bool named = c.variant == kVariantCompact || c.variant == kVariantChenTsao;
    std::string line = std::string(FamilyName(c.family)) + " (" + std::to_string(c.k) + ", " + std::to_string(c.n) +
                       ")" + (named ? " --variant " + VariantName(c.variant) : "") + ": " + scheme.construction;
    if (scheme.layout == SchemeLayout::PermutedBlock)
        line += ", m = " + std::to_string(p.subpixels) + " in " + std::to_string(p.blockWidth) + " x " +
                std::to_string(p.blockHeight) + " blocks";
    switch (p.measure) {
    case ContrastMeasure::LightContrast:
        line += ", light contrast ";
        break;
    case ContrastMeasure::XorDifference:
        line += ", XOR difference ";
        break;
    case ContrastMeasure::RelativeDifference:
        line += ", relative difference ";
        break;
    }
    line += p.contrast.Text();
    if (c.family == SchemeFamily::Progressive && c.n > c.k) {
        line += "; t shares stacked, t: contrast";
        for (int t = c.k + 1; t <= c.n; ++t)
            line += (t == c.k + 1 ? " " : ", ") + std::to_string(t) + ": " + StackedContrast(scheme, t).Text();
    }
    return line;
}
