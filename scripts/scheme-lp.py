#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Solves the column-weight linear program of every (k, n) scheme, 2 <= k <= n <= 8, and writes the
catalogue's basis matrices as src/vss/SchemeWeights.inc.

A scheme whose columns of one weight always come all together (a symmetric scheme) is its two
lists of multiplicities, a_w white and b_w black columns of each weight w. Any k - 1 shares see the
same columns in both exactly when sum_w (a_w - b_w) C(n-k+1, w-j) = 0 for j = 0..k-1, and k shares
see alpha m more black subpixels in a black pixel, alpha m = sum_w (a_w - b_w) C(n-k, w). Over
fractions of columns this is Hofmeister, Krause and Simon's linear program; its optimum is the best
contrast of any scheme, symmetric or not (their symmetrisation argument), so every optimum here is
proven. The program is solved in exact rational arithmetic by the simplex method, and the optimum
is certified by a dual solution checked on its own (weak duality).

Then the least m: every integer scheme up to the optimal vertex's m is walked, and the first m at
the optimum kept. A weight class may be replaced by a t-design of that weight (t = k): seen through
any k shares its columns look like the whole class, in fewer columns (the Fano plane gives (2, 7)
at m = 7 rather than 35). So m is the least of such schemes; an irregular one may be smaller.
The compact alternative is the least m with any contrast at all, at the best contrast for that m.
The same program for XOR decoding (columns black on an odd number of the k shares) is solved too:
its optimum is 2^(k-1) times the stacked one's and the stacked basis reaches it, which is checked.

Usage: python3 scripts/scheme-lp.py [--check] [-o src/vss/SchemeWeights.inc]
With --check the file is left alone and compared with what would be written. Only the Python
standard library is needed; a run takes about a minute.
"""
import argparse
import os
import sys
from fractions import Fraction
from itertools import combinations
from math import comb, lcm

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MAX_N = 8
# Where the best contrast costs more than this many times the compact scheme's m, both are offered.
COMPACT_FACTOR = Fraction(3, 2)


def secrecy_rows(k, n):
    """Row j: the columns of weight w that show a given pattern of j black on k - 1 shares."""
    return [[comb(n - k + 1, w - j) if w >= j else 0 for w in range(n + 1)] for j in range(k)]


def contrast_row(k, n, decoding):
    """Columns of weight w that show white on a given k shares: white on all of them when stacked
    ("or"), black on an even number of them when XORed ("xor")."""
    if decoding == "or":
        return [comb(n - k, w) for w in range(n + 1)]
    return [sum(comb(k, j) * comb(n - k, w - j) for j in range(0, min(k, w) + 1, 2)) for w in range(n + 1)]


def shows_black(column, mask, decoding):
    seen = column & mask
    return seen != 0 if decoding == "or" else bin(seen).count("1") % 2 == 1


class Simplex:
    """Maximises c x subject to A x = b, x >= 0 (b >= 0), exactly, by Bland's rule."""

    def __init__(self, a, b, c):
        self.rows = len(a)
        self.cols = len(c)
        # Phase one: an artificial variable a row.
        self.t = [[Fraction(v) for v in row] + [Fraction(int(i == r)) for i in range(self.rows)] + [Fraction(rhs)]
                  for r, (row, rhs) in enumerate(zip(a, b))]
        self.basis = [self.cols + r for r in range(self.rows)]
        self.c = [Fraction(v) for v in c]

    def pivot(self, r, col):
        t = self.t
        p = t[r][col]
        t[r] = [v / p for v in t[r]]
        for i in range(len(t)):
            if i != r and t[i][col] != 0:
                f = t[i][col]
                t[i] = [v - f * w for v, w in zip(t[i], t[r])]
        self.basis[r] = col

    def reduced_cost(self, cost, j):
        return cost[j] - sum(cost[self.basis[i]] * self.t[i][j] for i in range(len(self.t)))

    def run(self, cost, allowed):
        while True:
            entering = next((j for j in allowed if self.reduced_cost(cost, j) > 0), None)
            if entering is None:
                return
            best = None
            for i, row in enumerate(self.t):
                if row[entering] > 0:
                    ratio = row[-1] / row[entering]
                    if best is None or ratio < best[0] or (ratio == best[0] and self.basis[i] < self.basis[best[1]]):
                        best = (ratio, i)
            if best is None:
                raise ValueError("unbounded")
            self.pivot(best[1], entering)

    def solve(self):
        total = self.cols + self.rows
        phase1 = [Fraction(0)] * self.cols + [Fraction(-1)] * self.rows
        self.run(phase1, range(total))
        if any(self.t[i][-1] != 0 for i in range(self.rows) if self.basis[i] >= self.cols):
            raise ValueError("infeasible")
        # Artificials left at zero: pivot them out, or drop their rows as redundant.
        for i in reversed(range(len(self.t))):
            if self.basis[i] >= self.cols:
                col = next((j for j in range(self.cols) if self.t[i][j] != 0), None)
                if col is None:
                    del self.t[i]
                    del self.basis[i]
                else:
                    self.pivot(i, col)
        self.run(self.c + [Fraction(0)] * self.rows, range(self.cols))
        x = [Fraction(0)] * self.cols
        for i, j in enumerate(self.basis):
            x[j] = self.t[i][-1]
        return x


