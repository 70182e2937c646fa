#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes docs/schemes.md: every sharing scheme kvt offers, what it promises and what kvt measure
finds on one test secret.

Run from the top of the checkout after a build: python3 scripts/scheme-table.py [--build build].
It draws the test secret (a moving disc over bars, black and white), makes it a stream with
`kvt make`, splits it with `kvt shadows` (seeded, so a rerun gives the same table), measures k of
the shares with `kvt measure --json --subsets k-1` and writes the table. Nothing but kvt and the
Python standard library is needed.
"""
import argparse
import json
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WIDTH, HEIGHT, FRAMES = 120, 80, 6
SEED = "2024"


def secret_frame(k):
    """Frame k: black bars on white, a black disc moving right, a white hole in it."""
    cx, cy, r = 30 + 10 * k, HEIGHT // 2, 22
    rows = []
    for y in range(HEIGHT):
        row = bytearray()
        for x in range(WIDTH):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            black = (y // 8) % 3 == 0 or d2 <= r * r
            if d2 <= (r // 3) ** 2:
                black = False
            row.append(0 if black else 255)
        rows.append(bytes(row))
    return b"".join(rows)


def run(kvt, *args):
    done = subprocess.run([kvt, *args], capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"scheme-table: kvt {' '.join(args)} failed: {done.stderr.strip()}")
    return done.stdout


def make_secret(kvt, work):
    raws = []
    for k in range(FRAMES):
        path = os.path.join(work, f"frame{k}.raw")
        with open(path, "wb") as f:
            f.write(secret_frame(k))
        raws.append(path)
    secret = os.path.join(work, "secret.kvt")
    run(kvt, "make", "--width", str(WIDTH), "--height", str(HEIGHT), "-o", secret, "-q", *raws)
    return secret


DEFAULT = {"name": "VSS(2, 2)", "construction": "the player's shadows", "args": [], "k": 2, "n": 2, "m": 4,
           "measure": "relative difference", "promise": "1/2"}
FAMILIES = ("naor-shamir", "random-grid", "probabilistic", "progressive", "xor")
VARIANTS = ("1", "2", "3", "compact", "chen-tsao")
MAX_N = 8


def promise_of(line, k, n, args):
    """A scheme as kvt shadows names it: "scheme: NAME (k, n): ..., m = 6, relative difference 1/6"."""
    described = line.split(":", 1)[1].strip()
    m = re.search(r"\bm = (\d+)", described)
    contrast = re.search(r"(relative difference|light contrast|XOR difference) (\d+(?:/\d+)?)", described)
    construction = re.split(r", (?:m = |relative difference|light contrast|XOR difference)",
                            described.split(": ", 1)[-1])[0]
    return {"name": described.split(":")[0], "construction": construction, "args": args, "k": k, "n": n,
            "m": int(m.group(1)) if m else 1,
            "measure": contrast.group(1) if contrast else "-", "promise": contrast.group(2) if contrast else None,
            "description": described}


def split(kvt, secret, out, args):
    """kvt shadows with `args`: its printed lines, or None where the scheme is not offered (status 2)."""
    os.makedirs(out, exist_ok=True)
    done = subprocess.run([kvt, "shadows", secret, "--seed", SEED, "--out-dir", out, "-q", *args],
                          capture_output=True, text=True)
    if done.returncode == 2:
        return None
    if done.returncode != 0:
        sys.exit(f"scheme-table: kvt shadows {' '.join(args)} failed: {done.stderr.strip()}")
    return done.stdout.splitlines()


def offered_schemes(kvt, secret, work):
    """Every scheme kvt shadows offers up to n = 8, each with its shares: (scheme, share paths)."""
    printed = split(kvt, secret, os.path.join(work, "default"), [])
    default = [(DEFAULT, [line for line in printed if line.endswith(".kvt")])]
    help_text = run(kvt, "shadows", "--help")
    if "--scheme" not in help_text:
        return default
    # kvt shadows names the scheme it used, except its default, which its help names.
    named = {line.strip().split(":")[0]: "scheme: " + line.strip() for line in help_text.splitlines()}
    found = []
    for family in FAMILIES:
        for n in range(2, MAX_N + 1):
            for k in range(2, n + 1):
                variants = []
                for variant in ("",) + VARIANTS:
                    args = ["--scheme", family, "-k", str(k), "-n", str(n)]
                    args += ["--variant", variant] if variant else []
                    out = os.path.join(work, "-".join([family, str(k), str(n), variant]))
                    printed = split(kvt, secret, out, args)
                    if printed is None:
                        continue
                    lines = [line for line in printed if line.startswith("scheme:")]
                    line = lines[0] if lines else named.get(f"{family} ({k}, {n})")
                    scheme = promise_of(line, k, n, args) if line else dict(DEFAULT, args=args)
                    variants.append((scheme, [line for line in printed if line.endswith(".kvt")]))
                # Without --variant random-grid (2, 2) makes its first variant.
                found += variants[1:] if family == "random-grid" and k == n == 2 else variants
    return found


def fraction(text):
    num, _, den = text.partition("/")
    return float(num) / float(den or 1)


def verdict(tests):
    """One cell for a set of leak tests: the smallest p-value, or which stacks leak."""
    if not tests:
        return "-"
    leaking = ["+".join(map(str, t["shares"])) for t in tests if t["leaks"]]
    if leaking:
        return "LEAKS: " + ", ".join(leaking)
    ps = [t["p_value"] for t in tests if t["p_value"] is not None]
    return f"none (min p {min(ps):.3g})" if ps else "no test"


def measure(kvt, secret, scheme, shares):
    k = scheme["k"]
    done = subprocess.run([kvt, "measure", "--json", "-q", "--subsets", str(max(k - 1, 1)), "--secret", secret,
                           *shares[:k]], capture_output=True, text=True)
    if done.returncode != 0:
        reason = "not measured: " + done.stderr.strip().split(": ", 1)[-1].replace("|", "/")
        return {"block": "-", "alpha": None, "beta": None, "error": None, "ssim": None, "singles": reason,
                "stacks": "-"}
    figures = json.loads(done.stdout)
    singles = [t for t in figures["security"] if len(t["shares"]) == 1]
    stacks = [t for t in figures["security"] if len(t["shares"]) == k - 1 and k > 2]
    s = figures["stream"]
    block = figures["block"]
    # kvt measure stacks the shares: an XOR scheme's contrast is not what stacking shows.
    stacked = scheme["measure"] != "XOR difference"
    return {
        "block": f'{block["width"]} x {block["height"]}',
        "alpha": s["alpha"] if stacked else None,  # over m, as papers count it
        "beta": s["beta"] if stacked else None, "error": s["error_rate"] if stacked else None,
        "ssim": s["ssim"] if stacked else None,
        "singles": verdict(singles), "stacks": verdict(stacks),
    }


def number(v):
    return "-" if v is None else f"{v:.4f}"


def promised(scheme):
    text = scheme["promise"]
    return "-" if text is None else f"{text} ({fraction(text):.4f})"


def table(rows):
    lines = [
        "| scheme | construction | block | m | promised | alpha measured | beta measured | error rate | SSIM "
        "| single shares leak | k - 1 stacks leak |",
        "|---|---|---|---|---|---|---|---|---|---|---|",
    ]
    for scheme, got in rows:
        # kvt names a variant that has a name itself; a numbered one is added here.
        variant = " ".join(scheme["args"][-2:]) if "--variant" in scheme["args"] else ""
        variant = "" if variant in scheme["name"] else variant
        lines.append(
            f'| {scheme["name"]}{" " + variant if variant else ""} | {scheme["construction"]} | {got["block"]} '
            f'| {scheme["m"]} '
            f'| {scheme["measure"]} {promised(scheme)} | {number(got["alpha"])} | {number(got["beta"])} '
            f'| {number(got["error"])} | {number(got["ssim"])} | {got["singles"]} | {got["stacks"]} |')
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"), help="the build folder (default build)")
    parser.add_argument("-o", default=os.path.join(ROOT, "docs", "schemes.md"), help="the table to write")
    options = parser.parse_args()
    kvt = os.path.join(options.build, "src", "cli", "kvt")
    with tempfile.TemporaryDirectory(prefix="scheme-table-") as work:
        secret = make_secret(kvt, work)
        rows = [(scheme, measure(kvt, secret, scheme, shares)) for scheme, shares in offered_schemes(kvt, secret, work)]
    text = f"""# Schemes and what they give

