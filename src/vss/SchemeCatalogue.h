// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The visual secret sharing schemes kvt offers, each as data: the equally likely columns a secret
// pixel of either colour may become (bit i set: share i black there), how the columns are laid
// out, and what the scheme promises. The help, the README's table, kvt measure and the tests all
// read the promise from here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class SchemeFamily { NaorShamir, RandomGrid, Probabilistic, Progressive, Xor };

// kvt's word for a family ("naor-shamir", "random-grid", "probabilistic", "progressive", "xor"),
// and back.
std::string_view FamilyName(SchemeFamily family);
std::optional<SchemeFamily> FamilyNamed(std::string_view name);

// A non-negative rational number, kept in lowest terms.
struct Fraction {
    std::int64_t num = 0;
    std::int64_t den = 1;

    static Fraction Of(std::int64_t num, std::int64_t den);
    double Value() const { return static_cast<double>(num) / static_cast<double>(den); }
    std::string Text() const;  // "1/6", "0", "1"
    bool operator==(const Fraction&) const = default;
};

// How a secret pixel becomes cells of the shares.
enum class SchemeLayout {
    PermutedBlock,  // all m columns, in a uniformly random order, fill a block of every share
    OneColumn,      // one uniformly random column: the shares keep the secret's size
};

enum class ContrastMeasure {
    RelativeDifference,  // (black cells of a black pixel - those of a white one) / m
    LightContrast,       // (T(white) - T(black)) / (1 + T(black)), T the share of light let through
    XorDifference,       // as RelativeDifference, black where an odd number of the k shares is black
};

struct SchemePromise {
    int subpixels = 1;    // m: columns of the basis, cells of a pixel's block
    int blockWidth = 1;   // the block m cells fill; cells past m are white in every share
    int blockHeight = 1;
    // With k shares stacked, the share of a pixel's m cells (or the chance of its one cell) that is
    // black, for a white and a black secret pixel: exact in every block of a PermutedBlock scheme.
    Fraction blackOfWhite;
    Fraction blackOfBlack;
    ContrastMeasure measure = ContrastMeasure::RelativeDifference;
    Fraction contrast;
};

// The variant of a naor-shamir (k, n) whose best contrast costs a much larger m: the least m found.
inline constexpr int kVariantCompact = 10;
// Random grids (k, n), k < n, by Chen and Tsao's construction rather than Wu and Sun's.
inline constexpr int kVariantChenTsao = 11;

struct SchemeChoice {
    SchemeFamily family = SchemeFamily::NaorShamir;
    int k = 2;
    int n = 2;
    int variant = 0;  // 0: the scheme's first (or only) kind; 1..3 Kafri-Keren's; kVariant...
    bool operator==(const SchemeChoice&) const = default;
};

struct Scheme {
    SchemeChoice choice;
    std::string construction;           // who made it and how, for the help and the README
    SchemeLayout layout = SchemeLayout::PermutedBlock;
    std::vector<std::uint8_t> white;    // the columns a white secret pixel may become
    std::vector<std::uint8_t> black;    // as many for a black one
    SchemePromise promise;
};

// The scheme asked for, or nothing and in `refusal` a sentence saying what the family allows.
// `variant` 0 means none was asked for.
std::optional<Scheme> LookUpScheme(const SchemeChoice& choice, std::string* refusal);

// Every scheme offered, in the order the help and the README list them.
std::vector<SchemeChoice> OfferedSchemes();

// The relative difference with the first t shares stacked (XORed for xor), k <= t <= n: for every t
// of them in progressive schemes, as the tests check (a design's t > k shares may differ).
Fraction StackedContrast(const Scheme& scheme, int t);

// kvt's word for a variant ("compact", "chen-tsao", "1"), and back; nothing for a word that names none.
std::string VariantName(int variant);
std::optional<int> VariantNamed(std::string_view name);

// Names the scheme in one line: "naor-shamir (3, 4): ..., m = 6, relative difference 1/6".
std::string DescribeScheme(const Scheme& scheme);
// The block a pixel of m subpixels becomes: as close to square as m allows, never narrower than
// high.
void BlockShapeFor(int subpixels, int& width, int& height);
// The columns restricted to the shares whose bits are in `mask`, and whether they hold any black.
bool ColumnIsBlackOn(std::uint8_t column, std::uint8_t mask);