def linear_program(k, n, decoding):
    """Variables x_0..x_n, y_0..y_n: the fractions of white and black columns of each weight.
    The rows of A x = b (secrecy, then each list summing to 1) and the objective, alpha."""
    sec = secrecy_rows(k, n)
    zero = contrast_row(k, n, decoding)
    size = [comb(n, w) for w in range(n + 1)]
    a = [[Fraction(r, s) for r, s in zip(row, size)] + [-Fraction(r, s) for r, s in zip(row, size)] for row in sec]
    a.append([Fraction(1)] * (n + 1) + [Fraction(0)] * (n + 1))
    a.append([Fraction(0)] * (n + 1) + [Fraction(1)] * (n + 1))
    b = [0] * len(sec) + [1, 1]
    # alpha = (white columns white on k shares) - (black ones), as fractions of m.
    c = [Fraction(z, s) for z, s in zip(zero, size)] + [-Fraction(z, s) for z, s in zip(zero, size)]
    return a, b, c


def dual_certificate(a, b, c):
    """The dual's optimum u: minimises b u subject to A^T u >= c, u free, solved as a maximisation
    of -b (u+ - u-) with surplus s, A^T (u+ - u-) - s = c (rows of negative c negated)."""
    rows, cols = len(a), len(c)
    eq, rhs = [], []
    for j in range(cols):
        row = [a[i][j] for i in range(rows)] + [-a[i][j] for i in range(rows)] + \
              [Fraction(-int(q == j)) for q in range(cols)]
        sign = -1 if c[j] < 0 else 1
        eq.append([sign * v for v in row])
        rhs.append(sign * c[j])
    obj = [-Fraction(v) for v in b] + [Fraction(v) for v in b] + [Fraction(0)] * cols
    x = Simplex(eq, rhs, obj).solve()
    return [x[i] - x[rows + i] for i in range(rows)]


def certifies(a, b, c, u, optimum):
    """Weak duality: every feasible x has c x <= (A^T u) x = b u, so b u = c x* proves x* optimal."""
    feasible = all(sum(a[i][j] * u[i] for i in range(len(a))) >= c[j] for j in range(len(c)))
    return feasible and sum(Fraction(bv) * uv for bv, uv in zip(b, u)) == optimum


def smallest_design(n, w, t):
    """The fewest w-subsets of n shares (columns of weight w) in which every t shares lie together
    equally often, fewer than all C(n, w) of them, by a search; None where there are none. Their
    columns, seen through any t shares (or fewer), look like the whole weight class."""
    if not t < w < n - t:
        return None  # only the whole class: every w-set (or its complement) must appear alike
    blocks = [sum(1 << i for i in b) for b in combinations(range(n), w)]
    tsets = [sum(1 << i for i in s) for s in combinations(range(n), t)]
    for lam in range(1, comb(n - t, w - t)):
        if any((lam * comb(n - i, t - i)) % comb(w - i, t - i) for i in range(t + 1)):
            continue
        count = lam * comb(n, t) // comb(w, t)
        if count >= len(blocks) or len(blocks) % count:
            continue
        found = design_search(blocks, tsets, lam, count)
        if found:
            return found
    return None


def design_search(blocks, tsets, lam, count):
    """count blocks, each t-set inside exactly lam of them: backtracking on the first t-set short."""
    covered = {s: 0 for s in tsets}
    chosen = []

    def place(start):
        if len(chosen) == count:
            return all(v == lam for v in covered.values())
        need = next(s for s in tsets if covered[s] < lam)
        for i in range(start, len(blocks)):
            b = blocks[i]
            if b & need != need:
                continue
            inside = [s for s in tsets if b & s == s]
            if any(covered[s] == lam for s in inside):
                continue
            for s in inside:
                covered[s] += 1
            chosen.append(b)
            if place(i + 1):
                return True
            chosen.pop()
            for s in inside:
                covered[s] -= 1
        return False

    return list(chosen) if place(0) else None


