#!/usr/bin/env python3
"""One name per thing: fails, naming file:line, on a rejected variant of docs/ja/terms.tsv in
the resources, the Japanese policy template, the product's string literals or the guide.
Usage: check_terms.py [ROOT]"""
import os
import re
import sys

PRODUCT = ["support", "host", "ui", "settings", "journal", "setup", "delay", "holdlist",
           "lookalike", "confirm", "plugin"]


def read_terms(path):
    terms = []
    with open(path, encoding="utf-8") as table:
        for number, line in enumerate(table, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) not in (3, 4) or not fields[2]:
                sys.exit(f"{path}:{number}: want thing, chosen, rejected[, kept]")
            kept = []
            for name in fields[3].split("|") if len(fields) == 4 else []:
                name, _, where = name.strip().partition(" @")
                kept.append((name, where))
            terms.append((fields[1], fields[2], kept))
    return terms


def literals(text):
    """(line, text) of each string literal, quotes included; comments and character literals
    are skipped."""
    found = []
    i, line = 0, 1
    while i < len(text):
        c = text[i]
        if text.startswith("//", i):
            i = text.find("\n", i)
            i = len(text) if i < 0 else i
            continue
        if text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = len(text) if end < 0 else end + 2
            line += text.count("\n", i, end)
            i = end
            continue
        if c in "\"'":
            start, j = i, i + 1
            while j < len(text) and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            if c == '"':
                found.append((line, text[start:j + 1]))
            i = j + 1
            continue
        if c == "\n":
            line += 1
        i += 1
    return found


def spans(path, root):
    """(line, text) pieces of a file that a user may read."""
    with open(os.path.join(root, path), encoding="utf-8") as source:
        text = source.read()
    if path.endswith((".cpp", ".h", ".rc")):
        return literals(text)
    return list(enumerate(text.splitlines(), 1))


def hits(path, text, rejected, kept):
    """Offsets of the rejected variant that no kept name (of this file, when it names one)
    covers."""
    covered = set()
    for name, where in kept:
        if where and where != path:
            continue
        for match in re.finditer(re.escape(name), text):
            covered.update(range(match.start(), match.end()))
    return [m.start() for m in re.finditer(re.escape(rejected), text) if m.start() not in covered]


def files(root):
    yield "res/zVelmora.rc"
    yield "policy/ja-JP/zVelmora.adml"
    yield "docs/ja/README.md"
    for folder in PRODUCT:
        for name in sorted(os.listdir(os.path.join(root, folder))):
            if name.endswith((".cpp", ".h")):
                yield f"{folder}/{name}"


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    terms = read_terms(os.path.join(root, "docs", "ja", "terms.tsv"))
    faults = 0
    for path in files(root):
        for line, text in spans(path, root):
            for chosen, rejected, kept in terms:
                for _ in hits(path, text, rejected, kept):
                    print(f"{path}:{line}: 「{rejected}」 is a rejected name; write 「{chosen}」")
                    faults += 1
    if faults:
        print(f"{faults} rejected names (docs/ja/terms.tsv)")
        return 1
    print(f"terms: {len(terms)} rejected names, none found")
    return 0


if __name__ == "__main__":
    sys.exit(main())
