#!/usr/bin/env python3
"""Writes slips.txt: slips of the known domains in known.txt, by kind, the way people mistype.

Deterministic (a fixed seed), so the committed file is what this writes. Run from anywhere:
    python3 bench/lookalike-data/make_slips.py
A slip that is itself a known domain, under a known registrable, or one of the unrelated
domains is left out: it cannot be both.
"""
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
# From how many letters of the name meant each kind of slip is one the look-alike check
# promises to catch; below that the slip is measured as "short: ..." without a target (a short
# name is one edit from too many real names of others).
FLOORS = {
    "key beside in the row": 3,
    "key above or below": 4,
    "doubled": 2,
    "dropped": 4,
    "neighbours swapped": 4,
    "any letter replaced": 8,
    "any letter inserted": 8,
    "two letters replaced": 12,
}
LETTERS = "abcdefghijklmnopqrstuvwxyz"
ROWS = ["1234567890-", "qwertyuiop", "asdfghjkl", "zxcvbnm"]
JP_SECOND = {"co", "ne", "or", "ac", "go", "lg", "ed", "gr", "ad"}
FAMILY = ["co.jp", "jp", "com", "ne.jp", "or.jp"]
SUFFIX_TYPOS = {
    "com": ["co", "cm", "om", "con", "cmo", "comm"],
    "co.jp": ["co", "co.jo", "com.jp", "cojp"],
    "ne.jp": ["ne.jo"],
    "or.jp": ["or.jo"],
    "ac.jp": ["ac.jo"],
    "jp": ["jo"],
}
VISUAL = [("m", "rn"), ("w", "vv"), ("d", "cl"), ("o", "0"), ("l", "1"), ("i", "1"), ("l", "i"),
          ("i", "l"), ("rn", "m"), ("0", "o")]
# Letters of other scripts that read as Latin ones.
HOMOGLYPHS = {"a": "\u0430", "e": "\u0435", "o": "\u043e", "p": "\u0440", "c": "\u0441",
              "x": "\u0445", "y": "\u0443", "i": "\u0456"}


def neighbours(c, same_row_only):
    for r, row in enumerate(ROWS):
        col = row.find(c)
        if col < 0:
            continue
        near = set()
        steps = ((0, (col - 1, col + 1)),) if same_row_only else \
            ((-1, (col, col + 1)), (0, (col - 1, col + 1)), (1, (col - 1, col)))
        for dr, cols in steps:
            if 0 <= r + dr < len(ROWS):
                for cc in cols:
                    if 0 <= cc < len(ROWS[r + dr]):
                        near.add(ROWS[r + dr][cc])
        return sorted(near)
    return []


def split(domain):
    labels = domain.split(".")
    n = 3 if len(labels) >= 3 and labels[-1] == "jp" and labels[-2] in JP_SECOND else 2
    return ".".join(labels[:-n]), labels[-n], ".".join(labels[-n + 1:])


def join(prefix, name, suffix):
    return (prefix + "." if prefix else "") + name + "." + suffix


def read(path):
    part, domains = None, []
    for line in open(os.path.join(HERE, path)):
        line = line.strip()
        if line.startswith("["):
            part = line
        elif line and not line.startswith("#"):
            domains.append((part, line))
    return domains


def punycode_label(text):
    return "xn--" + text.encode("punycode").decode("ascii")


def slips_of(domain, rnd):
    prefix, name, suffix = split(domain)
    n = len(name)
    out = []
    letters = [i for i, c in enumerate(name) if c.isalpha()]

    def at(kind, new_name, new_suffix=suffix):
        if new_name and new_name != name or new_suffix != suffix:
            out.append((kind, join(prefix, new_name, new_suffix)))

    def edit(kind, new_name):
        at(kind if n >= FLOORS[kind] else "short: " + kind, new_name)

    if letters:
        i = rnd.choice(letters)
        row = [c for c in neighbours(name[i], True) if c != "-"]
        if row:
            edit("key beside in the row", name[:i] + rnd.choice(row) + name[i + 1:])
        i = rnd.choice(letters)
        other = [c for c in neighbours(name[i], False) if c != "-" and c not in row]
        if other:
            edit("key above or below", name[:i] + rnd.choice(other) + name[i + 1:])
        i = rnd.choice(letters)
        edit("doubled", name[:i + 1] + name[i] + name[i + 1:])
    i = rnd.randrange(n)
    edit("dropped", name[:i] + name[i + 1:])
    i = rnd.randrange(n - 1)
    if name[i] != name[i + 1]:
        edit("neighbours swapped", name[:i] + name[i + 1] + name[i] + name[i + 2:])
    i = rnd.randrange(n)
    edit("any letter replaced", name[:i] + rnd.choice(LETTERS.replace(name[i], "")) +
         name[i + 1:])
    i = rnd.randrange(n + 1)
    edit("any letter inserted", name[:i] + rnd.choice(LETTERS) + name[i:])
    if n >= FLOORS["two letters replaced"]:
        i, j = sorted(rnd.sample(range(n), 2))
        edit("two letters replaced", name[:i] + rnd.choice(LETTERS.replace(name[i], "")) +
             name[i + 1:j] + rnd.choice(LETTERS.replace(name[j], "")) + name[j + 1:])
    for old, new in rnd.sample(VISUAL, len(VISUAL)):
        i = name.find(old)
        if i >= 0:
            at("visual", name[:i] + new + name[i + len(old):])
            break
    if "-" in name:
        i = name.find("-")
        at("hyphen", name[:i] + name[i + 1:])
    elif "." in suffix:
        # example-co.jp: the dot after the name typed as a hyphen.
        first, rest = suffix.split(".", 1)
        at("hyphen", name + "-" + first, rest)
    if suffix in FAMILY:
        at("family", name, rnd.choice([s for s in FAMILY if s != suffix]))
    for typo in SUFFIX_TYPOS.get(suffix, []):
        at("suffix ." + suffix + " as ." + typo, name, typo)
    out.append(("embedded", domain + "." + rnd.choice(["mail-secure.net", "login.example",
                                                       "verify-account.com", "cdn.test"])))
    glyphs = [i for i, c in enumerate(name) if c in HOMOGLYPHS]
    if glyphs:
        i = rnd.choice(glyphs)
        out.append(("internationalised", join(
            prefix, punycode_label(name[:i] + HOMOGLYPHS[name[i]] + name[i + 1:]), suffix)))
    return out


def main():
    rnd = random.Random(30)
    known = read("known.txt")
    taken = {d for _, d in known} | {d for _, d in read("unrelated.txt")}
    registrables = {".".join(split(d)[1:]) for _, d in known}
    lines = []
    for _, domain in known:
        for kind, slip in slips_of(domain, rnd):
            if slip in taken or ".".join(split(slip)[1:]) in registrables and \
                    not kind.startswith("embedded"):
                continue
            taken.add(slip)
            lines.append(f"{kind}\t{slip}\t{domain}")
    with open(os.path.join(HERE, "slips.txt"), "w") as out:
        out.write("# Slips of the known domains: kind, the slip, the domain meant. Written by\n"
                  "# make_slips.py; do not edit.\n")
        out.write("\n".join(lines) + "\n")
    print(len(lines), "slips")


main()