def units(k, n):
    """The columns of the smallest group of each weight that looks like the whole class to any k
    shares: a design where one exists, else the class. (label, columns) by weight."""
    out = []
    for w in range(n + 1):
        design = smallest_design(n, w, k)
        if design:
            first = (1 << k) - 1
            lam = sum(1 for b in design if b & first == first)
            out.append((f"a {k}-({n}, {w}, {lam}) design", design))
        else:
            out.append((f"w{w}", [c for c in range(1 << n) if bin(c).count("1") == w]))
    return out


def lattice_points(k, n, unit, limit):
    """Every integer d = a - b (copies of each weight's unit, white minus black) that keeps the
    secret from k - 1 shares, with 0 < m <= limit: (m, d). The k weights of fewest columns follow
    from the others through the secrecy rows; the others are walked with m bounding them."""
    size = [len(columns) for _, columns in unit]
    sec = [[Fraction(r * size[w], comb(n, w)) for w, r in enumerate(row)] for row in secrecy_rows(k, n)]
    order = sorted(range(n + 1), key=lambda w: (size[w], w))
    dependent, free = order[:k], sorted(order[k:], key=lambda w: -size[w])
    inverse = invert([[sec[j][w] for w in dependent] for j in range(k)])
    d = [0] * (n + 1)

    def walk(i, spent):
        if i == len(free):
            rest = [-sum(sec[j][w] * d[w] for w in free) for j in range(k)]
            for row, w in zip(inverse, dependent):
                v = sum(r * x for r, x in zip(row, rest))
                if v.denominator != 1:
                    return
                d[w] = int(v)
            twice = spent + sum(abs(d[w]) * size[w] for w in dependent)
            if 0 < twice <= 2 * limit:
                yield twice // 2, list(d)
            return
        w = free[i]
        reach = (2 * limit - spent) // size[w]
        for v in range(-reach, reach + 1):
            d[w] = v
            yield from walk(i + 1, spent + abs(v) * size[w])
        d[w] = 0

    yield from walk(0, 0)


def invert(matrix):
    size = len(matrix)
    rows = [row + [Fraction(int(i == j)) for j in range(size)] for i, row in enumerate(matrix)]
    for col in range(size):
        pivot = next(r for r in range(col, size) if rows[r][col] != 0)
        rows[col], rows[pivot] = rows[pivot], rows[col]
        rows[col] = [v / rows[col][col] for v in rows[col]]
        for r in range(size):
            if r != col and rows[r][col] != 0:
                f = rows[r][col]
                rows[r] = [v - f * x for v, x in zip(rows[r], rows[col])]
    return [row[size:] for row in rows]


def schemes_up_to(k, n, decoding, alpha, limit):
    """The least m at the contrast alpha, and the least m with any contrast at the best contrast
    for that m, among schemes of whole units of at most `limit` columns: two schemes."""
    unit = units(k, n)
    zero = [Fraction(z * len(columns), comb(n, w)) for w, (z, (_, columns)) in enumerate(zip(contrast_row(k, n, decoding), unit))]
    best = compact = None
    for m, d in lattice_points(k, n, unit, limit):
        gain = sum(z * v for z, v in zip(zero, d))
        if gain <= 0:
            continue
        if gain == alpha * m and (best is None or m < best[0]):
            best = (m, d)
        if compact is None or (m, -gain) < (compact[0], -compact[2]):
            compact = (m, d, gain)
    return scheme_of(k, decoding, unit, best[1]), scheme_of(k, decoding, unit, compact[1])


def scheme_of(k, decoding, unit, d):
    """The white and black columns of copies d (white where positive) of the units, and their makeup."""
    scheme = {}
    for colour, sign in (("white", 1), ("black", -1)):
        parts = [(sign * v, unit[w]) for w, v in enumerate(d) if sign * v > 0]
        scheme[colour] = [c for copies, (_, columns) in parts for _ in range(copies) for c in columns]
        scheme[colour + "_makeup"] = ", ".join(f"{copies} x {label}" if copies > 1 else label
                                               for copies, (label, _) in parts)
    scheme["m"] = len(scheme["white"])
    first = (1 << k) - 1
    scheme["alpha"] = Fraction(sum(shows_black(c, first, decoding) for c in scheme["black"]) -
                               sum(shows_black(c, first, decoding) for c in scheme["white"]), scheme["m"])
    return scheme


def vertex_m(n, x):
    """The least m at which the vertex x takes whole copies of each weight class."""
    size = [comb(n, w) for w in range(n + 1)]
    m = 1
    for i, v in enumerate(x):
        m = lcm(m, (v / size[i % (n + 1)]).denominator)
    return m