Made by `python3 scripts/scheme-table.py`: a test secret of {WIDTH} x {HEIGHT} pixels and {FRAMES} frames (a
black disc with a white hole moving over black bars), split by `kvt shadows --seed {SEED}` with each
scheme, and the first k shares measured by `kvt measure --json --subsets k-1`. Rerun it after a
change to see the figures the program gives now.

- *promised*: the contrast the scheme promises with k shares stacked, as `kvt shadows` names it.
- *alpha*: Naor and Shamir's relative difference (h - l) / m, from the stacked blocks' black
  subpixels over black (h) and white (l) secret pixels, counted over the scheme's m subpixels;
  *beta*: the light contrast (T_white - T_black) / (1 + T_black), T the share of white cells in
  the whole block.
- *error rate*: secret pixels whose stacked block is on the wrong side of the midpoint between the
  two darknesses; *SSIM*: the stacked picture reduced to the secret's size and made grey (darkness
  h / m as black, l / m as white) against the secret.
- xor schemes are decoded by XOR (`kvt reveal --xor`); kvt measure stacks, so their contrast is
  not measured here, only their leaks.
- *leak*: a chi-square test of each share's block patterns (or of k - 1 shares stacked) against
  the secret's colour; `LEAKS` where p < 0.001. The k - 1 stacks are the singles when k = 2.

{table(rows)}
"""
    os.makedirs(os.path.dirname(options.o), exist_ok=True)
    with open(options.o, "w") as f:
        f.write(text)
    print(options.o)


if __name__ == "__main__":
    main()