def solve(k, n, decoding):
    """The optimum, certified by the dual; the least-m symmetric scheme reaching it; the least-m
    symmetric scheme of any contrast."""
    a, b, c = linear_program(k, n, decoding)
    x = Simplex(a, b, c).solve()
    alpha = sum(cv * xv for cv, xv in zip(c, x))
    if not certifies(a, b, c, dual_certificate(a, b, c), alpha):
        sys.exit(f"scheme-lp: ({k}, {n}): the dual does not certify {alpha}")
    return schemes_up_to(k, n, decoding, alpha, vertex_m(n, x))


def verify(k, n, decoding, scheme):
    """The scheme by its columns: every k - 1 rows see the same multiset, every k rows the promise."""
    white, black = scheme["white"], scheme["black"]
    assert len(white) == len(black) == scheme["m"], (k, n)
    for rows in combinations(range(n), k - 1):
        mask = sum(1 << r for r in rows)
        assert sorted(c & mask for c in white) == sorted(c & mask for c in black), (k, n, rows)
    for rows in combinations(range(n), k):
        mask = sum(1 << r for r in rows)
        h = sum(shows_black(c, mask, decoding) for c in black)
        l = sum(shows_black(c, mask, decoding) for c in white)
        assert Fraction(h - l, scheme["m"]) == scheme["alpha"], (k, n, rows)


def table(decoding):
    """(k, n, best, compact or None) for every (k, n), each checked column by column."""
    out = []
    for n in range(2, MAX_N + 1):
        for k in range(2, n + 1):
            best, small = solve(k, n, decoding)
            verify(k, n, decoding, best)
            verify(k, n, decoding, small)
            offered = decoding == "or" and best["m"] >= COMPACT_FACTOR * small["m"]
            out.append((k, n, best, small if offered else None))
    return out


def entry(k, n, scheme, compact_variant):
    def columns(values):
        text, line = [], "        "
        for v in values:
            if len(line) + 6 > 112:
                text.append(line.rstrip())
                line = "        "
            line += f"0x{v:02x}, "
        return "\n".join(text + [line.rstrip()])
    alpha = scheme["alpha"]
    return (f"    {{{k}, {n}, {str(compact_variant).lower()}, {alpha.numerator}, {alpha.denominator},\n"
            f"     \"white {scheme['white_makeup']}; black {scheme['black_makeup']}\",\n"
            f"     {{\n{columns(scheme['white'])}\n     }},\n     {{\n{columns(scheme['black'])}\n     }}}},")


def generate(stacked):
    lines = [
        "// SPDX-License-Identifier: GPL-3.0-or-later",
        "// Made by scripts/scheme-lp.py: do not edit. For every (k, n) with 2 <= k <= n <= 8, the basis",
        "// matrices of the best contrast any scheme can have (the column-weight linear program's optimum)",
        "// at the least m found, and where that m is large, a compact one (the least m with any contrast).",
        "// Their makeup: wN stands for every column of weight N, a t-(n, w, l) design for w-subsets of the",
        "// shares with every t shares together in l of them. Columns: bit i set where share i is black.",
        "// {k, n, compact, alpha numerator, alpha denominator, makeup, white columns, black columns}",
        "const WeightBasis kWeightBases[] = {",
    ]
    for k, n, best, small in stacked:
        lines.append(entry(k, n, best, False))
        if small:
            lines.append(entry(k, n, small, True))
    return "\n".join(lines + ["};"]) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-o", default=os.path.join(ROOT, "src", "vss", "SchemeWeights.inc"))
    parser.add_argument("--check", action="store_true", help="compare with the file rather than write it")
    options = parser.parse_args()
    stacked, xored = table("or"), table("xor")
    for (k, n, best, small), (_, _, xor, _) in zip(stacked, xored):
        line = f"({k}, {n}): optimum {best['alpha']}, m = {best['m']}"
        if small:
            line += f"; compact m = {small['m']} at {small['alpha']}"
        print(line + f"; XOR-decoded optimum {xor['alpha']}")
        # The XOR scheme is the stacked one's basis decoded by XOR: check that it reaches the optimum.
        first = (1 << k) - 1
        got = Fraction(sum(shows_black(c, first, "xor") for c in best["black"]) -
                       sum(shows_black(c, first, "xor") for c in best["white"]), best["m"])
        if got != xor["alpha"] or got != best["alpha"] * 2 ** (k - 1):
            sys.exit(f"scheme-lp: ({k}, {n}): XOR decoding of the basis gives {got}, not {xor['alpha']}")
    text = generate(stacked)
    if options.check:
        with open(options.o) as f:
            if f.read() != text:
                sys.exit(f"scheme-lp: {options.o} differs from what the program gives")
        print(f"{options.o}: matches")
        return
    with open(options.o, "w") as f:
        f.write(text)
    print(options.o)


if __name__ == "__main__":
    main()
